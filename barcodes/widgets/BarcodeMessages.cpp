#include "barcodes/widgets/BarcodeMessages.h"

#include "platform/Helpers.h"

namespace barcodes {

bool Check_And_Validat_Barcode(const QString &value, bool show_message, bool check_symbol,
                               const BarcodeSymbolState &symbol)
{
    const std::optional<QString> problem = barcodeValueProblem(value, check_symbol, symbol);
    if (problem && show_message)
        Show_MessageBox(*problem);
    return !problem;
}

} // namespace barcodes
