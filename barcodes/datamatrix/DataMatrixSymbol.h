#pragma once
// Data Matrix ECC200 symbols through libiec16022 (and libdmtx for Base 256,
// which libiec16022 cannot make): the size and encodation choices of the
// designer, the library calls, the EPS page of a symbol and the symbol image,
// plus the size minimum that a chosen symbol size imposes.

#include "platform/Image.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

namespace barcodes {

// The items of the size list: "Auto", the 24 square sizes, the 6 rectangular
// ones, each "C" rows "X" columns.
const QStringList &dataMatrixFormatNames();
// The items of the encodation list: "Auto", "Ascii", "C40", "Text", "Base256".
const QStringList &dataMatrixEncodingNames();

struct DataMatrixFormat {
    int rows = 0;    // H
    int columns = 0; // W
};

// Rows and columns of a size name ("C8X18" is 8 rows by 18 columns); 0 and 0
// for "Auto" or any name without "X".
DataMatrixFormat dataMatrixFormatFromName(const QString &name);

// The encodation letter of a list item ('A', 'C', 'T', 'B'), or 0 when the
// library is to choose.
char dataMatrixEncodationLetter(const QString &item);

// A symbol as the libraries make it.
struct DataMatrixGrid {
    int W = 0;
    int H = 0;
    // W × H values, modules[y * W + x], 1 dark; row y = 0 is the BOTTOM row.
    std::vector<std::uint8_t> modules;
    std::string encoding; // the encodation letters used, one per byte
    // The encodation the symbol is drawn in: 'A', 'C', 'T' or 'B' as the
    // encodation list items, 0 for the library's own choice (its letters in
    // `encoding`).
    char encodation = 0;
    int encodedLength = 0;
    int capacity = 0;
    int eccLength = 0;
    // The chosen encodation made a symbol of the data that reads back as
    // another value, so the symbol is drawn in another encodation.
    bool chosenReadsOtherwise = false;
    // No symbol, though an encodation held the data: only in a symbol that
    // reads back as another value.
    bool fitsButReadsOtherwise = false;

    bool isValid() const { return W > 0 && H > 0 && modules.size() == std::size_t(W) * std::size_t(H); }
    bool dark(int x, int y) const { return modules[std::size_t(y) * std::size_t(W) + std::size_t(x)] != 0; }
};

// Encodes `data` at W × H (0 and 0: the smallest size that holds it) with
// one encodation letter per byte, or any encodation that holds it when
// `encodation` is 0. Any encodation is, at a fixed size, the first that holds
// the data of: libiec16022's own choice, ASCII, C40, Text, Base 256; at the
// smallest size, the library's own choice where it holds the data, else the
// one of the others that takes the smallest symbol. The library's own choice
// is not taken where it uses EDIFACT. Base 256 ('B'), which libiec16022
// cannot make, comes from libdmtx's encoder.
// An encodation holds the data only when its grid reads back as exactly the
// data's bytes: no grid leaves here that a reader reads as another value.
// When the chosen encodation does not hold the data, any encodation is taken
// (`encodation` of the grid says which), so only data that none holds gets no
// symbol. The same data and choices give the same grid on every run.
// Calls are serialised: both libraries keep global state.
// An invalid grid when the data does not fit; the counters and size are
// filled in as far as the chosen encodation got.
DataMatrixGrid encodeDataMatrix(const QByteArray &data, int W, int H, char encodation);

// The EPS page of a symbol: a 1-bit image of W × H samples one unit in from
// the origin, in a bounding box of W + 2 by H + 2. A line break in the value
// continues its comment line ("%%+ ") instead of ending it.
QByteArray makeEPS_Data_Matrix(const QByteArray &value, int W, int H, const DataMatrixGrid &grid);

// The symbol as the EPS page shows it: a bitmap of W + 2 by H + 2 pixels and
// points, modules black and white, the one-module border transparent.
platform::Image dataMatrixPageImage(const DataMatrixGrid &grid);

struct DataMatrixDrawing {
    platform::Image image; // null when no symbol was made
    QByteArray eps;
    DataMatrixGrid grid;
};

// Makes the symbol of `value` with the chosen size and encodation list items:
// its EPS page, and its image resampled to `dpi` and shown at W × moduleSize
// by H × moduleSize points, the page scaled alike both ways to fit there and
// centred (a rectangle's longer side has more clear margin than its border),
// so modules stay square. When no symbol comes back, writes the diagnostic
// lines to the standard streams and returns a null image.
DataMatrixDrawing Draw_DataMatrix_Barcode(const QString &value, const QString &format, const QString &encoding,
                                          int moduleSize, double dpi);

// The width and height fields raised to the chosen size at `moduleSize`
// points per module; "Auto" leaves them as they are. Never lowers them.
QSize data_matrix_barcode_size_acc_format(const QString &format, int moduleSize, QSize current);

} // namespace barcodes
