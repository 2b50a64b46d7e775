#include "drawing/TVNRenderingView.h"

#include "drawing/Card_Property.h"
#include "drawing/DrawingHost.h"

#include <QPainter>

platform::Image TVNRenderingView::image_From_Card_Graphics(const GraphicList &graphics, bool)
{
    drawing::DrawingHost &host = drawing::host();
    const QSizeF size = host.canvasSize();
    if (size.isEmpty())
        return {};
    const int side = host.Card_Front_Or_Back();
    const int shape = host.Card_Shape();
    // The recording keeps its own references, so later changes to the
    // design do not alter an image already handed out.
    return platform::Image::record(size, [&](QPainter &painter) { drawCard(painter, graphics, size, side, shape); });
}

void TVNRenderingView::drawCard(QPainter &painter, const GraphicList &graphics, QSizeF size, int side, int shape)
{
    const QRectF card(QPointF(0, 0), size);
    painter.save();
    painter.setClipPath(drawing::cardOutline(card, shape), Qt::IntersectClip);
    drawing::host().Card_Base_Drawing(painter, card, side);
    for (auto it = graphics.rbegin(); it != graphics.rend(); ++it) {
        const GraphicPtr &g = *it;
        if (g && g->ctrl_is_printable)
            g->draw(painter, false);
    }
    painter.restore();
}
