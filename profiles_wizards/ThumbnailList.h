#pragma once
// The thumbnail list that the template gallery and the clip-art and frame
// library share: the picture files of a folder as a zoomable grid of
// thumbnails, one of which the user picks. The user may reorder the
// thumbnails by dragging them inside the list (no file is moved or renamed);
// they cannot be dragged out of it, and the delete key removes nothing.
// Main thread only.

#include "drawing/MyImageObject.h"

#include <QList>
#include <QWidget>
#include <functional>

class QLabel;
class QListView;
class QSlider;

namespace profiles_wizards {

class ThumbnailModel;

class ThumbnailList : public QWidget {
    Q_OBJECT
public:
    // `initialZoom` from 0 (smallest thumbnails) to 1 (largest).
    explicit ThumbnailList(double initialZoom, QWidget *parent = nullptr);
    ~ThumbnailList() override;

    int numberOfItemsInImageBrowser() const;
    // The item at `index` (0-based).
    MyImageObject imageBrowser(int index) const;
    // Moves the items at `indexes` as one block, in their list order, to
    // `toIndex` of the list as it stood before the move (an index from 0 to
    // the number of items). Always true.
    bool imageBrowser(QList<int> indexes, int toIndex);
    // Appends an item for the trimmed path; an empty path adds nothing.
    void addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID);
    // Records the lowest selected item's path as the pick (picked());
    // without a selection the pick stays as it was.
    void imageBrowserSelectionDidChange();
    // Applies the slider's zoom to the thumbnails.
    void zoomSliderDidChange();

    // Lists the "png" and "jpg" files (extension in any case) of `folder`,
    // sorted by name, with the id `uid(fileName)` for each. A path that is
    // not a folder leaves the list as it was and answers false.
    bool listFolder(const QString &folder, const std::function<QString(const QString &)> &uid);
    // Empties the list.
    void clear();
    // Sets the slider and the thumbnails to `zoom` (0..1).
    void setZoom(double zoom);
    double zoom() const;
    // Selects the one item at `index` (nothing for an index outside the
    // list), which records its path as the pick.
    void selectItem(int index);
    // The index of the item whose path is `path`, or -1.
    int indexOfPath(const QString &path) const;

    // The browser view ("imageBrowser").
    QListView *browser = nullptr;
    QSlider *_zoom_slider = nullptr;
    QLabel *_zoom_label = nullptr;

signals:
    // The user (or selectItem) picked the picture at `path`.
    void picked(const QString &path);

private:
    ThumbnailModel *m_model = nullptr;
};

} // namespace profiles_wizards
