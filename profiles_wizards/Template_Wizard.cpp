#include "profiles_wizards/Template_Wizard.h"

#include "design_window/CardSizes.h"
#include "design_window/SingleInstance.h"
#include "design_window/DesignHub.h"
#include "platform/Helpers.h"
#include "platform/ModalRun.h"
#include "profiles_wizards/CardSizeList.h"
#include "profiles_wizards/Export_Template.h"
#include "profiles_wizards/TemplateFiles.h"
#include "profiles_wizards/ThumbnailList.h"
#include "profiles_wizards/WizardGlobals.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace profiles_wizards;

namespace {

constexpr double kInitialZoom = 0.6;
// Sizes closer than this (in millimetres) are the same card size.
constexpr double kSameSizeMm = 0.01;

} // namespace

Template_Wizard::Template_Wizard()
{
    setObjectName("Template_Wizard");
    setWindowTitle(tr("Templates"));
    applyDialogBackground(*this);

    thumbnails = new ThumbnailList(kInitialZoom);
    connect(thumbnails, &ThumbnailList::picked, this, [this](const QString &path) { picked(path); });
    sizes = new CardSizeList;
    category_label = new QLabel(tr("Show:"));
    category_label->setObjectName("category_label");
    cat_cmbo_bx = new QComboBox;
    cat_cmbo_bx->setObjectName("cat_cmbo_bx");
    cat_cmbo_bx->addItems({tr("Built-in Templates"), tr("My Templates")});
    connect(cat_cmbo_bx, &QComboBox::activated, this, [this] { comboBoxSelectionDidChange(); });

    auto button = [](const QString &text, const char *name) {
        auto *b = new QPushButton(text);
        b->setObjectName(name);
        return b;
    };
    Delete_temp_btn = button(tr("Delete"), "Delete_temp_btn");
    Copy_temp_btn = button(tr("Copy"), "Copy_temp_btn");
    Rename_temp_btn = button(tr("Rename..."), "Rename_temp_btn");
    ok_btn = button(tr("OK"), "ok_btn");
    ok_btn->setDefault(true);
    cancel_btn = button(tr("Cancel"), "cancel_btn");
    user_profile_btn = button(tr("User Profile..."), "user_profile_btn");
    user_profile_btn->setAutoDefault(false);
    connect(user_profile_btn, &QPushButton::clicked, this, [this] { User_Profile_Click(); });
    connect(Delete_temp_btn, &QPushButton::clicked, this, [this] { Delete_Template_Click(); });
    connect(Copy_temp_btn, &QPushButton::clicked, this, [this] { Copy_Templatee_Click(); });
    connect(Rename_temp_btn, &QPushButton::clicked, this, [this] { Rename_Template_Click(); });
    connect(ok_btn, &QPushButton::clicked, this, [this] { OK_Click(); });
    connect(cancel_btn, &QPushButton::clicked, this, [this] { CancelClick(); });
    Export_Template_Window = new Export_Template(this);

    auto *top = new QHBoxLayout;
    top->addWidget(category_label);
    top->addWidget(cat_cmbo_bx);
    top->addStretch();
    top->addWidget(Delete_temp_btn);
    top->addWidget(Copy_temp_btn);
    top->addWidget(Rename_temp_btn);
    auto *left = new QVBoxLayout;
    left->addLayout(top);
    left->addWidget(thumbnails, 1);
    auto *body = new QHBoxLayout;
    body->addLayout(left, 1);
    sizes->setFixedWidth(260);
    body->addWidget(sizes);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(user_profile_btn);
    buttons->addStretch();
    buttons->addWidget(cancel_btn);
    buttons->addWidget(ok_btn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    resize(900, 560);
}

Template_Wizard &Template_Wizard::defaultInstance()
{
    return design_window::singleInstance<Template_Wizard>();
}

int Template_Wizard::Open_Template_Window()
{
    cat_cmbo_bx->setCurrentIndex(0);
    Show_Hide_Template_Buttons(true);
    sizes->reset();
    m_templateMm.reset();
    profile_confirmed = false;
    thumbnails->clear();
    thumbnails->setZoom(kInitialZoom);
    Fill_Templates();
    setResult(0);
    const int result = platform::runModal(*this, true);
    hide();
    return result;
}

void Template_Wizard::Fill_Templates()
{
    Show_NSLog_Message(templatesFolder());
    thumbnails->listFolder(templatesFolder(), [](const QString &entry) { return entry; });
    dropUnlistedPick();
    if (thumbnails->numberOfItemsInImageBrowser() > 0)
        thumbnails->selectItem(0);
}

void Template_Wizard::Fill_Templates_User_Defined()
{
    thumbnails->listFolder(userTemplatesFolder(), [](const QString &) {
        return QStringLiteral("TEMP%1.png").arg(User_Defined_File++);
    });
    dropUnlistedPick();
}

void Template_Wizard::dropUnlistedPick()
{
    // A pick the list does not show would act on a template the user cannot
    // see (a built-in one while the user's own are listed).
    if (thumbnails->indexOfPath(Selected_Template_Path) < 0) {
        Selected_Template_Path.clear();
        m_templateMm.reset();
    }
}

void Template_Wizard::picked(const QString &path)
{
    Selected_Template_Path = path;
    m_templateMm.reset();
    // The size list shows the picked template's card.
    if (std::optional<design_window::Design> design = design_window::loadDesignFile(designFileOf(path))) {
        const QSizeF pt = design->frontCard.Card_Size;
        const QSizeF mm(design_window::Points_to_MM_Convert(pt.width()), design_window::Points_to_MM_Convert(pt.height()));
        sizes->showChoice(design->card, mm);
        m_templateMm = sizes->sizeInMillimetres();
    } else {
        // No card to show: the list shows no template's size.
        sizes->reset();
    }
}

std::optional<Template_Wizard::CardSize> Template_Wizard::chosenCardSize() const
{
    if (!m_templateMm)
        return std::nullopt;
    const QSizeF mm = sizes->sizeInMillimetres();
    if (std::abs(mm.width() - m_templateMm->width()) < kSameSizeMm
        && std::abs(mm.height() - m_templateMm->height()) < kSameSizeMm)
        return std::nullopt;
    return CardSize{sizes->choice(), mm};
}

bool Template_Wizard::hasValidPick(bool userOnly) const
{
    const QFileInfo pick(Selected_Template_Path);
    bool valid = !Selected_Template_Path.isEmpty() && pick.isFile();
    if (valid && userOnly)
        valid = pick.absolutePath() == QFileInfo(userTemplatesFolder()).absoluteFilePath();
    if (!valid)
        Show_MessageBox(tr("Please select template."));
    return valid;
}

void Template_Wizard::OK_Click()
{
    if (!hasValidPick(false))
        return;
    Selected_Template_Path = designFileOf(Selected_Template_Path);
    done(1);
}

void Template_Wizard::CancelClick()
{
    Selected_Template_Path.clear();
    m_templateMm.reset();
    done(0);
}

void Template_Wizard::Show_Hide_Template_Buttons(bool hidden)
{
    Delete_temp_btn->setHidden(hidden);
    Copy_temp_btn->setHidden(hidden);
    Rename_temp_btn->setHidden(hidden);
}

void Template_Wizard::comboBoxSelectionDidChange()
{
    if (cat_cmbo_bx->currentIndex() == 0) {
        Fill_Templates();
        Show_Hide_Template_Buttons(true);
    } else {
        Fill_Templates_User_Defined();
        Show_Hide_Template_Buttons(false);
    }
}

void Template_Wizard::relistUserTemplates(const QString &path)
{
    Fill_Templates_User_Defined();
    if (!path.isEmpty())
        thumbnails->selectItem(thumbnails->indexOfPath(path));
}

void Template_Wizard::Delete_Template_Click()
{
    if (!hasValidPick(true) || !Show_YES_NO_MessageBox(tr("Do you want to delete this template?")))
        return;
    deleteTemplate(Selected_Template_Path);
    relistUserTemplates();
}

void Template_Wizard::Copy_Templatee_Click()
{
    if (!hasValidPick(true) || !Show_YES_NO_MessageBox(tr("Do you want to make copy of this template?")))
        return;
    QString copy, error;
    if (!copyTemplate(Selected_Template_Path, &copy, &error)) {
        Show_MessageBox(tr("The template could not be copied.\n%1").arg(error));
        return;
    }
    relistUserTemplates(copy);
}

void Template_Wizard::Rename_Template_Click()
{
    if (!hasValidPick(true))
        return;
    const QString oldName = QFileInfo(Selected_Template_Path).completeBaseName();
    Export_Template_Window->userFolder = userTemplatesFolder();
    Export_Template_Window->template_name->setText(oldName);
    Export_Template_Window->template_passed->setText(oldName);
    if (Export_Template_Window->Open_Wnd() != 1)
        return;
    const QString newBase = QDir(userTemplatesFolder()).filePath(export_template_name);
    QString error;
    if (!renameTemplate(Selected_Template_Path, newBase, &error)) {
        Show_MessageBox(tr("The template could not be renamed.\n%1").arg(error));
        return;
    }
    relistUserTemplates(newBase + QStringLiteral(".png"));
}

void Template_Wizard::User_Profile_Click()
{
    if (design_window::DesignHub *main = design_window::Main_App_wnd)
        profile_confirmed |= main->Open_User_Profile_Window(false, QString()) == 1;
}
