// The offscreen renderer: bars where the module string says, the frame sized
// to the widest part, captions, header and footer where the style puts them,
// and the 2-D image framed by its layout.

#include "barcodes/render/BarcodeLayout.h"
#include "barcodes/render/BarcodePicture.h"
#include "barcodes/render/BarcodeRecord.h"
#include "barcodes/render/SymBarcodeOffscreenView.h"
#include "tests/barcodes/render/RenderTestSupport.h"

#include <QPainter>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

using namespace barcodes;
using namespace quorvant::test;

namespace {
constexpr double kDpi = 288; // 4 pixels per point

// A card whose every row and column differ, to show what a picture leaves.
QImage patternedCard(QSize size)
{
    QImage c(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < c.height(); ++y) {
        for (int x = 0; x < c.width(); ++x)
            c.setPixel(x, y, qRgb(y % 256, 255 - x % 256, 100));
    }
    return c;
}

// Pixels that differ between the picture written straight into a card and
// the picture a clipped painter draws itself, both placed by `place`.
int apartFromThePaintersDrawing(const BarcodePicture &picture, const std::function<void(QPainter &)> &place)
{
    QImage written = patternedCard(QSize(200, 200)), filled = written.copy();
    for (QImage *bitmap : {&written, &filled}) {
        QPainter p(bitmap);
        if (bitmap == &filled)
            p.setClipRect(filled.rect());
        place(p);
        picture.paint(p);
    }
    int apart = 0;
    for (int y = 0; y < written.height(); ++y) {
        for (int x = 0; x < written.width(); ++x)
            apart += written.pixel(x, y) != filled.pixel(x, y) ? 1 : 0;
    }
    return apart;
}

// `image` drawn by a clipped painter over white into a bitmap of `size`, as
// RGB32: the painter draws every part itself, nothing is written straight.
QImage drawnByThePainter(const platform::Image &image, QSize size)
{
    QImage drawn(size, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::white);
    {
        QPainter p(&drawn);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setClipRect(drawn.rect());
        image.draw(p, QRectF(drawn.rect()));
    }
    return drawn.convertToFormat(QImage::Format_RGB32);
}

// At 300 and 600 dpi `image` written straight into a bitmap agrees with a
// clipped painter's drawing of it but for the odd edge pixel of a glyph
// placed a fraction of a pixel apart, and its pixels that `isInk` have the
// same bounds; `check` is given the written bitmap at each resolution.
void expectWrittenAsPainted(const platform::Image &image, bool (*isInk)(QRgb),
                            const std::function<void(const Scan &, double)> &check = {})
{
    for (double dpi : {300.0, 600.0}) {
        const QImage written = image.toBitmap(dpi, Qt::white).convertToFormat(QImage::Format_RGB32);
        const QImage drawn = drawnByThePainter(image, written.size());
        int inked = 0, apart = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                const QRgb a = written.pixel(x, y), b = drawn.pixel(x, y);
                inked += isInk(b) ? 1 : 0;
                const int far = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                          std::abs(qBlue(a) - qBlue(b))});
                apart += far > 96 ? 1 : 0;
            }
        }
        EXPECT_GT(inked, 200) << dpi;
        EXPECT_LT(apart, inked / 20) << dpi;
        const Scan scan(platform::Image::fromBitmap(written, image.size()), dpi);
        EXPECT_EQ(scan.extent(isInk), Scan(platform::Image::fromBitmap(drawn, image.size()), dpi).extent(isInk))
            << dpi;
        if (check)
            check(scan, dpi);
    }
}
} // namespace

TEST(OffscreenView, BarsFollowTheModuleStringCentredInTheWidestPrintedPart)
{
    const SymbolStyle style = zeroMargins();
    // "0110", modules of 1 point, a 10 point view: one bar from x = 4 to 6.
    const platform::Image image = imageFromBarcode(*moduleSymbol("0110", 1, 20, 10, false, style), style);
    EXPECT_TRUE(image.isVector());
    EXPECT_EQ(image.size(), QSizeF(10, 20));
    for (double dpi : {72.0, kDpi, 720.0})
        EXPECT_EQ(Scan(image, dpi).extent(isBlack), QRectF(4, 0, 2, 20)) << dpi;

    // A longer string ending in a bar, 2 points per module, in a frame as
    // wide as the printed header: 10 points of background either side.
    const std::string modules = "1011001110001011110100111";
    const auto longer = moduleSymbol(modules, 2, 30, 0, false, style);
    longer->setPrintsHeader(true);
    longer->setHeaderWidth(2 * modules.size() + 20);
    longer->setFooterWidth(300); // wider still, but not printed
    const auto view = SymBarcodeOffscreenView::initWithBarcode(*longer, style);
    EXPECT_EQ(view->frame(), QRectF(0, 0, 2 * modules.size() + 20, 30));
    EXPECT_EQ(view->rectForPage(3), QRectF(0, 0, 2 * modules.size(), 30));
    const Scan wide(imageFromBarcode(*longer, style), kDpi);
    for (std::size_t i = 0; i < modules.size(); ++i)
        EXPECT_EQ(wide.dark(10 + 2 * i + 1, 15), modules[i] == '1') << "module " << i;
    EXPECT_FALSE(wide.dark(9, 15));
    EXPECT_FALSE(wide.dark(10 + 2 * modules.size() + 1, 15));

    // No height, no picture.
    const auto flat = moduleSymbol("0110", 1, 0, 10, false, style);
    EXPECT_TRUE(imageFromBarcode(*flat, style).isNull());
    EXPECT_TRUE(pdfFromBarcode(*flat, style).isEmpty());
    flat->setHeight(-5);
    EXPECT_TRUE(imageFromBarcode(*flat, style).isNull());
}

TEST(OffscreenView, ColoursComeFromTheStyleTheViewWasGiven)
{
    SymbolStyle style = zeroMargins();
    style.barcode_clr = Qt::blue;
    style.bar_back_clr = Qt::yellow;
    const auto s = moduleSymbol("0110", 1, 20, 10, false, style);
    auto colours = [](const SymBarcodeOffscreenView &view) {
        QImage out(10, 20, QImage::Format_RGB32);
        QPainter p(&out);
        view.drawRect(p);
        return std::pair(QColor(out.pixel(4, 10)), QColor(out.pixel(1, 10)));
    };
    EXPECT_EQ(colours(*SymBarcodeOffscreenView::initWithBarcode(*s, style)),
              std::pair(QColor(Qt::blue), QColor(Qt::yellow)));

    // The view keeps its own copy: a later change to the style the caller
    // holds (a worker's settings, say) does not reach a view already made.
    const auto view = SymBarcodeOffscreenView::initWithBarcode(*s, style);
    style.barcode_clr = Qt::red;
    EXPECT_EQ(colours(*view).first, QColor(Qt::blue));
    EXPECT_EQ(colours(*SymBarcodeOffscreenView::initWithBarcode(*s, style)).first, QColor(Qt::red));
}

TEST(OffscreenView, CaptionBelowOrAboveTheBars)
{
    SymbolStyle style = zeroMargins();
    style.value_margin = 2;
    style.TB_margin = 1;
    style.bar_val_clr = Qt::red;
    const auto s = moduleSymbol("1111111111", 4, 60, 40, true, style);
    s->captionText = "8888";
    s->setCaptionHeight(0.25f); // 18 points
    ASSERT_FLOAT_EQ(s->barTop(0), 60 - 18 - 2 - 2);

    // Below: bars stand on caption + value margin + top-bottom margin.
    const Scan below(imageFromBarcode(*s, style), kDpi);
    QRectF bars = below.extent(isBlack);
    EXPECT_NEAR(bars.bottom(), 60 - 21, 0.3);
    EXPECT_NEAR(bars.height(), 38, 0.3);
    EXPECT_GT(below.extent(isRed).top(), bars.bottom());

    // Above: bars stand on the top-bottom margin, the caption over them.
    style.showinTop = true;
    const Scan above(imageFromBarcode(*s, style), kDpi);
    bars = above.extent(isBlack);
    EXPECT_NEAR(bars.bottom(), 60 - 1, 0.3);
    EXPECT_LT(above.extent(isRed).bottom(), bars.top());
    EXPECT_GT(above.extent(isRed).top(), 0);

    // Kerning on spreads a single caption over the symbol's width.
    s->setWidth(200);
    const double plain = Scan(imageFromBarcode(*s, style), kDpi).extent(isRed).width();
    style.kerning_value = true;
    const QRectF spread = Scan(imageFromBarcode(*s, style), kDpi).extent(isRed);
    EXPECT_LT(plain, 40);
    EXPECT_GT(spread.width(), 120);
    EXPECT_LT(spread.left(), 60);
}

TEST(OffscreenView, SegmentedCaptionsAndSideCaptions)
{
    // The retail layout: a digit left of the bars, two groups over them and
    // a digit right of them.
    SymbolStyle style = zeroMargins();
    style.LR_margin = 1;
    style.bar_val_clr = Qt::red;
    const double W = 240, bw = 2, L = 3, firstBar = 24, lastBar = 214;
    const auto s = moduleSymbol(std::string(95, '1'), bw, 60, W, true, style);
    s->setCaptionHeight(0.2f);
    s->start = "101";
    s->first = float(firstBar);
    s->last = float(lastBar);
    s->leftText = "0";
    s->rightText = "5";
    s->captionText = "12345\t67890";

    // Where segment j of q starts.
    auto segmentX = [&](const QString &segment, int j, int q) {
        const double S = W / q - L * bw - firstBar;
        const double tw = defaultTextMeasurer()->textSize(segment, style.value_font).width();
        const double kj = (S - tw) / (2.0 * segment.size());
        return 3 * kj + firstBar + (j + 1) * L * bw + j * S + 1;
    };
    const double x0 = segmentX(QStringLiteral("12345"), 0, 2), x1 = segmentX(QStringLiteral("67890"), 1, 2);
    const double leftX = 0.25 * firstBar + 1, rightX = lastBar + 0.07 * W + 1;
    const Scan scan(imageFromBarcode(*s, style), kDpi);
    for (double x : {leftX, x0, x1, rightX})
        EXPECT_NEAR(scan.extent(isRed, x - 2, x + 6).left(), x, 1.0); // less the side bearing
    // Side captions stand 3 points higher than the groups.
    EXPECT_NEAR(scan.extent(isRed, x0 - 2, x0 + 6).bottom() - scan.extent(isRed, leftX - 2, leftX + 6).bottom(), 3.0,
                0.5);

    // An empty group between two tabs is skipped; the others keep their
    // places.
    s->leftText.clear();
    s->rightText.clear();
    s->captionText = "12\t\t34";
    const double a = segmentX(QStringLiteral("12"), 0, 3), c = segmentX(QStringLiteral("34"), 2, 3);
    const Scan three(imageFromBarcode(*s, style), kDpi);
    EXPECT_NEAR(three.extent(isRed).left(), a, 1.0);
    EXPECT_NEAR(three.extent(isRed, c - 2, W).left(), c, 1.0);
}

TEST(OffscreenView, HeaderAndFooterAlignmentAndPlace)
{
    SymbolStyle style = zeroMargins();
    style.TB_margin = 2;
    style.bar_hdr_clr = Qt::blue;
    style.bar_ftr_clr = Qt::red;
    const auto s = moduleSymbol("0", 1, 80, 200, false, style);
    s->setHeader(QStringLiteral("HEAD"));
    s->setFooter(QStringLiteral("FOOT"));
    s->setPrintsHeader(true);
    s->setPrintsFooter(true);
    s->setHeaderHeight(0.15f); // 10.8 points

    auto header = [&](const char *alignment) {
        style.align_hdr = QString::fromLatin1(alignment);
        return Scan(imageFromBarcode(*s, style), kDpi).extent(isBlue);
    };
    const QRectF centre = header("Center"), left = header("Left");
    EXPECT_NEAR(centre.center().x(), 100, 3);
    EXPECT_LT(left.left(), 3);
    EXPECT_GT(header("Right").right(), 190);
    EXPECT_EQ(header("Middle"), left); // an unknown item keeps the default
    // The header's line ends above header height + top-bottom margin, the
    // footer's at the top-bottom margin above the bottom.
    EXPECT_GT(centre.top(), 0);
    EXPECT_LT(centre.bottom(), 10.8 + 2);
    const QRectF footer = Scan(imageFromBarcode(*s, style), kDpi).extent(isRed);
    EXPECT_LT(footer.bottom(), 80 - 2);
    EXPECT_GT(footer.bottom(), 80 - 2 - 6);

    // A hidden footer and an empty header draw nothing.
    s->setPrintsFooter(false);
    s->setHeader(QString());
    const Scan none(imageFromBarcode(*s, style), kDpi);
    EXPECT_TRUE(none.extent(isBlue).isEmpty());
    EXPECT_TRUE(none.extent(isRed).isEmpty());
}

TEST(OffscreenView, ImageModeFramesThe2DImageUnderItsHeader)
{
    BarcodeLayout layout{zeroMargins(), 50, 60};
    layout.style.TB_margin = 2;
    layout.style.header_margin = 3;
    layout.style.bar_back_clr = Qt::yellow;
    QImage square(20, 20, QImage::Format_RGB32);
    square.fill(Qt::black);
    const auto symbolImage = platform::Image::fromBitmap(square, QSizeF(20, 20));
    Barcode_Gen settings;
    EXPECT_TRUE(SymBarcodeOffscreenView::initWithBarcodeImage(symbolImage, settings, layout)->rectForPage(1).isEmpty());

    // No header: the top-bottom and header margins are still kept above it;
    // the background is white whatever the background well says.
    const platform::Image framed = imageFromBarcodeImage(symbolImage, settings, layout);
    EXPECT_EQ(framed.size(), QSizeF(60, 50));
    const Scan plain(framed, kDpi);
    EXPECT_EQ(plain.extent(isBlack), QRectF(20, 5, 20, 20));
    EXPECT_EQ(plain.at(1, 1), QColor(Qt::white));

    layout.style.bar_hdr_clr = Qt::blue;
    layout.style.bar_ftr_clr = Qt::red;
    settings.setHeader(QStringLiteral("TOP"));
    settings.setFooter(QStringLiteral("END"));
    settings.setPrintsHeader(true);
    settings.setPrintsFooter(true);
    settings.setHeaderHeight(0.15f); // 10.8 points
    const Scan both(imageFromBarcodeImage(symbolImage, settings, layout), kDpi);
    const QRectF image = both.extent(isBlack);
    EXPECT_NEAR(image.top(), 2 + 10.8 + 3, 0.3);
    EXPECT_LT(both.extent(isBlue).bottom(), image.top() + 1);
    EXPECT_GT(both.extent(isRed).top(), image.bottom());

    // No image, or a frame without width: no picture.
    EXPECT_TRUE(imageFromBarcodeImage(platform::Image(), settings, layout).isNull());
    layout.width = 0;
    EXPECT_TRUE(imageFromBarcodeImage(symbolImage, settings, layout).isNull());
}

TEST(OffscreenView, TextWrittenIntoABitmapLooksAsThePainterDrawsIt)
{
    // A plain bitmap gets its text from kept glyphs; a clipped painter draws
    // the same picture itself. Both must agree to the pixel but for the odd
    // edge pixel of a glyph placed a fraction of a pixel apart.
    SymbolStyle style = zeroMargins();
    style.bar_val_clr = Qt::red;
    style.bar_back_clr = QColor(255, 255, 200);
    const auto s = moduleSymbol("1100110011", 2, 60, 160, true, style);
    s->captionText = "0123456789 QUORVANT";
    s->setCaptionHeight(0.25f);
    s->setPrintsHeader(true);
    s->setHeader(QStringLiteral("Header"));
    s->setHeaderHeight(0.2f);
    expectWrittenAsPainted(imageFromBarcode(*s, style), isRed);
}

TEST(OffscreenView, AWorkerThreadMeasuresAndDrawsAsTheMainThread)
{
    // Fonts and glyphs are kept per thread; a run's worker makes its own and
    // lets them go when it ends.
    SymbolStyle style = zeroMargins();
    style.bar_val_clr = Qt::red;
    const auto s = moduleSymbol("1100110011", 2, 60, 160, true, style);
    s->captionText = "0123456789";
    s->setCaptionHeight(0.25f);
    const platform::Image image = imageFromBarcode(*s, style);
    const QImage here = image.toBitmap(300, Qt::white);
    const QSizeF measuredHere = defaultTextMeasurer()->textSize(QStringLiteral("0123456789"), style.value_font, 2.0);
    for (int run = 0; run < 2; ++run) {
        QImage there;
        QSizeF measuredThere;
        std::thread worker([&] {
            there = image.toBitmap(300, Qt::white);
            measuredThere = defaultTextMeasurer()->textSize(QStringLiteral("0123456789"), style.value_font, 2.0);
        });
        worker.join();
        EXPECT_EQ(there, here) << run;
        EXPECT_EQ(measuredThere, measuredHere) << run;
    }
}

TEST(OffscreenView, BarsOverAClearBackgroundLeaveWhatIsUnderTheirGaps)
{
    // A symbol with a clear or translucent background drawn over a card:
    // between its bars the card shows through, row by row, just as when
    // the painter fills the bars itself.
    for (const QColor &back : {QColor(Qt::transparent), QColor(255, 255, 255, 128)}) {
        SymbolStyle style = zeroMargins();
        style.bar_back_clr = back;
        const auto s = moduleSymbol("1100110011", 2, 60, 0, false, style);
        const platform::Image image = imageFromBarcode(*s, style);
        const QSize size(int(image.size().width() * 300 / 72), int(image.size().height() * 300 / 72));
        auto card = [&] {
            QImage c(size, QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < c.height(); ++y) {
                for (int x = 0; x < c.width(); ++x)
                    c.setPixel(x, y, qRgb(y % 256, 255 - y % 256, 100));
            }
            return c;
        };
        QImage written = card(), filled = card();
        {
            QPainter p(&written);
            image.draw(p, QRectF(written.rect()));
        }
        {
            QPainter p(&filled);
            p.setClipRect(filled.rect());
            image.draw(p, QRectF(filled.rect()));
        }
        int apart = 0;
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x)
                apart += written.pixel(x, y) != filled.pixel(x, y) ? 1 : 0;
        }
        EXPECT_EQ(apart, 0) << back.alpha();
    }
}

TEST(OffscreenView, BarsReachingPastTheirPictureLeaveTheBackgroundWhole)
{
    // Bars that start above the picture's top cross the card there and the
    // picture's background below it; each row keeps what it had between
    // the bars, just as when the painter fills the bars itself.
    BarcodePicture picture;
    picture.size = QSizeF(40, 30);
    picture.background = QColor(255, 255, 200);
    picture.modulesLeft = 5;
    picture.moduleWidth = 2;
    picture.moduleCount = 10;
    picture.barColour = Qt::black;
    picture.bars = {{0, 2, -10, 25}, {4, 1, -10, 25}, {8, 2, -10, 25}};
    EXPECT_EQ(apartFromThePaintersDrawing(picture,
                                          [](QPainter &p) {
                                              p.translate(20, 60);
                                              p.scale(3, 3);
                                          }),
              0);
}

TEST(OffscreenView, A2DSymbolWrittenBeforeItsBackgroundLooksAsThePainterDrawsIt)
{
    // On a plain bitmap the symbol is written first, its clear pixels as the
    // background, and the background filled only around it; a clipped
    // painter fills the background and draws the symbol over it. Both must
    // agree to the pixel, at print resolution and stretched, placed on
    // whole pixels or between them, and nothing outside the picture moves.
    QImage page(10, 8, QImage::Format_Indexed8);
    page.setColorTable({qRgba(0, 0, 0, 0), qRgb(0, 0, 0), qRgb(255, 255, 255)});
    page.fill(0u);
    for (int y = 1; y < 7; ++y) {
        for (int x = 1; x < 9; ++x)
            page.setPixel(x, y, uint(1 + (x * 3 + y) % 2));
    }
    QImage bits(21, 5, QImage::Format_Mono);
    bits.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 21; ++x)
            bits.setPixel(x, y, uint((x * 7 + y) % 5 < 2));
    }
    const struct {
        const char *what;
        const QImage &symbol;
        QRectF rect;
        double scale;
    } cases[] = {
        {"clear border, whole pixels", page, QRectF(5, 4, 10, 8), 1.0},
        {"clear border, stretched", page, QRectF(4.3, 6.1, 23.7, 17.2), 3.0},
        {"1-bit, between pixels", bits, QRectF(2.5, 3.25, 21, 5), 2.5},
        {"fills the picture", bits, QRectF(0, 0, 40, 30), 3.0},
    };
    for (const auto &c : cases) {
        BarcodePicture picture;
        picture.size = QSizeF(40, 30);
        picture.background = QColor(255, 255, 200);
        picture.image = platform::Image::fromBitmap(c.symbol, c.rect.size());
        picture.imageRect = c.rect;
        EXPECT_EQ(apartFromThePaintersDrawing(picture,
                                              [&](QPainter &p) {
                                                  p.translate(7, 11);
                                                  p.scale(c.scale, c.scale);
                                              }),
                  0)
            << c.what;
    }
}

TEST(OffscreenView, BarsWrittenBeforeTheirBackgroundLookAsThePainterFillsThem)
{
    // Bars within an opaque picture are written with the background between
    // them, row by row, and the background filled only around them; a
    // clipped painter fills the background and the bars over it. Bars of
    // several heights leave rows crossed by some bars only and rows crossed
    // by none.
    BarcodePicture picture;
    picture.size = QSizeF(40, 30);
    picture.background = QColor(255, 255, 200);
    picture.modulesLeft = 5.3;
    picture.moduleWidth = 2;
    picture.moduleCount = 14;
    picture.barColour = QColor(20, 40, 160);
    const std::vector<BarcodePicture::Bar> inside = {
        {0, 2, 2.2, 25}, {3, 1, 6, 20}, {6, 2, 2.2, 12.5}, {9, 1, 16, 25}, {12, 2, 2.2, 25}};
    // As tall as the picture, as postal bars are: their ends share the edge
    // pixels the picture only partly covers.
    const std::vector<BarcodePicture::Bar> edgeToEdge = {{0, 1, 0, 30}, {4, 1, 10, 30}, {13, 1, 0, 30}};
    for (const auto &bars : {inside, edgeToEdge}) {
        picture.bars = bars;
        for (const double scale : {1.0, 2.5, 3.0}) {
            EXPECT_EQ(apartFromThePaintersDrawing(picture,
                                                  [&](QPainter &p) {
                                                      p.translate(7.4, 11.3);
                                                      p.scale(scale, scale);
                                                  }),
                      0)
                << scale << " " << bars.size();
        }
    }
}

TEST(OffscreenView, CaptionsInNewColoursAndPastTheEdgesLookAsThePainterDrawsThem)
{
    // Glyphs written straight into a bitmap are kept tinted in the colours
    // they were last written in: the same caption drawn again in another
    // colour must come out in that one. A caption wider than its picture
    // runs past its edges, where what is left of its glyphs is written too.
    const auto s = moduleSymbol("1100110011", 2, 60, 40, true, zeroMargins());
    s->captionText = "80808080808080";
    s->setCaptionHeight(0.25f);
    for (const QColor &ink : {QColor(Qt::red), QColor(Qt::blue), QColor(Qt::red)}) {
        SymbolStyle style = zeroMargins();
        style.bar_val_clr = ink;
        style.bar_back_clr = QColor(255, 255, 200);
        const platform::Image image = imageFromBarcode(*s, style);
        ASSERT_EQ(image.size().width(), 40);
        const auto isInk = ink == QColor(Qt::red) ? isRed : isBlue;
        const auto isOther = ink == QColor(Qt::red) ? isBlue : isRed;
        expectWrittenAsPainted(image, isInk, [&](const Scan &written, double dpi) {
            EXPECT_TRUE(written.extent(isOther).isEmpty()) << dpi;
            // Cut by the picture's edge, across all of it.
            const QRectF caption = written.extent(isInk);
            EXPECT_LT(caption.left(), 0.5) << dpi;
            EXPECT_GT(caption.right(), 36.0) << dpi;
        });
    }
}
