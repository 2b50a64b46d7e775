#include "barcodes/designer_window/Barcode_Gen_Dialog.h"

#include "barcodes/datamatrix/DataMatrixSymbol.h"
#include "barcodes/designer/Barcode_Gen.h"
#include "barcodes/designer_window/Stepper.h"
#include "barcodes/imaging/ImageResolution.h"
#include "barcodes/qr/QRFrontEnd.h"
#include "barcodes/widgets/BarcodeMessages.h"
#include "barcodes/widgets/SymBarcodeImageView.h"
#include "design_window/ColorButton.h"
#include "design_window/DataSourcePanel.h"
#include "design_window/DesignFile.h"
#include "design_window/Globals.h"
#include "design_window/LongSmsDlg.h"
#include "design_window/PanelSupport.h"
#include "design_window/RecordFill.h"
#include "design_window/SeriesWindows.h"
#include "design_window/DesignHub.h"
#include "drawing/DrawingHost.h"
#include "drawing/TVNGraphic.h"
#include "platform/Helpers.h"
#include "platform/ModalRun.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>
#include <exception>

using design_window::Barcode_output_image;
using design_window::Not_Draw_Only_Prop_Change;
using design_window::buttonColor;
using design_window::setButtonColor;

namespace barcodes {

namespace {

const QString kInvalidValue = QStringLiteral("Invalid barcode value");
const QString kManual = QStringLiteral("Manual");
const QString kSeries = QStringLiteral("Series");
constexpr int kResolutionTab = 3;

// Where the preview image stands in its view, by the placement item.
const QList<QPair<QString, Qt::Alignment>> &placements()
{
    static const QList<QPair<QString, Qt::Alignment>> items{
        {QStringLiteral("Center"), Qt::AlignCenter},
        {QStringLiteral("Top"), Qt::AlignTop | Qt::AlignHCenter},
        {QStringLiteral("TopLeft"), Qt::AlignTop | Qt::AlignLeft},
        {QStringLiteral("TopRight"), Qt::AlignTop | Qt::AlignRight},
        {QStringLiteral("Left"), Qt::AlignLeft | Qt::AlignVCenter},
        {QStringLiteral("Bottom"), Qt::AlignBottom | Qt::AlignHCenter},
        {QStringLiteral("BottomLeft"), Qt::AlignBottom | Qt::AlignLeft},
        {QStringLiteral("BottomRight"), Qt::AlignBottom | Qt::AlignRight},
        {QStringLiteral("Right"), Qt::AlignRight | Qt::AlignVCenter},
    };
    return items;
}

// Symbologies whose value text is laid out in fixed groups: the text cannot
// be spread.
bool hasFixedCaptionGroups(const QString &title)
{
    return title == QLatin1String("UPCE") || title == QLatin1String("UPCA") || title == QLatin1String("EAN-8")
        || title == QLatin1String("EAN-13");
}

QString fontLabel(const QFont &font)
{
    // The face that is drawn: a substituted family names its stand-in.
    return QStringLiteral("%1 ( %2 )").arg(design_window::drawnFontName(font)).arg(font.pointSizeF(), 0, 'f', 2);
}

template <class Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

void setCombo(QComboBox *combo, int index)
{
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : 0);
}

void setFieldNumber(QLineEdit *field, Stepper *stepper, double value, bool integer)
{
    stepper->setValue(value);
    field->setText(integer ? QString::number(int(stepper->value())) : QString::number(stepper->value()));
}

// The field and stepper of a pair in step: the stepper's value when it was
// clicked, otherwise the field's (the field shows the value the stepper's
// range lets through).
void syncPair(QLineEdit *field, Stepper *stepper, QObject *sender, bool integer)
{
    if (sender == stepper) {
        field->setText(integer ? QString::number(stepper->intValue()) : QString::number(stepper->value()));
        return;
    }
    const double typed = fieldFloatValue(field->text());
    const double value = integer ? double(int(typed)) : typed;
    stepper->setValue(value);
    if (stepper->value() != value)
        field->setText(integer ? QString::number(stepper->intValue()) : QString::number(stepper->value()));
}

} // namespace

// ---------------------------------------------------------------- start-up

Barcode_Gen_Dialog::Barcode_Gen_Dialog()
{
    setObjectName(QStringLiteral("Barcode_Gen"));
    setWindowTitle(tr("Barcode Designer"));
    setModal(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(241, 244, 250));
    setPalette(palette);
    setAutoFillBackground(true);

    buildWindow();

    // The controls start from a new barcode object's settings.
    Not_Draw_Only_Prop_Change = true;
    Set_Barcode_Prop_To_Control(nullptr);
    Not_Draw_Only_Prop_Change = false;
    goButtonActionPerformed();
}

Barcode_Gen_Dialog::~Barcode_Gen_Dialog() = default;

Barcode_Gen_Dialog &Barcode_Gen_Dialog::defaultInstance()
{
    static std::unique_ptr<Barcode_Gen_Dialog> instance;
    if (!instance) {
        instance = std::make_unique<Barcode_Gen_Dialog>();
        // Windows must go before the application object does.
        qAddPostRoutine([] { instance.reset(); });
    }
    return *instance;
}

QWidget *Barcode_Gen_Dialog::pair(QLineEdit *&field, Stepper *&stepper, const char *fieldName,
                                  const char *stepperName, void (Barcode_Gen_Dialog::*handler)(QObject *))
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    field = named(new QLineEdit, fieldName);
    field->setMaximumWidth(80);
    stepper = named(new Stepper, stepperName);
    layout->addWidget(field);
    layout->addWidget(stepper);
    layout->addStretch();
    QLineEdit *f = field;
    Stepper *s = stepper;
    connect(f, &QLineEdit::editingFinished, this, [this, f, handler] { (this->*handler)(f); });
    connect(s, &Stepper::stepped, this, [this, s, handler] { (this->*handler)(s); });
    return row;
}

QPushButton *Barcode_Gen_Dialog::helpButton(const char *name, void (Barcode_Gen_Dialog::*handler)())
{
    auto *button = named(new QPushButton(QStringLiteral("?")), name);
    button->setFixedWidth(26);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

QPushButton *Barcode_Gen_Dialog::colourWell(const char *name)
{
    auto *well = named(new QPushButton, name);
    well->setFixedWidth(60);
    connect(well, &QPushButton::clicked, this, [this, well] { Header_Color_Changed(well); });
    return well;
}

void Barcode_Gen_Dialog::buildWindow()
{
    auto *root = new QVBoxLayout(this);
    auto *columns = new QHBoxLayout;
    root->addLayout(columns);

    // ---- left: symbology, value, data source and preview
    auto *left = new QVBoxLayout;
    columns->addLayout(left, 1);
    auto *top = new QFormLayout;
    left->addLayout(top);
    barcodeTypePopup = named(new QComboBox, "barcodeTypePopup");
    barcodeTypePopup->addItems(barcodeTypeTitles());
    connect(barcodeTypePopup, &QComboBox::activated, this, [this] { barcodeTypeChanged(); });
    top->addRow(tr("Barcode Type :"), barcodeTypePopup);

    auto *values = new QWidget;
    auto *valuesLayout = new QVBoxLayout(values);
    valuesLayout->setContentsMargins(0, 0, 0, 0);
    dataText = named(new QLineEdit, "dataText");
    dataText_2D = named(new QPlainTextEdit, "dataText_2D");
    dataText_2D->setFixedHeight(64);
    valuesLayout->addWidget(dataText);
    valuesLayout->addWidget(dataText_2D);
    connect(dataText, &QLineEdit::textEdited, this, [this] { controlTextDidChange(dataText); });
    connect(dataText_2D, &QPlainTextEdit::textChanged, this, [this] { textDidChange(dataText_2D); });
    top->addRow(tr("Barcode Value :"), values);

    auto *source = new QWidget;
    auto *sourceLayout = new QHBoxLayout(source);
    sourceLayout->setContentsMargins(0, 0, 0, 0);
    Data_source_type = named(new QComboBox, "Data_source_type");
    Data_source_type->addItems({kManual, kSeries});
    Batch_Series = named(new QComboBox, "Batch_Series");
    Batch_Series->setMinimumWidth(140);
    view_series_btn = named(new QPushButton(tr("View")), "view_series_btn");
    connect(view_series_btn, &QPushButton::clicked, this, [this] { View_batch_Series_Button(); });
    sourceLayout->addWidget(Data_source_type);
    sourceLayout->addWidget(Batch_Series, 1);
    sourceLayout->addWidget(view_series_btn);
    top->addRow(tr("Data Source :"), source);

    image_scroll = named(new QScrollArea, "image_scroll");
    image_scroll->setWidgetResizable(true);
    image_scroll->setMinimumSize(420, 240);
    image_scroll->setFrameShape(QFrame::Box);
    barcodeImage = named(new SymBarcodeImageView, "barcodeImage");
    barcodeImage->setAutoFillBackground(true);
    QPalette white = barcodeImage->palette();
    white.setColor(QPalette::Window, Qt::white);
    barcodeImage->setPalette(white);
    image_scroll->setWidget(barcodeImage);
    left->addWidget(image_scroll, 1);
    barcode_error_label = named(new QLabel(kInvalidValue), "barcode_error_label");
    barcode_error_label->setStyleSheet(QStringLiteral("color: #c00000;"));
    barcode_error_label->setWordWrap(true);
    barcode_error_label->hide();
    left->addWidget(barcode_error_label);
    dm_encoding_note_label = named(new QLabel, "dm_encoding_note_label");
    dm_encoding_note_label->setWordWrap(true);
    dm_encoding_note_label->hide();
    left->addWidget(dm_encoding_note_label);

    auto *placement = new QHBoxLayout;
    bar_align_combo = named(new QComboBox, "bar_align_combo");
    for (const auto &item : placements())
        bar_align_combo->addItem(item.first);
    bar_orient_combo = named(new QComboBox, "bar_orient_combo");
    bar_orient_combo->addItem(tr("Horizontal"));
    placement->addWidget(new QLabel(tr("Preview Alignment :")));
    placement->addWidget(bar_align_combo);
    placement->addWidget(new QLabel(tr("Orientation :")));
    placement->addWidget(bar_orient_combo);
    placement->addStretch();
    left->addLayout(placement);

    // ---- right: the settings tabs
    sett_tab = named(new QTabWidget, "sett_tab");
    sett_tab->addTab(buildTextTab(), tr("Text"));
    sett_tab->addTab(buildSizeTab(), tr("Size"));
    sett_tab->addTab(buildMarginColourTab(), tr("Margins && Colors"));
    dpi_tab_item = buildResolutionTab();
    sett_tab->addTab(dpi_tab_item, tr("Resolution"));
    columns->addWidget(sett_tab);

    for (QComboBox *combo : findChildren<QComboBox *>()) {
        if (combo == barcodeTypePopup)
            continue;
        connect(combo, &QComboBox::activated, this, [this, combo] { comboBoxSelectionDidChange(combo); });
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    ok_btn = named(new QPushButton(tr("OK")), "ok_btn");
    cancel_btn = named(new QPushButton(tr("Cancel")), "cancel_btn");
    ok_btn->setDefault(true);
    ok_btn->setAutoDefault(false);
    cancel_btn->setAutoDefault(false);
    connect(ok_btn, &QPushButton::clicked, this, [this] { OK_Btn_Clicked(); });
    connect(cancel_btn, &QPushButton::clicked, this, [this] { Cancel_Btn_Clicked(); });
    buttons->addWidget(cancel_btn);
    buttons->addWidget(ok_btn);
    root->addLayout(buttons);
}

QWidget *Barcode_Gen_Dialog::buildTextTab()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    HeaderText = named(new QLineEdit, "HeaderText");
    FooterText = named(new QLineEdit, "FooterText");
    connect(HeaderText, &QLineEdit::textEdited, this, [this] { controlTextDidChange(HeaderText); });
    connect(FooterText, &QLineEdit::textEdited, this, [this] { controlTextDidChange(FooterText); });
    form->addRow(tr("Header :"), HeaderText);
    form->addRow(tr("Footer :"), FooterText);

    hideHeaderCheckbox = named(new QCheckBox(tr("Hide Header")), "hideHeaderCheckbox");
    hideFooterCheckbox = named(new QCheckBox(tr("Hide Footer")), "hideFooterCheckbox");
    captionCheckbox = named(new QCheckBox(tr("Hide Value Text")), "captionCheckbox");
    showinTopCheckbox = named(new QCheckBox(tr("Value Text on Top")), "showinTopCheckbox");
    kerning_value_Checkbox = named(new QCheckBox(tr("Spread Value Text")), "kerning_value_Checkbox");
    connect(hideHeaderCheckbox, &QCheckBox::clicked, this, [this] { hideHeaderChanged(); });
    connect(hideFooterCheckbox, &QCheckBox::clicked, this, [this] { hideFooterChanged(); });
    connect(captionCheckbox, &QCheckBox::clicked, this, [this] { captionChanged(); });
    connect(showinTopCheckbox, &QCheckBox::clicked, this, [this] { showinTopChanged(); });
    // The kerning is read when the symbol is drawn: a new picture shows it.
    connect(kerning_value_Checkbox, &QCheckBox::clicked, this, [this] { Set_Font_Clr(); });
    auto *checks = new QGridLayout;
    checks->addWidget(hideHeaderCheckbox, 0, 0);
    checks->addWidget(hideFooterCheckbox, 0, 1);
    checks->addWidget(captionCheckbox, 1, 0);
    checks->addWidget(showinTopCheckbox, 1, 1);
    checks->addWidget(kerning_value_Checkbox, 2, 0);
    form->addRow(checks);

    align_hdr_combo = named(new QComboBox, "align_hdr_combo");
    align_ftr_combo = named(new QComboBox, "align_ftr_combo");
    align_hdr_combo->addItems(alignmentItems());
    align_ftr_combo->addItems(alignmentItems());
    form->addRow(tr("Header Alignment :"), align_hdr_combo);
    form->addRow(tr("Footer Alignment :"), align_ftr_combo);

    auto fontRow = [&](QLabel *&value, QPushButton *&button, const char *valueName, const char *buttonName,
                       void (Barcode_Gen_Dialog::*handler)()) {
        auto *row = new QWidget;
        auto *layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        value = named(new QLabel, valueName);
        button = named(new QPushButton(tr("Font...")), buttonName);
        connect(button, &QPushButton::clicked, this, handler);
        layout->addWidget(value, 1);
        layout->addWidget(button);
        return row;
    };
    val_font_label = named(new QLabel(tr("Value Font :")), "val_font_label");
    form->addRow(val_font_label, fontRow(value_font_value, val_font_btn, "value_font_value", "val_font_btn",
                                         &Barcode_Gen_Dialog::Value_Font_Changed));
    form->addRow(tr("Header Font :"), fontRow(header_font_value, header_font_btn, "header_font_value",
                                              "header_font_btn", &Barcode_Gen_Dialog::Header_Font_Changed));
    form->addRow(tr("Footer Font :"), fontRow(footer_font_value, footer_font_btn, "footer_font_value",
                                              "footer_font_btn", &Barcode_Gen_Dialog::Footer_Font_Changed));
    return page;
}

QWidget *Barcode_Gen_Dialog::buildSizeTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);

    linear_sett_box = named(new QGroupBox(tr("Linear Barcode")), "linear_sett_box");
    auto *linear = new QFormLayout(linear_sett_box);
    barHeightLabel = named(new QLabel, "barHeightLabel");
    barWidthLabel = named(new QLabel, "barWidthLabel");
    linear->addRow(barHeightLabel,
                   pair(HeightText, HeightStepper, "HeightText", "HeightStepper", &Barcode_Gen_Dialog::heightChanged));
    linear->addRow(barWidthLabel,
                   pair(widthText, widthStepper, "widthText", "widthStepper", &Barcode_Gen_Dialog::widthChanged));
    HeightStepper->setRange(0.1, 20);
    HeightStepper->setIncrement(0.1);
    widthStepper->setRange(1, 200);
    widthStepper->setIncrement(0.5);
    layout->addWidget(linear_sett_box);

    two_d_sett_box = named(new QGroupBox(tr("QR Code")), "two_d_sett_box");
    auto *qr = new QFormLayout(two_d_sett_box);
    qr->addRow(tr("Size :"), pair(HeightText_2D, HeightStepper_2D, "HeightText_2D", "HeightStepper_2D",
                                  &Barcode_Gen_Dialog::heightChanged));
    HeightStepper_2D->setRange(21, 2000);
    auto comboWithHelp = [&](QComboBox *&combo, const char *name, QPushButton *&help, const char *helpName,
                             void (Barcode_Gen_Dialog::*handler)()) {
        auto *row = new QWidget;
        auto *rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        combo = named(new QComboBox, name);
        rowLayout->addWidget(combo, 1);
        if (handler) {
            help = helpButton(helpName, handler);
            rowLayout->addWidget(help);
        }
        return row;
    };
    QPushButton *none = nullptr;
    qr->addRow(tr("Version :"), comboWithHelp(qr_version_ComboBox, "qr_version_ComboBox", qr_version_help_btn,
                                              "qr_version_help_btn", &Barcode_Gen_Dialog::QR_Version_Help_Btn));
    qr->addRow(tr("EC Level :"), comboWithHelp(qr_ec_lvl_ComboBox, "qr_ec_lvl_ComboBox", qr_ec_lvl_help_btn,
                                               "qr_ec_lvl_help_btn", &Barcode_Gen_Dialog::QR_EC_Lvl_Help_Btn));
    qr->addRow(tr("Encoding Mode :"),
               comboWithHelp(qr_enc_mode_ComboBox, "qr_enc_mode_ComboBox", none, nullptr, nullptr));
    qr_version_ComboBox->addItems(qrVersionItems());
    qr_ec_lvl_ComboBox->addItems(qrEcLevelItems());
    qr_enc_mode_ComboBox->addItems(qrEncodingModeItems());
    layout->addWidget(two_d_sett_box);

    pdf_2d_sett_box = named(new QGroupBox(tr("PDF417")), "pdf_2d_sett_box");
    auto *pdf = new QFormLayout(pdf_2d_sett_box);
    pdf->addRow(tr("Width :"), pair(Pdf_widthText_2D, Pdf_widthStepper_2D, "Pdf_widthText_2D",
                                    "Pdf_widthStepper_2D", &Barcode_Gen_Dialog::widthChanged));
    pdf->addRow(tr("Height :"), pair(pdf_HeightText_2D, pdf_HeightStepper_2D, "pdf_HeightText_2D",
                                     "pdf_HeightStepper_2D", &Barcode_Gen_Dialog::pdf_heightChanged));
    auto pairWithHelp = [&](QWidget *pairRow, QPushButton *&help, const char *helpName,
                            void (Barcode_Gen_Dialog::*handler)()) {
        help = helpButton(helpName, handler);
        pairRow->layout()->addWidget(help);
        return pairRow;
    };
    pdf->addRow(tr("Rows :"), pairWithHelp(pair(pdf_row_Text, pdf_row_Stepper, "pdf_row_Text", "pdf_row_Stepper",
                                                &Barcode_Gen_Dialog::PDF_Row_Changed),
                                           pdf_row_help_btn, "pdf_row_help_btn", &Barcode_Gen_Dialog::PDF_row_Help_btn));
    pdf->addRow(tr("Columns :"),
                pairWithHelp(pair(pdf_col_Text, pdf_col_Stepper, "pdf_col_Text", "pdf_col_Stepper",
                                  &Barcode_Gen_Dialog::PDF_Col_Changed),
                             pdf_col_help_btn, "pdf_col_help_btn", &Barcode_Gen_Dialog::PDF_col_Help_btn));
    pdf->addRow(tr("EC Level :"),
                pairWithHelp(pair(pdf_ec_lvl_Text, pdf_ec_lvl_Stepper, "pdf_ec_lvl_Text", "pdf_ec_lvl_Stepper",
                                  &Barcode_Gen_Dialog::PDF_EC_Lvl_Changed),
                             pdf_ec_lvl_help_btn, "pdf_ec_lvl_help_btn", &Barcode_Gen_Dialog::PDF_ec_lvl_Help_btn));
    Pdf_widthStepper_2D->setRange(20, 2000);
    pdf_HeightStepper_2D->setRange(5, 1000);
    pdf_row_Stepper->setRange(0, 90);
    pdf_col_Stepper->setRange(1, 30);
    pdf_ec_lvl_Stepper->setRange(0, 8);
    setFieldNumber(pdf_row_Text, pdf_row_Stepper, PDF_Row, true);
    setFieldNumber(pdf_col_Text, pdf_col_Stepper, PDF_Col, true);
    layout->addWidget(pdf_2d_sett_box);

    dm_2d_sett_box = named(new QGroupBox(tr("Data Matrix")), "dm_2d_sett_box");
    auto *dm = new QFormLayout(dm_2d_sett_box);
    dm->addRow(tr("Format :"), comboWithHelp(dm_format_ComboBox, "dm_format_ComboBox", dm_format_help_btn,
                                             "dm_format_help_btn", &Barcode_Gen_Dialog::DM_format_Help_btn));
    dm->addRow(tr("Encoding :"), comboWithHelp(dm_encoding_ComboBox, "dm_encoding_ComboBox", dm_encoding_help_btn,
                                               "dm_encoding_help_btn", &Barcode_Gen_Dialog::DM_Encoding_Help_btn));
    dm_format_ComboBox->addItems(dataMatrixFormatNames());
    dm_encoding_ComboBox->addItems(dataMatrixEncodingNames());
    dm->addRow(tr("Width :"), pair(dm_widthText_2D, dm_widthStepper_2D, "dm_widthText_2D", "dm_widthStepper_2D",
                                   &Barcode_Gen_Dialog::dm_widthChanged));
    dm->addRow(tr("Height :"), pair(dm_HeightText_2D, dm_HeightStepper_2D, "dm_HeightText_2D",
                                    "dm_HeightStepper_2D", &Barcode_Gen_Dialog::dm_heightChanged));
    dm->addRow(tr("Module Size :"), pair(dm_moduleText_2D, dm_moduleStepper_2D, "dm_moduleText_2D",
                                         "dm_moduleStepper_2D", &Barcode_Gen_Dialog::dm_modulesizeChanged));
    dm_widthStepper_2D->setRange(0, 2000);
    dm_HeightStepper_2D->setRange(0, 2000);
    dm_moduleStepper_2D->setRange(1, 50);
    setFieldNumber(dm_widthText_2D, dm_widthStepper_2D, 20, true);
    setFieldNumber(dm_HeightText_2D, dm_HeightStepper_2D, 20, true);
    layout->addWidget(dm_2d_sett_box);
    layout->addStretch();
    return page;
}

QWidget *Barcode_Gen_Dialog::buildMarginColourTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    margin_box = named(new QGroupBox, "margin_box");
    auto *margins = new QFormLayout(margin_box);
    val_mar_label = named(new QLabel(tr("Value :")), "val_mar_label");
    margins->addRow(val_mar_label, pair(val_mar_Text, val_mar_Stepper, "val_mar_Text", "val_mar_Stepper",
                                        &Barcode_Gen_Dialog::Value_Margin_Changed));
    margins->addRow(tr("Header :"), pair(hdr_mar_Text, hdr_mar_Stepper, "hdr_mar_Text", "hdr_mar_Stepper",
                                         &Barcode_Gen_Dialog::Header_Margin_Changed));
    margins->addRow(tr("Footer :"), pair(ftr_mar_Text, ftr_mar_Stepper, "ftr_mar_Text", "ftr_mar_Stepper",
                                         &Barcode_Gen_Dialog::Footer_Margin_Changed));
    margins->addRow(tr("Top-Bottom :"), pair(TB_mar_Text, TB_mar_Stepper, "TB_mar_Text", "TB_mar_Stepper",
                                             &Barcode_Gen_Dialog::TB_Margin_Changed));
    margins->addRow(tr("Left-Right :"), pair(LR_mar_Text, LR_mar_Stepper, "LR_mar_Text", "LR_mar_Stepper",
                                             &Barcode_Gen_Dialog::LR_Margin_Changed));
    for (Stepper *s : {val_mar_Stepper, hdr_mar_Stepper, ftr_mar_Stepper, TB_mar_Stepper, LR_mar_Stepper}) {
        s->setRange(0, 10);
        s->setIncrement(0.1);
    }
    layout->addWidget(margin_box);

    auto *colours = named(new QGroupBox(tr("Colors")), "colour_box");
    auto *form = new QFormLayout(colours);
    bar_clr_label = named(new QLabel(tr("Bars :")), "bar_clr_label");
    bar_bk_clr_label = named(new QLabel(tr("Background :")), "bar_bk_clr_label");
    val_clr_label = named(new QLabel(tr("Value Text :")), "val_clr_label");
    barcode_clr = colourWell("barcode_clr");
    bar_back_clr = colourWell("bar_back_clr");
    bar_val_clr = colourWell("bar_val_clr");
    bar_hdr_clr = colourWell("bar_hdr_clr");
    bar_ftr_clr = colourWell("bar_ftr_clr");
    form->addRow(bar_clr_label, barcode_clr);
    form->addRow(bar_bk_clr_label, bar_back_clr);
    form->addRow(val_clr_label, bar_val_clr);
    form->addRow(tr("Header :"), bar_hdr_clr);
    form->addRow(tr("Footer :"), bar_ftr_clr);
    layout->addWidget(colours);
    layout->addStretch();
    return page;
}

QWidget *Barcode_Gen_Dialog::buildResolutionTab()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    auto *row = new QWidget;
    auto *rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    DPI_ComboBox = named(new QComboBox, "DPI_ComboBox");
    DPI_ComboBox->addItems(dpiItems());
    rowLayout->addWidget(DPI_ComboBox, 1);
    rowLayout->addWidget(dpi_help_btn = helpButton("dpi_help_btn", &Barcode_Gen_Dialog::DPI_Help_Label));
    form->addRow(tr("DPI :"), row);
    form->addRow(tr("Custom DPI :"),
                 pair(dpi_Text, dpi_Stepper, "dpi_Text", "dpi_Stepper", &Barcode_Gen_Dialog::DPI_Value_Changed));
    dpi_Stepper->setRange(kMinimumDpi, kMaximumDpi);
    setFieldNumber(dpi_Text, dpi_Stepper, 600, true);
    return page;
}

// ---------------------------------------------------------------- opening

TVNGraphic *Barcode_Gen_Dialog::Open_Wnd(TVNGraphic *graphic)
{
    Barcode_output_image = {};
    try {
        Not_Draw_Only_Prop_Change = true;
        Set_Barcode_Prop_To_Control(graphic);
        Not_Draw_Only_Prop_Change = false;
        goButtonActionPerformed();
    } catch (const std::exception &e) {
        Not_Draw_Only_Prop_Change = false;
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    }
    const int result = platform::runModal(*this);
    hide();
    if (result == 1 && graphic)
        graphic->setBarcodeSettings(currentSettings());
    return graphic;
}

void Barcode_Gen_Dialog::Set_Barcode_Prop_To_Control(TVNGraphic *graphic)
{
    Not_Draw_Only_Prop_Change = true;
    try {
        pass_barcode_control = graphic;
        const BarcodeSettings s = graphic ? graphic->barcodeSettings() : BarcodeSettings{};
        setCombo(barcodeTypePopup, s.barcode_font_index);
        // The list decides: an object whose flag disagrees with its
        // symbology would show the wrong panels and value.
        liner_or_2D_font = isTwoDimensionalTitle(barcodeTypePopup->currentText()) ? 1 : 0;
        dataText->setText(s.linear_font_val);
        {
            const QSignalBlocker block(dataText_2D);
            dataText_2D->setPlainText(s.two_d_font_val);
        }
        HeaderText->setText(s.header_val);
        FooterText->setText(s.footer_val);
        hideHeaderCheckbox->setChecked(s.show_hide_hdr == 1);
        hideFooterCheckbox->setChecked(s.show_hide_ftr == 1);
        captionCheckbox->setChecked(s.show_hide_val == 1);
        showinTopCheckbox->setChecked(s.show_val_on_top == 1);
        kerning_value_Checkbox->setChecked(s.kerning_val == 1);
        setCombo(align_hdr_combo, s.align_hdr_index);
        setCombo(align_ftr_combo, s.align_ftr_index);

        m_binding = {s.data_source_type, s.batch_list_name, s.batch_list_index, s.excel_binding, s.excel_col_indx};
        design_window::offerSpreadsheetSource(Data_source_type,
                                              !design_window::currentSpreadsheetTable().titles.isEmpty());
        int source = s.data_source_type;
        if (source == 2 && Data_source_type->count() < 3)
            source = 0;
        setCombo(Data_source_type, source);
        applyDataSourceChoice(false);
        Get_Print_State();

        setFieldNumber(HeightText, HeightStepper, s.linear_height_val, false);
        setFieldNumber(widthText, widthStepper, s.linear_width_val, false);
        setFieldNumber(HeightText_2D, HeightStepper_2D, s.qr_size_val, true);
        setCombo(qr_version_ComboBox, s.qr_version_index);
        setCombo(qr_ec_lvl_ComboBox, s.qr_ec_index);
        QR_Version_Val = qr_version_ComboBox->currentIndex();
        QR_EC_Level_Val = qr_ec_lvl_ComboBox->currentIndex();
        Check_And_Set_QR_size_Acc_Version(QR_Version_Val);
        setFieldNumber(pdf_HeightText_2D, pdf_HeightStepper_2D, s.pdf_hgt_val, true);
        setFieldNumber(Pdf_widthText_2D, Pdf_widthStepper_2D, s.pdf_wdt_val, true);
        setFieldNumber(pdf_ec_lvl_Text, pdf_ec_lvl_Stepper, s.pdf_ec_val, true);
        setFieldNumber(dm_moduleText_2D, dm_moduleStepper_2D, s.dm_module_val, true);
        setCombo(dm_format_ComboBox, s.dm_format_index);
        setCombo(dm_encoding_ComboBox, s.dm_encoding_index);
        // The size fields follow the loaded size and module as they do when
        // the user picks a size.
        if (liner_or_2D_font == 1)
            data_matrix_barcode_size_acc_format();
        setFieldNumber(hdr_mar_Text, hdr_mar_Stepper, s.hdr_margin_val, false);
        setFieldNumber(ftr_mar_Text, ftr_mar_Stepper, s.ftr_margin_val, false);
        setFieldNumber(val_mar_Text, val_mar_Stepper, s.val_margin_val, false);
        setFieldNumber(TB_mar_Text, TB_mar_Stepper, s.TB_marging_val, false);
        setFieldNumber(LR_mar_Text, LR_mar_Stepper, s.LR_margin_val, false);
        m_valueFont = s.value_font_val;
        m_headerFont = s.header_font_val;
        m_footerFont = s.footer_font_val;
        fontLabels();
        setButtonColor(bar_hdr_clr, s.barcode_hdr_clr_val);
        setButtonColor(bar_ftr_clr, s.barcode_ftr_clr_val);
        setButtonColor(bar_val_clr, s.barcode_val_clr_val);
        setButtonColor(bar_back_clr, s.barcode_back_clr_val);
        setButtonColor(barcode_clr, s.barcode_clr_val);
        setCombo(DPI_ComboBox, s.dpi_val_index);
        // The object's own custom resolution; one that is none (a new
        // object's "0") leaves the field as it was.
        const int custom = s.dpi_custom_val.trimmed().toInt();
        if (custom >= kMinimumDpi && custom <= kMaximumDpi)
            setFieldNumber(dpi_Text, dpi_Stepper, custom, true);
        applyResolutionChoice();

        Measument_Unit_Is = 1;
        last_unit_val = 1;
        if (liner_or_2D_font == 1)
            two_d_barcode_Opt_Select();
        else
            Liner_Barcode_Opt_Select();
        // The box follows the loaded object's symbology, not the last one
        // shown: UPC and EAN captions are laid out in fixed groups.
        kerning_value_Checkbox->setEnabled(liner_or_2D_font == 0
                                           && !hasFixedCaptionGroups(barcodeTypePopup->currentText()));
        _setLabels();
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    }
    Not_Draw_Only_Prop_Change = false;
}

BarcodeSettings Barcode_Gen_Dialog::currentSettings() const
{
    BarcodeSettings s = pass_barcode_control ? pass_barcode_control->barcodeSettings() : BarcodeSettings{};
    s.data_source_type = m_binding.data_source_type;
    s.batch_list_name = m_binding.batch_list_name;
    s.batch_list_index = m_binding.batch_list_index;
    s.excel_binding = m_binding.excel_binding;
    s.excel_col_indx = m_binding.excel_col_indx;
    s.linear_or_2d = liner_or_2D_font;
    s.barcode_font_index = barcodeTypePopup->currentIndex();
    s.linear_font_val = dataText->text();
    s.two_d_font_val = dataText_2D->toPlainText();
    s.header_val = HeaderText->text();
    s.footer_val = FooterText->text();
    s.show_hide_hdr = hideHeaderCheckbox->isChecked() ? 1 : 0;
    s.show_hide_ftr = hideFooterCheckbox->isChecked() ? 1 : 0;
    s.show_hide_val = captionCheckbox->isChecked() ? 1 : 0;
    s.show_val_on_top = showinTopCheckbox->isChecked() ? 1 : 0;
    s.kerning_val =
        kerning_value_Checkbox->isChecked() && !hasFixedCaptionGroups(barcodeTypePopup->currentText()) ? 1 : 0;
    s.align_hdr_index = align_hdr_combo->currentIndex();
    s.align_ftr_index = align_ftr_combo->currentIndex();
    s.linear_height_val = float(HeightStepper->value());
    s.linear_width_val = float(widthStepper->value());
    s.qr_size_val = HeightStepper_2D->intValue();
    s.qr_version_index = qr_version_ComboBox->currentIndex();
    s.qr_ec_index = qr_ec_lvl_ComboBox->currentIndex();
    s.pdf_hgt_val = pdf_HeightStepper_2D->intValue();
    s.pdf_wdt_val = Pdf_widthStepper_2D->intValue();
    s.pdf_ec_val = pdf_ec_lvl_Stepper->intValue();
    s.dm_module_val = dm_moduleStepper_2D->intValue();
    s.dm_format_index = dm_format_ComboBox->currentIndex();
    s.dm_encoding_index = dm_encoding_ComboBox->currentIndex();
    s.hdr_margin_val = float(hdr_mar_Stepper->value());
    s.ftr_margin_val = float(ftr_mar_Stepper->value());
    s.val_margin_val = float(val_mar_Stepper->value());
    s.TB_marging_val = float(TB_mar_Stepper->value());
    s.LR_margin_val = float(LR_mar_Stepper->value());
    s.value_font_val = m_valueFont;
    s.header_font_val = m_headerFont;
    s.footer_font_val = m_footerFont;
    s.barcode_hdr_clr_val = buttonColor(bar_hdr_clr);
    s.barcode_ftr_clr_val = buttonColor(bar_ftr_clr);
    s.barcode_val_clr_val = buttonColor(bar_val_clr);
    s.barcode_back_clr_val = buttonColor(bar_back_clr);
    s.barcode_clr_val = buttonColor(barcode_clr);
    s.dpi_val_index = DPI_ComboBox->currentIndex();
    s.dpi_custom_val = dpi_Text->text();
    return s;
}

void Barcode_Gen_Dialog::OK_Btn_Clicked()
{
    if (!Check_And_Validat_Barcode(false, false))
        return;
    // A value whose symbol could not be made is not stored: the object would
    // keep a value its picture does not show.
    if (!Check_And_Validat_Barcode(true, true))
        return;
    const platform::Image picture = barcodeImage->image();
    // The object's box takes the picture at the object's scale; a picture
    // larger than the card would be cut off at its edge.
    if (pass_barcode_control && design_window::Main_App_wnd) {
        const QSizeF card = drawing::host().canvasSize();
        const QSizeF size = barcodeBoxSize(pass_barcode_control->bounds(),
                                           pass_barcode_control->_barcode_image.size(), picture.size());
        constexpr double kSlack = 1e-6;
        if (!card.isEmpty() && (size.width() > card.width() + kSlack || size.height() > card.height() + kSlack)) {
            constexpr double kMillimetres = 25.4 / 72.0;
            Show_MessageBox(QStringLiteral("The barcode does not fit on the card at this size: it is %1 x %2 mm, "
                                           "the card %3 x %4 mm. Make it smaller, or choose Cancel to keep the "
                                           "barcode as it was.")
                                .arg(size.width() * kMillimetres, 0, 'f', 1)
                                .arg(size.height() * kMillimetres, 0, 'f', 1)
                                .arg(card.width() * kMillimetres, 0, 'f', 1)
                                .arg(card.height() * kMillimetres, 0, 'f', 1));
            return;
        }
    }
    Barcode_output_image = picture;
    done(1);
}

void Barcode_Gen_Dialog::Cancel_Btn_Clicked()
{
    // No result image: the object keeps the picture of its own settings.
    Barcode_output_image = {};
    done(0);
}

platform::Image Barcode_Gen_Dialog::Get_Image_From_Val(const QString &value, const QString &header,
                                                       const QString &footer)
{
    try {
        const BarcodeSettings settings = currentSettings();
        BarcodeSymbol made =
            barcodes::Generate_Barcode_Variable(settings, value, header, footer, USED_DPI_VALUE.load(), controlStates());
        m_testBarcode_EXP = std::move(made.symbol);
        if (m_testBarcode_EXP)
            return linearPicture(*m_testBarcode_EXP, made.layout);
        // Framed by its own symbol's size, not the preview's.
        return barcodes::Get_2d_barcode_from_image(made.image_2d, settings, header, footer);
    } catch (...) {
        return {};
    }
}

// ---------------------------------------------------------------- regeneration

QString Barcode_Gen_Dialog::currentValue() const
{
    return liner_or_2D_font == 1 ? dataText_2D->toPlainText() : dataText->text();
}

void Barcode_Gen_Dialog::setCurrentValue(const QString &value)
{
    const QSignalBlocker blockLinear(dataText);
    const QSignalBlocker block2D(dataText_2D);
    if (liner_or_2D_font == 1)
        dataText_2D->setPlainText(value);
    else
        dataText->setText(value);
}

std::optional<Barcode_Gen_Dialog::BoundValue> Barcode_Gen_Dialog::boundFirstValue() const
{
    const int item = Batch_Series->currentIndex();
    if (Data_source_type->currentText() == kManual || item < 0)
        return std::nullopt;
    const QString name = Trim_Str(Batch_Series->currentText());
    if (Data_source_type->currentText() == kSeries)
        return BoundValue{QStringLiteral("Series \"%1\"").arg(name),
                          Trim_Str(design_window::currentSeriesStore().Get_First_Value_Of_Dataset(name))};
    return BoundValue{QStringLiteral("Column \"%1\"").arg(name), Trim_Str(design_window::firstSpreadsheetValue(item))};
}

ControlStates Barcode_Gen_Dialog::controlStates() const
{
    ControlStates c;
    c.captionCheckboxEnabled = enabledHere(captionCheckbox);
    c.widthTextEnabled = enabledHere(widthText);
    c.HeightTextEnabled = enabledHere(HeightText);
    return c;
}

bool Barcode_Gen_Dialog::enabledHere(const QWidget *control) const
{
    // Enabled as far as this window goes: a modal panel over it must not
    // count as the control being switched off.
    return control->isEnabledTo(this);
}

void Barcode_Gen_Dialog::publishRecord(const BarcodeSettings &settings)
{
    *Barcode_Gen_Var = renderRecordFor(settings);
}

void Barcode_Gen_Dialog::barcodeTypeChanged()
{
    if (isTwoDimensionalTitle(barcodeTypePopup->currentText()))
        two_d_barcode_Opt_Select();
    else
        Liner_Barcode_Opt_Select();
    if (liner_or_2D_font == 0) {
        for (QWidget *w : std::initializer_list<QWidget *>{
                 HeightStepper, HeightText, widthStepper, widthText, captionCheckbox, hideHeaderCheckbox,
                 hideFooterCheckbox, FooterText, val_mar_Text, hdr_mar_Text, ftr_mar_Text, val_mar_Stepper,
                 hdr_mar_Stepper, ftr_mar_Stepper, align_hdr_combo, align_ftr_combo, showinTopCheckbox,
                 kerning_value_Checkbox})
            w->setEnabled(true);
    }
    if (hasFixedCaptionGroups(barcodeTypePopup->currentText()))
        kerning_value_Checkbox->setEnabled(false);
    // The unit labels follow the panels at once.
    _setLabels();
    // Bound to data, the symbol shows the data's first value whichever field
    // the new symbology reads, not one typed there before the binding.
    if (const auto bound = boundFirstValue(); bound && !bound->value.isEmpty())
        setCurrentValue(bound->value);
    if (currentValue().isEmpty()) {
        Show_MessageBox(QStringLiteral("Please enter barcode value"));
        Set_Blank_Image();
        return;
    }
    try {
        goButtonActionPerformed();
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    }
}

void Barcode_Gen_Dialog::goButtonActionPerformed()
{
    // While an object is being loaded the preview keeps what it shows.
    if (Not_Draw_Only_Prop_Change)
        return;
    const QString value = currentValue();
    if (!Check_And_Validat_Barcode(false, false))
        return;
    BarcodeSymbol made = Generate_Barcode_Variable(true, value, HeaderText->text(), FooterText->text());
    m_testBarcode = std::move(made.symbol);
    publishRecord(currentSettings());
}

BarcodeSymbol Barcode_Gen_Dialog::Generate_Barcode_Variable(bool show, const QString &value, const QString &header,
                                                            const QString &footer)
{
    BarcodeSymbol made;
    if (value.isEmpty())
        return made;
    if (show)
        barcodeImage->setImage({});
    barcode_error_label->hide();
    dm_encoding_note_label->hide();
    Get_Print_State();
    try {
        if (liner_or_2D_font != 0) {
            made.title = barcodeTypePopup->currentText();
            Barcode_module_size = 1;
            image_2d = {};
            m_previewError.clear();
            if (made.title == QLatin1String("QR Code"))
                Draw_QR_Barcode(value);
            else if (made.title == QLatin1String("PDF417"))
                Draw_PDF_417_Barcode(value);
            else if (made.title == QLatin1String("DataMatrix"))
                Draw_DataMatrix_Barcode(value);
            made.image_2d = image_2d;
            made.error = m_previewError;
            if (show) {
                if (image_2d.isNull())
                    Set_Blank_Image();
                else
                    Get_Image_From_barcode_image(image_2d);
            }
            return made;
        }
        made = barcodes::Generate_Barcode_Variable(currentSettings(), value, header, footer, USED_DPI_VALUE.load(),
                                                   controlStates());
        if (show) {
            if (made.symbol) {
                m_testLayout = made.layout;
                Get_Image_From_Barcode(*made.symbol);
            } else {
                m_previewError = made.error;
                Set_Blank_Image();
            }
        }
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    }
    return made;
}

bool Barcode_Gen_Dialog::Get_Print_State()
{
    const PrintState state =
        barcodes::Get_Print_State(captionCheckbox->isChecked() ? 1 : 0, enabledHere(captionCheckbox));
    if (state.showinTopEnabled)
        showinTopCheckbox->setEnabled(*state.showinTopEnabled);
    return state.printsCaption;
}

bool Barcode_Gen_Dialog::Check_And_Validat_Barcode(bool show_message, bool check_symbol)
{
    barcode_error_label->hide();
    BarcodeSymbolState state;
    state.hasSymbol = m_testBarcode != nullptr;
    state.symbolContentValid = !m_testBarcode || m_testBarcode->isContentValid();
    state.previewHasImage = !barcodeImage->image().isNull();
    state.twoDimensional = liner_or_2D_font == 1;
    if (barcodes::Check_And_Validat_Barcode(currentValue(), show_message, check_symbol, state))
        return true;
    if (m_previewError.isEmpty() || (liner_or_2D_font == 0 && !isAsciiBarcodeValue(currentValue())))
        m_previewError = kInvalidValue;
    Set_Blank_Image();
    return false;
}

void Barcode_Gen_Dialog::Set_Blank_Image()
{
    image_2d = {};
    dm_encoding_note_label->hide();
    barcodeImage->setImage({});
    QString notice = m_previewError.isEmpty() ? kInvalidValue : m_previewError;
    // The data's own value cannot be drawn this way: said as a run names
    // each such record, so the user knows it is not a typing slip.
    if (const auto bound = boundFirstValue(); bound && !bound->value.isEmpty() && bound->value == currentValue())
        notice = QStringLiteral("%1, first value %2: %3").arg(bound->source, design_window::quotedValue(bound->value),
                                                               notice);
    barcode_error_label->setText(notice);
    barcode_error_label->show();
}

void Barcode_Gen_Dialog::Set_Barcode_On_Panel(const platform::Image &image)
{
    const int placement = bar_align_combo->currentIndex();
    barcodeImage->setAlignment(placement >= 0 ? placements().at(placement).second : Qt::AlignCenter);
    barcodeImage->setImage(image);
    m_previewError.clear();
}

void Barcode_Gen_Dialog::Get_Image_From_Barcode(SymBarcode &symbol)
{
    if (!Check_And_Validat_Barcode(false, false))
        return;
    Set_Barcode_On_Panel(Check_Orintation_And_Rotate_Image(linearPicture(symbol, m_testLayout)));
}

void Barcode_Gen_Dialog::Get_Image_From_barcode_image(const platform::Image &)
{
    if (image_2d.isNull()) {
        Set_Blank_Image();
        return;
    }
    try {
        Set_Barcode_On_Panel(
            barcodes::Get_2d_barcode_from_image(image_2d, currentSettings(), HeaderText->text(), FooterText->text()));
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    }
}

void Barcode_Gen_Dialog::refreshLinearPreview()
{
    if (!m_testBarcode)
        return;
    m_testLayout = dressLinearSymbol(*m_testBarcode, renderRecordFor(currentSettings()), m_testBarcode->header(),
                                     m_testBarcode->footer(), m_testBarcode->printsCaption(), controlStates());
    Get_Image_From_Barcode(*m_testBarcode);
    publishRecord(currentSettings());
}

namespace {

// The view's image drawn through a mirroring transform, afresh on each
// device, so a barcode keeps its bars on whole pixels.
void mirror(SymBarcodeImageView *view, bool vertically)
{
    if (!view || view->image().isNull())
        return;
    const platform::Image source = view->image();
    const QSizeF size = source.size();
    view->setImage(platform::Image::drawing(size, [source, size, vertically](QPainter &p) {
        if (vertically) {
            p.translate(0, size.height());
            p.scale(1, -1);
        } else {
            p.translate(size.width(), 0);
            p.scale(-1, 1);
        }
        source.draw(p, QRectF(QPointF(0, 0), size));
    }));
}

} // namespace

void Barcode_Gen_Dialog::flipImageVertically(SymBarcodeImageView *view)
{
    mirror(view, true);
}

void Barcode_Gen_Dialog::flipImageHorizontally(SymBarcodeImageView *view)
{
    mirror(view, false);
}

// ---------------------------------------------------------------- 2-D symbols

void Barcode_Gen_Dialog::Draw_QR_Barcode(const QString &value)
{
    image_2d = barcodes::Draw_QR_Barcode(value, QR_EC_Level_Val.load(), QR_Version_Val.load(),
                                         int(fieldFloatValue(HeightText_2D->text())), USED_DPI_VALUE.load(),
                                         kTwoDimensionalBackground, &m_previewError);
}

void Barcode_Gen_Dialog::Draw_PDF_417_Barcode(const QString &value)
{
    Barcode_module_size = pdf_HeightStepper_2D->intValue();
    const QSizeF frame(int(fieldFloatValue(Pdf_widthText_2D->text())), pdf_HeightStepper_2D->intValue());
    image_2d = barcodes::Draw_PDF_417_Barcode(value, frame, pdf_ec_lvl_Stepper->intValue(), USED_DPI_VALUE.load(),
                                              kTwoDimensionalBackground, &m_previewError);
}

void Barcode_Gen_Dialog::Draw_DataMatrix_Barcode(const QString &value)
{
    Barcode_module_size = dm_moduleStepper_2D->intValue();
    QString note;
    image_2d = drawDataMatrixSymbol(value, dm_format_ComboBox->currentText(), dm_encoding_ComboBox->currentText(),
                                    Barcode_module_size.load(), USED_DPI_VALUE.load(), kTwoDimensionalBackground,
                                    &m_previewError, &note);
    dm_encoding_note_label->setText(note);
    dm_encoding_note_label->setVisible(!note.isEmpty());
    if (image_2d.isNull())
        Set_Blank_Image();
}

void Barcode_Gen_Dialog::Get_2d_barcode_from_image()
{
    if (image_2d.isNull()) {
        Set_Blank_Image();
        return;
    }
    if (liner_or_2D_font == 1)
        Get_Image_From_barcode_image(image_2d);
}

void Barcode_Gen_Dialog::Check_And_Set_QR_size_Acc_Version(int version)
{
    const QRSizeMinimum size =
        barcodes::Check_And_Set_QR_size_Acc_Version(version, int(fieldFloatValue(HeightText_2D->text())));
    HeightStepper_2D->setMinimum(size.minimum);
    if (int(fieldFloatValue(HeightText_2D->text())) < size.minimum)
        setFieldNumber(HeightText_2D, HeightStepper_2D, size.minimum, true);
}

void Barcode_Gen_Dialog::data_matrix_barcode_size_acc_format()
{
    const QSize current(dm_widthStepper_2D->intValue(), dm_HeightStepper_2D->intValue());
    const QSize raised = barcodes::data_matrix_barcode_size_acc_format(dm_format_ComboBox->currentText(),
                                                                       dm_moduleStepper_2D->intValue(), current);
    if (raised.width() != current.width())
        setFieldNumber(dm_widthText_2D, dm_widthStepper_2D, raised.width(), true);
    if (raised.height() != current.height())
        setFieldNumber(dm_HeightText_2D, dm_HeightStepper_2D, raised.height(), true);
}

// ---------------------------------------------------------------- panels

void Barcode_Gen_Dialog::Liner_Barcode_Opt_Select()
{
    liner_or_2D_font = 0;
    dataText->setEnabled(true);
    dataText->show();
    dataText_2D->hide();
    for (QWidget *w : std::initializer_list<QWidget *>{
             showinTopCheckbox, captionCheckbox, val_mar_Text, val_mar_Stepper, val_mar_label, val_font_label,
             val_font_btn, value_font_value, barcode_clr, bar_back_clr, bar_val_clr, bar_clr_label, bar_bk_clr_label,
             val_clr_label, linear_sett_box, kerning_value_Checkbox})
        w->show();
    for (QWidget *w : {two_d_sett_box, pdf_2d_sett_box, dm_2d_sett_box})
        w->hide();
    if (sett_tab->count() == 4)
        sett_tab->removeTab(kResolutionTab);
    sett_tab->setCurrentIndex(0);
}

void Barcode_Gen_Dialog::two_d_barcode_Opt_Select()
{
    liner_or_2D_font = 1;
    dataText->setEnabled(false);
    dataText->hide();
    dataText_2D->show();
    for (QWidget *w : std::initializer_list<QWidget *>{
             showinTopCheckbox, captionCheckbox, val_mar_Text, val_mar_Stepper, val_mar_label, val_font_label,
             val_font_btn, value_font_value, barcode_clr, bar_back_clr, bar_val_clr, bar_clr_label, bar_bk_clr_label,
             val_clr_label, linear_sett_box, kerning_value_Checkbox})
        w->hide();
    if (sett_tab->count() == 3)
        sett_tab->insertTab(kResolutionTab, dpi_tab_item, tr("Resolution"));
    const QString title = barcodeTypePopup->currentText();
    QGroupBox *shown = title == QLatin1String("QR Code")  ? two_d_sett_box
        : title == QLatin1String("PDF417")                 ? pdf_2d_sett_box
        : title == QLatin1String("DataMatrix")             ? dm_2d_sett_box
                                                           : nullptr;
    if (!shown)
        return;
    for (QGroupBox *box : {two_d_sett_box, pdf_2d_sett_box, dm_2d_sett_box})
        box->setVisible(box == shown);
}

void Barcode_Gen_Dialog::_setLabels()
{
    if (liner_or_2D_font == 1) {
        barHeightLabel->setText(tr("Bar Height :"));
        barWidthLabel->setText(tr("Bar Width :"));
        return;
    }
    switch (Measument_Unit_Is.load()) {
    case 0:
        barHeightLabel->setText(tr("Bar Height (in):"));
        margin_box->setTitle(tr("Margins (in)"));
        break;
    case 1:
        barHeightLabel->setText(tr("Bar Height (cm):"));
        margin_box->setTitle(tr("Margins (cm)"));
        break;
    default:
        barHeightLabel->setText(tr("Bar Height (mm):"));
        margin_box->setTitle(tr("Margins (mm)"));
        break;
    }
    barWidthLabel->setText(tr("Bar Width (Mils):"));
}

void Barcode_Gen_Dialog::fontLabels()
{
    value_font_value->setText(fontLabel(m_valueFont));
    header_font_value->setText(fontLabel(m_headerFont));
    footer_font_value->setText(fontLabel(m_footerFont));
}

// ---------------------------------------------------------------- fonts and texts

void Barcode_Gen_Dialog::chooseFont(const QFont &font, void (Barcode_Gen_Dialog::*taken)(const QFont &))
{
    if (const std::optional<QFont> chosen = design_window::chooseFont(this, font))
        (this->*taken)(*chosen);
}

void Barcode_Gen_Dialog::Value_Font_Changed()
{
    chooseFont(m_valueFont, &Barcode_Gen_Dialog::changeFont);
}

void Barcode_Gen_Dialog::Header_Font_Changed()
{
    chooseFont(m_headerFont, &Barcode_Gen_Dialog::header_changeFont);
}

void Barcode_Gen_Dialog::Footer_Font_Changed()
{
    chooseFont(m_footerFont, &Barcode_Gen_Dialog::footer_changeFont);
}

void Barcode_Gen_Dialog::changeFont(const QFont &font)
{
    m_valueFont = font;
    fontLabels();
    if (liner_or_2D_font == 1)
        Get_2d_barcode_from_image();
    else
        refreshLinearPreview();
}

void Barcode_Gen_Dialog::header_changeFont(const QFont &font)
{
    m_headerFont = font;
    fontLabels();
    if (liner_or_2D_font == 1)
        Get_2d_barcode_from_image();
    else
        refreshLinearPreview();
}

void Barcode_Gen_Dialog::footer_changeFont(const QFont &font)
{
    m_footerFont = font;
    fontLabels();
    if (liner_or_2D_font == 1)
        Get_2d_barcode_from_image();
    else
        refreshLinearPreview();
}

void Barcode_Gen_Dialog::controlTextDidChange(QObject *object)
{
    if (object != dataText && object != HeaderText && object != FooterText && object != dataText_2D)
        return;
    if (liner_or_2D_font == 0)
        goButtonActionPerformed();
    else if (object != dataText_2D)
        Get_2d_barcode_from_image();
}

void Barcode_Gen_Dialog::textDidEndEditing(QObject *object)
{
    if (object == dataText_2D && liner_or_2D_font == 1)
        goButtonActionPerformed();
    else
        controlTextDidChange(object);
}

void Barcode_Gen_Dialog::textDidChange(QObject *object)
{
    if (object == dataText_2D)
        goButtonActionPerformed();
}

// ---------------------------------------------------------------- pairs

void Barcode_Gen_Dialog::Value_Margin_Changed(QObject *sender)
{
    syncPair(val_mar_Text, val_mar_Stepper, sender, false);
    if (liner_or_2D_font == 0)
        refreshLinearPreview();
}

void Barcode_Gen_Dialog::Header_Margin_Changed(QObject *sender)
{
    syncPair(hdr_mar_Text, hdr_mar_Stepper, sender, false);
    if (liner_or_2D_font == 0)
        refreshLinearPreview();
    else
        Get_2d_barcode_from_image();
}

void Barcode_Gen_Dialog::Footer_Margin_Changed(QObject *sender)
{
    syncPair(ftr_mar_Text, ftr_mar_Stepper, sender, false);
    if (liner_or_2D_font == 0)
        refreshLinearPreview();
    else
        Get_2d_barcode_from_image();
}

void Barcode_Gen_Dialog::TB_Margin_Changed(QObject *sender)
{
    syncPair(TB_mar_Text, TB_mar_Stepper, sender, false);
    if (liner_or_2D_font == 0)
        refreshLinearPreview();
    else
        Get_2d_barcode_from_image();
}

void Barcode_Gen_Dialog::LR_Margin_Changed(QObject *sender)
{
    syncPair(LR_mar_Text, LR_mar_Stepper, sender, false);
    if (liner_or_2D_font == 0)
        refreshLinearPreview();
    else
        Get_2d_barcode_from_image();
}

void Barcode_Gen_Dialog::heightChanged(QObject *sender)
{
    if (sender == HeightText_2D || sender == HeightStepper_2D)
        syncPair(HeightText_2D, HeightStepper_2D, sender, true);
    else
        syncPair(HeightText, HeightStepper, sender, false);
    if (liner_or_2D_font == 0)
        refreshLinearPreview();
    else
        goButtonActionPerformed();
}

void Barcode_Gen_Dialog::widthChanged(QObject *sender)
{
    if (sender == Pdf_widthText_2D || sender == Pdf_widthStepper_2D)
        syncPair(Pdf_widthText_2D, Pdf_widthStepper_2D, sender, true);
    else
        syncPair(widthText, widthStepper, sender, false);
    if (liner_or_2D_font == 0)
        refreshLinearPreview();
    else
        goButtonActionPerformed();
}

void Barcode_Gen_Dialog::pdf_heightChanged(QObject *sender)
{
    syncPair(pdf_HeightText_2D, pdf_HeightStepper_2D, sender, true);
    goButtonActionPerformed();
}

void Barcode_Gen_Dialog::PDF_Row_Changed(QObject *sender)
{
    syncPair(pdf_row_Text, pdf_row_Stepper, sender, true);
    PDF_Row = pdf_row_Stepper->intValue();
    goButtonActionPerformed();
}

void Barcode_Gen_Dialog::PDF_Col_Changed(QObject *sender)
{
    syncPair(pdf_col_Text, pdf_col_Stepper, sender, true);
    PDF_Col = pdf_col_Stepper->intValue();
    goButtonActionPerformed();
}

void Barcode_Gen_Dialog::PDF_EC_Lvl_Changed(QObject *sender)
{
    syncPair(pdf_ec_lvl_Text, pdf_ec_lvl_Stepper, sender, true);
    goButtonActionPerformed();
}

void Barcode_Gen_Dialog::dm_widthChanged(QObject *sender)
{
    syncPair(dm_widthText_2D, dm_widthStepper_2D, sender, true);
    goButtonActionPerformed();
}

void Barcode_Gen_Dialog::dm_heightChanged(QObject *sender)
{
    syncPair(dm_HeightText_2D, dm_HeightStepper_2D, sender, true);
    goButtonActionPerformed();
}

void Barcode_Gen_Dialog::dm_modulesizeChanged(QObject *sender)
{
    syncPair(dm_moduleText_2D, dm_moduleStepper_2D, sender, true);
    // Only the arrows raise the width and height to the chosen size.
    if (sender == dm_moduleStepper_2D)
        data_matrix_barcode_size_acc_format();
    goButtonActionPerformed();
}

void Barcode_Gen_Dialog::DPI_Value_Changed(QObject *sender)
{
    syncPair(dpi_Text, dpi_Stepper, sender, true);
    // Typing moves the arrows only; the next symbol takes the clicked value.
    if (sender == dpi_Stepper)
        USED_DPI_VALUE = dpi_Stepper->intValue();
}

// ---------------------------------------------------------------- check boxes and colours

void Barcode_Gen_Dialog::captionChanged()
{
    const bool prints = Get_Print_State();
    if (liner_or_2D_font == 1) {
        Get_2d_barcode_from_image();
    } else if (m_testBarcode) {
        m_testBarcode->setPrintsCaption(prints);
        refreshLinearPreview();
    }
}

void Barcode_Gen_Dialog::showinTopChanged()
{
    if (liner_or_2D_font == 1 || !m_testBarcode)
        return;
    m_testBarcode->setPrintsCaption(!captionCheckbox->isChecked());
    refreshLinearPreview();
}

void Barcode_Gen_Dialog::hideHeaderChanged()
{
    if (liner_or_2D_font == 1)
        Get_2d_barcode_from_image();
    else
        refreshLinearPreview();
}

void Barcode_Gen_Dialog::hideFooterChanged()
{
    if (liner_or_2D_font == 1)
        Get_2d_barcode_from_image();
    else
        refreshLinearPreview();
}

void Barcode_Gen_Dialog::Header_Color_Changed(QPushButton *well)
{
    const QColor chosen = design_window::chooseColor(this, buttonColor(well));
    if (!chosen.isValid())
        return;
    setButtonColor(well, chosen);
    Set_Font_Clr();
}

void Barcode_Gen_Dialog::Set_Font_Clr()
{
    if (liner_or_2D_font == 1)
        Get_2d_barcode_from_image();
    else
        refreshLinearPreview();
}

// ---------------------------------------------------------------- combo boxes

void Barcode_Gen_Dialog::applyResolutionChoice()
{
    const QString item = DPI_ComboBox->currentText();
    const bool custom = item == QLatin1String("Custom");
    dpi_Stepper->setVisible(custom);
    dpi_Text->setVisible(custom);
    USED_DPI_VALUE = resolutionForItem(item, dpi_Stepper->intValue());
}

bool Barcode_Gen_Dialog::applyDataSourceChoice(bool fromUser)
{
    const QString item = Data_source_type->currentText();
    const bool manual = item == kManual;
    // The viewers are the program's batch data windows; without them the
    // button has nothing to open.
    view_series_btn->setEnabled(!manual && design_window::seriesWindows());
    Batch_Series->setEnabled(!manual);
    dataText->setReadOnly(!manual);
    dataText_2D->setReadOnly(!manual);
    const QSignalBlocker block(Batch_Series);
    if (manual) {
        Batch_Series->clear();
        if (fromUser) {
            m_binding.data_source_type = 0;
            m_binding.excel_binding = false;
        }
    } else if (item == kSeries) {
        design_window::fillSeriesNames(Batch_Series);
        if (Batch_Series->count() == 0 && fromUser) {
            Show_MessageBox(QStringLiteral("Please create batch processing series first."));
            // The source stays what it was.
            setCombo(Data_source_type, m_lastDataSource);
            applyDataSourceChoice(false);
            return false;
        }
        if (!m_binding.batch_list_name.isEmpty())
            Batch_Series->setCurrentIndex(Batch_Series->findText(m_binding.batch_list_name));
        if (fromUser) {
            m_binding.data_source_type = 1;
            m_binding.excel_binding = false;
        }
    } else {
        Batch_Series->clear();
        design_window::fillColumnTitles(Batch_Series);
        Batch_Series->setCurrentIndex(m_binding.excel_col_indx < Batch_Series->count() ? m_binding.excel_col_indx
                                                                                       : -1);
        if (fromUser) {
            m_binding.data_source_type = 2;
            m_binding.excel_binding = true;
        }
    }
    m_lastDataSource = Data_source_type->currentIndex();
    return true;
}

void Barcode_Gen_Dialog::comboBoxSelectionDidChange(QComboBox *sender)
{
    try {
        if (sender == DPI_ComboBox) {
            applyResolutionChoice();
            return;
        }
        if (sender == Data_source_type) {
            if (applyDataSourceChoice(true))
                goButtonActionPerformed();
            return;
        }
        if (sender == Batch_Series) {
            const QString name = Trim_Str(Batch_Series->currentText());
            const int index = Batch_Series->currentIndex();
            if (name.isEmpty() || !pass_barcode_control)
                return;
            m_binding.batch_list_name = name;
            m_binding.batch_list_index = index;
            // The column is what a batch run reads the values from.
            if (Data_source_type->currentText() != kSeries)
                m_binding.excel_col_indx = index;
            setCurrentValue(boundFirstValue().value_or(BoundValue{}).value);
            goButtonActionPerformed();
            if (design_window::Main_App_wnd)
                design_window::Main_App_wnd->Refresh_Canvas();
            return;
        }
        if (liner_or_2D_font == 1) {
            if (sender == qr_enc_mode_ComboBox) {
                QR_Enc_Mode_Val = sender->currentIndex();
            } else if (sender == qr_version_ComboBox) {
                QR_Version_Val = sender->currentIndex();
                Check_And_Set_QR_size_Acc_Version(QR_Version_Val);
            } else if (sender == qr_ec_lvl_ComboBox) {
                QR_EC_Level_Val = sender->currentIndex();
            } else if (sender == dm_format_ComboBox) {
                data_matrix_barcode_size_acc_format();
            } else if (sender != dm_encoding_ComboBox) {
                return;
            }
            goButtonActionPerformed();
            return;
        }
        if (!m_testBarcode)
            return;
        if (sender == align_hdr_combo || sender == align_ftr_combo || sender == bar_orient_combo)
            refreshLinearPreview();
        else if (sender == bar_align_combo)
            barcodeImage->setAlignment(placements().at(std::max(0, sender->currentIndex())).second);
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    }
}

void Barcode_Gen_Dialog::View_batch_Series_Button()
{
    // The source the object is bound to decides the viewer: a spreadsheet
    // column's title is no series name.
    const QString item = Data_source_type->currentText();
    const int source = item == kManual ? 0 : item == kSeries ? 1 : 2;
    design_window::viewBoundSource(source, Batch_Series->currentIndex() < 0 ? QString() : Batch_Series->currentText());
}

// ---------------------------------------------------------------- help

void Barcode_Gen_Dialog::showHelp(const QString &title, const QString &text)
{
    design_window::Cutom_Msg_Title = title;
    design_window::Cutom_Msg_Val = text;
    Long_SMS_Dlg::defaultInstance().run({title, text});
}

void Barcode_Gen_Dialog::QR_Version_Help_Btn()
{
    showHelp(QStringLiteral("Version :"),
             QStringLiteral("Version is configuration or number of modules (combination of black and white dots)."));
}

void Barcode_Gen_Dialog::QR_EC_Lvl_Help_Btn()
{
    showHelp(QStringLiteral("Error correction (EC) level :"),
             QStringLiteral("An error-correction mechanism is built in each symbol so that the symbol can still be "
                            "decoded even if it is damaged."));
}

void Barcode_Gen_Dialog::PDF_row_Help_btn()
{
    showHelp(QStringLiteral("PDF Rows :"), QStringLiteral("Number of rows in the PDF barcode."));
}

void Barcode_Gen_Dialog::PDF_col_Help_btn()
{
    showHelp(QStringLiteral("PDF Columns :"), QStringLiteral("Number of columns in the PDF barcode."));
}

void Barcode_Gen_Dialog::PDF_ec_lvl_Help_btn()
{
    showHelp(QStringLiteral("PDF EC Level :"),
             QStringLiteral("An error-correction mechanism is built in each symbol so that the symbol can still be "
                            "decoded even if it is damaged in PDF barcode."));
}

void Barcode_Gen_Dialog::DM_format_Help_btn()
{
    showHelp(QStringLiteral("Preferred Format :"),
             QStringLiteral("Preferred Mode determines the smallest size of the symbol."));
}

void Barcode_Gen_Dialog::DM_Encoding_Help_btn()
{
    showHelp(QStringLiteral("Encoding Mode :"),
             QStringLiteral("Encoding Mode is mode of compaction to encode data in the symbol."));
}

void Barcode_Gen_Dialog::DPI_Help_Label()
{
    showHelp(QStringLiteral("DPI (Dots Per Inch) :"),
             QStringLiteral("Dots per inch is a measure of the resolution of printers in terms of Print Quality.\n\n"
                            "Bigger the DPI, Better the Print Quality. But File size of image also increases, as you "
                            "choose bigger DPI."));
}

} // namespace barcodes
