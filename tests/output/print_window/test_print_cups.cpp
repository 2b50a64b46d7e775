// Printing to a real printer: a private CUPS scheduler started for this
// program, in a folder of its own, with one queue whose PPD
// (tests/data/print/test.ppd: US Letter and A4, 18 pt unprintable at every
// edge) takes PDF and whose device is a file. The design window's Print command prints a design
// bound to two series, and what the queue wrote is read back with poppler
// and a real barcode reader.

#include "design_window/ResourceFolder.h"
#include "design_window/TVNWindowController.h"
#include "output/print_window/PrintWindowsImpl.h"
#include "output/widgets/Send_Modeless.h"
#include "tests/output/print_window/CupsScheduler.h"
#include "tests/output/print_window/PrintTestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace quorvant::test;

namespace {

using Scheduler = CupsScheduler;
const auto *const kScheduler =
    ::testing::AddGlobalTestEnvironment(new CupsScheduler({{QStringLiteral("TESTPDF"), QStringLiteral("test.ppd")}}));

} // namespace

TEST(PrintToCups, TheDesignsRecordsComeOutOfTheQueueInTheirCells)
{
    PrintCommandDesk desk;
    QStringList &alerts = desk.alerts;
    TVNWindowController &window = desk.window;

    // A card bound to two series of 12 records: a name and a Code 128 id.
    QStringList names, ids;
    for (int n = 0; n < 12; ++n) {
        names.append(recordName(n));
        ids.append(recordId(n));
    }
    ASSERT_TRUE(window.seriesStore().writeSeries("Names", names));
    ASSERT_TRUE(window.seriesStore().writeSeries("Ids", ids));
    window.applyCardSize(QSizeF(88.9, 50.8));
    auto text = newGraphicOfClass(GraphicClass::Text);
    text->setBounds(QRectF(18, 10, 216, 26));
    auto code = newGraphicOfClass(GraphicClass::Barcode);
    code->setBounds(QRectF(18, 52, 216, 78));
    barcodes::BarcodeSettings settings;
    settings.barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf(QStringLiteral("Code 128")));
    settings.show_hide_hdr = settings.show_hide_ftr = 1;
    code->setBarcodeSettings(settings);
    for (const auto &[graphic, series] : {std::pair{text, "Names"}, std::pair{code, "Ids"}}) {
        graphic->Set_Data_source_type(1);
        graphic->Set_Batch_List_Name(QString::fromLatin1(series));
        window.Get_Front_Controls_Array().push_back(graphic);
    }

    int windowRuns = 0;
    platform::ScopedModalResponder user([&](QDialog &d) {
        auto *w = dynamic_cast<Print_Wnd *>(&d);
        if (!w)
            return 0;
        ++windowRuns;
        EXPECT_EQ(w->Printer_ComboBox->currentText(), "TESTPDF");
        EXPECT_EQ(w->Paper_id->text(), "US Letter"); // the PPD's name
        EXPECT_EQ(w->l_mar_id->text(), "6.35"); // the PPD's 18 pt
        EXPECT_TRUE(w->print_with_batch_chk->isChecked());
        w->Auto_Center_chk_bx->click();
        PrintTest::setGrid(*w, 5, 2);
        EXPECT_EQ(w->Total_Text->value(), 12);
        w->PrintButtonPressed();
        return 0;
    });
    window.findChild<QAction *>("act_print")->trigger();
    ASSERT_EQ(windowRuns, 1) << "the print window did not open";
    EXPECT_EQ(alerts, QStringList{});
    // The front shows record 0 again.
    EXPECT_EQ(static_cast<TVNText &>(*text).contentsString(), recordName(0));

    ASSERT_TRUE(Scheduler::waitFor(
        [] {
            return runTool("lpstat", {"-o", "TESTPDF"}).trimmed().isEmpty()
                && QFileInfo(Scheduler::output()).size() > 0;
        },
        60000))
        << "the queue wrote nothing: " << readTestFile(Scheduler::folder() + "/log/error_log").toStdString();
    const QString pdf = Scheduler::output();
    EXPECT_EQ(pdfInfo(pdf).pages, 2);
    // The PPD's 18 pt at every edge leave 576 x 756 pt of the 612 x 792 pt
    // sheet: (576 - 2 x 252) / 3 = 24 across and (756 - 5 x 144) / 6 = 6
    // down before, between and after the cards.
    const QList<double> lefts{42, 318}, tops{24, 174, 324, 474, 624};
    QStringList first;
    for (int n = 0; n < 10; ++n)
        first.append(cardShowing(n));
    EXPECT_EQ(cardsOnPage(pdf, 1, cardPlaces(lefts, tops)), first);
    EXPECT_EQ(cardsOnPage(pdf, 2, cardPlaces(lefts, tops, 3)), (QStringList{cardShowing(10), cardShowing(11), "-"}));

    // A stopped run sends the queue nothing.
    const auto completedJobs = [] {
        return runTool("lpstat", {"-W", "completed", "-o", "TESTPDF"}).split('\n', Qt::SkipEmptyParts).size();
    };
    const qsizetype before = completedJobs();
    windowRuns = 0;
    platform::ScopedModalResponder stopping([&](QDialog &d) {
        if (auto *w = dynamic_cast<Print_Wnd *>(&d)) {
            ++windowRuns;
            PrintTest::setGrid(*w, 5, 2);
            // The run handles events between cards: the Stop button is
            // pressed after the first, and Yes answered.
            QTimer::singleShot(0, w, [] { Send_Modeless::defaultInstance()._stop_btn->click(); });
            w->PrintButtonPressed();
        }
        return 0;
    });
    window.findChild<QAction *>("act_print")->trigger();
    EXPECT_EQ(windowRuns, 1) << "the print window did not open";
    EXPECT_EQ(alerts, (QStringList{"Are you sure you want to continue?",
                                   "Printing was stopped after 1 of 12 cards (1 of 2 sheets). Nothing was printed."}));
    EXPECT_EQ(static_cast<TVNText &>(*text).contentsString(), recordName(0));
    EXPECT_EQ(runTool("lpstat", {"-o", "TESTPDF"}).trimmed(), "");
    EXPECT_EQ(completedJobs(), before);
}

TEST(PrintToCups, ALandscapeSheetComesOutOfTheQueueInLandscape)
{
    PrintCommandDesk desk;
    QStringList &alerts = desk.alerts;
    TVNWindowController &window = desk.window;
    // A card of a dark block, printed once at the sheet's top left.
    window.applyCardSize(QSizeF(88.9, 50.8));
    window.design().Front_card_Prop.Card_Fill = true;
    window.design().Front_card_Prop.Card_Fill_Color = Qt::black;
    QFile::remove(Scheduler::output());
    int windowRuns = 0;
    platform::ScopedModalResponder user([&](QDialog &d) {
        if (auto *w = dynamic_cast<Print_Wnd *>(&d)) {
            ++windowRuns;
            w->Orient_ComboBox->setCurrentIndex(1);
            w->comboBoxSelectionDidChange(w->Orient_ComboBox);
            EXPECT_GT(output::currentSheetLayout().paper.width(), output::currentSheetLayout().paper.height());
            w->Total_Text->setValue(1);
            w->PrintButtonPressed();
        }
        return 0;
    });
    window.findChild<QAction *>("act_print")->trigger();
    ASSERT_EQ(windowRuns, 1) << "the print window did not open";
    EXPECT_EQ(alerts, QStringList{});
    ASSERT_TRUE(Scheduler::waitFor(
        [] {
            return runTool("lpstat", {"-o", "TESTPDF"}).trimmed().isEmpty()
                && QFileInfo(Scheduler::output()).size() > 0;
        },
        60000))
        << "the queue wrote nothing: " << readTestFile(Scheduler::folder() + "/log/error_log").toStdString();
    // The sheet turned once, as the preview shows it: a page as wide as it
    // is high shows the card at its top left; a page fed upright shows it
    // where the top left lands when the sheet is turned a quarter (top
    // right or bottom left), never where a second turn or none would put it.
    const QImage page = renderPdfPage(Scheduler::output(), 1, 36);
    ASSERT_FALSE(page.isNull());
    const auto dark = [&](double fx, double fy) {
        return qGray(page.pixel(int(fx * page.width()), int(fy * page.height()))) < 100;
    };
    if (page.width() > page.height()) {
        EXPECT_TRUE(dark(0.15, 0.2) && !dark(0.85, 0.8));
    } else {
        EXPECT_TRUE(dark(0.85, 0.15) != dark(0.15, 0.85)) << "the card is not where one turn puts it";
        EXPECT_FALSE(dark(0.15, 0.15) || dark(0.85, 0.85)) << "the sheet was not turned, or turned twice";
    }
}

TEST(PrintToCups, PageSetupShowsAndChangesTheMarginsTheSheetIsLaidOutIn)
{
    PrintCommandDesk desk;
    desk.window.applyCardSize(QSizeF(88.9, 50.8));
    QStringList shownInSetup;
    int windowRuns = 0, setupRuns = 0;
    platform::ScopedModalResponder user([&](QDialog &d) {
        if (auto *setup = dynamic_cast<QPageSetupDialog *>(&d)) {
            ++setupRuns;
            // The panel's margins in millimetres, as the user reads them.
            auto *units = setup->findChild<QComboBox *>("unitCombo");
            units->setCurrentIndex(units->findData(QVariant::fromValue(QPageLayout::Millimeter)));
            for (const char *name : {"leftMargin", "topMargin"})
                shownInSetup.append(setup->findChild<QDoubleSpinBox *>(name)->cleanText());
            auto *left = setup->findChild<QDoubleSpinBox *>("leftMargin");
            left->selectAll();
            QTest::keyClicks(left, "25");
            // The panel hands its fields to the print settings as its own
            // run ends with OK.
            QTimer::singleShot(0, setup, [setup] { setup->accept(); });
            return setup->exec();
        }
        auto *w = dynamic_cast<Print_Wnd *>(&d);
        if (!w)
            return 0;
        ++windowRuns;
        // The PPD's 18 pt, in the window and in the panel alike.
        EXPECT_EQ(w->l_mar_id->text(), "6.35");
        EXPECT_TRUE(w->page_setup_btn->isEnabled());
        w->page_setup_btn->click();
        EXPECT_EQ(shownInSetup, (QStringList{"6.35", "6.35"}));
        // The margin set there is the one shown and laid out with: one
        // column of 88.9 mm beside 25 and 6.35 mm on US Letter.
        EXPECT_EQ(w->l_mar_id->text(), "25.00");
        EXPECT_NEAR(output::Points_to_MM_Convert(output::Left_Mar), 25, 0.01);
        w->Col_Text->selectAll();
        QTest::keyClicks(w->Col_Text, "3");
        QTest::keyClick(w->Col_Text, Qt::Key_Return);
        EXPECT_EQ(w->Col_Text->text(), "2");
        // A PDF file has a page set-up of its own, starting from the whole
        // sheet.
        w->Printer_ComboBox->setCurrentText(Print_Wnd::kPdfFileItem);
        w->comboBoxSelectionDidChange(w->Printer_ComboBox);
        EXPECT_TRUE(w->page_setup_btn->isEnabled());
        EXPECT_EQ(w->l_mar_id->text(), "0.00");
        return 0;
    });
    desk.window.findChild<QAction *>("act_print")->trigger();
    EXPECT_EQ(windowRuns, 1) << "the print window did not open";
    EXPECT_EQ(setupRuns, 1) << "the page set-up panel did not open";
    EXPECT_EQ(desk.alerts, QStringList{});
}
