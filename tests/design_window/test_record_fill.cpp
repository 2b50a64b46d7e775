// Records filled into a design and rendered, checked on the pixels: text in
// its box, pictures, and barcodes read back by a real reader.
#include "barcodes/designer/BarcodeEngine.h"
#include "design_window/Globals.h"
#include "design_window/RecordFill.h"
#include "design_window/ResourceFolder.h"
#include "design_window/TVNWindowController.h"
#include "drawing/CardLayers.h"
#include "drawing/TVNDocument.h"
#include "platform/Alerts.h"
#include "platform/MainThread.h"
#include "tests/drawing/TestHost.h"
#include "tests/support/ScopedValue.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QPainter>
#include <atomic>
#include <gtest/gtest.h>

using batch_data::kSeriesValue;
using batch_data::kSpreadsheetValue;
using batch_data::ListData;
using design_window::RecordFill;
using quorvant::test::ScopedValue;
using quorvant::test::TempFolder;
using quorvant::test::writeTestFile;

namespace {

constexpr double kDpi = 300;

// A box that counts its drawings and those made off the main thread.
struct ProbeBox : TVNBarcode {
    mutable std::atomic<int> draws = 0, offMain = 0;
    // The most pixels of the device one drawing could reach.
    mutable std::atomic<qint64> largestDevice = 0;
    void drawContents(QPainter &painter, const drawing::DrawStyle &) const override
    {
        ++draws;
        offMain += !platform::isMainThread();
        largestDevice = std::max<qint64>(largestDevice, qint64(painter.device()->width()) * painter.device()->height());
        painter.fillRect(bounds(), Qt::darkGreen);
    }
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

std::shared_ptr<TVNText> boundText(QRectF bounds, int source, const QString &series, int column = 0)
{
    auto text = std::make_shared<TVNText>();
    text->setBounds(bounds);
    text->setTextFont(QFont(QStringLiteral("Liberation Sans"), 20));
    text->setContentsString(QStringLiteral("typed"));
    text->Set_Data_source_type(source);
    text->Set_Batch_List_Name(series);
    text->Set_Excel_binding_Index(column);
    return text;
}

class RecordFillTest : public ::testing::Test {
protected:
    // Cards of 300 x 200 pt, the front white and the back grey.
    RecordFill fill{{[this](int side) -> GraphicList & { return side ? doc.graphics_back : doc.graphics; },
                     [this](int side) {
                         return drawing::CardFace{QSizeF(300, 200), side, drawing::kShapeRectangle,
                                                  [this](QPainter &p, const QRectF &card, int s) {
                                                      ++backgroundsDrawn;
                                                      p.fillRect(card, s ? Qt::lightGray : Qt::white);
                                                  }};
                     },
                     [this](const QString &path) { mainPhotos.append(path); },
                     [this] { return batch_data::SeriesStore(tmp.file("DataSet")); }, [this] { return sheet; },
                     [this] { return twoSided; }, [this](int side) { return backgrounds[side]; }}};

    template <class G>
    G &add(int side, std::shared_ptr<G> g)
    {
        (side ? doc.graphics_back : doc.graphics).push_back(g);
        return *g;
    }
    GraphicPtr add(int side, GraphicClass cls, QRectF bounds, int source, const QString &series, int column = 0)
    {
        GraphicPtr g = newGraphicOfClass(cls);
        g->setBounds(bounds);
        g->Set_Data_source_type(source);
        g->Set_Batch_List_Name(series);
        g->Set_Excel_binding_Index(column);
        return add(side, g), g;
    }
    void writeSeries(const QString &name, const QStringList &values)
    {
        writeTestFile(tmp.file("DataSet/" + name + ".txt"), (values.join('\n') + '\n').toUtf8());
    }
    QImage card(int n, const char *side)
    {
        const platform::Image image = fill.Set_data_table_value_to_card(n, side, counts.use);
        return image.isVector() ? image.toBitmap(kDpi) : image.bitmap();
    }

    TempFolder tmp;
    TVNDocument doc;
    ListData sheet;
    bool twoSided = false;
    // The background pictures the cards of each side draw.
    platform::Image backgrounds[2];
    batch_data::RecordCounts counts;
    QStringList mainPhotos;
    int backgroundsDrawn = 0;
};

} // namespace

TEST_F(RecordFillTest, ShorterSeriesLeaveTheirTextEmptyWhileItKeepsItsLook)
{
    writeSeries("Names", {"Ann", "Bob", "Cid"});
    writeSeries("Codes", {"11", "22", "33", "44", "55"});
    const QRectF nameBox(10, 10, 200, 30), codeBox(10, 100, 200, 30);
    TVNText &name = add(0, boundText(nameBox, kSeriesValue, "Names"));
    TVNText &code = add(0, boundText(codeBox, kSeriesValue, "Codes"));
    name.setTextColor(Qt::red);
    const QFont look = name.textFont();

    counts = fill.check();
    ASSERT_EQ(counts.total, 5);
    for (int n = 0; n < 5; ++n) {
        const QImage image = card(n, "F");
        EXPECT_EQ(name.contentsString(), QStringList({"Ann", "Bob", "Cid", "", ""})[n]);
        EXPECT_EQ(code.contentsString(), QString::number(11 * (n + 1)));
        EXPECT_EQ(pixelsLike(image, nameBox, Qt::red) > 50, n < 3) << "red name text shown at record " << n;
        EXPECT_GT(pixelsLike(image, codeBox, Qt::black), 50) << n;
    }
    // Back to the first record after empty ones: the same font and colour.
    fill.endRun(counts.use);
    EXPECT_EQ(name.textFont(), look);
    EXPECT_GT(pixelsLike(card(0, "F"), nameBox, Qt::red), 50);
}

TEST_F(RecordFillTest, SpreadsheetRowsOutnumberASeriesFoundByItsName)
{
    writeSeries("Cities", {"Oslo", "Rome", "Pisa", "Bonn"});
    writeSeries("Zips", {"0150"});
    const QRectF cityBox(10, 10, 200, 30), rowBox(10, 100, 200, 30);
    TVNText &city = add(0, boundText(cityBox, kSeriesValue, "Cities"));
    TVNText &row = add(0, boundText(rowBox, kSpreadsheetValue, {}, 1));
    city.Set_Batch_List_Index(0);
    // A series added after the binding sorts first: position 0 names it now.
    writeSeries("Aaa", {"wrong"});
    for (int r = 1; r <= 10; ++r)
        sheet.Create_List_By_Array({QStringLiteral("Row %1").arg(r)}, 1);

    counts = fill.check();
    ASSERT_EQ(counts.total, 10);
    card(0, "F");
    EXPECT_EQ(city.contentsString(), "Oslo");
    const QImage image = card(7, "F");
    EXPECT_EQ(row.contentsString(), "Row 8");
    EXPECT_EQ(pixelsLike(image, cityBox, Qt::black), 0) << "the series has 4 records";
    EXPECT_GT(pixelsLike(image, rowBox, Qt::black), 50);
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
    const struct {
        int side;
        QRectF box;
        const char *symbology, *series;
        ZXing::BarcodeFormat format;
        const QStringList &values;
    } symbols[] = {{0, {10, 10, 200, 60}, "Code 128", "Codes", ZXing::BarcodeFormat::Code128, codes},
                   {0, {220, 10, 70, 70}, "QR Code", "Texts", ZXing::BarcodeFormat::QRCode, texts},
                   {1, {10, 10, 280, 120}, "PDF417", "Texts", ZXing::BarcodeFormat::PDF417, texts}};
    for (const auto &s : symbols) {
        GraphicPtr g = add(s.side, GraphicClass::Barcode, s.box, kSeriesValue, s.series);
        g->barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf(s.symbology));
        g->linear_or_2d = barcodes::isTwoDimensionalTitle(s.symbology);
    }
    twoSided = true;
    counts = fill.check();
    ASSERT_EQ(counts.total, 50);

    for (double dpi : {0.0, kDpi}) {
        fill.setResolution(dpi);
        for (int n = 0; n < 50; ++n) {
            // Back first, then front, as the outputs fill a two-sided record.
            const QImage back = card(n, "B");
            const QImage sides[] = {card(n, "F"), back};
            for (const auto &s : symbols) {
                const QImage symbol = sides[s.side].copy(pixels(s.box));
                EXPECT_EQ(quorvant::test::decodeBarcode(symbol, s.format).text, s.values[n].toStdString())
                    << s.symbology << " at " << dpi << " dpi";
            }
        }
    }
    // A record past the series: no value, no symbol.
    EXPECT_EQ(pixelsLike(card(50, "F"), symbols[0].box.united(symbols[1].box), Qt::black), 0);
    EXPECT_EQ(fill.failedBarcodes(), 0);
}

TEST_F(RecordFillTest, QRCodesFillTheirSetSideOnEveryRecordOfATwoSidedRun)
{
    // Addresses of 25 to 121 characters take different QR versions; every record's
    // symbol is as large as the 80-point side the object was set to.
    QStringList urls;
    for (int n = 0; n < 9; ++n)
        urls.append(QStringLiteral("https://quorvant.example/") + QString(n * 12, QLatin1Char('a' + n)));
    writeSeries("Urls", urls);
    constexpr int kSide = 80;
    for (int side : {0, 1}) {
        GraphicPtr g = add(side, GraphicClass::Barcode, {}, kSeriesValue, "Urls");
        g->barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf("QR Code"));
        g->linear_or_2d = 1;
        g->qr_size_val = kSide;
        g->show_hide_hdr = g->show_hide_ftr = 1;
        g->two_d_font_val = urls.first();
        auto *barcode = static_cast<TVNBarcode *>(g.get());
        ASSERT_TRUE(barcode->makeBarcodeImage());
        g->setBounds(QRectF(QPointF(20 + 60 * side, 20), barcode->_barcode_image.size()));
    }
    twoSided = true;
    counts = fill.check();
    ASSERT_EQ(counts.total, 9);
    fill.setResolution(kDpi);
    const double set = kSide * kDpi / 72;
    for (int n = 0; n < 9; ++n) {
        const QImage back = card(n, "B");
        const QImage sides[] = {card(n, "F"), back};
        for (int side : {0, 1}) {
            const GraphicList &graphics = side ? doc.graphics_back : doc.graphics;
            const QImage shown = sides[side].copy(pixels(graphics.front()->bounds()));
            QRect dark;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x)
                    if (qGray(shown.pixel(x, y)) < 128)
                        dark |= QRect(x, y, 1, 1);
            EXPECT_EQ(dark.width(), dark.height()) << "record " << n << " side " << side;
            EXPECT_GE(dark.width(), 0.9 * set) << "record " << n << " side " << side;
            EXPECT_LE(dark.width(), set + 1) << "record " << n << " side " << side;
            EXPECT_EQ(quorvant::test::decodeBarcode(shown, ZXing::BarcodeFormat::QRCode).text,
                      urls[n].toStdString())
                << "record " << n << " side " << side;
        }
    }
}

TEST_F(RecordFillTest, EachCardListsWhatItLacksAndTheRunEndsOnRecordZeroOnBothSides)
{
    // Front: an EAN-13 symbol and a picture; back: a text. Record 2 has a
    // value EAN-13 refuses, record 3 a picture whose file is gone.
    const QString picture = tmp.file("face.png");
    QImage face(8, 8, QImage::Format_RGB32);
    face.fill(Qt::red);
    ASSERT_TRUE(face.save(picture));
    writeSeries("Eans", {"4012345000009", "4012345000016", "40123X", "4012345000030"});
    writeSeries("Faces", {picture, picture, picture, tmp.file("gone.png")});
    writeSeries("Names", {"Ann", "Bob", "Cid", "Dan"});
    GraphicPtr ean = add(0, GraphicClass::Barcode, {10, 10, 150, 60}, kSeriesValue, "Eans");
    ean->barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf("EAN-13"));
    add(0, GraphicClass::Image, {200, 10, 60, 60}, kSeriesValue, "Faces");
    auto &name = add(1, boundText({10, 10, 200, 40}, kSeriesValue, "Names"));
    twoSided = true;
    counts = fill.check();
    ASSERT_EQ(counts.total, 4);
    using Kind = output::CardProblem::Kind;
    const struct {
        int record;
        std::vector<output::CardProblem> problems;
    } rows[] = {
        {0, {}},
        {2, {{Kind::Barcode, "\"40123X\": The value cannot be written as EAN-13."}}},
        {3, {{Kind::Picture, "no file \"" + tmp.file("gone.png") + "\""}}},
    };
    for (const auto &row : rows) {
        card(row.record, "B");
        card(row.record, "F");
        EXPECT_EQ(fill.takeProblems(), row.problems) << row.record;
    }
    // Only the front was filled last; the end puts record 0 on both sides.
    name.setContentsString("stale");
    fill.endRun();
    EXPECT_EQ(name.contentsString(), "Ann");
    EXPECT_EQ(ean->linear_font_val, "4012345000009");
    EXPECT_TRUE(fill.takeProblems().empty());
}

TEST_F(RecordFillTest, DamagedPicturesOnTheCardsAreNamedOncePerRun)
{
    const platform::Image damaged = platform::Image::damaged("\x89PNG\r\n\x1a\n", "png", QSizeF(40, 30));
    const auto image = [&](int side, const char *id, QRectF box) {
        auto g = std::static_pointer_cast<TVNImage>(newGraphicOfClass(GraphicClass::Image));
        g->control_ID = id;
        g->setBounds(box);
        g->setImage(damaged);
        return add(side, g), g;
    };
    QImage face(8, 8, QImage::Format_RGB32);
    face.fill(Qt::red);
    ASSERT_TRUE(face.save(tmp.file("face.png")));
    writeSeries("Faces", {tmp.file("face.png"), tmp.file("face.png")});
    image(0, "Shown", {10, 10, 40, 30});
    image(0, "Not printed", {60, 10, 40, 30})->ctrl_is_printable = false;
    image(0, "Hidden", {110, 10, 40, 30})->ctrl_is_visible = false;
    // Each record gives this one its picture.
    auto bound = image(0, "Bound", {160, 10, 40, 30});
    bound->Set_Data_source_type(kSeriesValue);
    bound->Set_Batch_List_Name("Faces");
    image(1, "Back", {10, 10, 40, 30});
    backgrounds[0] = backgrounds[1] = damaged;

    using Kind = output::CardProblem::Kind;
    const output::CardProblem front{Kind::Damaged, "The image \"Shown\" (object 1 on the front)"};
    const output::CardProblem frontBackground{Kind::Damaged, "The background picture of the front"};
    const output::CardProblem back{Kind::Damaged, "The image \"Back\" (object 1 on the back)"};
    const output::CardProblem backBackground{Kind::Damaged, "The background picture of the back"};
    for (const bool both : {false, true}) {
        SCOPED_TRACE(both ? "two sides" : "one side");
        twoSided = both;
        counts = fill.check();
        ASSERT_EQ(counts.total, 2);
        // Named once, whether or not a card was filled before.
        const std::vector<output::CardProblem> named =
            both ? std::vector{front, frontBackground, back, backBackground} : std::vector{front, frontBackground};
        EXPECT_EQ(fill.takeProblems(), named);
        card(0, "F");
        card(1, "F");
        EXPECT_TRUE(fill.takeProblems().empty());
        fill.endRun();
        EXPECT_TRUE(fill.takeProblems().empty());
    }
    // Not on the cards at all: a background that is not drawn.
    backgrounds[0] = backgrounds[1] = {};
    twoSided = false;
    counts = fill.check();
    EXPECT_EQ(fill.takeProblems(), std::vector{front});
}

TEST_F(RecordFillTest, AValueOfMegabytesIsLaidOutOnlyAsFarAsItsBoxShows)
{
    // One 10 MB record: words that wrap, and one word longer than any line.
    QString huge;
    while (huge.size() < 10 * 1024 * 1024)
        huge += QStringLiteral("Kierkegard ");
    const QString word(10 * 1024 * 1024, QLatin1Char('W'));
    writeSeries("Huge", {huge.trimmed(), word});
    const QRectF box(10, 10, 200, 60);
    TVNText &text = add(0, boundText(box, kSeriesValue, "Huge"));
    GraphicPtr code = add(0, GraphicClass::Barcode, {10, 100, 150, 60}, kSeriesValue, "Huge");
    add(0, GraphicClass::Image, {200, 100, 60, 60}, kSeriesValue, "Huge");

    counts = fill.check();
    ASSERT_EQ(counts.total, 2);
    for (int n : {0, 1}) {
        const QImage image = card(n, "F");
        const QString shown = text.contentsString();
        // What the box holds is the value's start, cut where a full box ends.
        EXPECT_GT(shown.size(), 500) << n;
        EXPECT_LE(shown.size(), text.shownCharacters(text.firstCharacterLook())) << n;
        EXPECT_LT(shown.size(), 100000) << n;
        EXPECT_TRUE((n == 0 ? huge : word).startsWith(shown)) << n;
        EXPECT_GT(pixelsLike(image, box, Qt::black), 500) << n;
        // What the card lacks is named without repeating the megabytes.
        for (const output::CardProblem &problem : fill.takeProblems())
            EXPECT_LT(problem.reason.size(), 1000) << n;
    }
}

TEST(QuotedValue, ALongValueShowsItsStartAndItsEndWithItsLength)
{
    // A value past 60 UTF-16 units keeps its first 30 and last 29 around an
    // ellipsis, each cut moved to a whole character; the count is UTF-16
    // units, as QString::size() gives it.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    const auto cycle = [&](int n) {
        QString v;
        for (int i = 0; i < n; ++i)
            v += letters[i % 26];
        return v;
    };
    const QString face = QStringLiteral("\U0001F600");   // a surrogate pair
    const QString eAcute = QStringLiteral("e\u0301");     // a letter and its accent
    const struct {
        const char *what;
        QString value;
        QString expected;
    } rows[] = {
        {"short", "12345", "\"12345\""},
        {"60, the limit", cycle(60), "\"" + cycle(60) + "\""},
        {"61, one past", cycle(61),
         "\"ABCDEFGHIJKLMNOPQRSTUVWXYZABCD\u2026GHIJKLMNOPQRSTUVWXYZABCDEFGHI\" (61 characters)"},
        {"300", cycle(300), "\"ABCDEFGHIJKLMNOPQRSTUVWXYZABCD\u2026LMNOPQRSTUVWXYZABCDEFGHIJKLMN\" (300 characters)"},
        {"two-byte letters", QString(100, QChar(0x0416)),
         "\"" + QString(30, QChar(0x0416)) + "\u2026" + QString(29, QChar(0x0416)) + "\" (100 characters)"},
        // Unit 30 and unit 71 fall inside a pair: the start keeps 29, the end 28.
        {"surrogate pairs at both cuts", cycle(29) + face + cycle(39) + face + cycle(28),
         "\"" + cycle(29) + "\u2026" + cycle(28) + "\" (100 characters)"},
        {"a pair ending each cut", cycle(28) + face + cycle(40) + face + cycle(27),
         "\"" + cycle(28) + face + "\u2026" + face + cycle(27) + "\" (99 characters)"},
        {"an accent at the cut", cycle(29) + eAcute + cycle(70),
         "\"" + cycle(29) + "\u2026" + cycle(70).right(29) + "\" (101 characters)"},
        {"placeholders in the value", "%1%2%3" + cycle(94),
         "\"%1%2%3" + cycle(24) + "\u2026" + cycle(94).right(29) + "\" (100 characters)"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(design_window::quotedValue(row.value).toStdString(), row.expected.toStdString()) << row.what;
}

TEST_F(RecordFillTest, LargeSidesAreDrawnInBoundedBandsWithTheWholeDrawingsPixels)
{
    writeSeries("Names", {"Annabel Fitzgerald-Whitmore", "Bob"});
    writeSeries("Codes", {"QV-0001", "QV-0002"});
    // At 600 dpi a band is 419 rows (about 50 pt): the text straddles the
    // edge at 100 pt, the barcode the one at 151 pt.
    add(0, boundText({10, 80, 280, 40}, kSeriesValue, "Names"));
    GraphicPtr code = add(0, GraphicClass::Barcode, {10, 135, 200, 40}, kSeriesValue, "Codes");
    code->barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf("Code 128"));
    auto box = std::make_shared<ProbeBox>();
    add(0, box).setBounds({150, 20, 100, 100});
    counts = fill.check();
    const auto changes = [&](const TVNGraphic &g) { return &g != box.get(); };
    const drawing::CardFace face{QSizeF(300, 200), 0, drawing::kShapeRectangle,
                                 [](QPainter &p, const QRectF &card, int) { p.fillRect(card, Qt::white); }};

    for (double dpi : {300.0, 600.0, 1200.0}) {
        fill.setResolution(dpi);
        for (int n = 0; n < 2; ++n) {
            box->largestDevice = 0;
            const QImage banded = card(n, "F");
            // However large the side, no hand-off draws more than a band:
            // nor does the drawing of what every card shares, at the first.
            EXPECT_LE(fill.largestBand(), RecordFill::kBandPixels) << dpi;
            EXPECT_LE(box->largestDevice, RecordFill::kBandPixels) << dpi;
            const qint64 area = qint64(banded.width()) * banded.height();
            EXPECT_EQ(fill.largestBand() == area, area <= RecordFill::kBandPixels) << dpi;
            // The design now holds record n: drawn whole, the same pixels.
            const QImage whole = drawing::CardLayers(doc.graphics, face, changes, dpi).render();
            EXPECT_TRUE(banded == whole) << dpi << " dpi, record " << n;
            if (dpi == 600) {
                EXPECT_EQ(quorvant::test::decodeBarcode(banded.copy(QRect(0, 135 * 600 / 72, banded.width(), 40 * 600 / 72)),
                                                        ZXing::BarcodeFormat::Code128)
                              .text,
                          n ? "QV-0002" : "QV-0001");
            }
        }
    }
}

TEST_F(RecordFillTest, BitmapRunsMatchTheRendererAndDrawWhatDoesNotChangeOnce)
{
    writeSeries("Names", {"Ann", "Bob", "Cid"});
    const QStringList photos{tmp.file("red.png"), "", tmp.file("blue.png")};
    writeSeries("Photos", photos);
    for (auto [name, colour] : {std::pair{"red.png", Qt::red}, std::pair{"blue.png", Qt::blue}}) {
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(colour);
        ASSERT_TRUE(picture.save(tmp.file(name)));
    }
    // Unbound objects above, between and under the bound ones.
    const QRectF photoBox(150, 60, 80, 60);
    auto top = std::make_shared<ProbeBox>(), middle = std::make_shared<ProbeBox>();
    add(0, top).setBounds({5, 5, 20, 20});
    add(0, boundText({10, 30, 200, 30}, kSeriesValue, "Names"));
    add(0, middle).setBounds({100, 40, 60, 40});
    add(0, GraphicClass::Image, photoBox, kSeriesValue, "Photos");
    add(0, boundText({10, 150, 200, 30}, batch_data::kTypedValue, {}));
    // Only the main photo's own frame makes each record's picture the main
    // photo (it shows no other); from a spreadsheet it keeps the design's.
    add(0, GraphicClass::Image, {250, 150, 40, 40}, kSeriesValue, "Photos")->control_ID = "PARTY_IMAGE";
    sheet.Create_List_By_Array({"/photos/x.png"}, 1);
    add(0, GraphicClass::Image, {250, 100, 40, 40}, kSpreadsheetValue, {}, 1)->control_ID = "PARTY_IMAGE";

    counts = fill.check();
    std::vector<QImage> layered;
    for (int n = 0; n < 3; ++n)
        layered.push_back(card(n, "F"));
    EXPECT_EQ(backgroundsDrawn, 1);
    EXPECT_EQ(top->draws + middle->draws, 2);
    EXPECT_EQ(mainPhotos, photos);

    fill.setResolution(0);
    const QColor photo[] = {Qt::red, Qt::white, Qt::blue};
    for (int n = 0; n < 3; ++n) {
        const QImage vector = card(n, "F");
        // Glyph edges are smoothed a little differently when replayed from a
        // recording; nothing else may differ.
        EXPECT_LT(quorvant::test::differingPixelShare(vector, layered[size_t(n)], 40), 0.002) << n;
        EXPECT_LT(quorvant::test::differingPixelShare(vector, layered[size_t(n)], 128), 0.0001) << n;
        // Right of the middle box: the picture, or with no value the card.
        EXPECT_GT(pixelsLike(layered[size_t(n)], photoBox.adjusted(20, 5, -5, -5), photo[n]), 1000) << n;
    }
}

TEST_F(RecordFillTest, APictureIsNamedWithWhyOnlyItsOwnFileCouldNotBeRead)
{
    // A photo cut short, then a whole one, in a series; the main photo's
    // frame fed from a spreadsheet shows the design's main photo (cut short
    // too), not its value's file, which is whole.
    const QByteArray jpeg = quorvant::test::photoJpeg(QSize(40, 30));
    writeTestFile(tmp.file("whole.jpg"), jpeg);
    writeTestFile(tmp.file("cut.jpg"), jpeg.left(jpeg.size() * 2 / 3));
    writeSeries("Photos", {tmp.file("cut.jpg"), tmp.file("whole.jpg")});
    add(0, GraphicClass::Image, {10, 10, 80, 60}, kSeriesValue, "Photos");
    for (int row = 0; row < 2; ++row)
        sheet.Create_List_By_Array({tmp.file("whole.jpg")}, 1);
    add(0, GraphicClass::Image, {100, 10, 80, 60}, kSpreadsheetValue, {}, 1)->control_ID = "PARTY_IMAGE";
    TestHost host;
    host.mainPhoto = platform::Image::fromFile(tmp.file("cut.jpg"));
    ASSERT_EQ(host.mainPhoto.damage(), "the picture ends early");

    counts = fill.check();
    using Kind = output::CardProblem::Kind;
    const output::CardProblem frame{Kind::Picture, "\"" + tmp.file("whole.jpg") + "\" could not be read"};
    const std::vector<std::vector<output::CardProblem>> expected{
        {{Kind::Picture, "\"" + tmp.file("cut.jpg") + "\" could not be read: the picture ends early."}, frame},
        {frame},
    };
    std::vector<std::vector<output::CardProblem>> named;
    for (int n = 0; n < 2; ++n) {
        card(n, "F");
        named.push_back(fill.takeProblems());
    }
    EXPECT_EQ(named, expected);
}

TEST(RecordFillInTheWindow, AWorkerRunsThroughTheHubOnTheMainThreadAndEndsOnRecordZero)
{
    using namespace design_window;
    TempFolder tmp;
    const platform::ScopedAlertResponder alerts([](const platform::AlertRequest &) { return 0; });
    const ScopedValue resourcePath(Resource_Path);
    const ScopedValue dataFolderPath(Data_Folder_Path);
    const ScopedValue cardSides(CARD_SIDE_STR);
    setResourceFolder(tmp.file("res"));
    TVNWindowController wnd;
    CARD_SIDE_STR = "2";
    writeTestFile(QDir(Data_Folder_Path).filePath("Names.txt"), "Ann\nBob\n");
    wnd.design().Back_card_Prop.Card_Fill = true;
    wnd.design().Back_card_Prop.Card_Fill_Color = Qt::yellow;
    const QRectF box(10, 10, 200, 40);
    auto front = boundText(box, kSeriesValue, "Names"), back = boundText(box, kSeriesValue, "Names");
    auto probe = std::make_shared<ProbeBox>();
    probe->setBounds({10, 60, 20, 20});
    probe->Set_Data_source_type(kSeriesValue);
    probe->Set_Batch_List_Name("Names");
    wnd.design().document->graphics = {front, probe};
    wnd.design().document->graphics_back = {back};

    QImage lastBack;
    quorvant::test::runOnWorker([&] {
        wnd.Check_Series_Or_Excel_Use_or_not();
        for (int n = 0; n < Total_Batch_Excel_Card; ++n) {
            lastBack = wnd.Set_data_table_value_to_card(n, "B", true).bitmap();
            wnd.Set_data_table_value_to_card(n, "F", true);
        }
        wnd.recordFill().endRun(sourcesInUse());
    });
    EXPECT_EQ(Total_Batch_Excel_Card, 2);
    EXPECT_EQ(probe->draws, 2);
    EXPECT_EQ(probe->offMain, 0);
    EXPECT_EQ(Card_Front_Or_Back, 0) << "the front is still the side being edited";
    EXPECT_GT(pixelsLike(lastBack, box, Qt::black), 50);
    EXPECT_EQ(lastBack.pixelColor(pixels(box).bottomRight() + QPoint(20, 20)), QColor(Qt::yellow))
        << "the back's own fill";
    EXPECT_EQ(front->contentsString(), "Ann");
    EXPECT_EQ(back->contentsString(), "Ann") << "the back shows the first record again too";
}

TEST(RecordFillInTheWindow, TheMainPhotosFrameNamesEachRecordWhosePhotoCannotBeShown)
{
    // The main photo's frame bound to a series: each record's photo becomes
    // the design's main photo, and one that is gone or cut short is named
    // as any bound picture file is.
    using namespace design_window;
    TempFolder tmp;
    const platform::ScopedAlertResponder alerts([](const platform::AlertRequest &) { return 0; });
    const ScopedValue resourcePath(Resource_Path);
    const ScopedValue dataFolderPath(Data_Folder_Path);
    setResourceFolder(tmp.file("res"));
    TVNWindowController wnd;
    const QByteArray jpeg = quorvant::test::photoJpeg(QSize(40, 30));
    writeTestFile(tmp.file("whole.jpg"), jpeg);
    writeTestFile(tmp.file("cut.jpg"), jpeg.left(jpeg.size() * 2 / 3));
    const QStringList photos{tmp.file("whole.jpg"), tmp.file("gone.jpg"), tmp.file("cut.jpg")};
    writeTestFile(QDir(Data_Folder_Path).filePath("Photos.txt"), photos.join('\n').toUtf8());
    auto frame = std::static_pointer_cast<TVNImage>(newGraphicOfClass(GraphicClass::Image));
    frame->control_ID = "PARTY_IMAGE";
    frame->setBounds({10, 10, 80, 60});
    frame->Set_Data_source_type(kSeriesValue);
    frame->Set_Batch_List_Name("Photos");
    wnd.design().document->graphics = {frame};

    using Kind = output::CardProblem::Kind;
    std::vector<std::vector<output::CardProblem>> named;
    std::vector<bool> shown;
    quorvant::test::runOnWorker([&] {
        wnd.Check_Series_Or_Excel_Use_or_not();
        named.push_back(wnd.recordFill().takeProblems());
        for (int n = 0; n < Total_Batch_Excel_Card; ++n) {
            wnd.Set_data_table_value_to_card(n, "F", true);
            named.push_back(wnd.recordFill().takeProblems());
            shown.push_back(!frame->image().isNull());
        }
        wnd.recordFill().endRun(sourcesInUse());
    });
    const std::vector<std::vector<output::CardProblem>> expected{
        {},
        {},
        {{Kind::Picture, "no file \"" + tmp.file("gone.jpg") + "\""}},
        {{Kind::Picture, "\"" + tmp.file("cut.jpg") + "\" could not be read: the picture ends early."}},
    };
    EXPECT_EQ(named, expected);
    EXPECT_EQ(shown, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(frame->filePath(), photos.first()) << "the run ends on the first record";
}
