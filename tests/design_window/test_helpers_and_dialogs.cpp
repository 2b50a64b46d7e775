// The design window's small services: card sizes, the resource folder and
// the two small dialogs, driven with scripted modal runs.
#include "design_window/CardSizes.h"
#include "design_window/ExportFileBox.h"
#include "design_window/Globals.h"
#include "design_window/LongSmsDlg.h"
#include "design_window/PleaseWaitSheet.h"
#include "design_window/RecordFill.h"
#include "design_window/ResourceFolder.h"
#include "platform/Desktop.h"
#include "platform/ModalRun.h"
#include "tests/support/ScopedValue.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

using namespace design_window;

using quorvant::test::OnScopeExit;
using quorvant::test::readTestFile;
using quorvant::test::ScopedValue;
using quorvant::test::writeTestFile;

TEST(CardSizes, PresetRowsInMillimetres)
{
    struct Row {
        const char *category, *orientation;
        int row;
        QSizeF mm;
    } const rows[] = {
        {"PVC Card", "H", 0, {85.598, 54.102}},           // CR80, 3.37 x 2.13 in
        {"PVC Card", "V", 6, {2.12 * 25.4, 2.88 * 25.4}}, // CR70 turned upright
        {"Badge", "H", 7, {5.91 * 25.4, 4.96 * 25.4}},    // any other category is paper
        {"PVC Card", "V", -1, {30, 30}},                  // no row
        {"PVC Card", "H", 7, {30, 30}},                   // past the table
    };
    for (const Row &r : rows) {
        const QSizeF mm = Get_My_card_Size(r.category, r.orientation, r.row);
        EXPECT_NEAR(mm.width(), r.mm.width(), 1e-9) << r.category << r.row;
        EXPECT_NEAR(mm.height(), r.mm.height(), 1e-9) << r.category << r.row;
    }
    EXPECT_NEAR(MM_to_Points_Convert(25.4), 72.0, 1e-9);
    EXPECT_NEAR(Points_to_MM_Convert(MM_to_Points_Convert(54.102)), 54.102, 1e-9);
}

TEST(ResourceFolder, DefaultContentComesOnceAndNeverOverUserFiles)
{
    QTemporaryDir tmp;
    const QString bundle = tmp.filePath("bundle");
    const QString user = tmp.filePath("user");
    writeTestFile(bundle + "/Title.txt", "Happy Birthday\n");
    writeTestFile(bundle + "/Frames/Gold.png", "png-bytes");
    writeTestFile(user + "/Title.txt", "my own titles\n");

    EXPECT_EQ(seedDefaultContent(bundle, user), 1);
    EXPECT_EQ(readTestFile(user + "/Title.txt"), QByteArray("my own titles\n"));
    EXPECT_EQ(readTestFile(user + "/Frames/Gold.png"), QByteArray("png-bytes"));
    EXPECT_EQ(readTestFile(user + "/" + kSeededContentRecord), QByteArray("Frames/Gold.png\nTitle.txt\n"));
    // What the user deleted stays deleted; what the bundle gains comes once.
    QFile::remove(user + "/Title.txt");
    QDir(user + "/Frames").removeRecursively();
    writeTestFile(bundle + "/Message.txt", "Welcome\n");
    EXPECT_EQ(seedDefaultContent(bundle, user), 1);
    EXPECT_FALSE(QFileInfo::exists(user + "/Title.txt"));
    EXPECT_FALSE(QFileInfo::exists(user + "/Frames/Gold.png"));
    EXPECT_EQ(readTestFile(user + "/Message.txt"), QByteArray("Welcome\n"));
    EXPECT_EQ(seedDefaultContent(bundle, user), 0);
    EXPECT_EQ(seedDefaultContent(tmp.filePath("no-bundle"), user), 0);

    const ScopedValue resourcePath(Resource_Path);
    const ScopedValue dataFolderPath(Data_Folder_Path);
    setResourceFolder(user);
    EXPECT_EQ(Data_Folder_Path, user + "/DataSet");
    Check_Path_And_Create_Files();
    for (const char *sub : {"DataSet", "Frames", "Fill_Style_Image", "LibraryImage", "Templates", "Templates/User"})
        EXPECT_TRUE(QFileInfo(user + "/" + QLatin1String(sub)).isDir()) << sub;
}

namespace {

// Answers the long-message dialog with the box ticked or not and Yes (OK) or
// No, after checking that it shows `shown`.
platform::ScopedModalResponder answerLongMessage(bool tick, bool yes, const LongMessageRequest &shown)
{
    return platform::ScopedModalResponder([=](QDialog &d) {
        auto &l = static_cast<Long_SMS_Dlg &>(d);
        EXPECT_EQ(l.title_lbl->text(), shown.title);
        EXPECT_EQ(l.msg_text->toPlainText(), shown.text);
        EXPECT_EQ(l.ok_btn->text(), shown.question ? "Yes" : "OK");
        EXPECT_EQ(l.no_btn->isHidden(), !shown.question);
        EXPECT_EQ(l.apply_chk->isHidden(), !shown.showApplyToAll);
        l.apply_chk->setChecked(tick);
        (yes ? l.ok_btn : l.no_btn)->click();
        return l.result();
    });
}

} // namespace

TEST(LongMessageDialog, AsksOrHelpsAndOnlyYesStoresTheApplyToAllBox)
{
    Long_SMS_Dlg &dlg = Long_SMS_Dlg::defaultInstance();
    EXPECT_EQ(&dlg, &Long_SMS_Dlg::defaultInstance());
    const LongMessageRequest question{"Replace?", "The series exists.", true, true};
    {
        const auto answer = answerLongMessage(true, false, question);
        EXPECT_EQ(dlg.run(question), (LongMessageAnswer{false, true}));
    }

    // The fixed entry point asks with the caller's fields; Yes stores the
    // box, No leaves the stored state as it was.
    const ScopedValue applyToAll(Msg_Apply_All_Chk, false);
    const ScopedValue title(dlg.title_val, question.title);
    const ScopedValue text(dlg.msg_val_str, question.text);
    const ScopedValue showApplyToAll(dlg.apply_chk_show, true);
    for (const bool yes : {true, false}) {
        const auto answer = answerLongMessage(yes, yes, question);
        EXPECT_EQ(dlg.Open_Long_sms_Dialog(), yes ? 1 : 0);
        EXPECT_TRUE(Msg_Apply_All_Chk);
    }

    // Without a title it shows the help text and only OK, which still stores
    // the (hidden) box.
    dlg.title_val.clear();
    dlg.apply_chk_show = false;
    const ScopedValue helpTitle(Cutom_Msg_Title, "Batch Processing Settings Help :");
    const ScopedValue helpText(Cutom_Msg_Val, "Select Data Source");
    const auto answer = answerLongMessage(false, true, {Cutom_Msg_Title, Cutom_Msg_Val, false, false});
    EXPECT_EQ(dlg.Open_Long_sms_Dialog(), 1);
    EXPECT_FALSE(Msg_Apply_All_Chk);
}

TEST(ExportResultBox, NamesFileOrFolderAndOpensOnlyWhenAsked)
{
    QTemporaryDir tmp;
    const QString file = tmp.filePath("Card_1.png");
    writeTestFile(file, "x");
    QList<QUrl> opened;
    platform::setOpenUrlHandler([&](const QUrl &url) {
        opened.append(url);
        return true;
    });
    const OnScopeExit noHandler([] { platform::setOpenUrlHandler({}); });
    const quorvant::test::ScopedSettings storedChoices;
    Export_File_Box box;
    struct Case {
        QString path;
        const char *option;
        bool tick;
        int result;
        bool opens;
    } const cases[] = {
        {tmp.path(), "Open containing folder.", false, 1, false},
        {file, "Open exported file.", true, 0, false},
        {file, "Open exported file.", true, 1, true},
    };
    const ScopedValue message(Export_File_Message, "Export completed.");
    const ScopedValue exportPath(Export_File_Path);
    for (const Case &c : cases) {
        opened.clear();
        Export_File_Path = c.path;
        platform::ScopedModalResponder answer([&](QDialog &d) {
            auto &b = static_cast<Export_File_Box &>(d);
            EXPECT_EQ(b._open_log_chk->text(), c.option);
            EXPECT_EQ(b._open_log_path->text(), c.path);
            EXPECT_EQ(b._open_log_message->text(), "Export completed.");
            b._open_log_chk->setChecked(c.tick);
            return c.result;
        });
        EXPECT_EQ(box.Open_Export_File_Box(), c.result);
        EXPECT_EQ(opened, c.opens ? QList<QUrl>{QUrl::fromLocalFile(file)} : QList<QUrl>{}) << c.option;
    }
}

TEST(ExportResultBox, ShowsTheWholeEndMessageWithinTheScreen)
{
    // A run whose card 3 got no barcode for a value of 300 characters, and
    // one that names more cards than the screen can hold, into a folder
    // whose path has no place to wrap; then the first again, in the same
    // window, which takes the size it had the first time. A path that
    // reads on one line is not wrapped to a short message's width; markup
    // and ampersands show as typed.
    const QString value(300, QLatin1Char('W'));
    const QString oneCard = "4 of 5 cards were made.\n\nCard 3 was made without its barcode:\nCard 3: "
                            + design_window::quotedValue(value) + ": The value is too long for a Data Matrix symbol.";
    QString manyCards = "5 of 200 cards were made.\n";
    for (int card = 1; card <= 195; ++card)
        manyCards += QStringLiteral("\nCard %1: %2: The value cannot be written as EAN-13.")
                         .arg(card)
                         .arg(design_window::quotedValue(value));
    const QString deepFolder = "/tmp/" + QString(200, QLatin1Char('x')) + "/Quorvant";
    const struct {
        const char *what;
        QString message;
        QString path;
        bool scrolls;
        bool pathOnOneLine;
    } rows[] = {
        {"one card", oneCard, "/tmp/cards/Quorvant", false, true},
        {"more cards than the screen holds", manyCards, deepFolder, true, false},
        {"one card again", oneCard, "/tmp/cards/Quorvant", false, true},
        {"a short message", "Export completed.", "/home/someone/Pictures/Quorvant/Card_Front_0001.png", false, true},
        {"markup and ampersands", "<b>Export</b> completed & done.", "/tmp/Tom & Jerry/<b>cards</b>", false, true},
    };
    Export_File_Box box;
    QList<QSize> sizes;
    for (const auto &row : rows) {
        QStringList why{"not shown"};
        bool scrolls = false;
        bool pathOnOneLine = false;
        platform::ScopedModalResponder shown([&](QDialog &d) {
            d.show();
            sizes << d.size();
            why = QStringList{quorvant::test::whyTextIsNotShownWhole(d, row.message),
                              quorvant::test::whyTextIsNotShownWhole(d, row.path)};
            for (const QScrollBar *bar : d.findChildren<QScrollBar *>())
                scrolls = scrolls || bar->isVisible();
            const QLabel *path = box._open_log_path;
            pathOnOneLine = QFontMetrics(path->font()).horizontalAdvance(row.path) <= path->contentsRect().width();
            d.hide();
            return 1;
        });
        box.run({row.path, row.message});
        EXPECT_EQ(why.join('|').toStdString(), "|") << row.what;
        EXPECT_EQ(scrolls, row.scrolls) << row.what;
        EXPECT_EQ(pathOnOneLine, row.pathOnOneLine) << row.what;
    }
    ASSERT_EQ(sizes.size(), 5);
    EXPECT_EQ(sizes[2], sizes[0]);
}

TEST(ExportResultBox, ThePathIsSelectedAndCopiedWithTheMouseAndTheKeysWorkTheBox)
{
    // A real run worked as a user would: Space on the control that has the
    // focus (the message is no control), a drag across the whole path, long
    // enough to wrap, Ctrl+C, and Return.
    const quorvant::test::ScopedSettings storedChoices;
    const QString path = "/tmp/" + QString(150, QLatin1Char('x')) + "/Tom & Jerry/<b>cards</b>";
    Export_File_Box box;
    bool ran = false;
    int highlighted = 0;
    QString copied;
    QTimer::singleShot(0, &box, [&] {
        ran = true;
        QApplication::setActiveWindow(&box);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QLabel *label = box._open_log_path;
        const QRect inside = label->contentsRect();
        ASSERT_GT(inside.height(), 2 * label->fontMetrics().height()) << "the path does not wrap";
        QTest::mousePress(label, Qt::LeftButton, {}, inside.topLeft() + QPoint(0, 2));
        QTest::mouseMove(label, inside.bottomRight() - QPoint(0, 2));
        QTest::mouseRelease(label, Qt::LeftButton, {}, inside.bottomRight() - QPoint(0, 2));
        const QImage shown = label->grab().toImage();
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                highlighted += shown.pixelColor(x, y) == label->palette().color(QPalette::Highlight) ? 1 : 0;
        QTest::keyClick(label, Qt::Key_C, Qt::ControlModifier);
        copied = QGuiApplication::clipboard()->text();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    const ExportResultAnswer answer = box.run({path, "Export completed."});
    EXPECT_TRUE(ran);
    EXPECT_GT(highlighted, 100) << "no selection is drawn";
    EXPECT_EQ(copied.toStdString(), path.toStdString());
    EXPECT_TRUE(answer.accepted);
    EXPECT_FALSE(answer.openResult) << "Space did not untick the box";
}

TEST(PleaseWaitSheet, TheWorkRunsOffTheMainThreadWhileTheWindowGoesOn)
{
    // The work cannot end before the main thread has looked at the sheet
    // and released it: a work run on the main thread, or a main thread that
    // stopped while the work runs, would never get there.
    struct Row {
        int showAfterMs;
        bool shownAtOnce;
    } const rows[] = {{0, true}, {300, false}};
    for (const Row &row : rows) {
        QWidget owner;
        owner.show();
        PleaseWaitSheet sheet(&owner);
        std::atomic<bool> released = false;
        QList<bool> seen; // the sheet's visibility, each time the main thread looked
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            seen.append(sheet.isVisible());
            if (sheet.isVisible())
                released = true;
        });
        watch.start(10);
        std::thread::id workedOn;
        runUnderPleaseWait(
            sheet, "test",
            [&] {
                workedOn = std::this_thread::get_id();
                while (!released)
                    std::this_thread::yield();
            },
            std::chrono::milliseconds(row.showAfterMs));
        watch.stop();
        EXPECT_NE(workedOn, std::this_thread::get_id()) << row.showAfterMs;
        ASSERT_FALSE(seen.isEmpty()) << row.showAfterMs;
        EXPECT_EQ(seen.first(), row.shownAtOnce) << row.showAfterMs;
        EXPECT_TRUE(seen.last()) << row.showAfterMs;
        EXPECT_FALSE(sheet.isVisible()) << row.showAfterMs;
    }
}

TEST(PleaseWaitSheet, OverAnOwnerNotYetShownItHoldsOffClicksOnEveryWindow)
{
    // A dialog that reads its file before it opens waits under its sheet
    // while still hidden: a click elsewhere (a second read of the same
    // file, a run) must wait too, as when the read held the main thread.
    QWidget other;
    auto *button = new QPushButton(QStringLiteral("Run"), &other);
    button->setGeometry(10, 10, 80, 30);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    const auto click = [&] { QTest::mouseClick(other.windowHandle(), Qt::LeftButton, {}, QPoint(50, 25)); };
    click();
    ASSERT_EQ(clicks, 1); // a click reaches the window when nothing waits
    clicks = 0;

    QDialog owner;
    PleaseWaitSheet sheet(&owner);
    std::atomic<bool> released = false;
    bool clickedWhileShown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (sheet.isVisible() && !released) {
            click();
            clickedWhileShown = true;
            released = true;
        }
    });
    watch.start(10);
    runUnderPleaseWait(sheet, "test", [&] {
        while (!released)
            std::this_thread::yield();
    });
    watch.stop();
    ASSERT_TRUE(clickedWhileShown);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(sheet.isVisible());
    // Afterwards the window takes clicks again.
    click();
    EXPECT_EQ(clicks, 1);
}
