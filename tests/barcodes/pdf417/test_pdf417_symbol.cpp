// Every symbol is read back by a real PDF417 reader.

#include "barcodes/pdf417/Pdf417Encoder.h"
#include "barcodes/pdf417/Pdf417View.h"
#include "tests/support/TestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace barcodes;
using quorvant::test::decodeBarcode;

namespace {

// The encoder's bitmap drawn with `moduleWidth` pixels per module and
// `rowHeight` pixels per row.
QImage symbolImage(const pdf417_record &p, int moduleWidth, int rowHeight)
{
    const bool inverted = p.options & PDF417_INVERT_BITMAP;
    const int bytesPerRow = p.lenBits / p.codeRows;
    QImage img(p.bitColumns * moduleWidth, p.codeRows * rowHeight, QImage::Format_Grayscale8);
    img.fill(Qt::white);
    QPainter painter(&img);
    for (int row = 0; row < p.codeRows; ++row)
        for (int col = 0; col < p.bitColumns; ++col) {
            const bool set = p.outBits[std::size_t(row * bytesPerRow + col / 8)] & (0x80 >> (col % 8));
            if (set != inverted)
                painter.fillRect(col * moduleWidth, row * rowHeight, moduleWidth, rowHeight, Qt::black);
        }
    return img;
}

std::string decodedBytes(const QImage &img)
{
    const auto result = decodeBarcode(img, ZXing::BarcodeFormat::PDF417);
    return result.valid ? result.bytes : std::string("<unreadable>");
}

std::string binaryText()
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes.push_back(char(i));
    std::mt19937 rng(417);
    std::shuffle(bytes.begin(), bytes.end(), rng);
    return bytes;
}

std::string longText()
{
    std::string text;
    for (int i = 0; text.size() < 300; ++i)
        text += "Record " + std::to_string(1000 + i * 7) + ": name=\"Ann O'Hara\"; id#" + std::to_string(i) + "\n";
    return text.substr(0, 300);
}

const std::vector<std::string> &sampleTexts()
{
    static const std::vector<std::string> texts = {
        "A",
        "PDF417",
        "12345678",
        "0123456789012345678901234567890123456789012345678901234567",
        "Hello, World! <tag> a.b@c.de #1 ~x~ 'q' {x} [y] MiXeD case; ;; ?!? \"quoted\"\ttab\r\nnext 1234567890123 end",
        "lower UPPER lower ::: mixed 42 %*= punct ;<> done",
        "AB\x01" "CD" "\x7f" "x\x1b" "yz",
        "Gr\u00fc\u00dfe aus K\u00f6ln \u2014 \u6771\u4eac \u2713",
        binaryText(),
        longText(),
    };
    return texts;
}

} // namespace

TEST(Pdf417Symbol, TextsReadBackAtEveryLevelAspectAndFixedSize)
{
    auto readBack = [](const std::string &text, int options, int level, float aspect, int columns, int rows) {
        pdf417_record p;
        pdf417_reset(p);
        p.text = text;
        p.lenText = int(text.size()); // the binary text holds a zero byte
        p.options = options;
        p.errorLevel = level;
        p.aspectRatio = aspect;
        p.codeColumns = columns;
        p.codeRows = rows;
        paintCode(p);
        EXPECT_EQ(p.error, PDF417_ERROR_SUCCESS) << text;
        EXPECT_GE(p.errorLevel, level);
        return decodedBytes(symbolImage(p, 2, 6));
    };
    for (const std::string &text : sampleTexts())
        for (int level : {0, 2, 5, 8})
            for (float aspect : {0.2f, 1.0f, 4.0f}) {
                const int options = PDF417_USE_ERROR_LEVEL | (level == 5 ? PDF417_INVERT_BITMAP : 0);
                EXPECT_EQ(readBack(text, options, level, aspect, 0, 0), text) << level << ", " << aspect;
            }
    const struct {
        int options, columns, rows;
    } sizes[] = {{PDF417_FIXED_COLUMNS, 2, 0},      {PDF417_FIXED_COLUMNS, 30, 0}, {PDF417_FIXED_ROWS, 0, 3},
                 {PDF417_FIXED_ROWS, 0, 90},        {PDF417_FIXED_RECTANGLE, 12, 90},
                 {PDF417_FIXED_RECTANGLE, 2, 3}};
    for (const auto &c : sizes)
        EXPECT_EQ(readBack(longText(), c.options, 0, 0.5f, c.columns, c.rows), longText()) << c.columns << c.rows;
    // 2708 digits make 926 data codewords: the whole symbol at level 0.
    std::string digits;
    for (int i = 0; i < 2708; ++i)
        digits.push_back(char('0' + (i * 7 + i / 10) % 10));
    EXPECT_EQ(readBack(digits, 0, 0, 0.5f, 0, 0), digits);
}

TEST(Pdf417Symbol, ViewMakesAnImageOfItsSizeAtTheResolutionOrNone)
{
    pdf417View view(QSizeF(200, 100));
    EXPECT_EQ(view.imageState(), pdf417View::EmptyText);
    ASSERT_EQ(view.drawWithText("PDF417", 600), pdf417View::ImageReady);
    EXPECT_EQ(view.record().codeRows, 13);
    EXPECT_EQ(view.getImage().size(), QSizeF(200, 100));
    EXPECT_EQ(view.getImage().bitmap().size(), QSize(1667, 834));
    EXPECT_EQ(decodedBytes(view.getImage().bitmap()), "PDF417");

    // A chosen level, another frame and resolution.
    view.setFrameSize(QSizeF(100, 20));
    view.setErrorLevel(4);
    ASSERT_EQ(view.drawWithText("0123", 300), pdf417View::ImageReady);
    EXPECT_EQ(view.record().errorLevel, 4);
    EXPECT_EQ(view.getImage().bitmap().size(), QSize(417, 84));
    EXPECT_EQ(decodedBytes(view.getImage().bitmap()), "0123");

    // Too long, empty, or no frame: no image, so no earlier one is reused.
    EXPECT_EQ(view.drawWithText(QString(5421, QChar('a')), 300), pdf417View::EncodingFailed);
    EXPECT_TRUE(view.getImage().isNull());
    ASSERT_EQ(view.drawWithText("second", 300), pdf417View::ImageReady);
    EXPECT_EQ(view.drawWithText("", 300), pdf417View::EmptyText);
    EXPECT_TRUE(view.getImage().isNull());
    view.setFrameSize(QSizeF());
    EXPECT_EQ(view.drawWithText("third", 300), pdf417View::EncodingFailed);
    EXPECT_TRUE(view.getImage().isNull());
}

TEST(Pdf417Symbol, DrawRectPaintsByState)
{
    pdf417View view(QSizeF(172, 52));
    auto paint = [&] {
        QImage canvas(172, 52, QImage::Format_RGB32);
        canvas.fill(Qt::red);
        QPainter painter(&canvas);
        view.drawRect(painter);
        return canvas;
    };
    EXPECT_EQ(paint().pixel(5, 5), QColor(Qt::lightGray).rgb());
    ASSERT_EQ(view.drawWithText("PDF417", 72), pdf417View::ImageReady);
    const QImage shown = paint();
    EXPECT_EQ(shown.pixel(0, 0), qRgb(0, 0, 0)); // the start pattern's first bar
    EXPECT_EQ(decodeBarcode(shown, ZXing::BarcodeFormat::PDF417).text, "PDF417");
    view.drawWithText(QString(6000, QChar('z')), 72);
    const QImage failed = paint();
    EXPECT_EQ(failed.pixel(171, 51), qRgb(255, 255, 255));
    int dark = 0; // the failure notice
    for (int y = 0; y < failed.height(); ++y)
        for (int x = 0; x < failed.width(); ++x)
            dark += qGray(failed.pixel(x, y)) < 128;
    EXPECT_GT(dark, 20);
}
