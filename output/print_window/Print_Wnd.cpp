#include "output/print_window/Print_Wnd.h"

#include "design_window/Globals.h"
#include "design_window/PanelSupport.h"
#include "design_window/DesignHub.h"
#include "output/print_window/PrintGlobals.h"
#include "output/print_window/Printing_View.h"
#include "output/print_window/Sample_Preview.h"
#include "output/widgets/Send_Modeless.h"
#include "platform/Helpers.h"
#include "platform/ModalRun.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

using namespace output;
using design_window::named;

const QString Print_Wnd::kPdfFileItem = QStringLiteral("PDF File");

namespace {

// The face of an alignment button: the sheet with the block of labels where
// the button puts it; the chosen button's sheet is blue.
QIcon alignmentFace(int value, bool selected)
{
    QPixmap face(28, 28);
    face.fill(Qt::transparent);
    QPainter painter(&face);
    painter.setPen(QColor(90, 90, 90));
    painter.setBrush(selected ? QColor(120, 170, 240) : QColor(Qt::white));
    painter.drawRect(QRectF(2.5, 2.5, 23, 23));
    const int column = (value - 1) % 3, row = (value - 1) / 3;
    painter.fillRect(QRectF(5 + column * 6, 5 + row * 6, 6, 6), QColor(40, 40, 40));
    return QIcon(face);
}

// Whether the design's records are used.
bool batchRun()
{
    return design_window::Use_Data_Sheet_Values || design_window::Use_Excel_Binding_Values;
}

// The canvases do not redraw while a run fills records into the design.
class RecordsInProcess {
public:
    explicit RecordsInProcess(bool on) : m_was(design_window::Card_Value_In_Process.exchange(on)) {}
    ~RecordsInProcess() { design_window::Card_Value_In_Process = m_was; }

private:
    bool m_was;
};

// Rows or columns no sheet holds more of.
constexpr int kMostCells = 999;

QString millimetres(float points)
{
    return QString::asprintf("%0.2f", double(Points_to_MM_Convert(points)));
}

// A count of rows or columns: a number typed above the most that fit is
// taken as that most, where a plain spin box would refuse the keystroke and
// keep the old value without a word.
class CountSpinBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString &text, int &pos) const override
    {
        const QValidator::State state = QSpinBox::validate(text, pos);
        return state == QValidator::Invalid && aboveMaximum(text) ? QValidator::Intermediate : state;
    }
    void fixup(QString &text) const override
    {
        if (aboveMaximum(text))
            text = textFromValue(maximum());
        else
            QSpinBox::fixup(text);
    }

private:
    bool aboveMaximum(const QString &text) const
    {
        const QString digits = text.trimmed();
        if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); }))
            return false;
        bool ok = false;
        const qlonglong value = digits.toLongLong(&ok);
        return !ok || value > maximum();
    }
};

// Qt's page set-up panel starts its margin fields at 0 for a printer of the
// system, whatever the print settings hold, and would hand back margins the
// printer cannot print (which the settings then refuse). The fields are
// given the margins the window shows and lays the sheet out in, so that the
// panel shows and changes the ones in use. (For a PDF file the panel shows
// them itself, and setting them again changes nothing.)
void showMarginsIn(QPageSetupDialog &setup, const QPrinter &printer)
{
    const auto *units = setup.findChild<QComboBox *>(QStringLiteral("unitCombo"));
    if (!units || !units->currentData().canConvert<QPageLayout::Unit>())
        return;
    const QMarginsF m = printer.pageLayout().margins(units->currentData().value<QPageLayout::Unit>());
    const std::pair<const char *, qreal> fields[] = {
        {"leftMargin", m.left()}, {"rightMargin", m.right()}, {"topMargin", m.top()}, {"bottomMargin", m.bottom()}};
    for (const auto &[name, value] : fields) {
        if (auto *field = setup.findChild<QDoubleSpinBox *>(QLatin1String(name)))
            field->setValue(value);
    }
}

} // namespace

Print_Wnd::Print_Wnd(PrintedDesign design, QWidget *parent)
    : QDialog(parent)
    , m_design(std::move(design))
    , m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("Print_Wnd"));
    setWindowTitle(tr("Print"));
    setAutoFillBackground(true);
    QPalette look = palette();
    look.setColor(QPalette::Window, QColor(241, 244, 250));
    setPalette(look);
    buildControls();
    takeDefaultPaper();
    Print_Var = this;
    printInfo = m_printer.get();
}

Print_Wnd::~Print_Wnd()
{
    if (Print_Var == this) {
        Print_Var = nullptr;
        printInfo = nullptr;
    }
}

Print_Wnd *Print_Wnd::defaultInstance()
{
    static QPointer<Print_Wnd> instance;
    if (!instance)
        instance = new Print_Wnd(designOfMainWindow(),
                                 design_window::Main_App_wnd ? design_window::Main_App_wnd->mainWidget() : nullptr);
    return instance;
}

void Print_Wnd::buildControls()
{
    auto spin = [](QSpinBox *box, const char *name, int minimum, int maximum) {
        named(box, name);
        box->setRange(minimum, maximum);
        box->setKeyboardTracking(false);
        return box;
    };
    auto lengthSpin = [this](const char *name, double minimum) {
        auto *box = named(new QDoubleSpinBox(this), name);
        box->setRange(minimum, 1000);
        box->setDecimals(2);
        box->setSuffix(QStringLiteral(" mm"));
        box->setKeyboardTracking(false);
        connect(box, &QDoubleSpinBox::valueChanged, this, &Print_Wnd::Check_Max_Cell_Value);
        return box;
    };

    // Printer and paper.
    auto *printer = named(new QGroupBox(tr("Printer"), this), "printer_box");
    auto *printerForm = new QFormLayout(printer);
    Printer_ComboBox = named(new QComboBox(printer), "Printer_ComboBox");
    Orient_ComboBox = named(new QComboBox(printer), "Orient_ComboBox");
    Orient_ComboBox->addItems({QStringLiteral("Portrait"), QStringLiteral("Landscape")});
    page_setup_btn = named(new QPushButton(tr("Page Setup..."), printer), "page_setup_btn");
    Paper_id = named(new QLabel(printer), "Paper_id");
    Size_id = named(new QLabel(printer), "Size_id");
    l_mar_id = named(new QLabel(printer), "l_mar_id");
    r_mar_id = named(new QLabel(printer), "r_mar_id");
    t_mar_id = named(new QLabel(printer), "t_mar_id");
    b_mar_id = named(new QLabel(printer), "b_mar_id");
    auto *margins = new QGridLayout;
    margins->addWidget(new QLabel(tr("Left:")), 0, 0);
    margins->addWidget(l_mar_id, 0, 1);
    margins->addWidget(new QLabel(tr("Right:")), 0, 2);
    margins->addWidget(r_mar_id, 0, 3);
    margins->addWidget(new QLabel(tr("Top:")), 1, 0);
    margins->addWidget(t_mar_id, 1, 1);
    margins->addWidget(new QLabel(tr("Bottom:")), 1, 2);
    margins->addWidget(b_mar_id, 1, 3);
    printerForm->addRow(tr("Printer:"), Printer_ComboBox);
    printerForm->addRow(tr("Orientation:"), Orient_ComboBox);
    printerForm->addRow(tr("Paper:"), Paper_id);
    printerForm->addRow(tr("Size (mm):"), Size_id);
    printerForm->addRow(tr("Margins (mm):"), margins);
    printerForm->addRow(QString(), page_setup_btn);
    connect(Printer_ComboBox, &QComboBox::activated, this, [this] { comboBoxSelectionDidChange(Printer_ComboBox); });
    connect(Orient_ComboBox, &QComboBox::activated, this, [this] { comboBoxSelectionDidChange(Orient_ComboBox); });
    connect(page_setup_btn, &QPushButton::clicked, this, &Print_Wnd::pagesetup);

    // The labels.
    auto *labels = named(new QGroupBox(tr("Labels"), this), "labels_box");
    auto *labelForm = new QFormLayout(labels);
    width_Text = lengthSpin("width_Text", 0.1);
    height_Text = lengthSpin("height_Text", 0.1);
    horz_mar_Text = lengthSpin("horz_mar_Text", 0);
    vert_mar_Text = lengthSpin("vert_mar_Text", 0);
    Row_Text = spin(new CountSpinBox(labels), "Row_Text", 1, kMostCells);
    Col_Text = spin(new CountSpinBox(labels), "Col_Text", 1, kMostCells);
    Total_Text = spin(new QSpinBox(labels), "Total_Text", 0, 999999);
    Copies_Text = spin(new QSpinBox(labels), "Copies_Text", 1, 999);
    for (QSpinBox *count : {Row_Text, Col_Text})
        connect(count, &QSpinBox::valueChanged, this, &Print_Wnd::Check_Max_Cell_Value);
    labelForm->addRow(tr("Card width:"), width_Text);
    labelForm->addRow(tr("Card height:"), height_Text);
    labelForm->addRow(tr("Horizontal gap:"), horz_mar_Text);
    labelForm->addRow(tr("Vertical gap:"), vert_mar_Text);
    labelForm->addRow(tr("Rows:"), Row_Text);
    labelForm->addRow(tr("Columns:"), Col_Text);
    labelForm->addRow(tr("Total:"), Total_Text);
    labelForm->addRow(tr("Copies:"), Copies_Text);
    print_with_batch_chk =
        named(new QCheckBox(tr("Print with Batch Processing Series"), labels), "print_with_batch_chk");
    print_with_excel_chk = named(new QCheckBox(tr("Print with Excel records"), labels), "print_with_excel_chk");
    labelForm->addRow(print_with_batch_chk);
    labelForm->addRow(print_with_excel_chk);
    connect(print_with_batch_chk, &QCheckBox::clicked, this, &Print_Wnd::Print_With_Batch_Changed);
    connect(print_with_excel_chk, &QCheckBox::clicked, this, &Print_Wnd::Print_With_Excel_Changed);

    // Sides and placement.
    auto *placement = named(new QGroupBox(tr("Card Side and Alignment"), this), "placement_box");
    auto *placementLayout = new QVBoxLayout(placement);
    matrix_card_side = new QButtonGroup(this);
    matrix_card_side->setObjectName(QStringLiteral("matrix_card_side"));
    const QString sideTitles[] = {tr("Both Sides"), tr("Front Side"), tr("Back Side")};
    auto *sides = new QHBoxLayout;
    for (int row = 0; row < 3; ++row) {
        card_side_rows[size_t(row)] = new QRadioButton(sideTitles[row], placement);
        card_side_rows[size_t(row)]->setObjectName(QStringLiteral("card_side_row%1").arg(row));
        matrix_card_side->addButton(card_side_rows[size_t(row)], row);
        sides->addWidget(card_side_rows[size_t(row)]);
    }
    connect(matrix_card_side, &QButtonGroup::idClicked, this, &Print_Wnd::card_side_CellClick);
    print_alignment = named(new QComboBox(placement), "print_alignment");
    print_alignment->addItems({tr("One above the other"), tr("Side by side")});
    connect(print_alignment, &QComboBox::activated, this, [this] { comboBoxSelectionDidChange(print_alignment); });
    placementLayout->addLayout(sides);
    auto *pairing = new QFormLayout;
    pairing->addRow(tr("Both sides:"), print_alignment);
    placementLayout->addLayout(pairing);

    align_Gp_Bx = named(new QGroupBox(tr("Alignment"), placement), "align_Gp_Bx");
    auto *alignGrid = new QGridLayout(align_Gp_Bx);
    const char *names[] = {"top_left_btn", "top_center_btn", "top_rite_btn", "mid_left_btn", "mid_center_btn",
                           "mid_rite_btn", "bot_left_btn", "bot_center_btn", "bot_rite_btn"};
    for (int value = 1; value <= 9; ++value) {
        auto *button = named(new QToolButton(align_Gp_Bx), names[value - 1]);
        button->setIconSize(QSize(28, 28));
        button->setAutoRaise(true);
        alignGrid->addWidget(button, (value - 1) / 3, (value - 1) % 3);
        connect(button, &QToolButton::clicked, this, [this, value] { alignmentClicked(value); });
        align_buttons[size_t(value - 1)] = button;
    }
    Auto_Center_chk_bx = named(new QCheckBox(tr("Auto Center"), placement), "Auto_Center_chk_bx");
    Show_Margins = named(new QCheckBox(tr("Show Margins"), placement), "Show_Margins");
    connect(Auto_Center_chk_bx, &QCheckBox::clicked, this, &Print_Wnd::Auto_Center_Checked);
    connect(Show_Margins, &QCheckBox::clicked, this, &Print_Wnd::Show_Margin_Checked);
    auto *alignRow = new QHBoxLayout;
    alignRow->addWidget(align_Gp_Bx);
    auto *checks = new QVBoxLayout;
    checks->addWidget(Auto_Center_chk_bx);
    checks->addWidget(Show_Margins);
    checks->addStretch();
    alignRow->addLayout(checks);
    placementLayout->addLayout(alignRow);

    // The sheet sample and its picture.
    PrintView = new Sample_Preview;
    Print_sclview = named(new QScrollArea(this), "Print_sclview");
    Print_sclview->setWidget(PrintView);
    Print_sclview->setBackgroundRole(QPalette::Button);
    // The sheet's whole width at one pixel a point, for the papers most used.
    Print_sclview->setMinimumSize(640, 500);
    test_image_view = named(new QLabel(this), "test_image_view");
    test_image_view->setFixedSize(150, 190);
    test_image_view->setAlignment(Qt::AlignCenter);
    test_image_view->setFrameShape(QFrame::StyledPanel);

    preview_btn = named(new QPushButton(tr("Preview"), this), "preview_btn");
    print_btn = named(new QPushButton(tr("Print"), this), "print_btn");
    cancel_btn = named(new QPushButton(tr("Cancel"), this), "cancel_btn");
    connect(preview_btn, &QPushButton::clicked, this, &Print_Wnd::PreviewButtonPressed);
    connect(print_btn, &QPushButton::clicked, this, &Print_Wnd::PrintButtonPressed);
    connect(cancel_btn, &QPushButton::clicked, this, &Print_Wnd::CancelButtonPressed);
    print_btn->setDefault(true);

    auto *left = new QVBoxLayout;
    left->addWidget(printer);
    left->addWidget(labels);
    left->addStretch();
    auto *middle = new QVBoxLayout;
    middle->addWidget(placement);
    middle->addWidget(test_image_view, 0, Qt::AlignHCenter);
    middle->addStretch();
    auto *columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(middle);
    columns->addWidget(Print_sclview, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_btn);
    buttons->addWidget(preview_btn);
    buttons->addWidget(print_btn);
    auto *outer = new QVBoxLayout(this);
    outer->addLayout(columns);
    outer->addLayout(buttons);
}

void Print_Wnd::takeDefaultPaper()
{
    // Qt gives every new print setting A4, whatever the printer's own paper.
    const QPageSize paper = QPrinterInfo::printerInfo(m_printer->printerName()).defaultPageSize();
    if (paper.isValid())
        m_printer->setPageSize(paper);
    takePrintableArea();
}

void Print_Wnd::takePrintableArea()
{
    // The page margins are the ones the window shows and lays the sheet out
    // in, and the ones the page set-up panel shows and changes; they start
    // at the printer's printable area (Qt would give every paper 10 pt).
    const QPageLayout layout = m_printer->pageLayout();
    // A file takes the whole sheet, whatever the printer chosen before
    // could not print.
    if (m_printer->outputFormat() == QPrinter::PdfFormat)
        m_printer->setPageLayout(QPageLayout(layout.pageSize(), layout.orientation(), QMarginsF(), layout.units()));
    else
        m_printer->setPageMargins(layout.minimumMargins(), layout.units());
}

void Print_Wnd::setQuietly(QSpinBox *box, int value)
{
    const QSignalBlocker block(box);
    box->setValue(value);
}

void Print_Wnd::setQuietly(QDoubleSpinBox *box, double value)
{
    const QSignalBlocker block(box);
    box->setValue(value);
}

bool Print_Wnd::Open_Print_Wnd()
{
    try {
        loading = true;
        {
            const QSignalBlocker blockSides(matrix_card_side);
            card_side_rows[1]->setChecked(true);
        }
        card_side_str = QStringLiteral("F");
        Print_Card_Algn = QStringLiteral("U");
        print_alignment->setCurrentIndex(0);
        print_alignment->setEnabled(false);
        Print_Card_Side = QStringLiteral("F");
        auto_center_flag = false;
        Auto_Center_chk_bx->setChecked(false);
        Show_margin_rect = true;
        Show_Margins->setChecked(true);
        Print_Row = Print_Col = 1;
        Total_Label = 1;
        barcode_counter = 0;
        horz_mar = vert_mar = 0;

        front_image = TVNRenderingView::image_From_Card_Graphics(m_design.graphics(0), m_design.face(0));
        back_image = TVNRenderingView::image_From_Card_Graphics(m_design.graphics(1), m_design.face(1));

        // The records, as the design window's binding check left them.
        const bool series = design_window::Use_Data_Sheet_Values;
        const bool spreadsheet = design_window::Use_Excel_Binding_Values;
        print_with_batch_chk->setEnabled(series);
        print_with_batch_chk->setChecked(series);
        print_with_excel_chk->setEnabled(spreadsheet);
        print_with_excel_chk->setChecked(spreadsheet);
        Total_Label = series || spreadsheet ? int(design_window::Total_Batch_Excel_Card) : 1;
        Total_Text->setMaximum(series || spreadsheet ? std::max(Total_Label, 0) : 999999);
        setQuietly(Total_Text, Total_Label);

        label_width = float(front_image.size().width());
        label_hight = float(front_image.size().height());
        setQuietly(width_Text, Points_to_MM_Convert(label_width));
        setQuietly(height_Text, Points_to_MM_Convert(label_hight));
        setQuietly(Row_Text, 1);
        setQuietly(Col_Text, 1);
        setQuietly(horz_mar_Text, 0);
        setQuietly(vert_mar_Text, 0);
        for (QLabel *margin : {l_mar_id, r_mar_id, t_mar_id, b_mar_id})
            margin->setText(QStringLiteral("0.00"));
        horz_mar_Text->setEnabled(true);
        vert_mar_Text->setEnabled(true);
        SetObjEnabled(align_Gp_Bx, true);
        label_align_val = 1;
        Set_Reset_Alignemnt_Image();

        // The printers of the system; the print settings keep the one they
        // had when it is still there.
        Printer_ComboBox->clear();
        Printer_ComboBox->addItems(QPrinterInfo::availablePrinterNames());
        Printer_ComboBox->addItem(kPdfFileItem);
        const QString current =
            m_printer->outputFormat() == QPrinter::PdfFormat ? kPdfFileItem : m_printer->printerName();
        Printer_ComboBox->setCurrentIndex(std::max(0, Printer_ComboBox->findText(current)));
        comboBoxSelectionDidChange(Printer_ComboBox);
        loading = false;
        Refresh_Preview();
    } catch (const std::exception &e) {
        loading = false;
        const QString reason = QString::fromLocal8Bit(e.what());
        Show_NSLog_Message(reason);
        Show_MessageBox(reason);
        return false;
    }
    platform::runModal(*this);
    hide();
    return true;
}

void Print_Wnd::Set_values_From_Printer()
{
    const QPrinter &settings = *m_printer;
    Paper_id->setText(settings.pageLayout().pageSize().name());
    const QSizeF paper = paperSizeOf(settings);
    PrintView->setFixedSize(paper.toSize());
    Size_id->setText(QString::asprintf("%.2f x %.2f", double(Points_to_MM_Convert(float(paper.width()))),
                                       double(Points_to_MM_Convert(float(paper.height())))));
    Orient_ComboBox->setCurrentIndex(settings.pageLayout().orientation() == QPageLayout::Landscape ? 1 : 0);
    const SheetMargins m = marginsOf(settings);
    Left_Mar = m.left;
    Rite_Mar = m.right;
    Top_Mar = m.top;
    Bot_Mar = m.bottom;
    l_mar_id->setText(millimetres(Left_Mar));
    r_mar_id->setText(millimetres(Rite_Mar));
    t_mar_id->setText(millimetres(Top_Mar));
    b_mar_id->setText(millimetres(Bot_Mar));
    // Another printer, paper, orientation or page set-up moves the printable
    // area: the sheet is laid out again in it, with the rows and columns
    // that fit there and, auto-centred, the gaps that spread them over it.
    if (loading)
        updateGridLimits();
    else
        Check_Max_Cell_Value();
}

void Print_Wnd::Refresh_Preview()
{
    if (!printInfo || loading)
        return;
    Print_sclview->verticalScrollBar()->setValue(0);
    PrintView->update();
    const QImage sheet = PrintView->imageRepresentation();
    test_image_view->setPixmap(
        QPixmap::fromImage(sheet.scaled(test_image_view->size() - QSize(8, 8), Qt::KeepAspectRatio,
                                        Qt::SmoothTransformation)));
}

GridRequest Print_Wnd::gridRequest() const
{
    GridRequest request;
    request.widthMm = float(width_Text->value());
    request.heightMm = float(height_Text->value());
    request.horizontalGapMm = float(horz_mar_Text->value());
    request.verticalGapMm = float(vert_mar_Text->value());
    request.rows = Row_Text->value();
    request.columns = Col_Text->value();
    request.autoCentre = Auto_Center_chk_bx->isChecked();
    request.sides = cardSidesFromCode(Print_Card_Side);
    request.pairing = pairingFromCode(Print_Card_Algn);
    return request;
}

void Print_Wnd::updateGridLimits()
{
    // The most rows and columns that fit, as the spin boxes' ranges: the
    // arrows stop there and a larger number typed is held at it.
    GridRequest most = gridRequest();
    most.rows = most.columns = kMostCells;
    const GridFit limit = fitGrid(most, paperSizeOf(*m_printer), {Left_Mar, Rite_Mar, Top_Mar, Bot_Mar});
    for (const auto &[box, count] : {std::pair{Row_Text, limit.rows}, std::pair{Col_Text, limit.columns}}) {
        const QSignalBlocker block(box);
        box->setMaximum(std::max(count, 1));
    }
}

void Print_Wnd::Check_Max_Cell_Value()
{
    if (!printInfo)
        return;
    barcode_counter = 0;
    updateGridLimits();
    const GridFit fit = fitGrid(gridRequest(), paperSizeOf(*m_printer), {Left_Mar, Rite_Mar, Top_Mar, Bot_Mar});
    label_width = fit.labelWidth;
    label_hight = fit.labelHeight;
    horz_mar = fit.horizontalGap;
    vert_mar = fit.verticalGap;
    Print_Row = fit.rows;
    Print_Col = fit.columns;
    setQuietly(Row_Text, fit.rows);
    setQuietly(Col_Text, fit.columns);
    // Auto-centred, the greyed gap fields show the gaps the sheet is laid
    // out with.
    if (Auto_Center_chk_bx->isChecked()) {
        setQuietly(horz_mar_Text, Points_to_MM_Convert(fit.horizontalGap));
        setQuietly(vert_mar_Text, Points_to_MM_Convert(fit.verticalGap));
    }
    if (!batchRun()) {
        Total_Label = fit.rows * fit.columns;
        setQuietly(Total_Text, Total_Label);
    }
    Refresh_Preview();
}

void Print_Wnd::comboBoxSelectionDidChange(QComboBox *sender)
{
    try {
        if (sender == Printer_ComboBox) {
            const QString name = Printer_ComboBox->currentText();
            const bool onPrinter = m_printer->outputFormat() == QPrinter::NativeFormat;
            // The printer or PDF file left keeps its paper, orientation and
            // margins for when it is chosen again.
            if (onPrinter && name != m_printer->printerName())
                m_pageSetups.insert_or_assign(m_printer->printerName(), m_printer->pageLayout());
            else if (!onPrinter && name != kPdfFileItem)
                m_pdfPageSetup = m_printer->pageLayout();
            if (name == kPdfFileItem) {
                // Chosen while in use (as the window opens), the file keeps
                // its page set-up; the first time, it starts from the paper
                // of the printer chosen before.
                if (onPrinter) {
                    m_printer->setOutputFormat(QPrinter::PdfFormat);
                    if (!m_pdfPageSetup || !m_printer->setPageLayout(*m_pdfPageSetup))
                        takePrintableArea();
                }
            } else if (!onPrinter || name != m_printer->printerName()) {
                m_printer->setOutputFormat(QPrinter::NativeFormat);
                m_printer->setPrinterName(name);
                const auto kept = m_pageSetups.find(name);
                if (kept == m_pageSetups.end() || !m_printer->setPageLayout(kept->second))
                    takeDefaultPaper();
            }
            Set_values_From_Printer();
        } else if (sender == Orient_ComboBox) {
            m_printer->setPageOrientation(Orient_ComboBox->currentIndex() == 0 ? QPageLayout::Portrait
                                                                               : QPageLayout::Landscape);
            takePrintableArea();
            Set_values_From_Printer();
        } else if (sender == print_alignment) {
            Print_Card_Algn = print_alignment->currentIndex() == 0 ? QStringLiteral("U") : QStringLiteral("L");
            Check_Max_Cell_Value();
        }
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    }
}

void Print_Wnd::pagesetup()
{
    // For the PDF file Qt warns that the panel is meant for printers of the
    // system; it works on the file all the same, with every paper Qt knows
    // and margins from 0, which is what a file can print.
    QPageSetupDialog setup(m_printer.get(), this);
    showMarginsIn(setup, *m_printer);
    if (platform::runModal(setup) != 1)
        return;
    Set_values_From_Printer();
}

void Print_Wnd::Show_Margin_Checked()
{
    Show_margin_rect = Show_Margins->isChecked();
    Refresh_Preview();
}

void Print_Wnd::Auto_Center_Checked()
{
    auto_center_flag = Auto_Center_chk_bx->isChecked();
    // The gap fields show the computed gaps while auto-centring; the user's
    // own come back when it ends.
    if (auto_center_flag) {
        m_typedGaps = {horz_mar_Text->value(), vert_mar_Text->value()};
    } else {
        setQuietly(horz_mar_Text, m_typedGaps.first);
        setQuietly(vert_mar_Text, m_typedGaps.second);
    }
    horz_mar_Text->setEnabled(!auto_center_flag);
    vert_mar_Text->setEnabled(!auto_center_flag);
    SetObjEnabled(align_Gp_Bx, !auto_center_flag);
    Check_Max_Cell_Value();
}

void Print_Wnd::alignmentClicked(int value)
{
    label_align_val = value;
    Set_Reset_Alignemnt_Image();
    Refresh_Preview();
}

void Print_Wnd::Set_Reset_Alignemnt_Image()
{
    if (label_align_val < 1 || label_align_val > 9)
        return;
    for (int value = 1; value <= 9; ++value)
        align_buttons[size_t(value - 1)]->setIcon(alignmentFace(value, value == label_align_val));
}

void Print_Wnd::card_side_CellClick()
{
    const int row = matrix_card_side->checkedId();
    card_side_str = row == 0 ? QStringLiteral("BOTH") : row == 1 ? QStringLiteral("F") : QStringLiteral("B");
    print_alignment->setEnabled(row == 0);
    Print_Card_Side = card_side_str;
    Check_Max_Cell_Value();
}

void Print_Wnd::Verify_Card_Count()
{
    m_design.checkBindings();
    if (!print_with_batch_chk->isChecked())
        design_window::Use_Data_Sheet_Values = false;
    if (!print_with_excel_chk->isChecked())
        design_window::Use_Excel_Binding_Values = false;
    m_design.countRecords();
}

void Print_Wnd::Print_With_Batch_Changed()
{
    Verify_Card_Count();
    const bool ticked = print_with_batch_chk->isChecked() || print_with_excel_chk->isChecked();
    Total_Label = ticked ? int(design_window::Total_Batch_Excel_Card) : 1;
    setQuietly(Total_Text, Total_Label);
}

void Print_Wnd::Print_With_Excel_Changed()
{
    Print_With_Batch_Changed();
}

void Print_Wnd::Execute_Printing(bool preview)
{
    // One run at a time: a click that waited in the queue while a run went
    // on (a double click, a click during the run's event processing) is
    // ignored, whichever output's run it is.
    if (m_run || Send_Modeless::defaultInstance().run())
        return;
    const QSizeF paper = paperSizeOf(*m_printer);
    if (label_width + Left_Mar + Rite_Mar + horz_mar > paper.width()
        || label_hight + Top_Mar + Bot_Mar + vert_mar > paper.height()) {
        if (!Show_YES_NO_MessageBox(QStringLiteral("'Frame Size' is bigger than selected 'Paper Size' or drawn label "
                                                   "may be out of margin area.\n\nDo you want to continue?")))
            return;
    }
    barcode_counter = 0;
    Total_Label = Total_Text->value();
    Total_Label_Real = Total_Label;
    if (Total_Label <= 0) {
        Show_MessageBox(QStringLiteral("There is no barcode to print."));
        return;
    }
    // The bound data is checked afresh for each run, as the window did when
    // it opened: an earlier run (or preview) took its unusable sources, and a
    // run that did not check would end without naming them.
    Verify_Card_Count();
    const bool batch = batchRun();
    const RecordsInProcess filling(batch);
    DesignCards cards(m_design, front_image, back_image, batch ? int(design_window::Total_Batch_Excel_Card) : 0);
    Printing_View view(currentSheetLayout(), Total_Label, cards, preview);

    if (preview) {
        QPrintPreviewDialog previewDialog(m_printer.get(), this);
        previewDialog.setObjectName(QStringLiteral("print_preview"));
        previewDialog.resize(size());
        // The preview shows the sheets as laid out here: its own page set-up
        // and its print command (which would print only the previewed
        // sheets) are not offered.
        for (QAction *action : previewDialog.findChildren<QAction *>()) {
            const QString text = action->text();
            if (text == QLatin1String("Print") || text == QLatin1String("Page setup")
                || text == QLatin1String("Portrait") || text == QLatin1String("Landscape"))
                action->setVisible(false);
        }
        connect(&previewDialog, &QPrintPreviewDialog::paintRequested, this,
                [&view](QPrinter *printer) { view.print(*printer); });
        platform::runModal(previewDialog);
        return;
    }

    const int pages = pageCount(Total_Label, view.layout());
    const bool toFile = Printer_ComboBox->currentText() == kPdfFileItem;
    const QString path = toFile ? design_window::runFilePanel(this, true, tr("Save as PDF"), tr("PDF (*.pdf)"),
                                                              QStringLiteral("pdf"))
                                : QString();
    if (toFile && path.isEmpty())
        return;
    if (!toFile && !QPrinterInfo::availablePrinterNames().contains(m_printer->printerName())) {
        Show_MessageBox(tr("No printer found."));
        return;
    }
    // The run sheet counts the cards; it is shown at once, so that nothing
    // else in the window can be clicked while the run goes.
    setRunCommandsEnabled(false);
    m_run = Send_Modeless::defaultInstance().beginRun(this, Total_Label,
                                                      QStringLiteral("%1 / %2").arg(0).arg(Total_Label));
    const auto afterPage = [this](int done, int total) { return runProgress(done, total); };
    // A page may hold many cards: the Stop button is heard after each.
    cards.betweenLabels = [this](int label) { return serveRun(std::min(Total_Label_Real, label + 1)); };
    SheetRun run;
    bool nothingSent = true;
    if (toFile) {
        run = view.printToPdf(path, afterPage);
    } else {
        m_printer->setCopyCount(Copies_Text->value());
        m_printer->setDocName(QApplication::applicationName());
        run = view.spool(*m_printer, afterPage, &nothingSent);
    }
    Send_Modeless::defaultInstance().endRun();
    m_run.reset();
    cards.finish();
    setRunCommandsEnabled(true);
    reportRun(run, pages, nothingSent, cards);
}

void Print_Wnd::setRunCommandsEnabled(bool enabled)
{
    for (QWidget *command : std::initializer_list<QWidget *>{print_btn, preview_btn, cancel_btn, page_setup_btn})
        command->setEnabled(enabled);
}

bool Print_Wnd::runProgress(int done, int pages)
{
    barcode_counter = std::min(Total_Label_Real, done * currentSheetLayout().cells());
    Q_UNUSED(pages);
    return serveRun(barcode_counter);
}

bool Print_Wnd::serveRun(int cardsDone)
{
    if (!m_run)
        return true;
    m_run->curr_barcode_count = cardsDone;
    // The run holds the main thread: between cards the windows repaint and
    // the Stop button is heard. Its question is answered before this
    // returns, so no card starts while it is open.
    QCoreApplication::processEvents();
    return !m_run->stopped();
}

void Print_Wnd::reportRun(const SheetRun &run, int pages, bool nothingSent, const DesignCards &cards)
{
    const QString outcome = nothingSent ? QStringLiteral(" Nothing was printed.") : QString();
    const int cells = std::max(currentSheetLayout().cells(), 1);
    // A stop may cut a sheet short: its cards count, and so does the sheet.
    const int printed = std::min(Total_Label_Real, run.labels);
    const QString problems = cards.problems().message();
    QString text;
    if (run.stopped)
        text = QStringLiteral("Printing was stopped after %1 of %2 cards (%3 of %4 sheets).%5")
                   .arg(printed)
                   .arg(Total_Label_Real)
                   .arg((run.labels + cells - 1) / cells)
                   .arg(pages)
                   .arg(outcome);
    else if (!run.failure.isEmpty())
        text = QStringLiteral("Printing failed after %1 of %2 sheets: %3%4%5")
                   .arg(run.pages)
                   .arg(pages)
                   // The system's reasons ("No space left on device") end
                   // without a full stop.
                   .arg(run.failure, run.failure.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral("."),
                        outcome);
    else if (!problems.isEmpty()) {
        const int made = printed - cards.problems().skipped();
        text = made == 1 ? QStringLiteral("1 card was printed.") : QStringLiteral("%1 cards were printed.").arg(made);
    }
    if (!problems.isEmpty())
        text += QStringLiteral("\n\n") + problems;
    if (!problems.isEmpty())
        Show_NSLog_Message(QStringLiteral("Print, cards not made whole: ")
                           + cards.problems().lines().join(QStringLiteral(" | ")));
    if (!text.isEmpty())
        Show_MessageBox(text);
}

void Print_Wnd::CancelButtonPressed()
{
    hide();
    done(0);
}

void Print_Wnd::closeEvent(QCloseEvent *event)
{
    event->accept();
    CancelButtonPressed();
}
