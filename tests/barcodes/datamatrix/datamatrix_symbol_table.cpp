// Writes the Data Matrix table to standard output, one tab-separated row a
// line: kind, length, seed, size name, encodation item, grid hash (or
// "refused"), size drawn, how it was drawn, whether the symbol reads back as
// its value, and the count of errors valgrind saw during the row (0 when not
// run under valgrind).
//
// How it was drawn: "own" when the grid is libiec16022's own choice of
// encodation at that size (called here directly), "chosen" when an explicit
// encodation holds the value itself, "other" for any other encodation,
// "none" when refused.
//
// Reads back: "yes" when the symbol's picture, four pixels a module, is read
// as exactly the value's bytes by zxing-cpp (by libdmtx's image reader at
// 144 x 144, which zxing-cpp does not read) and libdmtx's image reader reads
// no other value; "no" when not; "-" when refused.
#include "tests/barcodes/datamatrix/DataMatrixRows.h"
#include "tests/support/SecondReaders.h"

#include <ZXing/ReadBarcode.h>

#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" {
#include <iec16022ecc200.h>
}

#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/memcheck.h>
#define ERRORS_SO_FAR() unsigned(VALGRIND_COUNT_ERRORS)
#else
#define ERRORS_SO_FAR() 0u
#endif

using namespace barcodes;
using namespace quorvant::test;

namespace {

// The library called with its own choice of encodation at W x H; no grid
// when it refuses, takes EDIFACT or is not asked.
std::vector<std::uint8_t> ownChoice(const QByteArray &data, int W, int H)
{
    // At MAXBARCODE bytes the library's choice reads memory it never wrote
    // and changes from run to run; the engine does not ask it there.
    if (data.size() >= MAXBARCODE)
        return {};
    QByteArray bytes = data;
    char *encoding = nullptr;
    int len = 0, max = 0, ecc = 0;
    unsigned char *grid = iec16022ecc200(&W, &H, &encoding, int(bytes.size()),
                                         reinterpret_cast<unsigned char *>(bytes.data()), &len, &max, &ecc);
    const bool edifact = encoding != nullptr && std::string(encoding).find('E') != std::string::npos;
    std::free(encoding);
    std::vector<std::uint8_t> out;
    if (grid != nullptr && !edifact) {
        for (int i = 0; i < W * H; ++i)
            out.push_back(grid[i] ? 1 : 0);
    }
    std::free(grid);
    return out;
}

// The page of a grid, white on a white quiet zone of eight modules, four
// pixels a module, as 8-bit grey.
QImage pictureOf(const DataMatrixGrid &grid)
{
    constexpr int scale = 4, quiet = 8;
    QImage grey((grid.W + 2 * quiet) * scale, (grid.H + 2 * quiet) * scale, QImage::Format_Grayscale8);
    grey.fill(255);
    for (int y = 0; y < grid.H; ++y) {
        for (int x = 0; x < grid.W; ++x) {
            if (!grid.dark(x, y))
                continue;
            // Row 0 of the grid is the bottom row.
            for (int py = 0; py < scale; ++py) {
                uchar *line = grey.scanLine((quiet + grid.H - 1 - y) * scale + py);
                std::fill_n(line + (quiet + x) * scale, scale, uchar(0));
            }
        }
    }
    return grey;
}

const char *readsBack(const DataMatrixGrid &grid, const QByteArray &data)
{
    if (!grid.isValid())
        return "-";
    const QImage picture = pictureOf(grid);
    // libdmtx's image reader does not find every symbol (some 8 x 32 ones
    // among them); what it finds must be the value.
    const std::optional<std::string> dmtx = dmtxDecode(picture);
    if (dmtx && *dmtx != data.toStdString())
        return "no";
    if (grid.W == 144)
        return dmtx ? "yes" : "no";
    const ZXing::Result z = ZXing::ReadBarcode(
        ZXing::ImageView(picture.constBits(), picture.width(), picture.height(), ZXing::ImageFormat::Lum,
                         int(picture.bytesPerLine())),
        ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::DataMatrix).setTryHarder(true));
    const ZXing::ByteArray &bytes = z.bytes();
    return z.isValid() && !z.isMirrored() && std::string(bytes.begin(), bytes.end()) == data.toStdString() ? "yes"
                                                                                                           : "no";
}

} // namespace

int main()
{
    for (const DataMatrixRow &row : dataMatrixRows()) {
        const unsigned before = ERRORS_SO_FAR();
        const QByteArray data = dataMatrixRowValue(row).toUtf8();
        const DataMatrixFormat size = dataMatrixFormatFromName(row.format);
        const char letter = dataMatrixEncodationLetter(row.encoding);
        const DataMatrixGrid grid = encodeDataMatrix(data, size.columns, size.rows, letter);

        const char *how = "none";
        if (grid.isValid()) {
            if (letter == 0)
                how = ownChoice(data, size.columns, size.rows) == grid.modules ? "own" : "other";
            else
                how = grid.encoding == engineLetters(data, letter) ? "chosen" : "other";
        }
        const unsigned errors = ERRORS_SO_FAR() - before;
        std::printf("%s\t%d\t%d\t%s\t%s\t%s\t%dx%d\t%s\t%s\t%u\n", row.kind.c_str(), row.length, row.seed,
                    qPrintable(row.format), qPrintable(row.encoding), dataMatrixGridHash(grid).c_str(),
                    grid.isValid() ? grid.W : 0, grid.isValid() ? grid.H : 0, how, readsBack(grid, data), errors);
        std::fflush(stdout);
    }
    return 0;
}
