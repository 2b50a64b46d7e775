#include "barcodes/widgets/BarcodeMessages.h"

#include "barcodes/designer/Barcode_Gen.h"
#include "barcodes/qr/QRFrontEnd.h"
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

platform::Image QRFrontEnd::renderDataMatrix(const DataMatrix &grid, int imageDimension)
{
    QString error;
    const platform::Image image = renderDataMatrix(grid, imageDimension, USED_DPI_VALUE.load(), &error);
    if (!error.isEmpty())
        Show_MessageBox(error);
    return image;
}

} // namespace barcodes
