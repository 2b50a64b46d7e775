#pragma once
// The card renderer: one side's graphics, with the card background and
// outline, as an image for export, printing, mail and previews. Main thread
// only, as every reader of the live design.

#include "drawing/Card_Property.h"
#include "drawing/TVNGraphic.h"
#include "platform/Image.h"

#include <functional>

namespace drawing {

// What a card side is drawn with besides its graphics.
struct CardFace {
    QSizeF size;                 // points; an empty size draws nothing
    int side = 0;                // 0 front, 1 back: whose background
    int shape = kShapeRectangle; // Card_Shape value of the outline
    // Paints the background of `side` into `card`; the painter is already
    // clipped to the outline. Empty: no background (transparent).
    std::function<void(QPainter &painter, const QRectF &card, int side)> background;
};

} // namespace drawing

class TVNRenderingView {
public:
    // Draws `graphics` (index 0 in front) with the face of the side the
    // host's Card_Front_Or_Back() names. The result is a vector recording
    // (resolution independent) whether or not `print_box` is set.
    static platform::Image image_From_Card_Graphics(const GraphicList &graphics, bool print_box);
    // Draws `graphics` at the face's size in points over its background,
    // clipped to its outline; outside the outline stays transparent. Hidden
    // graphics and graphics not marked printable are left out. A null image
    // when the face has no size.
    static platform::Image image_From_Card_Graphics(const GraphicList &graphics, const drawing::CardFace &face);

    // The same drawing onto a painter whose coordinates are points, with
    // the card's top left corner at `origin`: a sheet can hold many cards.
    static void drawCard(QPainter &painter, const GraphicList &graphics, const drawing::CardFace &face,
                         QPointF origin = {});

    // The face of `side` (0 front, 1 back) as the host shows it: its canvas
    // size, card shape and background, whichever side is being edited, all
    // taken now. The background is the host's cardBackground(side): the
    // design window's is a copy of the card's settings, so drawing the face
    // asks nothing of the host.
    static drawing::CardFace cardFace(int side);
};
