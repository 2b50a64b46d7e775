// Records filled into a design and rendered, checked on the pixels: text in
// its box, pictures, and barcodes read back by a real reader.
#include "barcodes/designer/BarcodeEngine.h"
#include "design_window/Globals.h"
#include "design_window/RecordFill.h"
#include "design_window/ResourceFolder.h"
#include "design_window/TVNWindowController.h"
#include "drawing/TVNDocument.h"
#include "platform/Alerts.h"
#include "platform/MainThread.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QPainter>
#include <atomic>
#include <gtest/gtest.h>

using batch_data::ListData;
using batch_data::SourcesInUse;
using design_window::RecordFill;
using quorvant::test::decodeBarcode;
using quorvant::test::TempFolder;
using quorvant::test::writeTestFile;

namespace {

constexpr double kDpi = 300;
const QSizeF kCard(300, 200);

// A barcode object that counts how often it is drawn (it is never bound).
struct CountingBox : TVNBarcode {
    mutable int draws = 0;
    void drawContents(QPainter &painter, bool) const override
    {
        ++draws;
        painter.fillRect(bounds(), Qt::darkGreen);
    }
};

class RecordFillTest : public ::testing::Test {
protected:
    // The document's lists; the front is white, the back light grey, both
    // rectangles of kCard; the series of the test's folder.
    RecordFill::Design design()
    {
        return {[this](int side) -> GraphicList & { return side ? doc.graphics_back : doc.graphics; },
                [this](int side) {
                    return drawing::CardFace{kCard, side, drawing::kShapeRectangle,
                                             [this](QPainter &p, const QRectF &card, int s) {
                                                 ++backgroundsDrawn;
                                                 p.fillRect(card, s ? QColor(230, 230, 230) : Qt::white);
                                             }};
                },
                [this](const QString &path) { mainPhotos.append(path); },
                [this] { return batch_data::SeriesStore(tmp.file("DataSet")); }, [this] { return sheet; },
                [this] { return twoSided; }};
    }

    GraphicPtr add(int side, GraphicClass cls, QRectF bounds, int source = 0, const QString &series = {},
                   int column = 0)
    {
        GraphicPtr g = newGraphicOfClass(cls);
        g->setBounds(bounds);
        g->Set_Data_source_type(source);
        g->Set_Batch_List_Name(series);
        g->Set_Excel_binding_Index(column);
        (side ? doc.graphics_back : doc.graphics).push_back(g);
        return g;
    }
    GraphicPtr addText(int side, QRectF bounds, int source, const QString &series = {}, int column = 0)
    {
        GraphicPtr g = add(side, GraphicClass::Text, bounds, source, series, column);
        auto &text = static_cast<TVNText &>(*g);
        text.setTextFont(QFont(QStringLiteral("Liberation Sans"), 20));
        text.setContentsString(QStringLiteral("typed"));
        return g;
    }
    GraphicPtr addBarcode(int side, QRectF bounds, const QString &symbology, const QString &series)
    {
        GraphicPtr g = add(side, GraphicClass::Barcode, bounds, batch_data::kSeriesValue, series);
        g->barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf(symbology));
        g->linear_or_2d = symbology == QLatin1String("Code 128") ? 0 : 1;
        return g;
    }
    void writeSeries(const QString &name, const QStringList &values)
    {
        writeTestFile(tmp.file("DataSet/" + name + ".txt"), (values.join('\n') + '\n').toUtf8());
    }
    batch_data::RecordCounts check(const ListData &table = {}, bool sides = false)
    {
        sheet = table;
        twoSided = sides;
        return fill.check();
    }
    QImage card(int n, const char *side, SourcesInUse use)
    {
        const platform::Image image = fill.Set_data_table_value_to_card(n, side, use);
        return image.isVector() ? image.toBitmap(kDpi) : image.bitmap();
    }

    TempFolder tmp;
    TVNDocument doc;
    ListData sheet;
    bool twoSided = false;
    QStringList mainPhotos;
    int backgroundsDrawn = 0;
    RecordFill fill{design()};
};

QRect pixels(const QRectF &points)
{
    return QRectF(points.topLeft() * kDpi / 72, points.size() * kDpi / 72).toAlignedRect();
}

// Pixels of `rect` (points) close to `colour`.
int pixelsLike(const QImage &image, const QRectF &rect, QColor colour)
{
    int count = 0;
    const QRect r = pixels(rect) & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += std::abs(c.red() - colour.red()) < 60 && std::abs(c.green() - colour.green()) < 60
                && std::abs(c.blue() - colour.blue()) < 60 && c.alpha() > 200;
        }
    return count;
}

quorvant::test::Decoded decodeIn(const QImage &card, const QRectF &rect, ZXing::BarcodeFormat format)
{
    return decodeBarcode(card.copy(pixels(rect)), format);
}

} // namespace

TEST_F(RecordFillTest, ShorterSeriesLeaveTheirTextEmptyWhileItKeepsItsLook)
{
    writeSeries("Names", {"Ann", "Bob", "Cid"});
    writeSeries("Codes", {"11", "22", "33", "44", "55"});
    const QRectF nameBox(10, 10, 200, 30), codeBox(10, 100, 200, 30);
    auto &name = static_cast<TVNText &>(*addText(0, nameBox, batch_data::kSeriesValue, "Names"));
    auto &code = static_cast<TVNText &>(*addText(0, codeBox, batch_data::kSeriesValue, "Codes"));
    name.setTextColor(Qt::red);
    const QFont look = name.textFont();

    const auto counts = check();
    ASSERT_EQ(counts.total, 5);
    for (int n = 0; n < 5; ++n) {
        const QImage image = card(n, "F", counts.use);
        EXPECT_EQ(name.contentsString(), n < 3 ? QStringList({"Ann", "Bob", "Cid"})[n] : QString()) << n;
        EXPECT_EQ(code.contentsString(), QString::number(11 * (n + 1))) << n;
        EXPECT_EQ(pixelsLike(image, nameBox, Qt::red) > 50, n < 3) << "red name text shown at record " << n;
        EXPECT_GT(pixelsLike(image, codeBox, Qt::black), 50) << n;
    }
    // Back to the first record after empty ones: the same font and colour.
    fill.endRun(counts.use);
    EXPECT_EQ(name.contentsString(), "Ann");
    EXPECT_EQ(name.textFont(), look);
    EXPECT_GT(pixelsLike(card(0, "F", counts.use), nameBox, Qt::red), 50);
}

TEST_F(RecordFillTest, SpreadsheetRowsOutnumberingTheSeriesSetTheRecordCount)
{
    writeSeries("Four", {"a", "b", "c", "d"});
    const QRectF seriesBox(10, 10, 200, 30), sheetBox(10, 100, 200, 30);
    auto &fromSeries = static_cast<TVNText &>(*addText(0, seriesBox, batch_data::kSeriesValue, "Four"));
    auto &fromSheet = static_cast<TVNText &>(*addText(0, sheetBox, batch_data::kSpreadsheetValue, {}, 1));
    ListData sheet;
    for (int r = 1; r <= 10; ++r)
        sheet.Create_List_By_Array({QStringLiteral("Row %1").arg(r)}, 1);

    const auto counts = check(sheet);
    ASSERT_EQ(counts.total, 10);
    const QImage image = card(7, "F", counts.use);
    EXPECT_EQ(fromSeries.contentsString(), "");
    EXPECT_EQ(fromSheet.contentsString(), "Row 8");
    EXPECT_EQ(pixelsLike(image, seriesBox, Qt::black), 0);
    EXPECT_GT(pixelsLike(image, sheetBox, Qt::black), 50);

    // An output that leaves the series out: its text keeps what it shows.
    card(2, "F", {false, true});
    EXPECT_EQ(fromSeries.contentsString(), "");
    EXPECT_EQ(fromSheet.contentsString(), "Row 3");
}

TEST_F(RecordFillTest, SeriesFollowTheirNamesWhenTheListOfSeriesChanges)
{
    writeSeries("Cities", {"Oslo"});
    writeSeries("Zips", {"0150"});
    auto &city = static_cast<TVNText &>(*addText(0, {10, 10, 200, 30}, batch_data::kSeriesValue, "Cities"));
    auto &zip = static_cast<TVNText &>(*addText(0, {10, 50, 200, 30}, batch_data::kSeriesValue, "Zips"));
    city.Set_Batch_List_Index(0);
    zip.Set_Batch_List_Index(1);
    // A series added afterwards that sorts first: the stored positions now
    // name "Aaa" and "Cities".
    writeSeries("Aaa", {"wrong"});
    fill.Set_data_table_value_to_card(0, "F", check().use);
    EXPECT_EQ(city.contentsString(), "Oslo");
    EXPECT_EQ(zip.contentsString(), "0150");
}

TEST_F(RecordFillTest, EveryRecordOfATwoSidedRunReadsBackFromItsBarcodes)
{
    QStringList codes, texts;
    for (int n = 0; n < 50; ++n) {
        codes.append(QStringLiteral("QV-%1").arg(n, 4, 10, QLatin1Char('0')));
        texts.append(QStringLiteral("Badge %1 of 50, issued to visitor number %2").arg(n + 1).arg(1000 + n));
    }
    writeSeries("Codes", codes);
    writeSeries("Texts", texts);
    const QRectF code128(10, 10, 200, 60), qr(220, 10, 70, 70), pdf417(10, 10, 280, 120);
    addBarcode(0, code128, "Code 128", "Codes");
    addBarcode(0, qr, "QR Code", "Texts");
    addBarcode(1, pdf417, "PDF417", "Texts");
    const auto counts = check({}, true);
    ASSERT_EQ(counts.total, 50);

    for (double dpi : {0.0, kDpi}) {
        fill.setResolution(dpi);
        for (int n = 0; n < 50; ++n) {
            // Back first, then front, as the outputs fill a two-sided record.
            const QImage back = card(n, "B", counts.use), front = card(n, "F", counts.use);
            EXPECT_EQ(decodeIn(front, code128, ZXing::BarcodeFormat::Code128).text, codes[n].toStdString()) << n;
            EXPECT_EQ(decodeIn(front, qr, ZXing::BarcodeFormat::QRCode).text, texts[n].toStdString()) << n;
            EXPECT_EQ(decodeIn(back, pdf417, ZXing::BarcodeFormat::PDF417).text, texts[n].toStdString()) << n;
        }
    }
    // A record past the series: no value, no symbol.
    const QImage past = card(50, "F", counts.use);
    EXPECT_EQ(pixelsLike(past, code128, Qt::black) + pixelsLike(past, qr, Qt::black), 0);
    EXPECT_EQ(fill.failedBarcodes(), 0);
}

TEST_F(RecordFillTest, BitmapRunsMatchTheRendererAndDrawWhatDoesNotChangeOnce)
{
    writeSeries("Names", {"Ann", "Bob", "Cid"});
    writeSeries("Photos", {tmp.file("red.png"), "", tmp.file("blue.png")});
    for (auto [name, colour] : {std::pair{"red.png", Qt::red}, std::pair{"blue.png", Qt::blue}}) {
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(colour);
        ASSERT_TRUE(picture.save(tmp.file(name)));
    }
    const QRectF photoBox(150, 60, 80, 60);
    // Unbound objects above, between and under the bound ones.
    auto top = std::make_shared<CountingBox>();
    top->setBounds({5, 5, 20, 20});
    doc.graphics.push_back(top);
    addText(0, {10, 30, 200, 30}, batch_data::kSeriesValue, "Names");
    auto middle = std::make_shared<CountingBox>();
    middle->setBounds({100, 40, 60, 40});
    doc.graphics.push_back(middle);
    add(0, GraphicClass::Image, photoBox, batch_data::kSeriesValue, "Photos");
    addText(0, {10, 150, 200, 30}, batch_data::kTypedValue);

    const auto counts = check();
    fill.setResolution(kDpi);
    std::vector<QImage> layered;
    for (int n = 0; n < 3; ++n)
        layered.push_back(card(n, "F", counts.use));
    EXPECT_EQ(backgroundsDrawn, 1);
    EXPECT_EQ(top->draws, 1);
    EXPECT_EQ(middle->draws, 1);

    fill.setResolution(0);
    const QColor photo[] = {Qt::red, Qt::white, Qt::blue};
    for (int n = 0; n < 3; ++n) {
        const QImage vector = card(n, "F", counts.use);
        // Glyph edges are smoothed a little differently when replayed from a
        // recording; nothing else may differ.
        EXPECT_LT(quorvant::test::differingPixelShare(vector, layered[size_t(n)], 40), 0.002) << n;
        EXPECT_LT(quorvant::test::differingPixelShare(vector, layered[size_t(n)], 128), 0.0001) << n;
        // The photo's box right of the middle box: the picture, or with no
        // value the card itself.
        EXPECT_GT(pixelsLike(layered[size_t(n)], photoBox.adjusted(20, 5, -5, -5), photo[n]), 1000) << n;
    }
}

TEST_F(RecordFillTest, OnlyAPhotoFrameBoundToASeriesShowsItsRecordsAsTheMainPhoto)
{
    writeSeries("Photos", {"/photos/a.png", "/photos/b.png"});
    ListData sheet;
    sheet.Create_List_By_Array({"/photos/x.png"}, 1);
    add(0, GraphicClass::Image, {0, 0, 50, 50}, batch_data::kSeriesValue, "Photos")->control_ID = "PARTY_IMAGE";
    add(0, GraphicClass::Image, {60, 0, 50, 50}, batch_data::kSeriesValue, "Photos");
    add(1, GraphicClass::Image, {0, 0, 50, 50}, batch_data::kSpreadsheetValue, {}, 1)->control_ID = "PARTY_IMAGE";
    const auto counts = check(sheet, true);
    for (int n = 0; n < 2; ++n) {
        fill.Set_data_table_value_to_card(n, "B", counts.use);
        fill.Set_data_table_value_to_card(n, "F", counts.use);
    }
    EXPECT_EQ(mainPhotos, (QStringList{"/photos/a.png", "/photos/b.png"}));
}

TEST_F(RecordFillTest, AWorkerHandsTheFillToTheMainThreadAndTheRunEndsOnRecordZero)
{
    writeSeries("Names", {"Ann", "Bob"});
    auto &front = static_cast<TVNText &>(*addText(0, {10, 10, 200, 30}, batch_data::kSeriesValue, "Names"));
    auto &back = static_cast<TVNText &>(*addText(1, {10, 10, 200, 30}, batch_data::kSeriesValue, "Names"));
    std::atomic<int> offMain = 0;
    RecordFill::Design watching = design();
    watching.graphics = [&](int side) -> GraphicList & {
        offMain += !platform::isMainThread();
        return side ? doc.graphics_back : doc.graphics;
    };
    RecordFill watched(watching);
    twoSided = true;
    platform::Image last;
    quorvant::test::runOnWorker([&] {
        const auto counts = watched.check();
        for (int n = 0; n < counts.total; ++n) {
            watched.Set_data_table_value_to_card(n, "B", counts.use);
            last = watched.Set_data_table_value_to_card(n, "F", counts.use);
        }
        watched.endRun(counts.use);
    });
    EXPECT_EQ(offMain, 0);
    EXPECT_FALSE(last.isNull());
    EXPECT_EQ(front.contentsString(), "Ann");
    EXPECT_EQ(back.contentsString(), "Ann") << "the back shows the first record too";
}

TEST(RecordFillInTheWindow, OutputsFillAndRenderThroughTheHubWhileTheFrontStaysBeingEdited)
{
    using namespace design_window;
    TempFolder tmp;
    const platform::ScopedAlertResponder alerts([](const platform::AlertRequest &) { return 0; });
    setResourceFolder(tmp.file("res"));
    TVNWindowController wnd;
    CARD_SIDE_STR = "2";
    writeTestFile(QDir(Data_Folder_Path).filePath("Names.txt"), "Ann\nBob\n");
    wnd.Back_card_Prop.Card_Fill = true;
    wnd.Back_card_Prop.Card_Fill_Color = Qt::yellow;
    const QRectF box(10, 10, 200, 40);
    for (GraphicList *side : {&wnd.document->graphics, &wnd.document->graphics_back}) {
        auto text = std::make_shared<TVNText>();
        text->setBounds(box);
        text->setTextFont(QFont(QStringLiteral("Liberation Sans"), 20));
        text->Set_Data_source_type(batch_data::kSeriesValue);
        text->Set_Batch_List_Name("Names");
        side->push_back(text);
    }
    auto &back = static_cast<TVNText &>(*wnd.document->graphics_back.front());

    wnd.Check_Series_Or_Excel_Use_or_not();
    EXPECT_TRUE(Use_Data_Sheet_Values);
    EXPECT_EQ(Total_Batch_Excel_Card, 2);
    QImage image;
    quorvant::test::runOnWorker([&] { image = wnd.Set_data_table_value_to_card(1, "B", true).bitmap(); });
    EXPECT_EQ(back.contentsString(), "Bob");
    EXPECT_EQ(Card_Front_Or_Back, 0) << "the front is still the side being edited";
    EXPECT_GT(pixelsLike(image, box, Qt::black), 50);
    EXPECT_EQ(image.pixelColor(pixels(box).bottomRight() + QPoint(20, 20)), QColor(Qt::yellow)) << "the back's own fill";

    // An output without series: nothing to run over.
    Use_Data_Sheet_Values = false;
    wnd.Get_total_Card_count();
    EXPECT_EQ(Total_Batch_Excel_Card, 0);
    CARD_SIDE_STR = "1";
}
