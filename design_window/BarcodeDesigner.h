#pragma once
// The way from the design window to the barcode designer, a window of a
// higher layer: the program installs the designer's entry at start-up (as
// app/main.cpp does); the design window opens it through here.

#include <functional>

class TVNGraphic;

namespace design_window {

// Runs the designer on a barcode object and returns the object (Open_Wnd);
// the result image is left in Barcode_output_image.
using BarcodeDesignerEntry = std::function<TVNGraphic *(TVNGraphic *)>;

// Installs the designer; an empty function removes it.
void setBarcodeDesigner(BarcodeDesignerEntry entry);
bool barcodeDesignerInstalled();
// Runs the installed designer on `graphic`; none when none is installed.
TVNGraphic *openBarcodeDesigner(TVNGraphic *graphic);

} // namespace design_window
