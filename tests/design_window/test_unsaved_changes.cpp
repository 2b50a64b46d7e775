// Unsaved work: the window knows when the design changed and asks before
// anything replaces or closes it; the question can be called off.
#include "WindowFixture.h"
#include "tests/design_window/Outlets.h"

#include "design_window/CardPanel.h"
#include "design_window/DataSourcePanel.h"
#include "design_window/TextPanel.h"
#include "platform/ModalRun.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QWindow>

using namespace design_window;
using quorvant::test::readTestFile;
using quorvant::test::outlet;

namespace {

const QString kQuestion = QStringLiteral("Do you want to save changes before closing?");
enum Button { Yes = 0, No = 1, Cancel = 2 }; // the question's buttons in order

class UnsavedChanges : public DesignWindow {
protected:
    void SetUp() override
    {
        DesignWindow::SetUp();
        // A named design with a text and an image, as opened from its file.
        addText("Base", QRectF(20, 20, 100, 30));
        add(TVNWindowController::kImageTool)->setBounds(QRectF(130, 20, 60, 60));
        base = tmp.file("base.zelg");
        ASSERT_TRUE(wnd->Save_project_file(base, false));
        other = tmp.file("other.zelg");
        wnd->New_Project_Setting_Reset();
        addText("Other", QRectF(10, 10, 100, 30));
        ASSERT_TRUE(wnd->Save_project_file(other, false));
        openBase();
    }
    void openBase()
    {
        ASSERT_EQ(wnd->Read_and_load_design_Log(base, "L"), 1);
        ASSERT_FALSE(wnd->isWindowModified());
        alerts.clear();
    }
    // The title as the window system shows it.
    QString shownTitle()
    {
        wnd->show();
        return wnd->windowHandle()->title();
    }
    // The base design's text (behind its image).
    GraphicPtr baseText() const { return wnd->Get_Front_Controls_Array().at(1); }

    // One change of every kind a user makes, each one undo step.
    struct Change {
        const char *what;
        std::function<void()> make;
    };
    std::vector<Change> everyKindOfChange()
    {
        quorvant::test::writeTestFile(QDir(Data_Folder_Path).filePath("Names.txt"), "Ann\n");
        CardPanel *card = outlet<CardPanel>(*wnd, "card_panel");
        return {
            {"a new text", [&] { add(TVNWindowController::kTextTool); }},
            {"an object moved", [&] { drag(QPointF(40, 30), QPointF(50, 40)); }},
            {"an object deleted", [&] {
                 wnd->currentCanvas()->selectGraphic(baseText());
                 outlet<QAction>(*wnd, "act_delete")->trigger();
             }},
            {"a text edited", [&] {
                 wnd->Show_RHS_Properties(baseText().get());
                 outlet<TextPanel>(*wnd, "textPanel")->text_content->setPlainText("Edited");
             }},
            {"a text bound", [&] {
                 wnd->Show_RHS_Properties(baseText().get());
                 outlet<QComboBox>(*wnd, "Data_source_type")->setCurrentIndex(1);
                 wnd->Data_Source_Type_Changed();
                 outlet<QComboBox>(*wnd, "Batch_Series")->setCurrentIndex(0);
                 wnd->Batch_Series_Changed();
             }},
            {"the card's width", [card] { card->card_width_mm->setValue(70); }},
            {"the card's outline", [card] { emit card->card_shape_combo->activated(2); }},
            {"the card's sides", [card] { emit card->card_sides_combo->activated(1); }},
            {"the card's fill", [card] { card->card_fill_chk->setChecked(true); }},
        };
    }

    QString base, other;
};

} // namespace

TEST_F(UnsavedChanges, EveryKindOfChangeMarksTheDesignAndSavingClearsIt)
{
    EXPECT_EQ(shownTitle(), "base.zelg - Quorvant");
    const std::vector<Change> changes = everyKindOfChange();
    for (const Change &change : changes) {
        openBase();
        change.make();
        EXPECT_TRUE(wnd->isWindowModified()) << change.what;
        EXPECT_EQ(shownTitle(), "base.zelg* - Quorvant") << change.what;
    }

    // Saving to the design's file: no box, the mark goes, the status bar says
    // where the design went.
    ASSERT_TRUE(wnd->Save_Design());
    EXPECT_TRUE(alerts.isEmpty());
    EXPECT_EQ(shownTitle(), "base.zelg - Quorvant");
    EXPECT_TRUE(wnd->statusBar()->currentMessage().contains("base.zelg"));
    // Without changes nothing asks.
    outlet<QAction>(*wnd, "act_new")->trigger();
    EXPECT_TRUE(alerts.isEmpty());
    EXPECT_TRUE(wnd->Get_Front_Controls_Array().empty());
    EXPECT_TRUE(wnd->close());
    EXPECT_TRUE(alerts.isEmpty());
}

TEST_F(UnsavedChanges, EveryCommandThatReplacesOrClosesAsksAndCancelLeavesAllAsItWas)
{
    const QByteArray saved = readTestFile(base);
    struct Command {
        const char *what;
        std::function<void()> run;
        std::function<bool()> done; // the command went through
    } const commands[] = {
        {"New", [&] { outlet<QAction>(*wnd, "act_new")->trigger(); },
         [&] { return wnd->Get_Front_Controls_Array().empty() && wnd->designFilePath().isEmpty(); }},
        {"Open", [&] {
             platform::ScopedModalResponder pick([&](QDialog &d) {
                 static_cast<QFileDialog &>(d).selectFile(other);
                 return 1;
             });
             outlet<QAction>(*wnd, "act_open")->trigger();
         },
         [&] { return wnd->designFilePath() == other; }},
        {"open from another window", [&] { wnd->Read_and_load_design_Log(other, "T"); },
         [&] { return wnd->designFilePath().isEmpty() && wnd->Get_Front_Controls_Array().size() == 1; }},
        {"close", [&] { wnd->close(); }, [&] { return !wnd->isVisible(); }},
    };
    for (const Command &command : commands) {
        for (const Button button : {Cancel, No, Yes}) {
            const std::string row = std::string(command.what) + " / button " + std::to_string(button);
            // What the last row left unsaved is let go ("No"): the base file
            // is put back behind the window's back, and saving over that
            // would rightly ask first.
            answer = [](const platform::AlertRequest &r) { return r.buttons.size() == 3 ? int(No) : 0; };
            quorvant::test::writeTestFile(base, saved);
            openBase();
            wnd->show();
            addText("Unsaved", QRectF(5, 5, 50, 20));
            answer = [&](const platform::AlertRequest &r) {
                EXPECT_EQ(r.buttons, (QStringList{"Yes", "No", "Cancel"})) << row;
                return int(button);
            };
            command.run();
            EXPECT_EQ(alerts, QStringList{kQuestion}) << row;
            EXPECT_EQ(command.done(), button != Cancel) << row;
            if (button == Cancel) {
                EXPECT_EQ(wnd->Get_Front_Controls_Array().size(), 3u) << row;
                EXPECT_TRUE(wnd->isWindowModified()) << row;
                EXPECT_EQ(wnd->designFilePath(), base) << row;
            }
            // Only Yes writes the file, and before anything is replaced.
            EXPECT_EQ(readTestFile(base).contains("Unsaved"), button == Yes) << row;
        }
    }
}

TEST_F(UnsavedChanges, YesOnAnUntitledDesignWhosePanelIsCancelledKeepsEverything)
{
    wnd->New_Project_Setting_Reset();
    addText("Unsaved", QRectF(5, 5, 50, 20));
    answer = [](const platform::AlertRequest &) { return int(Yes); };
    platform::ScopedModalResponder cancel([](QDialog &) { return 0; });
    EXPECT_FALSE(wnd->Exit_Application());
    EXPECT_EQ(wnd->Read_and_load_design_Log(other, "L"), 0);
    EXPECT_EQ(wnd->Get_Front_Controls_Array().size(), 1u);
    EXPECT_TRUE(wnd->isWindowModified());
}

TEST_F(UnsavedChanges, UndoingBackToTheSavedStepClearsTheMarkAndRedoingSetsItAgain)
{
    QAction *undo = outlet<QAction>(*wnd, "act_undo");
    QAction *redo = outlet<QAction>(*wnd, "act_redo");
    for (const Change &change : everyKindOfChange()) {
        openBase();
        change.make();
        undo->trigger();
        EXPECT_EQ(shownTitle(), "base.zelg - Quorvant") << change.what;
        redo->trigger();
        EXPECT_EQ(shownTitle(), "base.zelg* - Quorvant") << change.what;
    }

    // Saved after two steps: undoing one of them is a change from the file.
    openBase();
    add(TVNWindowController::kTextTool);
    drag(QPointF(40, 30), QPointF(50, 40));
    ASSERT_TRUE(wnd->Save_Design());
    EXPECT_EQ(shownTitle(), "base.zelg - Quorvant");
    undo->trigger();
    EXPECT_EQ(shownTitle(), "base.zelg* - Quorvant");
    redo->trigger();
    EXPECT_EQ(shownTitle(), "base.zelg - Quorvant");

    // A new design and an opened one start from their own clean step.
    for (const char *command : {"act_new", "open"}) {
        add(TVNWindowController::kTextTool);
        answer = [](const platform::AlertRequest &) { return int(No); };
        if (QLatin1String(command) == QLatin1String("open"))
            ASSERT_EQ(wnd->Read_and_load_design_Log(other, "L"), 1);
        else
            outlet<QAction>(*wnd, command)->trigger();
        EXPECT_FALSE(wnd->isWindowModified()) << command;
        drag(QPointF(15, 15), QPointF(25, 25));
        add(TVNWindowController::kTextTool);
        undo->trigger();
        undo->trigger();
        EXPECT_FALSE(wnd->isWindowModified()) << command;
    }

    // A change that no undo step holds (a spreadsheet chosen by another
    // window) keeps the mark whatever is undone after it.
    openBase();
    add(TVNWindowController::kTextTool);
    wnd->markDesignChanged();
    undo->trigger();
    EXPECT_EQ(shownTitle(), "base.zelg* - Quorvant");
}

TEST_F(UnsavedChanges, OpeningTheDesignsOwnFileAfterSavingItShowsWhatWasJustSaved)
{
    // The file is read before the question; Yes then writes it anew, and the
    // design opened must be the one written, not the one read before.
    addText("Unsaved", QRectF(5, 5, 50, 20));
    answer = [](const platform::AlertRequest &) { return int(Yes); };
    ASSERT_EQ(wnd->Read_and_load_design_Log(base, "L"), 1);
    EXPECT_EQ(alerts, QStringList{kQuestion});
    EXPECT_TRUE(readTestFile(base).contains("Unsaved"));
    const GraphicList &front = wnd->Get_Front_Controls_Array();
    ASSERT_EQ(front.size(), 3u);
    EXPECT_EQ(static_cast<TVNText &>(*front[0]).contentsString(), "Unsaved");
    EXPECT_FALSE(wnd->isWindowModified());

    // The window knows the file as it wrote it: saving again asks nothing.
    alerts.clear();
    drag(QPointF(40, 30), QPointF(50, 40));
    EXPECT_TRUE(wnd->Save_Design());
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();
}
