#pragma once
// The print set-up window: it lays out a sheet of cards and starts the print
// run. It renders the design's two sides when it opens, keeps the print
// layout settings (PrintGlobals.h) and the sheet sample up to date while the
// user edits the label size, gaps, rows and columns, the number of labels,
// the side and pairing, the alignment or auto-centring, the printer, paper
// and orientation, and prints to a printer of the system, into the print
// preview, or to a PDF file (the printer list's last item). It stays open
// after a run; Cancel or closing it ends it. Main thread only.
//
// Each stepper and text pair of the layout is one spin box, named after the
// text; its arrows are the stepper.

#include "output/print_window/DesignCards.h"
#include "platform/Image.h"

#include <QDialog>
#include <QPageLayout>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <utility>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPrinter;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;
class QToolButton;
class Sample_Preview;

class Print_Wnd : public QDialog {
    Q_OBJECT
public:
    // The printer list's item that prints to a PDF file.
    static const QString kPdfFileItem;

    // `design` is what the window prints. The window becomes Print_Var and
    // its print settings printInfo.
    explicit Print_Wnd(output::PrintedDesign design, QWidget *parent = nullptr);
    ~Print_Wnd() override;
    // The window of the main window's design, made on first use as the main
    // window's child.
    static Print_Wnd *defaultInstance();

    // Sets the window up (sides rendered, fields reset, printers listed)
    // and runs it until Cancel or its close button; true when it ran.
    bool Open_Print_Wnd();
    // Reads the paper, its size, orientation and margins from the print
    // settings and lays the sheet out again in that printable area.
    void Set_values_From_Printer();
    // Redraws the sheet sample and its picture, scrolled to the sheet's top.
    void Refresh_Preview();
    // The grid check: label size, gaps, rows and columns fitted to the paper.
    void Check_Max_Cell_Value();
    // The page set-up panel on the print settings.
    void pagesetup();
    // A print run into the preview or to the printer.
    void Execute_Printing(bool preview);
    void PreviewButtonPressed() { Execute_Printing(true); }
    void PrintButtonPressed() { Execute_Printing(false); }
    void CancelButtonPressed();
    // A printer, orientation or pairing chosen in `sender`.
    void comboBoxSelectionDidChange(QComboBox *sender);
    void Show_Margin_Checked();
    void Auto_Center_Checked();
    // An alignment button: 1 top left to 9 bottom right.
    void alignmentClicked(int value);
    void Set_Reset_Alignemnt_Image();
    void card_side_CellClick();
    // Recounts the records for the ticked data check boxes.
    void Verify_Card_Count();
    void Print_With_Batch_Changed();
    void Print_With_Excel_Changed();

    // ---- outlets
    Sample_Preview *PrintView = nullptr;
    QScrollArea *Print_sclview = nullptr;
    QComboBox *Printer_ComboBox = nullptr;
    QComboBox *Orient_ComboBox = nullptr;
    QPushButton *page_setup_btn = nullptr;
    QLabel *Paper_id = nullptr;
    QLabel *Size_id = nullptr;
    QLabel *l_mar_id = nullptr;
    QLabel *r_mar_id = nullptr;
    QLabel *t_mar_id = nullptr;
    QLabel *b_mar_id = nullptr;
    QDoubleSpinBox *horz_mar_Text = nullptr;
    QDoubleSpinBox *vert_mar_Text = nullptr;
    QDoubleSpinBox *width_Text = nullptr;
    QDoubleSpinBox *height_Text = nullptr;
    QSpinBox *Row_Text = nullptr;
    QSpinBox *Col_Text = nullptr;
    QSpinBox *Total_Text = nullptr;
    QSpinBox *Copies_Text = nullptr;
    QCheckBox *Show_Margins = nullptr;
    QLabel *test_image_view = nullptr;
    // The nine alignment buttons, value 1 (top left) to 9 (bottom right).
    std::array<QToolButton *, 9> align_buttons{};
    QGroupBox *align_Gp_Bx = nullptr;
    QCheckBox *Auto_Center_chk_bx = nullptr;
    QCheckBox *print_with_batch_chk = nullptr;
    QCheckBox *print_with_excel_chk = nullptr;
    // Side: row 0 both sides, row 1 front, row 2 back.
    QButtonGroup *matrix_card_side = nullptr;
    std::array<QRadioButton *, 3> card_side_rows{};
    // Pairing: item 0 one above the other ("U"), item 1 side by side ("L").
    QComboBox *print_alignment = nullptr;
    QPushButton *preview_btn = nullptr;
    QPushButton *print_btn = nullptr;
    QPushButton *cancel_btn = nullptr;

    // ---- the window's own
    QString card_side_str = QStringLiteral("F");
    // The design's sides as rendered when the window opened; the front's size
    // is the card's.
    platform::Image front_image;
    platform::Image back_image;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    // The grid fields as the grid check takes them.
    output::GridRequest gridRequest() const;
    // Sets the rows' and columns' ranges to the most that fit the paper.
    void updateGridLimits();
    // The paper the printer of the print settings takes by default.
    void takeDefaultPaper();
    // Page margins at the printer's printable area.
    void takePrintableArea();
    // Spin box values without running their handlers.
    void setQuietly(QSpinBox *box, int value);
    void setQuietly(QDoubleSpinBox *box, double value);
    // Shows a run's progress after each page and lets the Stop button be
    // heard; false when the user stopped it.
    bool runProgress(int done, int pages);
    // The same after each card, `cardsDone` of the run made.
    bool serveRun(int cardsDone);
    // The message a run ends with, when it did not print every card whole;
    // `nothingSent`: none of its sheets were printed.
    void reportRun(const output::SheetRun &run, int pages, bool nothingSent, const output::DesignCards &cards);
    // The commands that start a run, off while one goes.
    void setRunCommandsEnabled(bool enabled);

    output::PrintedDesign m_design;
    // The gaps the user typed, kept while auto-centring shows its own.
    std::pair<double, double> m_typedGaps{0, 0};
    // The page set-up of each printer of the system chosen before, by name:
    // choosing it again (after another printer or the PDF file) brings back
    // the paper and margins the user gave it.
    std::map<QString, QPageLayout> m_pageSetups;
    // The same for the PDF file, kept apart so that no printer's name can
    // take its place; empty until the file is left for a printer.
    std::optional<QPageLayout> m_pdfPageSetup;
    std::unique_ptr<QPrinter> m_printer;
    // The run going on, shared with the progress sheet; null between runs.
    std::shared_ptr<output::RunState> m_run;
};
