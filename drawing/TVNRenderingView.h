#pragma once
// The card renderer: one side's graphics, with the card background and
// outline, as an image for export, printing, mail and previews.

#include "drawing/TVNGraphic.h"
#include "platform/Image.h"

class TVNRenderingView {
public:
    // Draws `graphics` (index 0 in front) at the host's canvas size in points
    // over the background of the side the host's Card_Front_Or_Back() names,
    // clipped to the card outline; outside the outline stays transparent.
    // Hidden graphics and graphics not marked printable are left out. The
    // result is a vector recording (resolution independent) whether or not
    // `print_box` is set; a null image when the canvas has no size.
    static platform::Image image_From_Card_Graphics(const GraphicList &graphics, bool print_box);

    // The same drawing, straight onto a painter whose coordinates are points.
    static void drawCard(QPainter &painter, const GraphicList &graphics, QSizeF size, int side, int shape);
};
