#pragma once
// The geometry of a sheet of labels: where each label cell of a page lies,
// where the card's sides sit in it, how many pages a run of labels takes and
// which labels each page shows, and the grid check that fits the rows and
// columns a user asks for to the paper.
//
// Units are points (1/72 inch). Sheet coordinates follow the printing
// convention: origin at the paper's lower-left corner, y up, row 1 at the
// top and column 1 at the left; onPage() turns a rectangle into painter
// coordinates (origin top left, y down). The layout arithmetic is done in
// single precision, as the stored lengths are.
//
// Values in, values out: any thread.

#include <QRectF>
#include <QSizeF>
#include <QString>

namespace output {

// Millimetres and points. The factor is applied in double precision and the
// result kept in single precision.
inline constexpr double kMillimetresPerPoint = 0.3527777777778;
inline constexpr double kPointsPerMillimetre = 2.834645669291;
float Points_to_MM_Convert(float points);
float MM_to_Points_Convert(float millimetres);

// What each label shows: the front, the back, or both sides in one cell.
enum class CardSides { Front, Back, Both };
// "F", "B" or "BOTH"; any other code is taken as the back.
CardSides cardSidesFromCode(const QString &code);
QString codeOf(CardSides sides);

// How two sides share a cell: front above back ("U"), or front left of back
// (any other code, written "L").
enum class Pairing { Stacked, SideBySide };
Pairing pairingFromCode(const QString &code);
QString codeOf(Pairing pairing);

// Distance from each edge of the paper to its printable area.
struct SheetMargins {
    float left = 0;
    float right = 0;
    float top = 0;
    float bottom = 0;
    bool operator==(const SheetMargins &) const = default;
};

// The margins of a paper of `paper` size whose printable rectangle is
// `printable`, in sheet coordinates.
SheetMargins marginsFromPrintable(QSizeF paper, const QRectF &printable);

struct SheetLayout {
    QSizeF paper;  // W x H
    SheetMargins margins;
    // One label cell: for both sides paired it covers both.
    float labelWidth = 0;
    float labelHeight = 0;
    float horizontalGap = 0; // between columns (and outside them when auto-centred)
    float verticalGap = 0;   // between rows (likewise)
    int rows = 1;
    int columns = 1;
    // Where the block of labels sits in the printable area, row by row from
    // the top left: 1 top left, 2 top centre, ... 9 bottom right. Not used
    // when auto-centred.
    int alignment = 1;
    bool autoCentre = false;
    CardSides sides = CardSides::Front;
    Pairing pairing = Pairing::Stacked;

    // Label cells on one sheet; rows and columns below 1 count as 1.
    int cells() const;
    bool operator==(const SheetLayout &) const = default;
};

// The lower edge of the cells of `row` and the left edge of the cells of
// `column`, both counted from 1.
float rowEdge(const SheetLayout &layout, int row);
float columnEdge(const SheetLayout &layout, int column);

// Where a label goes: its cell (for a pair, the half of the first side) and
// the rectangles of the card sides, each the card's own size. A card larger
// than the label keeps its size and grows out of the cell to the right and
// upward.
struct LabelPlace {
    QRectF cell;
    QRectF first;
    QRectF second; // the back of a pair; null for one side
};
LabelPlace labelPlace(const SheetLayout &layout, int row, int column, QSizeF card);

// A rectangle of sheet coordinates in painter coordinates.
QRectF onPage(const QRectF &sheetRect, QSizeF paper);

// Pages that `labels` labels fill; 0 for none.
int pageCount(int labels, const SheetLayout &layout);
// The labels on page `page` (from 0): the first one's number and how many.
// The same for a page however often and in whatever order it is asked for.
struct PageLabels {
    int first = 0;
    int count = 0;
    bool operator==(const PageLabels &) const = default;
};
PageLabels labelsOnPage(int page, int labels, const SheetLayout &layout);

// The grid check: what the user typed (one card side in millimetres, the
// gaps in millimetres, rows and columns) fitted to the paper.
struct GridRequest {
    float widthMm = 0;
    float heightMm = 0;
    float horizontalGapMm = 0;
    float verticalGapMm = 0;
    int rows = 1;
    int columns = 1;
    bool autoCentre = false;
    CardSides sides = CardSides::Front;
    Pairing pairing = Pairing::Stacked;
};
struct GridFit {
    float labelWidth = 0;
    float labelHeight = 0;
    float horizontalGap = 0;
    float verticalGap = 0;
    int rows = 1;
    int columns = 1;
    bool operator==(const GridFit &) const = default;
};
// The label is the card's size, doubled across a pair. Rows and columns
// that do not fit the printable area become as many as fit (at least one).
// Auto-centred, the gaps spread the labels evenly with a gap before the
// first and after the last, computed for the count that fits; otherwise the
// typed gaps stay. A count below 1 counts as 1, and a count is kept as typed
// where its label (with its gap) has no length to divide by.
GridFit fitGrid(const GridRequest &request, QSizeF paper, const SheetMargins &margins);

// The label size of a card of `card` points for `sides` and `pairing`.
QSizeF labelSizeFor(QSizeF card, CardSides sides, Pairing pairing);

} // namespace output
