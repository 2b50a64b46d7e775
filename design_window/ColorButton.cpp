#include "design_window/ColorButton.h"

#include <QPushButton>

namespace design_window {

void setButtonColor(QPushButton *button, const QColor &color)
{
    button->setProperty("color", color);
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; min-width: 48px; }")
                              .arg(color.name(QColor::HexArgb)));
}

QColor buttonColor(const QPushButton *button)
{
    return button->property("color").value<QColor>();
}

} // namespace design_window
