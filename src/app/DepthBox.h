#pragma once

#include <QSpinBox>

// The depth the graph is collapsed to: "all" for none, a number, or, after collapsing by hand,
// an empty box one step below "all", so that "all" can be chosen again with a step.
class DepthBox : public QSpinBox {
    Q_OBJECT

public:
    static constexpr int kAll = -1;
    static constexpr int kByHand = -2;

    explicit DepthBox(QWidget* parent = nullptr);

    // Shows depth (kAll, kByHand or a depth) without a signal.
    void showDepth(int depth);

protected:
    QString textFromValue(int value) const override;
    int valueFromText(const QString& text) const override;
};
