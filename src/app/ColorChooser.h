#pragma once

#include <QColor>
#include <QComboBox>

// Drop-down list of every named colour the toolkit knows, each with a swatch.
class ColorChooser : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor USER true)

public:
    explicit ColorChooser(QWidget* parent = nullptr);

    // The colour of the current item; invalid when there is none.
    QColor color() const;
    // Makes current the first item of exactly this colour, or none.
    void setColor(const QColor& color);
    // The named colour's red, green, blue (and with withAlpha its alpha), each 0 .. 1, into
    // target: how a chosen name reaches the render states.
    static void storeColor(const QString& name, float* target, bool withAlpha);
};
