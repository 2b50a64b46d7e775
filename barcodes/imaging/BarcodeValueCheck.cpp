#include "barcodes/imaging/BarcodeValueCheck.h"

#include <algorithm>

namespace barcodes {

bool isAsciiBarcodeValue(const QString &value)
{
    return !value.isEmpty() && std::all_of(value.cbegin(), value.cend(), [](QChar c) { return c.unicode() < 128; });
}

std::optional<QString> barcodeValueProblem(const QString &value, bool check_symbol, const BarcodeSymbolState &symbol)
{
    bool valid = symbol.twoDimensional ? !value.isEmpty() : isAsciiBarcodeValue(value);
    if (valid && check_symbol)
        valid = !(symbol.hasSymbol && !symbol.symbolContentValid) && symbol.previewHasImage;
    if (valid)
        return std::nullopt;
    return QStringLiteral("Invalid barcode value");
}

} // namespace barcodes
