// The Export command on the design window: the options, the save panel for
// a design as it is, the batch run over a bound two-sided design behind the
// progress sheet, its stop and its failures; the user's answers scripted,
// the exported files read back, symbols with a real reader.
#include "barcodes/designer/BarcodeEngine.h"
#include "tests/design_window/Outlets.h"
#include "batch_data/binding/RecordBinding.h"
#include "design_window/ExportFileBox.h"
#include "design_window/Globals.h"
#include "design_window/ResourceFolder.h"
#include "design_window/TVNWindowController.h"
#include "drawing/TVNDocument.h"
#include "output/export_window/ExportWindow.h"
#include "output/export_window/ImageExport.h"
#include "output/widgets/Send_Modeless.h"
#include "platform/Alerts.h"
#include "platform/MainThread.h"
#include "platform/Desktop.h"
#include "platform/ModalRun.h"
#include "tests/output/CardFixtures.h"
#include "tests/support/ExportWait.h"
#include "tests/support/ScopedValue.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>

using namespace design_window;
using namespace quorvant::test;

namespace {

// The user takes a while to answer the Stop question; the run goes on
// meanwhile, as it would behind a real open question.
void keepQuestionOpen()
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 400)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

const QColor kFrontCard(255, 215, 215);
const QColor kBackCard(215, 215, 255);

// The values of record n: its name, the front's symbol and the back's.
QString nameOf(int n)
{
    return QStringLiteral("Visitor %1").arg(n + 1);
}
QString codeOf(int n, const QString &side)
{
    return QStringLiteral("%1-%2").arg(side).arg(n + 1, 4, 10, QLatin1Char('0'));
}

class ExportCommandTest : public ::testing::Test {
protected:
    // What the design, the export and the test change of the process-wide
    // state goes back after each test.
    ScopedValue<QString> resourcePath{Resource_Path};
    ScopedValue<QString> dataFolderPath{Data_Folder_Path};
    ScopedValue<QString> cardSides{CARD_SIDE_STR};
    ScopedValue<std::atomic<bool>> seriesValues{Use_Data_Sheet_Values};
    ScopedValue<std::atomic<bool>> sheetValues{Use_Excel_Binding_Values};
    ScopedValue<std::atomic<int>> cards{Total_Batch_Excel_Card};
    ScopedValue<QString> exportSides{export_card_side};
    ScopedValue<std::atomic<int>> editedSide{Card_Front_Or_Back};
    ScopedValue<QString> exportPath{Export_File_Path};
    ScopedValue<QString> exportMessage{Export_File_Message};
    // The result box stores the user's choices.
    ScopedSettings settings;
    TempFolder tmp;
    std::unique_ptr<ImageExport> exporter;
    std::unique_ptr<TVNWindowController> wnd;
    std::shared_ptr<TVNText> name;
    GraphicPtr frontCode;
    GraphicPtr backCode;

    // The user: the options chosen, the path typed into the save or folder
    // panel (none cancels it), the alerts answered and the result boxes seen.
    std::function<void(ExportWindow &)> chooseOptions;
    QString typedPath;
    // What the user does in the panel before typing the path.
    std::function<void(QFileDialog &)> inPanel;
    QStringList alerts;
    int alertAnswer = 0;
    QStringList resultBoxes;
    int panels = 0;
    std::unique_ptr<platform::ScopedAlertResponder> alertUser;
    std::unique_ptr<platform::ScopedModalResponder> modalUser;

    void SetUp() override
    {
        setResourceFolder(tmp.file("res"));
        exporter = std::make_unique<ImageExport>();
        setImageExportWindows(exporter.get());
        wnd = std::make_unique<TVNWindowController>();
        wnd->design().Front_card_Prop.Card_Fill = true;
        wnd->design().Front_card_Prop.Card_Fill_Color = kFrontCard;
        wnd->design().Back_card_Prop.Card_Fill = true;
        wnd->design().Back_card_Prop.Card_Fill_Color = kBackCard;
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
                if (inPanel)
                    inPanel(*panel);
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
    }

    // A two-sided design bound to `records` records: on the front a Code 128
    // symbol of the series "Codes" above a name of the series "Names", on the
    // back a Code 128 symbol of "Backs".
    void bindDesign(int records)
    {
        QStringList names, codes, backs;
        for (int n = 0; n < records; ++n) {
            names << nameOf(n);
            codes << codeOf(n, "F");
            backs << codeOf(n, "B");
        }
        const batch_data::SeriesStore store(Data_Folder_Path);
        ASSERT_TRUE(store.writeSeries("Names", names) && store.writeSeries("Codes", codes)
                    && store.writeSeries("Backs", backs));
        auto bound = [](GraphicPtr g, QRectF box, const QString &series) {
            g->setBounds(box);
            g->Set_Data_source_type(batch_data::kSeriesValue);
            g->Set_Batch_List_Name(series);
            if (dynamic_cast<TVNBarcode *>(g.get()))
                g->barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf("Code 128"));
            return g;
        };
        CARD_SIDE_STR = "2";
        frontCode = bound(newGraphicOfClass(GraphicClass::Barcode), {10, 10, 222, 80}, "Codes");
        name = std::static_pointer_cast<TVNText>(bound(newGraphicOfClass(GraphicClass::Text), {10, 100, 222, 30}, "Names"));
        backCode = bound(newGraphicOfClass(GraphicClass::Barcode), {10, 10, 222, 80}, "Backs");
        wnd->design().document->graphics = {frontCode, name};
        wnd->design().document->graphics_back = {backCode};
    }
    // Adds to the front an EAN-13 symbol of the series "Eans", whose value
    // for record `bad` (from 0) has a letter, which EAN-13 refuses.
    void addEanOnFront(int records, int bad)
    {
        QStringList eans;
        for (int n = 0; n < records; ++n)
            eans << (n == bad ? QStringLiteral("40123X") : QStringLiteral("40123455%1").arg(n, 4, 10, QLatin1Char('0')));
        ASSERT_TRUE(batch_data::SeriesStore(Data_Folder_Path).writeSeries("Eans", eans));
        GraphicPtr ean = newGraphicOfClass(GraphicClass::Barcode);
        ean->setBounds({10, 130, 150, 20});
        ean->Set_Data_source_type(batch_data::kSeriesValue);
        ean->Set_Batch_List_Name("Eans");
        ean->barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf("EAN-13"));
        wnd->design().document->graphics.push_back(ean);
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
    // The Export command of `exporting` into the test's folder with the
    // options given, waiting for its batch run to end.
    void exportWith(ImageExport &exporting, const QString &format, int dpi, int sideRow)
    {
        pick(format, dpi, sideRow);
        typedPath = tmp.path();
        exporting.Export_Button(*wnd);
        quorvant::test::waitForExport(exporting);
    }
    // The Export command from the menu, waiting for a batch run to end.
    void exportFromMenu()
    {
        ASSERT_TRUE(outlet<QAction>(*wnd, "act_export")->isEnabled());
        outlet<QAction>(*wnd, "act_export")->trigger();
        quorvant::test::waitForExport(*exporter);
    }
    QStringList files(const QString &folder) const
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    QImage exported(const QString &name) const { return QImage(tmp.file("Quorvant/" + name)); }
    // The export folder holds both sides of `records` records in `format`,
    // and each side's symbol reads as its record's value.
    void expectBothSidesRead(int records, const QString &format)
    {
        QStringList names;
        for (int n = 1; n <= records; ++n)
            names << QStringLiteral("Card_%1.%2").arg(n).arg(format) << QStringLiteral("Card_%1_Back.%2").arg(n).arg(format);
        EXPECT_EQ(files(tmp.file("Quorvant")), names);
        for (int n = 0; n < records; ++n) {
            EXPECT_EQ(decodedValue(exported(QStringLiteral("Card_%1.%2").arg(n + 1).arg(format))),
                      codeOf(n, "F").toStdString());
            EXPECT_EQ(decodedValue(exported(QStringLiteral("Card_%1_Back.%2").arg(n + 1).arg(format))),
                      codeOf(n, "B").toStdString());
        }
    }
    // The design shows record 0 on both sides.
    void expectRecordZeroShown()
    {
        EXPECT_EQ(name->contentsString(), nameOf(0));
        EXPECT_EQ(frontCode->linear_font_val, codeOf(0, "F"));
        EXPECT_EQ(backCode->linear_font_val, codeOf(0, "B"));
        EXPECT_FALSE(Card_Value_In_Process);
    }
};

TEST_F(ExportCommandTest, ADesignWithoutDataIsWrittenAsItIsThroughTheSavePanel)
{
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
        EXPECT_TRUE(looksLike(first, 10, 10, row.sideRow == 2 ? kBackCard : kFrontCard));
        if (row.combine && row.sideRow == 0) {
            EXPECT_TRUE(looksLike(first, 10, first.height() - 10, kBackCard));
        }
    }
}

TEST_F(ExportCommandTest, TheSavePanelOffersEveryFormatAndWritesTheOneChosenThere)
{
    // JPEG chosen in the options comes first; the user then takes the next
    // type down in the panel and types a name without an extension.
    pick("JPEG", 72, 1);
    typedPath = tmp.file("card");
    QStringList offered;
    inPanel = [&](QFileDialog &panel) {
        auto *types = panel.findChild<QComboBox *>("fileTypeCombo");
        ASSERT_NE(types, nullptr);
        for (int i = 0; i < types->count(); ++i)
            offered << types->itemText(i);
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QCoreApplication::sendEvent(types, &down);
    };
    exportFromMenu();
    EXPECT_EQ(offered, (QStringList{"JPEG (*.JPEG)", "TIFF (*.TIFF)", "PNG (*.PNG)", "BMP (*.BMP)"}));
    EXPECT_EQ(files(tmp.path()), QStringList{"card.TIFF"});
    EXPECT_EQ(QImageReader(tmp.file("card.TIFF")).format(), "tiff");
    EXPECT_EQ(resultBoxes, QStringList{tmp.file("card.TIFF") + " | Frame has been exported successfully."});
}

TEST_F(ExportCommandTest, ASingleExportThatCannotWriteShowsWhyAndNoSuccessBox)
{
    pick("PNG", 72, 0);
    typedPath = tmp.file("card");
    QDir().mkpath(tmp.file("card_Back.PNG"));
    exportFromMenu();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first().startsWith(tmp.file("card_Back.PNG") + "\n\n")) << alerts.first().toStdString();
    EXPECT_TRUE(resultBoxes.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(tmp.file("card.PNG")));
}

TEST_F(ExportCommandTest, EveryRecordOfABoundDesignGoesIntoTheFolderAndReadsBack)
{
    bindDesign(3);
    wnd->setEditedSide(1);
    pick("TIFF", 150, 0);
    typedPath = tmp.path();
    exportFromMenu();
    expectBothSidesRead(3, "TIFF");
    for (int n = 0; n < 3; ++n) {
        // 3.37 x 2.13 in at 150 dpi.
        EXPECT_EQ(exported(QStringLiteral("Card_%1.TIFF").arg(n + 1)).size(), QSize(506, 320));
        EXPECT_EQ(exported(QStringLiteral("Card_%1_Back.TIFF").arg(n + 1)).size(), QSize(506, 320));
    }
    EXPECT_EQ(resultBoxes, QStringList{tmp.file("Quorvant") + " | Frame has been exported successfully."});
    expectRecordZeroShown();
    EXPECT_EQ(Card_Front_Or_Back, 1);

    // Into the same folder again, combined: the folder and the names are
    // used again, each record's file holds both sides.
    pick("TIFF", 150, 0, true);
    exportFromMenu();
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), (QStringList{"Quorvant", "res"}));
    for (int n = 0; n < 3; ++n) {
        const QImage both = exported(QStringLiteral("Card_%1.TIFF").arg(n + 1));
        // trunc(3.37 x 150) x trunc(4.26 x 150)
        ASSERT_EQ(both.size(), QSize(505, 639));
        EXPECT_EQ(decodedValue(both.copy(0, 0, 505, 319)), codeOf(n, "F").toStdString());
        EXPECT_EQ(decodedValue(both.copy(0, 320, 505, 319)), codeOf(n, "B").toStdString());
        EXPECT_TRUE(looksLike(both, 3, 315, kFrontCard));
        EXPECT_TRUE(looksLike(both, 3, 635, kBackCard));
    }
    expectRecordZeroShown();
}

TEST_F(ExportCommandTest, SeriesWithOldMacLineEndsGiveACardForEachValue)
{
    bindDesign(3);
    // The three series saved again as an old Mac program saves them: a CR
    // after each value (none after the last one of "Codes").
    const struct {
        const char *name;
        std::function<QString(int)> value;
        const char *end;
    } series[] = {
        {"Names", nameOf, "\r"},
        {"Codes", [](int n) { return codeOf(n, "F"); }, ""},
        {"Backs", [](int n) { return codeOf(n, "B"); }, "\r"},
    };
    for (const auto &s : series) {
        QStringList values;
        for (int n = 0; n < 3; ++n)
            values << s.value(n);
        writeTestFile(Data_Folder_Path + "/" + s.name + ".txt", (values.join('\r') + s.end).toUtf8());
    }
    pick("PNG", 150, 0);
    typedPath = tmp.path();
    exportFromMenu();
    expectBothSidesRead(3, "PNG");
    EXPECT_EQ(resultBoxes, QStringList{tmp.file("Quorvant") + " | Frame has been exported successfully."});
    expectRecordZeroShown();
}

// The design window's records, with the Stop button pressed while record
// `stopAt` is filled.
class StopAtRecord : public output::WindowRecords {
public:
    StopAtRecord(TVNWindowController &window, int stopAt)
        : WindowRecords(window)
        , m_stopAt(stopAt)
    {
    }
    // Asked for from the run's thread; the click comes on the main thread.
    platform::Image drawCard(int n, const QString &side) override
    {
        if (n == m_stopAt && side == QLatin1String("F")) {
            platform::runOnMainThread([&] {
                Send_Modeless &sheet = Send_Modeless::defaultInstance();
                sheetShown = sheet.isVisible() && sheet.parentWidget() == window().mainWidget();
                refreshHeld = Card_Value_In_Process;
                sheet._stop_btn->click();
            });
        }
        return WindowRecords::drawCard(n, side);
    }
    bool sheetShown = false;
    bool refreshHeld = false;

private:
    int m_stopAt;
};

TEST_F(ExportCommandTest, AStopDuringRecordFiveOfTenEndsTheRunAndSaysSo)
{
    bindDesign(10);
    const platform::Image photo = platform::Image::fromBitmap(QImage(40, 30, QImage::Format_RGB32));
    wnd->design()._Main_Photo_image = photo;
    auto records = std::make_unique<StopAtRecord>(*wnd, 4);
    StopAtRecord &stopping = *records;
    ImageExport exporting(std::move(records));
    exportWith(exporting, "PNG", 150, 0);

    EXPECT_TRUE(stopping.sheetShown);
    EXPECT_TRUE(stopping.refreshHeld);
    EXPECT_EQ(alerts, QStringList{"Are you sure you want to continue?"});
    QStringList expected;
    for (int n = 1; n <= 5; ++n)
        expected << QStringLiteral("Card_%1.PNG").arg(n) << QStringLiteral("Card_%1_Back.PNG").arg(n);
    expected.sort();
    EXPECT_EQ(files(tmp.file("Quorvant")), expected);
    for (int n = 0; n < 5; ++n)
        EXPECT_EQ(decodedValue(exported(QStringLiteral("Card_%1.PNG").arg(n + 1))), codeOf(n, "F").toStdString());
    EXPECT_TRUE(exporting.lastRun().stopped);
    EXPECT_FALSE(Send_Modeless::defaultInstance().isVisible());
    // Not the message of a run that made every card.
    EXPECT_EQ(resultBoxes, QStringList{tmp.file("Quorvant") + " | The run was stopped after 5 of 10 cards."});
    expectRecordZeroShown();
    EXPECT_EQ(wnd->design()._Main_Photo_image.size(), photo.size());
}

// The design window's records, with the progress sheet looked at before
// each record is drawn, once it counts the records before it: what it shows
// and how many files the export folder holds then. The run waits meanwhile,
// so those records are exactly the ones finished.
class WatchProgress : public output::WindowRecords {
public:
    WatchProgress(TVNWindowController &window, QString folder)
        : WindowRecords(window)
        , m_folder(std::move(folder))
    {
    }
    // Asked for from the run's thread, the back before the front.
    platform::Image drawCard(int n, const QString &side) override
    {
        if (side == QLatin1String("B"))
            platform::runOnMainThread([&] { look(n); });
        return WindowRecords::drawCard(n, side);
    }
    QStringList seen;

private:
    void look(int n)
    {
        Send_Modeless &sheet = Send_Modeless::defaultInstance();
        // No tick: each finished card has to show by itself.
        sheet.msend_modTimer->stop();
        QElapsedTimer limit;
        limit.start();
        while (!m_missed && sheet._Curr_Progress->value() < n && limit.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        m_missed |= sheet._Curr_Progress->value() < n;
        // "k / N", with or without the opening text's "Frame".
        seen << QStringLiteral("%1| bar %2| %3 files")
                    .arg(sheet._curr_msg_cnt->text().section(QLatin1Char(' '), 0, 2))
                    .arg(sheet._Curr_Progress->value())
                    .arg(QDir(m_folder).entryList(QDir::Files | QDir::Hidden).size());
    }
    QString m_folder;
    // A count that never came is not waited for again.
    bool m_missed = false;
};

TEST_F(ExportCommandTest, TheProgressSheetCountsEachCardAsItsFilesAreWritten)
{
    bindDesign(4);
    auto records = std::make_unique<WatchProgress>(*wnd, tmp.file("Quorvant"));
    WatchProgress &watching = *records;
    ImageExport exporting(std::move(records));
    exportWith(exporting, "PNG", 150, 0);
    EXPECT_EQ(watching.seen.join('\n').toStdString(), "0 / 4| bar 0| 0 files\n1 / 4| bar 1| 2 files\n"
                                                      "2 / 4| bar 2| 4 files\n3 / 4| bar 3| 6 files");
    EXPECT_EQ(resultBoxes, QStringList{tmp.file("Quorvant") + " | Frame has been exported successfully."});
}

TEST_F(ExportCommandTest, AFailedWriteIsOneMessageNamingTheFileAndNoSuccessBox)
{
    bindDesign(6);
    pick("PNG", 150, 0);
    typedPath = tmp.path();
    QDir().mkpath(tmp.file("Quorvant/Card_2.PNG"));
    exportFromMenu();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first().startsWith(tmp.file("Quorvant/Card_2.PNG") + "\n\n")) << alerts.first().toStdString();
    EXPECT_TRUE(resultBoxes.isEmpty());
    expectRecordZeroShown();
}

TEST_F(ExportCommandTest, AFullDiskLeavesOnlyWholeCardsAndSaysWhyAndHowManyWereWritten)
{
    // Room for a few cards on a real file system (a 96 KiB tmpfs where the
    // test may mount one; else no file may pass 2 KiB, which no card fits):
    // the disk fills up while several encoders write.
    SmallDisk disk(96, 2);
    bindDesign(30);
    pick("PNG", 150, 0);
    typedPath = disk.path();
    exportFromMenu();

    ASSERT_EQ(alerts.size(), 1);
    const QString alert = alerts.first();
    EXPECT_TRUE(alert.contains("\n\n" + disk.fullReason() + "\n\n")) << alert.toStdString();
    EXPECT_TRUE(resultBoxes.isEmpty());
    EXPECT_FALSE(exporter->lastRun().ok());
    // Every file under its final name is a whole card that reads back; the
    // message counts the cards whose files are all there.
    const QStringList written = files(disk.file("Quorvant"));
    int whole = 0;
    for (int n = 0; n < 30; ++n) {
        const QString front = QStringLiteral("Card_%1.PNG").arg(n + 1);
        const QString back = QStringLiteral("Card_%1_Back.PNG").arg(n + 1);
        if (written.contains(front)) {
            EXPECT_EQ(decodedValue(QImage(disk.file("Quorvant/" + front))), codeOf(n, "F").toStdString()) << n;
        }
        if (written.contains(back)) {
            EXPECT_EQ(decodedValue(QImage(disk.file("Quorvant/" + back))), codeOf(n, "B").toStdString()) << n;
        }
        whole += written.contains(front) && written.contains(back) ? 1 : 0;
    }
    EXPECT_LT(whole, 30);
    for (const QString &file : written)
        EXPECT_TRUE(file.startsWith("Card_") && file.endsWith(".PNG")) << file.toStdString();
    EXPECT_TRUE(alert.endsWith(QStringLiteral("The export ended early: %1 of 30 cards were written.").arg(whole)))
        << alert.toStdString();
    expectRecordZeroShown();
    // Room for every encoder's first file at once: some cards are there.
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs could be mounted (that takes root): under the file size limit no card fits, so "
                        "that the cards with room are written is not checked";
    EXPECT_FALSE(written.isEmpty());
}

TEST_F(ExportCommandTest, AFolderThatCannotBeMadeIsReportedBeforeAnythingIsFilled)
{
    bindDesign(3);
    const QString shownBefore = name->contentsString();
    pick("PNG", 72, 1);
    writeTestFile(tmp.file("Quorvant"), "in the way");
    SmallDisk readOnly(16);
    const struct {
        QString chosen;
        QString why;
    } rows[] = {
        {tmp.path(), "A file of that name is in the way."},
        // The system's own reason: no folder can be made in a process's
        // entry under /proc, even by root; nor on a read-only file system.
        {"/proc/1", "The folder could not be created: No such file or directory."},
        {readOnly.makeReadOnly() ? readOnly.path() : QString(), "The folder could not be created: Read-only file system."},
    };
    for (const auto &row : rows) {
        if (row.chosen.isEmpty())
            GTEST_SKIP() << "no tmpfs could be mounted and made read-only (that takes root): the read-only file "
                            "system is not checked";
        alerts.clear();
        typedPath = row.chosen;
        exportFromMenu();
        EXPECT_EQ(alerts, QStringList{"The export folder could not be made.\n\n" + row.chosen + "/Quorvant\n" + row.why});
        EXPECT_EQ(name->contentsString(), shownBefore);
        EXPECT_FALSE(Send_Modeless::defaultInstance().isVisible());
        EXPECT_TRUE(resultBoxes.isEmpty());
        EXPECT_FALSE(Card_Value_In_Process);
    }
}

TEST_F(ExportCommandTest, UntickedDataWritesTheDesignAsItIs)
{
    bindDesign(3);
    pick("PNG", 72, 1);
    chooseOptions = [base = chooseOptions](ExportWindow &w) {
        EXPECT_TRUE(w.Export_with_batch_chk->isChecked());
        base(w);
        w.Export_with_batch_chk->setChecked(false);
    };
    typedPath = tmp.file("as_is");
    exportFromMenu();
    EXPECT_EQ(files(tmp.path()), QStringList{"as_is.PNG"});
    EXPECT_FALSE(Use_Data_Sheet_Values);
    EXPECT_FALSE(QFileInfo::exists(tmp.file("Quorvant")));
}

TEST_F(ExportCommandTest, ACardMadeWithoutItsBarcodeIsNamedAndNeverASuccess)
{
    bindDesign(5);
    addEanOnFront(5, 2);
    pick("PNG", 150, 1);
    typedPath = tmp.path();
    exportFromMenu();
    // Every card is still made; record 3's without its EAN-13 symbol.
    EXPECT_EQ(files(tmp.file("Quorvant")).size(), 5);
    EXPECT_EQ(decodedValue(exported("Card_3.PNG")), codeOf(2, "F").toStdString());
    ASSERT_EQ(resultBoxes.size(), 1);
    const QString box = resultBoxes.first();
    EXPECT_FALSE(box.contains("Frame has been exported successfully.")) << box.toStdString();
    EXPECT_TRUE(box.contains("Card 3 was made without its barcode:\nCard 3: \"40123X\": ")) << box.toStdString();
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();
}

TEST_F(ExportCommandTest, BoundDataThatCannotBeUsedIsNamedAndNeverASuccess)
{
    // The names as a Latin-1 editor saves them.
    const QByteArray latin1 = "Zo\xEB \xC5ngstr\xF6m\nS\xF8ren Kierkeg\xE5rd\nAda Lovelace\n";
    const QString success = "Frame has been exported successfully.";
    auto series = [](const char *name) { return Data_Folder_Path + "/" + name + ".txt"; };
    const QString heading = "The cards were made without data that could not be used:\n";
    struct Row {
        const char *why;
        std::function<void()> damage;
        bool untickSeries;
        QStringList files; // in the chosen folder ("Quorvant" for a batch)
        QStringList named; // what the message names; none: the success text
    };
    const QStringList batchFiles{"Quorvant"};
    const Row rows[] = {
        {"a bound series deleted", [&] { QFile::remove(series("Backs")); }, false, batchFiles,
         {"series \"Backs\" (" + series("Backs") + "): No such file."}},
        {"a bound series not in UTF-8", [&] { writeTestFile(series("Names"), latin1); }, false, batchFiles,
         {"series \"Names\" (" + series("Names") + "): " + batch_data::SeriesStore::notUtf8Message()}},
        {"a shorter series is not a fault", [&] { writeTestFile(series("Backs"), "B-0001\n"); }, false, batchFiles, {}},
        {"every bound series gone: the design as it is, still named",
         [&] {
             for (const char *name : {"Names", "Codes", "Backs"})
                 QFile::remove(series(name));
         },
         false, {"card.PNG", "card_Back.PNG"},
         {"series \"Codes\" (" + series("Codes") + "): No such file.",
          "series \"Names\" (" + series("Names") + "): No such file.",
          "series \"Backs\" (" + series("Backs") + "): No such file."}},
        {"series left out by the user", [&] { QFile::remove(series("Backs")); }, true, {"card.PNG", "card_Back.PNG"}, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.why);
        bindDesign(3);
        row.damage();
        const QByteArray namesBefore = readTestFile(series("Names"));
        const QString folder = tmp.file(QStringLiteral("run%1").arg(&row - rows));
        QDir().mkpath(folder);
        pick("PNG", 72, 0);
        if (row.untickSeries) {
            chooseOptions = [base = chooseOptions](ExportWindow &w) {
                base(w);
                w.Export_with_batch_chk->setChecked(false);
            };
        }
        typedPath = row.files == batchFiles ? folder : QDir(folder).filePath("card");
        resultBoxes.clear();
        alerts.clear();
        exportFromMenu();
        EXPECT_EQ(files(folder).isEmpty() ? QStringList{"Quorvant"} : files(folder), row.files);
        if (row.files == batchFiles) {
            // Every card is still made.
            EXPECT_EQ(files(QDir(folder).filePath("Quorvant")).size(), 6);
        }
        ASSERT_EQ(resultBoxes.size(), 1);
        const QString box = resultBoxes.first();
        if (row.named.isEmpty()) {
            EXPECT_TRUE(box.endsWith(" | " + success)) << qPrintable(box);
        } else {
            EXPECT_FALSE(box.contains(success)) << qPrintable(box);
            EXPECT_TRUE(box.contains(heading + row.named.join('\n'))) << qPrintable(box);
        }
        if (row.files == batchFiles) {
            QStringList data;
            for (const QString &line : row.named)
                data << "data: " + line;
            EXPECT_EQ(exporter->lastProblems(), data);
        }
        EXPECT_TRUE(alerts.isEmpty()) << qPrintable(alerts.join('|'));
        // Nothing is written over a series the run could not read.
        EXPECT_EQ(readTestFile(series("Names")), namesBefore);
    }
}

TEST_F(ExportCommandTest, ADamagedPictureOfTheDesignIsNamedAndNeverASuccess)
{
    const QString success = "Frame has been exported successfully.";
    const QString named = "The cards were made without these damaged pictures of the design:\n"
                          "The image \"Photo\" (object 1 on the front): the picture ends early";
    const struct Row {
        const char *why;
        int records;     // 0: the design as it is, through the save panel
        bool printed;    // the photo is marked printable
        bool damaged;    // the end message names it
    } rows[] = {
        {"the design as it is", 0, true, true},
        {"a photo that is never printed", 0, false, false},
        {"a batch of records", 3, true, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.why);
        wnd->New_Project_Setting_Reset();
        if (row.records > 0)
            bindDesign(row.records);
        const QString folder = tmp.file(QStringLiteral("run%1").arg(&row - rows));
        QDir().mkpath(folder);
        alerts.clear();
        openDesignWithCutPhoto(*wnd, folder, {150, 10, 80, 60});
        EXPECT_EQ(alerts, QStringList{kCutPhotoOpened});
        wnd->Get_Front_Controls_Array().front()->ctrl_is_printable = row.printed;
        pick("PNG", 72, 1);
        typedPath = row.records > 0 ? folder : QDir(folder).filePath("card");
        resultBoxes.clear();
        alerts.clear();
        exportFromMenu();
        EXPECT_TRUE(alerts.isEmpty()) << qPrintable(alerts.join('|'));
        if (row.records > 0) {
            // Every card is still made.
            EXPECT_EQ(files(QDir(folder).filePath("Quorvant")).size(), row.records);
        } else {
            EXPECT_TRUE(files(folder).contains("card.PNG")) << qPrintable(files(folder).join(' '));
        }
        ASSERT_EQ(resultBoxes.size(), 1);
        const QString box = resultBoxes.first();
        if (!row.damaged) {
            EXPECT_TRUE(box.endsWith(" | " + success)) << qPrintable(box);
            EXPECT_TRUE(exporter->lastProblems().isEmpty()) << qPrintable(exporter->lastProblems().join('|'));
            continue;
        }
        EXPECT_FALSE(box.contains(success)) << qPrintable(box);
        const int cards = std::max(row.records, 1);
        EXPECT_TRUE(box.endsWith(QStringLiteral(" | %1 of %1 cards were made.\n\n").arg(cards) + named))
            << qPrintable(box);
        EXPECT_EQ(exporter->lastProblems(), QStringList{"damaged: The image \"Photo\" (object 1 on the front): the picture ends early"});
    }
}

TEST_F(ExportCommandTest, NoRecordStartsWhileTheStopQuestionIsOpenAndTheResultSaysStopped)
{
    bindDesign(200);
    // Stop is clicked between two records, as a user's click comes: once
    // record 5 is made, before the next is asked for.
    class StopBetweenRecords : public output::WindowRecords {
    public:
        using WindowRecords::WindowRecords;
        platform::Image drawCard(int n, const QString &side) override
        {
            if (n == 4)
                QTimer::singleShot(0, window().mainWidget(), [] { Send_Modeless::defaultInstance()._stop_btn->click(); });
            return WindowRecords::drawCard(n, side);
        }
    };
    ImageExport exporting(std::make_unique<StopBetweenRecords>(*wnd));
    // The user takes a while to answer Yes; the window goes on handling
    // events meanwhile, as a real question does.
    alertUser.reset();
    platform::ScopedAlertResponder slowUser([&](const platform::AlertRequest &r) {
        alerts << r.text.trimmed();
        keepQuestionOpen();
        return 0;
    });
    exportWith(exporting, "PNG", 72, 1);

    EXPECT_EQ(alerts, QStringList{"Are you sure you want to continue?"});
    // A record already asked for when the user clicked is finished; none
    // starts while the question is open, nor after the Yes.
    const int written = int(files(tmp.file("Quorvant")).size());
    EXPECT_GE(written, 5);
    EXPECT_LE(written, 6);
    EXPECT_TRUE(exporting.lastRun().stopped);
    EXPECT_EQ(resultBoxes, QStringList{tmp.file("Quorvant")
                                       + QStringLiteral(" | The run was stopped after %1 of 200 cards.").arg(written)});
    expectRecordZeroShown();
}

TEST_F(ExportCommandTest, AStopClickedWhileTheFirstHighResolutionCardIsDrawnIsAnsweredBeforeItsDone)
{
    bindDesign(40);
    // The box lies in what every card shares, drawn once at the run's first
    // card: a band at a time, with the Stop click heard in between.
    auto box = std::make_shared<StopOnFirstDrawing>();
    box->setBounds({120, 90, 100, 50});
    wnd->design().document->graphics.push_back(box);
    int drawsWhenAsked = -1;
    alertUser.reset();
    platform::ScopedAlertResponder user([&](const platform::AlertRequest &r) {
        alerts << r.text.trimmed();
        if (drawsWhenAsked < 0)
            drawsWhenAsked = box->draws;
        return 0;
    });
    pick("PNG", 600, 1);
    typedPath = tmp.path();
    exportFromMenu();

    ASSERT_EQ(alerts, QStringList{"Are you sure you want to continue?"});
    // Asked before the shared layers were all drawn: no hand-off held the
    // click for the whole side, nor drew more than a band.
    EXPECT_GE(drawsWhenAsked, 1);
    EXPECT_LT(drawsWhenAsked, box->draws);
    EXPECT_LE(box->largestDevice, RecordFill::kBandPixels);
    EXPECT_LE(wnd->recordFill().largestBand(), RecordFill::kBandPixels);
    // The card under way is finished, and no other starts.
    EXPECT_EQ(files(tmp.file("Quorvant")), QStringList{"Card_1.PNG"});
    EXPECT_EQ(exported("Card_1.PNG").width(), int(std::ceil(wnd->canvasSize().width() * 600 / 72 - 1e-9)));
    EXPECT_EQ(resultBoxes, QStringList{tmp.file("Quorvant") + " | The run was stopped after 1 of 40 cards."});
    expectRecordZeroShown();
}

TEST_F(ExportCommandTest, AnUnexpectedErrorInTheRunIsToldAndNeverASuccess)
{
    bindDesign(3);
    class Broken : public output::WindowRecords {
    public:
        using WindowRecords::WindowRecords;
        void setResolution(double dpi) override
        {
            if (dpi > 0)
                throw std::runtime_error("no memory for the card layers");
            WindowRecords::setResolution(dpi);
        }
    };
    ImageExport exporting(std::make_unique<Broken>(*wnd));
    pick("PNG", 72, 1);
    typedPath = tmp.path();
    exporting.Export_Button(*wnd);
    quorvant::test::waitForExport(exporting);

    EXPECT_EQ(alerts, QStringList{"The export ended early because of an unexpected error (no memory for the card "
                                  "layers).\n\n0 of 3 cards were made."});
    EXPECT_TRUE(resultBoxes.isEmpty());
    EXPECT_FALSE(exporting.lastRun().ok());
    EXPECT_EQ(exporting.lastMessage(), alerts.value(0));
    EXPECT_FALSE(Send_Modeless::defaultInstance().isVisible());
    expectRecordZeroShown();
}

TEST_F(ExportCommandTest, TheExportCommandIsOffDuringARunAndOnAfterItHoweverItEnds)
{
    bindDesign(8);
    // While record 3 is made: the command's state, a click on it waiting in
    // the queue, and for one run the Stop button (answered Yes).
    class Watching : public output::WindowRecords {
    public:
        using WindowRecords::WindowRecords;
        platform::Image drawCard(int n, const QString &side) override
        {
            if (n == 2 && side == QLatin1String("F")) {
                platform::runOnMainThread([&] {
                    enabledDuringRun = outlet<QAction>(*window().mainWidget(), "act_export")->isEnabled();
                    QMetaObject::invokeMethod(outlet<QAction>(*window().mainWidget(), "act_export"), "trigger", Qt::QueuedConnection);
                    if (stop)
                        Send_Modeless::defaultInstance()._stop_btn->click();
                });
            }
            return WindowRecords::drawCard(n, side);
        }
        bool stop = false;
        bool enabledDuringRun = true;
    };
    const struct {
        const char *name;
        bool stop;
        bool folderInTheWay;
        int boxes;
    } rows[] = {
        {"completed", false, false, 1},
        {"stopped", true, false, 1},
        {"folder cannot be made", false, true, 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const QString chosen = tmp.file(row.name);
        QDir().mkpath(chosen);
        if (row.folderInTheWay)
            writeTestFile(QDir(chosen).filePath("Quorvant"), "in the way");
        auto records = std::make_unique<Watching>(*wnd);
        Watching &watching = *records;
        watching.stop = row.stop;
        ImageExport exporting(std::move(records));
        setImageExportWindows(&exporting);
        resultBoxes.clear();
        pick("PNG", 72, 1);
        typedPath = chosen;
        const int panelsBefore = panels;
        exporting.Export_Button(*wnd);
        if (!row.folderInTheWay) {
            EXPECT_FALSE(outlet<QAction>(*wnd, "act_export")->isEnabled());
        }
        quorvant::test::waitForExport(exporting);
        QCoreApplication::processEvents();
        // The queued click started nothing: one folder panel, one run.
        EXPECT_EQ(panels - panelsBefore, 1);
        if (!row.folderInTheWay) {
            EXPECT_FALSE(watching.enabledDuringRun);
        }
        EXPECT_EQ(resultBoxes.size(), row.boxes);
        EXPECT_TRUE(outlet<QAction>(*wnd, "act_export")->isEnabled());
        setImageExportWindows(exporter.get());
    }
}

TEST_F(ExportCommandTest, ARunEndsOnlyOnceTheStopQuestionIsAnswered)
{
    bindDesign(4);
    // Stop is clicked once the last record is made; the user answers No
    // after a while, the window handling events meanwhile.
    class StopAfterLast : public output::WindowRecords {
    public:
        using WindowRecords::WindowRecords;
        platform::Image drawCard(int n, const QString &side) override
        {
            if (n == 3 && side == QLatin1String("F"))
                QTimer::singleShot(0, window().mainWidget(), [] { Send_Modeless::defaultInstance()._stop_btn->click(); });
            return WindowRecords::drawCard(n, side);
        }
    };
    ImageExport exporting(std::make_unique<StopAfterLast>(*wnd));
    alertUser.reset();
    int boxesWhileAsked = -1;
    platform::ScopedAlertResponder slowUser([&](const platform::AlertRequest &r) {
        alerts << r.text.trimmed();
        keepQuestionOpen();
        boxesWhileAsked = int(resultBoxes.size());
        return 1;
    });
    pick("PNG", 72, 1);
    typedPath = tmp.path();
    exporting.Export_Button(*wnd);
    quorvant::test::waitForExport(exporting);
    EXPECT_EQ(alerts, QStringList{"Are you sure you want to continue?"});
    // No result box over the open question; after No, the full run's.
    EXPECT_EQ(boxesWhileAsked, 0);
    EXPECT_EQ(resultBoxes, QStringList{tmp.file("Quorvant") + " | Frame has been exported successfully."});
}

TEST_F(ExportCommandTest, AnOpenedDesignAndOneAfterARunShowRecordZeroOnBothSides)
{
    bindDesign(3);
    // The file keeps values that are not the series' first ones.
    name->setContentsString("Stale name");
    frontCode->linear_font_val = "STALE-F";
    backCode->linear_font_val = "STALE-B";
    const QString file = tmp.file("stale.zelg");
    ASSERT_TRUE(wnd->Save_project_file(file, false));
    ASSERT_EQ(wnd->Read_and_load_design_Log(file, "L"), 1) << alerts.join('|').toStdString();
    ASSERT_EQ(wnd->design().document->graphics.size(), 2u);
    ASSERT_EQ(wnd->design().document->graphics_back.size(), 1u);
    name = std::static_pointer_cast<TVNText>(wnd->design().document->graphics[1]);
    frontCode = wnd->design().document->graphics[0];
    backCode = wnd->design().document->graphics_back[0];
    expectRecordZeroShown();

    // A single export takes what the canvas shows: one record on both sides.
    pick("PNG", 150, 0);
    chooseOptions = [base = chooseOptions](ExportWindow &w) {
        base(w);
        w.Export_with_batch_chk->setChecked(false);
    };
    typedPath = tmp.file("single");
    exportFromMenu();
    EXPECT_EQ(decodedValue(QImage(tmp.file("single.PNG"))), codeOf(0, "F").toStdString());
    EXPECT_EQ(decodedValue(QImage(tmp.file("single_Back.PNG"))), codeOf(0, "B").toStdString());

    // A run of the front only leaves the back at record 0 as well.
    backCode->linear_font_val = "STALE-B";
    pick("PNG", 72, 1);
    typedPath = tmp.path();
    exportFromMenu();
    expectRecordZeroShown();
}

} // namespace

namespace {

TEST(ExportResultBoxChoice, TheLastChoiceStaysAndANoViewerIsSaid)
{
    TempFolder tmp;
    const QString file = tmp.file("Card_1.png");
    writeTestFile(file, "x");
    QStringList alerts;
    platform::ScopedAlertResponder say([&](const platform::AlertRequest &r) {
        alerts << r.text.trimmed();
        return 0;
    });
    bool viewer = true;
    platform::setOpenUrlHandler([&](const QUrl &) { return viewer; });
    const OnScopeExit noHandler([] { platform::setOpenUrlHandler({}); });
    const ScopedValue exportPath(Export_File_Path);
    const ScopedSettings noChoiceYet;
    // The user unticks the folder's option once; a box made later (the
    // program started again) keeps that, while the file's option stays on.
    const auto show = [&](const QString &path, std::optional<bool> tick) {
        bool shownTicked = false;
        platform::ScopedModalResponder answer([&](QDialog &d) {
            auto &b = static_cast<Export_File_Box &>(d);
            shownTicked = b._open_log_chk->isChecked();
            if (tick)
                b._open_log_chk->setChecked(*tick);
            return 1;
        });
        Export_File_Path = path;
        Export_File_Box().Open_Export_File_Box();
        return shownTicked;
    };
    EXPECT_TRUE(show(tmp.path(), false));
    EXPECT_FALSE(show(tmp.path(), {}));
    EXPECT_TRUE(show(file, {}));
    EXPECT_TRUE(alerts.isEmpty());
    viewer = false;
    show(file, {});
    EXPECT_EQ(alerts, QStringList{"No program was found to open " + file + "."});
}

} // namespace
