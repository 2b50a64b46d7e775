// Writes the Data Matrix table to standard output, one tab-separated row a
// line: kind, length, seed, size name, encodation item, grid hash (or
// "refused"), size drawn, how it was drawn, and the count of errors valgrind
// saw during the row (0 when not run under valgrind).
//
// How it was drawn: "own" when the grid is libiec16022's own choice of
// encodation at that size (called here directly), "chosen" when an explicit
// encodation holds the value itself, "other" for any other encodation,
// "none" when refused.
#include "tests/barcodes/datamatrix/DataMatrixRows.h"

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
// when it refuses or takes EDIFACT.
std::vector<std::uint8_t> ownChoice(const QByteArray &data, int W, int H)
{
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

// The letters an explicit choice passes: one a byte, and for C40 and Text
// ASCII for the bytes that would leave a single value in the last triplet.
std::string chosenLetters(const QByteArray &data, char letter)
{
    auto values = [letter](unsigned char c) {
        const int extra = c >= 128 ? 2 : 0;
        c &= 0x7F;
        const bool basic = c == ' ' || (c >= '0' && c <= '9')
            || (letter == 'C' ? (c >= 'A' && c <= 'Z') : (c >= 'a' && c <= 'z'));
        return extra + (basic ? 1 : 2);
    };
    std::string letters(std::size_t(data.size()), letter);
    if (letter != 'C' && letter != 'T')
        return letters;
    int total = 0;
    for (const char c : data)
        total += values(static_cast<unsigned char>(c));
    if (total % 3 != 1)
        return letters;
    // Bytes go to ASCII from the end until the triplets close.
    for (std::size_t j = letters.size(); j-- > 0 && total % 3 != 0;) {
        total -= values(static_cast<unsigned char>(data[qsizetype(j)]));
        letters[j] = 'A';
    }
    return letters;
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
                how = grid.encoding == chosenLetters(data, letter) ? "chosen" : "other";
        }
        std::printf("%s\t%d\t%d\t%s\t%s\t%s\t%dx%d\t%s\t%u\n", row.kind.c_str(), row.length, row.seed,
                    qPrintable(row.format), qPrintable(row.encoding), dataMatrixGridHash(grid).c_str(),
                    grid.isValid() ? grid.W : 0, grid.isValid() ? grid.H : 0, how, ERRORS_SO_FAR() - before);
        std::fflush(stdout);
    }
    return 0;
}
