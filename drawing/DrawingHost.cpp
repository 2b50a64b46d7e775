#include "drawing/DrawingHost.h"

#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>

namespace drawing {

namespace {
DrawingHost *g_host = nullptr;

DefaultDrawingHost &defaultHost()
{
    static DefaultDrawingHost h;
    return h;
}
} // namespace

DefaultDrawingHost::DefaultDrawingHost() : placeholder(placeholderPicture()) {}

DrawingHost::Background DrawingHost::cardBackground(int)
{
    return [this](QPainter &painter, const QRectF &cardRect, int side) { Card_Base_Drawing(painter, cardRect, side); };
}

QPointF DefaultDrawingHost::Control_New_Point(const QString &)
{
    const QPointF point = nextPoint;
    nextPoint += QPointF(9, 9);
    if (nextPoint.x() > cardSize.width() / 2 || nextPoint.y() > cardSize.height() / 2)
        nextPoint = QPointF(9, 9);
    return point;
}

bool DefaultDrawingHost::fileExists(const QString &path) const
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

DrawingHost &host()
{
    return g_host ? *g_host : defaultHost();
}

void setHost(DrawingHost *h)
{
    g_host = h;
}

platform::Image placeholderPicture(QSizeF points)
{
    return platform::Image::record(points, [points](QPainter &p) {
        const QRectF r(QPointF(0, 0), points);
        p.fillRect(r, QColor(236, 236, 236));
        p.setPen(QPen(QColor(150, 150, 150), 1));
        p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
        // A sun and two hills: the usual sign for "a picture goes here".
        const double w = r.width(), h = r.height();
        p.setBrush(QColor(190, 190, 190));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(w * 0.7, h * 0.3), w * 0.08, w * 0.08);
        QPainterPath hills;
        hills.moveTo(w * 0.1, h * 0.85);
        hills.lineTo(w * 0.38, h * 0.45);
        hills.lineTo(w * 0.55, h * 0.68);
        hills.lineTo(w * 0.68, h * 0.55);
        hills.lineTo(w * 0.9, h * 0.85);
        hills.closeSubpath();
        p.drawPath(hills);
    });
}

} // namespace drawing
