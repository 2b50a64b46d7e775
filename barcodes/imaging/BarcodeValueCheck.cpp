#include "barcodes/imaging/BarcodeValueCheck.h"

#include "platform/Helpers.h"

#include <algorithm>

namespace barcodes {

bool isAsciiBarcodeValue(const QString &value)
{
    return !value.isEmpty() && std::all_of(value.cbegin(), value.cend(), [](QChar c) { return c.unicode() < 128; });
}

bool Check_And_Validat_Barcode(const QString &value, bool show_message, bool check_symbol,
                               const BarcodeSymbolState &symbol)
{
    bool valid = isAsciiBarcodeValue(value);
    if (valid && check_symbol)
        valid = !(symbol.hasSymbol && !symbol.symbolContentValid) && symbol.previewHasImage;
    if (!valid && show_message)
        Show_MessageBox(QStringLiteral("Invalid barcode value"));
    return valid;
}

} // namespace barcodes
