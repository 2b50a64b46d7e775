#pragma once
// The design window's frame browser: the frame pictures of the resource
// folder as thumbnails, one click making a frame the front card's
// background. The thumbnail list it is built on belongs to the wizards'
// layer, which supplies it through WizardWindows::newFrameBrowser(); the
// design window only places it and listens. Main thread only.

#include "drawing/MyImageObject.h"

#include <QList>
#include <QWidget>

class FrameBrowser : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // Shows the "png" and "jpg" files of `folder`, sorted by name, each
    // named and identified by its file name. A path that is no folder
    // leaves the list as it was and answers false.
    virtual bool listFolder(const QString &folder) = 0;
    virtual int numberOfItemsInImageBrowser() const = 0;
    // The item at `index` (0-based).
    virtual MyImageObject imageBrowser(int index) const = 0;
    // Moves the items at `indexes`, in their order, to `toIndex` of the list
    // as it stood before the move. Always true.
    virtual bool imageBrowser(QList<int> indexes, int toIndex) = 0;
    // Appends an item for the trimmed path; an empty path adds nothing.
    virtual void addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID) = 0;
    // Selects the one item at `index`, as a click would.
    virtual void selectItem(int index) = 0;

signals:
    // The selection changed; `path` is the first selected item's.
    void imageBrowserSelectionDidChange(const QString &path);
};
