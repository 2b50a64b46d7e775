// Label sheets as files: every record's barcode read back from the printed
// PDF by a real reader, runs that stop or fail, and the sheet sample's
// captions and outlines as poppler reads them.

#include "barcodes/designer/BarcodeEngine.h"
#include "output/print/LabelSheet.h"
#include "tests/output/PdfTools.h"
#include "tests/support/TestSupport.h"

#include <QPainter>
#include <QPdfWriter>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace output;
using namespace quorvant::test;

namespace {

QString idOf(int label)
{
    return QStringLiteral("ID%1").arg(label, 6, 10, QLatin1Char('0'));
}

// A 252 x 144 pt card holding the Code 128 symbol of its label's id.
class BarcodeCards : public LabelCards {
public:
    BarcodeCards()
    {
        m_settings.barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf(QStringLiteral("Code 128")));
        m_settings.show_hide_hdr = m_settings.show_hide_ftr = 1;
    }
    QSizeF cardSize() const override { return {252, 144}; }
    bool prepare(int label, CardSides) override
    {
        if (label == failAt)
            throw std::runtime_error("the record could not be filled");
        m_symbol = barcodes::barcodeImageFor(m_settings, idOf(label), {}, {}, 600);
        return !m_symbol.isNull();
    }
    void drawSide(QPainter &painter, int, const QRectF &target) override
    {
        painter.fillRect(target, Qt::white);
        m_symbol.draw(painter, QRectF(target.left() + 18, target.top() + 40, 216, 78));
    }

    int failAt = -1;

private:
    barcodes::BarcodeSettings m_settings;
    platform::Image m_symbol;
};

// 10 cards of 252 x 144 pt on US Letter, auto-centred in 5 rows of 2.
SheetLayout letterOfTen()
{
    SheetLayout layout;
    layout.paper = QSizeF(612, 792);
    layout.labelWidth = 252;
    layout.labelHeight = 144;
    layout.rows = 5;
    layout.columns = 2;
    layout.autoCentre = true;
    layout.horizontalGap = (612 - 2 * 252) / 3.0f;
    layout.verticalGap = (792 - 5 * 144) / 6.0f;
    return layout;
}

// The ids read from the cells of a rendered page, in reading order; one
// cell at a time, as the reader takes one linear symbol per picture.
QStringList idsOnPage(const QString &pdf, int page, const SheetLayout &layout, int cells)
{
    constexpr int kDpi = 200;
    const QImage sheet = renderPdfPage(pdf, page, kDpi);
    QStringList ids;
    for (int i = 0; i < cells; ++i) {
        const LabelPlace place = labelPlace(layout, i / layout.columns + 1, i % layout.columns + 1, {252, 144});
        const Decoded d = decodeBarcode(cropPoints(sheet, onPage(place.first, layout.paper), kDpi),
                                        ZXing::BarcodeFormat::Code128);
        ids.append(d.valid ? QString::fromStdString(d.text) : QStringLiteral("<none>"));
    }
    return ids;
}

} // namespace

TEST(LabelSheet, EveryBarcodeOnTheFirstAndLastPageReadsItsLabelsId)
{
    TempFolder tmp;
    const QString pdf = tmp.file("cards.pdf");
    const SheetLayout layout = letterOfTen();
    BarcodeCards cards;
    QList<int> progress;
    const SheetRun run = printSheetsToPdf(pdf, layout, 23, cards, [&](int done, int pages) {
        progress.append(done * 10 + pages);
        return true;
    });
    EXPECT_EQ(run, (SheetRun{3, false, {}}));
    EXPECT_EQ(progress, (QList<int>{13, 23, 33}));

    const PdfInfo info = pdfInfo(pdf);
    EXPECT_EQ(info.pages, 3);
    EXPECT_EQ(info.paper, QSizeF(612, 792));
    // The bars are drawn as shapes, not pasted as pictures.
    EXPECT_EQ(pdfImages(pdf).uses, 0);
    QStringList first, last;
    for (int label = 0; label < 10; ++label)
        first.append(idOf(label));
    for (int label = 20; label < 23; ++label)
        last.append(idOf(label));
    last << "<none>" << "<none>"; // the cells after the last label stay empty
    EXPECT_EQ(idsOnPage(pdf, 1, layout, 10), first);
    EXPECT_EQ(idsOnPage(pdf, 3, layout, 5), last);
}

TEST(LabelSheet, AStoppedOrFailedRunLeavesTheEarlierFileAndSaysWhy)
{
    TempFolder tmp;
    const QString pdf = tmp.file("cards.pdf");
    writeTestFile(pdf, "earlier");
    const SheetLayout layout = letterOfTen();

    BarcodeCards cards;
    const SheetRun stopped = printSheetsToPdf(pdf, layout, 30, cards, [](int done, int) { return done < 2; });
    EXPECT_EQ(stopped, (SheetRun{2, true, {}}));
    EXPECT_EQ(readTestFile(pdf), "earlier");

    cards.failAt = 14;
    const SheetRun failed = printSheetsToPdf(pdf, layout, 30, cards);
    EXPECT_EQ(failed, (SheetRun{1, false, QStringLiteral("the record could not be filled")}));
    EXPECT_EQ(readTestFile(pdf), "earlier");

    // A folder that cannot take the file.
    EXPECT_FALSE(printSheetsToPdf(tmp.file("missing/cards.pdf"), layout, 3, cards).failure.isEmpty());
}

TEST(LabelSheet, TheSampleNumbersEveryCellWhereItsSideWouldBePrinted)
{
    // 2 x 3 cells of a 100 x 60 pt card at the top left of A5-ish paper,
    // no margins; captions as poppler reads them, centres in points.
    struct Caption {
        QString text;
        QPointF centre;
    };
    struct Row {
        CardSides sides;
        Pairing pairing;
        QSizeF card;
        QSizeF label;
        QList<Caption> captions; // of cells 1 and 6
        const char *why;
    };
    const QList<Row> rows = {
        {CardSides::Front, Pairing::Stacked, {100, 60}, {100, 60},
         {{"Frame 1", {50, 30}}, {"Frame 6", {250, 90}}}, "one side: Frame n row by row"},
        {CardSides::Back, Pairing::Stacked, {100, 60}, {100, 60},
         {{"Back 1", {50, 30}}, {"Back 6", {250, 90}}}, "the back alone: Back n"},
        {CardSides::Both, Pairing::Stacked, {100, 60}, {100, 120},
         {{"Frame 1", {50, 30}}, {"Back 1", {50, 90}}, {"Frame 6", {250, 150}}, {"Back 6", {250, 210}}},
         "stacked: Frame n in the upper half, Back n below"},
        {CardSides::Both, Pairing::SideBySide, {100, 60}, {200, 60},
         {{"Frame 1", {50, 30}}, {"Back 1", {150, 30}}, {"Frame 6", {450, 90}}, {"Back 6", {550, 90}}},
         "side by side: Frame n on the left, Back n on the right"},
        {CardSides::Front, Pairing::Stacked, {}, {100, 60},
         {{"Invalid Data", {50, 30}}, {"Invalid Data", {250, 90}}}, "no card: Invalid Data in every cell"},
    };
    for (const Row &row : rows) {
        TempFolder tmp;
        const QString pdf = tmp.file("sample.pdf");
        SheetLayout layout;
        layout.paper = QSizeF(620, 420);
        layout.rows = 2;
        layout.columns = 3;
        layout.sides = row.sides;
        layout.pairing = row.pairing;
        layout.labelWidth = float(row.label.width());
        layout.labelHeight = float(row.label.height());
        {
            QPdfWriter writer(pdf);
            writer.setPageSize(QPageSize(layout.paper, QPageSize::Point));
            writer.setPageMargins(QMarginsF());
            writer.setResolution(72);
            QPainter painter(&writer);
            paintSampleSheet(painter, layout, row.card, true);
        }
        // Captions are read as words; a caption's words share a line.
        QList<Caption> read;
        const QList<PdfWord> words = pdfWords(pdf, 1);
        for (qsizetype i = 0; i + 1 < words.size(); i += 2) {
            const QRectF box = words[i].box.united(words[i + 1].box);
            read.append({words[i].text + ' ' + words[i + 1].text, box.center()});
        }
        const int perCell = row.sides == CardSides::Both ? 2 : 1;
        ASSERT_EQ(read.size(), 6 * perCell) << row.why;
        for (const Caption &expected : row.captions) {
            const auto found = std::find_if(read.begin(), read.end(), [&](const Caption &c) {
                return c.text == expected.text && QLineF(c.centre, expected.centre).length() < 3;
            });
            EXPECT_NE(found, read.end()) << row.why << ": " << expected.text.toStdString() << " at ("
                                         << expected.centre.x() << ", " << expected.centre.y() << ")";
        }
    }
}

TEST(LabelSheet, TheSampleOutlinesEachCellOnlyWhenAskedTo)
{
    SheetLayout layout;
    layout.paper = QSizeF(300, 200);
    layout.labelWidth = 100;
    layout.labelHeight = 60;
    layout.horizontalGap = 20;
    layout.rows = 2;
    layout.columns = 2;
    for (bool outlines : {true, false}) {
        QImage sheet(300, 200, QImage::Format_RGB32);
        QPainter painter(&sheet);
        paintSampleSheet(painter, layout, QSizeF(100, 60), outlines);
        painter.end();
        // The left edge of the second column's cells, half way down them.
        const int grey = qGray(sheet.pixel(120, 30));
        EXPECT_EQ(grey < 100, outlines) << "grey " << grey;
        EXPECT_EQ(qGray(sheet.pixel(110, 30)), 255) << "the gap stays white";
    }
}
