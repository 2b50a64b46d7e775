#include "design_window/ImagePanel.h"

#include "drawing/DrawingHost.h"
#include "platform/Helpers.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

using namespace design_window;

ImagePanel::ImagePanel(QWidget *parent, TVNDocument *document)
    : ObjectPanel(parent, document, "image_panel", tr("Image"))
{
    image_path = named(new QLineEdit, "image_path");
    connect(image_path, &QLineEdit::editingFinished, this, [this] {
        if (image_path->isModified())
            applyImagePath(image_path->text());
    });
    image_browse = named(new QPushButton(tr("Browse...")), "image_browse");
    connect(image_browse, &QPushButton::clicked, this, [this] { browse(); });
    form()->addRow(tr("File:"), image_path);
    image_library = named(new QPushButton(tr("Library...")), "image_library");
    connect(image_library, &QPushButton::clicked, this, [this] { emit libraryRequested(); });
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(image_browse);
    buttons->addWidget(image_library);
    buttons->addStretch();
    form()->addRow(QString(), buttons);
    edit_main_photo = named(new QPushButton(tr("Edit Photo...")), "edit_main_photo");
    edit_main_photo->setToolTip(tr("Adjust the invitation's main photo"));
    connect(edit_main_photo, &QPushButton::clicked, this, [this] { emit mainPhotoEditRequested(); });
    form()->addRow(QString(), edit_main_photo);
}

bool ImagePanel::showGraphic(const GraphicPtr &graphic)
{
    m_image = std::dynamic_pointer_cast<TVNImage>(graphic);
    if (m_image)
        showPath();
    edit_main_photo->setVisible(m_image && m_image->control_ID.trimmed() == QLatin1String("PARTY_IMAGE"));
    return bool(m_image);
}

void ImagePanel::showPath()
{
    image_path->setText(m_image->filePath());
    image_path->setModified(false);
}

void ImagePanel::browse()
{
    if (!m_image)
        return;
    const QString path =
        runFilePanel(this, false, tr("Image"), tr("Images (*.png *.jpg *.jpeg *.bmp *.gif *.tif *.tiff *.svg)"));
    if (!path.isEmpty())
        applyImagePath(path);
}

void ImagePanel::applyImagePath(const QString &path)
{
    if (!m_image || !checkFilePath(path))
        return;
    // Taking a file that is no picture would also replace the main photo
    // with nothing.
    if (checkImageFile(path)) {
        emit mainPhotoChosen(Trim_Str(path));
        editGraphic(m_image, tr("Image"), [&] { m_image->setFilePath(Trim_Str(path), drawing::host().Main_Photo_image()); });
    }
    showPath();
}
