#pragma once
// The inspector's card page: the card's size (a preset row of the PVC or
// paper table in either orientation, or typed millimetres), its outline and
// number of sides, the fill and background picture of the side being edited,
// and the grid options. It shows a CardSettings value and reports each edit
// as a value; the design window applies it to the card records. The grid
// controls drive the grid directly; they sit in `grid_options`, which the
// grid options dialog shows.

#include "design_window/DesignFile.h"

#include <QColor>
#include <QSizeF>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class TVNGrid;

namespace design_window {

// What the card page shows.
struct CardSettings {
    CardChoice choice;
    QSizeF sizeMm;
    int shape = 0; // Card_Shape
    bool twoSided = false;
    // Of the side being edited.
    bool fill = false;
    QColor fillColor = Qt::white;
    QString backgroundPath;
    bool operator==(const CardSettings &) const = default;
};

} // namespace design_window

class CardPanel : public QWidget {
    Q_OBJECT
public:
    // The grid is not owned: it must outlive the panel.
    CardPanel(QWidget *parent, TVNGrid *grid);

    // Shows `settings` and the grid's state; sends nothing.
    void showCard(const design_window::CardSettings &settings);
    // The size fields show `mm`; sends nothing.
    void showSizeMm(QSizeF mm);
    // The grid controls show the grid's colour, spacing and whether it is
    // shown; sends nothing.
    void showGrid();

    // The grid takes the colour of Grid_clr, or the spacing of
    // Grid_Space_slidr, and is shown; or it is shown or hidden as
    // Show_hide_grid_chk says, with Grid_Opt_box enabled only while shown.
    void Grid_Clr_Changed();
    void Grid_Slider_Changed();
    void Grid_Show_Hide_Changed();

    // size
    QComboBox *card_category = nullptr;
    QListWidget *card_size_list = nullptr;
    QComboBox *card_orientation = nullptr;
    QDoubleSpinBox *card_width_mm = nullptr;
    QDoubleSpinBox *card_height_mm = nullptr;
    // outline and sides
    QComboBox *card_shape_combo = nullptr;
    QComboBox *card_sides_combo = nullptr;
    // the edited side's background
    QCheckBox *card_fill_chk = nullptr;
    QPushButton *card_fill_color_btn = nullptr;
    QLineEdit *card_bg_path = nullptr;
    QPushButton *card_bg_browse = nullptr;
    QPushButton *card_bg_clear = nullptr;
    QPushButton *card_bg_frames = nullptr;
    // grid: the check box and the options box, inside grid_options
    QWidget *grid_options = nullptr;
    QCheckBox *Show_hide_grid_chk = nullptr;
    QGroupBox *Grid_Opt_box = nullptr;
    QPushButton *Grid_clr = nullptr;
    QSlider *Grid_Space_slidr = nullptr;
    QCheckBox *snap_grid_chk = nullptr;

signals:
    // A preset row, an orientation or a typed size: the choice (row -1 for a
    // typed size) and the card's size in millimetres.
    void sizeChosen(const design_window::CardChoice &choice, QSizeF mm);
    void shapeChosen(int shape);
    void sidesChosen(bool twoSided);
    void fillChosen(bool fill, const QColor &color);
    // A picture file that was checked; empty when the picture is cleared.
    void backgroundChosen(const QString &path);
    void gridShowingChanged(bool shown);
    // The frame library is asked for a background picture.
    void frameLibraryRequested();

private:
    void categoryChanged();
    void sizeRowChanged();
    void sizeFieldsChanged();
    void chooseFillColor();
    void browseBackground();
    void fillSizeList();

    TVNGrid *m_grid;
    design_window::CardSettings m_shown;
    bool m_filling = false;
};
