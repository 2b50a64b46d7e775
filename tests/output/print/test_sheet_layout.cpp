// The label grid as a user sees it on a drawn sheet: where the block of
// labels sits for each alignment, where the sides sit in their cell, how the
// grid check fits rows and columns to the paper, and which labels each page
// holds. Places are worked out by hand from the paper, the margins and the
// labels, never by the layout's own arithmetic.

#include "output/print/LabelSheet.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>

using namespace output;

namespace {

constexpr double kScale = 2; // pixels per point of the drawn sheets

// Fronts are black, backs grey: their boxes can be told apart on a sheet.
class SolidCards : public LabelCards {
public:
    explicit SolidCards(QSizeF card) : m_card(card) {}
    QSizeF cardSize() const override { return m_card; }
    bool prepare(int, CardSides) override { return true; }
    void drawSide(QPainter &painter, int side, const QRectF &target) override
    {
        painter.fillRect(target, side == 0 ? Qt::black : QColor(128, 128, 128));
    }

private:
    QSizeF m_card;
};

QImage drawPage(const SheetLayout &layout, int page, int labels, LabelCards &cards)
{
    QImage sheet((layout.paper * kScale).toSize(), QImage::Format_RGB32);
    QPainter painter(&sheet);
    painter.scale(kScale, kScale);
    paintSheetPage(painter, layout, page, labels, cards);
    return sheet;
}

// The box, in points, of the pixels whose grey level lies in [low, high].
QRectF boxOf(const QImage &sheet, int low, int high)
{
    int left = sheet.width(), top = sheet.height(), right = -1, bottom = -1;
    for (int y = 0; y < sheet.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(sheet.constScanLine(y));
        for (int x = 0; x < sheet.width(); ++x) {
            const int grey = qGray(line[x]);
            if (grey < low || grey > high)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return {};
    return QRectF(left / kScale, top / kScale, (right - left + 1) / kScale, (bottom - top + 1) / kScale);
}

void expectNear(const QRectF &actual, const QRectF &expected, const std::string &what)
{
    EXPECT_NEAR(actual.left(), expected.left(), 0.6) << what;
    EXPECT_NEAR(actual.top(), expected.top(), 0.6) << what;
    EXPECT_NEAR(actual.right(), expected.right(), 0.6) << what;
    EXPECT_NEAR(actual.bottom(), expected.bottom(), 0.6) << what;
}

// US Letter with margins that differ on every side, so a swapped margin
// shows: 2 rows x 3 columns of 100 x 80 pt labels, gaps 10 and 6 pt.
SheetLayout letterGrid()
{
    SheetLayout l;
    l.paper = QSizeF(612, 792);
    l.margins = {20, 30, 40, 50};
    l.labelWidth = 100;
    l.labelHeight = 80;
    l.horizontalGap = 10;
    l.verticalGap = 6;
    l.rows = 2;
    l.columns = 3;
    return l;
}

} // namespace

TEST(SheetLayout, EachAlignmentPutsTheBlockWhereItsButtonSays)
{
    // US Letter (612 x 792) with margins of 20 left, 60 right, 30 top and
    // 90 bottom: a printable area of 532 x 672 from (20, 30). The block of
    // 2 rows x 3 columns of 100 x 80 labels, gaps 10 across and 6 down, is
    // 320 x 166. Across it starts at 20, at 20 + (532 - 320) / 2 = 126 or at
    // 612 - 60 - 320 = 232; down at 30, at 30 + (672 - 166) / 2 = 283 or at
    // 792 - 90 - 166 = 536 (page coordinates, y down).
    const double lefts[] = {20, 126, 232};
    const double tops[] = {30, 283, 536};
    for (int alignment = 1; alignment <= 9; ++alignment) {
        SheetLayout layout = letterGrid();
        layout.margins = {20, 60, 30, 90};
        layout.alignment = alignment;
        SolidCards cards(QSizeF(100, 80));
        const QImage sheet = drawPage(layout, 0, 6, cards);
        const QRectF block(lefts[(alignment - 1) % 3], tops[(alignment - 1) / 3], 320, 166);
        expectNear(boxOf(sheet, 0, 40), block, "alignment " + std::to_string(alignment));
        // The last label (row 2, column 3) is in the block's lower right corner.
        EXPECT_EQ(qGray(sheet.pixel(((block.bottomRight() - QPointF(50, 40)) * kScale).toPoint())), 0)
            << "alignment " << alignment;
    }
}

TEST(SheetLayout, EachSideIsPlacedInItsCellAsTheSidesAndPairingSay)
{
    // One label at the top left of the printable area, which starts at
    // (20, 40); the card is 100 x 60. Fronts are black, backs grey.
    struct Row {
        CardSides sides;
        Pairing pairing;
        QSizeF label;
        QRectF front, back; // a null rectangle: that side is not drawn
        const char *why;
    };
    const Row rows[] = {
        {CardSides::Both, Pairing::Stacked, {100, 120}, {20, 40, 100, 60}, {20, 100, 100, 60},
         "stacked in a label twice the card's height: front above, back below"},
        {CardSides::Both, Pairing::Stacked, {140, 160}, {40, 40, 100, 60}, {40, 100, 100, 60},
         "stacked in a taller, wider label: the pair hangs from the top edge, centred across"},
        {CardSides::Both, Pairing::SideBySide, {200, 60}, {20, 40, 100, 60}, {120, 40, 100, 60},
         "side by side in a label twice the card's width"},
        {CardSides::Both, Pairing::SideBySide, {260, 100}, {50, 60, 100, 60}, {150, 60, 100, 60},
         "side by side in a larger label: centred both ways"},
        {CardSides::Front, Pairing::Stacked, {140, 100}, {40, 60, 100, 60}, {}, "front centred in a larger label"},
        {CardSides::Back, Pairing::Stacked, {140, 100}, {}, {40, 60, 100, 60}, "the back alone in the front's place"},
        {CardSides::Front, Pairing::Stacked, {80, 50}, {20, 30, 100, 60}, {},
         "a label smaller than the card: the card's lower-left corner on the label's"},
    };
    for (const Row &row : rows) {
        SheetLayout layout = letterGrid();
        layout.rows = layout.columns = 1;
        layout.sides = row.sides;
        layout.pairing = row.pairing;
        layout.labelWidth = float(row.label.width());
        layout.labelHeight = float(row.label.height());
        SolidCards cards(QSizeF(100, 60));
        const QImage sheet = drawPage(layout, 0, 1, cards);
        expectNear(boxOf(sheet, 0, 40), row.front, std::string(row.why) + " (front)");
        expectNear(boxOf(sheet, 100, 160), row.back, std::string(row.why) + " (back)");
    }
}

TEST(SheetLayout, GridCheckFitsRowsAndColumnsToThePaper)
{
    // A4 with 5 mm margins on every side and a CR80-sized card.
    const QSizeF a4(210 * kPointsPerMillimetre, 297 * kPointsPerMillimetre);
    const float five = MM_to_Points_Convert(5);
    const SheetMargins margins{five, five, five, five};
    struct Row {
        GridRequest request;
        int rows, columns;
        double horizontalGapMm, verticalGapMm;
        const char *why;
    };
    auto card = [](int rows, int columns, bool autoCentre, float gapMm = 0, CardSides sides = CardSides::Front) {
        GridRequest r;
        r.widthMm = 85.6f;
        r.heightMm = 54;
        r.rows = rows;
        r.columns = columns;
        r.autoCentre = autoCentre;
        r.horizontalGapMm = r.verticalGapMm = gapMm;
        r.sides = sides;
        return r;
    };
    const Row rows[] = {
        {card(6, 3, false), 5, 2, 0, 0, "3 columns become 2 and 6 rows become 5 (200 mm / 85.6, 287 mm / 54)"},
        {card(5, 2, true), 5, 2, 9.6, 2.833, "auto-centred: (200 - 171.2) / 3 and (287 - 270) / 6"},
        {card(5, 3, true), 5, 2, 9.6, 2.833, "3 columns do not fit: 2, with their gap at once"},
        {card(5, 3, false, 3), 5, 2, 3, 3, "a 3 mm gap: floor((210 + 3 - 10) / 88.6) = 2 columns; 5 rows fit"},
        {card(6, 1, false, 0, CardSides::Both), 2, 1, 0, 0, "a stacked pair is 108 mm high: floor(287 / 108) = 2"},
        {card(0, -2, false), 1, 1, 0, 0, "counts below 1 count as 1"},
    };
    for (const Row &row : rows) {
        const GridFit fit = fitGrid(row.request, a4, margins);
        EXPECT_EQ(fit.rows, row.rows) << row.why;
        EXPECT_EQ(fit.columns, row.columns) << row.why;
        EXPECT_NEAR(Points_to_MM_Convert(fit.horizontalGap), row.horizontalGapMm, 0.01) << row.why;
        EXPECT_NEAR(Points_to_MM_Convert(fit.verticalGap), row.verticalGapMm, 0.01) << row.why;
    }
    // Two 97 mm labels and a 6 mm gap fill 200 mm exactly: 3 columns asked
    // for become floor((200 + 6) / (97 + 6)) = 2, whether the 200 mm are a
    // whole paper or what margins leave of a wider one. Auto-centred, two
    // 100 mm labels fill it with no gap.
    for (const auto &[paperMm, marginMm] : {std::pair{200.0, 0.0f}, {210.0, 5.0f}, {216.0, 8.0f}, {297.0, 48.5f}}) {
        const QSizeF paper(paperMm * kPointsPerMillimetre, 297 * kPointsPerMillimetre);
        const float m = MM_to_Points_Convert(marginMm);
        GridRequest exact = card(1, 3, false, 6);
        exact.widthMm = 97;
        const GridFit fit = fitGrid(exact, paper, {m, m, m, m});
        EXPECT_EQ(fit.columns, 2) << paperMm << " mm paper, " << marginMm << " mm margins";
        EXPECT_NEAR(Points_to_MM_Convert(fit.horizontalGap), 6, 0.001) << paperMm << " mm paper";
        GridRequest centred = card(1, 3, true);
        centred.widthMm = 100;
        const GridFit full = fitGrid(centred, paper, {m, m, m, m});
        EXPECT_EQ(full.columns, 2) << paperMm << " mm paper, auto-centred";
        EXPECT_NEAR(full.horizontalGap, 0, 0.001) << paperMm << " mm paper, auto-centred";
    }
    // No printable area (a printer without settings) and a card without a
    // size: nothing to divide by, so the counts stay as typed.
    const SheetMargins wholePaper{0, float(a4.width()), float(a4.height()), 0};
    for (bool autoCentre : {false, true}) {
        GridRequest empty = card(3, 4, autoCentre);
        empty.widthMm = empty.heightMm = 0;
        EXPECT_EQ(fitGrid(empty, a4, wholePaper), (GridFit{0, 0, 0, 0, 3, 4})) << "auto-centred " << autoCentre;
    }
    // The cell of a pair covers both sides; the other pairing doubles the width.
    GridRequest pair = card(1, 1, false, 0, CardSides::Both);
    EXPECT_NEAR(Points_to_MM_Convert(fitGrid(pair, a4, margins).labelHeight), 108, 0.01);
    pair.pairing = Pairing::SideBySide;
    EXPECT_NEAR(Points_to_MM_Convert(fitGrid(pair, a4, margins).labelWidth), 171.2, 0.01);
}

TEST(SheetLayout, EachPageHoldsItsOwnLabelsInWhateverOrderItIsDrawn)
{
    SheetLayout layout = letterGrid();
    layout.rows = layout.columns = 2;
    // 7 labels on 2 x 2 sheets: 2 pages, the second with 3 labels; 8 fill
    // exactly 2 pages; none make none.
    EXPECT_EQ(pageCount(7, layout), 2);
    EXPECT_EQ(pageCount(8, layout), 2);
    EXPECT_EQ(pageCount(0, layout), 0);
    EXPECT_EQ(pageCount(-3, layout), 0);
    EXPECT_EQ(labelsOnPage(1, 7, layout), (PageLabels{4, 3}));
    EXPECT_EQ(labelsOnPage(2, 7, layout), PageLabels{});

    // Each label's card is a different grey, so a page shows which labels it holds.
    class NumberedCards : public LabelCards {
    public:
        QSizeF cardSize() const override { return {100, 80}; }
        bool prepare(int label, CardSides) override
        {
            m_label = label;
            return true;
        }
        void drawSide(QPainter &painter, int, const QRectF &target) override
        {
            painter.fillRect(target, QColor::fromHsv(0, 0, 20 * m_label));
        }

    private:
        int m_label = 0;
    } cards;
    const QImage second = drawPage(layout, 1, 7, cards);
    const QImage first = drawPage(layout, 0, 7, cards);
    EXPECT_EQ(drawPage(layout, 1, 7, cards), second) << "page 2 drawn again";
    EXPECT_EQ(drawPage(layout, 0, 7, cards), first) << "page 1 drawn after page 2";
    EXPECT_NE(first, second);
    // Page 2: labels 5 to 7 in reading order; the lower right cell is empty.
    const QPointF cellCentres[] = {{70, 80}, {180, 80}, {70, 166}, {180, 166}};
    const int greys[] = {80, 100, 120, 255};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(qGray(second.pixel((cellCentres[i] * kScale).toPoint())), greys[i], 1) << "cell " << i + 1;
}
