#pragma once
// The barcode designer window: gives one barcode object its symbology,
// value, data source, texts, fonts, colours, margins, sizes, 2-D options and
// resolution, with a live preview, and hands the result back to the design
// window. The controls hold the settings while the window is open; every
// preview is made by the engine (BarcodeEngine.h) from the settings the
// controls make up (currentSettings()), so the preview, the object's image
// and a batch run's image of the same settings are the same picture.
//
// The window reads and sets the designer's process-wide values at its edge
// (USED_DPI_VALUE, QR_Version_Val, QR_EC_Level_Val, QR_Enc_Mode_Val,
// Barcode_module_size, Measument_Unit_Is, Barcode_Gen_Var) and the design
// window's (Not_Draw_Only_Prop_Change, Barcode_output_image); the engine
// below takes everything as arguments. Main thread only.

#include "barcodes/designer/BarcodeEngine.h"
#include "barcodes/designer/BarcodeSettings.h"
#include "platform/Image.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class TVNGraphic;

namespace barcodes {

class Stepper;
class SymBarcode;
class SymBarcodeImageView;

class Barcode_Gen_Dialog : public QDialog {
    Q_OBJECT
public:
    Barcode_Gen_Dialog();
    ~Barcode_Gen_Dialog() override;
    static Barcode_Gen_Dialog &defaultInstance();

    // ---- opening, OK, Cancel and the per-record entry

    // Loads the object, shows the preview and runs the window modally. With
    // OK the settings go back into the object; the result image is left in
    // Barcode_output_image (none after Cancel). Returns the object. The
    // object is not owned: it must outlive the run.
    TVNGraphic *Open_Wnd(TVNGraphic *graphic);
    // Fills the controls from the object's settings without making a symbol,
    // and applies what its selections stand for (resolution, QR version and
    // level, data source).
    void Set_Barcode_Prop_To_Control(TVNGraphic *graphic);
    // The settings that the controls and the data-source choice made in the
    // window make up, over the loaded object's own.
    BarcodeSettings currentSettings() const;
    void OK_Btn_Clicked();
    void Cancel_Btn_Clicked();
    // The picture of `value` with these texts in the loaded settings at
    // USED_DPI_VALUE, leaving the preview alone; none when no symbol can be
    // made.
    platform::Image Get_Image_From_Val(const QString &value, const QString &header, const QString &footer);

    // ---- symbology, regeneration and preview

    void barcodeTypeChanged();
    // Regenerates symbol and preview from the current value.
    void goButtonActionPerformed();
    void Encode_btn() { goButtonActionPerformed(); }
    // Makes the symbol of `value` from the controls' settings; with `show`
    // the preview shows it (or is left blank with the reason). 2-D symbols
    // also leave their image in image_2d.
    BarcodeSymbol Generate_Barcode_Variable(bool show, const QString &value, const QString &header,
                                            const QString &footer);
    // Whether the value text is printed; enables the value-on-top box to
    // match while the caption box is enabled.
    bool Get_Print_State();
    // The value check before every symbol: empty or non-ASCII values blank
    // the preview (and with show_message say "Invalid barcode value"); with
    // check_symbol a value whose symbol was not made fails too.
    bool Check_And_Validat_Barcode(bool show_message, bool check_symbol);

    void Set_Blank_Image();
    void Set_Barcode_On_Panel(const platform::Image &image);
    void Get_Image_From_Barcode(SymBarcode &symbol);
    void Get_Image_From_barcode_image(const platform::Image &image);
    // The orientation step: symbols are drawn as they are laid out.
    platform::Image Check_Orintation_And_Rotate_Image(const platform::Image &image) { return image; }
    // Mirrors the image a view shows, top to bottom or left to right.
    static void flipImageVertically(SymBarcodeImageView *view);
    static void flipImageHorizontally(SymBarcodeImageView *view);

    // ---- 2-D symbols
    void Draw_QR_Barcode(const QString &value);
    void Draw_PDF_417_Barcode(const QString &value);
    void Draw_DataMatrix_Barcode(const QString &value);
    // Redraws image_2d with the current texts and margins, without encoding.
    void Get_2d_barcode_from_image();
    void Check_And_Set_QR_size_Acc_Version(int version);
    void data_matrix_barcode_size_acc_format();

    // ---- panels and labels
    void Liner_Barcode_Opt_Select();
    void two_d_barcode_Opt_Select();
    void _setLabels();

    // ---- control handlers; `sender` tells a field from its stepper
    void Value_Font_Changed();
    void Header_Font_Changed();
    void Footer_Font_Changed();
    void changeFont(const QFont &font);
    void header_changeFont(const QFont &font);
    void footer_changeFont(const QFont &font);
    void controlTextDidChange(QObject *object);
    void textDidEndEditing(QObject *object);
    void textDidChange(QObject *object);
    void Value_Margin_Changed(QObject *sender);
    void Header_Margin_Changed(QObject *sender);
    void Footer_Margin_Changed(QObject *sender);
    void TB_Margin_Changed(QObject *sender);
    void LR_Margin_Changed(QObject *sender);
    void heightChanged(QObject *sender);
    void widthChanged(QObject *sender);
    void pdf_heightChanged(QObject *sender);
    void PDF_Row_Changed(QObject *sender);
    void PDF_Col_Changed(QObject *sender);
    void PDF_EC_Lvl_Changed(QObject *sender);
    void dm_widthChanged(QObject *sender);
    void dm_heightChanged(QObject *sender);
    void dm_modulesizeChanged(QObject *sender);
    void DPI_Value_Changed(QObject *sender);
    void captionChanged();
    void showinTopChanged();
    void hideHeaderChanged();
    void hideFooterChanged();
    // A colour well was clicked: its colour panel, then the refresh.
    void Header_Color_Changed(QPushButton *well);
    void Set_Font_Clr();
    void comboBoxSelectionDidChange(QComboBox *sender);
    void View_batch_Series_Button();

    // ---- help buttons
    void QR_Version_Help_Btn();
    void QR_EC_Lvl_Help_Btn();
    void PDF_row_Help_btn();
    void PDF_col_Help_btn();
    void PDF_ec_lvl_Help_btn();
    void DM_format_Help_btn();
    void DM_Encoding_Help_btn();
    void DPI_Help_Label();

    // ---- state
    // 0 linear or postal symbology, 1 QR Code, PDF417 or Data Matrix.
    int liner_or_2D_font = 0;
    // The preview's linear symbol and the last per-record one.
    const SymBarcode *testBarcode() const { return m_testBarcode.get(); }
    const SymBarcode *testBarcode_EXP() const { return m_testBarcode_EXP.get(); }
    // The last 2-D symbol image, without texts.
    platform::Image image_2d;
    // The object loaded last (not owned).
    TVNGraphic *pass_barcode_control = nullptr;
    int PDF_Row = 0;
    int PDF_Col = 3;

    // ---- controls, named as the window layout's outlets
    QComboBox *barcodeTypePopup = nullptr;
    QLineEdit *dataText = nullptr;
    QPlainTextEdit *dataText_2D = nullptr;
    QComboBox *Data_source_type = nullptr;
    QComboBox *Batch_Series = nullptr;
    QPushButton *view_series_btn = nullptr;
    QScrollArea *image_scroll = nullptr;
    SymBarcodeImageView *barcodeImage = nullptr;
    QLabel *barcode_error_label = nullptr;
    // Below the preview: says when the chosen Data Matrix encodation gave
    // way to another; hidden otherwise.
    QLabel *dm_encoding_note_label = nullptr;
    QComboBox *bar_align_combo = nullptr;
    QComboBox *bar_orient_combo = nullptr;
    QTabWidget *sett_tab = nullptr;
    QWidget *dpi_tab_item = nullptr;

    QLineEdit *HeaderText = nullptr;
    QLineEdit *FooterText = nullptr;
    QCheckBox *captionCheckbox = nullptr;
    QCheckBox *hideHeaderCheckbox = nullptr;
    QCheckBox *hideFooterCheckbox = nullptr;
    QCheckBox *showinTopCheckbox = nullptr;
    QCheckBox *kerning_value_Checkbox = nullptr;
    QComboBox *align_hdr_combo = nullptr;
    QComboBox *align_ftr_combo = nullptr;
    QLabel *val_font_label = nullptr;
    QPushButton *val_font_btn = nullptr;
    QLabel *value_font_value = nullptr;
    QPushButton *header_font_btn = nullptr;
    QLabel *header_font_value = nullptr;
    QPushButton *footer_font_btn = nullptr;
    QLabel *footer_font_value = nullptr;

    QGroupBox *linear_sett_box = nullptr;
    QLabel *barHeightLabel = nullptr;
    QLineEdit *HeightText = nullptr;
    Stepper *HeightStepper = nullptr;
    QLabel *barWidthLabel = nullptr;
    QLineEdit *widthText = nullptr;
    Stepper *widthStepper = nullptr;

    QGroupBox *two_d_sett_box = nullptr;
    QLineEdit *HeightText_2D = nullptr;
    Stepper *HeightStepper_2D = nullptr;
    QComboBox *qr_version_ComboBox = nullptr;
    QComboBox *qr_ec_lvl_ComboBox = nullptr;
    QComboBox *qr_enc_mode_ComboBox = nullptr;
    QPushButton *qr_version_help_btn = nullptr;
    QPushButton *qr_ec_lvl_help_btn = nullptr;

    QGroupBox *pdf_2d_sett_box = nullptr;
    QLineEdit *Pdf_widthText_2D = nullptr;
    Stepper *Pdf_widthStepper_2D = nullptr;
    QLineEdit *pdf_HeightText_2D = nullptr;
    Stepper *pdf_HeightStepper_2D = nullptr;
    QLineEdit *pdf_row_Text = nullptr;
    Stepper *pdf_row_Stepper = nullptr;
    QLineEdit *pdf_col_Text = nullptr;
    Stepper *pdf_col_Stepper = nullptr;
    QLineEdit *pdf_ec_lvl_Text = nullptr;
    Stepper *pdf_ec_lvl_Stepper = nullptr;
    QPushButton *pdf_row_help_btn = nullptr;
    QPushButton *pdf_col_help_btn = nullptr;
    QPushButton *pdf_ec_lvl_help_btn = nullptr;

    QGroupBox *dm_2d_sett_box = nullptr;
    QComboBox *dm_format_ComboBox = nullptr;
    QComboBox *dm_encoding_ComboBox = nullptr;
    QLineEdit *dm_widthText_2D = nullptr;
    Stepper *dm_widthStepper_2D = nullptr;
    QLineEdit *dm_HeightText_2D = nullptr;
    Stepper *dm_HeightStepper_2D = nullptr;
    QLineEdit *dm_moduleText_2D = nullptr;
    Stepper *dm_moduleStepper_2D = nullptr;
    QPushButton *dm_format_help_btn = nullptr;
    QPushButton *dm_encoding_help_btn = nullptr;

    QGroupBox *margin_box = nullptr;
    QLabel *val_mar_label = nullptr;
    QLineEdit *val_mar_Text = nullptr;
    Stepper *val_mar_Stepper = nullptr;
    QLineEdit *hdr_mar_Text = nullptr;
    Stepper *hdr_mar_Stepper = nullptr;
    QLineEdit *ftr_mar_Text = nullptr;
    Stepper *ftr_mar_Stepper = nullptr;
    QLineEdit *TB_mar_Text = nullptr;
    Stepper *TB_mar_Stepper = nullptr;
    QLineEdit *LR_mar_Text = nullptr;
    Stepper *LR_mar_Stepper = nullptr;

    QPushButton *barcode_clr = nullptr;
    QPushButton *bar_back_clr = nullptr;
    QPushButton *bar_val_clr = nullptr;
    QPushButton *bar_hdr_clr = nullptr;
    QPushButton *bar_ftr_clr = nullptr;
    QLabel *bar_clr_label = nullptr;
    QLabel *bar_bk_clr_label = nullptr;
    QLabel *val_clr_label = nullptr;

    QComboBox *DPI_ComboBox = nullptr;
    QLineEdit *dpi_Text = nullptr;
    Stepper *dpi_Stepper = nullptr;
    QPushButton *dpi_help_btn = nullptr;

    QPushButton *ok_btn = nullptr;
    QPushButton *cancel_btn = nullptr;

private:
    void buildWindow();
    QWidget *buildTextTab();
    QWidget *buildSizeTab();
    QWidget *buildMarginColourTab();
    QWidget *buildResolutionTab();
    // A field with its stepper, both calling `handler` with themselves.
    QWidget *pair(QLineEdit *&field, Stepper *&stepper, const char *fieldName, const char *stepperName,
                  void (Barcode_Gen_Dialog::*handler)(QObject *));
    QPushButton *helpButton(const char *name, void (Barcode_Gen_Dialog::*handler)());
    QPushButton *colourWell(const char *name);

    QString currentValue() const;
    // Puts `value` into the value field the symbology reads.
    void setCurrentValue(const QString &value);
    // The data the object is bound to, named as the runs name it, and its
    // first value; none while the value is typed or no item is chosen.
    struct BoundValue {
        QString source;
        QString value;
    };
    std::optional<BoundValue> boundFirstValue() const;
    ControlStates controlStates() const;
    // The settings of the controls; the record every symbol is drawn with.
    void publishRecord(const BarcodeSettings &settings);
    // Height and layout of the preview symbol again, then its picture.
    void refreshLinearPreview();
    void showHelp(const QString &title, const QString &text);
    void fontLabels();
    void applyResolutionChoice();
    // Shows what the source item stands for; with `fromUser` it becomes the
    // pending binding. False when the choice was refused.
    bool applyDataSourceChoice(bool fromUser);
    bool enabledHere(const QWidget *control) const;
    void chooseFont(const QFont &font, void (Barcode_Gen_Dialog::*taken)(const QFont &));

    std::unique_ptr<SymBarcode> m_testBarcode;
    std::unique_ptr<SymBarcode> m_testBarcode_EXP;
    BarcodeLayout m_testLayout;
    QFont m_valueFont;
    QFont m_headerFont;
    QFont m_footerFont;
    QString m_previewError;
    int m_lastDataSource = 0;
    // Where the value comes from, as chosen in the window. The object takes
    // it with the other settings on OK, so a cancelled choice leaves the
    // object bound as it was.
    struct Binding {
        int data_source_type = 0;
        QString batch_list_name;
        int batch_list_index = 0;
        bool excel_binding = false;
        int excel_col_indx = 0;
    };
    Binding m_binding;
};

} // namespace barcodes
