#include "drawing/Card_Property.h"

#include <QPainter>
#include <algorithm>

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

QRectF broughtOntoCard(const QRectF &bounds, QSizeF size, int shape)
{
    const QRectF card(QPointF(0, 0), size);
    const QPainterPath outline = cardOutline(card, shape);
    const auto touches = [&](const QRectF &r) {
        // A line-thin object counts where it touches the card.
        return outline.intersects(r.isEmpty() ? r.adjusted(-0.01, -0.01, 0.01, 0.01) : r);
    };
    if (size.isEmpty() || touches(bounds))
        return bounds;
    const auto inside = [](double pos, double length, double cardLength) {
        return length > cardLength ? (cardLength - length) / 2 : std::clamp(pos, 0.0, cardLength - length);
    };
    QRectF moved = bounds;
    moved.moveTo(inside(bounds.x(), bounds.width(), size.width()), inside(bounds.y(), bounds.height(), size.height()));
    if (!touches(moved))
        moved.moveCenter(card.center());
    return moved;
}

} // namespace drawing
