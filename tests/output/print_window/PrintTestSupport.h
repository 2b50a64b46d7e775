#pragma once
// A card design for the print window's tests: a 252 x 144 pt card whose
// front holds a name text and a Code 128 symbol, and whose back holds the
// word "BACK". Its records (one name and one id each) are filled the way the
// design window fills a record: the text takes the name, the barcode the
// symbol of the id. The window runs with alerts recorded and answered, and
// with the user's actions scripted in its modal run.

#include "barcodes/designer/BarcodeEngine.h"
#include "design_window/Globals.h"
#include "design_window/ResourceFolder.h"
#include "design_window/TVNWindowController.h"
#include "output/print_window/PrintWindowsImpl.h"
#include "output/print_window/PrintGlobals.h"
#include "output/print_window/Print_Wnd.h"
#include "platform/Alerts.h"
#include "platform/ModalRun.h"
#include "tests/output/PdfTools.h"
#include "tests/support/InstalledServices.h"
#include "tests/support/ScopedValue.h"
#include "tests/support/TestSupport.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Readable test failures for Qt strings.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << (list.isEmpty() ? std::string("[]") : "[\"" + list.join("\", \"").toStdString() + "\"]");
}

namespace quorvant::test {

inline QString recordId(int n)
{
    return QStringLiteral("ID%1").arg(n, 6, 10, QLatin1Char('0'));
}

inline QString recordName(int n)
{
    return QStringLiteral("Name%1").arg(n);
}

inline const PdfWord *findWord(const QList<PdfWord> &words, const QString &text)
{
    for (const PdfWord &w : words) {
        if (w.text == text)
            return &w;
    }
    return nullptr;
}

// The top left corners of a sheet's cards, in points from the page's top
// left, row by row: each of `tops` with each of `lefts`, the first `count`
// of them (every one when -1). A test works them out by hand from the paper,
// the margins, the gaps and the card, never with the layout's own code, so a
// card put in a wrong place is not looked for in the same wrong place.
inline QList<QPointF> cardPlaces(const QList<double> &lefts, const QList<double> &tops, qsizetype count = -1)
{
    QList<QPointF> places;
    for (double top : tops) {
        for (double left : lefts)
            places.append(QPointF(left, top));
    }
    return count < 0 ? places : places.mid(0, count);
}

// What a card of the test designs shows: the id its Code 128 symbol reads,
// then the name its text box holds.
inline QString cardShowing(int record)
{
    return recordId(record) + QLatin1Char(' ') + recordName(record);
}

// What each 252 x 144 pt card of a page shows at its place: the id its Code
// 128 symbol reads in the card's own square of the page (one card at a time:
// the reader takes one linear symbol per picture), "-" when none reads
// there; then the word that starts where the card's text box starts, 18 pt
// in and 10 pt down, within a point, if there is one.
inline QStringList cardsOnPage(const QString &pdf, int page, const QList<QPointF> &places)
{
    constexpr int kDpi = 200;
    const QImage sheet = renderPdfPage(pdf, page, kDpi);
    const QList<PdfWord> words = pdfWords(pdf, page);
    QStringList shown;
    for (const QPointF &place : places) {
        const Decoded d = decodeBarcode(cropPoints(sheet, QRectF(place, QSizeF(252, 144)), kDpi),
                                        ZXing::BarcodeFormat::Code128);
        QString card = d.valid ? QString::fromStdString(d.text) : QStringLiteral("-");
        const QPointF text = place + QPointF(18, 10);
        for (const PdfWord &w : words) {
            if (std::abs(w.box.left() - text.x()) <= 1 && std::abs(w.box.top() - text.y()) <= 1)
                card += QLatin1Char(' ') + w.text;
        }
        shown.append(card);
    }
    return shown;
}

// Sets the page set-up panel to `paper` with `margin` millimetres at every
// edge, typed as the user types them, and ends its run with OK: the panel
// hands its fields to the print settings only then. A panel without its
// paper list, unit list or margin fields is a failure and is cancelled.
inline int acceptPageSetup(QPageSetupDialog &setup, const QString &paper, const QString &margin)
{
    auto *papers = setup.findChild<QComboBox *>(QStringLiteral("pageSizeCombo"));
    auto *units = setup.findChild<QComboBox *>(QStringLiteral("unitCombo"));
    const int paperIndex = papers ? papers->findText(paper) : -1;
    if (paperIndex < 0 || !units) {
        ADD_FAILURE() << "the page set-up panel offers no " << paper.toStdString() << " or no unit list";
        return 0;
    }
    units->setCurrentIndex(units->findData(QVariant::fromValue(QPageLayout::Millimeter)));
    papers->setCurrentIndex(paperIndex);
    for (const char *name : {"leftMargin", "rightMargin", "topMargin", "bottomMargin"}) {
        auto *field = setup.findChild<QDoubleSpinBox *>(QLatin1String(name));
        if (!field) {
            ADD_FAILURE() << "the page set-up panel has no " << name;
            return 0;
        }
        field->selectAll();
        QTest::keyClicks(field, margin);
    }
    QTimer::singleShot(0, &setup, [&setup] { setup.accept(); });
    return setup.exec();
}

// The print layout as the print window leaves it is kept for the next
// window of the program, and the window starts from the record counts the
// design reports: a test puts back what it found.
struct ScopedPrintState {
    ScopedValue<std::atomic<bool>> seriesValues{design_window::Use_Data_Sheet_Values};
    ScopedValue<std::atomic<bool>> sheetValues{design_window::Use_Excel_Binding_Values};
    ScopedValue<std::atomic<int>> cards{design_window::Total_Batch_Excel_Card};
    ScopedValue<QString> sides{output::Print_Card_Side};
    ScopedValue<QString> pairing{output::Print_Card_Algn};
    ScopedValue<int> alignment{output::label_align_val};
    ScopedValue<bool> outlines{output::Show_margin_rect};
    ScopedValue<int> rows{output::Print_Row};
    ScopedValue<int> columns{output::Print_Col};
    ScopedValue<int> labels{output::Total_Label};
    ScopedValue<int> labelsOfRun{output::Total_Label_Real};
    ScopedValue<bool> autoCentre{output::auto_center_flag};
    ScopedValue<float> left{output::Left_Mar};
    ScopedValue<float> right{output::Rite_Mar};
    ScopedValue<float> top{output::Top_Mar};
    ScopedValue<float> bottom{output::Bot_Mar};
    ScopedValue<float> columnGap{output::horz_mar};
    ScopedValue<float> rowGap{output::vert_mar};
    ScopedValue<float> width{output::label_width};
    ScopedValue<float> height{output::label_hight};
    ScopedValue<int> placed{output::barcode_counter};
};

// The services of a program that has only its print window.
inline design_window::HubServices printServices()
{
    design_window::HubServices services;
    services.print = &output::designPrintWindows();
    return services;
}

// The design window with the print window installed, in a resource folder
// of its own; every alert is recorded and answered 0 (OK, Yes).
struct PrintCommandDesk {
    ScopedValue<QString> resourcePath{design_window::Resource_Path};
    ScopedValue<QString> dataFolderPath{design_window::Data_Folder_Path};
    ScopedPrintState printState;
    TempFolder tmp;
    QStringList alerts;
    platform::ScopedAlertResponder answer{[this](const platform::AlertRequest &r) {
        alerts.append(r.text.trimmed());
        return 0;
    }};
    const bool inOwnFolder = (design_window::setResourceFolder(tmp.file("res")), true);
    InstalledServices services{printServices()};
    TVNWindowController window;
};

class PrintTest : public ::testing::Test {
public:
    static constexpr QSizeF kCard{252, 144};

protected:
    ScopedPrintState printState;
    TempFolder tmp;
    GraphicList front, back;
    std::shared_ptr<TVNText> name, backText;
    std::shared_ptr<TVNBarcode> code;
    barcodes::BarcodeSettings codeSettings;
    int records = 0;              // 0: the design is not bound to records
    int failingRecord = -1;       // a record whose fill fails
    std::function<void(int)> onFill;
    QStringList alerts;
    QList<int> answers;           // alert answers in turn; 0 (OK, Yes) when used up
    std::unique_ptr<platform::ScopedAlertResponder> alertResponder;
    std::unique_ptr<Print_Wnd> wnd;
    QString pdf;

    void SetUp() override
    {
        pdf = tmp.file("cards.pdf");
        name = std::static_pointer_cast<TVNText>(newGraphicOfClass(GraphicClass::Text));
        name->setBounds(QRectF(18, 10, 216, 26));
        name->setTextFont(QFont(QStringLiteral("Liberation Sans"), 16, QFont::Bold));
        name->setContentsString(QStringLiteral("FRONT"));
        code = std::static_pointer_cast<TVNBarcode>(newGraphicOfClass(GraphicClass::Barcode));
        code->setBounds(QRectF(18, 52, 216, 78));
        codeSettings.barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf(QStringLiteral("Code 128")));
        codeSettings.show_hide_hdr = codeSettings.show_hide_ftr = 1;
        code->setBarcodeSettings(codeSettings);
        setCode(QStringLiteral("TYPED"));
        front = {name, code};
        backText = std::static_pointer_cast<TVNText>(newGraphicOfClass(GraphicClass::Text));
        backText->setBounds(QRectF(18, 60, 216, 26));
        backText->setTextFont(QFont(QStringLiteral("Liberation Sans"), 16, QFont::Bold));
        backText->setContentsString(QStringLiteral("BACK"));
        back = {backText};

        alertResponder = std::make_unique<platform::ScopedAlertResponder>([this](const platform::AlertRequest &r) {
            alerts.append(r.text.trimmed());
            return answers.isEmpty() ? 0 : answers.takeFirst();
        });
        wnd = std::make_unique<Print_Wnd>(design());
    }

    void TearDown() override
    {
        wnd.reset();
    }

    void setCode(const QString &value)
    {
        code->Set_Barcode_image(barcodes::barcodeImageFor(codeSettings, value, {}, {}, 600));
    }

    // Binds the design to `count` records of the series.
    void bindRecords(int count)
    {
        records = count;
        design_window::Use_Data_Sheet_Values = count > 0;
        design_window::Total_Batch_Excel_Card = count;
    }

    output::PrintedDesign design()
    {
        output::PrintedDesign d;
        d.graphics = [this](int side) -> const GraphicList & { return side ? back : front; };
        d.face = [](int side) {
            return drawing::CardFace{kCard, side, drawing::kShapeRectangle,
                                     [](QPainter &p, const QRectF &card, int s) {
                                         p.fillRect(card, s ? QColor(235, 240, 255) : QColor(Qt::white));
                                     }};
        };
        d.checkBindings = [this] {
            design_window::Use_Data_Sheet_Values = records > 0;
            design_window::Total_Batch_Excel_Card = records;
        };
        d.countRecords = [this] {
            design_window::Total_Batch_Excel_Card = design_window::Use_Data_Sheet_Values ? records : 0;
        };
        d.fill = [this](int n, int side, QString *error) {
            if (onFill)
                onFill(n);
            if (n == failingRecord) {
                *error = QStringLiteral("the picture is missing");
                return false;
            }
            if (side == 0) {
                name->setContentsString(recordName(n));
                setCode(recordId(n));
            }
            return true;
        };
        d.restoreFirst = [this] {
            name->setContentsString(recordName(0));
            setCode(recordId(0));
        };
        return d;
    }

    // Opens the window; `user` acts in it while it runs. The save panel
    // answers `pdf`; a preview dialog goes to `inPreview`. The window must
    // run `user` once: checks among its steps pass unseen when it never
    // opens.
    void open(const std::function<void(Print_Wnd &)> &user,
              const std::function<void(QPrintPreviewDialog &)> &inPreview = {})
    {
        int runs = 0;
        platform::ScopedModalResponder responder([&](QDialog &d) {
            if (auto *w = dynamic_cast<Print_Wnd *>(&d)) {
                ++runs;
                user(*w);
                return 0;
            }
            if (auto *panel = dynamic_cast<QFileDialog *>(&d)) {
                panel->selectFile(pdf);
                return 1;
            }
            if (auto *preview = dynamic_cast<QPrintPreviewDialog *>(&d); preview && inPreview)
                inPreview(*preview);
            return 0;
        });
        ASSERT_TRUE(wnd->Open_Print_Wnd());
        ASSERT_EQ(runs, 1) << "the print window did not run the user's steps once";
    }

public:
    // The paper of the page set-up panel.
    static void choosePaper(Print_Wnd &w, QPageSize::PageSizeId paper)
    {
        output::printInfo->setPageSize(QPageSize(paper));
        w.Set_values_From_Printer();
        w.Check_Max_Cell_Value();
    }

    // Chooses the side row (0 both, 1 front, 2 back) and the pairing item.
    static void chooseSides(Print_Wnd &w, int row, int pairing = 0)
    {
        w.card_side_rows[size_t(row)]->click();
        w.print_alignment->setCurrentIndex(pairing);
        w.comboBoxSelectionDidChange(w.print_alignment);
    }

    static void setGrid(Print_Wnd &w, int rows, int columns)
    {
        w.Row_Text->setValue(rows);
        w.Col_Text->setValue(columns);
    }
};

} // namespace quorvant::test
