#pragma once
// The inspector's page for an image object: its picture file, typed or
// chosen with the open panel. A file that names no picture is refused with a
// message and the object keeps its picture.

#include "design_window/PanelSupport.h"

class QLineEdit;
class QPushButton;

class ImagePanel : public ObjectPanel {
    Q_OBJECT
public:
    ImagePanel(QWidget *parent, TVNDocument *document);
    bool showGraphic(const GraphicPtr &graphic) override;
    // The image shown takes the picture at `path` (trimmed), when it is one.
    void applyImagePath(const QString &path);

    QLineEdit *image_path = nullptr;
    QPushButton *image_browse = nullptr;
    QPushButton *image_library = nullptr;
    // Shown for the main photo's graphic ("PARTY_IMAGE") only.
    QPushButton *edit_main_photo = nullptr;

signals:
    // Any image's new picture is the main photo as well; sent before the
    // image takes the path, so that the main photo's own graphic shows it.
    void mainPhotoChosen(const QString &path);
    // The clip-art library is asked for the image's picture.
    void libraryRequested();
    // The main photo is to be edited with its adjustments.
    void mainPhotoEditRequested();

private:
    void browse();
    void showPath();

    std::shared_ptr<TVNImage> m_image;
};
