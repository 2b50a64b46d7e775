#include "design_window/TVNWindowController.h"

#include "barcodes/designer/BarcodeEngine.h"
#include "design_window/BarcodeDesigner.h"
#include "design_window/CardPanel.h"
#include "design_window/CardSizes.h"
#include "design_window/DataSourcePanel.h"
#include "design_window/ExportFileBox.h"
#include "design_window/Globals.h"
#include "design_window/PanelSupport.h"
#include "design_window/RecordFill.h"
#include "design_window/ResourceFolder.h"
#include "drawing/ImageProcesser.h"
#include "drawing/TVNDocument.h"
#include "drawing/canvas/TVNGraphicView.h"
#include "drawing/canvas/TVNGrid.h"
#include "drawing/TVNRenderingView.h"
#include "platform/Helpers.h"
#include "platform/Paths.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QIcon>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <cmath>
#include <utility>

using namespace design_window;

namespace {

// Screen pixels per point of the canvases: the card shows a little larger
// than print size so that small text stays legible.
constexpr double kCanvasScale = 2.0;
constexpr int kInspectorMinimumWidth = 180;
constexpr int kInspectorWidth = 340;
// Beyond this the window would only add grey around the card.
constexpr QSize kLargestFirstSize(1600, 1100);

// Shares a splitter's width between the canvas area and the inspector on
// every resize: the inspector has its full width while the canvas area still
// shows the whole card, and shrinks before the card is cut, but never below
// the width its controls need (the card scrolls instead) unless the window
// has no room for even that.
class SplitterResizer : public QObject {
public:
    SplitterResizer(QSplitter *splitter, QWidget *canvasArea, QScrollArea *inspector)
        : QObject(splitter), m_splitter(splitter), m_canvasArea(canvasArea), m_inspector(inspector)
    {
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_splitter && event->type() == QEvent::Resize) {
            const int total = m_splitter->width() - m_splitter->handleWidth();
            const auto *scroll = m_canvasArea->findChild<QScrollArea *>();
            const int canvas = scroll && scroll->widget() ? scroll->widget()->width() + 2 * scroll->frameWidth() + 8 : 0;
            const int controls = m_inspector->widget()->minimumSizeHint().width() + 2 * m_inspector->frameWidth()
                + m_inspector->verticalScrollBar()->sizeHint().width();
            const int least = std::clamp(std::min(controls, total / 2), kInspectorMinimumWidth, kInspectorWidth);
            const int inspector = std::clamp(total - canvas, least, kInspectorWidth);
            m_splitter->setSizes({std::max(0, total - inspector), inspector});
        }
        return false;
    }

private:
    QSplitter *m_splitter;
    QWidget *m_canvasArea;
    QScrollArea *m_inspector;
};

} // namespace

GraphicPtr design_window::findGraphic(const GraphicList &list, const TVNGraphic *graphic)
{
    for (const GraphicPtr &g : list) {
        if (g.get() == graphic)
            return g;
    }
    return nullptr;
}

TVNWindowController::TVNWindowController(std::optional<HubServices> services)
{
    if (services)
        installHubServices(*services);
    setObjectName("DrawWindow");
    Main_App_wnd = this;
    drawing::setHost(this);

    grid = new TVNGrid(this);
    grid->setObjectName("grid");
    _no_image = drawing::placeholderPicture();
    wizard_pattern_image =
        platform::Image::fromFile(QDir(platform::bundleResourcesPath()).filePath(QStringLiteral("Wizard_pattern.jpg")));
    pvc_card_arry = pvcCardNames();
    paper_card_arry = paperCardNames();

    if (Resource_Path.isEmpty())
        setResourceFolder(platform::userResourcePath());
    act_path_location = Resource_Path;

    Open_Export_Files = new Export_File_Box(this);
    saveDialogCustomView = new QWidget(this);
    saveDialogCustomView->setObjectName("saveDialogCustomView");
    saveDialogCustomView->hide();
    auto *saveTypeRow = new QHBoxLayout(saveDialogCustomView);
    saveTypeRow->addWidget(new QLabel(tr("File type:")));
    Save_Ext_ComboBox = new QComboBox;
    Save_Ext_ComboBox->setObjectName("Save_Ext_ComboBox");
    saveTypeRow->addWidget(Save_Ext_ComboBox);

    buildCanvases();
    buildActions();
    buildInspector();
    buildWizardCommands();
    buildFrameBrowser();
    m_recordFill = std::make_unique<RecordFill>(RecordFill::Design{
        [this](int side) -> GraphicList & { return side == 1 ? document->graphics_back : document->graphics; },
        [](int side) { return TVNRenderingView::cardFace(side); },
        [this](const QString &path) { Update_frame_Main_Photo_And_Path(path, false); },
        [this] { return seriesStore(); }, [] { return batch_data::ListData(currentSpreadsheetTable().rows); },
        [] { return CARD_SIDE_STR == QLatin1String("2"); },
        [this](int side) {
            const Card_Property &card = side == 1 ? Back_card_Prop : Front_card_Prop;
            return card.Card_Fill ? card.BG_Image : platform::Image();
        }});
    buildExportCommands();
    buildMailCommands();
    Get_Email_Details();
    buildPrintCommands();
    buildSeriesImportCommands();
    buildSeriesCommands();

    connect(document.get(), &TVNDocument::graphicsChanged, this, [this] {
        // A graphic that left every list (deleted, undone) is no longer shown.
        if (m_inspected && !findGraphic(document->graphics, m_inspected.get())
            && !findGraphic(document->graphics_back, m_inspected.get()))
            Show_RHS_Properties(nullptr);
        updateUndoActions();
        Refresh_Canvas();
        markDesignChanged();
    });
    connect(grid, &TVNGrid::changed, this, [this] { Refresh_Canvas(); });

    takeFirstSize();
    New_Project_Setting_Reset();
    // After the reset, which gives a first start its default frames.
    Load_and_fill_backgrounds();
}

void TVNWindowController::takeFirstSize()
{
    // Most of the screen's available area, centred on it: the frames, the
    // card and the whole inspector side by side where the screen allows;
    // on a small screen the inspector scrolls. A frame and a task bar take
    // a little more than the area left around the window.
    const QScreen *shown = screen();
    if (!shown)
        return;
    const QRect area = shown->availableGeometry();
    const QSize size = (area.size() - QSize(40, 60)).boundedTo(kLargestFirstSize).expandedTo(QSize(640, 480));
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, area));
}

TVNWindowController::~TVNWindowController()
{
    // The document's last signals (its undo history is cleared as it goes)
    // must not reach this window once its canvases are gone.
    disconnect(document.get(), nullptr, this, nullptr);
    disconnect(&document->undoManager(), nullptr, this, nullptr);
    // The canvases hold the document's lists: let them go first.
    std::unique_ptr<QWidget> canvases(takeCentralWidget());
    canvases.reset();
    drawing::setHost(nullptr);
    if (Main_App_wnd == this)
        Main_App_wnd = nullptr;
}

TVNWindowController *TVNWindowController::defaultInstance()
{
    return dynamic_cast<TVNWindowController *>(Main_App_wnd);
}

// ---------------------------------------------------------------- building

void TVNWindowController::buildCanvases()
{
    auto makeCanvas = [this](const char *name, GraphicList *list, int side) {
        auto *canvas = new TVNGraphicView;
        canvas->setObjectName(name);
        canvas->bindGraphics(document.get(), list);
        canvas->setCardSide(side);
        canvas->setGrid(grid);
        canvas->setScale(kCanvasScale);
        connect(canvas, &TVNGraphicView::selectionChanged, this, [this] { updateUndoActions(); });
        return canvas;
    };
    _graphicView = makeCanvas("_graphicView", &document->graphics, 0);
    _graphicView_BACK = makeCanvas("_graphicView_BACK", &document->graphics_back, 1);
    _graphicView_TEMP = makeCanvas("_graphicView_TEMP", &document->graphics_temp, 0);
    // What the previews do on the scratch canvas is no change of the design
    // and nothing to undo: it works on its list directly.
    _graphicView_TEMP->bindGraphics(nullptr, &document->graphics_temp);
    // The scratch canvas serves the profile previews; it is never shown here.
    _graphicView_TEMP->hide();

    canvas_stack = new QStackedWidget;
    canvas_stack->setObjectName("canvas_stack");
    for (TVNGraphicView *canvas : {_graphicView, _graphicView_BACK}) {
        auto *scroll = new QScrollArea;
        scroll->setWidget(canvas);
        scroll->setAlignment(Qt::AlignCenter);
        scroll->setBackgroundRole(QPalette::Dark);
        canvas_stack->addWidget(scroll);
    }

    side_switch = new QComboBox;
    side_switch->setObjectName("side_switch");
    side_switch->addItems({tr("Front"), tr("Back")});
    connect(side_switch, &QComboBox::activated, this, [this](int index) { setEditedSide(index); });

    auto *left = new QWidget;
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    auto *sideRow = new QHBoxLayout;
    sideRow->addWidget(new QLabel(tr("Card side:")));
    sideRow->addWidget(side_switch);
    sideRow->addStretch();
    leftLayout->addLayout(sideRow);
    leftLayout->addWidget(canvas_stack, 1);
    leftLayout->addWidget(_graphicView_TEMP);

    auto *splitter = new QSplitter;
    splitter->setObjectName("main_splitter");
    splitter->addWidget(left);
    inspector_pages = new QStackedWidget;
    inspector_pages->setObjectName("inspector_pages");
    auto *inspector = new QWidget;
    inspector->setObjectName("property_inspector");
    auto *inspectorLayout = new QVBoxLayout(inspector);
    inspector_title = new QLabel;
    inspector_title->setObjectName("inspector_title");
    QFont bold = inspector_title->font();
    bold.setBold(true);
    inspector_title->setFont(bold);
    inspectorLayout->addWidget(inspector_title);
    inspectorLayout->addWidget(inspector_pages);
    inspectorLayout->addStretch(1);
    auto *inspectorScroll = new QScrollArea;
    inspectorScroll->setWidget(inspector);
    inspectorScroll->setWidgetResizable(true);
    inspectorScroll->setMinimumWidth(kInspectorMinimumWidth);
    splitter->addWidget(inspectorScroll);
    splitter->setStretchFactor(0, 1);
    splitter->setChildrenCollapsible(false);
    // In a small window the inspector gives up the width its controls do
    // not need before the canvas does.
    splitter->installEventFilter(new SplitterResizer(splitter, left, inspectorScroll));
    setCentralWidget(splitter);
}

void TVNWindowController::buildActions()
{
    auto action = [this](const QString &text, const char *name, QKeySequence key = {}) {
        auto *a = new QAction(text, this);
        a->setObjectName(name);
        if (!key.isEmpty())
            a->setShortcut(key);
        return a;
    };
    auto pending = [&](const QString &text, const char *name) {
        QAction *a = action(text, name);
        a->setEnabled(false);
        a->setToolTip(tr("Not available yet"));
        pending_actions.append(a);
        return a;
    };

    act_new = action(tr("&New"), "act_new", QKeySequence::New);
    act_open = action(tr("&Open..."), "act_open", QKeySequence::Open);
    act_save = action(tr("&Save"), "act_save", QKeySequence::Save);
    act_save_as = action(tr("Save &As..."), "act_save_as", QKeySequence::SaveAs);
    act_exit = action(tr("E&xit"), "act_exit", QKeySequence::Quit);
    connect(act_new, &QAction::triggered, this, [this] {
        if (!maybeSave())
            return;
        New_Project_Setting_Reset();
        // Every new design begins on the start window.
        Open_Start_Window();
    });
    connect(act_open, &QAction::triggered, this, [this] {
        // An open that loaded nothing leads to the start window; one called
        // off at the question whether to save changes does nothing at all.
        if (openDesignFile() == DesignLoad::NotLoaded)
            Open_Start_Window();
    });
    connect(act_save, &QAction::triggered, this, [this] { Save_Design(); });
    connect(act_save_as, &QAction::triggered, this, [this] { Save_Design_As(); });
    connect(act_exit, &QAction::triggered, this, [this] { close(); });

    act_undo = action(tr("&Undo"), "act_undo", QKeySequence::Undo);
    act_redo = action(tr("&Redo"), "act_redo", QKeySequence::Redo);
    // A toolbar button's label is its action's icon text: a fixed one keeps
    // the buttons after it in place while the menu names the step.
    act_undo->setIconText(tr("Undo"));
    act_redo->setIconText(tr("Redo"));
    act_delete = action(tr("&Delete"), "act_delete", QKeySequence::Delete);
    // The inspector shows the object as the step left it: its fields are
    // what the next edit starts from, so a stale Bold box or text would
    // bring back what was just undone.
    connect(act_undo, &QAction::triggered, this, [this] {
        document->undoManager().undo();
        Show_RHS_Properties(m_inspected.get());
    });
    connect(act_redo, &QAction::triggered, this, [this] {
        document->undoManager().redo();
        Show_RHS_Properties(m_inspected.get());
    });
    connect(act_delete, &QAction::triggered, this, [this] { currentCanvas()->deleteSelectedGraphics(); });
    connect(&document->undoManager(), &QUndoStack::indexChanged, this, [this] { updateUndoActions(); });
    // Undone or redone back to the step the file holds, or away from it.
    connect(&document->undoManager(), &QUndoStack::cleanChanged, this,
            [this](bool clean) { setWindowModified(!clean); });

    act_tool_select = action(tr("Select"), "act_tool_select");
    act_tool_text = action(tr("Text"), "act_tool_text");
    act_tool_image = action(tr("Image"), "act_tool_image");
    act_tool_barcode = action(tr("Barcode"), "act_tool_barcode");
    act_tool_select->setToolTip(tr("Select and move objects"));
    act_tool_text->setToolTip(tr("Add a text"));
    act_tool_image->setToolTip(tr("Add an image"));
    act_tool_barcode->setToolTip(tr("Add a barcode"));
    connect(act_tool_select, &QAction::triggered, this, [this] { selectTool(kSelectTool); });
    connect(act_tool_text, &QAction::triggered, this, [this] { selectTool(kTextTool); });
    connect(act_tool_image, &QAction::triggered, this, [this] { selectTool(kImageTool); });
    connect(act_tool_barcode, &QAction::triggered, this, [this] { selectTool(kBarcodeTool); });

    act_show_grid = action(tr("Show Grid"), "act_show_grid");
    act_show_grid->setCheckable(true);
    connect(act_show_grid, &QAction::toggled, this, [this](bool on) {
        Show_hide_grid_chk->setChecked(on);
        Grid_Show_Hide_Changed();
    });
    act_snap_grid = action(tr("Snap to Grid"), "act_snap_grid");
    act_snap_grid->setCheckable(true);
    connect(act_snap_grid, &QAction::toggled, this, [this](bool on) { grid->setConstraining(on); });
    // Aligning with the grid is offered only while the grid is shown.
    act_snap_grid->setEnabled(grid->isAlwaysShown());
    connect(grid, &TVNGrid::alwaysShownChanged, act_snap_grid, &QAction::setEnabled);
    act_help = action(tr("Quorvant Help"), "act_help", QKeySequence::HelpContents);
    connect(act_help, &QAction::triggered, this, [] { Open_Help_File(); });

    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addActions({act_new, act_open});
    file->addSeparator();
    file->addActions({act_save, act_save_as});
    file->addAction(pending(tr("Export as Template..."), "act_export_template"));
    file->addSeparator();
    file->addAction(pending(tr("Export Image..."), "act_export"));
    file->addAction(pending(tr("Print..."), "act_print"));
    file->addAction(pending(tr("Send by E-mail..."), "act_mail"));
    file->addSeparator();
    file->addAction(act_exit);

    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    edit->addActions({act_undo, act_redo});
    edit->addSeparator();
    edit->addAction(act_delete);

    QMenu *insert = menuBar()->addMenu(tr("&Insert"));
    insert->addActions({act_tool_text, act_tool_image, act_tool_barcode});
    insert->addAction(pending(tr("Image from Library..."), "act_library"));

    QMenu *view = menuBar()->addMenu(tr("&View"));
    view->setObjectName("view_menu");
    view->addActions({act_show_grid, act_snap_grid});
    view->addAction(pending(tr("Grid Options..."), "act_grid_options"));

    QMenu *data = menuBar()->addMenu(tr("&Data"));
    data->addAction(pending(tr("Batch Processing Series..."), "act_series_manager"));
    data->addAction(pending(tr("Spreadsheet Data Source..."), "act_spreadsheet"));
    data->addAction(pending(tr("Import Series..."), "act_import_series"));
    data->addAction(pending(tr("Generate Series..."), "act_generate_series"));
    act_profile = pending(tr("User Profile..."), "act_profile");
    data->addAction(act_profile);
    data->addAction(pending(tr("E-mail Settings..."), "act_mail_settings"));

    QMenu *wizards = menuBar()->addMenu(tr("&Wizards"));
    wizards->addAction(pending(tr("Start Window..."), "act_start_window"));
    wizards->addAction(pending(tr("Main Photo..."), "act_edit_main_photo"));
    wizards->addAction(pending(tr("Templates..."), "act_templates"));
    wizards->addAction(pending(tr("Card Size Wizard..."), "act_card_size_wizard"));

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    help->addAction(act_help);

    QToolBar *tools = addToolBar(tr("Tools"));
    tools->setObjectName("tool_bar");
    // The desktop theme's standard icons, where it has them, beside the texts.
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const std::pair<QAction *, const char *> icons[] = {
        {act_new, "document-new"},     {act_open, "document-open"},    {act_save, "document-save"},
        {act_save_as, "document-save-as"}, {act_exit, "application-exit"}, {act_undo, "edit-undo"},
        {act_redo, "edit-redo"},       {act_delete, "edit-delete"},    {act_tool_text, "insert-text"},
        {act_tool_image, "insert-image"}, {act_tool_barcode, "insert-object"}, {act_help, "help-contents"},
        {act_profile, "user-info"},    {act_show_grid, "view-grid"}};
    for (const auto &[action, name] : icons) {
        // Newer themes keep some actions only in their one-colour form.
        const QString icon = QLatin1String(name);
        action->setIcon(QIcon::fromTheme(icon, QIcon::fromTheme(icon + QLatin1String("-symbolic"))));
    }
    tools->addActions({act_new, act_open, act_save});
    tools->addSeparator();
    tools->addActions({act_tool_select, act_tool_text, act_tool_image, act_tool_barcode});
    tools->addSeparator();
    tools->addActions({act_undo, act_redo, act_delete});
    tools->addSeparator();
    tools->addAction(act_profile);
    tools->addSeparator();
    tools->addAction(act_show_grid);
    statusBar();
}

// ---------------------------------------------------------------- lists and canvases

GraphicList &TVNWindowController::Get_Front_Controls_Array()
{
    return document->graphics;
}

GraphicList &TVNWindowController::Get_Back_Controls_Array()
{
    return document->graphics_back;
}

GraphicList &TVNWindowController::editedSideGraphics()
{
    return design_window::Card_Front_Or_Back == 1 ? document->graphics_back : document->graphics;
}

GraphicList TVNWindowController::Get_Temp_Controls_Array() const
{
    return document->graphics_temp;
}

void TVNWindowController::Temp_Design_Control_Assign()
{
    _graphicView_TEMP->deselectAll();
    _graphicView_TEMP->_Selected_Graphic.reset();
    GraphicList copies;
    for (const GraphicPtr &g : editedSideGraphics())
        copies.push_back(g->clone());
    document->graphics_temp = std::move(copies);
    _graphicView_TEMP->update();
}

TVNGraphicView *TVNWindowController::currentCanvas() const
{
    return design_window::Card_Front_Or_Back == 1 ? _graphicView_BACK : _graphicView;
}

void TVNWindowController::setEditedSide(int side)
{
    if (side == 1 && CARD_SIDE_STR != QLatin1String("2"))
        side = 0;
    design_window::Card_Front_Or_Back = side;
    canvas_stack->setCurrentIndex(side);
    side_switch->setCurrentIndex(side);
    _graphicView_TEMP->setCardSide(side);
    const GraphicList &selection = currentCanvas()->selectedGraphics();
    Show_RHS_Properties(selection.size() == 1 ? selection.front().get() : nullptr);
    Refresh_Canvas();
}

void TVNWindowController::Refresh_Canvas()
{
    if (Card_Value_In_Process)
        return;
    currentCanvas()->update();
}

void TVNWindowController::updateSideControls()
{
    const bool twoSided = CARD_SIDE_STR == QLatin1String("2");
    side_switch->setEnabled(twoSided);
    if (!twoSided && design_window::Card_Front_Or_Back == 1)
        setEditedSide(0);
}

void TVNWindowController::updateUndoActions()
{
    QUndoStack &undo = document->undoManager();
    act_undo->setEnabled(undo.canUndo());
    act_redo->setEnabled(undo.canRedo());
    // The Edit menu names the step that Undo and Redo take.
    act_undo->setText(undo.canUndo() ? tr("&Undo %1").arg(undo.undoText()) : tr("&Undo"));
    act_redo->setText(undo.canRedo() ? tr("&Redo %1").arg(undo.redoText()) : tr("&Redo"));
    // The toolbar keeps its short labels (its buttons stay where they are)
    // and names the step in the tip.
    act_undo->setToolTip(QString(act_undo->text()).remove(QLatin1Char('&')));
    act_redo->setToolTip(QString(act_redo->text()).remove(QLatin1Char('&')));
    act_delete->setEnabled(!currentCanvas()->selectedGraphics().empty());
}

void TVNWindowController::updateTitle()
{
    const QString name = m_designFilePath.isEmpty() ? tr("Untitled") : QFileInfo(m_designFilePath).fileName();
    setWindowTitle(QStringLiteral("%1[*] - %2").arg(name, App_Name));
}

void TVNWindowController::selectTool(int tool)
{
    design_window::Selected_Control_Tool = tool;
    if (tool == kSelectTool)
        return;
    // One click of a tool is one object, placed at once; the canvas goes on
    // selecting and moving, so a drag that follows makes no second one.
    createWithTool(tool == kTextTool    ? GraphicClass::Text
                   : tool == kImageTool ? GraphicClass::Image
                                        : GraphicClass::Barcode);
}

void TVNWindowController::createWithTool(GraphicClass cls)
{
    const QString side = design_window::Card_Front_Or_Back == 1 ? QStringLiteral("B") : QStringLiteral("F");
    TVNGraphicView *canvas = currentCanvas();
    const bool barcode = cls == GraphicClass::Barcode && barcodeDesignerInstalled();
    const bool wasModified = isWindowModified();
    // A new barcode becomes part of the design only once the designer's OK
    // has set it up: one undo step for both, and nothing left on Cancel.
    // Until then the object is the designer's draft, no change of the
    // design: undoing the step leads back to the state the file holds.
    const QScopedValueRollback draft(m_recordedCardEdits, m_recordedCardEdits + (barcode ? 1 : 0));
    if (barcode)
        document->disableUndoRegistration();
    canvas->createGraphicOfClass(cls, nullptr, false, QRectF(), side,
                                 cls == GraphicClass::Text ? tr("Text") : QString(), QString());
    const GraphicPtr created = canvas->_Selected_Graphic;
    if (created)
        Show_RHS_Properties(created.get());
    Refresh_Canvas();
    if (!barcode)
        return;
    if (created)
        Open_Barcode_Window(created.get());
    document->enableUndoRegistration();
    if (!created)
        return;
    GraphicList &list = editedSideGraphics();
    const bool kept = !Barcode_output_image.isNull();
    list.erase(std::remove(list.begin(), list.end(), created), list.end());
    canvas->deselectAll();
    canvas->_Selected_Graphic.reset();
    if (kept) {
        document->insertGraphic(list, created, 0, tr("Create Barcode"));
        canvas->selectGraphic(created);
        canvas->_Selected_Graphic = created;
    } else {
        emit document->graphicsChanged();
        // The design is as it was before the tool was chosen, unless the
        // designer's windows changed it meanwhile.
        if (document->undoManager().isClean())
            setWindowModified(wasModified);
    }
    Show_RHS_Properties(kept ? created.get() : nullptr);
    Refresh_Canvas();
}

// ---------------------------------------------------------------- card

QSizeF TVNWindowController::Get_My_card_Size(const QString &category, const QString &preset, int list_index)
{
    return design_window::Get_My_card_Size(category, preset, list_index);
}

double TVNWindowController::MM_to_Points_Convert(double mm)
{
    return design_window::MM_to_Points_Convert(mm);
}

QSizeF TVNWindowController::Set_Document_Size(QSizeF points)
{
    cardSizeChosen(points);
    return points;
}

void TVNWindowController::SetDocumentCanvasSize(QSizeF points)
{
    cardSizeChosen(points);
}

void TVNWindowController::applyCardSize(QSizeF mm)
{
    cardSizeChosen(design_window::MM_to_Points_Convert(mm));
}

void TVNWindowController::cardSizeChosen(QSizeF points)
{
    const bool changed = points != Front_card_Prop.Card_Size;
    setCardSize(points);
    choiceFollowsCardSize();
    if (changed)
        markDesignChanged();
}

void TVNWindowController::setCardSize(QSizeF points)
{
    Front_card_Prop.Card_Size = points;
    Back_card_Prop.Card_Size = points;
    const std::array<TVNGraphicView *, 3> canvases{_graphicView, _graphicView_BACK, _graphicView_TEMP};
    for (TVNGraphicView *canvas : canvases) {
        canvas->setCanvasSize(QSizeF(0, 0));
        canvas->update();
    }
    for (TVNGraphicView *canvas : canvases) {
        canvas->setCanvasSize(points);
        canvas->update();
    }
    cardPanel->showSizeMm(cardSizeMm());
    keepObjectsOnCard();
}

QSizeF TVNWindowController::cardSizeMm() const
{
    const QSizeF points = Front_card_Prop.Card_Size;
    return QSizeF(Points_to_MM_Convert(points.width()), Points_to_MM_Convert(points.height()));
}

void TVNWindowController::choiceFollowsCardSize()
{
    // A size that is not the chosen preset's (in either orientation) is a
    // custom size, and the card page shows no preset row for it.
    if (card_choice.sizeIndex < 0)
        return;
    const QSizeF mm = cardSizeMm();
    const QSizeF preset = Get_My_card_Size(card_choice.category, card_choice.orientation, card_choice.sizeIndex);
    const auto near = [](QSizeF a, QSizeF b) {
        return std::abs(a.width() - b.width()) < 1e-6 && std::abs(a.height() - b.height()) < 1e-6;
    };
    if (near(preset, mm) || near(preset.transposed(), mm))
        return;
    card_choice.sizeIndex = -1;
    if (!m_inspected)
        cardPanel->showCard(cardSettings());
}

void TVNWindowController::keepObjectsOnCard()
{
    _graphicView->bringGraphicsOntoCard();
    _graphicView_BACK->bringGraphicsOntoCard();
}

void TVNWindowController::set_Front_BG_Image(const QString &path)
{
    cardPanel->card_bg_path->setText(path);
    if (path.isEmpty())
        return;
    Front_card_Prop.Card_Fill = true;
    Front_card_Prop.BG_Image_Path = path;
    Front_card_Prop.BG_Image = platform::Image::fromFile(path);
    if (GraphicPtr bg = _graphicView->Selcect_Ctrl_With_ID(QStringLiteral("PARTY_IMAGE_BG"))) {
        if (auto *image = dynamic_cast<TVNImage *>(bg.get()))
            image->setFilePath(path, _Main_Photo_image);
        _graphicView->_Selected_Graphic = bg;
    }
    Show_RHS_Properties(nullptr);
    _graphicView->update();
    markDesignChanged();
}

// ---------------------------------------------------------------- files and paths

QString TVNWindowController::Convert_Path_From_URL(const QUrl &url)
{
    return url.toLocalFile();
}

bool TVNWindowController::Check_And_Validate_File_Path(const QString &path)
{
    return !checkFilePath(path);
}

void TVNWindowController::Open_Export_File_Box()
{
    // The box stands over the window in front (the series manager exports
    // through it too): kept over the main window, it would bring the main
    // window up over that window, which then seems gone.
    QWidget *front = QApplication::activeModalWidget();
    const bool overFront = front && front != Open_Export_Files && front->window() != this;
    if (overFront)
        Open_Export_Files->setParent(front->window(), Open_Export_Files->windowFlags());
    Open_Export_Files->Open_Export_File_Box();
    if (overFront)
        Open_Export_Files->setParent(this, Open_Export_Files->windowFlags());
}

// ---------------------------------------------------------------- series store

batch_data::SeriesStore TVNWindowController::seriesStore() const
{
    return currentSeriesStore();
}

QStringList TVNWindowController::Get_datasheet_File_Name_Array() const
{
    return seriesStore().Get_datasheet_File_Name_Array();
}

bool TVNWindowController::Check_Batch_File_In_Use_Validation(const QString &name)
{
    return seriesStore().Check_Batch_File_In_Use_Validation(name, bindingsOf(document->graphics),
                                                            bindingsOf(document->graphics_back),
                                                            CARD_SIDE_STR == QLatin1String("2"));
}

QString TVNWindowController::Get_First_Value_Of_Dataset(const QString &name) const
{
    return seriesStore().Get_First_Value_Of_Dataset(name);
}

void TVNWindowController::Delete_Excel_File_Temp_Folder()
{
    batch_data::Delete_Excel_File_Temp_Folder();
}

QString TVNWindowController::Get_First_Value_Of_Excel_Binding(int n) const
{
    return firstSpreadsheetValue(n);
}

// ---------------------------------------------------------------- record fill

void TVNWindowController::Check_Series_Or_Excel_Use_or_not()
{
    publishRecordCounts(m_recordFill->check());
}

void TVNWindowController::Get_total_Card_count()
{
    publishRecordCounts(m_recordFill->Get_total_Card_count(sourcesInUse()));
}

void TVNWindowController::Create_Dataset_binding_table()
{
    m_recordFill->Create_Dataset_binding_table();
}

platform::Image TVNWindowController::Set_data_table_value_to_card(int n, const QString &card_side, bool)
{
    return m_recordFill->Set_data_table_value_to_card(n, card_side, sourcesInUse());
}

void TVNWindowController::Assign_Batch_Values_To_Control(int n)
{
    m_recordFill->Assign_Batch_Values_To_Control(n, sourcesInUse());
}

void TVNWindowController::Fill_Data_Set_File_Name_In_Combo(QComboBox *combo)
{
    fillSeriesNames(combo);
}

void TVNWindowController::Add_Excel_Col_Name_In_Combo(QComboBox *combo)
{
    offerSpreadsheetSource(combo, true);
}

void TVNWindowController::Remove_Excel_Col_Name_In_Combo(QComboBox *combo)
{
    offerSpreadsheetSource(combo, false);
}

// ---------------------------------------------------------------- main photo

void TVNWindowController::Update_frame_Main_Photo_And_Path(const QString &path, bool change_path)
{
    // Always from the file as read: the adjustments are applied once.
    _Main_Photo_image = drawing::adjustedPhoto(platform::Image::fromFile(path), IMG_Adjustments);
    if (change_path) {
        Invite_Answers.photo = path;
        markDesignChanged();
    }
}

// ---------------------------------------------------------------- DrawingHost

int TVNWindowController::Card_Front_Or_Back() const
{
    return design_window::Card_Front_Or_Back;
}

int TVNWindowController::Card_Shape() const
{
    return design_window::Card_Shape;
}

QSizeF TVNWindowController::canvasSize() const
{
    return Front_card_Prop.Card_Size;
}

void TVNWindowController::Card_Base_Drawing(QPainter &painter, const QRectF &cardRect, int side)
{
    cardBackground(side)(painter, cardRect, side);
}

drawing::DrawingHost::Background TVNWindowController::cardBackground(int side)
{
    return [card = side == 1 ? Back_card_Prop : Front_card_Prop](QPainter &painter, const QRectF &cardRect, int) {
        painter.fillRect(cardRect, Qt::white);
        card.drawBackground(painter, cardRect);
    };
}

int TVNWindowController::Selected_Control_Tool() const
{
    return design_window::Selected_Control_Tool;
}

QString TVNWindowController::Library_Selected_Image() const
{
    return design_window::Library_Selected_Image;
}

QPointF TVNWindowController::Control_New_Point(const QString &)
{
    // New objects cascade from the top left corner and start over once they
    // would leave the card's upper left quarter.
    const QSizeF size = canvasSize();
    last_ctrl_X += 9;
    last_ctrl_Y += 9;
    if (last_ctrl_X > size.width() / 2 || last_ctrl_Y > size.height() / 2) {
        last_ctrl_X = 9;
        last_ctrl_Y = 9;
    }
    return QPointF(last_ctrl_X, last_ctrl_Y);
}

void TVNWindowController::Open_Barcode_Window(TVNGraphic *graphic)
{
    TVNGraphicView *canvas = currentCanvas();
    if (!graphic)
        graphic = canvas->_Selected_Graphic.get();
    const GraphicPtr opened = findGraphic(editedSideGraphics(), graphic);
    if (!opened || opened->graphicClass() != GraphicClass::Barcode || !barcodeDesignerInstalled())
        return;
    // What the designer may change, as it was, for the undo step.
    GraphicList changed{opened};
    for (const GraphicPtr &g : canvas->selectedGraphics()) {
        if (g != opened && g->graphicClass() == GraphicClass::Barcode)
            changed.push_back(g);
    }
    std::vector<BarcodeState> before;
    for (const GraphicPtr &g : changed)
        before.push_back(BarcodeState::of(*g));

    // The designer's own windows may change the design beside the object
    // (the spreadsheet table, through its viewer): such a change is one
    // beside the undo stack, even while the object is a new barcode's draft.
    const int recording = std::exchange(m_recordedCardEdits, 0);
    TVNGraphic *const designed = openBarcodeDesigner(opened.get());
    m_recordedCardEdits = recording;
    Update_Barcode_Graphics(designed);

    bool differs = !Barcode_output_image.isNull();
    for (std::size_t i = 0; i < changed.size() && !differs; ++i)
        differs = !(changed[i]->barcodeSettings() == before[i].settings);
    if (differs)
        document->registerBarcodeChange(changed, before, tr("Change Barcode"));
    Show_RHS_Properties(opened.get());
    Refresh_Canvas();
}

void TVNWindowController::Update_Barcode_Graphics(TVNGraphic *graphic)
{
    if (!graphic || Barcode_output_image.isNull())
        return;
    GraphicList targets = currentCanvas()->selectedGraphics();
    if (!findGraphic(targets, graphic)) {
        if (const GraphicPtr own = findGraphic(editedSideGraphics(), graphic))
            targets.push_back(own);
    }
    const QSizeF picture = Barcode_output_image.size();
    for (const GraphicPtr &g : targets) {
        if (g->graphicClass() != GraphicClass::Barcode)
            continue;
        if (g.get() != graphic)
            g->setBarcodeSettings(graphic->barcodeSettings());
        // The object keeps the scale at which it drew its previous picture,
        // so the new one is neither distorted nor resized by the user's
        // earlier stretching.
        const QSizeF size = barcodes::barcodeBoxSize(g->bounds(), g->_barcode_image.size(), picture);
        g->Set_Barcode_image(Barcode_output_image);
        // A longer symbol grows to the right and down; where that would take
        // it past the card's edge it moves back in (as far as it fits).
        const QSizeF card = canvasSize();
        QRectF bounds(g->bounds().topLeft(), size);
        const auto backIn = [](double near, double length, double cardLength) {
            return near + length > cardLength && length <= cardLength ? cardLength - length : near;
        };
        bounds.moveLeft(backIn(bounds.left(), bounds.width(), card.width()));
        bounds.moveTop(backIn(bounds.top(), bounds.height(), card.height()));
        g->setBounds(bounds);
    }
}

platform::Image TVNWindowController::no_image() const
{
    return _no_image;
}

platform::Image TVNWindowController::Main_Photo_image() const
{
    return _Main_Photo_image;
}

bool TVNWindowController::fileExists(const QString &path) const
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

void TVNWindowController::closeEvent(QCloseEvent *event)
{
    if (Exit_Application())
        event->accept();
    else
        event->ignore();
}
