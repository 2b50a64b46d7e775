#pragma once
// The rows of the stored Data Matrix table (tests/data/datamatrix/symbols.tsv):
// a value made from its kind, length and seed, a size name and an encodation
// item, and a hash of the grid drawn for them. The table is written by
// datamatrix_symbol_table (see make_symbol_table.sh) and read by the suite
// that holds every stored symbol to what is drawn now. Also what the Data
// Matrix suites share: the library called directly, and a symbol's picture.

#include "barcodes/datamatrix/DataMatrixSymbol.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace quorvant::test {

struct DataMatrixRow {
    std::string kind; // digits, upper, lower, punct, mixed, edifact, utf8
    int length = 0;   // characters
    int seed = 0;
    QString format;   // size name
    QString encoding; // encodation item
};

// Every row of the table, in table order.
std::vector<DataMatrixRow> dataMatrixRows();

// The value of a row: `length` characters of its kind, the same on every run.
QString dataMatrixRowValue(const DataMatrixRow &row);

// FNV-1a over W, H and the modules, as 16 hex digits; "refused" for no grid.
std::string dataMatrixGridHash(const barcodes::DataMatrixGrid &grid);

// The letters the engine passes for one encodation ('A', 'C', 'T', 'B'): one
// a byte, and in C40 and Text ASCII for the bytes that would leave a single
// value in the last triplet.
std::string engineLetters(const QByteArray &data, char letter);

// libiec16022 called directly at W × H (0 and 0: the size it picks) with
// `letters`, one a byte, or with none for its own choice, which loses memory
// when it refuses a value: ask it so only for values it holds. The grid with
// the library's counters and letters; no modules when it makes no symbol.
barcodes::DataMatrixGrid libraryGridWith(const QByteArray &data, int W, int H, std::string letters);

// The page of a grid at four pixels a module, for the readers.
QImage pagePicture(const barcodes::DataMatrixGrid &grid);

} // namespace quorvant::test
