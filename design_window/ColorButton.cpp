#include "design_window/ColorButton.h"

#include <QPushButton>

namespace design_window {

void setButtonColor(QPushButton *button, const QColor &color)
{
    button->setProperty("color", color);
    // A border of its own makes the style paint the colour itself, flat;
    // with the style's own frame it shows a lighter shade of it.
    button->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; border: 1px solid #808080; min-width: 48px; min-height: 18px; }")
            .arg(color.name(QColor::HexArgb)));
}

QColor buttonColor(const QPushButton *button)
{
    return button->property("color").value<QColor>();
}

} // namespace design_window
