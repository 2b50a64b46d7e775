#pragma once
// The check of a barcode value that comes before every symbol or preview.

#include <QString>

namespace barcodes {

// What the check looks at, with check_symbol, besides the value.
struct BarcodeSymbolState {
    bool hasSymbol = false;           // a preview symbol exists
    bool symbolContentValid = true;   // and its content is valid
    bool previewHasImage = false;     // the preview shows an image
};

// True when a symbol can be made of `value`: it is not empty and every
// character is 7-bit ASCII.
bool isAsciiBarcodeValue(const QString &value);

// The value check. With check_symbol it also fails when the preview symbol
// is invalid or the preview shows no image. On failure with show_message the
// user is told "Invalid barcode value". The caller clears its preview when
// the answer is false.
bool Check_And_Validat_Barcode(const QString &value, bool show_message, bool check_symbol,
                               const BarcodeSymbolState &symbol = {});

} // namespace barcodes
