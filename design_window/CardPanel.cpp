#include "design_window/CardPanel.h"

#include "design_window/CardSizes.h"
#include "design_window/ColorButton.h"
#include "design_window/PanelSupport.h"
#include "drawing/canvas/TVNGrid.h"
#include "platform/Helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QSlider>
#include <cmath>

using namespace design_window;

CardPanel::CardPanel(QWidget *parent, TVNGrid *grid)
    : QWidget(parent)
    , m_grid(grid)
{
    setObjectName("card_panel");
    setWindowTitle(tr("Card"));
    QFormLayout *form = newPageForm(this);

    card_category = named(new QComboBox, "card_category");
    card_category->addItems({kPvcCategory, kPaperCategory});
    connect(card_category, &QComboBox::activated, this, [this] { categoryChanged(); });
    form->addRow(tr("Category:"), card_category);

    card_size_list = named(new QListWidget, "card_size_list");
    card_size_list->setMaximumHeight(130);
    connect(card_size_list, &QListWidget::currentRowChanged, this, [this] { sizeRowChanged(); });
    form->addRow(tr("Size:"), card_size_list);

    card_orientation = named(new QComboBox, "card_orientation");
    card_orientation->addItems({tr("Horizontal"), tr("Vertical")});
    connect(card_orientation, &QComboBox::activated, this, [this] { sizeRowChanged(); });
    form->addRow(tr("Orientation:"), card_orientation);

    auto makeLength = [this](const char *name) {
        auto *spin = newCardLengthField(name);
        spin->setKeyboardTracking(false);
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this] { sizeFieldsChanged(); });
        return spin;
    };
    card_width_mm = makeLength("card_width_mm");
    card_height_mm = makeLength("card_height_mm");
    form->addRow(tr("Width:"), card_width_mm);
    form->addRow(tr("Height:"), card_height_mm);

    card_shape_combo = named(new QComboBox, "card_shape_combo");
    card_shape_combo->addItems({tr("Rectangle"), tr("Rounded Rectangle"), tr("Oval")});
    connect(card_shape_combo, &QComboBox::activated, this, [this](int shape) {
        m_shown.shape = shape;
        emit shapeChosen(shape);
    });
    form->addRow(tr("Outline:"), card_shape_combo);

    card_sides_combo = named(new QComboBox, "card_sides_combo");
    card_sides_combo->addItems({tr("One side"), tr("Two sides")});
    connect(card_sides_combo, &QComboBox::activated, this, [this](int row) {
        m_shown.twoSided = row == 1;
        emit sidesChosen(m_shown.twoSided);
    });
    form->addRow(tr("Sides:"), card_sides_combo);

    card_fill_chk = named(new QCheckBox(tr("Fill")), "card_fill_chk");
    connect(card_fill_chk, &QCheckBox::toggled, this, [this](bool on) {
        if (m_filling)
            return;
        m_shown.fill = on;
        emit fillChosen(on, m_shown.fillColor);
    });
    card_fill_color_btn = named(new QPushButton, "card_fill_color_btn");
    connect(card_fill_color_btn, &QPushButton::clicked, this, [this] { chooseFillColor(); });
    auto *fillRow = new QHBoxLayout;
    fillRow->addWidget(card_fill_chk);
    fillRow->addWidget(card_fill_color_btn);
    fillRow->addStretch();
    form->addRow(tr("Background:"), fillRow);

    card_bg_path = named(new QLineEdit, "card_bg_path");
    card_bg_path->setReadOnly(true);
    card_bg_browse = named(new QPushButton(tr("Browse...")), "card_bg_browse");
    connect(card_bg_browse, &QPushButton::clicked, this, [this] { browseBackground(); });
    card_bg_clear = named(new QPushButton(tr("Clear")), "card_bg_clear");
    connect(card_bg_clear, &QPushButton::clicked, this, [this] { emit backgroundChosen(QString()); });
    card_bg_frames = named(new QPushButton(tr("Frames...")), "card_bg_frames");
    connect(card_bg_frames, &QPushButton::clicked, this, [this] { emit frameLibraryRequested(); });
    auto *bgRow = new QHBoxLayout;
    bgRow->addWidget(card_bg_browse);
    bgRow->addWidget(card_bg_clear);
    form->addRow(tr("Image:"), card_bg_path);
    form->addRow(QString(), bgRow);
    form->addRow(QString(), card_bg_frames);

    Show_hide_grid_chk = named(new QCheckBox(tr("Show grid")), "Show_hide_grid_chk");
    connect(Show_hide_grid_chk, &QCheckBox::clicked, this, [this] { Grid_Show_Hide_Changed(); });
    Grid_Opt_box = named(new QGroupBox, "Grid_Opt_box");
    auto *gridForm = new QFormLayout(Grid_Opt_box);
    Grid_clr = named(new QPushButton, "Grid_clr");
    connect(Grid_clr, &QPushButton::clicked, this, [this] {
        const QColor c = chooseColor(this, buttonColor(Grid_clr));
        if (c.isValid()) {
            setButtonColor(Grid_clr, c);
            Grid_Clr_Changed();
        }
    });
    Grid_Space_slidr = named(new QSlider(Qt::Horizontal), "Grid_Space_slidr");
    Grid_Space_slidr->setRange(2, 72);
    connect(Grid_Space_slidr, &QSlider::valueChanged, this, [this] {
        if (!m_filling)
            Grid_Slider_Changed();
    });
    snap_grid_chk = named(new QCheckBox(tr("Snap to grid")), "snap_grid_chk");
    gridForm->addRow(tr("Colour:"), Grid_clr);
    gridForm->addRow(tr("Spacing:"), Grid_Space_slidr);
    gridForm->addRow(snap_grid_chk);
    // Shown by the grid options dialog, not on the card page.
    grid_options = named(new QWidget(this), "grid_options");
    grid_options->hide();
    auto *gridLayout = new QVBoxLayout(grid_options);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->addWidget(Show_hide_grid_chk);
    gridLayout->addWidget(Grid_Opt_box);
}

void CardPanel::showCard(const CardSettings &settings)
{
    const bool wasFilling = m_filling;
    m_filling = true;
    m_shown = settings;
    card_category->setCurrentIndex(settings.choice.category == kPvcCategory ? 0 : 1);
    fillSizeList();
    card_orientation->setCurrentIndex(settings.choice.orientation == QLatin1String("V") ? 1 : 0);
    showSizeMm(settings.sizeMm);
    card_shape_combo->setCurrentIndex(settings.shape);
    card_sides_combo->setCurrentIndex(settings.twoSided ? 1 : 0);
    card_fill_chk->setChecked(settings.fill);
    setButtonColor(card_fill_color_btn, settings.fillColor);
    card_bg_path->setText(settings.backgroundPath);
    showGrid();
    m_filling = wasFilling;
}

void CardPanel::showGrid()
{
    const bool wasFilling = m_filling;
    m_filling = true;
    Show_hide_grid_chk->setChecked(m_grid->isAlwaysShown());
    setButtonColor(Grid_clr, m_grid->color());
    Grid_Space_slidr->setValue(int(std::lround(m_grid->spacing())));
    SetObjEnabled(Grid_Opt_box, m_grid->isAlwaysShown());
    m_filling = wasFilling;
}

void CardPanel::showSizeMm(QSizeF mm)
{
    m_shown.sizeMm = mm;
    const QSignalBlocker blockW(card_width_mm), blockH(card_height_mm);
    card_width_mm->setValue(mm.width());
    card_height_mm->setValue(mm.height());
    // The orientation is the card's own: taller than wide is vertical,
    // whatever row or wizard the size came from. A square card keeps what
    // the choice says.
    if (mm.width() != mm.height()) {
        const QSignalBlocker block(card_orientation);
        card_orientation->setCurrentIndex(mm.height() > mm.width() ? 1 : 0);
    }
}

void CardPanel::fillSizeList()
{
    const QSignalBlocker block(card_size_list);
    card_size_list->clear();
    card_size_list->addItems(m_shown.choice.category == kPvcCategory ? pvcCardNames() : paperCardNames());
    card_size_list->setCurrentRow(m_shown.choice.sizeIndex);
}

void CardPanel::categoryChanged()
{
    if (m_filling)
        return;
    m_shown.choice.category = card_category->currentIndex() == 0 ? kPvcCategory : kPaperCategory;
    m_shown.choice.sizeIndex = 0;
    fillSizeList();
    sizeRowChanged();
}

void CardPanel::sizeRowChanged()
{
    if (m_filling)
        return;
    CardChoice &choice = m_shown.choice;
    choice.sizeIndex = card_size_list->currentRow();
    choice.orientation = card_orientation->currentIndex() == 1 ? QStringLiteral("V") : QStringLiteral("H");
    QSizeF mm;
    if (choice.sizeIndex >= 0) {
        mm = Get_My_card_Size(choice.category, choice.orientation, choice.sizeIndex);
    } else {
        // A custom size: turning the card swaps its sides.
        mm = QSizeF(cardLengthMeant(m_shown.sizeMm.width(), card_width_mm),
                    cardLengthMeant(m_shown.sizeMm.height(), card_height_mm));
        const bool portrait = mm.height() > mm.width();
        if (portrait != (choice.orientation == QLatin1String("V")))
            mm.transpose();
    }
    emit sizeChosen(choice, mm);
}

void CardPanel::sizeFieldsChanged()
{
    if (m_filling)
        return;
    // Typed sizes are custom: no preset row is chosen any more.
    m_shown.choice.sizeIndex = -1;
    {
        const QSignalBlocker block(card_size_list);
        card_size_list->setCurrentRow(-1);
    }
    // The side the user did not touch keeps its exact length.
    emit sizeChosen(m_shown.choice, QSizeF(cardLengthMeant(m_shown.sizeMm.width(), card_width_mm),
                                           cardLengthMeant(m_shown.sizeMm.height(), card_height_mm)));
}

void CardPanel::chooseFillColor()
{
    const QColor c = chooseColor(this, m_shown.fillColor);
    if (!c.isValid())
        return;
    m_shown.fill = true;
    m_shown.fillColor = c;
    {
        const QSignalBlocker block(card_fill_chk);
        card_fill_chk->setChecked(true);
    }
    setButtonColor(card_fill_color_btn, c);
    emit fillChosen(true, c);
}

void CardPanel::browseBackground()
{
    const QString path =
        runFilePanel(this, false, tr("Background Image"), tr("Images (*.png *.jpg *.jpeg *.bmp *.gif *.tif *.tiff)"));
    if (path.isEmpty() || !checkFilePath(path) || !checkImageFile(path))
        return;
    emit backgroundChosen(path);
}

void CardPanel::Grid_Clr_Changed()
{
    m_grid->setColor(buttonColor(Grid_clr));
    m_grid->setAlwaysShown(true);
}

void CardPanel::Grid_Slider_Changed()
{
    m_grid->setSpacing(Grid_Space_slidr->value());
    m_grid->setAlwaysShown(true);
}

void CardPanel::Grid_Show_Hide_Changed()
{
    const bool on = Show_hide_grid_chk->isChecked();
    m_grid->setAlwaysShown(on);
    SetObjEnabled(Grid_Opt_box, on);
    emit gridShowingChanged(on);
}
