// The Export command on the design window: the options, the save panel for
// a design as it is, the batch run over a design's data behind the progress
// sheet, its stop and its failures; the user's answers scripted, the data a
// fake record binding whose cards carry a symbol of each record's value.
#include "design_window/ExportFileBox.h"
#include "design_window/Globals.h"
#include "design_window/ResourceFolder.h"
#include "design_window/TVNWindowController.h"
#include "output/widgets/ExportWindow.h"
#include "output/widgets/ImageExport.h"
#include "output/widgets/Send_Modeless.h"
#include "platform/Alerts.h"
#include "platform/ModalRun.h"
#include "tests/output/CardFixtures.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace design_window;
using namespace quorvant::test;

namespace {

QString valueOf(int n, const QString &side)
{
    return QStringLiteral("%1-%2").arg(side).arg(n + 1, 4, 10, QLatin1Char('0'));
}

// The record binding of a design whose data has `records` records. The
// design "shows" the record filled last.
class FakeDesign : public output::DesignRecords {
public:
    void Check_Series_Or_Excel_Use_or_not() override
    {
        Use_Data_Sheet_Values = bound;
        Use_Excel_Binding_Values = false;
        Get_total_Card_count();
    }
    void Get_total_Card_count() override { Total_Batch_Excel_Card = Use_Data_Sheet_Values ? records : 0; }
    platform::Image cardImage(int n, const QString &side) override
    {
        Card_Front_Or_Back = side == QLatin1String("F") ? 0 : 1;
        shown = n;
        Main_App_wnd->_Main_Photo_image = {};
        if (onFill)
            onFill(n, side);
        return fixtureCard(valueOf(n, side), side == QLatin1String("F") ? kFrontBand : kBackBand);
    }
    void Select_first_row_value_for_design(bool) override
    {
        cardImage(0, QStringLiteral("F"));
        Card_Value_In_Process = false;
    }

    bool bound = true;
    int records = 3;
    int shown = -1;
    std::function<void(int, const QString &)> onFill;
};

class ExportCommandTest : public ::testing::Test {
protected:
    TempFolder tmp;
    FakeDesign *design = nullptr;
    std::unique_ptr<ImageExport> exporter;
    std::unique_ptr<TVNWindowController> wnd;

    // The user: the options chosen, the path typed into the save or folder
    // panel (none cancels it), the alerts answered and the result boxes seen.
    std::function<void(ExportWindow &)> chooseOptions;
    QString typedPath;
    QStringList alerts;
    int alertAnswer = 0;
    QStringList resultBoxes;
    int panels = 0;
    std::unique_ptr<platform::ScopedAlertResponder> alertUser;
    std::unique_ptr<platform::ScopedModalResponder> modalUser;

    void SetUp() override
    {
        setResourceFolder(tmp.file("res"));
        auto fake = std::make_unique<FakeDesign>();
        design = fake.get();
        exporter = std::make_unique<ImageExport>(std::move(fake));
        setImageExportWindows(exporter.get());
        wnd = std::make_unique<TVNWindowController>();
        alertUser = std::make_unique<platform::ScopedAlertResponder>([this](const platform::AlertRequest &r) {
            alerts << r.text.trimmed();
            return alertAnswer;
        });
        modalUser = std::make_unique<platform::ScopedModalResponder>([this](QDialog &d) {
            if (auto *options = dynamic_cast<ExportWindow *>(&d)) {
                if (chooseOptions)
                    chooseOptions(*options);
                options->buttons->button(QDialogButtonBox::Ok)->click();
                return d.result();
            }
            if (auto *panel = dynamic_cast<QFileDialog *>(&d)) {
                ++panels;
                if (typedPath.isEmpty())
                    return 0;
                panel->selectFile(typedPath);
                return 1;
            }
            if (auto *box = dynamic_cast<Export_File_Box *>(&d)) {
                resultBoxes << box->_open_log_path->text() + " | " + box->_open_log_message->text();
                box->_open_log_chk->setChecked(false);
                return 1;
            }
            ADD_FAILURE() << "unexpected dialog " << d.objectName().toStdString();
            return 0;
        });
    }
    void TearDown() override
    {
        exporter.reset();
        wnd.reset();
        setImageExportWindows(nullptr);
        Use_Data_Sheet_Values = false;
        Total_Batch_Excel_Card = 0;
        export_card_side = "F";
    }

    // Options: the format, resolution and sides the user picks.
    void pick(const QString &format, int dpi, int sideRow, bool combine = false)
    {
        chooseOptions = [=](ExportWindow &w) {
            w.fileFormatPopup->setCurrentText(format);
            w.saveDPIText->setCurrentText(QString::number(dpi));
            w.matrix_export_card_side->button(sideRow)->click();
            w.export_combined_image_chk->setChecked(combine);
        };
    }
    // The Export command from the menu, waiting for a batch run to end.
    void exportFromMenu()
    {
        ASSERT_TRUE(wnd->act_export->isEnabled());
        wnd->act_export->trigger();
        if (!exporter->isRunning())
            return;
        QEventLoop loop;
        QObject::connect(exporter.get(), &ImageExport::batchFinished, &loop, &QEventLoop::quit);
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        loop.exec();
        ASSERT_FALSE(exporter->isRunning()) << "the batch run did not end";
    }
    QStringList files(const QString &folder) const
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

TEST_F(ExportCommandTest, ADesignWithoutDataIsWrittenAsItIsThroughTheSavePanel)
{
    design->bound = false;
    wnd->Front_card_Prop.Card_Fill = true;
    wnd->Front_card_Prop.Card_Fill_Color = kFrontBand;
    wnd->Back_card_Prop.Card_Fill = true;
    wnd->Back_card_Prop.Card_Fill_Color = kBackBand;
    struct Row {
        const char *format;
        int sideRow; // 0 both, 1 front, 2 back
        bool combine;
        const char *typed;
        QStringList files;
        const char *shown; // the result box's path
        QSize pixels;      // of the first file: the CR80 card at 72 dpi
    };
    const Row rows[] = {
        {"PNG", 0, false, "card", {"card.PNG", "card_Back.PNG"}, "card.PNG", QSize(243, 154)},
        // trunc(W) x trunc(2H) points, one pixel each.
        {"PNG", 0, true, "card", {"card.PNG"}, "card.PNG", QSize(242, 306)},
        {"TIFF", 2, false, "card.TIFF", {"card_Back.TIFF"}, "card_Back.TIFF", QSize(243, 154)},
        // Combining stays ticked from before but is ignored for one side.
        {"JPEG", 1, true, "card.jpeg", {"card.jpeg"}, "card.jpeg", QSize(243, 154)},
        // Typed with another format's extension: the chosen one is added.
        {"BMP", 1, false, "card.png", {"card.png.BMP"}, "card.png.BMP", QSize(243, 154)},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.format) + " " + row.typed);
        const QString folder = tmp.file(QStringLiteral("single%1").arg(&row - rows));
        QDir().mkpath(folder);
        pick(row.format, 72, row.sideRow, row.combine);
        typedPath = QDir(folder).filePath(row.typed);
        resultBoxes.clear();
        exportFromMenu();
        EXPECT_EQ(files(folder), row.files);
        EXPECT_EQ(resultBoxes, QStringList{QDir(folder).filePath(row.shown) + " | Frame has been exported successfully."});
        const QImage first(QDir(folder).filePath(row.files.first()));
        EXPECT_EQ(first.size(), row.pixels);
        EXPECT_TRUE(looksLike(first, 10, 10, row.sideRow == 2 ? kBackBand : kFrontBand));
        if (row.combine && row.sideRow == 0) {
            EXPECT_TRUE(looksLike(first, 10, first.height() - 10, kBackBand));
        }
    }
    EXPECT_EQ(design->shown, -1) << "no record is filled for a design without data";
}

TEST_F(ExportCommandTest, EveryRecordGoesIntoTheFolderAndASecondRunReplacesTheFiles)
{
    pick("TIFF", 150, 0);
    typedPath = tmp.path();
    Card_Front_Or_Back = 1;
    exportFromMenu();
    const QString folder = tmp.file("Quorvant");
    EXPECT_EQ(files(folder), (QStringList{"Card_1.TIFF", "Card_1_Back.TIFF", "Card_2.TIFF", "Card_2_Back.TIFF",
                                          "Card_3.TIFF", "Card_3_Back.TIFF"}));
    for (int n = 0; n < 3; ++n) {
        const QImage front(QDir(folder).filePath(QStringLiteral("Card_%1.TIFF").arg(n + 1)));
        // 240 x 150 pt at 150 dpi.
        EXPECT_EQ(front.size(), QSize(500, 313));
        EXPECT_EQ(decodedValue(front), valueOf(n, "F").toStdString());
        EXPECT_EQ(decodedValue(QImage(QDir(folder).filePath(QStringLiteral("Card_%1_Back.TIFF").arg(n + 1)))),
                  valueOf(n, "B").toStdString());
    }
    EXPECT_EQ(resultBoxes, QStringList{folder + " | Frame has been exported successfully."});
    EXPECT_EQ(design->shown, 0);
    EXPECT_EQ(Card_Front_Or_Back, 1);
    EXPECT_FALSE(Card_Value_In_Process);

    // The same folder again, combined: the same folder, the same names.
    pick("TIFF", 150, 0, true);
    exportFromMenu();
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), (QStringList{"Quorvant", "res"}));
    for (int n = 0; n < 3; ++n) {
        const QImage both(QDir(folder).filePath(QStringLiteral("Card_%1.TIFF").arg(n + 1)));
        ASSERT_EQ(both.size(), QSize(500, 625));
        EXPECT_EQ(decodedValue(both.copy(0, 0, 500, 312)), valueOf(n, "F").toStdString());
        EXPECT_EQ(decodedValue(both.copy(0, 313, 500, 312)), valueOf(n, "B").toStdString());
    }
}

TEST_F(ExportCommandTest, AStopDuringRecordFiveOfTenEndsTheRunAsAFullRunDoes)
{
    design->records = 10;
    pick("PNG", 150, 1);
    typedPath = tmp.path();
    const platform::Image photo = fixtureCard("PHOTO", Qt::green);
    wnd->_Main_Photo_image = photo;
    bool sheetCovered = false;
    bool refreshHeld = false;
    design->onFill = [&](int n, const QString &) {
        if (n != 4)
            return;
        Send_Modeless &sheet = Send_Modeless::defaultInstance();
        sheetCovered = sheet.isVisible() && sheet.parentWidget() == wnd.get();
        refreshHeld = Card_Value_In_Process;
        sheet._stop_btn->click();
    };
    exportFromMenu();
    EXPECT_TRUE(sheetCovered);
    EXPECT_TRUE(refreshHeld);
    EXPECT_EQ(alerts, QStringList{"Are you sure you want to continue?"});
    const QString folder = tmp.file("Quorvant");
    EXPECT_EQ(files(folder), (QStringList{"Card_1.PNG", "Card_2.PNG", "Card_3.PNG", "Card_4.PNG", "Card_5.PNG"}));
    for (int n = 0; n < 5; ++n)
        EXPECT_EQ(decodedValue(QImage(QDir(folder).filePath(QStringLiteral("Card_%1.PNG").arg(n + 1)))),
                  valueOf(n, "F").toStdString());
    EXPECT_TRUE(exporter->lastRun().stopped);
    EXPECT_FALSE(Send_Modeless::defaultInstance().isVisible());
    EXPECT_EQ(resultBoxes, QStringList{folder + " | Frame has been exported successfully."});
    EXPECT_EQ(design->shown, 0);
    EXPECT_FALSE(Card_Value_In_Process);
    // The main photo was put back before record 0 was filled again: the
    // fill's own photo is the last word, as it is for the design.
    EXPECT_TRUE(wnd->_Main_Photo_image.isNull());
}

TEST_F(ExportCommandTest, AFailedWriteIsOneMessageNamingTheFileAndNoSuccessBox)
{
    design->records = 6;
    pick("PNG", 150, 1);
    typedPath = tmp.path();
    QDir().mkpath(tmp.file("Quorvant/Card_2.PNG"));
    exportFromMenu();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first().startsWith(tmp.file("Quorvant/Card_2.PNG") + "\n\n")) << alerts.first().toStdString();
    EXPECT_TRUE(resultBoxes.isEmpty());
    EXPECT_EQ(design->shown, 0);
    EXPECT_FALSE(Card_Value_In_Process);
}

TEST_F(ExportCommandTest, AFolderThatCannotBeMadeIsReportedBeforeAnythingIsFilled)
{
    pick("PNG", 72, 1);
    typedPath = tmp.path();
    writeTestFile(tmp.file("Quorvant"), "in the way");
    exportFromMenu();
    EXPECT_EQ(alerts, QStringList{"Unable to continue saving barcode image.\n\nEither Destination Drive is "
                                  "inaccessible or there is no free space available in drive to save barcode image."});
    EXPECT_EQ(design->shown, -1);
    EXPECT_TRUE(resultBoxes.isEmpty());
    EXPECT_FALSE(Card_Value_In_Process);
}

TEST_F(ExportCommandTest, UntickedDataOrAnEmptyListWritesNoBatch)
{
    // The series check unticked: the design as it is, through the save panel.
    pick("PNG", 72, 1);
    chooseOptions = [base = chooseOptions](ExportWindow &w) {
        base(w);
        w.Export_with_batch_chk->setChecked(false);
    };
    typedPath = tmp.file("as_is");
    exportFromMenu();
    EXPECT_EQ(files(tmp.path()), QStringList{"as_is.PNG"});
    EXPECT_EQ(design->shown, -1);
    EXPECT_FALSE(Use_Data_Sheet_Values);

    // Bound to a series without lines: nothing to write, and the user is told.
    design->records = 0;
    pick("PNG", 72, 1);
    panels = 0;
    exportFromMenu();
    EXPECT_EQ(alerts, QStringList{"List is empty."});
    EXPECT_EQ(panels, 0);
}

TEST_F(ExportCommandTest, WithoutTheExportWindowsTheCommandIsOffered)
{
    setImageExportWindows(nullptr);
    TVNWindowController bare;
    EXPECT_FALSE(bare.act_export->isEnabled());
    setImageExportWindows(exporter.get());
}

} // namespace
