#include "profiles_wizards/Invitation_Wizard.h"

#include "design_window/PanelSupport.h"
#include "design_window/SingleInstance.h"
#include "platform/Helpers.h"
#include "platform/ModalRun.h"
#include "profiles_wizards/ThumbnailList.h"
#include "profiles_wizards/WizardGlobals.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTextCursor>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <cmath>

using drawing::PhotoAdjustments;

namespace {

constexpr double kFrameZoom = 0.4;
// The wizard's card: 120 x 150 mm.
constexpr double kDefaultWidthMm = 120, kDefaultHeightMm = 150;
// Typing limits in characters as the user sees them.
constexpr int kNameLimit = 40, kVenueLimit = 100, kTitleLimit = 100, kMessageLimit = 250;
// The preview adjusts a copy of the photo no longer than this on its longer
// side, so that the sliders answer at once even for a camera's photo; the
// main photo itself is made from the full picture.
constexpr int kWorkingSide = 640;
const QSize kPreviewSize(300, 230);
const QSize kWizardSize(1040, 680), kEditSize(620, 680);

} // namespace

// One adjustment slider: its value is the slider's position times `factor`.
struct Invitation_Wizard::Adjuster {
    QSlider *slider;
    QLabel *value;
    float PhotoAdjustments::*field;
    double factor;
};

Invitation_Wizard::Invitation_Wizard()
{
    setObjectName("Invitation_Wizard");
    setWindowTitle(tr("Welcome to %1").arg(design_window::App_Name));
    profiles_wizards::applyDialogBackground(*this);

    Start_card_box = buildStartPage();
    second_box = buildFramePage();
    photo_box = buildPhotoPage();

    button_box = new QWidget;
    button_box->setObjectName("button_box");
    Back_Btn = new QPushButton(tr("< Back"));
    Back_Btn->setObjectName("Back_Btn");
    Next_btn = new QPushButton(tr("Next >"));
    Next_btn->setObjectName("Next_btn");
    Cancel_btn = new QPushButton(tr("Cancel"));
    Cancel_btn->setObjectName("Cancel_btn");
    connect(Back_Btn, &QPushButton::clicked, this, [this] { Back_Click(); });
    connect(Next_btn, &QPushButton::clicked, this, [this] { OK_Click(); });
    connect(Cancel_btn, &QPushButton::clicked, this, [this] { CancelClick(); });
    auto *pageButtons = new QHBoxLayout(button_box);
    pageButtons->setContentsMargins(0, 0, 0, 0);
    pageButtons->addWidget(Cancel_btn);
    pageButtons->addStretch();
    pageButtons->addWidget(Back_Btn);
    pageButtons->addWidget(Next_btn);

    Finish_Btn = new QPushButton(tr("Finish"));
    Finish_Btn->setObjectName("Finish_Btn");
    Close_Btn = new QPushButton(tr("Close"));
    Close_Btn->setObjectName("Close_Btn");
    connect(Finish_Btn, &QPushButton::clicked, this, [this] { OK_Click(); });
    connect(Close_Btn, &QPushButton::clicked, this, [this] { Close_Form_Click(); });
    auto *editButtons = new QHBoxLayout;
    editButtons->addStretch();
    editButtons->addWidget(Close_Btn);
    editButtons->addWidget(Finish_Btn);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Start_card_box, 1);
    layout->addWidget(second_box, 1);
    layout->addWidget(photo_box, 1);
    layout->addWidget(button_box);
    layout->addLayout(editButtons);
    resize(kWizardSize);
}

Invitation_Wizard::~Invitation_Wizard() = default;

Invitation_Wizard &Invitation_Wizard::defaultInstance()
{
    return design_window::singleInstance<Invitation_Wizard>();
}

void Invitation_Wizard::setBackgroundPattern(const platform::Image &pattern)
{
    if (pattern.isNull())
        return;
    QPalette palette = this->palette();
    palette.setBrush(QPalette::Window, QBrush(QPixmap::fromImage(pattern.toBitmap(72))));
    setPalette(palette);
}

// ---------------------------------------------------------------- building

QWidget *Invitation_Wizard::buildStartPage()
{
    auto *page = new QWidget;
    page->setObjectName("Start_card_box");
    auto *heading = new QLabel(tr("Welcome to %1").arg(design_window::App_Name));
    QFont big = heading->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    heading->setFont(big);
    heading->setAlignment(Qt::AlignCenter);
    auto *prompt = new QLabel(tr("How would you like to start?"));
    prompt->setAlignment(Qt::AlignCenter);

    auto bigButton = [](const QString &text, const char *name, const QString &help) {
        auto *button = new QPushButton(text);
        button->setObjectName(name);
        button->setToolTip(help);
        button->setMinimumSize(300, 64);
        QFont font = button->font();
        font.setPointSizeF(font.pointSizeF() * 1.3);
        button->setFont(font);
        return button;
    };
    wizard_btn = bigButton(tr("Create an Invitation"), "wizard_btn",
                           tr("A frame, a photo and your texts, laid out on the card for you"));
    open_btn = bigButton(tr("Open a Saved Design"), "open_btn", tr("Continue with a design you saved"));
    connect(wizard_btn, &QPushButton::clicked, this, [this] { Using_Wizard_Click(); });
    connect(open_btn, &QPushButton::clicked, this, [this] { Open_Log_Click(); });

    APP_path_label = new QLabel;
    APP_path_label->setObjectName("APP_path_label");
    APP_path_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    APP_path_label->setAlignment(Qt::AlignCenter);
    Help_btn_1 = new QPushButton(tr("Help"));
    Help_btn_1->setObjectName("Help_btn_1");
    Exit_btn = new QPushButton(tr("Exit"));
    Exit_btn->setObjectName("Exit_btn");
    connect(Help_btn_1, &QPushButton::clicked, this, [this] { HelpClick(); });
    connect(Exit_btn, &QPushButton::clicked, this, [this] { ExitClick(); });

    auto *choices = new QVBoxLayout;
    choices->setSpacing(16);
    choices->addWidget(wizard_btn, 0, Qt::AlignHCenter);
    choices->addWidget(open_btn, 0, Qt::AlignHCenter);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(Help_btn_1);
    bottom->addStretch();
    bottom->addWidget(Exit_btn);

    auto *layout = new QVBoxLayout(page);
    layout->addStretch(2);
    layout->addWidget(heading);
    layout->addWidget(prompt);
    layout->addSpacing(28);
    layout->addLayout(choices);
    layout->addStretch(3);
    layout->addWidget(new QLabel(tr("Your frames, templates and clip art are kept in:")), 0, Qt::AlignHCenter);
    layout->addWidget(APP_path_label);
    layout->addLayout(bottom);
    return page;
}

QWidget *Invitation_Wizard::buildFramePage()
{
    auto *page = new QWidget;
    page->setObjectName("second_box");
    auto *heading = new QLabel(tr("<b>Step 1 of 2: choose a frame</b> (a click on a frame moves on)"));
    frames = new profiles_wizards::ThumbnailList(kFrameZoom);
    connect(frames, &profiles_wizards::ThumbnailList::picked, this,
            [this](const QString &path) { imageBrowserSelectionDidChange(path); });

    auto *size = new QGroupBox(tr("Card size"));
    size->setObjectName("card_size_box");
    auto stepper = [](const char *name, double value) {
        auto *box = new QDoubleSpinBox;
        box->setObjectName(name);
        box->setRange(20, 500);
        box->setDecimals(1);
        box->setSingleStep(1);
        box->setSuffix(QStringLiteral(" mm"));
        box->setValue(value);
        return box;
    };
    width_Stepper = stepper("width_Stepper", kDefaultWidthMm);
    height_Stepper = stepper("height_Stepper", kDefaultHeightMm);
    auto *sizeForm = new QFormLayout(size);
    sizeForm->addRow(tr("Width:"), width_Stepper);
    sizeForm->addRow(tr("Height:"), height_Stepper);

    auto *side = new QVBoxLayout;
    side->addWidget(size);
    side->addStretch();
    auto *row = new QHBoxLayout;
    row->addWidget(frames, 1);
    row->addLayout(side);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(heading);
    layout->addLayout(row, 1);
    return page;
}

QWidget *Invitation_Wizard::buildPhotoPage()
{
    auto *page = new QWidget;
    page->setObjectName("photo_box");
    photo_heading = new QLabel;
    photo_heading->setObjectName("photo_heading");

    Selected_picture = new QLabel;
    Selected_picture->setObjectName("Selected_picture");
    Selected_picture->setFixedSize(kPreviewSize);
    Selected_picture->setAlignment(Qt::AlignCenter);
    Selected_picture->setFrameShape(QFrame::StyledPanel);
    Selected_picture->setAutoFillBackground(true);
    QPalette white = Selected_picture->palette();
    white.setColor(QPalette::Window, Qt::white);
    Selected_picture->setPalette(white);
    image_path = new QLineEdit;
    image_path->setObjectName("image_path");
    image_path->setReadOnly(true);
    image_path->setPlaceholderText(tr("No photo chosen"));
    browse_photo_btn = new QPushButton(tr("Choose Photo..."));
    browse_photo_btn->setObjectName("browse_photo_btn");
    connect(browse_photo_btn, &QPushButton::clicked, this, [this] { Browse_Image_Click(); });
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(image_path, 1);
    pathRow->addWidget(browse_photo_btn);

    auto *photoColumn = new QVBoxLayout;
    photoColumn->addWidget(Selected_picture, 0, Qt::AlignHCenter);
    photoColumn->addLayout(pathRow);
    photoColumn->addWidget(buildAdjustments(), 1);

    auto *columns = new QHBoxLayout;
    columns->addLayout(photoColumn, 1);
    columns->addWidget(buildDetails(), 1);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(photo_heading);
    layout->addLayout(columns, 1);
    return page;
}

QGroupBox *Invitation_Wizard::buildAdjustments()
{
    Image_Setting_Box = new QGroupBox(tr("Adjustments"));
    Image_Setting_Box->setObjectName("Image_Setting_Box");
    auto *grid = new QGridLayout(Image_Setting_Box);
    grid->setVerticalSpacing(2);

    auto check = [this](const QString &text, const char *name, bool PhotoAdjustments::*flag) {
        auto *box = new QCheckBox(text);
        box->setObjectName(name);
        connect(box, &QCheckBox::toggled, this, [this, flag](bool on) {
            m_photo.*flag = on;
            Update_Image_With_Settings();
        });
        return box;
    };
    Image_Gray_Scale_chk = check(tr("Grey scale"), "Image_Gray_Scale_chk", &PhotoAdjustments::grayScale);
    Image_Sepia_chk = check(tr("Sepia"), "Image_Sepia_chk", &PhotoAdjustments::sepia);
    Image_Invert_chk = check(tr("Invert colours"), "Image_Invert_chk", &PhotoAdjustments::invert);
    auto *checks = new QHBoxLayout;
    checks->addWidget(Image_Gray_Scale_chk);
    checks->addWidget(Image_Sepia_chk);
    checks->addWidget(Image_Invert_chk);
    checks->addStretch();
    grid->addLayout(checks, 0, 0, 1, 3);

    struct Row {
        QSlider **slider;
        const char *name;
        QString label;
        float PhotoAdjustments::*field;
        int minimum, maximum;
        double factor;
    };
    // Ranges: sharpness and exposure (stops) in tenths, blur radius in
    // tenths of a pixel, the colour controls in hundredths, hue in
    // hundredths of a radian (half a turn either way), transparency in
    // percent and rotation in whole degrees.
    const Row rows[] = {
        {&shrp_slidr, "shrp_slidr", tr("Sharpness"), &PhotoAdjustments::sharpness, 0, 20, 0.1},
        {&ev_slidr, "ev_slidr", tr("Exposure"), &PhotoAdjustments::exposure, -20, 20, 0.1},
        {&blr_slidr, "blr_slidr", tr("Blur"), &PhotoAdjustments::blur, 0, 200, 0.1},
        {&Sat_slidr, "Sat_slidr", tr("Saturation"), &PhotoAdjustments::saturation, 0, 200, 0.01},
        {&Brt_slidr, "Brt_slidr", tr("Brightness"), &PhotoAdjustments::brightness, -100, 100, 0.01},
        {&Con_slidr, "Con_slidr", tr("Contrast"), &PhotoAdjustments::contrast, 25, 300, 0.01},
        {&Hue_slidr, "Hue_slidr", tr("Hue"), &PhotoAdjustments::hue, -314, 314, 0.01},
        {&Trsp_slidr, "Trsp_slidr", tr("Transparency"), &PhotoAdjustments::transparency, 0, 100, 1},
        {&Rotate_slidr, "Rotate_slidr", tr("Rotation"), &PhotoAdjustments::rotate, -180, 180, 1},
    };
    int line = 1;
    for (const Row &row : rows) {
        auto *slider = new QSlider(Qt::Horizontal);
        slider->setObjectName(row.name);
        slider->setRange(row.minimum, row.maximum);
        auto *value = new QLabel;
        value->setObjectName(QString::fromLatin1(row.name) + QStringLiteral("_val"));
        value->setMinimumWidth(44);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        *row.slider = slider;
        m_adjusters.push_back({slider, value, row.field, row.factor});
        const size_t index = m_adjusters.size() - 1;
        connect(slider, &QSlider::valueChanged, this, [this, index] { adjusterMoved(m_adjusters[index]); });
        grid->addWidget(new QLabel(row.label), line, 0);
        grid->addWidget(slider, line, 1);
        grid->addWidget(value, line, 2);
        ++line;
    }
    image_reset_btn = new QPushButton(tr("Reset"));
    image_reset_btn->setObjectName("image_reset_btn");
    connect(image_reset_btn, &QPushButton::clicked, this, [this] { Image_reset_Button(); });
    grid->addWidget(image_reset_btn, line, 2);
    grid->setColumnStretch(1, 1);
    return Image_Setting_Box;
}

QGroupBox *Invitation_Wizard::buildDetails()
{
    details_box = new QGroupBox(tr("Invitation"));
    details_box->setObjectName("details_box");
    auto *outer = new QVBoxLayout(details_box);
    auto *form = new QFormLayout;
    outer->addLayout(form);

    auto line = [this](const char *name, const QString &placeholder) {
        auto *field = new QLineEdit;
        field->setObjectName(name);
        field->setPlaceholderText(placeholder);
        connect(field, &QLineEdit::textEdited, this, [this, field] { controlTextDidChange(field); });
        return field;
    };
    auto stepButtons = [](QPushButton *&back, QPushButton *&next, const char *backName, const char *nextName) {
        back = new QPushButton(QStringLiteral("<"));
        back->setObjectName(backName);
        back->setToolTip(tr("Previous ready-made text"));
        next = new QPushButton(QStringLiteral(">"));
        next->setObjectName(nextName);
        next->setToolTip(tr("Next ready-made text"));
        for (QPushButton *b : {back, next})
            b->setFixedWidth(32);
        auto *row = new QHBoxLayout;
        row->setSpacing(2);
        row->addWidget(back);
        row->addWidget(next);
        return row;
    };

    msg_title = line("msg_title", QString());
    auto *titleRow = new QHBoxLayout;
    titleRow->addWidget(msg_title, 1);
    titleRow->addLayout(stepButtons(title_bk_btn, title_nxt_btn, "title_bk_btn", "title_nxt_btn"));
    connect(title_bk_btn, &QPushButton::clicked, this, [this] { Title_Back_Click(); });
    connect(title_nxt_btn, &QPushButton::clicked, this, [this] { Title_Next_Click(); });
    form->addRow(tr("Title:"), titleRow);

    msg_value = new QPlainTextEdit;
    msg_value->setObjectName("msg_value");
    msg_value->setTabChangesFocus(true);
    msg_value->setFixedHeight(70);
    connect(msg_value, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_settingMessage)
            controlTextDidChange(msg_value);
    });
    auto *messageRow = new QHBoxLayout;
    messageRow->addWidget(msg_value, 1);
    messageRow->addLayout(stepButtons(msg_bk_btn, msg_nxt_btn, "msg_bk_btn", "msg_nxt_btn"), 0);
    connect(msg_bk_btn, &QPushButton::clicked, this, [this] { Msg_Back_Click(); });
    connect(msg_nxt_btn, &QPushButton::clicked, this, [this] { Msg_Next_Click(); });
    form->addRow(tr("Message:"), messageRow);

    to_value = line("to_value", tr("Whom you invite"));
    from_value = line("from_value", tr("Who invites"));
    venue_value = line("venue_value", tr("Where it takes place"));
    form->addRow(tr("To:"), to_value);
    form->addRow(tr("From:"), from_value);
    form->addRow(tr("Venue:"), venue_value);

    Date_picker = new QDateEdit(QDate::currentDate());
    Date_picker->setObjectName("Date_picker");
    Date_picker->setCalendarPopup(true);
    Date_ctrl_value = new QLabel;
    Date_ctrl_value->setObjectName("Date_ctrl_value");
    connect(Date_picker, &QDateEdit::dateChanged, this, [this] { datePickerAction(); });
    auto *dateRow = new QHBoxLayout;
    dateRow->addWidget(Date_picker);
    dateRow->addWidget(Date_ctrl_value, 1);
    form->addRow(tr("Date:"), dateRow);

    Time_picker = new QTimeEdit(QTime::currentTime());
    Time_picker->setObjectName("Time_picker");
    Time_picker->setDisplayFormat(QStringLiteral("h:mm AP"));
    Time_ctrl_value = new QLabel;
    Time_ctrl_value->setObjectName("Time_ctrl_value");
    connect(Time_picker, &QTimeEdit::timeChanged, this, [this] { timePickerAction(); });
    auto *timeRow = new QHBoxLayout;
    timeRow->addWidget(Time_picker);
    timeRow->addWidget(Time_ctrl_value, 1);
    form->addRow(tr("Time:"), timeRow);

    clear_details_btn = new QPushButton(tr("Clear Details"));
    clear_details_btn->setObjectName("clear_details_btn");
    connect(clear_details_btn, &QPushButton::clicked, this, [this] { Clear_Details_Click(); });
    Help_btn_2 = new QPushButton(tr("Help"));
    Help_btn_2->setObjectName("Help_btn_2");
    connect(Help_btn_2, &QPushButton::clicked, this, [this] { HelpClick(); });
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(clear_details_btn);
    buttons->addStretch();
    buttons->addWidget(Help_btn_2);
    auto *note = new QLabel(tr("<i>A date or time appears on the card once you choose one.</i>"));
    note->setWordWrap(true);
    outer->addWidget(note);
    outer->addStretch();
    outer->addLayout(buttons);
    return details_box;
}

// ---------------------------------------------------------------- runs

int Invitation_Wizard::Open_Wnd()
{
    wizard_or_edit_photo = false;
    setWindowTitle(tr("Welcome to %1").arg(design_window::App_Name));
    photo_heading->setText(tr("<b>Step 2 of 2: your photo and your words</b>"));
    resize(kWizardSize);
    startOption = QStringLiteral("T");
    finished = {};
    browse_photo_btn->setEnabled(true);
    width_Stepper->setValue(kDefaultWidthMm);
    height_Stepper->setValue(kDefaultHeightMm);
    APP_path_label->setText(QDir::toNativeSeparators(resourceFolder));
    frames->clear();
    Show_Hide_Card_Start_Screen(true);
    Finish_Btn->hide();
    Close_Btn->hide();
    frames->setZoom(kFrameZoom);
    Load_and_fill_backgrounds();
    Reset_All();
    Load_Msg_And_Title();
    msg_title->setText(Get_Title());
    setMessageText(Get_Message());
    setResult(0);
    const int result = platform::runModal(*this);
    hide();
    return result;
}

int Invitation_Wizard::Open_Wnd_For_Edit_Photo(const QString &photoPath, const PhotoAdjustments &adjustments,
                                               bool browseAllowed)
{
    wizard_or_edit_photo = true;
    setWindowTitle(tr("Main Photo"));
    photo_heading->setText(tr("<b>The invitation's photo and its adjustments</b>"));
    resize(kEditSize);
    // Finish must not take the open-a-design way.
    startOption = QStringLiteral("W");
    finished = {};
    APP_path_label->setText(QDir::toNativeSeparators(resourceFolder));
    Show_Hide_Card_Start_Screen(false);
    showPhotoPage();
    button_box->hide();
    // Only the photo is edited here; the invitation's texts stay as placed.
    details_box->hide();
    Finish_Btn->show();
    Close_Btn->show();
    next_counter = 3;
    Image_Setting_Box->setEnabled(true);
    image_path->setText(photoPath);
    // The photo as its file holds it: the adjustments shown are applied to
    // it once, never on top of the main photo that already carries them.
    showAdjustments(adjustments);
    setPhoto(platform::Image::fromFile(photoPath));
    browse_photo_btn->setEnabled(browseAllowed);
    setResult(0);
    const int result = platform::runModal(*this);
    hide();
    return result;
}

// ---------------------------------------------------------------- pages

void Invitation_Wizard::Show_Hide_Card_Start_Screen(bool startPage)
{
    if (startPage) {
        next_counter = 0;
        auto_background_selection = false;
        photo_box->hide();
        second_box->hide();
        button_box->hide();
        Start_card_box->show();
        Reset_All();
        msg_title->setText(Get_Title());
        setMessageText(Get_Message());
    } else {
        photo_box->hide();
        Start_card_box->hide();
        second_box->show();
        button_box->show();
        Next_btn->setText(tr("Next >"));
    }
}

void Invitation_Wizard::showFramePage()
{
    Show_Hide_Card_Start_Screen(false);
}

void Invitation_Wizard::showPhotoPage()
{
    Start_card_box->hide();
    second_box->hide();
    photo_box->show();
    details_box->show();
    Next_btn->setText(tr("Finish"));
}

void Invitation_Wizard::OK_Click()
{
    if (startOption == QLatin1String("L")) {
        if (openDesign && openDesign() == 1)
            done(1);
        return;
    }
    switch (next_counter) {
    case 0:
        next_counter = 1;
        showFramePage();
        // The first frame is chosen for the user without moving on.
        auto_background_selection = true;
        frames->selectItem(0);
        auto_background_selection = false;
        next_counter = 2;
        return;
    case 2:
        if (selected_image.isEmpty() || !QFileInfo(selected_image).isFile()) {
            Show_MessageBox(tr("Please select frame."));
            return;
        }
        next_counter = 3;
        showPhotoPage();
        return;
    case 3: {
        const QString photo = Trim_Str(image_path->text());
        if (photo.isEmpty() || !QFileInfo(photo).isFile()) {
            Show_MessageBox(tr("Please select photo."));
            return;
        }
        finish();
        return;
    }
    default:
        return;
    }
}

void Invitation_Wizard::finish()
{
    finished.cardSizeMm = QSizeF(width_Stepper->value(), height_Stepper->value());
    finished.photo = m_photo;
    finished.answers.photo = Trim_Str(image_path->text());
    if (!wizard_or_edit_photo) {
        selected_title = msg_title->text();
        selected_msg = msg_value->toPlainText();
        finished.answers = {selected_title,     selected_msg,  from_value->text(), to_value->text(),
                            venue_value->text(), selected_date, selected_time,     selected_image,
                            finished.answers.photo};
    }
    done(1);
}

void Invitation_Wizard::Back_Click()
{
    if (next_counter == 2) {
        next_counter = 1;
        Show_Hide_Card_Start_Screen(true);
    } else if (next_counter == 3) {
        next_counter = 2;
        photo_box->hide();
        showFramePage();
    }
}

void Invitation_Wizard::CancelClick()
{
    Show_Hide_Card_Start_Screen(true);
}

void Invitation_Wizard::Close_Form_Click()
{
    done(0);
}

void Invitation_Wizard::Select_card_option(int option)
{
    static const char *const options[] = {"T", "W", "L"};
    if (option < 0 || option > 2)
        return;
    startOption = QLatin1String(options[option]);
    OK_Click();
}

void Invitation_Wizard::HelpClick()
{
    Open_Help_File();
}

void Invitation_Wizard::ExitClick()
{
    // The caller ends the program, after offering to save what is open.
    startOption.clear();
    done(0);
}

// ---------------------------------------------------------------- frames

void Invitation_Wizard::Load_and_fill_backgrounds()
{
    frames->listFolder(QDir(resourceFolder).filePath(QStringLiteral("Frames")),
                       [](const QString &fileName) { return fileName; });
}

void Invitation_Wizard::imageBrowserSelectionDidChange(const QString &path)
{
    selected_image = path;
    if (!auto_background_selection)
        OK_Click();
}

// ---------------------------------------------------------------- titles and messages

void Invitation_Wizard::Load_Msg_And_Title()
{
    const QDir folder(resourceFolder);
    Title_Array = profiles_wizards::readResourceLines(folder.filePath(QStringLiteral("Title.txt")));
    title_count = int(Title_Array.size());
    Message_Array = profiles_wizards::readResourceLines(folder.filePath(QStringLiteral("Message.txt")));
    message_count = int(Message_Array.size());
}

QString Invitation_Wizard::Get_Title() const
{
    return title_index >= 0 && title_index < title_count ? Title_Array[title_index] : QString();
}

QString Invitation_Wizard::Get_Message() const
{
    return message_index >= 0 && message_index < message_count ? Message_Array[message_index] : QString();
}

void Invitation_Wizard::Title_Back_Click()
{
    if (--title_index < 0)
        title_index = title_count - 1;
    msg_title->setText(Get_Title());
}

void Invitation_Wizard::Title_Next_Click()
{
    if (++title_index >= title_count)
        title_index = 0;
    msg_title->setText(Get_Title());
}

void Invitation_Wizard::Msg_Back_Click()
{
    if (--message_index < 0)
        message_index = message_count - 1;
    setMessageText(Get_Message());
}

void Invitation_Wizard::Msg_Next_Click()
{
    if (++message_index >= message_count)
        message_index = 0;
    setMessageText(Get_Message());
}

void Invitation_Wizard::setMessageText(const QString &text)
{
    m_settingMessage = true;
    msg_value->setPlainText(text);
    m_settingMessage = false;
}

// ---------------------------------------------------------------- details

void Invitation_Wizard::controlTextDidChange(QWidget *field)
{
    if (field == msg_value) {
        const QString text = msg_value->toPlainText();
        const QString kept = Limit_Str_Characters(text, kMessageLimit);
        if (kept.size() != text.size()) {
            const int cursor = std::min(msg_value->textCursor().position(), int(kept.size()));
            setMessageText(kept);
            QTextCursor at = msg_value->textCursor();
            at.setPosition(cursor);
            msg_value->setTextCursor(at);
        }
        return;
    }
    auto *line = qobject_cast<QLineEdit *>(field);
    if (!line)
        return;
    const int limit = line == msg_title ? kTitleLimit : line == venue_value ? kVenueLimit : kNameLimit;
    const QString kept = Limit_Str_Characters(line->text(), limit);
    if (kept.size() != line->text().size()) {
        const int cursor = std::min(line->cursorPosition(), int(kept.size()));
        line->setText(kept);
        line->setCursorPosition(cursor);
    }
    if ((line == from_value || line == to_value || line == venue_value) && !line->text().isEmpty())
        clear_details_btn->setEnabled(true);
}

void Invitation_Wizard::datePickerAction()
{
    selected_date = QLocale().toString(Date_picker->date(), QLocale::LongFormat);
    Date_ctrl_value->setText(selected_date);
    clear_details_btn->setEnabled(true);
}

void Invitation_Wizard::timePickerAction()
{
    selected_time = QLocale().toString(Time_picker->time(), QStringLiteral("h:mm AP"));
    Time_ctrl_value->setText(selected_time);
    clear_details_btn->setEnabled(true);
}

void Invitation_Wizard::Clear_Details_Click()
{
    if (Show_YES_NO_MessageBox(tr("Are you sure you want to clear details?")))
        Clear_Details();
}

void Invitation_Wizard::Clear_Details()
{
    from_value->clear();
    to_value->clear();
    venue_value->clear();
    {
        const QSignalBlocker blockDate(Date_picker);
        const QSignalBlocker blockTime(Time_picker);
        const QDateTime now = QDateTime::currentDateTime();
        Date_picker->setDate(now.date());
        Time_picker->setTime(now.time());
    }
    selected_date.clear();
    selected_time.clear();
    Date_ctrl_value->clear();
    Time_ctrl_value->clear();
    clear_details_btn->setEnabled(false);
}

void Invitation_Wizard::Reset_All()
{
    selected_image.clear();
    {
        // The next visit to the frame page selects its first frame afresh.
        const QSignalBlocker block(frames);
        frames->browser->clearSelection();
    }
    Reset_Image_Editing_Controls();
    setPhoto({});
    Image_Setting_Box->setEnabled(false);
    next_counter = 0;
    title_index = 0;
    message_index = 0;
    selected_title.clear();
    selected_msg.clear();
    selected_date.clear();
    selected_time.clear();
    msg_title->clear();
    setMessageText(QString());
    clear_details_btn->setEnabled(false);
    image_path->clear();
    Clear_Details();
}

// ---------------------------------------------------------------- photo

void Invitation_Wizard::Browse_Image_Click()
{
    const QString path = design_window::runFilePanel(
        this, false, tr("Photo"), tr("Pictures (*.jpg *.jpeg *.jpe *.jfif *.gif *.bmp *.png *.tif *.tiff)"));
    if (path.isEmpty())
        return;
    Image_Setting_Box->setEnabled(true);
    // A file that is no picture is refused before it can become the photo.
    if (!design_window::checkImageFile(path))
        return;
    image_path->setText(path);
    setPhoto(platform::Image::fromFile(path));
}

void Invitation_Wizard::Reset_Image_Editing_Controls()
{
    showAdjustments(PhotoAdjustments{});
}

void Invitation_Wizard::Image_reset_Button()
{
    if (!Show_YES_NO_MessageBox(tr("Are you sure you want to continue?")))
        return;
    Reset_Image_Editing_Controls();
    Update_Image_With_Settings();
}

void Invitation_Wizard::showAdjustments(const PhotoAdjustments &photo)
{
    m_photo = photo;
    for (const Adjuster &a : m_adjusters) {
        const QSignalBlocker block(a.slider);
        a.slider->setValue(int(std::lround(double(photo.*a.field) / a.factor)));
        a.value->setText(QString::number(double(photo.*a.field), 'f', a.factor < 1 ? 2 : 0));
    }
    const std::pair<QCheckBox *, bool> checks[] = {
        {Image_Gray_Scale_chk, photo.grayScale}, {Image_Sepia_chk, photo.sepia}, {Image_Invert_chk, photo.invert}};
    for (const auto &[box, on] : checks) {
        const QSignalBlocker block(box);
        box->setChecked(on);
    }
}

void Invitation_Wizard::adjusterMoved(const Adjuster &a)
{
    m_photo.*a.field = float(a.slider->value() * a.factor);
    a.value->setText(QString::number(double(m_photo.*a.field), 'f', a.factor < 1 ? 2 : 0));
    Update_Image_With_Settings();
}

void Invitation_Wizard::setPhoto(const platform::Image &photo)
{
    User_Picture = photo;
    m_working = {};
    m_workingScale = 1;
    if (!photo.isNull()) {
        const QImage pixels = photo.isVector() ? photo.toBitmap(144) : photo.bitmap();
        m_working = pixels;
        if (std::max(pixels.width(), pixels.height()) > kWorkingSide) {
            m_working = pixels.scaled(kWorkingSide, kWorkingSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            m_workingScale = double(m_working.width()) / pixels.width();
        }
    }
    Update_Image_With_Settings();
}

void Invitation_Wizard::Update_Image_With_Settings()
{
    if (m_working.isNull()) {
        Selected_picture->clear();
        return;
    }
    // The blur radius is in the photo's pixels: the smaller copy takes it
    // to scale, so the preview looks as the main photo will.
    PhotoAdjustments preview = m_photo;
    preview.blur = float(preview.blur * m_workingScale);
    const QImage adjusted = ImageProcesser::Get_Processed_Image(m_working, preview);
    if (adjusted.isNull()) {
        Selected_picture->clear();
        return;
    }
    Selected_picture->setPixmap(QPixmap::fromImage(adjusted.scaled(Selected_picture->size() - QSize(4, 4),
                                                                   Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}
