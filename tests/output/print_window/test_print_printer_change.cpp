// The print window as the printer changes under a laid-out sheet: two queues
// of a private CUPS scheduler (MARGINS, whose PPD leaves 18 pt left and
// right and 36 pt top and bottom unprintable, the system's default; TESTPDF,
// 18 pt at every edge) and the PDF file, which prints the whole sheet. What
// the window shows is read from its fields; what it prints is read back from
// the PDF file and from what the queue wrote, with poppler.

#include "design_window/TVNWindowController.h"
#include "output/print_window/Sample_Preview.h"
#include "tests/output/print_window/CupsScheduler.h"
#include "tests/output/print_window/PrintTestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <utility>

using namespace quorvant::test;

namespace {

const auto *const kScheduler = ::testing::AddGlobalTestEnvironment(
    new CupsScheduler({{QStringLiteral("MARGINS"), QStringLiteral("margins.ppd")},
                       {QStringLiteral("TESTPDF"), QStringLiteral("test.ppd")}}));

// Picks an item of a list as a click on it does.
void choose(QComboBox *list, const QString &item)
{
    const int index = list->findText(item);
    ASSERT_GE(index, 0) << item.toStdString() << " is not listed";
    list->setCurrentIndex(index);
    emit list->activated(index);
}

QStringList marginsShown(const Print_Wnd &w)
{
    return {w.l_mar_id->text(), w.r_mar_id->text(), w.t_mar_id->text(), w.b_mar_id->text()};
}

QStringList gapsShown(const Print_Wnd &w)
{
    return {w.horz_mar_Text->cleanText(), w.vert_mar_Text->cleanText()};
}

// Where a picture of a sheet at `dpi` has ink: the spans, in points from the
// left (or the top), of the columns (or rows) of pixels that hold any dark
// pixel.
using Span = std::pair<double, double>;
QList<Span> inkedSpans(const QImage &sheet, double dpi, Qt::Orientation across)
{
    const QImage page = sheet.convertToFormat(QImage::Format_Grayscale8);
    const bool columns = across == Qt::Horizontal;
    const int count = columns ? page.width() : page.height();
    const int length = columns ? page.height() : page.width();
    QList<Span> spans;
    int start = -1;
    for (int i = 0; i <= count; ++i) {
        bool ink = false;
        for (int j = 0; i < count && j < length && !ink; ++j)
            ink = (columns ? page.constScanLine(j)[i] : page.constScanLine(i)[j]) < 128;
        if (ink && start < 0)
            start = i;
        if (!ink && start >= 0) {
            spans.append({start * 72.0 / dpi, i * 72.0 / dpi});
            start = -1;
        }
    }
    return spans;
}

// The same on the first page of a PDF file.
QList<Span> inkedSpans(const QString &pdf, Qt::Orientation across)
{
    constexpr int kDpi = 144;
    return inkedSpans(renderPdfPage(pdf, 1, kDpi), kDpi, across);
}

// Spans within `points` of those expected.
::testing::AssertionResult spansNear(const QList<Span> &found, const QList<Span> &expected, double points = 1)
{
    bool near = found.size() == expected.size();
    for (qsizetype i = 0; near && i < found.size(); ++i)
        near = std::abs(found[i].first - expected[i].first) <= points
            && std::abs(found[i].second - expected[i].second) <= points;
    if (near)
        return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure() << "found";
    for (const Span &s : found)
        failure << " [" << s.first << ", " << s.second << "]";
    return failure;
}

// A design window whose card, 85.6 x 54.1 mm, is black on both sides: a
// printed pair (front above back) is one black block of 242.65 x 306.71 pt.
struct BlackCardDesk : PrintCommandDesk {
    BlackCardDesk()
    {
        window.applyCardSize(QSizeF(85.6, 54.1));
        for (auto *side : {&window.design().Front_card_Prop, &window.design().Back_card_Prop}) {
            side->Card_Fill = true;
            side->Card_Fill_Color = Qt::black;
        }
    }
};

} // namespace

// Both sides, 2 x 2, auto-centred: the gaps shown and printed follow each
// printer chosen, so the grid sits in the middle of the sheet wherever it
// is printed.
TEST(PrinterChange, AutoCentringSpreadsTheGridOverTheSheetOfThePrinterChosen)
{
    BlackCardDesk desk;
    const QString pdf = desk.tmp.file("sheet.pdf");
    QFile::remove(CupsScheduler::output("MARGINS"));
    const qsizetype jobsBefore = CupsScheduler::completedJobs("MARGINS");
    int runs = 0;
    platform::ScopedModalResponder user([&](QDialog &d) {
        if (auto *panel = dynamic_cast<QFileDialog *>(&d)) {
            panel->selectFile(pdf);
            return 1;
        }
        auto *w = dynamic_cast<Print_Wnd *>(&d);
        if (!w)
            return 0;
        ++runs;
        EXPECT_EQ(w->Printer_ComboBox->currentText(), "MARGINS");
        EXPECT_EQ(marginsShown(*w), (QStringList{"6.35", "6.35", "12.70", "12.70"}));
        w->card_side_rows[0]->click();
        PrintTest::setGrid(*w, 2, 2);
        w->Auto_Center_chk_bx->click();
        // (215.9 - 12.7 - 2 x 85.6) / 3 and (279.4 - 25.4 - 4 x 54.1) / 3.
        EXPECT_EQ(gapsShown(*w), (QStringList{"10.67", "12.53"}));

        choose(w->Printer_ComboBox, Print_Wnd::kPdfFileItem);
        EXPECT_EQ(marginsShown(*w), (QStringList{"0.00", "0.00", "0.00", "0.00"}));
        EXPECT_EQ(gapsShown(*w), (QStringList{"14.90", "21.00"}));
        w->PrintButtonPressed();

        // A printer whose limits are the same, whose printable area is not.
        choose(w->Printer_ComboBox, "TESTPDF");
        EXPECT_EQ(marginsShown(*w), (QStringList{"6.35", "6.35", "6.35", "6.35"}));
        EXPECT_EQ(gapsShown(*w), (QStringList{"10.67", "16.77"}));

        choose(w->Printer_ComboBox, "MARGINS");
        EXPECT_EQ(marginsShown(*w), (QStringList{"6.35", "6.35", "12.70", "12.70"}));
        EXPECT_EQ(gapsShown(*w), (QStringList{"10.67", "12.53"}));
        EXPECT_EQ(w->Total_Text->value(), 4);
        w->PrintButtonPressed();
        return 0;
    });
    desk.window.findChild<QAction *>("act_print")->trigger();
    ASSERT_EQ(runs, 1);
    EXPECT_EQ(desk.alerts, QStringList{});

    // The PDF file: 42.24 pt (14.90 mm) left and right of and between the
    // columns, 59.53 pt (21.00 mm) above, below and between the rows.
    ASSERT_TRUE(QFileInfo::exists(pdf));
    EXPECT_EQ(pdfInfo(pdf).paper, QSizeF(612, 792));
    EXPECT_TRUE(spansNear(inkedSpans(pdf, Qt::Horizontal), {{42.24, 284.88}, {327.12, 569.76}}));
    EXPECT_TRUE(spansNear(inkedSpans(pdf, Qt::Vertical), {{59.53, 366.24}, {425.76, 732.47}}));

    // The queue's sheet: the grid in the printable area, 30.24 pt from its
    // sides and 35.53 pt from its top and bottom, never in the 36 pt the
    // printer leaves blank.
    ASSERT_TRUE(CupsScheduler::jobWritten("MARGINS"));
    EXPECT_EQ(CupsScheduler::completedJobs("MARGINS"), jobsBefore + 1);
    const QString job = CupsScheduler::output("MARGINS");
    EXPECT_TRUE(spansNear(inkedSpans(job, Qt::Horizontal), {{48.24, 290.88}, {321.12, 563.76}}));
    EXPECT_TRUE(spansNear(inkedSpans(job, Qt::Vertical), {{71.53, 378.24}, {413.76, 720.47}}));
}

// The paper and margins set up for a printer are the ones it has again
// after the PDF file or another printer was chosen in between.
TEST(PrinterChange, APrintersPageSetupStaysWithItWhileOthersAreChosen)
{
    BlackCardDesk desk;
    int runs = 0, setups = 0;
    platform::ScopedModalResponder user([&](QDialog &d) {
        if (auto *setup = dynamic_cast<QPageSetupDialog *>(&d)) {
            ++setups;
            auto *paper = setup->findChild<QComboBox *>("pageSizeCombo");
            EXPECT_NE(paper, nullptr);
            if (paper)
                choose(paper, "A4");
            auto *units = setup->findChild<QComboBox *>("unitCombo");
            units->setCurrentIndex(units->findData(QVariant::fromValue(QPageLayout::Millimeter)));
            for (const auto &[name, value] : {std::pair{"leftMargin", "20"}, std::pair{"topMargin", "100"}}) {
                auto *field = setup->findChild<QDoubleSpinBox *>(name);
                field->selectAll();
                QTest::keyClicks(field, value);
            }
            QTimer::singleShot(0, setup, [setup] { setup->accept(); });
            return setup->exec();
        }
        auto *w = dynamic_cast<Print_Wnd *>(&d);
        if (!w)
            return 0;
        ++runs;
        w->Auto_Center_chk_bx->click();
        w->page_setup_btn->click();
        const QStringList setUp{"A4", "20.00", "6.35", "100.00", "12.70"};
        const auto shown = [w] { return QStringList{w->Paper_id->text()} + marginsShown(*w); };
        EXPECT_EQ(shown(), setUp);
        // (210 - 26.35 - 85.6) / 2 and (297 - 112.7 - 54.1) / 2.
        EXPECT_EQ(gapsShown(*w), (QStringList{"49.02", "65.10"}));

        choose(w->Printer_ComboBox, Print_Wnd::kPdfFileItem);
        EXPECT_EQ(shown(), (QStringList{"A4", "0.00", "0.00", "0.00", "0.00"}));
        choose(w->Printer_ComboBox, "MARGINS");
        EXPECT_EQ(shown(), setUp);
        EXPECT_EQ(gapsShown(*w), (QStringList{"49.02", "65.10"}));

        // Another printer starts from its own paper; coming back, the first
        // has its own set-up again.
        choose(w->Printer_ComboBox, "TESTPDF");
        EXPECT_EQ(shown(), (QStringList{"US Letter", "6.35", "6.35", "6.35", "6.35"}));
        choose(w->Printer_ComboBox, "MARGINS");
        EXPECT_EQ(shown(), setUp);
        return 0;
    });
    desk.window.findChild<QAction *>("act_print")->trigger();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(setups, 1);
    EXPECT_EQ(desk.alerts, QStringList{});
}

// The PDF file has a page set-up of its own: A4 with margins of 10 mm is
// shown, laid out, previewed and printed, and it is the file's again after
// a printer was chosen in between.
TEST(PrinterChange, ThePdfFilesPageSetupIsPrintedAndKeptWhileAPrinterIsChosen)
{
    BlackCardDesk desk;
    const QString pdf = desk.tmp.file("a4.pdf");
    QList<QStringList> inSetup;
    QImage sample;
    int runs = 0;
    platform::ScopedModalResponder user([&](QDialog &d) {
        if (auto *panel = dynamic_cast<QFileDialog *>(&d)) {
            panel->selectFile(pdf);
            return 1;
        }
        if (auto *setup = dynamic_cast<QPageSetupDialog *>(&d)) {
            auto *paper = setup->findChild<QComboBox *>("pageSizeCombo");
            auto *units = setup->findChild<QComboBox *>("unitCombo");
            if (!paper || !units) {
                ADD_FAILURE() << "the page set-up panel has no paper or unit list";
                return 0;
            }
            units->setCurrentIndex(units->findData(QVariant::fromValue(QPageLayout::Millimeter)));
            const char *const names[] = {"leftMargin", "rightMargin", "topMargin", "bottomMargin"};
            QStringList shown{paper->currentText()};
            for (const char *name : names)
                shown.append(setup->findChild<QDoubleSpinBox *>(name)->cleanText());
            inSetup.append(shown);
            // The first time A4 and 10 mm are set up; later the panel is
            // only looked at.
            return inSetup.size() > 1 ? 0 : acceptPageSetup(*setup, "A4", "10");
        }
        auto *w = dynamic_cast<Print_Wnd *>(&d);
        if (!w)
            return 0;
        ++runs;
        const auto shown = [w] { return QStringList{w->Paper_id->text(), w->Size_id->text()} + marginsShown(*w); };
        const QStringList a4{"A4", "210.00 x 297.00", "10.00", "10.00", "10.00", "10.00"};
        // The file starts from the paper of the printer chosen before.
        choose(w->Printer_ComboBox, Print_Wnd::kPdfFileItem);
        EXPECT_EQ(shown(), (QStringList{"US Letter", "215.90 x 279.40", "0.00", "0.00", "0.00", "0.00"}));
        EXPECT_TRUE(w->page_setup_btn->isEnabled());
        w->page_setup_btn->click();
        EXPECT_EQ(shown(), a4);
        PrintTest::setGrid(*w, 5, 2);
        w->Auto_Center_chk_bx->click();
        // (190 - 2 x 85.6) / 3 and (277 - 5 x 54.1) / 6.
        EXPECT_EQ(gapsShown(*w), (QStringList{"6.27", "1.08"}));
        EXPECT_EQ(w->Total_Text->value(), 10);
        // The sample is the sheet at a pixel a point.
        EXPECT_EQ(w->PrintView->size(), QSize(595, 842));
        sample = w->PrintView->grab().toImage();
        w->PrintButtonPressed();

        choose(w->Printer_ComboBox, "MARGINS");
        EXPECT_EQ(shown(), (QStringList{"US Letter", "215.90 x 279.40", "6.35", "6.35", "12.70", "12.70"}));
        // US Letter less 25.4 mm holds 4 rows of cards, so 4 rows come
        // back: (277 - 4 x 54.1) / 5.
        EXPECT_EQ(w->Row_Text->value(), 4);
        choose(w->Printer_ComboBox, Print_Wnd::kPdfFileItem);
        EXPECT_EQ(shown(), a4);
        EXPECT_EQ(gapsShown(*w), (QStringList{"6.27", "12.12"}));
        EXPECT_EQ(w->PrintView->size(), QSize(595, 842));
        w->page_setup_btn->click();
        return 0;
    });
    desk.window.findChild<QAction *>("act_print")->trigger();
    ASSERT_EQ(runs, 1) << "the print window did not open";
    EXPECT_EQ(desk.alerts, QStringList{});
    // The panel shows the file's own paper and margins: none on its first
    // run, 10 mm when the file is chosen again.
    EXPECT_EQ(inSetup, (QList<QStringList>{{"Letter / ANSI A", "0.00", "0.00", "0.00", "0.00"},
                                           {"A4", "10.00", "10.00", "10.00", "10.00"}}));

    // A4 is 595 x 842 pt in the file. The cards, 242.65 x 153.35 pt, start
    // 10 + 6.27 mm (46.11 pt) from the left and 10 + 1.08 mm (31.42 pt) from
    // the top: left and right of the grid 46.1 and 45.8 pt, above and below
    // it 31.4 and 31.5 pt (the page is 0.28 pt narrower and 0.11 pt taller
    // than A4 in millimetres).
    ASSERT_TRUE(QFileInfo::exists(pdf));
    EXPECT_EQ(pdfInfo(pdf).paper, QSizeF(595, 842));
    EXPECT_EQ(pdfInfo(pdf).pages, 1);
    const QList<Span> columns{{46.11, 288.76}, {306.52, 549.17}};
    const QList<Span> rows{{31.42, 184.77}, {187.84, 341.20}, {344.27, 497.62}, {500.69, 654.05}, {657.12, 810.47}};
    EXPECT_TRUE(spansNear(inkedSpans(pdf, Qt::Horizontal), columns));
    EXPECT_TRUE(spansNear(inkedSpans(pdf, Qt::Vertical), rows));
    // The sample outlines the same cells, its lines a pixel wide.
    EXPECT_TRUE(spansNear(inkedSpans(sample, 72, Qt::Horizontal), columns, 1.5));
    EXPECT_TRUE(spansNear(inkedSpans(sample, 72, Qt::Vertical), rows, 1.5));
}
