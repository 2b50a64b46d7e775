// The progress sheet and the export options, driven through their handlers
// with the user's answers scripted.
#include "output/export_window/ExportWindow.h"
#include "output/widgets/Send_Modeless.h"
#include "platform/Alerts.h"
#include "platform/ModalRun.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(ProgressSheet, ShowsTheOpeningTextUntilATickCountsTheRecord)
{
    QMainWindow owner;
    owner.show();
    Send_Modeless &sheet = Send_Modeless::defaultInstance();
    const std::shared_ptr<output::RunState> run = sheet.beginRun(&owner, 12, "0 / 12 Frame");
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(sheet.windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet.parentWidget(), &owner);
    EXPECT_TRUE(sheet.msend_modTimer->isActive());
    EXPECT_FALSE(run->Stop_SMS_Sending_Now) << "a run starts with the stop request cleared";
    EXPECT_EQ(run->list_count, 12);
    EXPECT_EQ(sheet._tot_msg_cnt->text(), "12");
    EXPECT_EQ(sheet._curr_msg_cnt->text(), "0 / 12 Frame");
    EXPECT_EQ(sheet._Curr_Progress->maximum(), 12);

    // A tick during record 3: the count with a blank at the end.
    run->curr_barcode_count = 3;
    sheet.update_sending_progress_bar();
    EXPECT_EQ(sheet._curr_msg_cnt->text(), "3 / 12 ");
    EXPECT_EQ(sheet.curr_msg_count, "3 / 12 ");
    EXPECT_EQ(sheet._Curr_Progress->value(), 3);

    sheet.endRun();
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_FALSE(sheet.msend_modTimer->isActive());
}

// The progress bar as the screen shows it (the window's backing store, not
// a fresh drawing): how many of its columns differ from `empty`.
int filledColumns(Send_Modeless &sheet, const QImage &empty, QImage *shown = nullptr)
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    const QRect bar(sheet._Curr_Progress->mapTo(&sheet, QPoint(0, 0)), sheet._Curr_Progress->size());
    const QImage now = QGuiApplication::primaryScreen()->grabWindow(sheet.winId()).toImage().copy(bar);
    if (shown)
        *shown = now;
    if (empty.isNull())
        return 0;
    int columns = 0;
    for (int x = 0; x < now.width(); ++x) {
        for (int y = 0; y < now.height(); ++y) {
            if (now.pixel(x, y) != empty.pixel(x, y)) {
                ++columns;
                break;
            }
        }
    }
    return columns;
}

TEST(ProgressSheet, TheBarMovesOnScreenFromTheFirstCardsOfALongRun)
{
    QMainWindow owner;
    owner.show();
    Send_Modeless &sheet = Send_Modeless::defaultInstance();
    const std::shared_ptr<output::RunState> run = sheet.beginRun(&owner, 100000, "0 / 100000 Frame");
    QImage empty;
    filledColumns(sheet, {}, &empty);
    const int width = sheet._Curr_Progress->width();
    // A few pixels' worth of cards each: the bar used to wait for nine.
    int before = 0;
    for (int cards : {900, 1800, 2700}) {
        run->curr_barcode_count = cards;
        sheet.update_sending_progress_bar();
        const int filled = filledColumns(sheet, empty);
        EXPECT_GT(filled, before) << cards;
        EXPECT_NEAR(filled, cards * width / 100000.0, 3) << cards;
        before = filled;
    }
    sheet.endRun();
}

TEST(ProgressSheet, StopRaisesTheRequestOnlyWhenConfirmed)
{
    QMainWindow owner;
    Send_Modeless &sheet = Send_Modeless::defaultInstance();
    struct Row {
        const char *what;
        std::vector<int> answers; // 0 "Yes", 1 "No"
        bool stop;
    };
    const Row rows[] = {
        {"No", {1}, false},
        {"Yes", {0}, true},
        {"Yes twice", {0, 0}, true},
        {"Yes, then No", {0, 1}, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const std::shared_ptr<output::RunState> run = sheet.beginRun(&owner, 5, "0 / 5 Frame");
        QStringList asked;
        size_t next = 0;
        platform::ScopedAlertResponder answer([&](const platform::AlertRequest &r) {
            asked << r.text.trimmed();
            return row.answers[next++];
        });
        for (size_t i = 0; i < row.answers.size(); ++i)
            sheet._stop_btn->click();
        EXPECT_EQ(run->Stop_SMS_Sending_Now, row.stop);
        EXPECT_EQ(asked.value(0), "Are you sure you want to continue?");
        // Escape asks as well; the sheet stays while its run goes on.
        next = 0;
        sheet.reject();
        EXPECT_TRUE(sheet.isVisible());
        sheet.endRun();
    }
}

TEST(ExportOptions, StartOverEveryTimeAndAnswerWithTheChoice)
{
    QMainWindow owner;
    ExportWindow window(&owner);
    // The user picks PNG at 300 dpi, both sides combined, and leaves the
    // series out. Each opening must run the user's steps once.
    int runs = 0;
    {
        platform::ScopedModalResponder user([&runs](QDialog &d) {
            ++runs;
            auto &w = static_cast<ExportWindow &>(d);
            EXPECT_EQ(w.fileFormatPopup->currentText(), "TIFF");
            EXPECT_EQ(w.saveDPIText->currentText(), "72");
            EXPECT_EQ(w.matrix_export_card_side->checkedId(), 1);
            EXPECT_FALSE(w.export_combined_image_chk->isEnabled());
            EXPECT_TRUE(w.Export_with_batch_chk->isEnabled() && w.Export_with_batch_chk->isChecked());
            EXPECT_FALSE(w.Export_with_excel_chk->isEnabled() || w.Export_with_excel_chk->isChecked());
            w.fileFormatPopup->setCurrentText("PNG");
            w.saveDPIText->setCurrentText("300");
            w.matrix_export_card_side->button(0)->click();
            EXPECT_TRUE(w.export_combined_image_chk->isEnabled());
            w.export_combined_image_chk->click();
            w.Export_with_batch_chk->click();
            w.buttons->button(QDialogButtonBox::Ok)->click();
            return d.result();
        });
        output::ExportAnswer expected;
        expected.accepted = true;
        expected.options = {"PNG", 300, "BOTH", true};
        EXPECT_EQ(window.run({true, false}), expected);
        EXPECT_EQ(runs, 1);
    }
    // Next time the choice is gone; the back side leaves the combine check
    // as it is, but not offered; Cancel answers not accepted.
    {
        platform::ScopedModalResponder user([&runs](QDialog &d) {
            ++runs;
            auto &w = static_cast<ExportWindow &>(d);
            EXPECT_EQ(w.fileFormatPopup->currentText(), "TIFF");
            EXPECT_FALSE(w.export_combined_image_chk->isChecked());
            EXPECT_FALSE(w.Export_with_batch_chk->isEnabled());
            w.matrix_export_card_side->button(0)->click();
            w.export_combined_image_chk->click();
            w.matrix_export_card_side->button(2)->click();
            EXPECT_FALSE(w.export_combined_image_chk->isEnabled());
            EXPECT_EQ(w.options().sides, "B");
            w.buttons->button(QDialogButtonBox::Cancel)->click();
            return d.result();
        });
        const output::ExportAnswer answer = window.run({});
        EXPECT_FALSE(answer.accepted);
        EXPECT_EQ(runs, 2);
    }
}

} // namespace
