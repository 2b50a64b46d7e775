// The design file through the window: everything a design holds comes back,
// any text the program takes can be stored, and files written before open.
#include "WindowFixture.h"
#include "tests/design_window/Outlets.h"

#include "design_window/CardSizes.h"
#include "design_window/ImagePanel.h"
#include "drawing/TVNRenderingView.h"
#include "platform/PropertyList.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPainter>
#include <cmath>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

using namespace design_window;
using quorvant::test::readTestFile;
using quorvant::test::ScopedValue;
using quorvant::test::writeTestFile;
using quorvant::test::outlet;

namespace {

// Every binding and barcode setting away from its initial value.
barcodes::BarcodeSettings changedBarcodeSettings(int n)
{
    barcodes::BarcodeSettings s;
    s.data_source_type = 2;
    s.batch_list_name = QStringLiteral("Names %1").arg(n);
    s.batch_list_index = 3 + n;
    s.excel_binding = true;
    s.excel_col_indx = 4;
    s.linear_or_2d = 1;
    s.barcode_font_index = 7;
    s.linear_font_val = QStringLiteral("GS1\x1d" "0101%1").arg(n); // a group separator, as GS1 data holds
    s.two_d_font_val = QStringLiteral("https://example.org/\u00fc");
    s.header_val = QStringLiteral("Head");
    s.footer_val = QStringLiteral("Foot");
    s.value_font_val = QFont("Liberation Sans", 11);
    s.header_font_val = QFont("Liberation Mono", 8);
    s.footer_font_val = QFont("Liberation Serif", 9, QFont::Bold);
    s.barcode_hdr_clr_val = QColor(1, 2, 3);
    s.barcode_ftr_clr_val = QColor(4, 5, 6);
    s.barcode_val_clr_val = QColor(7, 8, 9);
    s.barcode_clr_val = QColor(200, 0, 0);
    s.barcode_back_clr_val = QColor(250, 250, 200);
    s.show_hide_hdr = s.show_hide_ftr = s.show_hide_val = s.show_val_on_top = 1;
    s.align_hdr_index = 0;
    s.align_ftr_index = 2;
    s.linear_height_val = 0.7f;
    s.linear_width_val = 13.5f;
    s.qr_size_val = 80;
    s.qr_version_index = 5;
    s.qr_ec_index = 2;
    s.pdf_hgt_val = 30;
    s.pdf_wdt_val = 120;
    s.pdf_ec_val = 4;
    s.dm_module_val = 3;
    s.dm_format_index = 6;
    s.dm_encoding_index = 1;
    s.hdr_margin_val = 0.2f;
    s.ftr_margin_val = 0.3f;
    s.val_margin_val = 0.15f;
    s.TB_marging_val = 0.25f;
    s.LR_margin_val = 0.123f;
    s.dpi_val_index = 2;
    s.dpi_custom_val = QStringLiteral("300");
    s.kerning_val = 1;
    s.barcode_unit_val = 0;
    return s;
}

platform::Image stripes()
{
    return platform::Image::record(QSizeF(30, 20), [](QPainter &p) {
        for (int i = 0; i < 6; ++i)
            p.fillRect(QRectF(i * 5, 0, 2, 20), Qt::black);
    });
}

// A graphic of `cls` with every field away from its initial value.
GraphicPtr changedGraphic(GraphicClass cls, int n, const QString &picture)
{
    GraphicPtr g = newGraphicOfClass(cls);
    g->setBounds(QRectF(10.25 + n, 12.5 + n, 60.5, 30.75));
    g->setDrawingFill(true);
    g->setDrawingStroke(true);
    g->setFillColor(QColor(250, 240, 230, 128));
    g->setStrokeColor(QColor(20, 30, 40 + n));
    g->setStrokeWidth(2.5);
    g->control_ID = QStringLiteral("Fup_Name%1").arg(n);
    g->ctrl_is_visible = false;
    g->ctrl_is_printable = false;
    g->Text_Value = QStringLiteral("line\x01\r\n\x1b%1").arg(n);
    g->setBarcodeSettings(changedBarcodeSettings(n));
    g->Set_Barcode_image(stripes());
    if (auto *text = dynamic_cast<TVNText *>(g.get())) {
        QFont whole("Liberation Serif");
        whole.setPointSizeF(17.5);
        text->setTextFont(whole);
        text->setTextColor(QColor(10, 20, 30));
        QFont bold("Liberation Sans", 14, QFont::Bold);
        QFont italic("Liberation Mono");
        italic.setPointSizeF(9.5);
        italic.setItalic(true);
        italic.setUnderline(true);
        text->setRichText({{bold, Qt::darkGreen, {{"Jane ", bold, Qt::red}, {"Doe\x01", italic, Qt::blue}}},
                           {italic, Qt::magenta, {}},
                           {whole, Qt::gray, {{"third \u2028line", whole, QColor(1, 2, 3, 200)}}}});
        text->setAlignment(Qt::AlignRight);
    } else if (auto *image = dynamic_cast<TVNImage *>(g.get())) {
        image->setFilePath(picture, {});
    }
    return g;
}

Card_Property changedCard(const QString &picture, int n)
{
    Card_Property card;
    card.Card_Size = QSizeF(200.5, 120.25);
    card.Card_Location = QPointF(5 + n, 6);
    card.Card_Fill = true;
    card.Card_Fill_Color = QColor(1, 2, 3 + n, 128);
    card.BG_Image_Path = picture;
    card.BG_Image = platform::Image::fromFile(picture);
    return card;
}

// A design with every field of every kind of object, on both sides, and of
// the card and the design, away from its initial value.
Design changedDesign(const QString &picture)
{
    Design d;
    for (const GraphicClass cls : {GraphicClass::Text, GraphicClass::Image, GraphicClass::Barcode}) {
        d.front.push_back(changedGraphic(cls, 1, picture));
        d.back.push_back(changedGraphic(cls, 2, picture));
    }
    d.frontCard = changedCard(picture, 1);
    d.backCard = changedCard(picture, 2);
    d.card = CardChoice{kPaperCategory, 3, QStringLiteral("V")};
    d.cardShape = 1;
    d.cardSides = QStringLiteral("2");
    d.mainPhotoPath = picture;
    d.photo = PhotoAdjustments{90, 50, 0.25f, 1.5f, 0.1f, 1.2f, 0.3f, 0.4f, 0.5f, true, true, true};
    d.excelBindingUse = true;
    d.excelSourcePath = QStringLiteral("/data/people\x01.xlsx");
    d.table = {{"Name", "City\x02"},
               {{{"Extension", 1}, {"Column1", "Ann\x03"}, {"Column2", "Oslo"}},
                {{"Extension", 2}, {"Column1", "Bob"}, {"Column2", 42.5}}}};
    return d;
}

void expectSameObject(const TVNGraphic &a, const TVNGraphic &b, const std::string &where)
{
    EXPECT_EQ(a.graphicClass(), b.graphicClass()) << where;
    EXPECT_EQ(a.bounds(), b.bounds()) << where;
    EXPECT_EQ(a.isDrawingFill(), b.isDrawingFill()) << where;
    EXPECT_EQ(a.isDrawingStroke(), b.isDrawingStroke()) << where;
    EXPECT_EQ(a.fillColor(), b.fillColor()) << where;
    EXPECT_EQ(a.strokeColor(), b.strokeColor()) << where;
    EXPECT_EQ(a.strokeWidth(), b.strokeWidth()) << where;
    EXPECT_EQ(a.control_ID, b.control_ID) << where;
    EXPECT_EQ(a.ctrl_is_visible, b.ctrl_is_visible) << where;
    EXPECT_EQ(a.ctrl_is_printable, b.ctrl_is_printable) << where;
    EXPECT_EQ(a.Text_Value, b.Text_Value) << where;
    EXPECT_EQ(a.barcodeSettings(), b.barcodeSettings()) << where;
    EXPECT_EQ(a._barcode_image.toBitmap(72), b._barcode_image.toBitmap(72)) << where;
    if (auto *ta = dynamic_cast<const TVNText *>(&a)) {
        auto *tb = dynamic_cast<const TVNText *>(&b);
        ASSERT_NE(tb, nullptr) << where;
        EXPECT_EQ(ta->richText(), tb->richText()) << where;
        EXPECT_EQ(ta->textFont(), tb->textFont()) << where;
        EXPECT_EQ(ta->textColor(), tb->textColor()) << where;
        EXPECT_EQ(ta->alignment(), tb->alignment()) << where;
    }
    if (auto *ia = dynamic_cast<const TVNImage *>(&a)) {
        auto *ib = dynamic_cast<const TVNImage *>(&b);
        ASSERT_NE(ib, nullptr) << where;
        EXPECT_EQ(ia->filePath(), ib->filePath()) << where;
        EXPECT_EQ(ia->image().toBitmap(72), ib->image().toBitmap(72)) << where;
    }
}

void expectSameCard(const Card_Property &a, const Card_Property &b, const char *which)
{
    EXPECT_EQ(a.Card_Size, b.Card_Size) << which;
    EXPECT_EQ(a.Card_Location, b.Card_Location) << which;
    EXPECT_EQ(a.Card_Fill, b.Card_Fill) << which;
    EXPECT_EQ(a.Card_Fill_Color, b.Card_Fill_Color) << which;
    EXPECT_EQ(a.BG_Image_Path, b.BG_Image_Path) << which;
    EXPECT_EQ(a.BG_Image.toBitmap(72), b.BG_Image.toBitmap(72)) << which;
}

class DesignFile : public DesignWindow {
protected:
    // Saves the open design, starts a new one and opens the file again.
    void saveAndOpen(const QString &name)
    {
        const QString file = tmp.file(name);
        ASSERT_TRUE(wnd->Save_project_file(file, false)) << alerts.join("|").toStdString();
        wnd->New_Project_Setting_Reset();
        restoreSpreadsheetTable({});
        IMG_Adjustments = {};
        ASSERT_EQ(wnd->Read_and_load_design_Log(file, "L"), 1) << alerts.join("|").toStdString();
    }
};

} // namespace

TEST_F(DesignFile, EveryFieldOnBothSidesReadsBackAsItWas)
{
    const QString picture = makePng("picture.png", QColor(30, 160, 90), QSize(24, 16));
    const Design expected = changedDesign(picture);
    // The fixture leaves no stored field of any object at its initial value.
    for (const GraphicPtr &g : expected.front) {
        const QVariantMap changed = graphicToDictionary(*g);
        const QVariantMap initial = graphicToDictionary(*newGraphicOfClass(g->graphicClass()));
        for (auto it = changed.cbegin(); it != changed.cend(); ++it) {
            if (it.key() != QLatin1String("class")) {
                EXPECT_NE(it.value(), initial.value(it.key())) << it.key().toStdString();
            }
        }
    }

    wnd->applyDesign(changedDesign(picture));
    saveAndOpen("everything.zelg");
    // What the file holds: an opened design shows the first record of its
    // data in its bound objects, not the values stored with them.
    const std::optional<Design> read = loadDesignFile(tmp.file("everything.zelg"));
    ASSERT_TRUE(read);
    const Design &loaded = *read;
    for (const auto &[side, a, b] : {std::tuple{"front", &expected.front, &loaded.front},
                                     std::tuple{"back", &expected.back, &loaded.back}}) {
        ASSERT_EQ(a->size(), b->size()) << side;
        for (size_t i = 0; i < a->size(); ++i)
            expectSameObject(*(*a)[i], *(*b)[i], side + std::to_string(i));
    }
    expectSameCard(expected.frontCard, loaded.frontCard, "front card");
    expectSameCard(expected.backCard, loaded.backCard, "back card");
    EXPECT_EQ(loaded.card, expected.card);
    EXPECT_EQ(loaded.cardShape, expected.cardShape);
    EXPECT_EQ(loaded.cardSides, expected.cardSides);
    EXPECT_EQ(loaded.mainPhotoPath, expected.mainPhotoPath);
    EXPECT_EQ(loaded.photo, expected.photo);
    EXPECT_EQ(loaded.excelBindingUse, expected.excelBindingUse);
    EXPECT_EQ(loaded.excelSourcePath, expected.excelSourcePath);
    EXPECT_EQ(loaded.table, expected.table);
}

TEST_F(DesignFile, RichTextLooksTheSameAfterOpening)
{
    const auto text = addText("", QRectF(10, 10, 220, 80));
    QFont big("Liberation Sans", 20, QFont::Bold);
    QFont small("Liberation Serif", 12);
    text->setRichText({{big, Qt::red, {{"RED ", big, Qt::red}, {"blue", small, Qt::blue}}}});
    wnd->currentCanvas()->deselectAll();
    const QImage before = canvasPicture();
    saveAndOpen("rich.zelg");
    EXPECT_LT(quorvant::test::differingPixelShare(before, canvasPicture(), 8), 0.001);
    // Both colours are still there, not one colour for the whole text.
    const auto share = [](const QImage &picture, QColor colour) {
        int n = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                n += picture.pixelColor(x, y) == colour;
        return n;
    };
    EXPECT_GT(share(canvasPicture(), Qt::red), 100);
    EXPECT_GT(share(canvasPicture(), Qt::blue), 50);
}

TEST_F(DesignFile, AnyTextFromDataIsStoredAndReadBackExactly)
{
    // Texts a series or a spreadsheet hands over, control characters and all.
    const QString rows[] = {
        QStringLiteral("start of heading \x01"),
        QStringLiteral("GS1 \x1d" "0109501101530003"),
        QStringLiteral("escape \x1b[1m and bell \x07"),
        QStringLiteral("carriage\rreturn and tab\t"),
        QString::fromUtf16(u"not a character \uFFFE, an emoji \U0001F600"),
        QString(QChar(0)) + QStringLiteral("nul first"),
    };
    for (const QString &value : rows) {
        wnd->New_Project_Setting_Reset();
        const auto text = addText(value, QRectF(10, 10, 100, 30));
        text->Text_Value = value;
        const GraphicPtr barcode = add(TVNWindowController::kBarcodeTool);
        barcode->linear_font_val = value;
        restoreSpreadsheetTable({{value}, {{{"Extension", 1}, {"Column1", value}}}});
        alerts.clear();
        saveAndOpen("text.zelg");
        ASSERT_EQ(wnd->Get_Front_Controls_Array().size(), 2u);
        const auto *loadedText = dynamic_cast<const TVNText *>(wnd->Get_Front_Controls_Array()[1].get());
        ASSERT_NE(loadedText, nullptr);
        EXPECT_EQ(loadedText->Text_Value, value);
        EXPECT_EQ(loadedText->richText(), text->richText());
        EXPECT_EQ(wnd->Get_Front_Controls_Array()[0]->linear_font_val, value);
        EXPECT_EQ(currentSpreadsheetTable().titles, QStringList{value});
        EXPECT_EQ(wnd->Get_First_Value_Of_Excel_Binding(1), value);
    }
}

TEST_F(DesignFile, AnObjectThatCannotBeStoredIsNamedAndTheLastFileStays)
{
    const QString file = tmp.file("design.zelg");
    addText("Keep", QRectF(10, 10, 50, 20));
    ASSERT_TRUE(wnd->Save_project_file(file, false));
    const QByteArray kept = readTestFile(file);
    const GraphicPtr barcode = add(TVNWindowController::kBarcodeTool);
    barcode->control_ID = "Ticket";
    barcode->linear_height_val = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(wnd->Save_project_file(file, true));
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first().contains(R"(The barcode "Ticket" (object 1 on the front))"))
        << alerts.first().toStdString();
    EXPECT_TRUE(alerts.first().contains("linear_height_val")) << alerts.first().toStdString();
    EXPECT_EQ(readTestFile(file), kept);
}

TEST_F(DesignFile, FlagsAreYOrNAndNumbersDecimalText)
{
    const auto text = addText("x", QRectF(10.5, 20, 30, 40));
    text->setDrawingFill(true);
    text->linear_height_val = 0.7f;
    const ScopedValue shape(Card_Shape, 2);
    const QString file = tmp.file("forms.zelg");
    ASSERT_TRUE(wnd->Save_project_file(file, false));
    const QVariantMap design = platform::readPropertyList(readTestFile(file))->toList().value(1).toMap();
    const QVariantMap object = design.value("front_graphics").toList().value(0).toMap();
    struct Row {
        const char *what;
        QVariant stored;
        QVariant expected;
    } const rows[] = {
        {"a flag that is on", object.value("isDrawingFill"), "Y"},
        {"a flag that is off", object.value("isDrawingStroke"), "N"},
        {"a card flag", design.value("Front_card_Prop").toMap().value("Card_Fill"), "N"},
        {"an integer", design.value("Card_Shape"), "2"},
        {"a real", object.value("bounds").toMap().value("x"), "10.5"},
        {"a 32-bit float as written", object.value("linear_height_val"), "0.7"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(row.stored, row.expected) << row.what;
}

TEST_F(DesignFile, FilesWrittenBeforeStillOpen)
{
    // The typed forms earlier files hold: <true/>, <integer>, <real>, and a
    // text with its plain string only.
    const QString file = tmp.file("earlier.zelg");
    writeTestFile(file, R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><array><string>ZELTMACBDAYINVITECARD</string><dict>
<key>front_graphics</key><array><dict>
  <key>class</key><string>TVNText</string>
  <key>bounds</key><dict><key>x</key><real>12.5</real><key>y</key><integer>20</integer>
    <key>width</key><real>100</real><key>height</key><real>30</real></dict>
  <key>isDrawingFill</key><true/>
  <key>ctrl_is_visible</key><true/>
  <key>data_source_type</key><integer>1</integer>
  <key>excel_binding</key><false/>
  <key>linear_height_val</key><real>0.699999988079071</real>
  <key>textColor</key><dict><key>red</key><real>1</real><key>green</key><integer>0</integer>
    <key>blue</key><real>0</real><key>alpha</key><real>1</real></dict>
  <key>Text_contents</key><string>Hello</string>
</dict></array>
<key>Front_card_Prop</key><dict><key>Card_Size</key><dict><key>width</key><real>200</real>
  <key>height</key><real>100</real></dict><key>Card_Fill</key><true/></dict>
<key>Card_Size_Index</key><integer>2</integer>
<key>Card_Shape</key><integer>1</integer>
<key>CARD_SIDE_STR</key><string>2</string>
<key>IMG_hue_val</key><real>0.25</real>
<key>IMG_Sepia</key><string>Y</string>
<key>Excel_Binding_Use</key><string>N</string>
</dict></array></plist>
)");
    ASSERT_EQ(wnd->Read_and_load_design_Log(file, "L"), 1) << alerts.join("|").toStdString();
    ASSERT_EQ(wnd->Get_Front_Controls_Array().size(), 1u);
    const auto *text = dynamic_cast<const TVNText *>(wnd->Get_Front_Controls_Array()[0].get());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->contentsString(), "Hello");
    EXPECT_EQ(text->textColor(), QColor(Qt::red));
    EXPECT_EQ(text->bounds(), QRectF(12.5, 20, 100, 30));
    EXPECT_TRUE(text->isDrawingFill());
    EXPECT_EQ(text->data_source_type, 1);
    EXPECT_EQ(text->linear_height_val, 0.7f);
    EXPECT_EQ(wnd->design().Front_card_Prop.Card_Size, QSizeF(200, 100));
    EXPECT_TRUE(wnd->design().Front_card_Prop.Card_Fill);
    EXPECT_EQ(wnd->design().card_choice.sizeIndex, 2);
    EXPECT_EQ(Card_Shape, 1);
    EXPECT_EQ(CARD_SIDE_STR, "2");
    EXPECT_EQ(IMG_Adjustments.hue, 0.25f);
    EXPECT_TRUE(IMG_Adjustments.sepia);
    // What opened shows: the text in red on the canvas.
    wnd->currentCanvas()->deselectAll();
    EXPECT_GT(darkPixels(canvasPicture(), onCanvas(text->bounds())), 0);
}

TEST_F(DesignFile, TheMainPhotoObjectKeepsItsPictureWhenThePhotoFileMoved)
{
    const QString photo = makePng("photo.png", Qt::blue, QSize(40, 40));
    const GraphicPtr image = add(TVNWindowController::kImageTool);
    image->control_ID = "PARTY_IMAGE";
    image->setBounds(QRectF(20, 20, 60, 60));
    QLineEdit *path = outlet<ImagePanel>(*wnd, "imagePanel")->image_path;
    path->setText(photo);
    path->setModified(true);
    emit path->editingFinished();
    ASSERT_EQ(Invite_Answers.photo, photo);
    const QString file = tmp.file("party.zelg");
    ASSERT_TRUE(wnd->Save_project_file(file, false));
    ASSERT_TRUE(QFile::rename(photo, tmp.file("moved.png")));

    wnd->New_Project_Setting_Reset();
    ASSERT_EQ(wnd->Read_and_load_design_Log(file, "L"), 1);
    wnd->currentCanvas()->deselectAll();
    const QRect box = onCanvas(QRectF(30, 30, 40, 40));
    const QImage canvas = canvasPicture();
    const QImage output =
        TVNRenderingView::image_From_Card_Graphics(wnd->Get_Front_Controls_Array(), true).toBitmap(144);
    EXPECT_EQ(canvas.pixelColor(box.center()), QColor(Qt::blue));
    EXPECT_EQ(output.pixelColor(box.center()), QColor(Qt::blue));
}

TEST_F(DesignFile, ADesignNamedOnTheCommandLineOpens)
{
    addText("From the file manager", QRectF(10, 10, 120, 20));
    ASSERT_TRUE(wnd->Save_project_file(tmp.file("named.zelg"), false));
    wnd->New_Project_Setting_Reset();
    ASSERT_TRUE(wnd->Get_Front_Controls_Array().empty());

    EXPECT_FALSE(wnd->openDesignFromArguments({}));
    // A relative name is taken from the working folder.
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(tmp.path());
    const bool opened = wnd->openDesignFromArguments({QStringLiteral("named.zelg")});
    QDir::setCurrent(cwd);
    ASSERT_TRUE(opened) << alerts.join('|').toStdString();
    ASSERT_EQ(wnd->Get_Front_Controls_Array().size(), 1u);
    EXPECT_TRUE(wnd->windowTitle().startsWith("named.zelg"));

    alerts.clear();
    EXPECT_FALSE(wnd->openDesignFromArguments({tmp.file("missing.zelg")}));
    EXPECT_EQ(alerts, QStringList{"Please select valid file path."});
}

TEST_F(DesignFile, APathThatIsNoRegularFileOrTooLargeIsRefusedAtOnce)
{
    // Each would block the read, never end it, or cost gigabytes: none is
    // opened, the open design stays, and the message names file and reason.
    auto text = addText("kept", QRectF(10, 10, 120, 20));
    const QString fifo = tmp.file("fifo.zelg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = tmp.file("zero.zelg");
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    const QString folder = tmp.file("folder.zelg");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString huge = tmp.file("huge.zelg");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(design_window::kMostDesignFileBytes + 1)); // sparse: no disk used
    }
    const struct {
        QString path;
        QString reason;
    } rows[] = {
        {fifo, "It is not a regular file."},
        {zero, "It is not a regular file."},
        {folder, "It is not a regular file."},
        {huge, "It has 536,870,913 bytes, more than any design (536,870,912 bytes at most)."},
    };
    for (const auto &row : rows) {
        alerts.clear();
        EXPECT_EQ(wnd->Read_and_load_design_Log(row.path, "L"), 0) << row.path.toStdString();
        EXPECT_EQ(alerts, QStringList{"The selected file \"" + row.path + "\" cannot be opened as a design.\n"
                                      + row.reason});
        QString error;
        EXPECT_FALSE(design_window::loadDesignFile(row.path, &error));
        EXPECT_EQ(error, row.reason);
    }
    ASSERT_EQ(wnd->Get_Front_Controls_Array().size(), 1u);
    EXPECT_EQ(wnd->Get_Front_Controls_Array().front(), text);
}

TEST_F(DesignFile, ASmallDesignOpensWithoutTheMemoryOfTheLargestOne)
{
    // The bound on a design's size is read up to, not taken at once: a
    // small design opens within a few hundred megabytes of address space.
    addText("small", QRectF(10, 10, 120, 20));
    const QString file = tmp.file("small.zelg");
    ASSERT_TRUE(wnd->Save_project_file(file, false)) << alerts.join("|").toStdString();
    std::optional<Design> read;
    QString error;
    try {
        const quorvant::test::AddressSpaceLimit limit(384 * 1024);
        read = loadDesignFile(file, &error);
    } catch (const std::bad_alloc &) {
        error = "out of memory";
    }
    ASSERT_TRUE(read) << error.toStdString();
    ASSERT_EQ(read->front.size(), 1u);
}

TEST_F(DesignFile, ADamagedPictureCostsOnlyItsObject)
{
    // Three image objects without files: one whose stored picture will be
    // damaged, one that stays whole, one that never had a picture (the
    // placeholder the canvas shows for a missing picture).
    const QString logoFile = makePng("logo.png", QColor(200, 40, 40), QSize(30, 20));
    const QString photoFile = makePng("photo.png", QColor(40, 40, 200), QSize(20, 30));
    const QRectF logoBox(10, 10, 60, 40), emptyBox(80, 10, 60, 40);
    const auto place = [&](const char *id, QRectF box, const QString &picture) {
        auto image = std::static_pointer_cast<TVNImage>(add(TVNWindowController::kImageTool));
        image->control_ID = id;
        image->setBounds(box);
        if (!picture.isEmpty())
            image->setImage(platform::Image::fromFile(picture));
        return image;
    };
    place("Logo", logoBox, logoFile);
    const auto photo = place("Photo", QRectF(10, 60, 40, 60), photoFile);
    place("Empty", emptyBox, {});
    addText("Stays", QRectF(60, 70, 80, 20));
    const QString file = tmp.file("damaged.zelg");
    ASSERT_TRUE(wnd->Save_project_file(file, false));

    // The logo's PNG data damaged in the file (its header overwritten),
    // everything else left as it was.
    const QByteArray logoData = readTestFile(logoFile).toBase64();
    QByteArray bytes = readTestFile(file);
    const qsizetype at = bytes.indexOf(logoData);
    ASSERT_GE(at, 0);
    bytes.replace(at, 16, QByteArray(16, 'A'));
    writeTestFile(file, bytes);

    wnd->New_Project_Setting_Reset();
    alerts.clear();
    ASSERT_EQ(wnd->Read_and_load_design_Log(file, "L"), 1) << alerts.join('|').toStdString();
    ASSERT_EQ(alerts.size(), 1);
    // New objects go in front: the logo, placed first, is the fourth.
    EXPECT_TRUE(alerts.first().contains(R"(The image "Logo" (object 4 on the front))")) << alerts.first().toStdString();
    EXPECT_FALSE(alerts.first().contains("Photo"));

    const GraphicList &front = wnd->Get_Front_Controls_Array();
    ASSERT_EQ(front.size(), 4u);
    EXPECT_TRUE(static_cast<TVNImage &>(*front[3]).image().isNull());
    EXPECT_EQ(static_cast<TVNImage &>(*front[2]).image().toBitmap(72), photo->image().toBitmap(72));
    EXPECT_EQ(static_cast<TVNText &>(*front[0]).contentsString(), "Stays");
    // The canvas shows the damaged picture as it shows one that is missing.
    wnd->currentCanvas()->deselectAll();
    const QImage canvas = canvasPicture();
    EXPECT_EQ(canvas.copy(onCanvas(logoBox)), canvas.copy(onCanvas(emptyBox)));
}

TEST_F(DesignFile, APhotoIsStoredAsTheJpegItWasReadFrom)
{
    QImage pixels(120, 80, QImage::Format_RGB32);
    pixels.fill(QColor(90, 140, 60));
    const QString jpeg = tmp.file("photo.jpg");
    ASSERT_TRUE(pixels.save(jpeg, "JPG", 80));
    const QByteArray jpegBytes = readTestFile(jpeg);
    const GraphicPtr image = add(TVNWindowController::kImageTool);
    image->setBounds(QRectF(10, 10, 60, 40));
    static_cast<TVNImage &>(*image).setFilePath(jpeg, {});
    const QString first = tmp.file("first.zelg");
    ASSERT_TRUE(wnd->Save_project_file(first, false));
    const auto storedPicture = [](const QString &file) {
        const QVariantMap design = platform::readPropertyList(readTestFile(file))->toList().value(1).toMap();
        return design.value("front_graphics").toList().value(0).toMap().value("image").toMap();
    };
    EXPECT_EQ(storedPicture(first).value("data").toByteArray(), jpegBytes);
    EXPECT_EQ(storedPicture(first).value("format").toString(), "jpeg");

    // With the photo's file gone the stored JPEG is the picture, and a save
    // writes the same file again, byte for byte.
    const QImage shown = static_cast<TVNImage &>(*image).image().toBitmap(72);
    ASSERT_TRUE(QFile::remove(jpeg));
    wnd->New_Project_Setting_Reset();
    ASSERT_EQ(wnd->Read_and_load_design_Log(first, "L"), 1) << alerts.join('|').toStdString();
    ASSERT_EQ(wnd->Get_Front_Controls_Array().size(), 1u);
    EXPECT_EQ(static_cast<TVNImage &>(*wnd->Get_Front_Controls_Array()[0]).image().toBitmap(72), shown);
    const QString second = tmp.file("second.zelg");
    ASSERT_TRUE(wnd->Save_project_file(second, false));
    EXPECT_EQ(readTestFile(second), readTestFile(first));
}

// Deletes the window's front object at `index` as the user does.
void deleteObject(TVNWindowController &window, size_t index)
{
    window.currentCanvas()->selectGraphic(window.Get_Front_Controls_Array().at(index));
    outlet<QAction>(window, "act_delete")->trigger();
}

TEST_F(DesignFile, SavingOverAFileAnotherWindowSavedAsksFirst)
{
    enum Answer { Overwrite = 0, SaveAs = 1, Cancel = 2 }; // the question's buttons in order
    addText("Mine", QRectF(10, 10, 60, 20));
    addText("Theirs", QRectF(10, 40, 60, 20));
    const QString file = tmp.file("shared.zelg");
    ASSERT_TRUE(wnd->Save_project_file(file, false));
    const QByteArray original = readTestFile(file);

    for (const Answer answerGiven : {Cancel, SaveAs, Overwrite}) {
        const std::string row = "answer " + std::to_string(answerGiven);
        writeTestFile(file, original);
        ASSERT_EQ(wnd->Read_and_load_design_Log(file, "L"), 1) << row;
        // The same design opened in a second window, which deletes one
        // object and saves.
        auto other = std::make_unique<TVNWindowController>();
        ASSERT_EQ(other->Read_and_load_design_Log(file, "L"), 1) << row;
        deleteObject(*other, 0);
        ASSERT_TRUE(other->Save_Design()) << row;
        const QByteArray theirs = readTestFile(file);
        ASSERT_NE(theirs, original) << row;

        // This window deletes the other object and saves.
        deleteObject(*wnd, 1);
        const QString mine = tmp.file("mine.zelg");
        ASSERT_TRUE(wnd->Save_project_file(mine, false)) << row;
        const QString elsewhere = tmp.file("elsewhere.zelg");
        QFile::remove(elsewhere);
        alerts.clear();
        QStringList buttons;
        answer = [&](const platform::AlertRequest &r) {
            buttons = r.buttons;
            return int(answerGiven);
        };
        platform::ScopedModalResponder panel([&](QDialog &d) {
            static_cast<QFileDialog &>(d).selectFile(elsewhere);
            return 1;
        });
        const bool saved = wnd->Save_Design();
        ASSERT_EQ(alerts.size(), 1) << row;
        EXPECT_TRUE(alerts.first().contains("changed by another program")) << row;
        EXPECT_EQ(buttons, (QStringList{"Overwrite", "Save As...", "Cancel"})) << row;
        EXPECT_EQ(saved, answerGiven != Cancel) << row;
        EXPECT_EQ(readTestFile(file), answerGiven == Overwrite ? readTestFile(mine) : theirs) << row;
        EXPECT_EQ(wnd->designFilePath(), answerGiven == SaveAs ? elsewhere : file) << row;
        if (answerGiven == SaveAs) {
            EXPECT_EQ(readTestFile(elsewhere), readTestFile(mine)) << row;
        }
        EXPECT_EQ(wnd->isWindowModified(), answerGiven == Cancel) << row;

        // Once this window has written the file, saving again asks nothing.
        if (saved) {
            alerts.clear();
            wnd->markDesignChanged();
            EXPECT_TRUE(wnd->Save_Design()) << row;
            EXPECT_TRUE(alerts.isEmpty()) << row;
        }
        other.reset();
        answer = [](const platform::AlertRequest &r) { return r.buttons.size() == 3 ? 1 : 0; };
    }
}

TEST_F(DesignFile, AFailedSaveSaysWhyAndKeepsTheDesignUnsaved)
{
    const QString folder = tmp.file("gone");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = QDir(folder).filePath("design.zelg");
    addText("Kept", QRectF(10, 10, 60, 20));
    ASSERT_TRUE(wnd->Save_project_file(file, false));
    ASSERT_EQ(wnd->Read_and_load_design_Log(file, "L"), 1);
    addText("Unsaved", QRectF(10, 40, 60, 20));
    ASSERT_TRUE(QDir(folder).removeRecursively());
    alerts.clear();
    EXPECT_FALSE(wnd->Save_Design());
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts.first(), "The design \"" + file + "\" could not be saved: No such file or directory.");
    EXPECT_TRUE(wnd->isWindowModified());
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(DesignFile, ADesignTooLargeToOpenAgainIsNotSavedOverTheLastOne)
{
    // A kept worksheet whose 520 rows share one cell of a million
    // characters: little memory here, but more file than a design may have.
    const QString file = tmp.file("design.zelg");
    addText("Kept", QRectF(10, 10, 60, 20));
    ASSERT_TRUE(wnd->Save_project_file(file, false));
    const QByteArray kept = readTestFile(file);
    const QString cell(1 << 20, QLatin1Char('n'));
    SpreadsheetTable table{{"Notes"}, {}};
    for (int row = 1; row <= 520; ++row)
        table.rows.append({{"Extension", row}, {"Column1", cell}});
    restoreSpreadsheetTable(table);
    const quorvant::test::OnScopeExit noTable([] { restoreSpreadsheetTable({}); });
    alerts.clear();
    EXPECT_FALSE(wnd->Save_project_file(file, true));
    ASSERT_EQ(alerts.size(), 1);
    const QString prefix = "The design \"" + file + "\" could not be saved: It would have ";
    EXPECT_TRUE(alerts.first().startsWith(prefix)) << alerts.first().toStdString();
    EXPECT_TRUE(alerts.first().endsWith(" bytes, more than any design (536,870,912 bytes at most), and could not be "
                                        "opened again."))
        << alerts.first().toStdString();
    const qint64 size = QLocale().toLongLong(alerts.first().mid(prefix.size()).section(' ', 0, 0));
    EXPECT_GT(size, kMostDesignFileBytes);
    EXPECT_EQ(readTestFile(file), kept);
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"design.zelg"});
    EXPECT_TRUE(wnd->isWindowModified());
}

TEST_F(DesignFile, ASaveThroughALinkedFolderLandsWhereTheLinkPoints)
{
    // a/dirlink is b/real, so its design.zelg, a link to "../kept.zelg",
    // is b/kept.zelg; read from the path as given it would be a/kept.zelg,
    // another file.
    ASSERT_TRUE(QDir().mkpath(tmp.file("a")));
    ASSERT_TRUE(QDir().mkpath(tmp.file("b/real")));
    ASSERT_EQ(::symlink("../b/real", QFile::encodeName(tmp.file("a/dirlink")).constData()), 0);
    ASSERT_EQ(::symlink("../kept.zelg", QFile::encodeName(tmp.file("b/real/design.zelg")).constData()), 0);
    writeTestFile(tmp.file("a/kept.zelg"), "unrelated");
    addText("Old", QRectF(10, 10, 60, 20));
    ASSERT_TRUE(wnd->Save_project_file(tmp.file("b/kept.zelg"), false));

    const QString linked = tmp.file("a/dirlink/design.zelg");
    ASSERT_EQ(wnd->Read_and_load_design_Log(linked, "L"), 1) << alerts.join('|').toStdString();
    addText("New", QRectF(10, 40, 60, 20));
    alerts.clear();
    EXPECT_TRUE(wnd->Save_Design());
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();

    EXPECT_EQ(readTestFile(tmp.file("a/kept.zelg")), QByteArray("unrelated"));
    EXPECT_TRUE(QFileInfo(tmp.file("b/real/design.zelg")).isSymLink());
    const std::optional<Design> saved = loadDesignFile(tmp.file("b/kept.zelg"));
    ASSERT_TRUE(saved);
    QStringList texts;
    for (const GraphicPtr &g : saved->front)
        texts << static_cast<const TVNText &>(*g).contentsString();
    texts.sort();
    EXPECT_EQ(texts, (QStringList{"New", "Old"}));
    EXPECT_EQ(QDir(tmp.file("a")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"dirlink", "kept.zelg"}));
    EXPECT_EQ(QDir(tmp.file("b")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"kept.zelg", "real"}));
}
