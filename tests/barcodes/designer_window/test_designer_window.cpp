// The barcode designer window driven as a user would: symbology switches,
// help buttons, invalid values, OK and Cancel, the data source and the
// resolution, with alerts and modal runs answered by the test.

#include "barcodes/datamatrix/DataMatrixSymbol.h"
#include "barcodes/designer/BarcodeEngine.h"
#include "barcodes/designer/Barcode_Gen.h"
#include "barcodes/designer_window/Barcode_Gen_Dialog.h"
#include "barcodes/designer_window/Stepper.h"
#include "barcodes/widgets/SymBarcodeImageView.h"
#include "design_window/DesignFile.h"
#include "design_window/Globals.h"
#include "design_window/LongSmsDlg.h"
#include "drawing/TVNGraphic.h"
#include "platform/Alerts.h"
#include "platform/ModalRun.h"
#include "batch_data/spreadsheet_window/BatchDataWindows.h"
#include "design_window/HubServices.h"
#include "tests/support/InstalledServices.h"
#include "tests/support/ScopedValue.h"
#include "tests/support/SecondReaders.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ViewerShown.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace barcodes;
using namespace quorvant::test;
using design_window::Barcode_output_image;

namespace {

class DesignerWindow : public ::testing::Test {
protected:
    // Every alert is recorded and answered with its first button.
    DesignerWindow()
        : alerts([this](const platform::AlertRequest &r) {
            shown << r.text.trimmed();
            return 0;
        })
    {
        design_window::Data_Folder_Path = folder.path();
        design_window::restoreSpreadsheetTable({});
    }

    void choose(const QString &title)
    {
        dialog.barcodeTypePopup->setCurrentIndex(dialog.barcodeTypePopup->findText(title));
        dialog.barcodeTypeChanged();
    }
    void type(const QString &value)
    {
        dialog.dataText->setText(value);
        dialog.controlTextDidChange(dialog.dataText);
    }
    void pick(QComboBox *combo, const QString &item)
    {
        combo->setCurrentIndex(combo->findText(item));
        dialog.comboBoxSelectionDidChange(combo);
    }
    // Shown or hidden by the window itself, whichever tab is in front.
    static bool visible(QWidget *w) { return !w->isHidden(); }
    std::string previewText(ZXing::BarcodeFormat format)
    {
        return decodeBarcode(dialog.barcodeImage->image().toBitmap(300, Qt::white), format).text;
    }

    // The designer's process-wide settings go back after each test.
    ScopedValue<QString> dataFolderPath{design_window::Data_Folder_Path};
    ScopedValue<Barcode_Gen *> record{Barcode_Gen_Var};
    ScopedValue<std::atomic<int>> dpi{USED_DPI_VALUE};
    ScopedValue<std::atomic<int>> unit{Measument_Unit_Is};
    ScopedValue<std::atomic<int>> lastUnit{last_unit_val};
    ScopedValue<std::atomic<int>> moduleSize{Barcode_module_size};
    ScopedValue<std::atomic<int>> qrVersion{QR_Version_Val};
    ScopedValue<std::atomic<int>> qrLevel{QR_EC_Level_Val};
    ScopedValue<std::atomic<int>> qrMode{QR_Enc_Mode_Val};
    TempFolder folder;
    QStringList shown;
    platform::ScopedAlertResponder alerts;
    Barcode_Gen_Dialog dialog;
};

} // namespace

TEST_F(DesignerWindow, LinearToTwoDimensionalSwitchesPanelsTabsAndLabels)
{
    EXPECT_EQ(dialog.sett_tab->count(), 3);
    EXPECT_EQ(dialog.barHeightLabel->text(), "Bar Height (cm):");
    type(QStringLiteral("CODE-128"));
    choose(QStringLiteral("Code 128"));
    EXPECT_EQ(previewText(ZXing::BarcodeFormat::Code128), "CODE-128");

    // QR Code: the multi-line value, its own box and the resolution tab.
    dialog.dataText_2D->setPlainText(QStringLiteral("https://quorvant.example/q"));
    choose(QStringLiteral("QR Code"));
    EXPECT_EQ(dialog.sett_tab->count(), 4);
    EXPECT_EQ(dialog.sett_tab->widget(3), dialog.dpi_tab_item);
    EXPECT_TRUE(visible(dialog.two_d_sett_box));
    EXPECT_FALSE(visible(dialog.pdf_2d_sett_box) || visible(dialog.dm_2d_sett_box) || visible(dialog.linear_sett_box));
    EXPECT_TRUE(visible(dialog.dataText_2D));
    EXPECT_FALSE(visible(dialog.dataText) || visible(dialog.captionCheckbox) || visible(dialog.bar_back_clr));
    EXPECT_EQ(dialog.barHeightLabel->text(), "Bar Height :");
    EXPECT_EQ(previewText(ZXing::BarcodeFormat::QRCode), "https://quorvant.example/q");

    // PDF417 after QR Code: its box, the same value, still four tabs.
    choose(QStringLiteral("PDF417"));
    EXPECT_TRUE(visible(dialog.pdf_2d_sett_box));
    EXPECT_FALSE(visible(dialog.two_d_sett_box));
    EXPECT_EQ(dialog.sett_tab->count(), 4);
    EXPECT_EQ(previewText(ZXing::BarcodeFormat::PDF417), "https://quorvant.example/q");

    // Back to linear: the tab goes, the first tab is shown, the linear value
    // is still there.
    dialog.sett_tab->setCurrentIndex(2);
    choose(QStringLiteral("EAN-13"));
    EXPECT_EQ(dialog.sett_tab->count(), 3);
    EXPECT_EQ(dialog.sett_tab->currentIndex(), 0);
    EXPECT_EQ(dialog.dataText->text(), "CODE-128");
    EXPECT_EQ(dialog.barHeightLabel->text(), "Bar Height (cm):");
    // Fixed caption groups: no spreading.
    EXPECT_FALSE(dialog.kerning_value_Checkbox->isEnabled());
    choose(QStringLiteral("Code 39"));
    EXPECT_TRUE(dialog.kerning_value_Checkbox->isEnabled());
}

TEST_F(DesignerWindow, HelpButtonsShowTheirTexts)
{
    QString title, text;
    platform::ScopedModalResponder answer([&](QDialog &d) {
        auto &l = static_cast<Long_SMS_Dlg &>(d);
        title = l.title_lbl->text();
        text = l.msg_text->toPlainText();
        return 1;
    });
    struct Row {
        QPushButton *button;
        const char *title;
        const char *text;
    };
    const Row rows[] = {
        {dialog.qr_version_help_btn, "Version :",
         "Version is configuration or number of modules (combination of black and white dots)."},
        {dialog.qr_ec_lvl_help_btn, "Error correction (EC) level :",
         "An error-correction mechanism is built in each symbol so that the symbol can still be decoded even if it "
         "is damaged."},
        {dialog.pdf_row_help_btn, "PDF Rows :", "Number of rows in the PDF barcode."},
        {dialog.pdf_col_help_btn, "PDF Columns :", "Number of columns in the PDF barcode."},
        {dialog.pdf_ec_lvl_help_btn, "PDF EC Level :",
         "An error-correction mechanism is built in each symbol so that the symbol can still be decoded even if it "
         "is damaged in PDF barcode."},
        {dialog.dm_format_help_btn, "Preferred Format :", "Preferred Mode determines the smallest size of the symbol."},
        {dialog.dm_encoding_help_btn, "Encoding Mode :",
         "Encoding Mode is mode of compaction to encode data in the symbol."},
        {dialog.dpi_help_btn, "DPI (Dots Per Inch) :",
         "Dots per inch is a measure of the resolution of printers in terms of Print Quality.\n\nBigger the DPI, "
         "Better the Print Quality. But File size of image also increases, as you choose bigger DPI."},
    };
    for (const Row &row : rows) {
        title.clear();
        row.button->click();
        EXPECT_EQ(title, row.title);
        EXPECT_EQ(text, row.text);
    }
}

TEST_F(DesignerWindow, InvalidValueBlanksThePreviewWithItsNoticeAndNoMessage)
{
    choose(QStringLiteral("Code 128"));
    ASSERT_FALSE(dialog.barcodeImage->image().isNull());
    ASSERT_FALSE(visible(dialog.barcode_error_label));
    struct Row {
        const char *title;
        QString value;
        const char *notice;
    };
    const Row rows[] = {
        {"Code 128", QStringLiteral("caf\u00e9"), "Invalid barcode value"},
        {"EAN-13", QStringLiteral("ABC"), "The value cannot be written as EAN-13."},
    };
    for (const Row &row : rows) {
        choose(row.title);
        type(row.value);
        EXPECT_TRUE(dialog.barcodeImage->image().isNull()) << row.title;
        EXPECT_TRUE(visible(dialog.barcode_error_label)) << row.title;
        EXPECT_EQ(dialog.barcode_error_label->text(), row.notice);
        // A valid value brings the preview back and the notice goes.
        type(QStringLiteral("400638133393"));
        EXPECT_FALSE(dialog.barcodeImage->image().isNull()) << row.title;
        EXPECT_FALSE(visible(dialog.barcode_error_label)) << row.title;
    }
    EXPECT_TRUE(shown.isEmpty()) << shown.join('|').toStdString();
}

TEST_F(DesignerWindow, OkWritesSettingsAndPictureBackAndRefusesAValueWithoutASymbol)
{
    TVNBarcode graphic;
    platform::ScopedModalResponder answer([&](QDialog &) {
        choose(QStringLiteral("EAN-13"));
        type(QStringLiteral("ABC"));
        dialog.ok_btn->click();     // no symbol: refused with a message
        EXPECT_EQ(dialog.result(), 0);
        type(QStringLiteral("400638133393"));
        dialog.HeaderText->setText(QStringLiteral("ASSET"));
        dialog.controlTextDidChange(dialog.HeaderText);
        dialog.ok_btn->click();
        return dialog.result();
    });
    EXPECT_EQ(dialog.Open_Wnd(&graphic), &graphic);
    EXPECT_EQ(shown, QStringList{"Invalid barcode value"});
    EXPECT_EQ(graphic.barcode_font_index, int(barcodeTypeTitles().indexOf("EAN-13")));
    EXPECT_EQ(graphic.linear_font_val, "400638133393");
    EXPECT_EQ(graphic.header_val, "ASSET");
    EXPECT_EQ(graphic.barcodeSettings(), dialog.currentSettings());
    EXPECT_EQ(decodeBarcode(Barcode_output_image.toBitmap(300, Qt::white), ZXing::BarcodeFormat::EAN13).text,
              "4006381333931");
}

TEST_F(DesignerWindow, CancelLeavesTheObjectAndNoResultImage)
{
    TVNBarcode graphic;
    const BarcodeSettings before = graphic.barcodeSettings();
    platform::ScopedModalResponder answer([&](QDialog &) {
        choose(QStringLiteral("QR Code"));
        dialog.cancel_btn->click();
        return dialog.result();
    });
    dialog.Open_Wnd(&graphic);
    EXPECT_EQ(graphic.barcodeSettings(), before);
    EXPECT_TRUE(Barcode_output_image.isNull());
}

TEST_F(DesignerWindow, SpreadsheetColumnBindsTheObjectAndShowsItsFirstValue)
{
    QVariantMap row{{"Extension", 1}, {"Column1", "Ann"}, {"Column2", "ID-7781"}};
    design_window::restoreSpreadsheetTable({{"Name", "Badge"}, {row}});
    TVNBarcode graphic;
    dialog.Set_Barcode_Prop_To_Control(&graphic);
    pick(dialog.Data_source_type, QStringLiteral("Excel"));
    EXPECT_TRUE(dialog.dataText->isReadOnly());
    pick(dialog.Batch_Series, QStringLiteral("Badge"));
    // The binding that OK gives the object.
    EXPECT_EQ(dialog.currentSettings().data_source_type, 2);
    EXPECT_EQ(dialog.currentSettings().excel_col_indx, 2);
    EXPECT_EQ(dialog.dataText->text(), "ID-7781");
    EXPECT_EQ(previewText(ZXing::BarcodeFormat::Code39), "ID-7781");
}

TEST_F(DesignerWindow, ViewButtonOpensTheViewerOfTheBoundSource)
{
    // A series and a spreadsheet column of the same title: the source the
    // object is bound to decides what is shown.
    writeTestFile(folder.file("Only.txt"), "S-1\nS-2\n");
    design_window::restoreSpreadsheetTable({{"Only"},
                                            {{{"Extension", 1}, {"Column1", "X-1"}},
                                             {{"Extension", 2}, {"Column1", "X-2"}},
                                             {{"Extension", 3}, {"Column1", "X-3"}}}});
    design_window::HubServices services;
    services.series = &batch_data::designSeriesWindows();
    const InstalledServices installed(services);
    struct Case {
        QString source;
        ViewerShown shown;
    };
    const Case cases[] = {
        {"Series", {"View_Data_Series", {"S-1", "S-2"}}},
        {"Excel", {"Data_From_Excel", {"X-1", "X-2", "X-3"}}},
    };
    for (const Case &c : cases) {
        TVNBarcode graphic;
        dialog.Set_Barcode_Prop_To_Control(&graphic);
        pick(dialog.Data_source_type, c.source);
        pick(dialog.Batch_Series, QStringLiteral("Only"));
        ASSERT_TRUE(dialog.view_series_btn->isEnabled()) << c.source.toStdString();
        QList<ViewerShown> opened;
        platform::ScopedModalResponder viewer([&](QDialog &d) {
            opened << viewerShown(d);
            return 1;
        });
        dialog.view_series_btn->click();
        EXPECT_EQ(opened, QList<ViewerShown>{c.shown}) << c.source.toStdString();
    }
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(DesignerWindow, SeriesWithoutAnySeriesIsRefusedAndTheSourceStays)
{
    TVNBarcode graphic;
    dialog.Set_Barcode_Prop_To_Control(&graphic);
    pick(dialog.Data_source_type, QStringLiteral("Series"));
    EXPECT_EQ(shown, QStringList{"Please create batch processing series first."});
    EXPECT_EQ(dialog.Data_source_type->currentText(), "Manual");
    EXPECT_EQ(graphic.data_source_type, 0);
    EXPECT_FALSE(dialog.dataText->isReadOnly());
}

TEST_F(DesignerWindow, ResolutionAndQRVersionFollowTheLoadedObject)
{
    TVNBarcode graphic;
    BarcodeSettings s;
    s.linear_or_2d = 1;
    s.barcode_font_index = int(barcodeTypeTitles().indexOf("QR Code"));
    s.dpi_val_index = int(dpiItems().indexOf("Custom"));
    s.dpi_custom_val = QStringLiteral("1200");
    s.qr_version_index = 11;  // at least 61 points: one per module
    graphic.setBarcodeSettings(s);
    dialog.Set_Barcode_Prop_To_Control(&graphic);
    EXPECT_EQ(USED_DPI_VALUE.load(), 1200);
    EXPECT_TRUE(visible(dialog.dpi_Text));
    EXPECT_EQ(QR_Version_Val.load(), 11);
    EXPECT_EQ(dialog.HeightText_2D->text(), "61");
    BarcodeSettings expected = s;
    expected.qr_size_val = 61;
    EXPECT_EQ(dialog.currentSettings(), expected);

    // Typing a resolution moves the arrows only; clicking them takes it.
    dialog.dpi_Text->setText(QStringLiteral("300"));
    dialog.DPI_Value_Changed(dialog.dpi_Text);
    EXPECT_EQ(USED_DPI_VALUE.load(), 1200);
    dialog.dpi_Stepper->stepUp();
    EXPECT_EQ(USED_DPI_VALUE.load(), 301);
    pick(dialog.DPI_ComboBox, QStringLiteral("Auto"));
    EXPECT_EQ(USED_DPI_VALUE.load(), 600);
    EXPECT_FALSE(visible(dialog.dpi_Text));
}

TEST_F(DesignerWindow, DataMatrixSizeFieldsAreRaisedToTheLoadedSizeAndModule)
{
    // Rows and columns of the size name times the module size, raised only.
    struct Case {
        const char *format;
        int module;
        int width;
        int height;
    };
    const Case cases[] = {
        {"C18X18", 3, 54, 54},
        {"C16X48", 2, 96, 54}, // 32 high: the 54 of the object before stays
        {"Auto", 5, 96, 54},
    };
    for (const Case &c : cases) {
        TVNBarcode graphic;
        BarcodeSettings s;
        s.linear_or_2d = 1;
        s.barcode_font_index = int(barcodeTypeTitles().indexOf("DataMatrix"));
        s.dm_format_index = int(dataMatrixFormatNames().indexOf(c.format));
        s.dm_module_val = c.module;
        graphic.setBarcodeSettings(s);
        dialog.Set_Barcode_Prop_To_Control(&graphic);
        EXPECT_EQ(dialog.dm_widthText_2D->text(), QString::number(c.width)) << c.format;
        EXPECT_EQ(dialog.dm_HeightText_2D->text(), QString::number(c.height)) << c.format;
    }
}

TEST_F(DesignerWindow, FlipsMirrorThePreviewImage)
{
    type(QStringLiteral("FLIP-1"));
    choose(QStringLiteral("Code 128"));
    const QImage before = dialog.barcodeImage->image().toBitmap(144, Qt::white);
    struct Row {
        void (*flip)(SymBarcodeImageView *);
        bool horizontal;
    };
    for (const Row &row : {Row{&Barcode_Gen_Dialog::flipImageHorizontally, true},
                           Row{&Barcode_Gen_Dialog::flipImageVertically, false}}) {
        row.flip(dialog.barcodeImage);
        const QImage after = dialog.barcodeImage->image().toBitmap(144, Qt::white);
        EXPECT_LT(differingPixelShare(before.mirrored(row.horizontal, !row.horizontal), after, 128), 0.01);
        row.flip(dialog.barcodeImage);
        EXPECT_LT(differingPixelShare(before, dialog.barcodeImage->image().toBitmap(144, Qt::white), 128), 0.01);
    }
}

TEST_F(DesignerWindow, FontsAndLengthPairsReshapeThePreview)
{
    dialog.dataText_2D->setPlainText(QStringLiteral("FONT-2D"));
    choose(QStringLiteral("QR Code"));
    const QSizeF plain = dialog.barcodeImage->image().size();
    // A 20 point header font, taken from the font panel, redraws the 2-D
    // picture with a taller header without encoding again.
    {
        platform::ScopedModalResponder panel([](QDialog &d) {
            QFont font(QStringLiteral("Liberation Serif"));
            font.setPointSizeF(20);
            static_cast<QFontDialog &>(d).setCurrentFont(font);
            return 1;
        });
        dialog.header_font_btn->click();
    }
    EXPECT_EQ(dialog.header_font_value->text(), "Liberation Serif ( 20.00 )");
    EXPECT_GT(dialog.barcodeImage->image().size().height(), plain.height() + 5);
    EXPECT_EQ(previewText(ZXing::BarcodeFormat::QRCode), "FONT-2D");

    // The arrows move the field; the linear picture widens by both margins.
    type(QStringLiteral("PAIR-1"));
    choose(QStringLiteral("Code 128"));
    const double narrow = dialog.barcodeImage->image().size().width();
    dialog.LR_mar_Stepper->stepUp();
    EXPECT_EQ(dialog.LR_mar_Text->text(), "0.2");
    // 0.1 cm more on each side: 2 x 2.8346 points.
    EXPECT_NEAR(dialog.barcodeImage->image().size().width() - narrow, 2 * 2.8346472, 0.01);
    // Typed text moves the arrows; a text that is no number reads as 0.
    dialog.LR_mar_Text->setText(QStringLiteral("none"));
    dialog.LR_Margin_Changed(dialog.LR_mar_Text);
    EXPECT_EQ(dialog.LR_mar_Stepper->value(), 0.0);
    EXPECT_EQ(dialog.currentSettings().LR_margin_val, 0.0f);
}

TEST_F(DesignerWindow, FontPanelsOpenOnTheDrawnFontAndOkWithoutAChangeKeepsIt)
{
    const auto font = [](const char *family, double size, QFont::Weight weight, bool italic) {
        QFont f(QString::fromLatin1(family));
        f.setPointSizeF(size);
        f.setWeight(weight);
        f.setItalic(italic);
        return f;
    };
    // The face fontconfig draws each with (Debian 12, fonts-dejavu and
    // fonts-liberation); "Times New Roman", a new object's font, is drawn
    // with its metric twin.
    struct Row {
        QFont stored;
        const char *label;
        const char *style; // the style the panel opens on
    } const rows[] = {
        {font("DejaVu Sans", 9, QFont::Normal, false), "DejaVu Sans ( 9.00 )", "Book"},
        {font("Times New Roman", 10, QFont::Normal, false), "Liberation Serif ( 10.00 )", "Regular"},
        {font("DejaVu Sans", 12, QFont::Bold, true), "DejaVu Sans Bold Oblique ( 12.00 )", "Bold Oblique"},
        {font("Liberation Serif", 14, QFont::Normal, true), "Liberation Serif Italic ( 14.00 )", "Italic"},
    };
    using Field = QFont BarcodeSettings::*;
    const std::tuple<QPushButton *, QLabel *, Field> buttons[] = {
        {dialog.val_font_btn, dialog.value_font_value, &BarcodeSettings::value_font_val},
        {dialog.header_font_btn, dialog.header_font_value, &BarcodeSettings::header_font_val},
        {dialog.footer_font_btn, dialog.footer_font_value, &BarcodeSettings::footer_font_val},
    };
    for (const Row &row : rows) {
        for (const auto &[button, label, field] : buttons) {
            TVNBarcode graphic;
            BarcodeSettings s = graphic.barcodeSettings();
            s.linear_font_val = QStringLiteral("F-1");
            s.*field = row.stored;
            graphic.setBarcodeSettings(s);
            dialog.Set_Barcode_Prop_To_Control(&graphic);
            dialog.goButtonActionPerformed();
            const QImage before = dialog.barcodeImage->image().toBitmap(300, Qt::white);
            const QString where = label->objectName() + " " + row.label;
            EXPECT_EQ(label->text(), row.label) << where.toStdString();
            QFont opened;
            {
                platform::ScopedModalResponder panel([&](QDialog &d) {
                    opened = static_cast<QFontDialog &>(d).currentFont();
                    return 1;
                });
                button->click();
            }
            EXPECT_EQ(opened.family(), QFontInfo(row.stored).family()) << where.toStdString();
            EXPECT_EQ(opened.styleName(), row.style) << where.toStdString();
            EXPECT_EQ(opened.pointSizeF(), row.stored.pointSizeF()) << where.toStdString();
            EXPECT_EQ(dialog.currentSettings().*field, row.stored) << where.toStdString();
            EXPECT_EQ(label->text(), row.label) << where.toStdString();
            EXPECT_EQ(dialog.barcodeImage->image().toBitmap(300, Qt::white), before) << where.toStdString();
        }
    }

    // A style the user picks is kept as weight and slant, which design
    // files store, and named on the label.
    TVNBarcode graphic;
    dialog.Set_Barcode_Prop_To_Control(&graphic);
    {
        platform::ScopedModalResponder panel([](QDialog &d) {
            QFont bold(QStringLiteral("DejaVu Sans"));
            bold.setStyleName(QStringLiteral("Bold"));
            bold.setPointSize(11);
            static_cast<QFontDialog &>(d).setCurrentFont(bold);
            return 1;
        });
        dialog.val_font_btn->click();
    }
    const QFont taken = dialog.currentSettings().value_font_val;
    EXPECT_EQ(taken.family(), "DejaVu Sans");
    EXPECT_EQ(taken.weight(), QFont::Bold);
    EXPECT_FALSE(taken.italic());
    EXPECT_TRUE(taken.styleName().isEmpty());
    EXPECT_EQ(dialog.value_font_value->text(), "DejaVu Sans Bold ( 11.00 )");
}

TEST_F(DesignerWindow, TwoDimensionalSymbolsAreDrawnOnWhiteWhateverTheLinearBackground)
{
    // The background well belongs to the linear panel; a 2-D symbol is
    // drawn on white (its Colours box offers header and footer only) and
    // the object keeps its colour for a switch back.
    const QColor yellow(255, 255, 0);
    const auto yellowPixels = [&](const platform::Image &picture) {
        const QImage bitmap = picture.toBitmap(300, Qt::white).convertToFormat(QImage::Format_RGB32);
        int n = 0;
        for (int y = 0; y < bitmap.height(); ++y)
            for (int x = 0; x < bitmap.width(); ++x)
                n += QColor(bitmap.pixel(x, y)) == yellow;
        return n;
    };
    const std::pair<const char *, ZXing::BarcodeFormat> symbologies[] = {
        {"QR Code", ZXing::BarcodeFormat::QRCode},
        {"PDF417", ZXing::BarcodeFormat::PDF417},
        {"DataMatrix", ZXing::BarcodeFormat::DataMatrix},
    };
    for (const auto &[title, format] : symbologies) {
        TVNBarcode graphic;
        dialog.Set_Barcode_Prop_To_Control(&graphic);
        type(QStringLiteral("LINEAR-1"));
        platform::ScopedModalResponder panel([&](QDialog &d) {
            static_cast<QColorDialog &>(d).setCurrentColor(yellow);
            d.accept();
            return d.result();
        });
        dialog.bar_back_clr->click();
        ASSERT_GT(yellowPixels(dialog.barcodeImage->image()), 100) << title;

        dialog.dataText_2D->setPlainText(QStringLiteral("TWO-D-1"));
        choose(QString::fromLatin1(title));
        EXPECT_EQ(yellowPixels(dialog.barcodeImage->image()), 0) << title;
        EXPECT_EQ(previewText(format), "TWO-D-1") << title;
        // What the card and the exports show.
        const BarcodeSettings settings = dialog.currentSettings();
        EXPECT_EQ(settings.barcode_back_clr_val, yellow) << title;
        const platform::Image card = barcodeImageFor(settings);
        EXPECT_EQ(yellowPixels(card), 0) << title;
        EXPECT_EQ(decodeBarcode(card.toBitmap(300, Qt::white), format).text, "TWO-D-1") << title;

        choose(QStringLiteral("Code 39"));
        EXPECT_GT(yellowPixels(dialog.barcodeImage->image()), 100) << title;
    }
}

TEST_F(DesignerWindow, KerningFollowsTheLoadedObjectAndIsStoredOnlyWhereItIsAllowed)
{
    // Each object is opened after one of the other kind, as the user would.
    const auto object = [](const QString &title, int kerning) {
        auto barcode = std::make_shared<TVNBarcode>();
        BarcodeSettings s;
        s.barcode_font_index = int(barcodeTypeTitles().indexOf(title));
        s.linear_font_val = title == QLatin1String("EAN-13") ? QStringLiteral("400638133393") : QStringLiteral("K39");
        s.kerning_val = kerning;
        barcode->setBarcodeSettings(s);
        return barcode;
    };
    struct Row {
        const char *first;  // opened before
        const char *title;  // the object opened
        int kerning;        // what it has
        bool enabled;       // the box as shown
        int stored;         // what OK stores
    } const rows[] = {
        {"EAN-13", "Code 39", 1, true, 1},  // kept after a symbology without kerning
        {"Code 39", "EAN-13", 1, false, 0}, // UPC and EAN captions have fixed groups
        {"EAN-13", "Code 128", 0, true, 0},
    };
    for (const Row &row : rows) {
        const auto before = object(row.first, 1);
        dialog.Set_Barcode_Prop_To_Control(before.get());
        const auto opened = object(row.title, row.kerning);
        dialog.Set_Barcode_Prop_To_Control(opened.get());
        EXPECT_EQ(dialog.kerning_value_Checkbox->isEnabled(), row.enabled) << row.title << " after " << row.first;
        EXPECT_EQ(dialog.currentSettings().kerning_val, row.stored) << row.title << " after " << row.first;
    }
}

TEST_F(DesignerWindow, TwoDimensionalValuesMayBeAnyTextAndEveryDataMatrixSizeIsOffered)
{
    choose(QStringLiteral("QR Code"));
    const QString value = QStringLiteral("Grüße 日本 €");
    dialog.dataText_2D->setPlainText(value);
    dialog.goButtonActionPerformed();
    EXPECT_TRUE(dialog.barcode_error_label->isHidden()) << dialog.barcode_error_label->text().toStdString();
    EXPECT_EQ(previewText(ZXing::BarcodeFormat::QRCode), value.toStdString());
    EXPECT_TRUE(dialog.Check_And_Validat_Barcode(true, true));
    EXPECT_TRUE(shown.isEmpty()) << shown.join('|').toStdString();

    const auto *rows = qobject_cast<QStandardItemModel *>(dialog.dm_format_ComboBox->model());
    ASSERT_NE(rows, nullptr);
    EXPECT_TRUE(rows->item(dialog.dm_format_ComboBox->findText("C144X144"))->isEnabled());
    EXPECT_TRUE(rows->item(dialog.dm_format_ComboBox->findText("C132X132"))->isEnabled());
}

TEST_F(DesignerWindow, DataMatrixEncodationListDrawsBase256AndRefusesOnlyWhatNothingFits)
{
    choose(QStringLiteral("DataMatrix"));
    pick(dialog.dm_format_ComboBox, QStringLiteral("C18X18"));
    struct Row {
        const char *encoding;
        QString value;
        bool base256;           // the first codeword latches to Base 256
        const char *notice;     // none: the preview reads the value
        const char *note;       // what the Data Matrix settings say, if anything
    };
    const char *asciiGaveWay = "The value does not fit in Ascii at this size: it is drawn in Base256.";
    const Row rows[] = {
        {"Base256", QStringLiteral("HELLO 18"), true, nullptr, nullptr},
        {"Ascii", QStringLiteral("HELLO 18"), false, nullptr, nullptr},
        // 13 UTF-8 bytes: 21 codewords in ASCII, 15 in Base 256 of the 18.
        {"Auto", QStringLiteral("Ünïcødé 2"), true, nullptr, nullptr},
        {"Ascii", QStringLiteral("Ünïcødé 2"), true, nullptr, asciiGaveWay},
        {"C40", QStringLiteral("Ünïcødé 2"), true, nullptr,
         "The value does not fit in C40 at this size: it is drawn in Base256."},
        {"Ascii", QStringLiteral("HELLO 18"), false, nullptr, nullptr},
        {"Ascii", QStringLiteral("Ünïcødé 2"), true, nullptr, asciiGaveWay},
        {"Ascii", QString(20, QChar(0x00E9)), false, "The value does not fit the chosen Data Matrix size.", nullptr},
        {"Auto", QString(20, QChar(0x00E9)), false, "The value does not fit the chosen Data Matrix size.", nullptr},
        // 21 codewords in ASCII; libiec16022's own choice of letters holds
        // them (called with no letters: all C40, and ASCII then Text).
        {"Ascii", QStringLiteral("HELLO WORLD THIS IS LONG"), false, nullptr,
         "The value does not fit in Ascii at this size: it is drawn in C40."},
        {"Ascii", QStringLiteral("AB12 hello world tests"), false, nullptr,
         "The value does not fit in Ascii at this size: it is drawn in Ascii and Text."},
        // Fits in C40 and Text, but "–" and "’" hold the byte 0x80, which the
        // library writes there as another: the symbol would read otherwise.
        {"C40", QStringLiteral("JEAN – PARIS"), false, nullptr,
         "C40 cannot write this value correctly: it is drawn in Ascii."},
        {"Text", QStringLiteral("o’sullivan"), false, nullptr,
         "Text cannot write this value correctly: it is drawn in Ascii."},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.encoding) + " " + row.value.toStdString());
        pick(dialog.dm_encoding_ComboBox, QString::fromLatin1(row.encoding));
        dialog.dataText_2D->setPlainText(row.value);
        dialog.goButtonActionPerformed();
        EXPECT_EQ(!dialog.dm_encoding_note_label->isHidden(), row.note != nullptr);
        if (row.note != nullptr) {
            EXPECT_EQ(dialog.dm_encoding_note_label->text().toStdString(), row.note);
        }
        if (row.notice != nullptr) {
            EXPECT_TRUE(dialog.barcodeImage->image().isNull());
            EXPECT_EQ(dialog.barcode_error_label->text().toStdString(), row.notice);
            continue;
        }
        EXPECT_TRUE(dialog.barcode_error_label->isHidden()) << dialog.barcode_error_label->text().toStdString();
        const std::optional<DmtxReading> read = dmtxRead(dialog.barcodeImage->image().toBitmap(300, Qt::white));
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(read->bytes, row.value.toStdString());
        // 18 x 18: 18 data and 14 error codewords.
        EXPECT_EQ(read->codewords.size(), 32u);
        EXPECT_EQ(read->codewords[0] == 231, row.base256);
    }
    // Only C40 and Text hold it at 22 x 22, and both write it wrongly: no
    // symbol, and the notice does not say it is too long.
    pick(dialog.dm_format_ComboBox, QStringLiteral("C22X22"));
    pick(dialog.dm_encoding_ComboBox, QStringLiteral("C40"));
    dialog.dataText_2D->setPlainText(QStringLiteral("JOHN PAUL O’BRIEN SMITH JONES"));
    dialog.goButtonActionPerformed();
    EXPECT_TRUE(dialog.barcodeImage->image().isNull());
    EXPECT_EQ(dialog.barcode_error_label->text().toStdString(),
              "The value cannot be written correctly at the chosen Data Matrix size.");
    pick(dialog.dm_format_ComboBox, QStringLiteral("C18X18"));
    // The note goes with the Data Matrix symbol it was about.
    pick(dialog.dm_encoding_ComboBox, QStringLiteral("Ascii"));
    dialog.dataText_2D->setPlainText(QStringLiteral("Ünïcødé 2"));
    dialog.goButtonActionPerformed();
    ASSERT_FALSE(dialog.dm_encoding_note_label->isHidden());
    choose(QStringLiteral("QR Code"));
    EXPECT_TRUE(dialog.dm_encoding_note_label->isHidden());
    EXPECT_TRUE(shown.isEmpty()) << shown.join('|').toStdString();
}

TEST_F(DesignerWindow, BoundDataFollowsASymbologySwitchAndWhatItCannotDrawIsSaid)
{
    const QString url = QStringLiteral("https://quorvant.example/p/1");
    writeTestFile(folder.file("URLs.txt"), (url + "\nhttps://quorvant.example/p/2\n").toUtf8());
    design_window::restoreSpreadsheetTable({{"Name"}, {{{"Extension", 1}, {"Column1", QStringLiteral("Zoë")}}}});
    TVNBarcode graphic;
    dialog.Set_Barcode_Prop_To_Control(&graphic);
    choose(QStringLiteral("QR Code"));
    pick(dialog.Data_source_type, QStringLiteral("Series"));
    pick(dialog.Batch_Series, QStringLiteral("URLs"));
    EXPECT_EQ(previewText(ZXing::BarcodeFormat::QRCode), url.toStdString());

    struct Row {
        const char *source;
        const char *item;
        const char *title;
        QString shownValue;
        QString notice; // none: the preview reads the value
    };
    const Row rows[] = {
        {"Series", "URLs", "Industrial 2 of 5", url,
         "Series \"URLs\", first value \"" + url + "\": The value cannot be written as Industrial 2 of 5."},
        {"Series", "URLs", "Code 128", url, {}},
        {"Excel", "Name", "Code 39", QStringLiteral("Zoë"),
         QStringLiteral("Column \"Name\", first value \"Zoë\": Invalid barcode value")},
        {"Excel", "Name", "DataMatrix", QStringLiteral("Zoë"), {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.title);
        if (dialog.Data_source_type->currentText() != row.source) {
            pick(dialog.Data_source_type, row.source);
            pick(dialog.Batch_Series, row.item);
        }
        choose(row.title);
        // The data's first value, never the sample typed before the binding.
        EXPECT_EQ((isTwoDimensionalTitle(row.title) ? dialog.dataText_2D->toPlainText() : dialog.dataText->text())
                      .toStdString(),
                  row.shownValue.toStdString());
        EXPECT_EQ(visible(dialog.barcode_error_label), !row.notice.isEmpty());
        if (row.notice.isEmpty()) {
            EXPECT_FALSE(dialog.barcodeImage->image().isNull());
        } else {
            EXPECT_TRUE(dialog.barcodeImage->image().isNull());
            EXPECT_EQ(dialog.barcode_error_label->text().toStdString(), row.notice.toStdString());
        }
    }
    EXPECT_EQ(dmtxDecode(dialog.barcodeImage->image().toBitmap(300, Qt::white)), "Zoë");

    // A typed value that cannot be drawn is no fault of the data.
    pick(dialog.Data_source_type, QStringLiteral("Manual"));
    choose(QStringLiteral("EAN-13"));
    type(QStringLiteral("ABC"));
    EXPECT_EQ(dialog.barcode_error_label->text(), "The value cannot be written as EAN-13.");
    EXPECT_TRUE(shown.isEmpty()) << shown.join('|').toStdString();
}
