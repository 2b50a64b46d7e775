// The design window's file commands: new, open, save, save as and exit.
#include "batch_data/binding/RecordBinding.h"
#include "design_window/Globals.h"
#include "design_window/PanelSupport.h"
#include "design_window/PleaseWaitSheet.h"
#include "design_window/ResourceFolder.h"
#include "design_window/RecordFill.h"
#include "design_window/TVNWindowController.h"
#include "drawing/TVNDocument.h"
#include "drawing/canvas/TVNGraphicView.h"
#include "drawing/canvas/TVNGrid.h"
#include "platform/Alerts.h"
#include "platform/Files.h"
#include "platform/Helpers.h"

#include <QDir>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <vector>
#include <QEvent>
#include <QStatusBar>
#include <new>
#include <QUndoStack>

using namespace design_window;

namespace {

const QString kDesignFilter = QStringLiteral("Design files (*.zelg)");
// A save shorter than this shows no sheet: it would only flash.
constexpr std::chrono::milliseconds kSaveSheetDelay(400);

// The main photo's graphics ("PARTY_IMAGE") of a list.
std::vector<TVNImage *> mainPhotoGraphics(const GraphicList &list)
{
    std::vector<TVNImage *> found;
    for (const GraphicPtr &g : list) {
        auto *image = dynamic_cast<TVNImage *>(g.get());
        if (image && image->control_ID.trimmed() == QLatin1String("PARTY_IMAGE"))
            found.push_back(image);
    }
    return found;
}

} // namespace

Design TVNWindowController::currentDesign() const
{
    Design d;
    d.front = document->graphics;
    d.back = document->graphics_back;
    d.frontCard = Front_card_Prop;
    d.backCard = Back_card_Prop;
    d.card = card_choice;
    d.cardShape = design_window::Card_Shape;
    d.cardSides = CARD_SIDE_STR;
    d.mainPhotoPath = Invite_Answers.photo;
    d.photo = IMG_Adjustments;
    d.excelBindingUse = Excel_Binding_Use;
    d.excelSourcePath = Excel_Source_Path;
    d.table = currentSpreadsheetTable();
    d.frontProfile = Front_user_profile;
    d.backProfile = Back_user_profile;
    return d;
}

void TVNWindowController::applyDesign(Design d)
{
    for (TVNGraphicView *canvas : {_graphicView, _graphicView_BACK, _graphicView_TEMP}) {
        canvas->deselectAll();
        canvas->_Selected_Graphic.reset();
    }
    m_inspected.reset();
    document->undoManager().clear();
    document->graphics = std::move(d.front);
    document->graphics_back = std::move(d.back);
    document->graphics_temp.clear();
    Front_card_Prop = d.frontCard;
    Back_card_Prop = d.backCard;
    card_choice = d.card;
    design_window::Card_Shape = d.cardShape;
    CARD_SIDE_STR = d.cardSides;
    Invite_Answers.photo = d.mainPhotoPath;
    IMG_Adjustments = d.photo;
    Excel_Binding_Use = d.excelBindingUse;
    Excel_Source_Path = d.excelSourcePath;
    restoreSpreadsheetTable(d.table);
    Front_user_profile = d.frontProfile;
    Back_user_profile = d.backProfile;

    _Main_Photo_image = {};
    if (!Invite_Answers.photo.isEmpty())
        Update_frame_Main_Photo_And_Path(Invite_Answers.photo, false);
    m_mainPhotoFromFile = !_Main_Photo_image.isNull();
    std::vector<TVNImage *> photos = mainPhotoGraphics(document->graphics);
    for (TVNImage *image : mainPhotoGraphics(document->graphics_back))
        photos.push_back(image);
    // The main photo's graphics show the photo loaded with the design. When
    // its file has moved, the picture stored in the design is the photo.
    for (TVNImage *image : photos) {
        if (_Main_Photo_image.isNull() && !image->image().isNull())
            _Main_Photo_image = image->image();
    }
    for (TVNImage *image : photos) {
        if (!_Main_Photo_image.isNull())
            image->setFilePath(image->filePath(), _Main_Photo_image);
    }

    setCardSize(Front_card_Prop.Card_Size);
    setEditedSide(0);
    updateSideControls();
    Show_RHS_Properties(nullptr);
    emit document->graphicsChanged();
    // The design is as its file (or a new design) has it.
    setWindowModified(false);
    statusBar()->clearMessage();
}

bool TVNWindowController::Save_project_file(const QString &path, bool show_msg)
{
    // The window still gets close requests while a save runs.
    if (m_saving)
        return false;
    const QScopedValueRollback saving(m_saving, true);
    const Design design = detachedDesign(currentDesign());
    QString error;
    bool saved = false;
    PleaseWaitSheet sheet(this);
    runUnderPleaseWait(
        sheet, "Save_project_file",
        [&] {
            try {
                saved = saveDesignFile(path, design, &error);
            } catch (const std::bad_alloc &) {
                error = tr("There is not enough memory to encode the design.");
            }
        },
        kSaveSheetDelay);
    if (!saved) {
        if (error.isEmpty())
            error = tr("The design could not be written.");
        Show_NSLog_Message(QStringLiteral("Saving %1 failed: %2").arg(path, error));
        if (!error.endsWith(QLatin1Char('.')))
            error += QLatin1Char('.');
        Show_MessageBox(tr("The design \"%1\" could not be saved: %2").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    // No box on every save: the title's modified mark goes and the status
    // bar says where the design went.
    if (show_msg)
        statusBar()->showMessage(tr("Saved %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

bool TVNWindowController::Save_Design()
{
    if (m_designFilePath.isEmpty())
        return Save_Design_As();
    // Another window (or program) that saved the file since would lose its
    // work without a word; a file removed since loses nothing.
    const platform::FileStamp onDisk = platform::fileStamp(m_designFilePath);
    if (onDisk.exists && onDisk != m_designFileStamp) {
        const int choice = platform::showAlert(
            {tr("The design file \"%1\" was changed by another program since it was opened or last saved "
                "here.\nOverwrite it with this design, save this design under another name, or cancel?")
                 .arg(QDir::toNativeSeparators(m_designFilePath)),
             {tr("Overwrite"), tr("Save As..."), tr("Cancel")},
             2});
        if (choice == 1)
            return Save_Design_As();
        if (choice != 0)
            return false;
    }
    if (!Save_project_file(m_designFilePath, true))
        return false;
    m_designFileStamp = platform::fileStamp(m_designFilePath);
    setWindowModified(false);
    return true;
}

bool TVNWindowController::Save_Design_As()
{
    QString path = runFilePanel(this, true, tr("Save Design"), kDesignFilter, design_file_EXT);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix() != design_file_EXT)
        path += QLatin1Char('.') + design_file_EXT;
    if (!Save_project_file(path, true))
        return false;
    m_designFilePath = path;
    m_designFileStamp = platform::fileStamp(path);
    updateTitle();
    setWindowModified(false);
    return true;
}

int TVNWindowController::Open_Log_File()
{
    return openDesignFile() == DesignLoad::Loaded ? 1 : 0;
}

int TVNWindowController::Read_and_load_design_Log(const QString &path, const QString &log_or_template)
{
    return loadDesign(path, log_or_template) == DesignLoad::Loaded ? 1 : 0;
}

bool TVNWindowController::openDesignFromArguments(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return false;
    return Read_and_load_design_Log(QFileInfo(arguments.constFirst()).absoluteFilePath(), QStringLiteral("L")) == 1;
}

TVNWindowController::DesignLoad TVNWindowController::openDesignFile()
{
    const QString path = runFilePanel(this, false, tr("Open Design"), kDesignFilter, {});
    if (path.isEmpty())
        return DesignLoad::NotLoaded;
    return loadDesign(path, QStringLiteral("L"));
}

TVNWindowController::DesignLoad TVNWindowController::loadDesign(const QString &path, const QString &mode)
{
    if (Check_And_Validate_File_Path(path))
        return DesignLoad::NotLoaded;
    const QString file = Trim_Str(path);
    // A FIFO, a device or a file of gigabytes is not read at all.
    if (const auto refusal = designFileRefusal(file)) {
        Show_NSLog_Message(QStringLiteral("Loading %1 refused: %2").arg(path, *refusal));
        Show_MessageBox(tr("The selected file \"%1\" cannot be opened as a design.\n%2")
                            .arg(QDir::toNativeSeparators(path), *refusal));
        return DesignLoad::NotLoaded;
    }
    QString error;
    DamagedPictures damagedPictures;
    platform::FileStamp stamp;
    std::optional<Design> design;
    const auto read = [&] {
        // Taken before reading: a change while the file is read counts as
        // one made after.
        stamp = platform::fileStamp(file);
        design = loadDesignFile(file, &error, &damagedPictures);
        if (design)
            return true;
        Show_NSLog_Message(QStringLiteral("Loading %1 failed: %2").arg(path, error));
        Show_MessageBox(tr("The selected file \"%1\" is not a valid design file or it is damaged.")
                            .arg(QDir::toNativeSeparators(path)));
        return false;
    };
    if (!read())
        return DesignLoad::NotLoaded;
    // Asked only now: a file that cannot be opened replaces nothing.
    if (!maybeSave())
        return DesignLoad::CalledOff;
    // Saving the open design may just have written this very file: what was
    // read is then out of date.
    if (platform::fileStamp(file) != stamp && !read())
        return DesignLoad::NotLoaded;
    applyDesign(std::move(*design));
    QHash<const TVNGraphic *, QString> storedPaths;
    for (const GraphicList *graphics : {&document->graphics, &document->graphics_back}) {
        for (const GraphicPtr &g : *graphics) {
            if (const auto *image = dynamic_cast<const TVNImage *>(g.get()))
                storedPaths.insert(g.get(), image->filePath());
        }
    }
    // The file keeps the values its objects showed when it was saved; an
    // opened design shows its first record, as it does after every run.
    m_recordFill->showFirstRecord();
    const QString damagedMessage = damagedPicturesMessage(damagedPictures, storedPaths);
    Refresh_Canvas();
    m_designFilePath = mode == QLatin1String("L") ? file : QString();
    m_designFileStamp = mode == QLatin1String("L") ? stamp : platform::FileStamp();
    updateTitle();
    if (!damagedMessage.isEmpty())
        Show_MessageBox(damagedMessage);
    return DesignLoad::Loaded;
}

QString TVNWindowController::damagedPicturesMessage(const DamagedPictures &damaged,
                                                   const QHash<const TVNGraphic *, QString> &storedPaths) const
{
    // What the opened design shows is what it saves: a picture still
    // damaged is shown as missing and stored again as it was; whatever its
    // object shows instead (its file, the main photo, its first record's
    // picture, or nothing) takes the damaged one's place at the next save.
    QStringList named = damaged.missing;
    for (const auto &[object, file] : damaged.shownFromFiles)
        named.append(object);
    QStringList missing;
    QStringList shown;
    for (const auto &[graphics, side] : {std::pair{&document->graphics, QStringLiteral("front")},
                                         std::pair{&document->graphics_back, QStringLiteral("back")}}) {
        for (size_t i = 0; i < graphics->size(); ++i) {
            const TVNGraphic &g = *(*graphics)[i];
            const QString object = describeObject(g, side, i);
            if (!named.contains(object))
                continue;
            const auto *image = dynamic_cast<const TVNImage *>(&g);
            const platform::Image &picture = image ? image->image() : g._barcode_image;
            if (picture.isDamaged()) {
                missing.append(damagedPictureNamed(object, picture));
                continue;
            }
            if (!image) {
                shown.append(picture.isNull() ? tr("%1 shows no picture").arg(object)
                                              : tr("%1 shows the barcode of its first record").arg(object));
                continue;
            }
            // The first record gave a bound object its value's file, or none.
            const bool fromRecord = image->filePath() != storedPaths.value(&g);
            const bool mainPhoto = g.control_ID.trimmed() == QLatin1String("PARTY_IMAGE")
                && !(fromRecord && g.data_source_type == batch_data::kSeriesValue);
            if (picture.isNull())
                shown.append(tr("%1 shows no picture").arg(object));
            else if (mainPhoto && m_mainPhotoFromFile)
                shown.append(tr("%1 shows the main photo \"%2\"")
                                 .arg(object, QDir::toNativeSeparators(Invite_Answers.photo)));
            else if (mainPhoto)
                shown.append(tr("%1 shows the main photo kept with another object").arg(object));
            else
                shown.append(tr("%1 shows \"%2\"").arg(object, QDir::toNativeSeparators(image->filePath())));
        }
    }
    for (const auto &[card, side] : {std::pair{&Front_card_Prop, QStringLiteral("front")},
                                     std::pair{&Back_card_Prop, QStringLiteral("back")}}) {
        if (card->BG_Image.isDamaged() && named.contains(describeBackgroundPicture(side)))
            missing.append(damagedPictureNamed(describeBackgroundPicture(side), card->BG_Image));
    }

    QStringList parts;
    if (!missing.isEmpty())
        parts.append(tr("These pictures of the design are damaged and are shown as missing:\n%1\n\n"
                        "Their objects are kept as they are: saving the design keeps each damaged "
                        "picture as it was stored until you replace it.")
                         .arg(missing.join(QLatin1Char('\n'))));
    if (!shown.isEmpty())
        parts.append(tr("These pictures of the design are damaged, and their objects show something else "
                        "instead:\n%1\n\n"
                        "Saving the design stores what each of these objects shows in place of its damaged "
                        "picture.")
                         .arg(shown.join(QLatin1Char('\n'))));
    return parts.join(QStringLiteral("\n\n"));
}

void TVNWindowController::New_Project_Setting_Reset()
{
    Check_Path_And_Create_Files();
    Design fresh;
    fresh.photo = IMG_Adjustments;
    fresh.excelBindingUse = Excel_Binding_Use;
    fresh.excelSourcePath = Excel_Source_Path;
    fresh.table = currentSpreadsheetTable();
    applyDesign(std::move(fresh));
    Invite_Answers.frame.clear();
    Invite_Answers.photo.clear();
    Fill_User_Profile = false;
    last_ctrl_X = 0;
    last_ctrl_Y = 0;
    design_window::Selected_Control_Tool = kSelectTool;
    m_designFilePath.clear();
    m_designFileStamp = {};
    updateTitle();
}

bool TVNWindowController::Exit_Application()
{
    return !m_saving && maybeSave();
}

void TVNWindowController::markDesignChanged()
{
    // A change beside the undo stack: undoing no longer leads back to the
    // file. A step's own change leaves the mark to the stack's clean state,
    // which it has not reached yet while the step runs.
    QUndoStack &undo = document->undoManager();
    if (m_recordedCardEdits == 0 && !document->isChangingByStep())
        undo.resetClean();
    if (!undo.isClean())
        setWindowModified(true);
    statusBar()->clearMessage();
}

void TVNWindowController::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ModifiedChange || !document)
        return;
    QUndoStack &undo = document->undoManager();
    if (!isWindowModified() && !undo.isClean())
        undo.setClean();
    else if (isWindowModified() && undo.isClean())
        undo.resetClean();
}

bool TVNWindowController::maybeSave()
{
    if (!isWindowModified())
        return true;
    switch (Show_YES_NO_CANCEL_MessageBox(tr("Do you want to save changes before closing?"))) {
    case YesNoCancel::Yes:
        // Not saved (panel cancelled, write failed): stay rather than lose it.
        return Save_Design();
    case YesNoCancel::No:
        return true;
    case YesNoCancel::Cancel:
        break;
    }
    return false;
}
