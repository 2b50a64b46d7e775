#include "drawing/Card_Property.h"

#include <QPainter>

void Card_Property::drawBackground(QPainter &painter, const QRectF &rect) const
{
    if (!Card_Fill)
        return;
    painter.fillRect(rect, Card_Fill_Color);
    if (!BG_Image.isNull())
        BG_Image.draw(painter, rect);
}

namespace drawing {

QPainterPath cardOutline(const QRectF &rect, int shape)
{
    QPainterPath path;
    switch (shape) {
    case kShapeRounded:
        path.addRoundedRect(rect, kRoundedCardRadius, kRoundedCardRadius);
        break;
    case kShapeOval:
        path.addEllipse(rect);
        break;
    default:
        path.addRect(rect);
        break;
    }
    return path;
}

} // namespace drawing
