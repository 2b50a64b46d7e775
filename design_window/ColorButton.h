#pragma once
// Push buttons that stand for a colour well: they show their colour as a
// swatch and keep it in the "color" property.

#include <QColor>

class QPushButton;

namespace design_window {

void setButtonColor(QPushButton *button, const QColor &color);
QColor buttonColor(const QPushButton *button);

} // namespace design_window
