#pragma once
// One side's card settings, and the card outline.

#include "drawing/DrawingHost.h"
#include "platform/Image.h"

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QSizeF>
#include <QString>

class QPainter;

class Card_Property {
public:
    QSizeF Card_Size = drawing::kCR80SizePt; // points
    QPointF Card_Location;                   // points
    bool Card_Fill = false;
    QColor Card_Fill_Color = Qt::white;
    QString BG_Image_Path;
    platform::Image BG_Image;

    // Paints the fill colour and then the background image stretched over
    // `rect`, each only when the fill is on.
    void drawBackground(QPainter &painter, const QRectF &rect) const;
};

namespace drawing {
// Card_Shape values.
inline constexpr int kShapeRectangle = 0;
inline constexpr int kShapeRounded = 1;
inline constexpr int kShapeOval = 2;
inline constexpr double kRoundedCardRadius = 10;

// The outline of a card of `shape` filling `rect`; unknown shapes give the
// rectangle.
QPainterPath cardOutline(const QRectF &rect, int shape);

// How much of an object stays on the card, across and down, however it is
// moved or resized: this many points, or all of it where it is smaller. Less
// could not be seen or grabbed again.
inline constexpr double kOnCardPoints = 9;
// `bounds` when part of it lies inside the outline of a card of `shape` and
// `size`; otherwise the same rectangle moved inside the card (centred on it
// where that alone does not reach the outline).
QRectF broughtOntoCard(const QRectF &bounds, QSizeF size, int shape);
} // namespace drawing
