#include "drawing/TVNRenderingView.h"

#include "drawing/DrawingHost.h"

#include <QPainter>

platform::Image TVNRenderingView::image_From_Card_Graphics(const GraphicList &graphics, bool)
{
    return image_From_Card_Graphics(graphics, cardFace(drawing::host().Card_Front_Or_Back()));
}

platform::Image TVNRenderingView::image_From_Card_Graphics(const GraphicList &graphics,
                                                           const drawing::CardFace &face)
{
    if (face.size.isEmpty())
        return {};
    // The recording keeps its own references, so later changes to the
    // design do not alter an image already handed out.
    return platform::Image::record(face.size, [&](QPainter &painter) { drawCard(painter, graphics, face); });
}

void TVNRenderingView::drawCard(QPainter &painter, const GraphicList &graphics, const drawing::CardFace &face,
                                QPointF origin)
{
    const QRectF card(QPointF(0, 0), face.size);
    painter.save();
    painter.translate(origin);
    painter.setClipPath(drawing::cardOutline(card, face.shape), Qt::IntersectClip);
    if (face.background)
        face.background(painter, card, face.side);
    for (auto it = graphics.rbegin(); it != graphics.rend(); ++it) {
        const GraphicPtr &g = *it;
        if (g && g->ctrl_is_printable)
            g->draw(painter);
    }
    painter.restore();
}

drawing::CardFace TVNRenderingView::cardFace(int side)
{
    drawing::DrawingHost &host = drawing::host();
    return {host.canvasSize(), side, host.Card_Shape(), host.cardBackground(side)};
}
