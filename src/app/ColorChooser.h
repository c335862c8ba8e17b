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
};
