#include "platform/Image.h"
#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLoggingCategory>
#include <QPainter>
#include <QRegularExpression>
#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <new>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>
#include <sys/stat.h>

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

const QByteArray svgHead = R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" )"
                           R"(width="100" height="100" viewBox="0 0 100 100">)";

} // namespace

TEST(ImageValue, SizesInPointsGivePixelsAtAnyResolution)
{
    const Image img = Image::record(QSizeF(72, 36), [](QPainter &p) { p.fillRect(QRectF(0, 0, 36, 36), Qt::black); });
    for (double dpi : {72.0, 96.0, 300.0}) {
        const QImage bmp = img.toBitmap(dpi, Qt::white);
        EXPECT_EQ(bmp.size(), QSize(std::ceil(dpi), std::ceil(dpi / 2)));
        EXPECT_NEAR(blackRun(bmp, bmp.height() / 2), dpi / 2, 1.0) << dpi;
    }
    const QByteArray pdf = img.toPdf();
    const QRegularExpression page(R"(/MediaBox \[0 0 72(\.0*)? 36(\.0*)?\])");
    EXPECT_TRUE(pdf.startsWith("%PDF") && page.match(QString::fromLatin1(pdf)).hasMatch());

    // A 300 dpi bitmap of 300 x 150 pixels is an inch by half an inch.
    QImage px(300, 150, QImage::Format_RGB32);
    px.setDotsPerMeterX(int(300 / 0.0254));
    px.setDotsPerMeterY(int(300 / 0.0254));
    const QSizeF points = Image::fromBitmap(px).size();
    EXPECT_NEAR(points.width(), 72, 0.01);
    EXPECT_NEAR(points.height(), 36, 0.01);
}

TEST(ImageValue, WhatIsNoPictureReadsAsNullWithoutBlocking)
{
    const QString fifo = QDir::temp().filePath(QString("quorvant-fifo-%1").arg(QCoreApplication::applicationPid()));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    for (const QString &path : {QString("/nonexistent/file.png"), QDir::tempPath(), fifo})
        EXPECT_TRUE(Image::fromFile(path).isNull()) << path.toStdString();
    QFile::remove(fifo);
}

TEST(ImageSvg, RecordingSurvivesTheRoundTripAtTheSizeAskedFor)
{
    QImage photo(16, 8, QImage::Format_RGB32);
    photo.fill(Qt::blue);
    const Image original = Image::record(QSizeF(150.5, 80), [&](QPainter &p) {
        // Bars as a barcode draws them, text and a bitmap.
        for (int i = 0; i < 20; ++i)
            p.fillRect(QRectF(4 + i * 3.5, 4, i % 3 + 1, 40), Qt::black);
        QFont font("Liberation Sans");
        font.setPixelSize(12);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QRectF(4, 50, 80, 20), Qt::AlignLeft | Qt::AlignVCenter, "ID 1234");
        p.drawImage(QRectF(4, 68, 32, 10), photo);
    });
    const QByteArray svg = original.toSvg();
    EXPECT_TRUE(svg.contains(R"(viewBox="0 0 150.5 80")")) << svg.left(600).constData();

    const Image copy = Image::fromSvg(svg, original.size());
    ASSERT_TRUE(copy.isVector());
    const QImage before = original.toBitmap(144, Qt::white);
    const QImage after = copy.toBitmap(144, Qt::white);
    ASSERT_EQ(before.size(), QSize(301, 160));
    // Edges may antialias a little differently; nothing may move or vanish.
    EXPECT_LT(differingPixelShare(before, after, 48), 0.01);
    EXPECT_LT(differingPixelShare(before, after, 160), 0.002);
    QImage blank(before.size(), QImage::Format_ARGB32);
    blank.fill(Qt::white);
    EXPECT_GT(differingPixelShare(before, blank, 48), 0.1);

    EXPECT_EQ(Image::fromSvg(svg, QSizeF(301, 80)).toBitmap(72).size(), QSize(301, 80));

    // The checks against hostile data leave ordinary reuse alone.
    const QByteArray plain = svgHead + R"(<defs><rect id="bar" width="2" height="40"/></defs>)"
                                       R"(<use xlink:href="#bar" x="10"/><use xlink:href="#bar" x="20"/></svg>)";
    const QImage drawn = Image::fromSvg(plain, QSizeF(100, 100)).toBitmap(72, Qt::white);
    ASSERT_FALSE(drawn.isNull());
    EXPECT_EQ(qGray(drawn.pixel(11, 20)), 0);
    EXPECT_EQ(qGray(drawn.pixel(21, 20)), 0);
    EXPECT_EQ(qGray(drawn.pixel(15, 20)), 255);
}

TEST(ImageSvg, DamagedOrHostileDataIsRefusedOrDrawsPromptly)
{
    const QByteArray good = Image::record(QSizeF(100, 100), [](QPainter &p) { p.fillRect(10, 10, 50, 50, Qt::black); }).toSvg();
    const QSizeF size(100, 100);
    const double inf = std::numeric_limits<double>::infinity();
    for (QSizeF bad : {QSizeF(0, 10), QSizeF(20, -1), QSizeF(qQNaN(), 10), QSizeF(20, inf), QSizeF(14401, 10), QSizeF(20, 1e300)})
        EXPECT_TRUE(Image::fromSvg(good, bad).isNull()) << bad.width() << "x" << bad.height();

    const QByteArray nested = svgHead + QByteArray("<g>").repeated(100000) + "<rect width=\"10\" height=\"10\"/>"
                              + QByteArray("</g>").repeated(100000) + "</svg>";
    QByteArray chain = svgHead + "<defs><rect id=\"r0\" width=\"1\" height=\"1\"/>";
    for (int i = 1; i < 400; ++i)
        chain += QStringLiteral("<use id=\"r%1\" xlink:href=\"#r%2\"/>").arg(i).arg(i - 1).toUtf8();
    chain += "</defs><use xlink:href=\"#r399\"/></svg>";
    // Ten uses of ten uses of ... of one rectangle: 10^9 rectangles.
    QByteArray fanOut = svgHead + "<defs><rect id=\"l0\" width=\"1\" height=\"1\"/>";
    for (int level = 1; level <= 9; ++level)
        fanOut += QStringLiteral("<g id=\"l%1\">").arg(level).toUtf8()
                  + QStringLiteral("<use xlink:href=\"#l%1\"/>").arg(level - 1).toUtf8().repeated(10) + "</g>";
    fanOut += "</defs><use xlink:href=\"#l9\"/></svg>";
    const auto picture = [](const QByteArray &href) {
        return svgHead + "<image width=\"10\" height=\"10\" xlink:href=\"" + href + "\"/></svg>";
    };

    const QByteArray refused[] = {
        QByteArray(), good.left(good.size() / 2), QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11), "<svg><g></svg>",
        QByteArray(good).replace("</svg>", "<!--" + QByteArray(16 * 1024 * 1024, 'x') + "--></svg>"), // too large
        nested, chain, fanOut,
        svgHead + R"(<g id="a"><use xlink:href="#b"/></g><g id="b"><use xlink:href="#a"/></g></svg>)",
        // Pictures from a path, or SVG inside, would escape these checks.
        picture("/dev/zero"), picture("data:image/svg+xml;base64," + nested.toBase64()),
        picture("data:image/png;base64," + nested.toBase64()),
    };
    for (const QByteArray &data : refused)
        EXPECT_TRUE(Image::fromSvg(data, size).isNull()) << data.left(120).constData();

    // Absurd but drawable: whatever comes of it must draw and return.
    const QByteArray absurd[] = {
        svgHead + R"(<rect x="-1e30" y="-1e30" width="3e30" height="3e30" fill="red"/>)"
                  R"(<path d="M 1e38 1e38 L -1e38 -1e38 L 1e38 -1e38 Z" stroke="blue" stroke-width="1e30"/>)"
                  R"(<circle cx="50" cy="50" r="1e300"/></svg>)",
        svgHead + R"(<line x1="0" y1="0" x2="1e9" y2="1e9" stroke="black" stroke-dasharray="0.0001 0.0001"/>)"
                  R"(<path d="M -1e7 50 L 1e7 50" stroke="black" stroke-dasharray="0.001,0.001" fill="none"/></svg>)",
        svgHead + R"x(<g transform="scale(1e30)"><rect width="1e-28" height="1e-28"/></g>)x"
                  R"x(<g transform="matrix(0 0 0 0 0 0)"><rect width="10" height="10"/></g></svg>)x",
        svgHead + R"(<text x="0" y="50" font-size="1e9">Huge</text><text y="50" font-size="1e-9">Tiny</text></svg>)",
    };
    for (const QByteArray &data : absurd)
        if (const Image img = Image::fromSvg(data, size); !img.isNull())
            (void)img.toBitmap(300, Qt::white);
}

TEST(ImageValue, PngAndJpegDataIsKeptAndNothingElseIsDecodedAsThem)
{
    QImage pixels(30, 20, QImage::Format_RGB32);
    pixels.fill(QColor(20, 120, 220));
    const auto encode = [&](const char *format) {
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        pixels.save(&buffer, format);
        return data;
    };
    const QByteArray png = encode("PNG"), jpeg = encode("JPG"), bmp = encode("BMP");
    struct Row {
        const char *what;
        QByteArray data;
        QByteArray format;
        bool read;
    } const rows[] = {
        {"png", png, "png", true},
        {"jpeg", jpeg, "jpeg", true},
        {"png labelled jpeg", png, "jpeg", false},
        {"bmp labelled png", bmp, "png", false},
        {"png cut short", png.left(png.size() / 2), "png", false},
        {"no format", png, "", false},
    };
    for (const Row &row : rows) {
        const Image image = Image::fromEncoded(row.data, row.format, QSizeF(60, 40));
        EXPECT_EQ(!image.isNull(), row.read) << row.what;
        if (!row.read)
            continue;
        EXPECT_EQ(image.encoded(), row.data) << row.what;
        EXPECT_EQ(image.encodedFormat(), row.format) << row.what;
        EXPECT_EQ(image.size(), QSizeF(60, 40)) << row.what;
        EXPECT_EQ(image.bitmap().size(), pixels.size()) << row.what;
    }

    // A file's own bytes come with the picture read from it; a bitmap made
    // otherwise has none.
    quorvant::test::TempFolder tmp;
    const QString file = tmp.file("photo.jpeg");
    quorvant::test::writeTestFile(file, jpeg);
    EXPECT_EQ(Image::fromFile(file).encoded(), jpeg);
    EXPECT_TRUE(Image::fromBitmap(pixels).encoded().isEmpty());
}

namespace {

// Where the `n`th (from 1) start-of-scan marker of `jpeg` begins.
qsizetype startOfScan(const QByteArray &jpeg, int n)
{
    qsizetype at = -1;
    for (int i = 0; i < n; ++i)
        at = jpeg.indexOf("\xff\xda", at + 1);
    return at;
}

} // namespace

TEST(ImageValue, JpegDataCutShortOrWithBrokenSegmentsIsNoPicture)
{
    // The decoder draws such data with its lower part grey and only a
    // warning; the program must tell it from a whole picture.
    const QByteArray baseline = quorvant::test::photoJpeg(QSize(64, 48));
    const QByteArray progressive = quorvant::test::photoJpeg(QSize(64, 48), true);
    ASSERT_GT(startOfScan(progressive, 2), 0) << "the progressive picture has one scan";
    QByteArray comment = baseline;
    // A comment segment whose bytes look like the end-of-image marker.
    comment.insert(2, QByteArray("\xff\xfe\x00\x06\xff\xd9\xff\xd9", 8));
    QByteArray longSegment = baseline;
    // The first segment after the start claims more bytes than the data has.
    longSegment[4] = char(0xff);
    longSegment[5] = char(0xff);
    QByteArray stray = baseline;
    const qsizetype firstSegmentEnd = 4 + ((uchar(baseline[4]) << 8) | uchar(baseline[5]));
    stray.insert(firstSegmentEnd, "junk");
    // Bytes lost inside the compressed data: every segment still in place.
    QByteArray zeroed = baseline;
    const qsizetype scan = startOfScan(baseline, 1);
    const qsizetype scanData = scan + 2 + ((uchar(baseline[scan + 2]) << 8) | uchar(baseline[scan + 3]));
    zeroed.replace((scanData + baseline.size()) / 2, 16, QByteArray(16, '\0'));
    // A JFIF revision the decoder does not know, which it only warns about.
    QByteArray revision = baseline;
    ASSERT_EQ(revision.mid(6, 5), QByteArray("JFIF\0", 5));
    revision[11] = 3;
    const struct Row {
        const char *what;
        QByteArray data;
        bool read;
    } rows[] = {
        {"baseline", baseline, true},
        {"progressive", progressive, true},
        {"bytes after the end marker", baseline + "trailing", true},
        {"a comment holding the end marker's bytes", comment, true},
        {"an unknown JFIF revision", revision, true},
        {"cut in half", baseline.left(baseline.size() / 2), false},
        {"without the end marker", baseline.chopped(2), false},
        {"without the last byte", baseline.chopped(1), false},
        {"cut inside the tables", baseline.left(40), false},
        {"progressive cut before its second scan", progressive.left(startOfScan(progressive, 2)), false},
        {"progressive cut inside its last scan", progressive.chopped(20), false},
        {"a segment longer than the data", longSegment, false},
        {"stray bytes between segments", stray, false},
        {"bytes zeroed inside the scan", zeroed, false},
    };
    quorvant::test::TempFolder tmp;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const Image image = Image::fromEncoded(row.data, "jpeg", QSizeF(64, 48));
        EXPECT_EQ(!image.isNull(), row.read);
        EXPECT_FALSE(image.isDamaged());
        // The same as a file, as a photo bound to a record is read.
        const QString file = tmp.file(QString::fromLatin1(row.what) + ".jpg");
        quorvant::test::writeTestFile(file, row.data);
        EXPECT_EQ(!Image::fromFile(file).isNull(), row.read);
    }
    // What is refused here the decoder itself takes without an error.
    EXPECT_FALSE(QImage::fromData(baseline.left(baseline.size() / 2), "JPG").isNull());
    EXPECT_FALSE(QImage::fromData(zeroed, "JPG").isNull());

    // The same on a worker thread, and where the user's logging rules
    // silence the decoder's warnings.
    int decoded = 0;
    quorvant::test::runOnWorker([&] {
        EXPECT_TRUE(Image::fromEncoded(zeroed, "jpeg").isNull());
        EXPECT_FALSE(Image::fromEncoded(baseline, "jpeg").isNull());
        ++decoded;
    });
    EXPECT_EQ(decoded, 1);
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.jpeg.warning=false"));
    const bool silenced = Image::fromEncoded(zeroed, "jpeg").isNull();
    QLoggingCategory::setFilterRules(QString());
    EXPECT_TRUE(silenced);
}

TEST(ImageValue, AFileLargerThanAnyPictureIsNotRead)
{
    // Sparse files that start as pictures do, far past the bound: nothing of
    // them is read. Under an address-space limit a few hundred megabytes
    // above what the process uses, reading one whole would fail.
    quorvant::test::TempFolder tmp;
    const qint64 huge = qint64(3) << 30;
    const struct {
        const char *name;
        QByteArray head;
        qint64 size;
    } files[] = {
        {"huge.jpg", QByteArray("\xff\xd8\xff\xe0", 4), huge},
        {"huge.png", QByteArray("\x89PNG\r\n\x1a\n", 8), huge},
        {"huge.bmp", QByteArray("BM", 2), huge},
        {"just over.jpg", QByteArray("\xff\xd8\xff\xe0", 4), platform::kMostBytesReadWhole + 1},
    };
    for (const auto &f : files) {
        SCOPED_TRACE(f.name);
        QFile file(tmp.file(f.name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(f.head), f.head.size());
        ASSERT_TRUE(file.resize(f.size)); // no disk used
        file.close();
        bool read = true;
        QString failure;
        try {
            const quorvant::test::AddressSpaceLimit limit(256 * 1024);
            read = !Image::fromFile(file.fileName()).isNull();
        } catch (const std::bad_alloc &) {
            failure = "out of memory";
        }
        EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
        EXPECT_FALSE(read);
    }
}

namespace {

// What Qt's own JPEG reader makes of `data`, turned upright as the EXIF
// orientation says: the reference the program's decoder is held to.
QImage qtReads(const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(true);
    return reader.read();
}

// `jpeg` with an EXIF block after its JFIF header that holds only the
// orientation (1 to 8), in either byte order.
QByteArray withExifOrientation(const QByteArray &jpeg, int orientation, bool bigEndian)
{
    const auto u16 = [&](int v) {
        const char high = char(v >> 8), low = char(v & 0xff);
        return QByteArray(1, bigEndian ? high : low) + (bigEndian ? low : high);
    };
    const auto u32 = [&](int v) { return bigEndian ? u16(0) + u16(v) : u16(v) + u16(0); };
    // A TIFF header, one directory of one entry (tag, SHORT, count 1, the
    // value), no next directory.
    const QByteArray tiff = (bigEndian ? QByteArray("MM") : QByteArray("II")) + u16(42) + u32(8) + u16(1)
        + u16(0x0112) + u16(3) + u32(1) + u16(orientation) + u16(0) + u32(0);
    const QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
    const QByteArray segment = QByteArray("\xff\xe1") + char((body.size() + 2) >> 8) + char((body.size() + 2) & 0xff)
        + body;
    const qsizetype afterJfif = 4 + ((uchar(jpeg[4]) << 8) | uchar(jpeg[5]));
    return QByteArray(jpeg).insert(afterJfif, segment);
}

// JPEG data as libjpeg writes a busy pattern of `size` (a gentle gradient
// when `smooth`, a few bytes a block as a sky takes) with `components`: RGB
// for 3, CMYK for 4 (inverted, with the Adobe marker, as Adobe's programs
// write it, which Qt cannot), of no known colour space otherwise; `adjust`
// changes its settings before the write.
QByteArray libjpegWrites(QSize size, const std::function<void(jpeg_compress_struct &)> &adjust = {},
                         int components = 3, bool smooth = false)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&info, &out, &outSize);
    info.image_width = JDIMENSION(size.width());
    info.image_height = JDIMENSION(size.height());
    info.input_components = components;
    info.in_color_space = components == 3 ? JCS_RGB : components == 4 ? JCS_CMYK : JCS_UNKNOWN;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 85, TRUE);
    if (adjust)
        adjust(info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(size_t(size.width()) * components);
    while (info.next_scanline < info.image_height) {
        const int y = int(info.next_scanline);
        for (int x = 0; x < size.width(); ++x) {
            const int values[] = {smooth ? 100 + x / 8 : x * 7 + y * 3, smooth ? 150 + y / 8 : x * y,
                                  smooth ? 200 : x * x + y, x + y};
            for (int c = 0; c < components; ++c)
                row[size_t(x * components + c)] = JSAMPLE(values[c % 4] & 255);
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const QByteArray data(reinterpret_cast<const char *>(out), qsizetype(outSize));
    std::free(out);
    return data;
}

} // namespace

TEST(ImageValue, JpegIsJudgedByWhatItsDecoderReadsWhateverWarningComesFirst)
{
    const QByteArray clean = quorvant::test::photoJpeg(QSize(64, 48));
    const QImage pixels = Image::fromEncoded(clean, "jpeg").bitmap();
    ASSERT_FALSE(pixels.isNull());
    quorvant::test::TempFolder tmp;
    for (const auto &variant : quorvant::test::jpegVariants(clean)) {
        SCOPED_TRACE(variant.what);
        QString why = "unset";
        const Image image = Image::fromEncoded(variant.data, "jpeg", QSizeF(64, 48), &why);
        QString whyFile = "unset";
        const QString file = tmp.file(QString::fromLatin1(variant.what) + ".jpg");
        quorvant::test::writeTestFile(file, variant.data);
        const Image fromFile = Image::fromFile(file, &whyFile);
        if (variant.reason.isEmpty()) {
            ASSERT_FALSE(image.isNull()) << why.toStdString();
            EXPECT_EQ(image.bitmap(), pixels);
            EXPECT_EQ(image.encoded(), variant.data);
            EXPECT_EQ(fromFile.bitmap(), pixels);
            // The reference decoder draws the same.
            EXPECT_EQ(differingPixelShare(image.bitmap(), qtReads(variant.data), 0), 0.0);
        } else {
            EXPECT_TRUE(image.isNull());
            EXPECT_EQ(why, variant.reason);
            EXPECT_TRUE(fromFile.isNull());
            EXPECT_EQ(whyFile, variant.reason);
            // The image keeps the reason, so that nobody reads it again.
            EXPECT_EQ(fromFile.damage(), variant.reason);
            // Qt's reader draws each of them, with at most a warning.
            EXPECT_FALSE(qtReads(variant.data).isNull());
        }
    }

    // Reasons for what is no JPEG at all, or too large to read: a frame
    // that claims 60000 x 60000 pixels is refused before they are made.
    QByteArray huge = clean;
    const qsizetype frame = huge.indexOf("\xff\xc0");
    ASSERT_GT(frame, 0);
    huge.replace(frame + 5, 4, QByteArray("\xea\x60\xea\x60", 4));
    // Frames whose segments are all in place but which the decoder itself
    // gives up on (it must come back with the reason, never end the
    // process): past the largest side it takes, 12-bit samples, a sample
    // table that does not exist.
    QByteArray widest = clean;
    widest.replace(frame + 5, 4, QByteArray("\xff\xff\xff\xff", 4));
    QByteArray twelveBits = clean;
    twelveBits[frame + 4] = 12;
    QByteArray noTable = clean;
    const qsizetype tables = clean.indexOf("\xff\xdb");
    ASSERT_GT(tables, 0);
    noTable[tables + 4] = 0x17;
    const struct {
        const char *what;
        QByteArray data;
        QString reason;
    } others[] = {
        {"text", "not a picture at all", "it is not a picture"},
        {"a PNG named JPEG", QByteArray("\x89PNG\r\n\x1a\n", 8) + clean, "it is not a picture"},
        {"only a start marker", "\xff\xd8", "the picture ends early"},
        {"60000 x 60000 pixels", huge, "the picture is too large"},
        {"65535 x 65535 pixels", widest, "the picture is too large"},
        {"12-bit samples", twelveBits, "the picture is of a kind that is not supported"},
        {"a sample table numbered 7", noTable, "the picture's data is corrupt"},
    };
    for (const auto &other : others) {
        QString why;
        const quorvant::test::AddressSpaceLimit limit(512 * 1024);
        EXPECT_TRUE(Image::fromEncoded(other.data, "jpeg", {}, &why).isNull()) << other.what;
        EXPECT_EQ(why.toStdString(), other.reason.toStdString()) << other.what;
    }
}

namespace {

// What libjpeg itself, with an error manager that only listens, makes of
// JPEG data: the codes of the warnings it sends and of the error that ends
// it, in order, and the pixels when it reads to the end.
struct PlainDecode {
    std::vector<int> messages;
    QImage pixels;
};

struct ListeningErrors {
    jpeg_error_mgr manager;
    std::jmp_buf failed;
    std::vector<int> *messages;
};

// Nothing with a destructor lives in this frame, which an error jumps back to.
bool runPlainDecode(const QByteArray &data, std::vector<int> &messages, std::vector<JSAMPLE> &rgb, QSize &size)
{
    jpeg_decompress_struct info{};
    ListeningErrors errors{};
    errors.messages = &messages;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.emit_message = [](j_common_ptr common, int level) {
        if (level < 0)
            reinterpret_cast<ListeningErrors *>(common->err)->messages->push_back(common->err->msg_code);
    };
    errors.manager.error_exit = [](j_common_ptr common) {
        auto *listening = reinterpret_cast<ListeningErrors *>(common->err);
        listening->messages->push_back(common->err->msg_code);
        std::longjmp(listening->failed, 1);
    };
    if (setjmp(errors.failed)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(data.constData()), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    size = QSize(int(info.output_width), int(info.output_height));
    rgb.resize(size_t(size.width()) * size_t(size.height()) * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rgb.data() + size_t(info.output_scanline) * size_t(size.width()) * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

PlainDecode plainDecode(const QByteArray &data)
{
    PlainDecode out;
    std::vector<JSAMPLE> rgb;
    QSize size;
    if (runPlainDecode(data, out.messages, rgb, size)) {
        out.pixels = QImage(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(out.pixels.scanLine(y));
            for (int x = 0; x < size.width(); ++x) {
                const JSAMPLE *p = rgb.data() + (size_t(y) * size_t(size.width()) + size_t(x)) * 3;
                line[x] = qRgb(p[0], p[1], p[2]);
            }
        }
    }
    return out;
}

// Where the compressed data of the `n`th (from 1) scan of `jpeg` starts.
qsizetype scanDataOf(const QByteArray &jpeg, int n)
{
    const qsizetype scan = startOfScan(jpeg, n);
    return scan + 2 + ((uchar(jpeg[scan + 2]) << 8) | uchar(jpeg[scan + 3]));
}

QByteArray overwritten(QByteArray data, qsizetype at, const QByteArray &bytes)
{
    return data.replace(at, bytes.size(), bytes);
}

// Where the restart markers of the first scan of `jpeg` are.
std::vector<qsizetype> restartMarkers(const QByteArray &jpeg)
{
    std::vector<qsizetype> out;
    for (qsizetype at = scanDataOf(jpeg, 1); (at = jpeg.indexOf('\xff', at)) >= 0 && at + 1 < jpeg.size(); at += 2) {
        if (uchar(jpeg[at + 1]) >= 0xD0 && uchar(jpeg[at + 1]) <= 0xD7)
            out.push_back(at);
    }
    return out;
}

QByteArray zerosBeforeEveryRestart(QByteArray jpeg, int zeros)
{
    const std::vector<qsizetype> markers = restartMarkers(jpeg);
    for (auto at = markers.rbegin(); at != markers.rend(); ++at)
        jpeg.insert(*at, QByteArray(zeros, '\0'));
    return jpeg;
}

} // namespace

TEST(ImageValue, EveryMessageOfTheJpegDecoderIsJudgedByItsVerdict)
{
    // For each message a file can raise, a file that raises it first (as
    // libjpeg itself, only listening, reports): a whole one draws as the
    // file it was made from, pixel for pixel, and as libjpeg draws that;
    // the others are refused with their reason, decided by the first sign.
    const QSize size(64, 48);
    const QByteArray baseline = libjpegWrites(size);
    const QByteArray restarts = libjpegWrites(size, [](jpeg_compress_struct &i) { i.restart_interval = 1; });
    const QByteArray arithmetic = libjpegWrites(size, [](jpeg_compress_struct &i) { i.arith_code = TRUE; });
    const QByteArray progressive = libjpegWrites(size, [](jpeg_compress_struct &i) { jpeg_simple_progression(&i); });
    // With Adobe's marker, whose transform (byte 15) says YCbCr (1), or RGB
    // stored as it is (0).
    const QByteArray adobe = libjpegWrites(size, [](jpeg_compress_struct &i) {
        i.write_JFIF_header = FALSE;
        i.write_Adobe_marker = TRUE;
    });
    const QByteArray adobeRgb = libjpegWrites(size, [](jpeg_compress_struct &i) {
        i.write_JFIF_header = FALSE;
        jpeg_set_colorspace(&i, JCS_RGB);
    });
    const auto transform7 = [](const QByteArray &jpeg) { return overwritten(jpeg, jpeg.indexOf("\xff\xee") + 15, "\x07"); };
    ASSERT_EQ(adobeRgb[adobeRgb.indexOf("\xff\xee") + 15], 0);
    // Every coefficient of every component in a scan of its own.
    std::vector<jpeg_scan_info> oneByOne{{3, {0, 1, 2, 0}, 0, 0, 0, 0}};
    for (int c = 0; c < 3; ++c)
        for (int k = 1; k < 64; ++k)
            oneByOne.push_back({1, {c, 0, 0, 0}, k, k, 0, 0});
    const QByteArray manyScans = libjpegWrites(size, [&](jpeg_compress_struct &i) {
        i.scan_info = oneByOne.data();
        i.num_scans = int(oneByOne.size());
    });
    ASSERT_GT(startOfScan(manyScans, 190), 0);

    const qsizetype frame = baseline.indexOf("\xff\xc0");
    const qsizetype scan = startOfScan(baseline, 1);
    // Ss, Se and Ah/Al after the scan's components.
    const auto parameters = [](const QByteArray &jpeg) {
        const qsizetype at = startOfScan(jpeg, 1);
        return at + 5 + 2 * qsizetype(uchar(jpeg[at + 4]));
    };
    const std::vector<qsizetype> restart = restartMarkers(restarts);
    ASSERT_EQ(restart.size(), 11u);
    const qsizetype restart0 = restart[0];
    const qsizetype restart1 = restart[1];
    // The last two: the decoder has read ahead to them when the interval
    // before ends, and never reports what it skipped there.
    const qsizetype restart9 = restart[9];
    const qsizetype restart10 = restart[10];
    const QByteArray leadingZeros = QByteArray(restarts).insert(restart0, QByteArray(3, '\0'));
    // A sky of 256 x 192 pixels, a restart marker between each two of its
    // 192 blocks of a few bytes.
    const QByteArray sky =
        libjpegWrites({256, 192}, [](jpeg_compress_struct &i) { i.restart_interval = 1; }, 3, true);
    // The interval after restart marker 9 holding the data of the one after
    // marker 0, then two bytes of its own that no block uses: a scrambled
    // file that draws the wrong block there.
    const qsizetype ownData = restart9 + 2;
    const QByteArray copiedInterval = restarts.left(ownData) + restarts.mid(restart0 + 2, restart1 - restart0 - 2)
        + restarts.mid(ownData, 2) + restarts.mid(restart10);
    // The first scan of the progressive file twice over.
    const qsizetype scan1 = startOfScan(progressive, 1);
    const qsizetype scan2 = startOfScan(progressive, 2);
    const QByteArray twice = QByteArray(progressive).insert(scan2, progressive.mid(scan1, scan2 - scan1));
    // Past the first scan's data, a marker of the hierarchical process.
    const QByteArray hierarchical("\xff\xde\x00\x04\x00\x00", 6);
    const QByteArray twiceThenUnknown = QByteArray(twice).insert(startOfScan(twice, 3), hierarchical);
    const QByteArray ones = QByteArray("\xff\x00", 2).repeated(4);

    const QString whole;
    const QString corrupt = "the picture's data is corrupt";
    const QString unsupported = "the picture is of a kind that is not supported";
    const struct Row {
        const char *what;
        QByteArray data;
        int first;         // the message libjpeg sends first; -1 none
        QString reason;    // empty: drawn as `original`
        QByteArray original;
    } rows[] = {
        {"baseline", baseline, -1, whole, baseline},
        {"190 scans", manyScans, -1, whole, manyScans},
        {"Ah and Al 1 in a sequential scan", overwritten(baseline, parameters(baseline) + 2, "\x11"),
         JWRN_NOT_SEQUENTIAL, whole, baseline},
        {"Ah and Al 1 in an arithmetic scan", overwritten(arithmetic, parameters(arithmetic) + 2, "\x11"),
         JWRN_NOT_SEQUENTIAL, whole, arithmetic},
        {"JFIF 2.01", overwritten(baseline, 11, "\x02\x01"), JWRN_JFIF_MAJOR, whole, baseline},
        // Colours the decoder can only guess: here it guesses YCbCr.
        {"Adobe transform 7 for YCbCr", transform7(adobe), JWRN_ADOBE_XFORM, corrupt, {}},
        {"Adobe transform 7 for RGB", transform7(adobeRgb), JWRN_ADOBE_XFORM, corrupt, {}},
        {"zeros before a restart marker", QByteArray(restarts).insert(restart1, QByteArray(3, '\0')),
         JWRN_EXTRANEOUS_DATA, whole, restarts},
        {"zeros before every restart marker of a sky", zerosBeforeEveryRestart(sky, 2), JWRN_EXTRANEOUS_DATA, whole,
         sky},
        {"zeros before the end marker", QByteArray(baseline).insert(baseline.size() - 2, QByteArray(20, '\0')),
         JWRN_EXTRANEOUS_DATA, whole, baseline},
        {"other bytes before a restart marker", QByteArray(restarts).insert(restart1, "\x12\x34\x56"),
         JWRN_EXTRANEOUS_DATA, corrupt, {}},
        {"a byte amid zeros before a restart marker",
         QByteArray(restarts).insert(restart1, QByteArray(8, '\0') + '\x12' + QByteArray(8, '\0')), JWRN_EXTRANEOUS_DATA,
         corrupt, {}},
        {"other bytes before the last restart marker", QByteArray(restarts).insert(restart10, "\x12"), -1, corrupt,
         {}},
        {"zeros before the first restart marker, other bytes before the last",
         QByteArray(leadingZeros).insert(restart10 + 3, "\x12"), JWRN_EXTRANEOUS_DATA, corrupt, {}},
        {"an interval holding another's data", copiedInterval, -1, corrupt, {}},
        {"a restart marker numbered wrong", overwritten(restarts, restart0 + 1, "\xd1"), JWRN_MUST_RESYNC, corrupt, {}},
        {"a run of one bits in the scan", QByteArray(baseline).insert(scanDataOf(baseline, 1) + 200, ones),
         JWRN_HUFF_BAD_CODE, corrupt, {}},
        {"arithmetic data overwritten", overwritten(arithmetic, scanDataOf(arithmetic, 1), ones.repeated(5)),
         JWRN_ARITH_BAD_CODE, corrupt, {}},
        {"the scan cut, the end marker kept", baseline.left((scan + baseline.size()) / 2) + "\xff\xd9",
         JWRN_HIT_MARKER, corrupt, {}},
        {"a progressive scan twice", twice, JWRN_BOGUS_PROGRESSION, corrupt, {}},
        {"a progressive scan twice, then an unknown marker", twiceThenUnknown, JWRN_BOGUS_PROGRESSION, corrupt, {}},
        {"cut short", baseline.left(baseline.size() * 2 / 3), JWRN_JPEG_EOF, "the picture ends early", {}},
        {"12-bit samples", overwritten(baseline, frame + 4, "\x0c"), JERR_BAD_PRECISION, unsupported, {}},
        {"the lossless process", overwritten(baseline, frame + 1, "\xc3"), JERR_SOF_UNSUPPORTED, unsupported, {}},
        {"a marker of the hierarchical process", QByteArray(baseline).insert(frame, hierarchical),
         JERR_UNKNOWN_MARKER, unsupported, {}},
        {"a height left to a later marker", overwritten(baseline, frame + 5, QByteArray(2, '\0')),
         JERR_EMPTY_IMAGE, unsupported, {}},
        {"two components of no known colour space", libjpegWrites(size, {}, 2), JERR_CONVERSION_NOTIMPL,
         unsupported, {}},
        {"sampling factors of 5", overwritten(baseline, frame + 11, "\x55"), JERR_BAD_SAMPLING, corrupt, {}},
        {"more blocks to a unit than allowed", overwritten(overwritten(baseline, frame + 11, "\x44"), frame + 14, "\x44"),
         JERR_BAD_MCU_SIZE, corrupt, {}},
        {"a scan of an undefined table", overwritten(baseline, scan + 6, "\x33"), JERR_NO_HUFF_TABLE, corrupt, {}},
    };
    // The guess is wrong for RGB, and the scrambled interval draws another
    // block.
    EXPECT_GT(differingPixelShare(plainDecode(transform7(adobeRgb)).pixels, plainDecode(adobeRgb).pixels, 8), 0.5);
    EXPECT_GT(differingPixelShare(plainDecode(copiedInterval).pixels, plainDecode(restarts).pixels, 0), 0.0);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const PlainDecode plain = plainDecode(row.data);
        EXPECT_EQ(plain.messages.empty() ? -1 : plain.messages.front(), row.first);
        QString why = "unset";
        const Image image = Image::fromEncoded(row.data, "jpeg", {}, &why);
        if (row.reason.isEmpty()) {
            EXPECT_FALSE(image.isNull()) << why.toStdString();
            // Every message of the file is the oddity: the pixels are those
            // of the file without it.
            EXPECT_TRUE(std::all_of(plain.messages.begin(), plain.messages.end(), [&](int m) { return m == row.first; }));
            const QImage original = plainDecode(row.original).pixels;
            EXPECT_FALSE(original.isNull());
            EXPECT_EQ(differingPixelShare(plain.pixels, original, 0), 0.0);
            EXPECT_EQ(differingPixelShare(image.bitmap(), original, 0), 0.0);
        } else {
            EXPECT_TRUE(image.isNull());
            EXPECT_EQ(why.toStdString(), row.reason.toStdString());
            EXPECT_EQ(image.damage().toStdString(), row.reason.toStdString());
        }
    }
}

TEST(ImageValue, JpegOrientationColoursAndResolutionAreReadAsQtReadsThem)
{
    QImage grey(40, 30, QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x)
            grey.scanLine(y)[x] = uchar(x * 6 + y * 3);
    QByteArray greyJpeg;
    QBuffer buffer(&greyJpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(grey.save(&buffer, "JPG"));
    // Written at 300 dpi: 64 x 48 pixels show at 15.36 x 11.52 points.
    QImage photo = QImage::fromData(quorvant::test::photoJpeg(QSize(64, 48)));
    photo.setDotsPerMeterX(11811);
    photo.setDotsPerMeterY(11811);
    QByteArray photo300;
    QBuffer photoBuffer(&photo300);
    photoBuffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(photo.save(&photoBuffer, "JPG", 95));
    const QByteArray progressive = quorvant::test::photoJpeg(QSize(64, 48), true);

    std::vector<std::pair<QString, QByteArray>> rows{
        {"grey", greyJpeg}, {"CMYK", libjpegWrites(QSize(40, 30), {}, 4)}, {"300 dpi", photo300}, {"progressive", progressive}};
    for (int orientation = 1; orientation <= 8; ++orientation) {
        for (bool bigEndian : {false, true})
            rows.emplace_back(QStringLiteral("EXIF orientation %1, %2").arg(orientation).arg(bigEndian ? "MM" : "II"),
                              withExifOrientation(photo300, orientation, bigEndian));
    }
    // The reference turns the picture: the EXIF block is read.
    ASSERT_EQ(qtReads(withExifOrientation(photo300, 6, true)).size(), QSize(48, 64));
    for (const auto &[what, data] : rows) {
        SCOPED_TRACE(what.toStdString());
        const QImage expected = qtReads(data);
        ASSERT_FALSE(expected.isNull());
        QString why;
        const Image image = Image::fromEncoded(data, "jpeg", {}, &why);
        ASSERT_FALSE(image.isNull()) << why.toStdString();
        EXPECT_EQ(image.bitmap().size(), expected.size());
        EXPECT_EQ(differingPixelShare(image.bitmap(), expected, 0), 0.0);
        EXPECT_EQ(image.size(), Image::fromBitmap(expected).size());
    }
}

TEST(ImageValue, JpegDecodingLeavesTheUsersLoggingAlone)
{
    const QByteArray clean = quorvant::test::photoJpeg(QSize(64, 48));
    QByteArray damaged;
    for (const auto &variant : quorvant::test::jpegVariants(clean))
        if (QByteArray(variant.what) == "scrambled inside its scan")
            damaged = variant.data;
    ASSERT_FALSE(damaged.isEmpty());
    EXPECT_TRUE(Image::fromEncoded(damaged, "jpeg").isNull());

    // A handler installed after the first decode hears nothing of the
    // decoder, and the decoder still judges the data.
    static std::atomic<int> heard = 0;
    heard = 0;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) { ++heard; });
    const bool refused = Image::fromEncoded(damaged, "jpeg").isNull();
    const bool whole = !Image::fromEncoded(clean, "jpeg").isNull();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(refused);
    EXPECT_TRUE(whole);
    EXPECT_EQ(heard, 0);

    // The user's rules about Qt's JPEG category stand.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.jpeg.warning=false"));
    (void)Image::fromEncoded(damaged, "jpeg");
    const QLoggingCategory jpegCategory("qt.gui.imageio.jpeg");
    const bool forced = jpegCategory.isWarningEnabled();
    QLoggingCategory::setFilterRules(QString());
    EXPECT_FALSE(forced);
}
