#pragma once

#include <QObject>
#include <QStringList>

class DepthBox;
class QCheckBox;
class QLineEdit;
class QSpinBox;
class QWidget;

// The panel's group for what part of the graph shows: the depth it is collapsed to, the exclude
// patterns (applied on Enter) and whether vertex names are drawn on the picture.
class ShownControls : public QObject {
    Q_OBJECT

public:
    // Added to the panel page of neighbour, below it.
    explicit ShownControls(QWidget* neighbour);

    // Shows a depth (-1: all; ShownRequest::kCustom: collapsed by hand) without asking for it.
    void showDepth(int depth);
    void showPatterns(const QStringList& patterns);
    // Patterns as the field holds them: one per line or comma separated, blanks dropped.
    static QStringList splitPatterns(const QString& text);

    DepthBox* depthBox() const { return m_depth; }
    QLineEdit* excludeField() const { return m_exclude; }
    QCheckBox* labelsBox() const { return m_labels; }

signals:
    void depthChosen(int depth);
    void patternsApplied(const QStringList& patterns);
    void labelsToggled(bool on);

private:
    DepthBox* m_depth;
    QLineEdit* m_exclude;
    QCheckBox* m_labels;
};
