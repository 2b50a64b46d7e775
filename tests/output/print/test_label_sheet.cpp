// Label sheets as files: runs that stop or fail, a label that cannot be
// made costing only itself, and the sheet sample's
// captions and outlines as poppler reads them.

#include "output/print/LabelSheet.h"
#include "tests/output/PdfTools.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace output;
using namespace quorvant::test;

namespace {

// Grey cards; one label may fail to be made.
class Cards : public LabelCards {
public:
    QSizeF cardSize() const override { return {252, 144}; }
    bool prepare(int label, CardSides) override
    {
        if (label == failAt)
            throw std::runtime_error("the record could not be filled");
        return true;
    }
    void drawSide(QPainter &painter, int, const QRectF &target) override { painter.fillRect(target, Qt::gray); }
    void labelFailed(int label, const QString &reason) override { failed << QStringLiteral("%1: %2").arg(label).arg(reason); }
    bool labelDone(int label) override
    {
        done << label;
        return label != stopAfter;
    }

    int failAt = -1;
    int stopAfter = -1;
    QStringList failed;
    QList<int> done;
};

// US Letter with 5 rows of 2 badges of 252 x 144 pt: ten cards a sheet.
SheetLayout letterOfTenBadges()
{
    SheetLayout layout;
    layout.paper = QSizeF(612, 792);
    layout.labelWidth = 252;
    layout.labelHeight = 144;
    layout.rows = 5;
    layout.columns = 2;
    return layout;
}

} // namespace

TEST(LabelSheet, EveryPageIsReportedAndAStoppedOrFailedRunLeavesTheEarlierFile)
{
    TempFolder tmp;
    const QString pdf = tmp.file("cards.pdf");
    const SheetLayout layout = letterOfTenBadges();
    Cards cards;
    QList<int> progress;
    EXPECT_EQ(printSheetsToPdf(pdf, layout, 23, cards, [&](int done, int pages) {
                  progress.append(done * 10 + pages);
                  return true;
              }),
              (SheetRun{3, 23, false, {}}));
    EXPECT_EQ(progress, (QList<int>{13, 23, 33}));
    EXPECT_EQ(pdfInfo(pdf).pages, 3);
    EXPECT_EQ(pdfInfo(pdf).paper, QSizeF(612, 792));

    writeTestFile(pdf, "earlier");
    EXPECT_EQ(printSheetsToPdf(pdf, layout, 30, cards, [](int done, int) { return done < 2; }),
              (SheetRun{2, 20, true, {}}));
    EXPECT_EQ(readTestFile(pdf), "earlier");
    // One label that cannot be made is reported, and the run goes on.
    cards.failAt = 14;
    EXPECT_EQ(printSheetsToPdf(pdf, layout, 30, cards), (SheetRun{3, 30, false, {}}));
    EXPECT_EQ(cards.failed, QStringList{"14: the record could not be filled"});
    EXPECT_EQ(pdfInfo(pdf).pages, 3);
    // Between two cards, whether the card was made or not, the run can be
    // stopped: no further card is drawn, and the page cut short is no page,
    // though its cards are counted.
    cards.done.clear();
    cards.stopAfter = 13;
    EXPECT_EQ(printSheetsToPdf(pdf, layout, 30, cards, [](int, int) { return true; }), (SheetRun{1, 14, true, {}}));
    QList<int> upToStop;
    for (int label = 0; label <= 13; ++label)
        upToStop << label;
    EXPECT_EQ(cards.done, upToStop);
    EXPECT_EQ(pdfInfo(pdf).pages, 3) << "the stopped run left the earlier file";
    // A stop at a sheet's last card keeps that sheet whole and starts no
    // other; at the run's last card the run is whole and ends as one.
    cards.done.clear();
    cards.stopAfter = 19;
    writeTestFile(pdf, "earlier");
    EXPECT_EQ(printSheetsToPdf(pdf, layout, 30, cards, [](int, int) { return true; }), (SheetRun{2, 20, true, {}}));
    EXPECT_EQ(cards.done.size(), 20);
    EXPECT_EQ(readTestFile(pdf), "earlier");
    cards.stopAfter = 29;
    EXPECT_EQ(printSheetsToPdf(pdf, layout, 30, cards, [](int, int) { return true; }), (SheetRun{3, 30, false, {}}));
    EXPECT_EQ(pdfInfo(pdf).pages, 3);
    // A folder that cannot take the file: the failure names it.
    EXPECT_TRUE(printSheetsToPdf(tmp.file("missing/cards.pdf"), layout, 3, cards)
                    .failure.startsWith(tmp.file("missing/cards.pdf") + ": "));
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

TEST(LabelSheet, AFullDiskLeavesNoCutFileAndSaysWhy)
{
    // A few sheets of cards (about 6 KB of PDF) onto a disk with room for
    // 4 KiB: the last bytes, written as the file is finished, do not fit.
    SmallDisk disk(4);
    const SheetLayout layout = letterOfTenBadges();
    Cards cards;
    const QString pdf = disk.file("cards.pdf");
    const SheetRun run = printSheetsToPdf(pdf, layout, 60, cards);
    EXPECT_EQ(run.failure, pdf + ": " + disk.fullReason());
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
}
