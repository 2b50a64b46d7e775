// The job a print run hands a printer's queue is a PDF file in the system's
// temporary folder (TMPDIR): a job that cannot be written there whole never
// reaches the queue, and the run says why. Printed to a queue of a private
// CUPS scheduler.

#include "design_window/TVNWindowController.h"
#include "tests/output/print_window/CupsScheduler.h"
#include "tests/output/print_window/PrintTestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>

using namespace quorvant::test;

namespace {

const auto *const kScheduler = ::testing::AddGlobalTestEnvironment(
    new CupsScheduler({{QStringLiteral("TESTPDF"), QStringLiteral("test.ppd")}}));

constexpr int kDiskKib = 4;

} // namespace

TEST(PrintSpool, AJobThatCannotBeWrittenWholeIsNotSentAndTheRunSaysWhy)
{
    PrintCommandDesk desk;
    // A card with a text: the sheet's PDF holds the letters of its font and
    // takes more than the small disk below has room for.
    desk.window.applyCardSize(QSizeF(85.6, 54.1));
    auto text = newGraphicOfClass(GraphicClass::Text);
    text->setBounds(QRectF(10, 10, 230, 130));
    static_cast<TVNText &>(*text).setContentsString(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789"));
    desk.window.Get_Front_Controls_Array().push_back(text);

    const QString sheet = desk.tmp.file("sheet.pdf");
    const QString notAFolder = desk.tmp.file("not-a-folder");
    writeTestFile(notAFolder, "a file");
    const qsizetype jobsBefore = CupsScheduler::completedJobs("TESTPDF");
    QFile::remove(CupsScheduler::output("TESTPDF"));
    QString fullReason, diskFolder;
    QStringList leftOnDisk{"<not looked at>"};
    int runs = 0;
    platform::ScopedModalResponder user([&](QDialog &d) {
        if (auto *panel = dynamic_cast<QFileDialog *>(&d)) {
            panel->selectFile(sheet);
            return 1;
        }
        auto *w = dynamic_cast<Print_Wnd *>(&d);
        if (!w)
            return 0;
        ++runs;
        // The same sheet as a PDF file, to weigh it.
        w->Printer_ComboBox->setCurrentText(Print_Wnd::kPdfFileItem);
        w->comboBoxSelectionDidChange(w->Printer_ComboBox);
        w->PrintButtonPressed();
        w->Printer_ComboBox->setCurrentText("TESTPDF");
        w->comboBoxSelectionDidChange(w->Printer_ComboBox);
        {
            // The disk fills up while the job is written.
            SmallDisk disk(kDiskKib);
            fullReason = disk.fullReason();
            diskFolder = QFileInfo(disk.path()).canonicalFilePath();
            const ScopedEnvironment temporary("TMPDIR", QFile::encodeName(disk.path()));
            w->PrintButtonPressed();
            leftOnDisk = QDir(disk.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        }
        {
            // No folder can be made for the job.
            const ScopedEnvironment temporary("TMPDIR", QFile::encodeName(notAFolder));
            w->PrintButtonPressed();
        }
        // With room, the job is sent.
        w->PrintButtonPressed();
        return 0;
    });
    desk.window.findChild<QAction *>("act_print")->trigger();
    ASSERT_EQ(runs, 1);

    // Only the last run reached the queue.
    ASSERT_TRUE(CupsScheduler::jobWritten("TESTPDF"));
    EXPECT_EQ(CupsScheduler::completedJobs("TESTPDF"), jobsBefore + 1);

    EXPECT_GT(QFileInfo(sheet).size(), kDiskKib * 1024);
    ASSERT_EQ(desk.alerts.size(), 2) << desk.alerts.join("\n").toStdString();
    const QString full = desk.alerts[0];
    EXPECT_TRUE(full.startsWith("Printing failed after 1 of 1 sheets: " + diskFolder + "/quorvant-print-"))
        << full.toStdString();
    EXPECT_TRUE(full.endsWith("/job.pdf: " + fullReason + ". Nothing was printed.")) << full.toStdString();
    EXPECT_EQ(leftOnDisk, QStringList{});
    EXPECT_EQ(desk.alerts[1], "Printing failed after 0 of 1 sheets: The print job could not be made in "
                                  + QFileInfo(notAFolder).canonicalFilePath()
                                  + ": Not a directory. Nothing was printed.");
}
