// The print set-up window as a user drives it: its fields, the grid check,
// and print runs to PDF files and into the preview, read back with poppler
// and a real barcode reader. No printer is installed here (the scheduler
// address leads nowhere), so the printer list offers the PDF file alone.

#include "design_window/DesignFile.h"
#include "design_window/ResourceFolder.h"
#include "design_window/TVNWindowController.h"
#include "output/print_window/PrintWindowsImpl.h"
#include "output/widgets/Send_Modeless.h"
#include "tests/output/CardFixtures.h"
#include "tests/output/print_window/PrintTestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <string>

using namespace quorvant::test;

namespace {

// No print scheduler: the system lists no printer.
class NoScheduler : public ::testing::Environment {
public:
    void SetUp() override { qputenv("CUPS_SERVER", (m_dir.path() + "/no-scheduler.sock").toUtf8()); }

private:
    QTemporaryDir m_dir;
};
const auto *const kNoScheduler = ::testing::AddGlobalTestEnvironment(new NoScheduler);

// US Letter, 5 rows of 2 cards, auto-centred: 10 cards a sheet.
void letterOfTen(Print_Wnd &w)
{
    PrintTest::choosePaper(w, QPageSize::Letter);
    w.Auto_Center_chk_bx->click();
    PrintTest::setGrid(w, 5, 2);
}

// Where letterOfTen puts the first `count` 252 x 144 pt cards of a sheet:
// on 612 x 792 pt, (612 - 2 x 252) / 3 = 36 across and (792 - 5 x 144) / 6
// = 12 down before, between and after them.
QList<QPointF> letterOfTenPlaces(qsizetype count = 10)
{
    return cardPlaces({36, 324}, {12, 168, 324, 480, 636}, count);
}

// US Letter, one card a sheet, one copy.
void letterOfOne(Print_Wnd &w)
{
    PrintTest::choosePaper(w, QPageSize::Letter);
    PrintTest::setGrid(w, 1, 1);
    if (auto *copies = w.findChild<QSpinBox *>("no_of_copy"))
        copies->setValue(1);
}

// Page margins (points) as a printer's page set-up leaves them.
void setMargins(Print_Wnd &w, const QMarginsF &margins)
{
    ASSERT_TRUE(output::printInfo->setPageMargins(margins, QPageLayout::Point));
    w.Set_values_From_Printer();
    w.Check_Max_Cell_Value();
}

// Page 1 of `pdf` holds the design's own card (the symbol of "TYPED", the
// text "FRONT") at each of `places`, and no other card.
void expectCardsAt(const QString &pdf, const QList<QPointF> &places, const std::string &why)
{
    EXPECT_EQ(cardsOnPage(pdf, 1, places), QStringList(places.size(), "TYPED FRONT")) << why;
    const QList<PdfWord> words = pdfWords(pdf, 1);
    EXPECT_EQ(std::count_if(words.begin(), words.end(), [](const PdfWord &w) { return w.text == "FRONT"; }),
              places.size())
        << why;
}

// Types `text` into a field as a user does: what it shows selected, the
// keys, then Enter.
void typeInto(QAbstractSpinBox *field, const QString &text)
{
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

} // namespace

TEST_F(PrintTest, RowsAndColumnsTakeWhatIsTypedUpToTheMostThatFit)
{
    struct Row {
        const char *field, *typed;
        const char *rows, *columns; // the fields as the user then sees them
    };
    struct Sheet {
        QPageSize::PageSizeId paper;
        const char *width, *height; // typed first
        std::vector<Row> steps;
        const char *why;
    };
    // The 252 x 144 pt card is 88.9 x 50.8 mm: on A4 (210 x 297 mm) 2
    // columns and 5 rows fit. A CR80 card (85.6 x 54 mm) on US Letter
    // (215.9 x 279.4 mm): 2 columns and 5 rows.
    const Sheet sheets[] = {
        {QPageSize::A4, "", "",
         {{"Row_Text", "4", "4", "1"}, {"Col_Text", "5", "4", "2"}, {"Row_Text", "2", "2", "2"},
          {"Row_Text", "7", "5", "2"}, {"Row_Text", "123456789012", "5", "2"}},
         "A4 after an opening with both sides stacked, which holds 2 rows"},
        {QPageSize::Letter, "85.6", "54",
         {{"Row_Text", "3", "3", "1"}, {"Row_Text", "4", "4", "1"}, {"Col_Text", "2", "4", "2"},
          {"Col_Text", "3", "4", "2"}},
         "a CR80 card on US Letter"},
    };
    for (const Sheet &sheet : sheets) {
        // The opening before: both sides stacked, 2 rows, then Escape.
        open([&](Print_Wnd &w) {
            PrintTest::choosePaper(w, sheet.paper);
            w.card_side_rows[0]->click();
            typeInto(w.Row_Text, "2");
            EXPECT_EQ(w.Row_Text->text(), "2");
            QTest::keyClick(&w, Qt::Key_Escape);
            EXPECT_FALSE(w.isVisible());
        });
        open([&](Print_Wnd &w) {
            if (*sheet.width) {
                typeInto(w.width_Text, sheet.width);
                typeInto(w.height_Text, sheet.height);
            }
            for (const Row &row : sheet.steps) {
                typeInto(w.findChild<QSpinBox *>(row.field), row.typed);
                const QString after = QStringLiteral("%1 typed into %2, %3").arg(row.typed, row.field, sheet.why);
                EXPECT_EQ(w.Row_Text->text(), QLatin1String(row.rows)) << after.toStdString();
                EXPECT_EQ(w.Col_Text->text(), QLatin1String(row.columns)) << after.toStdString();
                // The sheet is laid out as the fields say.
                EXPECT_EQ(output::Print_Row, w.Row_Text->value()) << after.toStdString();
                EXPECT_EQ(output::Print_Col, w.Col_Text->value()) << after.toStdString();
                EXPECT_EQ(w.Total_Text->value(), w.Row_Text->value() * w.Col_Text->value()) << after.toStdString();
            }
        });
    }
}

TEST_F(PrintTest, AutoCentringShowsTheGapsItLaysTheSheetOutWith)
{
    open([](Print_Wnd &w) {
        PrintTest::choosePaper(w, QPageSize::A4);
        typeInto(w.width_Text, "85.6");
        typeInto(w.height_Text, "54");
        typeInto(w.horz_mar_Text, "3");
        typeInto(w.Col_Text, "2");
        typeInto(w.Row_Text, "5");
        w.Auto_Center_chk_bx->click();
        // (210 - 2 x 85.6) / 3 and (297 - 5 x 54) / 6, in greyed fields.
        EXPECT_EQ(w.horz_mar_Text->text(), "12.93 mm");
        EXPECT_EQ(w.vert_mar_Text->text(), "4.50 mm");
        EXPECT_FALSE(w.horz_mar_Text->isEnabled());
        EXPECT_NEAR(output::Points_to_MM_Convert(output::horz_mar), 12.93, 0.01);
        typeInto(w.Col_Text, "1");
        EXPECT_EQ(w.horz_mar_Text->text(), "62.20 mm");
        // Without it the gaps typed before are back and used.
        w.Auto_Center_chk_bx->click();
        EXPECT_EQ(w.horz_mar_Text->text(), "3.00 mm");
        EXPECT_EQ(w.vert_mar_Text->text(), "0.00 mm");
        EXPECT_NEAR(output::Points_to_MM_Convert(output::horz_mar), 3, 0.001);
    });
}

TEST_F(PrintTest, OpeningStartsFromItsDefaultsWithTheCardsSize)
{
    open([](Print_Wnd &w) {
        letterOfTen(w);
        chooseSides(w, 0, 1);
        w.alignmentClicked(9);
    });
    bindRecords(25);
    open([](Print_Wnd &w) {
        EXPECT_TRUE(w.card_side_rows[1]->isChecked());
        EXPECT_FALSE(w.print_alignment->isEnabled());
        EXPECT_FALSE(w.Auto_Center_chk_bx->isChecked());
        EXPECT_TRUE(w.Show_Margins->isChecked());
        EXPECT_TRUE(w.align_Gp_Bx->isEnabled());
        EXPECT_EQ(output::label_align_val, 1);
        EXPECT_EQ(w.Row_Text->value(), 1);
        EXPECT_EQ(w.Col_Text->value(), 1);
        EXPECT_EQ(w.horz_mar_Text->value(), 0);
        // 252 x 144 pt is 88.9 x 50.8 mm.
        EXPECT_NEAR(w.width_Text->value(), 88.9, 0.01);
        EXPECT_NEAR(w.height_Text->value(), 50.8, 0.01);
        EXPECT_EQ(w.front_image.size(), kCard);
        // The records: 25, at most 25; only the series box can be ticked.
        EXPECT_EQ(w.Total_Text->value(), 25);
        EXPECT_EQ(w.Total_Text->maximum(), 25);
        EXPECT_TRUE(w.print_with_batch_chk->isChecked());
        EXPECT_FALSE(w.print_with_excel_chk->isEnabled());
        // Without records the total is 1, then rows x columns after each change.
        w.print_with_batch_chk->click();
        EXPECT_EQ(w.Total_Text->value(), 1);
        setGrid(w, 3, 1);
        EXPECT_EQ(w.Total_Text->value(), 3);
        EXPECT_EQ(w.Printer_ComboBox->currentText(), Print_Wnd::kPdfFileItem);
    });
}

TEST_F(PrintTest, TheGridFieldsAreFittedToThePaper)
{
    open([](Print_Wnd &w) {
        PrintTest::choosePaper(w, QPageSize::A4);
        EXPECT_EQ(w.Paper_id->text(), "A4");
        EXPECT_EQ(w.Size_id->text(), "210.00 x 297.00");
        EXPECT_EQ(w.l_mar_id->text(), "0.00");
        w.width_Text->setValue(85.6);
        w.height_Text->setValue(54);
        setGrid(w, 6, 3);
        // 210 / 85.6 and 297 / 54: 2 columns and 5 rows, 10 labels.
        EXPECT_EQ(w.Col_Text->value(), 2);
        EXPECT_EQ(w.Row_Text->value(), 5);
        EXPECT_EQ(w.Total_Text->value(), 10);
        // Auto-centring takes over the gaps and the alignment.
        w.Auto_Center_chk_bx->click();
        EXPECT_FALSE(w.horz_mar_Text->isEnabled());
        EXPECT_FALSE(w.align_Gp_Bx->isEnabled());
        EXPECT_NEAR(output::Points_to_MM_Convert(output::horz_mar), (210 - 171.2) / 3, 0.01);
        // Both sides stacked: 108 mm a label, 2 rows; the height field keeps one side.
        chooseSides(w, 0, 0);
        EXPECT_TRUE(w.print_alignment->isEnabled());
        EXPECT_EQ(w.Row_Text->value(), 2);
        // The limit shows in the range: a larger number typed stays at it.
        EXPECT_EQ(w.Row_Text->maximum(), 2);
        w.Row_Text->setValue(4);
        EXPECT_EQ(w.Row_Text->value(), 2);
        EXPECT_NEAR(w.height_Text->value(), 54, 0.001);
        EXPECT_NEAR(output::Points_to_MM_Convert(output::label_hight), 108, 0.01);
    });
}

// Without a printer the PDF file has a page set-up of its own: A4 with
// margins of 10 mm is what the window shows when it opens again, and the
// sheet it prints.
TEST_F(PrintTest, WithoutAPrinterThePdfFileKeepsItsPageSetupWhenTheWindowOpensAgain)
{
    int setups = 0;
    open([&setups](Print_Wnd &w) {
        platform::ScopedModalResponder panel([&setups](QDialog &d) {
            auto *setup = dynamic_cast<QPageSetupDialog *>(&d);
            if (!setup)
                return 0;
            ++setups;
            return acceptPageSetup(*setup, "A4", "10");
        });
        ASSERT_EQ(w.Printer_ComboBox->currentText(), Print_Wnd::kPdfFileItem);
        w.page_setup_btn->click();
    });
    EXPECT_EQ(setups, 1) << "the page set-up panel did not run";
    open([](Print_Wnd &w) {
        EXPECT_EQ((QStringList{w.Paper_id->text(), w.Size_id->text(), w.l_mar_id->text(), w.r_mar_id->text(),
                               w.t_mar_id->text(), w.b_mar_id->text()}),
                  (QStringList{"A4", "210.00 x 297.00", "10.00", "10.00", "10.00", "10.00"}));
        w.Auto_Center_chk_bx->click();
        setGrid(w, 5, 2);
        w.PrintButtonPressed();
    });
    // 190 x 277 mm inside the margins hold 2 x 5 cards of 252 x 144 pt with
    // (538.58 - 504) / 3 = 11.53 pt and (785.20 - 720) / 6 = 10.87 pt before,
    // between and after them: 39.87 pt left and 39.60 pt right of the grid
    // on the 595 pt page, 39.21 pt above and 39.32 pt below it on 842 pt.
    EXPECT_EQ(pdfInfo(pdf).paper, QSizeF(595, 842));
    expectCardsAt(pdf, cardPlaces({39.87, 303.40}, {39.21, 194.08, 348.94, 503.81, 658.68}),
                  "2 x 5 centred on A4 within 10 mm");
}

TEST_F(PrintTest, EveryRecordIsPrintedAndTheDesignShowsRecordZeroAfterwards)
{
    bindRecords(23);
    open([this](Print_Wnd &w) {
        letterOfTen(w);
        EXPECT_EQ(w.Total_Text->value(), 23);
        w.PrintButtonPressed();
        EXPECT_EQ(pdfInfo(pdf).pages, 3);
        EXPECT_EQ(pdfInfo(pdf).paper, QSizeF(612, 792));
        QStringList first, last;
        for (int n = 0; n < 10; ++n)
            first.append(cardShowing(n));
        last << cardShowing(20) << cardShowing(21) << cardShowing(22) << "-" << "-";
        EXPECT_EQ(cardsOnPage(pdf, 1, letterOfTenPlaces()), first);
        EXPECT_EQ(cardsOnPage(pdf, 3, letterOfTenPlaces(5)), last);
        EXPECT_NE(findWord(pdfWords(pdf, 3), recordName(22)), nullptr) << "texts stay text";
    });
    EXPECT_EQ(alerts, QStringList{});
    EXPECT_EQ(name->contentsString(), recordName(0));
}

TEST_F(PrintTest, PagesOfABatchRunStopWhereTheRecordsEnd)
{
    // 5 records, 8 labels on 2 x 2 sheets: page 2 holds record 4 and three
    // empty cells.
    bindRecords(5);
    open([this](Print_Wnd &w) {
        PrintTest::choosePaper(w, QPageSize::Letter);
        setGrid(w, 2, 2);
        w.Total_Text->setMaximum(8);
        w.Total_Text->setValue(8);
        w.PrintButtonPressed();
        EXPECT_EQ(pdfInfo(pdf).pages, 2);
        // Top left aligned on a sheet without margins: cards at 0 and 252
        // across, 0 and 144 down.
        EXPECT_EQ(cardsOnPage(pdf, 2, cardPlaces({0, 252}, {0, 144})), (QStringList{cardShowing(4), "-", "-", "-"}));
    });
}

TEST_F(PrintTest, SidesAndPairingsPutFrontAndBackInTheirPlaces)
{
    struct Row {
        int sideRow, pairing;
        QPointF backOffset; // from the front's word; none: no back
        bool front;
        const char *why;
    };
    const Row rows[] = {
        {1, 0, {}, true, "front only"},
        {2, 0, {}, false, "back only, in the front's place"},
        {0, 0, {0, 144}, true, "both, the back below the front"},
        {0, 1, {252, 0}, true, "both, the back right of the front"},
    };
    for (const Row &row : rows) {
        open([&](Print_Wnd &w) {
            PrintTest::choosePaper(w, QPageSize::Letter);
            chooseSides(w, row.sideRow, row.pairing);
            w.PrintButtonPressed();
        });
        const QList<PdfWord> words = pdfWords(pdf, 1);
        const PdfWord *frontWord = findWord(words, "FRONT");
        const PdfWord *backWord = findWord(words, "BACK");
        ASSERT_EQ(frontWord != nullptr, row.front) << row.why;
        ASSERT_EQ(backWord != nullptr, row.sideRow != 1) << row.why;
        // Text 18 pt in from the card's left edge, the label at the top left.
        const PdfWord *first = row.front ? frontWord : backWord;
        EXPECT_NEAR(first->box.left(), 18, 2) << row.why;
        if (row.sideRow == 0) {
            // The back's text sits 50 pt lower on its card than the front's.
            const QPointF offset = backWord->box.topLeft() - frontWord->box.topLeft() - QPointF(0, 50);
            EXPECT_NEAR(offset.x(), row.backOffset.x(), 1) << row.why;
            EXPECT_NEAR(offset.y(), row.backOffset.y(), 1) << row.why;
        }
    }
}

TEST_F(PrintTest, AlignmentsAndAutoCentringPlaceTheLabelsOnThePrintedSheet)
{
    // 2 x 2 cards of 252 x 144 on Letter (612 x 792) with margins that
    // differ on every side, as a printer's page set-up leaves them: 20 left,
    // 40 right, 30 top and 90 bottom. The block is 504 x 288 in a printable
    // area of 552 x 672 from (20, 30): 48 across and 384 down to spare.
    struct Row {
        int alignment; // 0: auto-centred
        QList<double> lefts, tops;
    };
    const QList<double> left{20, 272}, centre{44, 296}, right{68, 320};
    const QList<double> top{30, 174}, middle{222, 366}, bottom{414, 558};
    const Row rows[] = {{1, left, top},     {2, centre, top},     {3, right, top},
                        {4, left, middle},  {5, centre, middle},  {6, right, middle},
                        {7, left, bottom},  {8, centre, bottom},  {9, right, bottom},
                        // Gaps of 48 / 3 = 16 across and 384 / 3 = 128 down
                        // before, between and after the cards.
                        {0, {36, 304}, {158, 430}}};
    for (const Row &row : rows) {
        open([&](Print_Wnd &w) {
            PrintTest::choosePaper(w, QPageSize::Letter);
            setMargins(w, QMarginsF(20, 30, 40, 90));
            setGrid(w, 2, 2);
            if (row.alignment == 0)
                w.Auto_Center_chk_bx->click();
            else
                w.align_buttons[size_t(row.alignment - 1)]->click();
            w.PrintButtonPressed();
        });
        expectCardsAt(pdf, cardPlaces(row.lefts, row.tops), "alignment " + std::to_string(row.alignment));
    }
}

TEST_F(PrintTest, AGridThatFillsThePrintableWidthExactlyKeepsEveryColumn)
{
    // Margins that leave 200 mm across: two labels of 97 mm and the 6 mm gap
    // between them fill it exactly, on A4 with 5 mm at either side as on
    // US Letter (215.9 mm) with 7.95 mm.
    struct Row {
        QPageSize::PageSizeId paper;
        double sideMm;
        QList<double> lefts;
        std::string why;
    };
    // The labels start at the side margin and 97 + 6 = 103 mm further; the
    // 88.9 mm card sits (97 - 88.9) / 2 = 4.05 mm into its label: at 9.05
    // and 112.05 mm on A4, 12 and 115 mm on Letter. Down, all sit under the
    // 10 mm (28.35 pt) top margin.
    const Row rows[] = {{QPageSize::A4, 5, {25.65, 317.62}, "A4"},
                        {QPageSize::Letter, 7.95, {34.02, 325.98}, "Letter"}};
    for (const Row &row : rows) {
        open([&](Print_Wnd &w) {
            PrintTest::choosePaper(w, row.paper);
            setMargins(w, QMarginsF(row.sideMm, 10, row.sideMm, 30) * output::kPointsPerMillimetre);
            typeInto(w.width_Text, "97");
            typeInto(w.horz_mar_Text, "6");
            typeInto(w.Col_Text, "3");
            EXPECT_EQ(w.Col_Text->text(), "2") << row.why;
            EXPECT_EQ(w.Col_Text->maximum(), 2) << row.why;
            EXPECT_EQ(w.Total_Text->value(), 2) << row.why;
            w.PrintButtonPressed();
        });
        expectCardsAt(pdf, cardPlaces(row.lefts, {28.35}), "two 97 mm labels in 200 mm of " + row.why);
    }
}

TEST_F(PrintTest, NothingIsPrintedForNoLabelsOrAnOversizeLabelRefused)
{
    answers = {0, 1}; // OK, then No
    open([](Print_Wnd &w) {
        w.Total_Text->setValue(0);
        w.PrintButtonPressed();
        w.Total_Text->setValue(1);
        w.width_Text->setValue(900);
        w.PrintButtonPressed();
    });
    EXPECT_EQ(alerts, (QStringList{"There is no barcode to print.",
                                   "'Frame Size' is bigger than selected 'Paper Size' or drawn label may be out of "
                                   "margin area.\n\nDo you want to continue?"}));
    EXPECT_FALSE(QFileInfo::exists(pdf));
}

TEST_F(PrintTest, AStoppedOrFailingRunIsReportedAndRecordZeroPutBack)
{
    bindRecords(40);
    // Stop (answered Yes) while label 15 is filled, on the second of 4
    // sheets: the click is heard once that card is made, and no other card
    // is made; the message counts the cards made, as the run sheet did.
    int lastFilled = -1;
    onFill = [&](int n) {
        lastFilled = n;
        if (n == 15)
            Send_Modeless::defaultInstance()._stop_btn->click();
    };
    open([](Print_Wnd &w) {
        letterOfTen(w);
        w.PrintButtonPressed();
    });
    EXPECT_EQ(alerts, (QStringList{"Are you sure you want to continue?",
                                   "Printing was stopped after 16 of 40 cards (2 of 4 sheets). Nothing was printed."}));
    EXPECT_EQ(lastFilled, 15);
    EXPECT_FALSE(QFileInfo::exists(pdf));
    EXPECT_EQ(name->contentsString(), recordName(0));

    // Record 4 cannot be filled: it is left out, the run goes on, and the
    // message at the end names it.
    alerts.clear();
    onFill = {};
    failingRecord = 3;
    setCode(QStringLiteral("TYPED"));
    bindRecords(6);
    open([this](Print_Wnd &w) {
        letterOfTen(w);
        w.PrintButtonPressed();
        EXPECT_EQ(cardsOnPage(pdf, 1, letterOfTenPlaces(6)),
                  (QStringList{cardShowing(0), cardShowing(1), cardShowing(2), "-", cardShowing(4), cardShowing(5)}));
    });
    EXPECT_EQ(alerts, QStringList{"5 cards were printed.\n\nCard 4 could not be made and was left out:\n"
                                  "Card 4: the picture is missing"});
}

TEST_F(PrintTest, APictureOnEveryCardIsInTheFileOnceAndSymbolsAreRectangles)
{
    QImage photo(300, 400, QImage::Format_RGB32);
    photo.fill(QColor(200, 120, 60));
    const QString path = tmp.file("photo.png");
    ASSERT_TRUE(photo.save(path));
    auto picture = std::static_pointer_cast<TVNImage>(newGraphicOfClass(GraphicClass::Image));
    picture->setFilePath(path, {});
    picture->setBounds(QRectF(200, 10, 40, 50));
    front.push_back(picture);
    for (int records : {0, 20}) {
        bindRecords(records);
        open([](Print_Wnd &w) {
            letterOfTen(w);
            w.Total_Text->setValue(20);
            w.PrintButtonPressed();
        });
        EXPECT_EQ(pdfInfo(pdf).pages, 2);
        EXPECT_EQ(pdfImages(pdf).uses, 20) << records << " records";
        EXPECT_EQ(pdfImages(pdf).objects, 1) << records << " records";
    }
    // A 2-D symbol is printed as rectangles, not as a picture, and reads
    // back.
    codeSettings.barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf(QStringLiteral("QR Code")));
    codeSettings.linear_or_2d = 1;
    code->setBarcodeSettings(codeSettings);
    code->setBounds(QRectF(18, 40, 90, 90));
    setCode(QStringLiteral("QR-SYMBOL"));
    front.pop_back();
    bindRecords(0);
    open([](Print_Wnd &w) {
        PrintTest::choosePaper(w, QPageSize::Letter);
        w.PrintButtonPressed();
    });
    EXPECT_EQ(pdfImages(pdf).objects, 0);
    const Decoded qr = decodeBarcode(cropPoints(renderPdfPage(pdf, 1, 200), QRectF(0, 0, 252, 144), 200),
                                     ZXing::BarcodeFormat::QRCode);
    EXPECT_EQ(qr.text, "QR-SYMBOL");
}

TEST_F(PrintTest, ThePreviewShowsAtMostFiftySheetsWhilePrintingShowsAll)
{
    int previewed = 0;
    open(
        [](Print_Wnd &w) {
            letterOfTen(w);
            w.Total_Text->setValue(600);
            w.PreviewButtonPressed();
            w.PrintButtonPressed();
        },
        [&](QPrintPreviewDialog &preview) {
            auto *pages = preview.findChild<QPrintPreviewWidget *>();
            pages->updatePreview();
            previewed = pages->pageCount();
        });
    EXPECT_EQ(previewed, 50);
    EXPECT_EQ(alerts, QStringList{"For Qualitative and Performance reason, previewer shows print previews of only "
                                  "first 50 sheets. However, printing has no such restriction."});
    EXPECT_EQ(pdfInfo(pdf).pages, 60);
}

TEST(PrintCommand, WithoutPrintersThePdfFileIsOfferedAndAGonePrinterRefused)
{
    QStringList alerts;
    platform::ScopedAlertResponder responder([&](const platform::AlertRequest &r) {
        alerts.append(r.text.trimmed());
        return 0;
    });
    const InstalledServices services(printServices());
    TVNWindowController window;
    QAction *print = window.findChild<QAction *>("act_print");
    ASSERT_NE(print, nullptr);
    EXPECT_TRUE(print->isEnabled());
    // Without printers the window opens on its PDF file; a printer that is
    // gone by the time Print is pressed is refused.
    QStringList offered;
    platform::ScopedModalResponder user([&](QDialog &d) {
        if (auto *w = dynamic_cast<Print_Wnd *>(&d)) {
            for (int i = 0; i < w->Printer_ComboBox->count(); ++i)
                offered << w->Printer_ComboBox->itemText(i);
            w->Printer_ComboBox->insertItem(0, "Gone");
            w->Printer_ComboBox->setCurrentIndex(0);
            w->comboBoxSelectionDidChange(w->Printer_ComboBox);
            w->PrintButtonPressed();
        }
        return 0;
    });
    print->trigger();
    EXPECT_EQ(offered, QStringList{Print_Wnd::kPdfFileItem});
    EXPECT_EQ(alerts, QStringList{"No printer found."});
}

TEST_F(PrintTest, ClicksQueuedDuringARunStartNoSecondRun)
{
    bindRecords(40);
    int firstRecordFills = 0;
    bool commandsOff = false;
    onFill = [&](int n) {
        if (n != 0)
            return;
        ++firstRecordFills;
        // A double click on Print, and a click on Preview, waiting in the
        // queue while the run holds the main thread.
        QMetaObject::invokeMethod(wnd->print_btn, "click", Qt::QueuedConnection);
        QMetaObject::invokeMethod(wnd->print_btn, "click", Qt::QueuedConnection);
        QMetaObject::invokeMethod(wnd->preview_btn, "click", Qt::QueuedConnection);
        commandsOff = !wnd->print_btn->isEnabled() && !wnd->preview_btn->isEnabled()
                      && Send_Modeless::defaultInstance().isVisible();
    };
    open([](Print_Wnd &w) {
        letterOfTen(w);
        w.PrintButtonPressed();
        EXPECT_TRUE(w.print_btn->isEnabled());
    });
    EXPECT_EQ(firstRecordFills, 1);
    EXPECT_TRUE(commandsOff);
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();
    EXPECT_EQ(pdfInfo(pdf).pages, 4);
    EXPECT_FALSE(Send_Modeless::defaultInstance().isVisible());
}

TEST(PrintCommand, ACardMadeWithoutItsBarcodeIsNamedAndEveryOtherCardPrinted)
{
    PrintCommandDesk desk;
    TempFolder &tmp = desk.tmp;
    QStringList &alerts = desk.alerts;
    TVNWindowController &window = desk.window;
    // Five records: a Code 128 id, and an EAN-13 value that has a letter
    // in record 3, which EAN-13 refuses.
    QStringList ids, eans;
    for (int n = 0; n < 5; ++n) {
        ids << recordId(n);
        eans << (n == 2 ? QStringLiteral("40123X") : QStringLiteral("40123455%1").arg(n, 4, 10, QLatin1Char('0')));
    }
    ASSERT_TRUE(window.seriesStore().writeSeries("Ids", ids));
    ASSERT_TRUE(window.seriesStore().writeSeries("Eans", eans));
    window.applyCardSize(QSizeF(88.9, 50.8));
    for (const auto &[box, series, symbology] :
         {std::tuple{QRectF(18, 52, 216, 78), "Ids", "Code 128"}, std::tuple{QRectF(18, 4, 120, 40), "Eans", "EAN-13"},
          std::tuple{QRectF(200, 4, 44, 44), "Ids", "QR Code"}}) {
        GraphicPtr code = newGraphicOfClass(GraphicClass::Barcode);
        code->setBounds(box);
        barcodes::BarcodeSettings settings;
        settings.barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf(QLatin1String(symbology)));
        settings.linear_or_2d = barcodes::isTwoDimensionalTitle(QLatin1String(symbology));
        code->setBarcodeSettings(settings);
        code->Set_Data_source_type(1);
        code->Set_Batch_List_Name(QLatin1String(series));
        window.Get_Front_Controls_Array().push_back(code);
    }
    const QString pdf = tmp.file("cards.pdf");
    platform::ScopedModalResponder user([&](QDialog &d) {
        if (auto *w = dynamic_cast<Print_Wnd *>(&d)) {
            letterOfTen(*w);
            w->PrintButtonPressed();
        } else if (auto *panel = dynamic_cast<QFileDialog *>(&d)) {
            panel->selectFile(pdf);
            return 1;
        }
        return 0;
    });
    window.findChild<QAction *>("act_print")->trigger();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first().startsWith("5 cards were printed.\n\nCard 3 was made without its barcode:\n"
                                          "Card 3: \"40123X\": "))
        << alerts.first().toStdString();
    EXPECT_EQ(cardsOnPage(pdf, 1, letterOfTenPlaces(5)), ids);
    // Every record's QR Code went out as rectangles, not as a picture.
    EXPECT_EQ(pdfImages(pdf).objects, 0);
}

TEST(PrintCommand, BoundDataThatCannotBeUsedIsNamedInThePrintEndMessage)
{
    struct Row {
        const char *why;
        QString series;      // the series a text is bound to ("" none)
        int column;          // the column a text is bound to (0 none)
        bool records;        // a series of five ids is bound too
        QString expected;    // the alert; "" none
    };
    const Row rows[] = {
        {"a deleted series beside one that has records", "Gone", 0, true,
         "5 cards were printed.\n\nThe cards were made without data that could not be used:\nseries \"Gone\" (%1): "
         "No such file."},
        {"a column the spreadsheet does not have", "", 3, true,
         "5 cards were printed.\n\nThe cards were made without data that could not be used:\ncolumn 3: The "
         "spreadsheet has 2 columns."},
        {"the only bound series deleted: the design as it is, still named", "Gone", 0, false,
         "1 card was printed.\n\nThe cards were made without data that could not be used:\nseries \"Gone\" (%1): "
         "No such file."},
        {"every bound source usable", "", 0, true, ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.why);
        PrintCommandDesk desk;
        TVNWindowController &window = desk.window;
        QStringList ids, titles{"Id", "Name"};
        for (int n = 0; n < 5; ++n)
            ids << recordId(n);
        ASSERT_TRUE(window.seriesStore().writeSeries("Ids", ids));
        design_window::restoreSpreadsheetTable(
            {titles, {{{"Extension", "1"}, {"Column1", "7"}, {"Column2", "Ann"}}}});
        window.applyCardSize(QSizeF(88.9, 50.8));
        auto bound = [&](GraphicClass cls, QRectF box, int type, const QString &series, int column) {
            GraphicPtr g = newGraphicOfClass(cls);
            g->setBounds(box);
            g->Set_Data_source_type(type);
            g->Set_Batch_List_Name(series);
            g->Set_Excel_binding_Index(column);
            window.Get_Front_Controls_Array().push_back(g);
        };
        if (row.records)
            bound(GraphicClass::Barcode, QRectF(18, 52, 216, 78), 1, "Ids", 0);
        if (!row.series.isEmpty())
            bound(GraphicClass::Text, QRectF(18, 4, 120, 30), 1, row.series, 0);
        if (row.column > 0)
            bound(GraphicClass::Text, QRectF(18, 4, 120, 30), 2, {}, row.column);
        platform::ScopedModalResponder user([&](QDialog &d) {
            if (auto *w = dynamic_cast<Print_Wnd *>(&d)) {
                letterOfOne(*w);
                w->PrintButtonPressed();
            } else if (auto *panel = dynamic_cast<QFileDialog *>(&d)) {
                panel->selectFile(desk.tmp.file("cards.pdf"));
                return 1;
            }
            return 0;
        });
        window.findChild<QAction *>("act_print")->trigger();
        const QString gone = window.seriesStore().seriesFilePath("Gone").value_or(QString());
        QString expected = row.expected;
        expected.replace("%1", gone);
        EXPECT_EQ(desk.alerts, expected.isEmpty() ? QStringList() : QStringList{expected});
        EXPECT_TRUE(QFileInfo(desk.tmp.file("cards.pdf")).size() > 0);
        design_window::restoreSpreadsheetTable({});
    }
}

TEST(PrintCommand, ADamagedPictureOfTheDesignIsNamedInThePrintEndMessage)
{
    const QString named = "\n\nThe cards were made without these damaged pictures of the design:\n"
                          "The image \"Photo\" (object 1 on the front): the picture ends early";
    for (const bool records : {false, true}) {
        SCOPED_TRACE(records ? "five records" : "the design as it is");
        PrintCommandDesk desk;
        TVNWindowController &window = desk.window;
        window.applyCardSize(QSizeF(88.9, 50.8));
        if (records) {
            QStringList ids;
            for (int n = 0; n < 5; ++n)
                ids << recordId(n);
            ASSERT_TRUE(window.seriesStore().writeSeries("Ids", ids));
            GraphicPtr code = newGraphicOfClass(GraphicClass::Barcode);
            code->setBounds(QRectF(18, 52, 216, 78));
            code->Set_Data_source_type(1);
            code->Set_Batch_List_Name("Ids");
            window.Get_Front_Controls_Array().push_back(code);
        }
        openDesignWithCutPhoto(window, desk.tmp.path(), QRectF(180, 4, 60, 44));
        ASSERT_EQ(desk.alerts, QStringList{kCutPhotoOpened});
        desk.alerts.clear();
        int printed = 0;
        platform::ScopedModalResponder user([&](QDialog &d) {
            if (auto *w = dynamic_cast<Print_Wnd *>(&d)) {
                letterOfOne(*w);
                w->PrintButtonPressed();
                ++printed;
            } else if (auto *panel = dynamic_cast<QFileDialog *>(&d)) {
                panel->selectFile(desk.tmp.file("cards.pdf"));
                return 1;
            }
            return 0;
        });
        window.findChild<QAction *>("act_print")->trigger();
        EXPECT_EQ(printed, 1);
        EXPECT_EQ(desk.alerts, QStringList{(records ? "5 cards were printed." : "1 card was printed.") + named});
        EXPECT_GT(QFileInfo(desk.tmp.file("cards.pdf")).size(), 0);
    }
}

TEST(PrintCommand, EveryRunOfOnePrintWindowNamesTheDataItCouldNotUse)
{
    // A preview and then two prints from one opening of the window: each
    // print names the deleted series, none ends as a success.
    PrintCommandDesk desk;
    TVNWindowController &window = desk.window;
    QStringList ids;
    for (int n = 0; n < 5; ++n)
        ids << recordId(n);
    ASSERT_TRUE(window.seriesStore().writeSeries("Ids", ids));
    window.applyCardSize(QSizeF(88.9, 50.8));
    for (const auto &[cls, box, series] : {std::tuple{GraphicClass::Barcode, QRectF(18, 52, 216, 78), "Ids"},
                                           std::tuple{GraphicClass::Text, QRectF(18, 4, 120, 30), "Gone"}}) {
        GraphicPtr g = newGraphicOfClass(cls);
        g->setBounds(box);
        g->Set_Data_source_type(1);
        g->Set_Batch_List_Name(QLatin1String(series));
        window.Get_Front_Controls_Array().push_back(g);
    }
    int pdfs = 0;
    platform::ScopedModalResponder user([&](QDialog &d) {
        if (auto *w = dynamic_cast<Print_Wnd *>(&d)) {
            letterOfOne(*w);
            w->PreviewButtonPressed();
            w->PrintButtonPressed();
            w->PrintButtonPressed();
        } else if (auto *panel = dynamic_cast<QFileDialog *>(&d)) {
            panel->selectFile(desk.tmp.file(QStringLiteral("cards%1.pdf").arg(++pdfs)));
            return 1;
        }
        return 0;
    });
    window.findChild<QAction *>("act_print")->trigger();
    const QString expected = "5 cards were printed.\n\nThe cards were made without data that could not be used:\n"
                             "series \"Gone\" ("
        + window.seriesStore().seriesFilePath("Gone").value_or(QString()) + "): No such file.";
    EXPECT_EQ(desk.alerts, (QStringList{expected, expected}));
    for (int n : {1, 2})
        EXPECT_GT(QFileInfo(desk.tmp.file(QStringLiteral("cards%1.pdf").arg(n))).size(), 0) << n;
}
