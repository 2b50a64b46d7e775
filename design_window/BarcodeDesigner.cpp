#include "design_window/BarcodeDesigner.h"

namespace design_window {

namespace {

BarcodeDesignerEntry &entry()
{
    static BarcodeDesignerEntry installed;
    return installed;
}

} // namespace

void setBarcodeDesigner(BarcodeDesignerEntry designer)
{
    entry() = std::move(designer);
}

bool barcodeDesignerInstalled()
{
    return bool(entry());
}

TVNGraphic *openBarcodeDesigner(TVNGraphic *graphic)
{
    return entry() ? entry()(graphic) : nullptr;
}

} // namespace design_window
