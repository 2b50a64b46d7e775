#pragma once
// The invitation on the front of a card: where each answer of the
// invitation wizard goes, as a list of graphics to create, in creation
// order. Each new graphic goes in front of the earlier ones: the photo lies
// at the back, the texts over it, and the frame (clear in its middle) in
// front of all. Rectangles are in points with y growing downwards; the
// arithmetic is single precision, as the layout has always been computed.
// Plain values: any thread.

#include "design_window/Globals.h"
#include "drawing/TVNGraphic.h"

#include <QRectF>
#include <QSizeF>
#include <vector>

namespace design_window {

struct InvitationItem {
    GraphicClass graphicClass = GraphicClass::Text;
    QString value;  // the text, or the picture's path
    QString ctrlId; // "PARTY_TITLE" ... "PARTY_IMAGE_BG"
    QRectF rect;
    bool operator==(const InvitationItem &) const = default;
};

// The graphics for `answers` on a card of `cardSize` at `cardOrigin`: texts
// in a column 40 points in from each side from the top down, the photo 250
// points tall and centred vertically whatever the texts take, the frame
// over the whole card. An empty answer places nothing.
std::vector<InvitationItem> invitationLayout(const InvitationAnswers &answers, QSizeF cardSize, QPointF cardOrigin);

} // namespace design_window
