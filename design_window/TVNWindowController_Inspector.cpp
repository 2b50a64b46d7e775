// The property inspector of the design window: the card panel, the text,
// image and barcode panels and the data-source controls they share.
#include "design_window/CardSizes.h"
#include "design_window/ColorButton.h"
#include "design_window/Globals.h"
#include "design_window/LongSmsDlg.h"
#include "design_window/TVNWindowController.h"
#include "drawing/TVNDocument.h"
#include "drawing/TVNGraphicView.h"
#include "drawing/TVNGrid.h"
#include "platform/Helpers.h"
#include "platform/ModalRun.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QVBoxLayout>

using namespace design_window;

namespace {

enum Page { CardPage = 0, TextPage, ImagePage, BarcodePage };

const Qt::Alignment kAlignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};

// Runs the colour panel (scripted in tests); an invalid colour when cancelled.
QColor chooseColor(QWidget *parent, const QColor &initial)
{
    QColorDialog dialog(initial, parent);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setOption(QColorDialog::ShowAlphaChannel);
    if (platform::runModal(dialog) != 1)
        return QColor();
    return dialog.selectedColor();
}

// A page of the inspector named `name`: a form at the top, empty space
// below. The page's form comes back in `form`.
QWidget *newPage(const char *name, QFormLayout *&form)
{
    auto *page = new QWidget;
    page->setObjectName(name);
    auto *outer = new QVBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    form = new QFormLayout;
    outer->addLayout(form);
    outer->addStretch();
    return page;
}

QString recordNumberTitle()
{
    return QStringLiteral("Record No.");
}

} // namespace

QString TVNWindowController::runFilePanel(bool save, const QString &title, const QString &filter,
                                          const QString &suffix)
{
    QFileDialog panel(this, title, QString(), filter);
    panel.setOption(QFileDialog::DontUseNativeDialog);
    panel.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    panel.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!suffix.isEmpty())
        panel.setDefaultSuffix(suffix);
    if (platform::runModal(panel) != 1)
        return QString();
    const QStringList files = panel.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

void TVNWindowController::buildInspector()
{
    inspector_pages->addWidget(buildCardPanel());
    inspector_pages->addWidget(buildTextPanel());
    inspector_pages->addWidget(buildImagePanel());
    inspector_pages->addWidget(buildBarcodePanel());
    // The inspector is as tall as the page shown, not as the tallest page.
    connect(inspector_pages, &QStackedWidget::currentChanged, this, [this](int current) {
        for (int i = 0; i < inspector_pages->count(); ++i) {
            inspector_pages->widget(i)->setSizePolicy(QSizePolicy::Preferred,
                                                      i == current ? QSizePolicy::Preferred : QSizePolicy::Ignored);
        }
        inspector_pages->adjustSize();
    });
    emit inspector_pages->currentChanged(inspector_pages->currentIndex());
    auto *layout = qobject_cast<QVBoxLayout *>(inspector_pages->parentWidget()->layout());
    layout->insertWidget(layout->indexOf(inspector_pages) + 1, buildDataSourceBox());
}

QWidget *TVNWindowController::buildCardPanel()
{
    QFormLayout *form = nullptr;
    QWidget *page = newPage("card_panel", form);

    card_category = new QComboBox;
    card_category->setObjectName("card_category");
    card_category->addItems({kPvcCategory, kPaperCategory});
    connect(card_category, &QComboBox::activated, this, [this] { cardCategoryChanged(); });
    form->addRow(tr("Category:"), card_category);

    card_size_list = new QListWidget;
    card_size_list->setObjectName("card_size_list");
    card_size_list->setMaximumHeight(130);
    connect(card_size_list, &QListWidget::currentRowChanged, this, [this] { cardSizeRowChanged(); });
    form->addRow(tr("Size:"), card_size_list);

    card_orientation = new QComboBox;
    card_orientation->setObjectName("card_orientation");
    card_orientation->addItems({tr("Horizontal"), tr("Vertical")});
    connect(card_orientation, &QComboBox::activated, this, [this] { cardSizeRowChanged(); });
    form->addRow(tr("Orientation:"), card_orientation);

    auto makeLength = [this](const char *name) {
        auto *spin = new QDoubleSpinBox;
        spin->setObjectName(name);
        spin->setRange(5, 600);
        spin->setDecimals(2);
        spin->setSuffix(tr(" mm"));
        spin->setKeyboardTracking(false);
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this] { cardSizeFieldsChanged(); });
        return spin;
    };
    card_width_mm = makeLength("card_width_mm");
    card_height_mm = makeLength("card_height_mm");
    form->addRow(tr("Width:"), card_width_mm);
    form->addRow(tr("Height:"), card_height_mm);

    card_shape_combo = new QComboBox;
    card_shape_combo->setObjectName("card_shape_combo");
    card_shape_combo->addItems({tr("Rectangle"), tr("Rounded Rectangle"), tr("Oval")});
    connect(card_shape_combo, &QComboBox::activated, this, [this] { cardShapeChanged(); });
    form->addRow(tr("Outline:"), card_shape_combo);

    card_sides_combo = new QComboBox;
    card_sides_combo->setObjectName("card_sides_combo");
    card_sides_combo->addItems({tr("One side"), tr("Two sides")});
    connect(card_sides_combo, &QComboBox::activated, this, [this] { cardSidesChanged(); });
    form->addRow(tr("Sides:"), card_sides_combo);

    card_fill_chk = new QCheckBox(tr("Fill"));
    card_fill_chk->setObjectName("card_fill_chk");
    connect(card_fill_chk, &QCheckBox::toggled, this, [this] { cardFillChanged(); });
    card_fill_color_btn = new QPushButton;
    card_fill_color_btn->setObjectName("card_fill_color_btn");
    connect(card_fill_color_btn, &QPushButton::clicked, this, [this] { chooseCardFillColor(); });
    auto *fillRow = new QHBoxLayout;
    fillRow->addWidget(card_fill_chk);
    fillRow->addWidget(card_fill_color_btn);
    fillRow->addStretch();
    form->addRow(tr("Background:"), fillRow);

    card_bg_path = new QLineEdit;
    card_bg_path->setObjectName("card_bg_path");
    card_bg_path->setReadOnly(true);
    card_bg_browse = new QPushButton(tr("Browse..."));
    card_bg_browse->setObjectName("card_bg_browse");
    connect(card_bg_browse, &QPushButton::clicked, this, [this] { browseCardBackground(); });
    card_bg_clear = new QPushButton(tr("Clear"));
    card_bg_clear->setObjectName("card_bg_clear");
    connect(card_bg_clear, &QPushButton::clicked, this, [this] {
        Card_Property &card = design_window::Card_Front_Or_Back == 1 ? Back_card_Prop : Front_card_Prop;
        card.BG_Image_Path.clear();
        card.BG_Image = {};
        fillCardPanel();
        Refresh_Canvas();
    });
    auto *bgRow = new QHBoxLayout;
    bgRow->addWidget(card_bg_browse);
    bgRow->addWidget(card_bg_clear);
    form->addRow(tr("Image:"), card_bg_path);
    form->addRow(QString(), bgRow);

    Show_hide_grid_chk = new QCheckBox(tr("Show grid"));
    Show_hide_grid_chk->setObjectName("Show_hide_grid_chk");
    connect(Show_hide_grid_chk, &QCheckBox::clicked, this, [this] { Grid_Show_Hide_Changed(); });
    Grid_Opt_box = new QGroupBox;
    Grid_Opt_box->setObjectName("Grid_Opt_box");
    auto *gridForm = new QFormLayout(Grid_Opt_box);
    Grid_clr = new QPushButton;
    Grid_clr->setObjectName("Grid_clr");
    connect(Grid_clr, &QPushButton::clicked, this, [this] {
        const QColor c = chooseColor(this, buttonColor(Grid_clr));
        if (c.isValid()) {
            setButtonColor(Grid_clr, c);
            Grid_Clr_Changed();
        }
    });
    Grid_Space_slidr = new QSlider(Qt::Horizontal);
    Grid_Space_slidr->setObjectName("Grid_Space_slidr");
    Grid_Space_slidr->setRange(2, 72);
    connect(Grid_Space_slidr, &QSlider::valueChanged, this, [this] {
        if (!m_filling)
            Grid_Slider_Changed();
    });
    snap_grid_chk = new QCheckBox(tr("Snap to grid"));
    snap_grid_chk->setObjectName("snap_grid_chk");
    connect(snap_grid_chk, &QCheckBox::toggled, act_snap_grid, &QAction::setChecked);
    connect(act_snap_grid, &QAction::toggled, snap_grid_chk, &QCheckBox::setChecked);
    gridForm->addRow(tr("Colour:"), Grid_clr);
    gridForm->addRow(tr("Spacing:"), Grid_Space_slidr);
    gridForm->addRow(snap_grid_chk);
    form->addRow(Show_hide_grid_chk);
    form->addRow(Grid_Opt_box);
    return page;
}

QWidget *TVNWindowController::buildTextPanel()
{
    QFormLayout *form = nullptr;
    QWidget *page = newPage("text_panel", form);
    text_content = new QPlainTextEdit;
    text_content->setObjectName("text_content");
    text_content->setMaximumHeight(90);
    connect(text_content, &QPlainTextEdit::textChanged, this, [this] { textContentChanged(); });
    form->addRow(tr("Text:"), text_content);

    text_font_family = new QFontComboBox;
    text_font_family->setObjectName("text_font_family");
    connect(text_font_family, &QFontComboBox::currentFontChanged, this, [this] { textFontChanged(); });
    form->addRow(tr("Font:"), text_font_family);
    text_font_size = new QDoubleSpinBox;
    text_font_size->setObjectName("text_font_size");
    text_font_size->setRange(1, 400);
    text_font_size->setSuffix(tr(" pt"));
    text_font_size->setKeyboardTracking(false);
    connect(text_font_size, &QDoubleSpinBox::valueChanged, this, [this] { textFontChanged(); });
    text_bold = new QCheckBox(tr("Bold"));
    text_bold->setObjectName("text_bold");
    text_italic = new QCheckBox(tr("Italic"));
    text_italic->setObjectName("text_italic");
    connect(text_bold, &QCheckBox::toggled, this, [this] { textFontChanged(); });
    connect(text_italic, &QCheckBox::toggled, this, [this] { textFontChanged(); });
    auto *styleRow = new QHBoxLayout;
    styleRow->addWidget(text_font_size);
    styleRow->addWidget(text_bold);
    styleRow->addWidget(text_italic);
    form->addRow(tr("Size:"), styleRow);

    text_color_btn = new QPushButton;
    text_color_btn->setObjectName("text_color_btn");
    connect(text_color_btn, &QPushButton::clicked, this, [this] { chooseTextColor(); });
    form->addRow(tr("Colour:"), text_color_btn);
    text_alignment = new QComboBox;
    text_alignment->setObjectName("text_alignment");
    text_alignment->addItems({tr("Left"), tr("Centre"), tr("Right"), tr("Justified")});
    connect(text_alignment, &QComboBox::activated, this, [this] { textAlignmentChanged(); });
    form->addRow(tr("Alignment:"), text_alignment);
    return page;
}

QWidget *TVNWindowController::buildImagePanel()
{
    QFormLayout *form = nullptr;
    QWidget *page = newPage("image_panel", form);
    image_path = new QLineEdit;
    image_path->setObjectName("image_path");
    connect(image_path, &QLineEdit::editingFinished, this, [this] {
        if (!m_filling && m_inspected && image_path->isModified())
            applyImagePath(image_path->text());
    });
    image_browse = new QPushButton(tr("Browse..."));
    image_browse->setObjectName("image_browse");
    connect(image_browse, &QPushButton::clicked, this, [this] { browseImageFile(); });
    form->addRow(tr("File:"), image_path);
    form->addRow(QString(), image_browse);
    return page;
}

QWidget *TVNWindowController::buildBarcodePanel()
{
    QFormLayout *form = nullptr;
    QWidget *page = newPage("barcode_panel", form);
    barcode_value_lbl = new QLabel;
    barcode_value_lbl->setObjectName("barcode_value_lbl");
    barcode_value_lbl->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(tr("Value:"), barcode_value_lbl);
    barcode_designer_btn = new QPushButton(tr("Barcode Designer..."));
    barcode_designer_btn->setObjectName("barcode_designer_btn");
    // The designer is not part of the program yet.
    barcode_designer_btn->setEnabled(false);
    form->addRow(QString(), barcode_designer_btn);
    return page;
}

QWidget *TVNWindowController::buildDataSourceBox()
{
    data_source_box = new QGroupBox(tr("Data source"));
    data_source_box->setObjectName("data_source_box");
    auto *form = new QFormLayout(data_source_box);
    Data_source_type = new QComboBox;
    Data_source_type->setObjectName("Data_source_type");
    Data_source_type->addItems({QStringLiteral("Manual"), QStringLiteral("Series")});
    connect(Data_source_type, &QComboBox::activated, this, [this] { Data_Source_Type_Changed(); });
    Batch_Series = new QComboBox;
    Batch_Series->setObjectName("Batch_Series");
    connect(Batch_Series, &QComboBox::activated, this, [this] { Batch_Series_Changed(); });
    view_series_btn = new QPushButton(tr("View"));
    view_series_btn->setObjectName("view_series_btn");
    // The series viewer is not part of the program yet.
    view_series_btn->setEnabled(false);
    data_source_help_btn = new QPushButton(tr("?"));
    data_source_help_btn->setObjectName("data_source_help_btn");
    data_source_help_btn->setFixedWidth(28);
    connect(data_source_help_btn, &QPushButton::clicked, this, [this] { Data_Source_Help_Button(); });
    auto *sourceRow = new QHBoxLayout;
    sourceRow->addWidget(Data_source_type, 1);
    sourceRow->addWidget(data_source_help_btn);
    auto *seriesRow = new QHBoxLayout;
    seriesRow->addWidget(Batch_Series, 1);
    seriesRow->addWidget(view_series_btn);
    form->addRow(tr("Source:"), sourceRow);
    form->addRow(tr("Values:"), seriesRow);
    data_source_box->hide();
    return data_source_box;
}

// ---------------------------------------------------------------- showing

void TVNWindowController::Show_RHS_Properties(TVNGraphic *graphic)
{
    // Only graphics of the design are shown; anything else shows the card.
    m_inspectedHold = graphic ? findGraphic(document->graphics, graphic) : nullptr;
    if (graphic && !m_inspectedHold)
        m_inspectedHold = findGraphic(document->graphics_back, graphic);
    m_inspected = m_inspectedHold.get();
    updateUndoActions();

    const bool previous = Not_Draw_Only_Prop_Change;
    Not_Draw_Only_Prop_Change = true;
    m_filling = true;
    if (!m_inspected) {
        inspector_title->setText(tr("Card"));
        inspector_pages->setCurrentIndex(CardPage);
        data_source_box->hide();
        fillCardPanel();
    } else {
        fillGraphicPanel(m_inspected);
        fillDataSourceBox(m_inspected);
        data_source_box->show();
    }
    m_filling = false;
    Not_Draw_Only_Prop_Change = previous;
}

void TVNWindowController::Set_Card_Size_In_Control(QSizeF mm)
{
    const QSignalBlocker blockW(card_width_mm), blockH(card_height_mm);
    card_width_mm->setValue(mm.width());
    card_height_mm->setValue(mm.height());
}

void TVNWindowController::fillCardPanel()
{
    const bool wasFilling = m_filling;
    m_filling = true;
    const Card_Property &card = design_window::Card_Front_Or_Back == 1 ? Back_card_Prop : Front_card_Prop;
    card_category->setCurrentIndex(card_choice.category == kPvcCategory ? 0 : 1);
    {
        const QSignalBlocker block(card_size_list);
        card_size_list->clear();
        card_size_list->addItems(card_choice.category == kPvcCategory ? pvc_card_arry : paper_card_arry);
        card_size_list->setCurrentRow(card_choice.sizeIndex);
    }
    card_orientation->setCurrentIndex(card_choice.orientation == QLatin1String("V") ? 1 : 0);
    Set_Card_Size_In_Control(QSizeF(Points_to_MM_Convert(Front_card_Prop.Card_Size.width()),
                                    Points_to_MM_Convert(Front_card_Prop.Card_Size.height())));
    card_shape_combo->setCurrentIndex(design_window::Card_Shape);
    card_sides_combo->setCurrentIndex(CARD_SIDE_STR == QLatin1String("2") ? 1 : 0);
    {
        const QSignalBlocker block(card_fill_chk);
        card_fill_chk->setChecked(card.Card_Fill);
    }
    setButtonColor(card_fill_color_btn, card.Card_Fill_Color);
    card_bg_path->setText(card.BG_Image_Path);
    Show_hide_grid_chk->setChecked(grid->isAlwaysShown());
    setButtonColor(Grid_clr, grid->color());
    Grid_Space_slidr->setValue(int(std::lround(grid->spacing())));
    SetObjEnabled(Grid_Opt_box, grid->isAlwaysShown());
    m_filling = wasFilling;
}

void TVNWindowController::fillGraphicPanel(TVNGraphic *graphic)
{
    if (auto *text = dynamic_cast<TVNText *>(graphic)) {
        inspector_title->setText(tr("Text"));
        inspector_pages->setCurrentIndex(TextPage);
        text_content->setPlainText(text->contentsString());
        const QFont font = text->textFont();
        text_font_family->setCurrentFont(font);
        text_font_size->setValue(font.pointSizeF() > 0 ? font.pointSizeF() : 12);
        text_bold->setChecked(font.bold());
        text_italic->setChecked(font.italic());
        setButtonColor(text_color_btn, text->textColor());
        const Qt::Alignment align = text->alignment() & Qt::AlignHorizontal_Mask;
        int index = 0;
        for (int i = 0; i < 4; ++i) {
            if (align == kAlignments[i])
                index = i;
        }
        text_alignment->setCurrentIndex(index);
    } else if (auto *image = dynamic_cast<TVNImage *>(graphic)) {
        inspector_title->setText(tr("Image"));
        inspector_pages->setCurrentIndex(ImagePage);
        image_path->setText(image->filePath());
        image_path->setModified(false);
    } else {
        inspector_title->setText(tr("Barcode"));
        inspector_pages->setCurrentIndex(BarcodePage);
        barcode_value_lbl->setText(graphic->linear_or_2d == 1 ? graphic->two_d_font_val : graphic->linear_font_val);
    }
}

void TVNWindowController::fillDataSourceBox(TVNGraphic *graphic)
{
    if (currentSpreadsheetTable().titles.isEmpty())
        Remove_Excel_Col_Name_In_Combo(Data_source_type);
    else
        Add_Excel_Col_Name_In_Combo(Data_source_type);

    int source = graphic->data_source_type;
    if (source == 2 && Data_source_type->count() < 3)
        source = 0;
    Data_source_type->setCurrentIndex(std::clamp(source, 0, Data_source_type->count() - 1));
    Batch_Series->clear();
    if (source == 1) {
        Fill_Data_Set_File_Name_In_Combo(Batch_Series);
        Batch_Series->setCurrentIndex(Batch_Series->findText(graphic->batch_list_name));
    } else if (source == 2) {
        Batch_Series->addItem(recordNumberTitle());
        Batch_Series->addItems(currentSpreadsheetTable().titles);
        Batch_Series->setCurrentIndex(graphic->excel_col_indx < Batch_Series->count() ? graphic->excel_col_indx : -1);
    }
    Batch_Series->setEnabled(source != 0);
}

// ---------------------------------------------------------------- card handlers

void TVNWindowController::cardCategoryChanged()
{
    if (m_filling)
        return;
    card_choice.category = card_category->currentIndex() == 0 ? kPvcCategory : kPaperCategory;
    card_choice.sizeIndex = 0;
    fillCardPanel();
    cardSizeRowChanged();
}

void TVNWindowController::cardSizeRowChanged()
{
    if (m_filling)
        return;
    card_choice.sizeIndex = card_size_list->currentRow();
    card_choice.orientation = card_orientation->currentIndex() == 1 ? QStringLiteral("V") : QStringLiteral("H");
    QSizeF mm;
    if (card_choice.sizeIndex >= 0) {
        mm = Get_My_card_Size(card_choice.category, card_choice.orientation, card_choice.sizeIndex);
    } else {
        // A custom size: turning the card swaps its sides.
        mm = QSizeF(card_width_mm->value(), card_height_mm->value());
        const bool portrait = mm.height() > mm.width();
        if (portrait != (card_choice.orientation == QLatin1String("V")))
            mm.transpose();
    }
    applyCardSize(mm);
}

void TVNWindowController::cardSizeFieldsChanged()
{
    if (m_filling)
        return;
    // Typed sizes are custom: no preset row is chosen any more.
    card_choice.sizeIndex = -1;
    {
        const QSignalBlocker block(card_size_list);
        card_size_list->setCurrentRow(-1);
    }
    applyCardSize(QSizeF(card_width_mm->value(), card_height_mm->value()));
}

void TVNWindowController::cardShapeChanged()
{
    design_window::Card_Shape = card_shape_combo->currentIndex();
    Refresh_Canvas();
}

void TVNWindowController::cardSidesChanged()
{
    CARD_SIDE_STR = card_sides_combo->currentIndex() == 1 ? QStringLiteral("2") : QStringLiteral("1");
    updateSideControls();
}

void TVNWindowController::cardFillChanged()
{
    if (m_filling)
        return;
    Card_Property &card = design_window::Card_Front_Or_Back == 1 ? Back_card_Prop : Front_card_Prop;
    card.Card_Fill = card_fill_chk->isChecked();
    Refresh_Canvas();
}

void TVNWindowController::chooseCardFillColor()
{
    Card_Property &card = design_window::Card_Front_Or_Back == 1 ? Back_card_Prop : Front_card_Prop;
    const QColor c = chooseColor(this, card.Card_Fill_Color);
    if (!c.isValid())
        return;
    card.Card_Fill_Color = c;
    card.Card_Fill = true;
    fillCardPanel();
    Refresh_Canvas();
}

void TVNWindowController::browseCardBackground()
{
    const QString path =
        runFilePanel(false, tr("Background Image"), tr("Images (*.png *.jpg *.jpeg *.bmp *.gif *.tif *.tiff)"), {});
    if (path.isEmpty() || Check_And_Validate_File_Path(path))
        return;
    if (platform::Image::fromFile(path).isNull()) {
        Show_MessageBox(tr("The selected file is not an image."));
        return;
    }
    if (design_window::Card_Front_Or_Back == 1) {
        Back_card_Prop.Card_Fill = true;
        Back_card_Prop.BG_Image_Path = path;
        Back_card_Prop.BG_Image = platform::Image::fromFile(path);
        Show_RHS_Properties(nullptr);
    } else {
        set_Front_BG_Image(path);
    }
    Refresh_Canvas();
}

// ---------------------------------------------------------------- object handlers

void TVNWindowController::textContentChanged()
{
    auto *text = dynamic_cast<TVNText *>(m_inspected);
    if (m_filling || !text)
        return;
    text->setContentsString(text_content->toPlainText());
    text->Text_Value = text_content->toPlainText();
    Refresh_Canvas();
}

void TVNWindowController::textFontChanged()
{
    auto *text = dynamic_cast<TVNText *>(m_inspected);
    if (m_filling || !text)
        return;
    QFont font = text->textFont();
    font.setFamily(text_font_family->currentFont().family());
    font.setPointSizeF(text_font_size->value());
    font.setBold(text_bold->isChecked());
    font.setItalic(text_italic->isChecked());
    text->setTextFont(font);
    Refresh_Canvas();
}

void TVNWindowController::chooseTextColor()
{
    auto *text = dynamic_cast<TVNText *>(m_inspected);
    if (!text)
        return;
    const QColor c = chooseColor(this, text->textColor());
    if (!c.isValid())
        return;
    text->setTextColor(c);
    setButtonColor(text_color_btn, c);
    Refresh_Canvas();
}

void TVNWindowController::textAlignmentChanged()
{
    auto *text = dynamic_cast<TVNText *>(m_inspected);
    if (m_filling || !text)
        return;
    text->setAlignment(kAlignments[std::clamp(text_alignment->currentIndex(), 0, 3)]);
    Refresh_Canvas();
}

void TVNWindowController::browseImageFile()
{
    if (!dynamic_cast<TVNImage *>(m_inspected))
        return;
    const QString path =
        runFilePanel(false, tr("Image"), tr("Images (*.png *.jpg *.jpeg *.bmp *.gif *.tif *.tiff *.svg)"), {});
    if (!path.isEmpty())
        applyImagePath(path);
}

void TVNWindowController::applyImagePath(const QString &path)
{
    auto *image = dynamic_cast<TVNImage *>(m_inspected);
    if (!image || Check_And_Validate_File_Path(path))
        return;
    if (platform::Image::fromFile(Trim_Str(path)).isNull()) {
        // Taking it would also replace the main photo with nothing.
        Show_MessageBox(tr("The selected file is not an image."));
        image_path->setText(image->filePath());
        image_path->setModified(false);
        return;
    }
    Update_frame_Main_Photo_And_Path(Trim_Str(path), true);
    image->setFilePath(Trim_Str(path));
    image_path->setText(image->filePath());
    image_path->setModified(false);
    Refresh_Canvas();
}

// ---------------------------------------------------------------- data source

void TVNWindowController::Data_Source_Type_Changed()
{
    TVNGraphic *g = m_inspected;
    if (m_filling || !g)
        return;
    const int source = Data_source_type->currentIndex();
    Batch_Series->clear();
    Batch_Series->setEnabled(source != 0);
    if (source == 0) {
        g->Set_Data_source_type(0);
        g->Set_Excel_binding(false);
        if (dynamic_cast<TVNImage *>(g) && g->control_ID.trimmed() == QLatin1String("PARTY_IMAGE"))
            main_photo_ds_batch = false;
        return;
    }
    if (source == 1) {
        Fill_Data_Set_File_Name_In_Combo(Batch_Series);
        if (Batch_Series->count() == 0)
            Show_MessageBox(tr("There is no Batch Processing Series. Create one first."));
    } else {
        Batch_Series->addItem(recordNumberTitle());
        Batch_Series->addItems(currentSpreadsheetTable().titles);
        Batch_Series->setCurrentIndex(-1);
    }
}

void TVNWindowController::Batch_Series_Changed()
{
    TVNGraphic *g = m_inspected;
    const int item = Batch_Series->currentIndex();
    if (m_filling || !g || item < 0)
        return;
    QString value;
    if (Data_source_type->currentIndex() == 1) {
        const QString name = Batch_Series->currentText();
        g->Set_Data_source_type(1);
        g->Set_Batch_List_Name(name);
        g->Set_Batch_List_Index(item);
        g->Set_Excel_binding(false);
        if (dynamic_cast<TVNImage *>(g) && g->control_ID.trimmed() == QLatin1String("PARTY_IMAGE"))
            main_photo_ds_batch = true;
        value = Get_First_Value_Of_Dataset(name);
    } else {
        g->Set_Data_source_type(2);
        g->Set_Excel_binding(true);
        g->Set_Excel_binding_Index(item);
        value = Get_First_Value_Of_Excel_Binding(item);
    }
    previewBoundValue(g, Trim_Str(value));
}

void TVNWindowController::previewBoundValue(TVNGraphic *graphic, const QString &value)
{
    if (auto *text = dynamic_cast<TVNText *>(graphic)) {
        text->setContentsString(value);
        text->Text_Value = value;
    } else if (auto *image = dynamic_cast<TVNImage *>(graphic)) {
        if (fileExists(value)) {
            Update_frame_Main_Photo_And_Path(value, true);
            image->setFilePath(value);
        }
    } else if (graphic->linear_or_2d == 1) {
        graphic->two_d_font_val = value;
    } else {
        graphic->linear_font_val = value;
    }
    m_filling = true;
    fillGraphicPanel(graphic);
    m_filling = false;
    Refresh_Canvas();
}

void TVNWindowController::Data_Source_Help_Button()
{
    Cutom_Msg_Title = QStringLiteral("Batch Processing Settings Help :");
    Cutom_Msg_Val = QStringLiteral(
        "Select Data Source as 'Manual' to enter value manually, Select 'Batch Processing Series' to fetch the "
        "value from the list of existing Batch Processing Series.");
    Long_SMS_Dlg &dialog = Long_SMS_Dlg::defaultInstance();
    dialog.title_val.clear();
    dialog.apply_chk_show = false;
    dialog.Open_Long_sms_Dialog();
}
