// The start window and its invitation wizard, driven through their handlers
// from the design window's start routine, with the user's answers scripted;
// the frame browser and the main photo of the design window.
#include "design_window/FrameBrowser.h"
#include "tests/design_window/Outlets.h"
#include "design_window/ImagePanel.h"
#include "drawing/TVNDocument.h"
#include "drawing/canvas/TVNGraphicView.h"
#include "profiles_wizards/Invitation_Wizard.h"
#include "profiles_wizards/ThumbnailList.h"
#include "tests/profiles_wizards/WizardTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUndoStack>
#include <QSlider>
#include <QTimeEdit>

using namespace design_window;
using quorvant::test::writeTestFile;
using quorvant::test::outlet;

namespace {

// Types `text` into the widget as key presses, one character as the user
// sees it at a time.
void typeInto(QWidget *field, const QString &text)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text[i].isHighSurrogate() ? 2 : 1;
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text.mid(i, n));
        QApplication::sendEvent(field, &press);
        i += n;
    }
}

GraphicPtr withId(const GraphicList &list, const char *id)
{
    for (const GraphicPtr &g : list)
        if (g->control_ID == QLatin1String(id))
            return g;
    return nullptr;
}

QString textOf(const GraphicList &list, const char *id)
{
    const GraphicPtr g = withId(list, id);
    auto *text = dynamic_cast<TVNText *>(g.get());
    return text ? text->contentsString() : QStringLiteral("<none>");
}

QColor centreOf(const platform::Image &image)
{
    const QImage pixels = image.toBitmap(72);
    return pixels.isNull() ? QColor() : pixels.pixelColor(pixels.width() / 2, pixels.height() / 2);
}

class StartWindowTest : public quorvant::test::WindowTest {
protected:
    Invitation_Wizard &wizard = Invitation_Wizard::defaultInstance();
    // What the open panel picks next ("" cancels it), and the modal
    // windows run so far by object name (panels as "panel").
    QString panelPick;
    QStringList opened;
    // The user's steps on the start window, how often they ran and how
    // often the test opens it: checks among them pass unseen when the
    // window never opens, and a window run twice does the user's part twice.
    std::function<void(Invitation_Wizard &)> steps;
    int stepsRun = 0;
    int stepsExpected = 1;
    QString photo;
    int programEnds = 0;
    QLocale savedLocale;

    void SetUp() override
    {
        WindowTest::SetUp();
        savedLocale = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        photo = makePicture(res("photo.png"), QColor(200, 100, 50), QSize(80, 60));
        writeTestFile(res("Title.txt"), "Welcome!\nSecond title\nThird title\n");
        writeTestFile(res("Message.txt"), "Come along\nSee you there\n");
        QObject::connect(wnd.get(), &TVNWindowController::programEndRequested, [this] { ++programEnds; });
        user = [this](QDialog &d) {
            if (auto *panel = qobject_cast<QFileDialog *>(&d)) {
                opened << "panel";
                panel->selectFile(panelPick);
                panel->setResult(panelPick.isEmpty() ? 0 : 1);
                return;
            }
            opened << d.objectName();
            if (auto *start = qobject_cast<Invitation_Wizard *>(&d); start && steps) {
                ++stepsRun;
                steps(*start);
            }
        };
    }
    void TearDown() override
    {
        if (steps) {
            EXPECT_EQ(stepsRun, stepsExpected) << "the start window did not run the user's steps as often as opened";
        }
        QLocale::setDefault(savedLocale);
        Invite_Answers = {};
        IMG_Adjustments = {};
        Invite_Answers.frame.clear();
        WindowTest::TearDown();
    }
    const GraphicList &front() const { return wnd->Get_Front_Controls_Array(); }
    QString frame(const char *name) const { return res(QStringLiteral("Frames/") + name); }
};

} // namespace

TEST_F(StartWindowTest, WizardWithItsDefaultsSizesTheCardAndLaysTheInvitationOut)
{
    Card_Shape = 2;
    QString frameOnEntry;
    steps = [&](Invitation_Wizard &w) {
        w.Using_Wizard_Click();
        // Straight to the frame page, its first frame chosen without moving on.
        frameOnEntry = w.selected_image;
        EXPECT_EQ(w.next_counter, 2);
        w.OK_Click();
        panelPick = photo;
        w.Browse_Image_Click();
        typeInto(w.to_value, "Alex");
        typeInto(w.from_value, "Sam");
        w.OK_Click();
    };
    EXPECT_TRUE(wnd->Open_Start_Window());

    EXPECT_EQ(frameOnEntry, frame("Blue Wave.png")) << "the frames are listed by name";
    EXPECT_EQ(Start_Card_Option, "W");
    // 120 x 150 mm is 340.16 x 425.20 points; the outline a rectangle.
    EXPECT_NEAR(wnd->design().Front_card_Prop.Card_Size.width(), 340.157, 0.001);
    EXPECT_NEAR(wnd->design().Front_card_Prop.Card_Size.height(), 425.197, 0.001);
    EXPECT_EQ(wnd->design().Back_card_Prop.Card_Size, wnd->design().Front_card_Prop.Card_Size);
    EXPECT_EQ(outlet<TVNGraphicView>(*wnd, "_graphicView")->canvasSize(), wnd->design().Front_card_Prop.Card_Size);
    EXPECT_EQ(Card_Shape, 0);
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join("|").toStdString();

    // The ready-made first title and message, the typed names, no date or
    // time line for pickers never touched.
    EXPECT_EQ(textOf(front(), "PARTY_TITLE"), "Welcome!");
    EXPECT_EQ(textOf(front(), "PARTY_MSG"), "Come along");
    EXPECT_EQ(textOf(front(), "PARTY_TO"), "Dear Alex,");
    EXPECT_EQ(textOf(front(), "PARTY_FROM"), "From:\nSam");
    EXPECT_EQ(withId(front(), "PARTY_DATE"), nullptr);
    EXPECT_EQ(withId(front(), "PARTY_TIME"), nullptr);
    auto bg = std::dynamic_pointer_cast<TVNImage>(withId(front(), "PARTY_IMAGE_BG"));
    ASSERT_TRUE(bg);
    EXPECT_EQ(bg->filePath(), frame("Blue Wave.png"));
    auto picture = std::dynamic_pointer_cast<TVNImage>(withId(front(), "PARTY_IMAGE"));
    ASSERT_TRUE(picture);
    EXPECT_EQ(centreOf(picture->image()), QColor(200, 100, 50));
    EXPECT_EQ(Invite_Answers.photo, photo);
    // The invitation is where the design starts, not a step to undo.
    EXPECT_FALSE(outlet<QAction>(*wnd, "act_undo")->isEnabled());
    EXPECT_EQ(programEnds, 0);
}

TEST_F(StartWindowTest, PagesCheckTheirChoicesAndBackStartsAgain)
{
    IMG_Adjustments.saturation = 1.5f;
    steps = [&](Invitation_Wizard &w) {
        // Titles wrap at both ends.
        w.Title_Back_Click();
        EXPECT_EQ(w.msg_title->text(), "Third title");
        w.Title_Next_Click();
        EXPECT_EQ(w.msg_title->text(), "Welcome!");

        w.Using_Wizard_Click();
        w.OK_Click();
        ASSERT_EQ(w.next_counter, 3);
        w.OK_Click();
        EXPECT_EQ(alerts, QStringList{"Please select photo."});
        panelPick = photo;
        w.Browse_Image_Click();
        w.Sat_slidr->setValue(20);
        w.Back_Click();
        EXPECT_EQ(w.next_counter, 2);
        EXPECT_EQ(w.selected_image, frame("Blue Wave.png")) << "the frame page keeps its choice";
        // A click on another frame moves on at once.
        w.frames->selectItem(2);
        EXPECT_EQ(w.next_counter, 3);
        EXPECT_EQ(w.selected_image, frame("Green Leaf.png"));
        w.Back_Click();
        w.Back_Click();
        // The start page again: every answer, the photo and the controls reset.
        EXPECT_EQ(w.next_counter, 0);
        EXPECT_TRUE(w.selected_image.isEmpty());
        EXPECT_TRUE(w.image_path->text().isEmpty());
        EXPECT_TRUE(w.User_Picture.isNull());
        EXPECT_EQ(w.adjustments(), drawing::PhotoAdjustments{});
        EXPECT_EQ(w.msg_title->text(), "Welcome!");

        // Without frames the frame page cannot be passed.
        QDir(res("Frames")).removeRecursively();
        QDir().mkpath(res("Frames"));
        w.Load_and_fill_backgrounds();
        w.Using_Wizard_Click();
        EXPECT_TRUE(w.selected_image.isEmpty());
        w.OK_Click();
        EXPECT_EQ(alerts.last(), "Please select frame.");
        EXPECT_EQ(w.next_counter, 2);
        w.Close_Btn->click();
    };
    // Closing the start window ends the program; with no changes to the
    // design nothing is asked.
    EXPECT_FALSE(wnd->Open_Start_Window());
    EXPECT_EQ(programEnds, 1);
    EXPECT_EQ(alerts.size(), 2);
    EXPECT_EQ(IMG_Adjustments.saturation, 1.5f) << "the adjustments of the design's photo are not the wizard's";
}

TEST_F(StartWindowTest, TypingLimitsCountWholeCharactersAndOnlyForTyping)
{
    const QString longTitle = QString(120, QLatin1Char('T'));
    writeTestFile(res("Title.txt"), longTitle.toUtf8());
    const QString cake = QString::fromUtf16(u"\U0001F382");
    steps = [&](Invitation_Wizard &w) {
        // A ready-made line longer than the limit is shown in full.
        EXPECT_EQ(w.msg_title->text(), longTitle);
        const struct {
            QWidget *field;
            QString typed, kept;
        } rows[] = {
            {w.from_value, QString(41, 'a'), QString(40, 'a')},
            {w.venue_value, QString(101, 'v'), QString(100, 'v')},
            // The 40th character is a surrogate pair: kept whole.
            {w.to_value, QString(39, 't') + cake + "x", QString(39, 't') + cake},
            // An accent after the 40th letter belongs to it.
            {w.to_value, QString(40, 'e') + QChar(0x0301), QString(40, 'e') + QChar(0x0301)},
        };
        for (const auto &row : rows) {
            static_cast<QLineEdit *>(row.field)->clear();
            typeInto(row.field, row.typed);
            EXPECT_EQ(static_cast<QLineEdit *>(row.field)->text(), row.kept) << row.field->objectName().toStdString();
        }
        w.msg_value->clear();
        typeInto(w.msg_value, QString(249, 'm') + cake + cake);
        EXPECT_EQ(w.msg_value->toPlainText(), QString(249, 'm') + cake);
        EXPECT_TRUE(w.clear_details_btn->isEnabled());
        w.Close_Form_Click();
    };
    wnd->Open_Start_Window();
    EXPECT_EQ(stepsRun, 1);
}

TEST_F(StartWindowTest, ChosenDateAndTimeMakeOneLineAndClearingForgetsThem)
{
    steps = [&](Invitation_Wizard &w) {
        w.Using_Wizard_Click();
        w.OK_Click();
        panelPick = photo;
        w.Browse_Image_Click();
        w.Date_picker->setDate(QDate(2025, 7, 4));
        w.Time_picker->setTime(QTime(19, 30));
        typeInto(w.venue_value, "The Mill");
        EXPECT_EQ(w.Time_ctrl_value->text(), "7:30 PM");

        answers = {1}; // No: nothing is cleared
        w.clear_details_btn->click();
        EXPECT_EQ(w.selected_time, "7:30 PM");
        answers = {0};
        w.clear_details_btn->click();
        EXPECT_TRUE(w.selected_date.isEmpty() && w.selected_time.isEmpty());
        EXPECT_TRUE(w.Date_ctrl_value->text().isEmpty() && w.venue_value->text().isEmpty());
        EXPECT_FALSE(w.clear_details_btn->isEnabled());

        w.Date_picker->setDate(QDate(2025, 7, 5));
        w.Time_picker->setTime(QTime(20, 15));
        w.OK_Click();
    };
    ASSERT_TRUE(wnd->Open_Start_Window());
    EXPECT_EQ(alerts, (QStringList{"Are you sure you want to clear details?", "Are you sure you want to clear details?"}));
    EXPECT_EQ(textOf(front(), "PARTY_DATE"), "Saturday, July 5, 2025 at 8:15 PM");
    EXPECT_EQ(withId(front(), "PARTY_VENUE"), nullptr);
}

TEST_F(StartWindowTest, PhotoEditorAppliesAdjustmentsOnceAndCloseChangesNothing)
{
    const QColor colour(200, 100, 50), inverted(55, 155, 205);
    wnd->Update_frame_Main_Photo_And_Path(photo, true);
    wnd->applyCardSize(QSizeF(100, 70));
    Card_Shape = 1;
    stepsExpected = 0;
    const auto editPhoto = [&](const std::function<void(Invitation_Wizard &)> &edit) {
        steps = edit;
        opened.clear();
        ++stepsExpected;
        wnd->findChild<QAction *>("act_edit_main_photo")->trigger();
        EXPECT_EQ(opened, QStringList{"Invitation_Wizard"});
        EXPECT_EQ(stepsRun, stepsExpected) << "the photo editor did not run the user's steps once";
    };

    editPhoto([&](Invitation_Wizard &w) {
        EXPECT_FALSE(w.details_box->isVisibleTo(&w)) << "only the photo is edited";
        w.Image_Invert_chk->click();
        w.Finish_Btn->click();
    });
    EXPECT_TRUE(IMG_Adjustments.invert);
    auto picture = std::dynamic_pointer_cast<TVNImage>(withId(front(), "PARTY_IMAGE"));
    ASSERT_TRUE(picture) << "made when the front had none";
    EXPECT_EQ(centreOf(picture->image()), inverted);
    EXPECT_EQ(Card_Shape, 0) << "Finish makes the outline a rectangle";
    EXPECT_NEAR(wnd->design().Front_card_Prop.Card_Size.width(), 100 * 2.834645669291, 1e-6) << "and keeps the size";
    // The edit is one step: Undo takes back the photo's object, the
    // adjustments and the outline, and no earlier change.
    QUndoStack &undo = wnd->design().document->undoManager();
    EXPECT_EQ(undo.undoText(), "Main Photo");
    const int steps = undo.count();
    outlet<QAction>(*wnd, "act_undo")->trigger();
    EXPECT_EQ(withId(front(), "PARTY_IMAGE"), nullptr);
    EXPECT_FALSE(IMG_Adjustments.invert);
    EXPECT_EQ(Card_Shape, 1);
    EXPECT_EQ(centreOf(wnd->Main_Photo_image()), colour);
    outlet<QAction>(*wnd, "act_redo")->trigger();
    EXPECT_EQ(undo.count(), steps);
    EXPECT_EQ(withId(front(), "PARTY_IMAGE"), picture);
    EXPECT_TRUE(IMG_Adjustments.invert);
    EXPECT_EQ(Card_Shape, 0);
    EXPECT_EQ(centreOf(wnd->Main_Photo_image()), inverted);

    // Opened again, the editor starts from the photo as its file holds it,
    // with the stored adjustments; finishing keeps the photo inverted once.
    QColor startedFrom;
    editPhoto([&](Invitation_Wizard &w) {
        startedFrom = centreOf(w.User_Picture);
        EXPECT_TRUE(w.Image_Invert_chk->isChecked());
        w.Finish_Btn->click();
    });
    EXPECT_EQ(startedFrom, colour);
    EXPECT_EQ(centreOf(wnd->Main_Photo_image()), inverted);
    EXPECT_EQ(centreOf(picture->image()), inverted);

    // Close after moving the controls: the adjustments, the photo and the
    // card stay as they were.
    const drawing::PhotoAdjustments before = IMG_Adjustments;
    Card_Shape = 2;
    editPhoto([&](Invitation_Wizard &w) {
        w.Image_Sepia_chk->click();
        w.Rotate_slidr->setValue(90);
        w.Sat_slidr->setValue(0);
        w.Close_Btn->click();
    });
    EXPECT_EQ(IMG_Adjustments, before);
    EXPECT_EQ(centreOf(wnd->Main_Photo_image()), inverted);
    EXPECT_EQ(centreOf(picture->image()), inverted);
    EXPECT_EQ(Card_Shape, 2);

    // A photo bound to a series cannot be swapped here; the main photo's
    // own image page offers the editor.
    wnd->design().main_photo_ds_batch = true;
    editPhoto([&](Invitation_Wizard &w) {
        EXPECT_FALSE(w.browse_photo_btn->isEnabled());
        w.Close_Form_Click();
    });
    wnd->Show_RHS_Properties(picture.get());
    EXPECT_TRUE(outlet<ImagePanel>(*wnd, "imagePanel")->edit_main_photo->isVisibleTo(outlet<ImagePanel>(*wnd, "imagePanel")));
    wnd->selectTool(TVNWindowController::kImageTool);
    EXPECT_FALSE(outlet<ImagePanel>(*wnd, "imagePanel")->edit_main_photo->isVisibleTo(outlet<ImagePanel>(*wnd, "imagePanel")));
}

TEST_F(StartWindowTest, OpenChoiceLoadsADesignAndLeavingAsksOnlyAboutChanges)
{
    wnd->selectTool(TVNWindowController::kTextTool);
    const QString saved = res("saved.zelg");
    ASSERT_TRUE(wnd->Save_project_file(saved, false));
    wnd->New_Project_Setting_Reset();

    // An Open that loads nothing leads to the start window; its own open
    // choice loads the design.
    steps = [&](Invitation_Wizard &w) {
        panelPick = saved;
        w.Open_Log_Click();
    };
    panelPick.clear();
    outlet<QAction>(*wnd, "act_open")->trigger();
    EXPECT_EQ(opened, (QStringList{"panel", "Invitation_Wizard", "panel"}));
    EXPECT_EQ(Start_Card_Option, "L");
    EXPECT_EQ(front().size(), 1u);
    EXPECT_EQ(wnd->designFilePath(), saved);

    // New leads there too.
    opened.clear();
    answers = {1};
    steps = [](Invitation_Wizard &w) { w.Close_Form_Click(); };
    outlet<QAction>(*wnd, "act_new")->trigger();
    EXPECT_EQ(opened, QStringList{"Invitation_Wizard"});

    // Leaving with changes asks first; "No" ends the program unsaved.
    const struct {
        const char *name;
        bool changed;
        QList<int> answered; // 0 "Yes", 1 "No"
        QStringList asked;
        bool ends;
    } rows[] = {
        {"no changes", false, {}, {}, true},
        {"changes, not saved", true, {1}, {"Do you want to save changes before closing?"}, true},
        // "Yes" on an untitled design whose save panel is cancelled: the
        // session goes on rather than lose the design.
        {"changes, save called off", true, {0}, {"Do you want to save changes before closing?"}, false},
    };
    // The start window opened for Open, for New and once for each row.
    stepsExpected = 2 + int(std::size(rows));
    for (const auto &row : rows) {
        wnd->New_Project_Setting_Reset();
        wnd->setWindowModified(row.changed);
        steps = [](Invitation_Wizard &w) { w.ExitClick(); };
        alerts.clear();
        answers = row.answered;
        panelPick.clear();
        programEnds = 0;
        EXPECT_EQ(wnd->Open_Start_Window(), !row.ends) << row.name;
        EXPECT_EQ(alerts, row.asked) << row.name;
        EXPECT_EQ(programEnds, row.ends ? 1 : 0) << row.name;
        EXPECT_EQ(Start_Card_Option, "") << row.name;
    }

}

TEST_F(StartWindowTest, FrameBrowserSetsTheFrontBackgroundAndTheFrameGraphic)
{
    FrameBrowser &browser = *outlet<FrameBrowser>(*wnd, "imageBrowser");
    ASSERT_EQ(browser.numberOfItemsInImageBrowser(), 4);
    EXPECT_EQ(browser.imageBrowser(0).path, frame("Blue Wave.png"));

    // Without a frame graphic the card still takes the frame.
    browser.selectItem(1);
    EXPECT_EQ(wnd->selectedFrame(), frame("Gold Border.png"));
    EXPECT_EQ(wnd->design().Front_card_Prop.BG_Image_Path, frame("Gold Border.png"));
    EXPECT_TRUE(wnd->design().Front_card_Prop.Card_Fill);
    EXPECT_FALSE(wnd->design().Front_card_Prop.BG_Image.isNull());

    InvitationAnswers answers;
    answers.frame = frame("Blue Wave.png");
    Invite_Answers = answers.trimmed();
    wnd->Fill_Party_Invidation_Details();
    browser.selectItem(3);
    auto bg = std::dynamic_pointer_cast<TVNImage>(withId(front(), "PARTY_IMAGE_BG"));
    ASSERT_TRUE(bg);
    EXPECT_EQ(bg->filePath(), frame("Rose Classic.png"));
    EXPECT_EQ(wnd->design().Front_card_Prop.BG_Image_Path, frame("Rose Classic.png"));

    // A missing folder leaves the list as it was.
    QDir(res("Frames")).removeRecursively();
    wnd->Load_and_fill_backgrounds();
    EXPECT_EQ(browser.numberOfItemsInImageBrowser(), 4);
}
