#include "profiles_wizards/Image_Library.h"

#include "design_window/SingleInstance.h"
#include "platform/Helpers.h"
#include "platform/ModalRun.h"
#include "profiles_wizards/ThumbnailList.h"
#include "profiles_wizards/WizardGlobals.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr double kInitialZoom = 0.4;

// Each word's first letter in upper case and the others in lower case, as
// category names are shown.
QString capitalised(const QString &name)
{
    QString out = name.toLower();
    bool wordStart = true;
    for (QChar &c : out) {
        if (c.isSpace()) {
            wordStart = true;
        } else if (wordStart) {
            c = c.toUpper();
            wordStart = false;
        }
    }
    return out;
}

QString fileNameAsId(const QString &entry)
{
    return entry;
}

} // namespace

Image_Library::Image_Library()
{
    setObjectName("Image_Library");
    profiles_wizards::applyDialogBackground(*this);
    thumbnails = new profiles_wizards::ThumbnailList(kInitialZoom);
    connect(thumbnails, &profiles_wizards::ThumbnailList::picked, this, [this](const QString &path) {
        selected_image = path;
    });
    category_label = new QLabel(tr("Category:"));
    category_label->setObjectName("category_label");
    cat_cmbo_bx = new QComboBox;
    cat_cmbo_bx->setObjectName("cat_cmbo_bx");
    cat_cmbo_bx->setMinimumWidth(180);
    connect(cat_cmbo_bx, &QComboBox::activated, this, [this] { comboBoxSelectionDidChange(); });
    ok_btn = new QPushButton(tr("OK"));
    ok_btn->setObjectName("ok_btn");
    ok_btn->setDefault(true);
    cancel_btn = new QPushButton(tr("Cancel"));
    cancel_btn->setObjectName("cancel_btn");
    connect(ok_btn, &QPushButton::clicked, this, [this] { OK_Clicked(); });
    connect(cancel_btn, &QPushButton::clicked, this, [this] { Cancel_Clicked(); });

    auto *top = new QHBoxLayout;
    top->addWidget(category_label);
    top->addWidget(cat_cmbo_bx);
    top->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_btn);
    buttons->addWidget(ok_btn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(thumbnails, 1);
    layout->addLayout(buttons);
    resize(720, 520);
}

Image_Library &Image_Library::defaultInstance()
{
    return design_window::singleInstance<Image_Library>();
}

int Image_Library::Open_Library_Window()
{
    // Each opening starts without a pick, so one mode never hands back what
    // was picked in the other.
    selected_image.clear();
    thumbnails->clear();
    thumbnails->setZoom(kInitialZoom);
    const bool clipArt = control_or_BG == QLatin1String("C");
    setWindowTitle(clipArt ? tr("Image Library") : tr("Frame Library"));
    category_label->setVisible(clipArt);
    cat_cmbo_bx->setVisible(clipArt);
    if (clipArt) {
        Fill_Combobox();
        if (cat_cmbo_bx->count() > 0)
            comboBoxSelectionDidChange();
    } else {
        Load_and_fill_backgrounds();
    }
    setResult(0);
    const int result = platform::runModal(*this, true);
    hide();
    return result;
}

void Image_Library::Load_and_fill_backgrounds()
{
    thumbnails->listFolder(QDir(resourceFolder).filePath(QStringLiteral("Frames")), fileNameAsId);
}

void Image_Library::Fill_Combobox()
{
    cat_cmbo_bx->clear();
    const QDir library(QDir(resourceFolder).filePath(QStringLiteral("LibraryImage")));
    if (!QFileInfo(library.path()).isDir())
        return;
    const QStringList folders =
        library.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QString &folder : folders)
        cat_cmbo_bx->addItem(capitalised(folder), folder);
    if (cat_cmbo_bx->count() > 0)
        cat_cmbo_bx->setCurrentIndex(0);
}

void Image_Library::comboBoxSelectionDidChange()
{
    const QString folder = cat_cmbo_bx->currentData().toString();
    if (folder.isEmpty())
        return;
    thumbnails->listFolder(QDir(resourceFolder).filePath(QStringLiteral("LibraryImage/") + folder), fileNameAsId);
}

void Image_Library::OK_Clicked()
{
    if (selected_image.isEmpty() || !QFileInfo(selected_image).isFile()) {
        Show_MessageBox(tr("Please select image."));
        return;
    }
    done(1);
}

void Image_Library::Cancel_Clicked()
{
    selected_image.clear();
    done(0);
}
