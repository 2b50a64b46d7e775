// The offscreen renderer: bars where the module string says them, the frame
// sized to the widest part, captions, header and footer where the settings
// put them, and the 2-D image framed by the settings.

#include "barcodes/render/SymBarcodeOffscreenView.h"
#include "tests/barcodes/render/RecordingDevice.h"
#include "tests/barcodes/render/RenderTestSupport.h"

#include <QPainter>
#include <cmath>

using namespace barcodes;
using namespace quorvant::test;

namespace {

constexpr double kDpi = 288; // 4 pixels per point

class OffscreenView : public LiveSettingsTest {};

} // namespace

TEST_F(OffscreenView, BarsFollowTheModuleStringCentredInTheView)
{
    zeroMargins();
    // "0110" with modules of 1 point in a 10 point view: one bar from x = 4
    // to x = 6, the whole height.
    auto s = moduleSymbol("0110", 1, 20, 10);
    Scan scan(imageFromBarcode(*s), kDpi);
    EXPECT_DOUBLE_EQ(scan.widthPt(), 10);
    EXPECT_DOUBLE_EQ(scan.heightPt(), 20);
    EXPECT_EQ(scan.extent(isBlack), QRectF(4, 0, 2, 20));

    // A longer string ending in a bar, 2 points per module, 10 points of
    // background either side.
    const std::string modules = "1011001110001011110100111";
    auto longer = moduleSymbol(modules, 2, 30, 2 * modules.size() + 20);
    Scan wide(imageFromBarcode(*longer), kDpi);
    for (std::size_t i = 0; i < modules.size(); ++i)
        EXPECT_EQ(wide.dark(10 + 2 * i + 1, 15), modules[i] == '1') << "module " << i;
    EXPECT_FALSE(wide.dark(9, 15));
    EXPECT_FALSE(wide.dark(10 + 2 * modules.size() + 1, 15));

    // Only spaces: no bar at all.
    auto blank = moduleSymbol("0000", 1, 10, 10);
    EXPECT_TRUE(Scan(imageFromBarcode(*blank), kDpi).extent(isBlack).isEmpty());
}

TEST_F(OffscreenView, ColoursComeFromTheSettingsAtDrawTime)
{
    zeroMargins();
    auto s = moduleSymbol("0110", 1, 20, 10);
    auto view = SymBarcodeOffscreenView::initWithBarcode(*s);
    auto draw = [&] {
        QImage out(10, 20, QImage::Format_RGB32);
        out.fill(Qt::gray);
        QPainter p(&out);
        view->drawRect(p);
        return out;
    };
    gen().barcode_clr = Qt::blue;
    gen().bar_back_clr = Qt::yellow;
    QImage first = draw();
    EXPECT_EQ(QColor(first.pixel(4, 10)), QColor(Qt::blue));
    EXPECT_EQ(QColor(first.pixel(1, 10)), QColor(Qt::yellow));

    // The same view drawn again after the settings changed.
    gen().barcode_clr = Qt::red;
    gen().bar_back_clr = Qt::white;
    QImage second = draw();
    EXPECT_EQ(QColor(second.pixel(5, 10)), QColor(Qt::red));
    EXPECT_EQ(QColor(second.pixel(8, 10)), QColor(Qt::white));
}

TEST_F(OffscreenView, BaselineAndCaptionBelowOrAboveTheBars)
{
    zeroMargins();
    gen().value_margin = 2;
    gen().TB_margin = 1;
    gen().bar_val_clr = Qt::red;
    auto s = moduleSymbol("1111111111", 4, 60, 40, true);
    s->captionText = "8888";
    s->setCaptionHeight(0.25f); // 18 points
    // Bars are height - caption - value margin - 2 x top-bottom = 38 high.
    ASSERT_FLOAT_EQ(s->barTop(0), 38.0f);

    // Below: the bars stand on caption + value margin + top-bottom = 21 from
    // the bottom, the caption under them.
    Scan below(imageFromBarcode(*s), kDpi);
    QRectF bars = below.extent(isBlack);
    EXPECT_NEAR(bars.bottom(), 60 - 21, 0.3);
    EXPECT_NEAR(bars.height(), 38, 0.3);
    QRectF caption = below.extent(isReddish);
    ASSERT_FALSE(caption.isEmpty());
    EXPECT_GT(caption.top(), bars.bottom());
    EXPECT_LT(caption.bottom(), 60 - 1);

    // Above: the bars stand on the top-bottom margin and the caption line is
    // a value margin above their tops.
    gen().showinTop = true;
    Scan above(imageFromBarcode(*s), kDpi);
    bars = above.extent(isBlack);
    EXPECT_NEAR(bars.bottom(), 60 - 1, 0.3);
    caption = above.extent(isReddish);
    ASSERT_FALSE(caption.isEmpty());
    EXPECT_LT(caption.bottom(), bars.top());
    EXPECT_GT(caption.top(), 0);
}

TEST_F(OffscreenView, KerningSpreadsASingleCaptionOverTheSymbol)
{
    zeroMargins();
    gen().bar_val_clr = Qt::red;
    auto s = moduleSymbol("1", 1, 40, 200, true);
    s->captionText = "1234";
    s->setCaptionHeight(0.2f);

    const QRectF plain = Scan(imageFromBarcode(*s), kDpi).extent(isReddish);
    gen().kerning_value = true;
    const QRectF spread = Scan(imageFromBarcode(*s), kDpi).extent(isReddish);
    ASSERT_FALSE(plain.isEmpty());
    ASSERT_FALSE(spread.isEmpty());
    EXPECT_LT(plain.width(), 40);
    EXPECT_GT(spread.width(), 120);
    // Both are centred on the view (allowing for the space after the last
    // character).
    EXPECT_NEAR(plain.center().x(), 100, 3);
    EXPECT_NEAR(spread.center().x(), 100, 30);
    EXPECT_LT(spread.left(), 60);
}

TEST_F(OffscreenView, SegmentedCaptionsAndSideCaptions)
{
    // The retail layout: a digit left of the bars, two groups over them and
    // a digit right of them.
    zeroMargins();
    gen().LR_margin = 1;
    gen().bar_val_clr = Qt::red;
    const double W = 240, bw = 2, L = 3, firstBar = 24, lastBar = 214;
    auto s = moduleSymbol(std::string(95, '1'), bw, 60, W, true);
    s->setCaptionHeight(0.2f);
    s->start = "101";
    s->first = float(firstBar);
    s->last = float(lastBar);
    s->leftText = "0";
    s->rightText = "5";
    s->captionText = "12345\t67890";

    const auto &measurer = gen().textMeasurer();
    const double S = W / 2 - L * bw - firstBar;
    auto segmentX = [&](const QString &segment, int j) {
        const double kj = (S - measurer.textSize(segment, gen().value_font).width()) / (2.0 * segment.size());
        return 3 * kj + firstBar + (j + 1) * L * bw + j * S + 1;
    };
    const double x0 = segmentX(QStringLiteral("12345"), 0);
    const double x1 = segmentX(QStringLiteral("67890"), 1);
    const double leftX = 0.25 * firstBar + 1;
    const double rightX = lastBar + 0.07 * W + 1;
    ASSERT_LT(leftX + 6, x0);
    ASSERT_LT(rightX, W);

    Scan scan(imageFromBarcode(*s), kDpi);
    // Each text starts at its own point (less the glyph's side bearing).
    EXPECT_NEAR(scan.extent(isReddish, leftX - 2, leftX + 6).left(), leftX, 1.0);
    EXPECT_NEAR(scan.extent(isReddish, x0 - 2, x0 + 6).left(), x0, 1.0);
    EXPECT_NEAR(scan.extent(isReddish, x1 - 2, x1 + 6).left(), x1, 1.0);
    EXPECT_NEAR(scan.extent(isReddish, rightX - 2, W).left(), rightX, 1.0);
    // Side captions stand 3 points higher than the groups.
    EXPECT_NEAR(scan.extent(isReddish, x0 - 2, x0 + 6).bottom() - scan.extent(isReddish, leftX - 2, leftX + 6).bottom(),
                3.0, 0.5);

    // An empty group between two tabs is skipped; the groups either side
    // keep their places.
    s->leftText.clear();
    s->rightText.clear();
    s->captionText = "12\t\t34";
    const double S3 = W / 3 - L * bw - firstBar;
    auto thirdX = [&](const QString &segment, int j) {
        const double kj = (S3 - measurer.textSize(segment, gen().value_font).width()) / (2.0 * segment.size());
        return 3 * kj + firstBar + (j + 1) * L * bw + j * S3 + 1;
    };
    const double a = thirdX(QStringLiteral("12"), 0);
    const double c = thirdX(QStringLiteral("34"), 2);
    Scan three(imageFromBarcode(*s), kDpi);
    EXPECT_NEAR(three.extent(isReddish).left(), a, 1.0);
    EXPECT_NEAR(three.extent(isReddish, c - 2, W).left(), c, 1.0);
    EXPECT_FALSE(three.extent(isReddish, a + 8, c - 2).isEmpty()); // the kerned "2" of the first group

    // What reaches the paint engine: two groups, at finite places with
    // finite spacing.
    RecordingDevice device;
    {
        QPainter p(&device);
        SymBarcodeOffscreenView::initWithBarcode(*s)->drawRect(p);
    }
    const auto &texts = device.engine().texts;
    ASSERT_EQ(texts.size(), 2u);
    for (const auto &t : texts) {
        EXPECT_TRUE(std::isfinite(t.position.x()) && std::isfinite(t.position.y())) << t.text.toStdString();
        EXPECT_TRUE(std::isfinite(t.letterSpacing)) << t.text.toStdString();
    }
    EXPECT_EQ(texts[0].text, QStringLiteral("12"));
    EXPECT_EQ(texts[1].text, QStringLiteral("34"));
}

TEST_F(OffscreenView, FrameIsTheWidestPartWithBarsCentred)
{
    zeroMargins();
    auto s = moduleSymbol("1111", 10, 40, 40);
    s->setHeader(QStringLiteral("HDR"));
    s->setPrintsHeader(true);
    s->setHeaderHeight(0.2f);
    s->setHeaderWidth(200);
    // The footer is wider still but not printed.
    s->setFooterWidth(300);
    s->setFooter(QStringLiteral("FTR"));

    auto view = SymBarcodeOffscreenView::initWithBarcode(*s);
    EXPECT_EQ(view->frame(), QRectF(0, 0, 200, 40));
    EXPECT_EQ(view->rectForPage(3), QRectF(0, 0, 40, 40));
    int first = 0, count = 0;
    EXPECT_TRUE(view->knowsPageRange(first, count));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(count, 1);

    Scan scan(imageFromBarcode(*s), kDpi);
    EXPECT_DOUBLE_EQ(scan.widthPt(), 200);
    const QRectF bars = scan.extent(isBlack);
    EXPECT_NEAR(bars.left(), 80, 0.3);
    EXPECT_NEAR(bars.right(), 120, 0.3);
}

TEST_F(OffscreenView, HeaderAndFooterAlignmentAndPlace)
{
    zeroMargins();
    gen().TB_margin = 2;
    gen().bar_hdr_clr = Qt::blue;
    gen().bar_ftr_clr = QColor(0, 160, 0);
    auto s = moduleSymbol("0", 1, 80, 200);
    s->setHeader(QStringLiteral("HEAD"));
    s->setFooter(QStringLiteral("FOOT"));
    s->setPrintsHeader(true);
    s->setPrintsFooter(true);
    s->setHeaderHeight(0.15f); // 10.8 points
    s->setFooterHeight(0.15f);

    auto header = [&](const QString &alignment) {
        gen().align_hdr = alignment;
        return Scan(imageFromBarcode(*s), kDpi).extent(isBluish);
    };
    const QRectF centre = header(QStringLiteral("Center"));
    const QRectF left = header(QStringLiteral("Left"));
    const QRectF right = header(QStringLiteral("Right"));
    const QRectF other = header(QStringLiteral("Middle"));
    ASSERT_FALSE(centre.isEmpty());
    EXPECT_NEAR(centre.center().x(), 100, 3);
    EXPECT_LT(left.left(), 3);
    EXPECT_GT(right.right(), 190);
    EXPECT_EQ(other, left); // an unknown item keeps the default alignment

    // The header line's box starts header height + top-bottom margin below
    // the top; the footer's box ends the top-bottom margin above the bottom.
    EXPECT_GT(centre.top(), 0);
    EXPECT_LT(centre.bottom(), 10.8 + 2);
    const QRectF footer = Scan(imageFromBarcode(*s), kDpi).extent(isGreenish);
    ASSERT_FALSE(footer.isEmpty());
    EXPECT_LT(footer.bottom(), 80 - 2);
    EXPECT_GT(footer.bottom(), 80 - 2 - 6);

    // Hidden or empty texts draw nothing.
    s->setPrintsFooter(false);
    s->setHeader(QString());
    const Scan none(imageFromBarcode(*s), kDpi);
    EXPECT_TRUE(none.extent(isBluish).isEmpty());
    EXPECT_TRUE(none.extent(isGreenish).isEmpty());
}

TEST_F(OffscreenView, ImageModeFramesThe2DImageUnderHeaderAndMargins)
{
    zeroMargins();
    gen().TB_margin = 2;
    gen().header_margin = 3;
    gen().setWidth(60);
    gen().setHeight(50);
    QImage square(20, 20, QImage::Format_RGB32);
    square.fill(Qt::black);
    const auto symbolImage = platform::Image::fromBitmap(square, QSizeF(20, 20));

    auto view = SymBarcodeOffscreenView::initWithBarcodeImage(symbolImage);
    EXPECT_TRUE(view->fromImageOrBarcode());
    EXPECT_EQ(view->frame(), QRectF(0, 0, 60, 50));
    EXPECT_TRUE(view->rectForPage(1).isEmpty());

    // No header: the top-bottom and header margins are still kept above it.
    Scan plain(imageFromBarcodeImage(symbolImage), kDpi);
    EXPECT_DOUBLE_EQ(plain.widthPt(), 60);
    EXPECT_DOUBLE_EQ(plain.heightPt(), 50);
    EXPECT_EQ(plain.extent(isBlack), QRectF(20, 5, 20, 20));
    EXPECT_EQ(plain.at(1, 1), QColor(Qt::white)); // white whatever the background well says

    gen().bar_hdr_clr = Qt::blue;
    gen().bar_ftr_clr = QColor(0, 160, 0);
    gen().setHeader(QStringLiteral("TOP"));
    gen().setFooter(QStringLiteral("END"));
    gen().setPrintsHeader(true);
    gen().setPrintsFooter(true);
    gen().setHeaderHeight(0.15f); // 10.8 points
    Scan framed(imageFromBarcodeImage(symbolImage), kDpi);
    EXPECT_NEAR(framed.extent(isBlack).top(), 2 + 10.8 + 3, 0.3);
    EXPECT_FALSE(framed.extent(isBluish).isEmpty());
    EXPECT_FALSE(framed.extent(isGreenish).isEmpty());
    EXPECT_LT(framed.extent(isBluish).bottom(), framed.extent(isBlack).top() + 1);
    EXPECT_GT(framed.extent(isGreenish).top(), framed.extent(isBlack).bottom());
}

TEST_F(OffscreenView, NoPictureWithoutAFrameOrAnImage)
{
    auto flat = moduleSymbol("0110", 1, 0, 10);
    EXPECT_TRUE(imageFromBarcode(*flat).isNull());
    EXPECT_TRUE(pdfFromBarcode(*flat).isEmpty());
    flat->setHeight(-5);
    EXPECT_TRUE(imageFromBarcode(*flat).isNull());

    EXPECT_TRUE(imageFromBarcodeImage(platform::Image()).isNull());
    QImage square(20, 20, QImage::Format_RGB32);
    square.fill(Qt::black);
    gen().setWidth(0);
    gen().setHeight(40);
    EXPECT_TRUE(imageFromBarcodeImage(platform::Image::fromBitmap(square)).isNull());
}

TEST_F(OffscreenView, PictureIsResolutionIndependent)
{
    zeroMargins();
    auto s = moduleSymbol("0110", 1, 20, 10);
    const platform::Image image = imageFromBarcode(*s);
    EXPECT_TRUE(image.isVector());
    EXPECT_EQ(image.size(), QSizeF(10, 20));
    // The same bar at 72 and at 720 dpi.
    EXPECT_EQ(Scan(image, 72).extent(isBlack), QRectF(4, 0, 2, 20));
    EXPECT_EQ(Scan(image, 720).extent(isBlack), QRectF(4, 0, 2, 20));
}
