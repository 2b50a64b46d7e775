#pragma once
// The check of a barcode value that comes before every symbol or preview. It
// answers with the reason a value cannot be used and shows nothing: the
// window, or the fixed entry point Check_And_Validat_Barcode
// (barcodes/widgets), tells the user.

#include <QString>
#include <optional>

namespace barcodes {

// What the check looks at, with check_symbol, besides the value.
struct BarcodeSymbolState {
    bool hasSymbol = false;           // a preview symbol exists
    bool symbolContentValid = true;   // and its content is valid
    bool previewHasImage = false;     // the preview shows an image
    // The value is for QR Code, PDF417 or Data Matrix, whose encoders take
    // any text (as UTF-8), not only ASCII.
    bool twoDimensional = false;
};

// True when a symbol can be made of `value`: it is not empty and every
// character is 7-bit ASCII.
bool isAsciiBarcodeValue(const QString &value);

// Why no symbol can be made of `value`: "Invalid barcode value" when it is
// empty or, for a linear or postal symbol, not ASCII; or with check_symbol
// when the preview symbol is invalid or the preview shows no image. None
// when it can be used; the caller clears its preview otherwise.
std::optional<QString> barcodeValueProblem(const QString &value, bool check_symbol,
                                           const BarcodeSymbolState &symbol = {});

} // namespace barcodes
