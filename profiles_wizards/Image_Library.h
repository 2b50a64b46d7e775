#pragma once
// The clip-art and frame library: a picker over the resource folder's clip
// art ("LibraryImage", one subfolder per category, mode "C") or its frames
// ("Frames", any other mode). The picked file's path is the result.
// Main thread only.

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace profiles_wizards {
class ThumbnailList;
}

class Image_Library : public QDialog {
    Q_OBJECT
public:
    Image_Library();
    static Image_Library &defaultInstance();

    // "C" clip art, anything else frames; set before opening.
    QString control_or_BG = QStringLiteral("C");
    // The resource folder; set before opening.
    QString resourceFolder;
    // The picked file's full path: empty when the library opens, the pick
    // after OK, empty after Cancel.
    QString selected_image;

    // Runs the library: 1 for OK with `selected_image` set, 0 for Cancel.
    int Open_Library_Window();
    // Lists the frames.
    void Load_and_fill_backgrounds();
    // Fills the category box with the subfolders of "LibraryImage", sorted,
    // shown capitalised; each item keeps its folder's own name.
    void Fill_Combobox();
    // Lists the clip art of the chosen category.
    void comboBoxSelectionDidChange();
    void OK_Clicked();
    void Cancel_Clicked();
    // Escape and the window's close button cancel.
    void reject() override { Cancel_Clicked(); }

    profiles_wizards::ThumbnailList *thumbnails = nullptr;
    QComboBox *cat_cmbo_bx = nullptr;
    QLabel *category_label = nullptr;
    QPushButton *ok_btn = nullptr;
    QPushButton *cancel_btn = nullptr;
};
