#pragma once
// The profile placement: a side's user profile put on a canvas as graphics,
// the ten text fields as texts and the photo as an image, each under its
// field's value id. A field whose graphic is already on the canvas (found by
// that id) keeps its place and size and takes the new value; a field without
// one gets a new graphic at its default rectangle. Each field's data source
// goes onto its graphic, so that batch output fills it record by record.
// Main thread; the caller repaints.

#include "design_window/UserProfile.h"

#include <QRectF>
#include <QString>
#include <functional>

class TVNGraphicView;

namespace design_window {

// Places `profile` on `canvas` for side code `side` ("F" or "B"): first every
// profile-field graphic of the canvas is hidden, then each non-empty field is
// placed (and so shown again); an empty field's graphic stays invisible.
// `defaultRect` gives the rectangle of a field id that has no graphic yet;
// without it only the fields whose graphic the canvas has are placed.
// Leaves Selected_Control_Tool at 2 (text), or 8 (image) when a photo was
// placed, and the last placed graphic as the canvas' selected graphic; the
// library pick (Library_Selected_Image) is as it was. A failure ends the
// placement where it happened (logged); what was placed stays.
void placeProfile(TVNGraphicView &canvas, const User_Profile_Class &profile, const QString &side,
                  const std::function<QRectF(const QString &id)> &defaultRect);

} // namespace design_window
