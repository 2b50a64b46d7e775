#pragma once
// The open design as one value: the graphics of each side (with their undo
// history), the card records, the card panel's choice, the user profiles,
// the main photo and the export options chosen for it. The main window owns
// it; the windows that work on the design take it by reference from the
// main window (DesignHub::design()), the way a panel takes a document. Main
// thread only.

#include "design_window/DesignFile.h"
#include "design_window/UserProfile.h"
#include "drawing/Card_Property.h"
#include "drawing/TVNDocument.h"
#include "output/export/CardFiles.h"
#include "platform/Image.h"

#include <memory>

namespace design_window {

struct DesignDocument {
    // The front, back and scratch lists, and the undo stack over them.
    std::unique_ptr<TVNDocument> document = std::make_unique<TVNDocument>();
    Card_Property Front_card_Prop;
    Card_Property Back_card_Prop;
    // The user profiles of the front and back, and the scratch record of
    // the profile previews.
    User_Profile_Class Front_user_profile;
    User_Profile_Class Back_user_profile;
    User_Profile_Class TEMP_user_profile;
    CardChoice card_choice;
    // The main photo as drawn (its adjustments applied), and whether its
    // picture comes from the bound data rather than its file.
    platform::Image _Main_Photo_image;
    bool main_photo_ds_batch = false;
    // The export options chosen last: format, resolution and combining (the
    // sides are export_card_side).
    output::ExportOptions export_options;
};

} // namespace design_window
