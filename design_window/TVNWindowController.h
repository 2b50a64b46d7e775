#pragma once
// The design window: the program's one main window and hub. It owns the
// document, the card records and the grid, shows the front, back and scratch
// canvases, the tool bar and the property inspector, keeps the design file,
// and answers what the drawing core asks of its host. The inspector's pages
// are panels of their own (CardPanel, TextPanel, ImagePanel, BarcodePanel,
// DataSourcePanel) that the window places and wires; logic that belongs to a
// subsystem lives in that subsystem's classes, and the controller forwards.

#include "batch_data/series/SeriesStore.h"
#include "design_window/DesignDocument.h"
#include "design_window/DesignFile.h"
#include "design_window/DesignHub.h"
#include "design_window/HubServices.h"
#include "design_window/UserProfile.h"
#include "drawing/Card_Property.h"
#include "drawing/DrawingHost.h"
#include "drawing/TVNGraphic.h"
#include "output/export/CardFiles.h"
#include "platform/Files.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QDockWidget;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class QStackedWidget;
class QUrl;
class BarcodePanel;
class CardPanel;
class DataSourcePanel;
class Export_File_Box;
class FrameBrowser;
class ImagePanel;
class ObjectPanel;
class TextPanel;
class TVNDocument;
class TVNGraphicView;
class TVNGrid;

namespace design_window {
struct CardSettings;
class RecordFill;
// The shared pointer of `graphic` in `list`, or none.
GraphicPtr findGraphic(const GraphicList &list, const TVNGraphic *graphic);
} // namespace design_window

// The design's state is the window's own: other windows take the design
// as one value (design()) and ask for the rest through DesignHub.
class TVNWindowController : public QMainWindow,
                            public drawing::DrawingHost,
                            public design_window::DesignHub,
                            private design_window::DesignDocument {
    Q_OBJECT
public:
    // Tool numbers: the canvas builds an image from the library for 8 and a
    // graphic of the requested class for any tool outside 8 to 12.
    static constexpr int kSelectTool = 0;
    static constexpr int kTextTool = drawing::kTextTool;
    static constexpr int kImageTool = drawing::kImageTool;
    static constexpr int kBarcodeTool = 13;

    // The program hands over its services (the windows of the layers
    // above) here, and they are installed before the window is built, as
    // its commands are enabled from what is installed; without them the
    // window uses whatever is installed already.
    explicit TVNWindowController(std::optional<design_window::HubServices> services = std::nullopt);
    ~TVNWindowController() override;
    // The one instance (Main_App_wnd), or null before it exists.
    static TVNWindowController *defaultInstance();

    // ---- the design's lists and canvases
    GraphicList &Get_Front_Controls_Array() override;
    GraphicList &Get_Back_Controls_Array() override;
    GraphicList Get_Temp_Controls_Array() const override;
    // The scratch list becomes a copy of the edited side's graphics: what is
    // done on the scratch canvas never reaches the card.
    void Temp_Design_Control_Assign() override;
    // The canvas of the side being edited.
    TVNGraphicView *currentCanvas() const override;
    // The graphics of the side being edited.
    GraphicList &editedSideGraphics();
    // Switches the side being edited (0 front, 1 back).
    void setEditedSide(int side);

    // ---- card
    static QSizeF Get_My_card_Size(const QString &category, const QString &preset, int list_index);
    static double MM_to_Points_Convert(double mm);
    // The card has one size: both card records, the three canvases, the card
    // panel's fields and so the renderer and the design file always agree.
    // Each of these sets it whole (in millimetres, or in points), and objects
    // it leaves wholly outside the card are brought back onto it.
    void Set_Card_Size_In_Control(QSizeF mm);
    QSizeF Set_Document_Size(QSizeF points);
    void SetDocumentCanvasSize(QSizeF points);
    void applyCardSize(QSizeF mm) override;
    // The card takes a preset choice (or a typed size, row -1), its size in
    // millimetres and an outline, as one undoable change; objects left
    // wholly outside are brought back onto it.
    void chooseCard(const design_window::CardChoice &choice, QSizeF mm, int shape) override;
    // The card takes one side or two as one undoable change; the side
    // selector is enabled for two, and a one-sided card is edited on its
    // front. Its back objects stay with the design either way.
    void chooseCardSides(bool twoSided) override;
    void set_Front_BG_Image(const QString &path);

    // ---- files and paths
    static QString Convert_Path_From_URL(const QUrl &url);
    bool Check_And_Validate_File_Path(const QString &path) override;
    void Open_Export_File_Box() override;

    // ---- series store
    batch_data::SeriesStore seriesStore() const;
    QStringList Get_datasheet_File_Name_Array() const;
    bool Check_Batch_File_In_Use_Validation(const QString &name) override;
    QString Get_First_Value_Of_Dataset(const QString &name) const override;
    void Delete_Excel_File_Temp_Folder() override;
    // The spreadsheet's first record under column n (0 the record number);
    // "" when there is no record.
    QString Get_First_Value_Of_Excel_Binding(int n) const override;
    void Fill_Data_Set_File_Name_In_Combo(QComboBox *combo) override;
    // Fills `combo` with the spreadsheet's column titles, the record number's
    // first: item k is the column an object bound to it stores.
    void Fill_Excel_Col_Name_In_Combo(QComboBox *combo) override;
    void Add_Excel_Col_Name_In_Combo(QComboBox *combo) override;
    void Remove_Excel_Col_Name_In_Combo(QComboBox *combo) override;
    QString changedColumnsMessage(const QStringList &before, const QStringList &after,
                                  const std::function<bool(const TVNGraphic &)> &skip) const override;
    int replaceSpreadsheetSource(const QString &path,
                                 const std::function<bool(const TVNGraphic &)> &skip) override;

    // ---- record binding and per-record fill (design_window::RecordFill);
    // any thread: the fill hands itself to the main thread
    // Sets the batch values (Use_Data_Sheet_Values, Use_Excel_Binding_Values,
    // the counts) from the design's bindings; starts a run.
    void Check_Series_Or_Excel_Use_or_not() override;
    // Counts again for the sources still in use (Total_Batch_Excel_Card).
    void Get_total_Card_count() override;
    void Create_Dataset_binding_table();
    // Record n filled into side "F" or "B" and the side rendered; null on
    // failure. The side being edited stays as it is.
    platform::Image Set_data_table_value_to_card(int n, const QString &card_side, bool print_box);
    void Assign_Batch_Values_To_Control(int n);
    // The fill itself: its resolution, the end of a run.
    design_window::RecordFill &recordFill() override { return *m_recordFill; }

    // ---- the design file
    design_window::Design currentDesign() const override;
    // Replaces the open design with `design` (graphics, cards, settings).
    void applyDesign(design_window::Design design);
    // Saves the design to `path`; true when written. With show_msg the
    // status bar says where it went; failures are always reported, with the
    // system's reason. The design's value is copied here; encoding and
    // writing it run on a worker while the window goes on drawing (under a
    // sheet when it takes long), and input waits meanwhile.
    bool Save_project_file(const QString &path, bool show_msg);
    // Save: to the design's file, or through Save As when untitled. When the
    // file was changed on disk since this window opened or saved it, asks
    // first whether to overwrite it, save under another name or cancel.
    bool Save_Design();
    bool Save_Design_As();
    // Open panel, then load with mode "L". 1 when loaded.
    int Open_Log_File() override;
    // Loads a design file; mode "L" names the design after the file, any
    // other mode leaves it untitled. Before the open design is replaced the
    // user may save its changes (maybeSave). 1 when loaded, 0 (with a
    // message, or called off; the open design untouched) otherwise.
    int Read_and_load_design_Log(const QString &path, const QString &log_or_template) override;
    // Opens the design file named first among the program's arguments (as a
    // file manager passes it), relative paths from the working folder. True
    // when it was loaded; false without arguments or when it could not be
    // opened (the user was told why).
    bool openDesignFromArguments(const QStringList &arguments);
    void New_Project_Setting_Reset();
    // The exit command's question (maybeSave): true when the window may go;
    // never while a save is being written.
    bool Exit_Application();
    QString designFilePath() const { return m_designFilePath; }

    // ---- unsaved changes (the window's modified state, "[*]" in its title)
    // The mark follows the undo stack's clean state: undoing back to the
    // step the design was created, opened or saved at clears it. Whatever
    // changes the design beside the stack (the card records, the main photo)
    // says so here, and then no undo step matches the file any more.
    void markDesignChanged() override;
    // When the design has changes, asks "Do you want to save changes before
    // closing?": Yes saves it, No lets the changes go. False when the user
    // called the question off (Cancel, Escape, closing it) or a wanted save
    // did not happen: the caller then leaves everything as it is.
    bool maybeSave();

    // ---- start window, invitation, frames and main photo
    // Runs the start window (at start-up, after New and after an Open that
    // loaded nothing). True when the session goes on with the card the user
    // chose: the invitation laid out on the front ("W") or the loaded design
    // ("L"). When the start window is closed or left, the program ends:
    // first the user may save the design's changes (asked only when there
    // are any); then programEndRequested() is sent and the answer is false.
    // A save the user wanted that did not happen keeps the session (true).
    // Without the wizards installed nothing is shown and the answer is true.
    bool Open_Start_Window();
    // Lays the invitation wizard's answers out on the front side (see
    // design_window::invitationLayout).
    void Fill_Party_Invidation_Details();
    // Edits the main photo on the start window's photo page; after Finish
    // the front's "PARTY_IMAGE" graphic shows the new photo (made when
    // there is none).
    void Edit_Main_Photo_Button();
    // Lists the resource folder's "Frames" in the frame browser.
    void Load_and_fill_backgrounds();
    // A frame chosen in the frame browser becomes the front's background
    // and the picture of its "PARTY_IMAGE_BG" graphic.
    void imageBrowserSelectionDidChange(const QString &path);
    // The design changed since it was created, opened or saved.
    bool hasUnsavedChanges() const { return isWindowModified(); }

    // Reads the picture at `path` as the main photo with the photo's
    // adjustments applied (none when it cannot be read: a null image whose
    // damage() says why, which the frame showing it keeps); with change_path
    // the path becomes the design's main photo path.
    void Update_frame_Main_Photo_And_Path(const QString &path, bool change_path) override;

    // ---- user profiles (the dialogs through the installed WizardWindows)
    // The default rectangle of the profile field with value id `control_id`
    // on the design's card, in canvas coordinates; the zero rectangle for
    // any other id.
    QRectF Get_Control_Rect_From_Template(const QString &control_id) const;
    // The front placement, then the back placement.
    void Fill_User_profile_Details() override;
    // Runs `place` (a profile placement on either side) as one undo step
    // named "User Profile": the fields it creates, what it changes in the
    // objects already on the card, and a change of the card's sides it
    // makes first. The inspector then shows the edited side's selection.
    void placeProfileAsOneStep(const std::function<void()> &place) override;
    // Places the front or back profile record on its canvas (the
    // inspector's "Excel" source offered as Excel_Binding_Use says, and
    // only that while no profile has been confirmed: Fill_User_Profile).
    // A one-sided card's back gets no new field: only the fields it kept
    // take their values.
    void Fill_User_profile_info_front_side();
    void Fill_User_profile_info_back_side();
    // Places the scratch record on the scratch canvas, always; the design
    // and its undo history stay as they are.
    void Fill_User_profile_info_TEMP_side() override;
    // The side profile dialog for side "F" or "B" (trimmed), or with no side
    // the profile dialog of both sides. Its result: 1 after OK (which sets
    // Fill_User_Profile), 0 after Cancel or without the dialogs installed.
    int Open_User_Profile_Window(bool load, const QString &side) override;
    // The profile dialog of the side being edited; after OK that side's
    // profile is placed and the design has changes. Repaints.
    void User_Profile_Button_Clicked();

    // ---- grid
    void Grid_Clr_Changed();
    void Grid_Slider_Changed();
    void Grid_Show_Hide_Changed();

    // ---- wizards and libraries (through the installed WizardWindows)
    // The text panel's template buttons: a ready-made title for the button
    // titled "Use Template Title", else a message, into the text shown.
    void Insert_Template_Button(const QString &buttonTitle);
    // Runs the clip-art ("C") or frame (other modes) library: 1 with the
    // pick in `lib_window_sel_file`, 0 after Cancel.
    int Open_Image_Library_Window(const QString &mode);
    // The grid options dialog, its controls showing the grid.
    void toggleGridShowing();
    // Stores the open design as a user template under a name asked for.
    void Export_As_Template_Clicked();
    // A new image object on the edited side with a clip-art pick.
    void Insert_Library_Image();

    // ---- printing (through the installed PrintWindows)
    // The Print command: refuses with "List is empty." when bound data have
    // no records, else Print_method.
    void Print_Button();
    // The print set-up window; without a printer it still prints to a PDF
    // file.
    void Print_method();

    // ---- barcodes
    // With a result image from the designer: every selected barcode object
    // of the side takes `graphic`'s settings and the image, drawn at the
    // scale it had.
    void Update_Barcode_Graphics(TVNGraphic *graphic);

    // ---- image export (the windows through the installed ImageExportWindows)
    // The Export command: the options, then a save panel for the design as
    // it is, or a folder panel and a run over every record of its data.
    void Export_Button();
    // The commands that start an output run (Export, Print, Mail): off
    // while a run goes on over this window, so that no click starts a
    // second one; on again only where their windows are installed.
    void setOutputCommandsEnabled(bool enabled) override;
    // Writes the design as it is now to `path`, as the last export options
    // (export_options, export_card_side) say: the front or the combined
    // picture to the path, the back to its back path. True when every file
    // was written; a failure is shown, naming the file. With show_msg the
    // result box follows.
    bool Export_Single_File(const QString &path, bool show_msg) override;
    // The image writer at the export's resolution, in the format the path's
    // extension names; a failure is shown, naming the file.
    bool Save_gen_image(const platform::Image &image, const QString &file_path_val);
    static QString Create_Front_Card_Path(const QString &path);
    static QString Create_Back_Card_Path(const QString &path);
    // After a batch run (export, printing, mail): record 0 back into every
    // side the run filled, Card_Value_In_Process cleared, the canvas redrawn.
    // Any thread: it hands itself to the main thread.
    void Select_first_row_value_for_design(bool print) override;
    // A side of the design as it is now (0 front, 1 back), drawn at the
    // card's size in points.
    platform::Image renderedSide(int side) const override;
    // ---- e-mail (the windows through the installed MailWindows)
    // The mail command: the mail window over the design.
    void Mail_Button();
    // Reads the stored e-mail settings into the values the mail window
    // sends with; why a settings file could not be read (it is kept) waits
    // for showStartMessages().
    void Get_Email_Details();
    // What the program found at start that the user must know (an e-mail
    // settings file that could not be read), said once. Called by the
    // program once it runs, never by the tools that make the window without
    // anyone to answer it.
    void showStartMessages();

    // ---- tools and inspector
    // Makes a new object of the tool's kind on the current side at once;
    // the select tool stays current.
    void selectTool(int tool);
    // A new object of `cls` at the current side's next placement point; a
    // new barcode is set up in the designer at once and stays only when the
    // designer ends with OK.
    void createWithTool(GraphicClass cls);
    void Show_RHS_Properties(TVNGraphic *graphic) override;
    // The inspector's data-source handlers.
    void Data_Source_Type_Changed();
    void Batch_Series_Changed();
    void Data_Source_Help_Button();
    // The inspector's view button: the series viewer for "Series" (after
    // "Please select the series." when none is chosen), the spreadsheet
    // viewer for "Excel", nothing for "Manual".
    void View_batch_Series_Button();

    // ---- series and spreadsheet windows (through the installed
    // SeriesWindows)
    // The Batch Processing Series manager.
    void Batch_Series_Button() override;
    // Lets the user choose an xlsx workbook and its columns as the
    // spreadsheet data source (the column picker in mode "E"); the
    // inspector then offers "Excel". 1 when the picker ended with OK: the
    // canvas then shows the new first row, and the objects whose bound
    // column the new table lacks or titles otherwise are listed.
    int Choose_Spreadsheet_Source();
    // The graphic the inspector shows (null for the card).
    TVNGraphic *inspectedGraphic() const { return m_inspected.get(); }

    // ---- DrawingHost
    int Card_Front_Or_Back() const override;
    int Card_Shape() const override;
    QSizeF canvasSize() const override;
    void Card_Base_Drawing(QPainter &painter, const QRectF &cardRect, int side) override;
    // A copy of the side's card settings that paints as Card_Base_Drawing.
    Background cardBackground(int side) override;
    int Selected_Control_Tool() const override;
    QString Library_Selected_Image() const override;
    QPointF Control_New_Point(const QString &side) override;
    void Refresh_Canvas() override;
    // Opens the barcode designer on `graphic` (the selected graphic of the
    // side when none), then gives the result to the side's selected barcode
    // objects as one undoable step.
    void Open_Barcode_Window(TVNGraphic *graphic) override;
    platform::Image no_image() const override;
    platform::Image Main_Photo_image() const override;
    bool fileExists(const QString &path) const override;

    // ---- what other windows reach (DesignHub)
    design_window::DesignDocument &design() override { return *this; }
    const design_window::DesignDocument &design() const override { return *this; }
    platform::Image wizardPattern() const override { return wizard_pattern_image; }
    SaveTypeAccessory saveTypeAccessory() override { return {saveDialogCustomView, Save_Ext_ComboBox}; }
    QWidget *mainWidget() override { return this; }
    // Commands that later work connects; shown disabled until then.
    const QList<QAction *> &pendingActions() const { return pending_actions; }
    // The frame last chosen in the frame browser.
    QString selectedFrame() const { return selected_image; }

signals:
    // The user left the start window: the program is to end (status 0).
    void programEndRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    // The design marked unchanged (created, opened, saved): the undo stack's
    // present step is the one that matches the file.
    void changeEvent(QEvent *event) override;

private:
    // ---- fields (outlets); the design's own are in DesignDocument
    TVNGrid *grid = nullptr;
    platform::Image _no_image;
    // The start window's background pattern.
    platform::Image wizard_pattern_image;
    QString act_path_location;
    QStringList pvc_card_arry;
    QStringList paper_card_arry;

    TVNGraphicView *_graphicView = nullptr;
    TVNGraphicView *_graphicView_BACK = nullptr;
    TVNGraphicView *_graphicView_TEMP = nullptr;
    QStackedWidget *canvas_stack = nullptr;
    QComboBox *side_switch = nullptr;

    // inspector: the page of the object shown (or of the card) above the
    // data-source box of an object
    QStackedWidget *inspector_pages = nullptr;
    QLabel *inspector_title = nullptr;
    CardPanel *cardPanel = nullptr;
    TextPanel *textPanel = nullptr;
    ImagePanel *imagePanel = nullptr;
    BarcodePanel *barcodePanel = nullptr;
    DataSourcePanel *dataSourcePanel = nullptr;
    // the panels' controls that the window wires
    QGroupBox *Grid_Opt_box = nullptr;
    QCheckBox *Show_hide_grid_chk = nullptr;
    QPushButton *Grid_clr = nullptr;
    QSlider *Grid_Space_slidr = nullptr;
    QComboBox *Data_source_type = nullptr;
    QComboBox *Batch_Series = nullptr;
    QPushButton *view_series_btn = nullptr;

    // actions
    QAction *act_new = nullptr;
    QAction *act_open = nullptr;
    QAction *act_save = nullptr;
    QAction *act_save_as = nullptr;
    QAction *act_exit = nullptr;
    QAction *act_undo = nullptr;
    QAction *act_redo = nullptr;
    QAction *act_delete = nullptr;
    QAction *act_tool_select = nullptr;
    QAction *act_tool_text = nullptr;
    QAction *act_tool_image = nullptr;
    QAction *act_tool_barcode = nullptr;
    QAction *act_show_grid = nullptr;
    QAction *act_snap_grid = nullptr;
    QAction *act_help = nullptr;
    QAction *act_export = nullptr;
    QAction *act_profile = nullptr;
    // Commands that later work connects; shown disabled until then.
    QList<QAction *> pending_actions;

    // The frame browser (none without the wizards) in its dock, and the
    // frame last chosen in it.
    FrameBrowser *imageBrowser = nullptr;
    QDockWidget *frames_dock = nullptr;
    QString selected_image;

    Export_File_Box *Open_Export_Files = nullptr;
    QMainWindow *Main_wnd = this;
    // The save panel's accessory view with its file-type list (filled by
    // whoever runs the panel, e.g. the series export with "xlsx" and "txt").
    QWidget *saveDialogCustomView = nullptr;
    QComboBox *Save_Ext_ComboBox = nullptr;


    // How an open ended: loaded, nothing loaded (no file, or it could not
    // be read), or called off at the question whether to save changes.
    enum class DesignLoad { Loaded, NotLoaded, CalledOff };
    // The open panel, then the chosen file loaded with mode "L".
    DesignLoad openDesignFile();
    DesignLoad loadDesign(const QString &path, const QString &mode);
    // What the design just opened shows of its stored pictures that could
    // not be read, and what saving it does with them; empty when there are
    // none. `storedPaths` are the image objects' paths before the first
    // record was shown.
    QString damagedPicturesMessage(const design_window::DamagedPictures &damaged,
                                   const QHash<const TVNGraphic *, QString> &storedPaths) const;

    void buildCanvases();
    // The window's first size and place on its screen.
    void takeFirstSize();
    void buildActions();
    void buildInspector();
    void buildWizardCommands();
    void buildFrameBrowser();
    void buildExportCommands();
    void buildMailCommands();
    void buildPrintCommands();
    void buildSeriesImportCommands();
    void buildSeriesCommands();
    void updateSideControls();
    void updateTitle();
    void updateUndoActions();
    // A size chosen by the user or another window: the card takes it, the
    // panel's preset row follows, and the design has changed.
    void cardSizeChosen(QSizeF points);
    // The one place the card size is set (also when a design is opened).
    void setCardSize(QSizeF points);
    QSizeF cardSizeMm() const;
    // The card panel's preset row goes when the card size is not its size.
    void choiceFollowsCardSize();
    // Brings objects that a card change left wholly outside back onto it.
    void keepObjectsOnCard();

    // Makes `change` to the card (size, outline, sides, fill, background,
    // and the objects it brings back onto the card) as one undo step named
    // `actionName`, and marks the design changed.
    void editCard(const QString &actionName, const std::function<void()> &change);
    struct CardState;
    CardState cardState() const;
    void restoreCardState(const CardState &state);

    // The card record of the side being edited.
    Card_Property &editedCard();
    // What the card panel shows.
    design_window::CardSettings cardSettings() const;
    // The side being edited takes the picture at `path` as its background;
    // an empty path clears it.
    void setEditedSideBackground(const QString &path);
    // The object panels take the inspected graphic (or let go of it) and the
    // inspector shows the page of its kind, or the card's.
    void showInspectedObject();
    std::array<ObjectPanel *, 3> objectPanels() const;

    GraphicPtr m_inspected;
    QString m_designFilePath;
    // The design file as this window last read or wrote it, to tell whether
    // another program (another window of ours) wrote it since.
    platform::FileStamp m_designFileStamp;
    // The main photo that applyDesign() gave the main photo's graphics was
    // read from the design's photo file, rather than taken from a picture
    // stored with one of them.
    bool m_mainPhotoFromFile = false;
    // A save is being written: the window neither closes nor starts another.
    bool m_saving = false;
    // Why the e-mail settings file could not be read at start, until said.
    QString m_mailSettingsProblem;
    // Above zero while a card edit that records itself as one undo step runs.
    int m_recordedCardEdits = 0;
    // The binding table (data_table_content) and the side being filled
    // (Graphics_array_Batch) live in the fill.
    std::unique_ptr<design_window::RecordFill> m_recordFill;
};
