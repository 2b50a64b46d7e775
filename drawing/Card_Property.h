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
} // namespace drawing
