// The print set-up window as a user drives it: its fields, the grid check,
// and print runs to PDF files and into the preview, read back with poppler
// and a real barcode reader. No printer is installed here (the scheduler
// address leads nowhere), so the printer list offers the PDF file alone.

#include "design_window/TVNWindowController.h"
#include "output/print_window/PrintWindowsImpl.h"
#include "tests/output/print_window/PrintTestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QProgressDialog>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

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

} // namespace

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
        EXPECT_NEAR(w.height_Text->value(), 54, 0.001);
        EXPECT_NEAR(output::Points_to_MM_Convert(output::label_hight), 108, 0.01);
    });
}

TEST_F(PrintTest, EveryRecordIsPrintedAndTheDesignShowsRecordZeroAfterwards)
{
    bindRecords(23);
    open([this](Print_Wnd &w) {
        letterOfTen(w);
        EXPECT_EQ(w.Total_Text->value(), 23);
        w.PrintButtonPressed();
        const output::SheetLayout layout = output::currentSheetLayout();
        EXPECT_EQ(pdfInfo(pdf).pages, 3);
        EXPECT_EQ(pdfInfo(pdf).paper, QSizeF(612, 792));
        QStringList first, last;
        for (int n = 0; n < 10; ++n)
            first.append(recordId(n));
        last << recordId(20) << recordId(21) << recordId(22) << "-" << "-";
        EXPECT_EQ(idsOnPage(pdf, 1, layout, 10), first);
        EXPECT_EQ(idsOnPage(pdf, 3, layout, 5), last);
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
        EXPECT_EQ(idsOnPage(pdf, 2, output::currentSheetLayout(), 4), (QStringList{recordId(4), "-", "-", "-"}));
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
    // 2 x 2 cards of 252 x 144 on Letter (no margins to a PDF file): the
    // block is 504 x 288, leaving 108 across and 504 down.
    struct Row {
        int alignment; // 0: auto-centred
        QPointF topLeft;
    };
    const Row rows[] = {{1, {0, 0}},     {2, {54, 0}},     {3, {108, 0}},    {4, {0, 252}},
                        {5, {54, 252}},  {6, {108, 252}},  {7, {0, 504}},    {8, {54, 504}},
                        {9, {108, 504}}, {0, {36, 168}}}; // auto: gaps 108 / 3 and 504 / 3
    for (const Row &row : rows) {
        open([&](Print_Wnd &w) {
            PrintTest::choosePaper(w, QPageSize::Letter);
            setGrid(w, 2, 2);
            if (row.alignment == 0)
                w.Auto_Center_chk_bx->click();
            else
                w.align_buttons[size_t(row.alignment - 1)]->click();
            w.PrintButtonPressed();
        });
        const PdfWord *text = findWord(pdfWords(pdf, 1), "FRONT");
        ASSERT_NE(text, nullptr) << "alignment " << row.alignment;
        EXPECT_NEAR(text->box.left() - 18, row.topLeft.x(), 2) << "alignment " << row.alignment;
        EXPECT_NEAR(text->box.top() - 10, row.topLeft.y(), 4) << "alignment " << row.alignment;
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
    // Stop while label 15 is filled, on the second of 4 sheets.
    onFill = [this](int n) {
        if (n == 15)
            wnd->findChild<QProgressDialog *>()->cancel();
    };
    open([](Print_Wnd &w) {
        letterOfTen(w);
        w.PrintButtonPressed();
    });
    EXPECT_EQ(alerts, QStringList{"Printing was stopped after 2 of 4 sheets. Nothing was printed."});
    EXPECT_FALSE(QFileInfo::exists(pdf));
    EXPECT_EQ(name->contentsString(), recordName(0));

    // Record 4 cannot be filled: one message, and its label shows the card
    // as the window rendered it.
    alerts.clear();
    onFill = {};
    failingRecord = 3;
    setCode(QStringLiteral("TYPED"));
    bindRecords(6);
    open([this](Print_Wnd &w) {
        letterOfTen(w);
        w.PrintButtonPressed();
        EXPECT_EQ(idsOnPage(pdf, 1, output::currentSheetLayout(), 5),
                  (QStringList{recordId(0), recordId(1), recordId(2), "TYPED", recordId(4)}));
    });
    EXPECT_EQ(alerts, QStringList{"Record 4: the picture is missing"});
}

TEST_F(PrintTest, APictureOnEveryCardIsInTheFileOnceAndSymbolsAreNotLossy)
{
    QImage photo(300, 400, QImage::Format_RGB32);
    photo.fill(QColor(200, 120, 60));
    const QString path = tmp.file("photo.png");
    ASSERT_TRUE(photo.save(path));
    auto picture = std::static_pointer_cast<TVNImage>(newGraphicOfClass(GraphicClass::Image));
    picture->setFilePath(path);
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
    // A 2-D symbol's bitmap is kept without loss, and reads back.
    codeSettings.barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf(QStringLiteral("QR Code")));
    codeSettings.linear_or_2d = 1;
    code->setBounds(QRectF(18, 40, 90, 90));
    setCode(QStringLiteral("QR-SYMBOL"));
    front.pop_back();
    bindRecords(0);
    open([](Print_Wnd &w) {
        PrintTest::choosePaper(w, QPageSize::Letter);
        w.PrintButtonPressed();
    });
    EXPECT_FALSE(pdfImages(pdf).encodings.contains("jpeg"));
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

TEST(PrintCommand, WithoutPrintersOrRecordsTheCommandSaysWhy)
{
    QStringList alerts;
    platform::ScopedAlertResponder responder([&](const platform::AlertRequest &r) {
        alerts.append(r.text.trimmed());
        return 0;
    });
    output::installPrintWindows();
    TVNWindowController window;
    QAction *print = window.findChild<QAction *>("act_print");
    ASSERT_NE(print, nullptr);
    EXPECT_TRUE(print->isEnabled());
    print->trigger();
    EXPECT_EQ(alerts, QStringList{"No printer found."});
}
