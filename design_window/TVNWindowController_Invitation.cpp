// The design window's start window, the invitation it lays out on the front,
// the frame browser and the main photo. The start window and the frame
// browser's thumbnails belong to the wizards' layer, reached through
// WizardWindows.
#include "design_window/FrameBrowser.h"
#include "design_window/Globals.h"
#include "design_window/InvitationLayout.h"
#include "design_window/TVNWindowController.h"
#include "design_window/WizardWindows.h"
#include "drawing/TVNDocument.h"
#include "drawing/canvas/TVNGraphicView.h"

#include <QDir>
#include <QDockWidget>
#include <QMenu>

using namespace design_window;

void TVNWindowController::buildFrameBrowser()
{
    WizardWindows *windows = wizardWindows();
    if (!windows)
        return;
    imageBrowser = windows->newFrameBrowser();
    imageBrowser->setObjectName("imageBrowser");
    connect(imageBrowser, &FrameBrowser::imageBrowserSelectionDidChange, this,
            &TVNWindowController::imageBrowserSelectionDidChange);
    frames_dock = new QDockWidget(tr("Frames"), this);
    frames_dock->setObjectName("frames_dock");
    frames_dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    frames_dock->setWidget(imageBrowser);
    frames_dock->setMinimumWidth(190);
    addDockWidget(Qt::LeftDockWidgetArea, frames_dock);
    if (auto *view = findChild<QMenu *>("view_menu")) {
        view->addSeparator();
        view->addAction(frames_dock->toggleViewAction());
    }
}

void TVNWindowController::Load_and_fill_backgrounds()
{
    if (imageBrowser)
        imageBrowser->listFolder(QDir(Resource_Path).filePath(QStringLiteral("Frames")));
}

void TVNWindowController::imageBrowserSelectionDidChange(const QString &path)
{
    selected_image = path;
    // A frame picked in the dock is a change of the card like the card
    // page's background: one undo step.
    editCard(tr("Card Background"), [&] { set_Front_BG_Image(path); });
    Refresh_Canvas();
}

bool TVNWindowController::Open_Start_Window()
{
    WizardWindows *windows = wizardWindows();
    if (!windows)
        return true;
    if (windows->runStartWindow() != 1) {
        // Leaving the start window ends the program, but never drops the
        // open design's changes unasked.
        if (hasUnsavedChanges() && !Exit_Application())
            return true;
        emit programEndRequested();
        return false;
    }
    if (Start_Card_Option != QLatin1String("W"))
        return true;

    // The invitation is the design's starting point, not an edit to undo.
    document->disableUndoRegistration();
    Front_card_Prop.Card_Location = QPointF();
    Back_card_Prop.Card_Location = QPointF();
    setEditedSide(0);
    Show_RHS_Properties(nullptr);
    Fill_Party_Invidation_Details();
    // The card's page shows, so nothing stays selected behind it.
    _graphicView->deselectAll();
    Show_RHS_Properties(nullptr);
    document->enableUndoRegistration();
    updateUndoActions();
    return true;
}

void TVNWindowController::Fill_Party_Invidation_Details()
{
    design_window::Selected_Control_Tool = kTextTool;
    const std::vector<InvitationItem> items =
        invitationLayout(Invite_Answers, Front_card_Prop.Card_Size, Front_card_Prop.Card_Location);
    for (const InvitationItem &item : items) {
        design_window::Selected_Control_Tool = item.graphicClass == GraphicClass::Image ? kImageTool : kTextTool;
        _graphicView->createGraphicOfClass(item.graphicClass, nullptr, true, item.rect, QStringLiteral("F"),
                                           item.value, item.ctrlId);
    }
}

namespace {

// What editing the main photo changes: the photo, its adjustments, the
// card's outline and the front objects (the photo's object may be new).
struct MainPhotoState {
    QString path;
    design_window::PhotoAdjustments photo;
    int shape = 0;
    GraphicList front;
    GraphicList states;
};

} // namespace

void TVNWindowController::Edit_Main_Photo_Button()
{
    WizardWindows *windows = wizardWindows();
    const auto snapshot = [this] {
        MainPhotoState s{Invite_Answers.photo, IMG_Adjustments, design_window::Card_Shape,
                         document->graphics, {}};
        for (const GraphicPtr &g : s.front)
            s.states.push_back(g->clone());
        return s;
    };
    const MainPhotoState before = snapshot();
    if (!windows || windows->editMainPhoto() != 1)
        return;
    design_window::Selected_Control_Tool = kImageTool;
    // The whole edit is one undo step, made below.
    document->disableUndoRegistration();
    _graphicView->ReplaceGraphicText(GraphicClass::Image, nullptr, false, QRectF(), QStringLiteral("F"),
                                     Invite_Answers.photo, QStringLiteral("PARTY_IMAGE"));
    document->enableUndoRegistration();
    const MainPhotoState after = snapshot();
    const auto restore = [this](const MainPhotoState &s) {
        _graphicView->deselectAll();
        Invite_Answers.photo = s.path;
        IMG_Adjustments = s.photo;
        design_window::Card_Shape = s.shape;
        if (s.path.isEmpty())
            _Main_Photo_image = {};
        else
            Update_frame_Main_Photo_And_Path(s.path, false);
        document->graphics = s.front;
        for (std::size_t i = 0; i < s.front.size(); ++i)
            s.front[i]->assignState(*s.states[i]);
        emit document->graphicsChanged();
        Show_RHS_Properties(m_inspected.get());
    };
    document->registerChange(tr("Main Photo"), [restore, before] { restore(before); },
                             [restore, after] { restore(after); });
    emit document->graphicsChanged();
    _graphicView->update();
    Refresh_Canvas();
    _graphicView->deselectAll();
    Show_RHS_Properties(nullptr);
}
