#include "profiles_wizards/UserProfileForm.h"

#include "design_window/DataSourcePanel.h"
#include "design_window/DesignFile.h"
#include "design_window/Globals.h"
#include "design_window/PanelSupport.h"
#include "design_window/SeriesWindows.h"
#include "design_window/DesignHub.h"
#include "drawing/TVNRenderingView.h"
#include "platform/Helpers.h"
#include "platform/ModalRun.h"
#include "profiles_wizards/WizardGlobals.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace design_window;

namespace profiles_wizards {

namespace {

enum Source { Typed = 0, Series = 1, Column = 2 };

// The prefixes of the controls' names, in field order.
constexpr std::array<const char *, kProfileFieldCount> kPrefixes{
    "name", "title", "comp_name", "slogan", "address", "phone", "fax", "email", "website", "unique", "image"};

// The preview and photo pictures, in pixels.
constexpr QSize kPreviewSize(360, 240);
constexpr QSize kPhotoSize(96, 112);

bool spreadsheetHasRows()
{
    return !currentSpreadsheetTable().rows.isEmpty();
}

design_window::DesignHub &mainWindow()
{
    // The profile dialogs are opened by the design window only.
    Q_ASSERT(Main_App_wnd);
    return *Main_App_wnd;
}

} // namespace

QString profileControlName(ProfileField f, const char *suffix)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(kPrefixes[std::size_t(f)]), QLatin1String(suffix));
}

ProfileBatchTools installedProfileBatchTools()
{
    SeriesWindows *windows = seriesWindows();
    if (!windows)
        return {};
    return {[] {
                if (design_window::DesignHub *main = Main_App_wnd)
                    main->Batch_Series_Button();
            },
            [windows](const QString &name) { windows->viewSeries(name); },
            [windows] { windows->viewSpreadsheet(); },
            [](const QString &path) {
                // As Data > Spreadsheet does, but for the profile's own
                // fields: the form binds those again and names the lost.
                design_window::DesignHub *main = Main_App_wnd;
                return main ? main->replaceSpreadsheetSource(path, isProfileFieldGraphic) : 0;
            }};
}

bool isProfileFieldGraphic(const TVNGraphic &graphic)
{
    return profileFieldOfValueId(Trim_Str(graphic.control_ID)).has_value();
}

UserProfileForm::UserProfileForm(bool editableCaptions)
    : tools(installedProfileBatchTools())
{
    applyDialogBackground(*this);
    setModal(true);

    auto button = [this](const QString &text, const char *name) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };

    excel_path_field = named(new QLineEdit, "excel_path_field");
    excel_path_field->setReadOnly(true);
    excel_path_field->setPlaceholderText(tr("No spreadsheet"));
    excel_browse_btn = button(tr("Browse..."), "excel_browse_btn");
    view_excel_btn = button(tr("View"), "view_excel_btn");
    batch_series_btn = button(tr("Batch Processing Series..."), "batch_series_btn");
    connect(excel_browse_btn, &QPushButton::clicked, this, [this] { Browse_excel_Btn_Clicked(); });
    connect(view_excel_btn, &QPushButton::clicked, this, [this] { View_Excel_Btn_Clicked(); });
    connect(batch_series_btn, &QPushButton::clicked, this, [this] { Batch_Series_Btn_Clicked(); });
    auto *sources = new QHBoxLayout;
    sources->addWidget(new QLabel(tr("Spreadsheet:")));
    sources->addWidget(excel_path_field, 1);
    sources->addWidget(excel_browse_btn);
    sources->addWidget(view_excel_btn);
    sources->addSpacing(16);
    sources->addWidget(batch_series_btn);

    user_picture = named(new QLabel, "user_picture");
    user_picture->setFixedSize(kPhotoSize);
    user_picture->setAlignment(Qt::AlignCenter);
    user_picture->setFrameShape(QFrame::StyledPanel);
    image_path_val = named(new QLineEdit, "image_path_val");
    image_path_val->setReadOnly(true);
    browse_pic_btn = button(tr("Browse..."), "browse_pic_btn");
    clear_pic_btn = button(tr("Clear"), "clear_pic_btn");
    connect(browse_pic_btn, &QPushButton::clicked, this, [this] { Browse_image_Btn_Clicked(); });
    connect(clear_pic_btn, &QPushButton::clicked, this, [this] { Clear_image_Btn_Clicked(); });

    m_form = new QGridLayout;
    m_form->setHorizontalSpacing(6);
    m_form->addWidget(new QLabel(tr("Field")), 0, kCaptionColumn);
    m_form->addWidget(new QLabel(tr("Value")), 0, kValueColumn);
    m_form->addWidget(new QLabel(tr("Source")), 0, kValueColumn + 1);
    m_form->addWidget(new QLabel(tr("Series / Column")), 0, kValueColumn + 2);
    for (ProfileField f : kProfileFields)
        buildRow(f, editableCaptions);
    m_form->setColumnStretch(kValueColumn, 1);
    // The rows keep together at the top.
    m_form->setRowStretch(kProfileFieldCount + 1, 1);

    Preivew_picture = named(new QLabel, "Preivew_picture");
    Preivew_picture->setFixedSize(kPreviewSize);
    Preivew_picture->setAlignment(Qt::AlignCenter);
    Preivew_picture->setFrameShape(QFrame::StyledPanel);
    auto *right = new QVBoxLayout;
    right->addWidget(new QLabel(tr("Photo")));
    right->addWidget(user_picture);
    right->addSpacing(12);
    right->addWidget(new QLabel(tr("Preview")));
    right->addWidget(Preivew_picture);
    right->addStretch();

    help_btn = button(tr("Help"), "help_btn");
    reset_btn = button(tr("Reset"), "reset_btn");
    preview_btn = button(tr("Preview"), "preview_btn");
    cancel_btn = button(tr("Cancel"), "cancel_btn");
    ok_btn = button(tr("OK"), "ok_btn");
    ok_btn->setDefault(true);
    connect(help_btn, &QPushButton::clicked, this, [this] { Help_Btn_Clicked(); });
    connect(reset_btn, &QPushButton::clicked, this, [this] { Reset_Btn_Clicked(); });
    connect(preview_btn, &QPushButton::clicked, this, [this] { Preview_Btn_Clicked(); });
    connect(cancel_btn, &QPushButton::clicked, this, [this] { Cancel_Btn_Clicked(); });
    connect(ok_btn, &QPushButton::clicked, this, [this] { OK_Btn_Clicked(); });
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(help_btn);
    buttons->addWidget(reset_btn);
    buttons->addStretch();
    buttons->addWidget(preview_btn);
    buttons->addWidget(cancel_btn);
    buttons->addWidget(ok_btn);

    auto *body = new QHBoxLayout;
    body->addLayout(m_form, 1);
    body->addSpacing(12);
    body->addLayout(right);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(sources);
    layout->addSpacing(8);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
}

void UserProfileForm::buildRow(ProfileField f, bool editableCaptions)
{
    Row &r = row(f);
    const int line = int(f) + 1;
    if (editableCaptions && f != ProfileField::image) {
        auto *caption = new QLineEdit(profileFieldTitle(f));
        caption->setMinimumWidth(140);
        r.label = caption;
    } else {
        r.label = new QLabel(profileFieldTitle(f));
    }
    r.label->setObjectName(profileControlName(f, "label"));
    m_form->addWidget(r.label, line, kCaptionColumn);

    if (f == ProfileField::image) {
        auto *photo = new QHBoxLayout;
        photo->addWidget(image_path_val, 1);
        photo->addWidget(browse_pic_btn);
        photo->addWidget(clear_pic_btn);
        m_form->addLayout(photo, line, kValueColumn);
    } else {
        r.value = new QLineEdit;
        r.value->setObjectName(profileControlName(f, "value"));
        r.value->setMinimumWidth(260);
        m_form->addWidget(r.value, line, kValueColumn);
    }

    r.ds_combo = new QComboBox;
    r.ds_combo->setObjectName(profileControlName(f, "ds_combo"));
    r.ds_combo->addItems({QStringLiteral("Manual"), QStringLiteral("Series")});
    r.ser_col_cb = new QComboBox;
    r.ser_col_cb->setObjectName(profileControlName(f, "ser_col_cb"));
    r.ser_col_cb->setMinimumWidth(140);
    r.view_btn = new QPushButton(tr("View"));
    r.view_btn->setObjectName(profileControlName(f, "view_btn"));
    r.view_btn->setAutoDefault(false);
    m_form->addWidget(r.ds_combo, line, kValueColumn + 1);
    m_form->addWidget(r.ser_col_cb, line, kValueColumn + 2);
    m_form->addWidget(r.view_btn, line, kValueColumn + 3);

    QComboBox *source = r.ds_combo;
    QComboBox *list = r.ser_col_cb;
    connect(source, &QComboBox::currentIndexChanged, this, [this, source] { comboBoxSelectionDidChange(source); });
    connect(list, &QComboBox::currentIndexChanged, this, [this, list] { comboBoxSelectionDidChange(list); });
    connect(r.view_btn, &QPushButton::clicked, this, [this, list] { View_Data_Series_By_Name(list); });
    sourceChosen(f);
}

// ---------------------------------------------------------------- opening and the empty form

int UserProfileForm::Open_Wnd(bool load)
{
    design_window::DesignHub &main = mainWindow();
    updateToolButtons();
    // The spreadsheet is offered while one is loaded, wherever it was
    // loaded (a design opened, the data menu, an earlier opening).
    if (spreadsheetHasRows())
        Add_Excel_in_Data_Source_Combo();
    else
        Remove_Excel_in_Data_Source_Combo();
    if (load) {
        Reset_all_Ctrl();
        excel_path_field->setText(Excel_Source_Path);
        const bool back = Card_Front_Or_Back == 1;
        setWindowTitle(back ? tr("Back Side User Profile Information") : tr("Front Side User Profile Information"));
        Graphics_array = back ? main.Get_Back_Controls_Array() : main.Get_Front_Controls_Array();
        Create_and_Set_template_picture();
        for (const GraphicPtr &g : Graphics_array) {
            const GraphicClass cls = g->graphicClass();
            const QString id = Trim_Str(g->control_ID);
            if ((cls != GraphicClass::Text && cls != GraphicClass::Image) || id.isEmpty() || !g->ctrl_is_visible)
                continue;
            const std::optional<ProfileField> f = profileFieldOfValueId(id);
            if (!f)
                continue;
            Row &r = row(*f);
            if (*f == ProfileField::image)
                Set_User_Image(g->Text_Value);
            else
                r.value->setText(g->Text_Value);
            // A field bound to a column is offered the spreadsheet source
            // even before a spreadsheet is chosen here, so that it keeps
            // its binding.
            if (g->data_source_type == Column)
                main.Add_Excel_Col_Name_In_Combo(r.ds_combo);
            if (g->data_source_type >= 0 && g->data_source_type < r.ds_combo->count())
                selectSource(*f, g->data_source_type);
            if (g->data_source_type == Series) {
                // By name: positions change whenever series are added or
                // removed.
                r.ser_col_cb->setCurrentIndex(r.ser_col_cb->findText(g->batch_list_name));
            } else if (g->data_source_type == Column) {
                r.ser_col_cb->setCurrentIndex(g->excel_col_indx < r.ser_col_cb->count() ? g->excel_col_indx : -1);
            } else if (g->data_source_type != Typed) {
                r.ser_col_cb->setCurrentIndex(0);
            }
            fieldLoaded(*f);
        }
    } else {
        setWindowTitle(tr("User Profile Information"));
        Reset_all_Ctrl();
    }
    openOwnControls(load);
    row(ProfileField::Name).value->setFocus();
    setResult(0);
    const int result = platform::runModal(*this);
    hide();
    return result;
}

void UserProfileForm::Reset_all_Ctrl()
{
    Preivew_picture->clear();
    Set_User_Image(QString());
    for (ProfileField f : kProfileFields) {
        Row &r = row(f);
        if (r.value)
            r.value->clear();
        selectSource(f, Typed);
        r.ser_col_cb->setCurrentIndex(-1);
    }
    resetOwnControls();
}

void UserProfileForm::updateToolButtons()
{
    excel_browse_btn->setEnabled(bool(tools.chooseSpreadsheetColumns));
    view_excel_btn->setEnabled(bool(tools.viewSpreadsheet));
    batch_series_btn->setEnabled(bool(tools.openSeriesManager));
    for (ProfileField f : kProfileFields)
        row(f).view_btn->setEnabled(canView(sourceOf(f)));
}

// ---------------------------------------------------------------- source and series choices

int UserProfileForm::sourceOf(ProfileField f) const
{
    return rows[std::size_t(f)].ds_combo->currentIndex();
}

void UserProfileForm::selectSource(ProfileField f, int item)
{
    {
        const QSignalBlocker block(row(f).ds_combo);
        row(f).ds_combo->setCurrentIndex(item);
    }
    sourceChosen(f);
}

void UserProfileForm::comboBoxSelectionDidChange(QComboBox *combo)
{
    for (ProfileField f : kProfileFields) {
        if (combo == row(f).ds_combo)
            return sourceChosen(f);
        if (combo == row(f).ser_col_cb)
            return seriesChosen(f);
    }
}

void UserProfileForm::sourceChosen(ProfileField f)
{
    Row &r = row(f);
    const int source = r.ds_combo->currentIndex();
    const bool typed = source <= Typed;
    if (r.value)
        r.value->setReadOnly(!typed);
    if (f == ProfileField::image) {
        browse_pic_btn->setEnabled(typed);
        clear_pic_btn->setEnabled(typed);
    }
    r.ser_col_cb->setEnabled(!typed);
    r.view_btn->setEnabled(canView(source));
    const QSignalBlocker block(r.ser_col_cb);
    if (typed) {
        r.ser_col_cb->clear();
    } else if (source == Series) {
        mainWindow().Fill_Data_Set_File_Name_In_Combo(r.ser_col_cb);
    } else {
        mainWindow().Fill_Excel_Col_Name_In_Combo(r.ser_col_cb);
        r.ser_col_cb->setCurrentIndex(-1);
    }
}

void UserProfileForm::seriesChosen(ProfileField f)
{
    Row &r = row(f);
    const QString chosen = r.ser_col_cb->currentText();
    if (chosen.isEmpty())
        return;
    const int source = r.ds_combo->currentIndex();
    if (source == Series)
        showValue(f, mainWindow().Get_First_Value_Of_Dataset(chosen));
    else if (source == Column)
        showValue(f, mainWindow().Get_First_Value_Of_Excel_Binding(r.ser_col_cb->currentIndex()));
}

void UserProfileForm::showValue(ProfileField f, const QString &value)
{
    if (f == ProfileField::image)
        Set_User_Image(value);
    else
        row(f).value->setText(Trim_Str(value));
}

// ---------------------------------------------------------------- validation and storing

bool UserProfileForm::Check_Validation()
{
    checked_field_name.clear();
    for (ProfileField f : kProfileFields) {
        const int source = sourceOf(f);
        if ((source == Series || source == Column) && row(f).ser_col_cb->currentIndex() < 0) {
            checked_field_name = profileFieldTitle(f);
            return false;
        }
    }
    return true;
}

bool UserProfileForm::storeForm(User_Profile_Class &record, int side)
{
    if (!Check_Validation()) {
        QString name = Trim_Str(checked_field_name);
        const QString field = name.isEmpty() ? QString() : QStringLiteral(" for '%1'").arg(name.remove(QLatin1String(" :")));
        Show_MessageBox(tr("Please select the source") + field);
        return false;
    }
    if (side >= 0) {
        record.Fill_User_Profile_Enable = true;
        if (spreadsheetHasRows()) {
            record.Excel_Binding = true;
            Excel_Source_Path = excel_path_field->text();
            Excel_Binding_Use = true;
        } else {
            Excel_Binding_Use = false;
            record.Excel_Binding = false;
        }
    }
    const int shownSide = side >= 0 ? side : int(Card_Front_Or_Back);
    for (ProfileField f : kProfileFields) {
        const Row &r = row(f);
        ProfileFieldValue &v = record.field(f);
        if (!fieldGoesTo(f, shownSide)) {
            // The field belongs on the other side: this side carries none.
            v.value.clear();
            v.ds = v.xl = false;
            v.ds_name.clear();
            v.ds_indx = v.xl_col_indx = 0;
            continue;
        }
        v.value = f == ProfileField::image ? image_path_val->text() : r.value->text();
        const int list = r.ser_col_cb->currentIndex();
        switch (r.ds_combo->currentIndex()) {
        case -1:
            // No source chosen: the binding stays as it was.
            break;
        case Typed:
            v.ds = v.xl = false;
            v.ds_name.clear();
            v.ds_indx = v.xl_col_indx = 0;
            break;
        case Series:
            v.ds = true;
            v.ds_name = r.ser_col_cb->currentText();
            v.ds_indx = list;
            v.xl = false;
            v.xl_col_indx = 0;
            break;
        default:
            v.ds = false;
            v.ds_name.clear();
            v.ds_indx = 0;
            v.xl = true;
            v.xl_col_indx = list;
            break;
        }
    }
    return true;
}

bool UserProfileForm::Fill_Front_User_profile_value_in_Variable()
{
    return storeForm(mainWindow().design().Front_user_profile, 0);
}

bool UserProfileForm::Fill_Back_User_profile_value_in_Variable()
{
    return storeForm(mainWindow().design().Back_user_profile, 1);
}

bool UserProfileForm::Fill_TEMP_User_profile_value_in_Variable()
{
    return storeForm(mainWindow().design().TEMP_user_profile, -1);
}

// ---------------------------------------------------------------- buttons

void UserProfileForm::OK_Btn_Clicked()
{
    const bool front = load_side.isEmpty() || load_side == QLatin1String("F");
    const bool back = load_side.isEmpty() || load_side == QLatin1String("B");
    if (front && !Fill_Front_User_profile_value_in_Variable())
        return;
    if (back && !Fill_Back_User_profile_value_in_Variable())
        return;
    done(1);
}

void UserProfileForm::Cancel_Btn_Clicked()
{
    // Its opener puts back a workbook browsed meanwhile.
    done(0);
}

void UserProfileForm::Help_Btn_Clicked()
{
    Open_Help_File();
}

void UserProfileForm::Browse_excel_Btn_Clicked()
{
    design_window::DesignHub &main = mainWindow();
    main.Delete_Excel_File_Temp_Folder();
    const QString path = runFilePanel(this, false, tr("Choose Spreadsheet"), tr("Spreadsheets (*.xlsx *.XLSX)"));
    if (path.isEmpty() || main.Check_And_Validate_File_Path(path))
        return;
    // The column each field bound to the spreadsheet has chosen, by title:
    // a new workbook may hold it at another position, or not at all.
    std::array<QString, kProfileFieldCount> chosen;
    for (ProfileField f : kProfileFields) {
        const QComboBox *list = row(f).ser_col_cb;
        if (sourceOf(f) == Column && list->currentIndex() >= 0)
            chosen[std::size_t(f)] = list->currentText();
    }
    // A cancelled picker, or a workbook it could not read, leaves the
    // design's data source as it was: so the path and the fields stay too.
    if (!tools.chooseSpreadsheetColumns || tools.chooseSpreadsheetColumns(path) != 1)
        return;
    excel_path_field->setText(path);
    QStringList lost;
    if (spreadsheetHasRows()) {
        Add_Excel_in_Data_Source_Combo();
        lost = refreshColumnLists(chosen);
    } else {
        // No records to take values from: such a field takes its value as
        // typed, rather than another source the list happens to fall on.
        for (ProfileField f : kProfileFields) {
            if (sourceOf(f) != Column)
                continue;
            selectSource(f, Typed);
            lost << fieldName(f);
        }
        Remove_Excel_in_Data_Source_Combo();
    }
    if (!lost.isEmpty())
        Show_MessageBox(tr("These fields lost their spreadsheet column; please choose it again: %1")
                            .arg(lost.join(QLatin1String(", "))));
}

QStringList UserProfileForm::refreshColumnLists(const std::array<QString, kProfileFieldCount> &chosen)
{
    QStringList lost;
    for (ProfileField f : kProfileFields) {
        if (sourceOf(f) != Column)
            continue;
        QComboBox *list = row(f).ser_col_cb;
        {
            const QSignalBlocker block(list);
            mainWindow().Fill_Excel_Col_Name_In_Combo(list);
            list->setCurrentIndex(-1);
        }
        const QString &title = chosen[std::size_t(f)];
        if (title.isEmpty())
            continue;
        // Chosen through the signal: the value box shows the new first row.
        list->setCurrentIndex(list->findText(title, Qt::MatchExactly));
        if (list->currentIndex() >= 0)
            continue;
        // The old workbook's value no longer comes from anywhere.
        showValue(f, QString());
        lost << fieldName(f);
    }
    return lost;
}

QString UserProfileForm::fieldName(ProfileField f)
{
    return profileFieldTitle(f).remove(QLatin1String(" :"));
}

void UserProfileForm::Add_Excel_in_Data_Source_Combo()
{
    for (ProfileField f : kProfileFields)
        mainWindow().Add_Excel_Col_Name_In_Combo(row(f).ds_combo);
}

void UserProfileForm::Remove_Excel_in_Data_Source_Combo()
{
    for (ProfileField f : kProfileFields)
        mainWindow().Remove_Excel_Col_Name_In_Combo(row(f).ds_combo);
}

void UserProfileForm::View_Excel_Btn_Clicked()
{
    if (tools.viewSpreadsheet)
        tools.viewSpreadsheet();
}

void UserProfileForm::Batch_Series_Btn_Clicked()
{
    // The series lists are refilled when a source is chosen again.
    if (tools.openSeriesManager)
        tools.openSeriesManager();
}

void UserProfileForm::View_Data_Series_By_Name(QComboBox *combo)
{
    for (ProfileField f : kProfileFields) {
        if (row(f).ser_col_cb != combo)
            continue;
        design_window::viewBoundSource(sourceOf(f), combo->currentIndex() < 0 ? QString() : combo->currentText(),
                                       tools.viewSeries, tools.viewSpreadsheet);
        return;
    }
}

bool UserProfileForm::canView(int source) const
{
    return (source == Series && tools.viewSeries) || (source == Column && tools.viewSpreadsheet);
}

// ---------------------------------------------------------------- photo

void UserProfileForm::Browse_image_Btn_Clicked()
{
    const QString path = runFilePanel(
        this, false, tr("Choose Photo"),
        tr("Pictures (*.jpg *.jpeg *.jpe *.jfif *.gif *.bmp *.png *.tif *.tiff)"));
    if (!path.isEmpty())
        Set_User_Image(path);
}

void UserProfileForm::Clear_image_Btn_Clicked()
{
    Set_User_Image(QString());
}

void UserProfileForm::Set_User_Image(const QString &path)
{
    const QString trimmed = Trim_Str(path);
    image_path_val->setText(trimmed);
    if (trimmed.isEmpty()) {
        user_picture->clear();
        return;
    }
    QImageReader reader(trimmed);
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (picture.isNull())
        return;
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap = QPixmap::fromImage(
        picture.scaled(kPhotoSize * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(ratio);
    user_picture->setPixmap(pixmap);
}

// ---------------------------------------------------------------- preview

void UserProfileForm::Preview_Btn_Clicked()
{
    design_window::DesignHub &main = mainWindow();
    if (!Fill_TEMP_User_profile_value_in_Variable())
        return;
    main.Temp_Design_Control_Assign();
    const float x = last_ctrl_X;
    const float y = last_ctrl_Y;
    main.Fill_User_profile_info_TEMP_side();
    Graphics_array = main.Get_Temp_Controls_Array();
    Create_and_Set_Preview_picture();
    // The preview does not move where the next new object goes.
    last_ctrl_X = x;
    last_ctrl_Y = y;
}

void UserProfileForm::Create_and_Set_template_picture()
{
    showPicture(Preivew_picture, Graphics_array);
}

void UserProfileForm::Create_and_Set_Preview_picture()
{
    showPicture(Preivew_picture, Graphics_array);
}

void UserProfileForm::showPicture(QLabel *label, const GraphicList &graphics)
{
    const platform::Image card = TVNRenderingView::image_From_Card_Graphics(graphics, false);
    if (card.isNull() || card.size().isEmpty()) {
        label->clear();
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const QSizeF box = QSizeF(label->size()) * ratio;
    const double scale = std::min(box.width() / card.size().width(), box.height() / card.size().height());
    QPixmap pixmap = QPixmap::fromImage(card.toBitmap(72 * scale, Qt::transparent));
    pixmap.setDevicePixelRatio(ratio);
    label->setPixmap(pixmap);
}

} // namespace profiles_wizards
