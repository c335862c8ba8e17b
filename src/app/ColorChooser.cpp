#include "ColorChooser.h"

ColorChooser::ColorChooser(QWidget* parent) : QComboBox(parent) {
    const QStringList names = QColor::colorNames();
    for (int i = 0; i < names.size(); ++i) {
        insertItem(i, names[i], QVariant());
        setItemData(i, QColor::fromString(names[i]), Qt::DecorationRole);
    }
}

QColor ColorChooser::color() const {
    return qvariant_cast<QColor>(itemData(currentIndex(), Qt::DecorationRole));
}

void ColorChooser::setColor(const QColor& color) {
    setCurrentIndex(findData(color, Qt::DecorationRole));
}

void ColorChooser::storeColor(const QString& name, float* target, bool withAlpha) {
    const QColor color(name);
    target[0] = color.red() / 255.0f;
    target[1] = color.green() / 255.0f;
    target[2] = color.blue() / 255.0f;
    if (withAlpha) target[3] = color.alpha() / 255.0f;
}
