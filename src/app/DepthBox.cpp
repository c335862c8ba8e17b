#include "DepthBox.h"

#include <QSignalBlocker>

DepthBox::DepthBox(QWidget* parent) : QSpinBox(parent) {
    setRange(kAll, 999);
    setValue(kAll);
}

void DepthBox::showDepth(int depth) {
    const QSignalBlocker block(this);
    // Collapsed by hand can be shown, not chosen: the step above it is "all".
    setMinimum(depth == kByHand ? kByHand : kAll);
    setValue(depth < 0 && depth != kByHand ? kAll : depth);
}

QString DepthBox::textFromValue(int value) const {
    if (value == kAll) return tr("all");
    return value == kByHand ? QString() : QSpinBox::textFromValue(value);
}

int DepthBox::valueFromText(const QString& text) const {
    if (text.trimmed() == tr("all")) return kAll;
    return text.trimmed().isEmpty() ? minimum() : QSpinBox::valueFromText(text);
}
