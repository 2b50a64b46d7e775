#include "platform/Image.h"
#include "tests/support/TestSupport.h"

#include <QPainter>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <sys/stat.h>

#include <gtest/gtest.h>

using platform::Image;
using quorvant::test::differingPixelShare;

namespace {
int blackRun(const QImage &img, int y)
{
    int w = 0;
    while (w < img.width() && qGray(img.pixel(w, y)) < 64 && qAlpha(img.pixel(w, y)) > 192)
        ++w;
    return w;
}
} // namespace

TEST(ImageValue, RecordingRendersInPointsAtAnyResolution)
{
    Image img = Image::record(QSizeF(72, 36), [](QPainter &p) { p.fillRect(QRectF(0, 0, 36, 36), Qt::black); });
    ASSERT_TRUE(img.isVector());
    EXPECT_EQ(img.size(), QSizeF(72, 36));
    for (double dpi : {72.0, 96.0, 300.0}) {
        QImage bmp = img.toBitmap(dpi, Qt::white);
        EXPECT_EQ(bmp.width(), int(std::ceil(72 * dpi / 72)));
        EXPECT_EQ(bmp.height(), int(std::ceil(36 * dpi / 72)));
        EXPECT_NEAR(blackRun(bmp, bmp.height() / 2), dpi / 2, 1.0) << dpi;
    }
}

TEST(ImageValue, BitmapKeepsItsSizeInPoints)
{
    QImage px(300, 150, QImage::Format_RGB32);
    px.fill(Qt::black);
    px.setDotsPerMeterX(int(300 / 0.0254));
    px.setDotsPerMeterY(int(300 / 0.0254));
    Image img = Image::fromBitmap(px);
    EXPECT_NEAR(img.size().width(), 72, 0.01);
    EXPECT_NEAR(img.size().height(), 36, 0.01);
    EXPECT_FALSE(img.isVector());
    EXPECT_TRUE(Image().isNull());
    EXPECT_TRUE(Image::fromFile("/nonexistent/file.png").isNull());
    // A folder or a pipe is no picture, and reading one must not block.
    EXPECT_TRUE(Image::fromFile(QDir::tempPath()).isNull());
    const QString fifo = QDir::temp().filePath(QString("quorvant-fifo-%1").arg(QCoreApplication::applicationPid()));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    EXPECT_TRUE(Image::fromFile(fifo).isNull());
    QFile::remove(fifo);
    EXPECT_TRUE(Image().toBitmap(300).isNull());
}

TEST(ImageValue, PdfHasOnePageOfTheImageSize)
{
    Image img = Image::record(QSizeF(100, 50), [](QPainter &p) { p.drawLine(0, 0, 100, 50); });
    QByteArray pdf = img.toPdf();
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_TRUE(pdf.contains("/MediaBox [0 0 100 50]") || pdf.contains("/MediaBox [0 0 100.") )
        << pdf.left(2000).toStdString();
}

namespace {
// Draws what an SVG image holds at a print resolution; for hostile data the
// point is that this returns at all.
void drawIfAny(const Image &img)
{
    if (!img.isNull())
        (void)img.toBitmap(300, Qt::white);
}
} // namespace

TEST(ImageSvg, RecordingSurvivesTheRoundTrip)
{
    QImage photo(16, 8, QImage::Format_RGB32);
    photo.fill(Qt::blue);
    for (int x = 0; x < 8; ++x)
        photo.setPixelColor(x, x % 8, Qt::yellow);
    const Image original = Image::record(QSizeF(150.5, 80), [&](QPainter &p) {
        // Bars as a barcode draws them, a stroked outline, a filled shape,
        // text and an embedded bitmap.
        for (int i = 0; i < 20; ++i)
            p.fillRect(QRectF(4 + i * 3.5, 4, i % 3 + 1, 40), Qt::black);
        p.setPen(QPen(QColor(200, 0, 0), 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(80, 6, 60, 36));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 128, 0, 160));
        p.drawPolygon(QPolygonF({QPointF(90, 70), QPointF(140, 50), QPointF(145, 78)}));
        QFont font("Liberation Sans");
        font.setPixelSize(12);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QRectF(4, 50, 80, 20), Qt::AlignLeft | Qt::AlignVCenter, "ID 1234");
        p.drawImage(QRectF(4, 68, 32, 10), photo);
    });

    const QByteArray svg = original.toSvg();
    ASSERT_TRUE(svg.contains("<svg")) << svg.left(400).toStdString();
    EXPECT_TRUE(svg.contains(R"(viewBox="0 0 150.5 80")")) << svg.left(600).toStdString();

    const Image copy = Image::fromSvg(svg, original.size());
    ASSERT_FALSE(copy.isNull());
    EXPECT_TRUE(copy.isVector());
    EXPECT_EQ(copy.size(), original.size());
    const QImage before = original.toBitmap(144, Qt::white);
    const QImage after = copy.toBitmap(144, Qt::white);
    ASSERT_EQ(before.size(), QSize(301, 160));
    // Edges may antialias a little differently; nothing may move or vanish.
    EXPECT_LT(differingPixelShare(before, after, 48), 0.01);
    EXPECT_LT(differingPixelShare(before, after, 160), 0.002);
    // Not trivially equal because both are blank.
    QImage blank(before.size(), QImage::Format_ARGB32);
    blank.fill(Qt::white);
    EXPECT_GT(differingPixelShare(before, blank, 48), 0.1);

    // The SVG is drawn at the size asked for, whatever it says itself.
    const Image wider = Image::fromSvg(svg, QSizeF(301, 80));
    ASSERT_FALSE(wider.isNull());
    EXPECT_EQ(wider.toBitmap(72).size(), QSize(301, 80));

    EXPECT_TRUE(Image().toSvg().isEmpty());
}

TEST(ImageSvg, SizesAndDataBeyondBoundsGiveNoImage)
{
    const QByteArray svg = Image::record(QSizeF(20, 10), [](QPainter &p) { p.fillRect(0, 0, 10, 10, Qt::black); }).toSvg();
    ASSERT_FALSE(Image::fromSvg(svg, QSizeF(20, 10)).isNull());
    const double inf = std::numeric_limits<double>::infinity();
    for (QSizeF size : {QSizeF(0, 10), QSizeF(20, -1), QSizeF(qQNaN(), 10), QSizeF(20, inf), QSizeF(14401, 10),
                        QSizeF(20, 1e300)})
        EXPECT_TRUE(Image::fromSvg(svg, size).isNull()) << size.width() << "x" << size.height();

    // Over the size bound, even though it is a valid document.
    QByteArray big = svg;
    big.replace("</svg>", "<!--" + QByteArray(16 * 1024 * 1024, 'x') + "--></svg>");
    EXPECT_TRUE(Image::fromSvg(big, QSizeF(20, 10)).isNull());
}

TEST(ImageSvg, DamagedOrHostileDataIsRefusedOrDrawsPromptly)
{
    const QByteArray head = R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" )"
                            R"(width="100" height="100" viewBox="0 0 100 100">)";
    const QByteArray good = Image::record(QSizeF(100, 100), [](QPainter &p) {
                                p.fillRect(QRectF(10, 10, 50, 50), Qt::black);
                            }).toSvg();
    const QSizeF size(100, 100);

    // Not an SVG document at all: nothing to draw.
    for (const QByteArray &data : {QByteArray(), good.left(good.size() / 2), QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11),
                                   QByteArray("just some text"), QByteArray("<svg><g></svg>")})
        EXPECT_TRUE(Image::fromSvg(data, size).isNull()) << data.left(40).toStdString();

    // Structures that would exhaust the stack or multiply the work are
    // refused outright.
    QByteArray nested = head;
    for (int i = 0; i < 100000; ++i)
        nested += "<g>";
    nested += "<rect width=\"10\" height=\"10\"/>";
    for (int i = 0; i < 100000; ++i)
        nested += "</g>";
    nested += "</svg>";
    EXPECT_TRUE(Image::fromSvg(nested, size).isNull());

    QByteArray chain = head + "<defs><rect id=\"r0\" width=\"1\" height=\"1\"/>";
    for (int i = 1; i < 400; ++i)
        chain += QStringLiteral("<use id=\"r%1\" xlink:href=\"#r%2\"/>").arg(i).arg(i - 1).toUtf8();
    chain += "</defs><use xlink:href=\"#r399\"/></svg>";
    EXPECT_TRUE(Image::fromSvg(chain, size).isNull());

    // Ten uses of ten uses of ... of one rectangle: 10^9 rectangles.
    QByteArray fanOut = head + "<defs><rect id=\"l0\" width=\"1\" height=\"1\"/>";
    for (int level = 1; level <= 9; ++level) {
        fanOut += QStringLiteral("<g id=\"l%1\">").arg(level).toUtf8();
        for (int i = 0; i < 10; ++i)
            fanOut += QStringLiteral("<use xlink:href=\"#l%1\"/>").arg(level - 1).toUtf8();
        fanOut += "</g>";
    }
    fanOut += "</defs><use xlink:href=\"#l9\"/></svg>";
    EXPECT_TRUE(Image::fromSvg(fanOut, size).isNull());

    const QByteArray loop = head + R"(<g id="a"><use xlink:href="#b"/></g><g id="b"><use xlink:href="#a"/></g></svg>)";
    EXPECT_TRUE(Image::fromSvg(loop, size).isNull());

    // A picture read from a path instead of carried in the data, and an SVG
    // picture inside one, which would be drawn without any of these checks.
    const QByteArray outside = head + R"(<image width="10" height="10" xlink:href="/dev/zero"/></svg>)";
    EXPECT_TRUE(Image::fromSvg(outside, size).isNull());
    const QByteArray inner = nested.toBase64();
    for (const QByteArray &label : {QByteArray("image/svg+xml"), QByteArray("image/png")}) {
        const QByteArray wrapped =
            head + "<image width=\"10\" height=\"10\" xlink:href=\"data:" + label + ";base64," + inner + "\"/></svg>";
        EXPECT_TRUE(Image::fromSvg(wrapped, size).isNull()) << label.toStdString();
    }

    // Drawable, however absurd: whatever comes of it must draw and return.
    const QByteArray hostile[] = {
        head + R"(<rect x="-1e30" y="-1e30" width="3e30" height="3e30" fill="red"/>)"
               R"(<path d="M 1e38 1e38 L -1e38 -1e38 L 1e38 -1e38 Z" stroke="blue" stroke-width="1e30"/>)"
               R"(<circle cx="50" cy="50" r="1e300"/></svg>)",
        head + R"(<line x1="0" y1="0" x2="1e9" y2="1e9" stroke="black" stroke-width="0.5" )"
               R"(stroke-dasharray="0.0001 0.0001"/>)"
               R"(<path d="M -1e7 50 L 1e7 50" stroke="black" stroke-dasharray="0.001,0.001" fill="none"/></svg>)",
        head + R"x(<g transform="scale(1e30)"><rect width="1e-28" height="1e-28"/></g>)x"
               R"x(<g transform="matrix(0 0 0 0 0 0)"><rect width="10" height="10"/></g></svg>)x",
        head + R"(<text x="0" y="50" font-size="1e9">Huge</text><text x="0" y="50" font-size="1e-9">Tiny</text></svg>)",
    };
    for (const QByteArray &data : hostile)
        drawIfAny(Image::fromSvg(data, size));

    // The guard leaves ordinary documents alone.
    const QByteArray plain = head + R"(<defs><rect id="bar" width="2" height="40"/></defs>)"
                                    R"(<use xlink:href="#bar" x="10"/><use xlink:href="#bar" x="20"/></svg>)";
    const Image bars = Image::fromSvg(plain, size);
    ASSERT_FALSE(bars.isNull());
    const QImage drawn = bars.toBitmap(72, Qt::white);
    EXPECT_EQ(qGray(drawn.pixel(11, 20)), 0);
    EXPECT_EQ(qGray(drawn.pixel(21, 20)), 0);
    EXPECT_EQ(qGray(drawn.pixel(15, 20)), 255);
}
