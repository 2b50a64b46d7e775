// The QR front end: capacity checks, the module grid, the rendered image and
// what a real reader makes of it.
#include "barcodes/imaging/ImageResolution.h"
#include "barcodes/qr/QRFrontEnd.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>

using barcodes::DataMatrix;
using barcodes::QRFrontEnd;

namespace {

enum { L = 0, M = 1, Q = 2, H = 3 };

std::string scanGrid(const DataMatrix &grid)
{
    const QImage img = QRFrontEnd::renderModules(grid, int(grid.dimension()) * 3);
    const auto d = quorvant::test::decodeBarcode(img, ZXing::BarcodeFormat::QRCode);
    EXPECT_TRUE(d.valid);
    EXPECT_FALSE(d.mirrored);
    return d.text;
}

std::int64_t sideOf(int level, int version, const std::string &text)
{
    auto grid = QRFrontEnd::encodeCStringWithECLevel(level, version, text.c_str());
    return grid ? grid->dimension() : 0;
}

// Restores the process-wide resolution after a test changes it.
struct DpiGuard {
    int saved = barcodes::USED_DPI_VALUE.load();
    ~DpiGuard() { barcodes::USED_DPI_VALUE = saved; }
};

} // namespace

TEST(QRFrontEndCapacity, AutomaticVersionTakesTheSmallestThatHolds)
{
    EXPECT_EQ(sideOf(L, 0, std::string(17, 'a')), 21);
    EXPECT_EQ(sideOf(L, 0, std::string(18, 'a')), 25);
    EXPECT_EQ(sideOf(L, 0, std::string(41, '1')), 21);
    EXPECT_EQ(sideOf(L, 0, std::string(42, '1')), 25);
    EXPECT_EQ(sideOf(H, 0, std::string(1273, 'a')), 177);
    EXPECT_EQ(sideOf(H, 0, std::string(1274, 'a')), 0);
    EXPECT_EQ(sideOf(M, 0, ""), 0);
    // Mostly digits with one lower-case letter: more than the 8-bit capacity
    // table allows, but the digits go out as a numeric block.
    const std::string mixed = "a" + std::string(5000, '4');
    auto grid = QRFrontEnd::encodeCStringWithECLevel(L, 0, mixed.c_str());
    ASSERT_TRUE(grid);
    EXPECT_EQ(scanGrid(*grid), mixed);
    EXPECT_EQ(QRFrontEnd::encodeCStringWithECLevel(M, 0, nullptr), nullptr);
    // The largest symbol's numeric capacity is the bound for any text.
    EXPECT_EQ(sideOf(L, 0, std::string(7089, '7')), 177);
    EXPECT_EQ(sideOf(L, 0, std::string(7090, '7')), 0);
    EXPECT_EQ(sideOf(L, 0, std::string(1 << 20, '7')), 0);
    EXPECT_EQ(sideOf(4, 0, "LEVEL"), 0);
    EXPECT_EQ(sideOf(M, 41, "VERSION"), 0);
}

TEST(QRFrontEndCapacity, RequestedVersionBoundsTheText)
{
    EXPECT_EQ(sideOf(M, 2, std::string(26, 'a')), 25);
    EXPECT_EQ(sideOf(M, 2, std::string(27, 'a')), 0);
    EXPECT_EQ(sideOf(Q, 10, "SMALL"), 57);
    // Kanji capacity counts characters of two bytes: ten fit version 1 at L.
    std::string kanji;
    for (int i = 0; i < 10; ++i)
        kanji += std::string("\x93") + char('A' + i);
    auto grid = QRFrontEnd::encodeCStringWithECLevel(L, 1, kanji.c_str());
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->dimension(), 21);
    EXPECT_FALSE(scanGrid(*grid).empty());
    EXPECT_EQ(sideOf(L, 1, kanji + "\x93Z"), 0);
}

TEST(QRFrontEndScan, TextsOfEveryKindReadBack)
{
    const std::string url = "https://www.example.org/badges/2026/visitor?id=0042&name=Jane%20Doe&event=Expo%20Hall%20B1";
    const char *texts[] = {"HELLO WORLD", "01234567", "hello", "€", "日本", "Grüße aus Köln, 12 €", url.c_str()};
    for (int level = L; level <= H; ++level)
        for (const char *text : texts) {
            auto grid = QRFrontEnd::encodeWithECLevel(level, 0, QString::fromUtf8(text));
            ASSERT_TRUE(grid) << text;
            EXPECT_EQ(scanGrid(*grid), text);
        }
    // A version larger than needed is kept; a long text moves to a large one.
    auto v20 = QRFrontEnd::encodeWithECLevel(M, 20, "Twenty");
    ASSERT_TRUE(v20);
    EXPECT_EQ(v20->dimension(), 97);
    EXPECT_EQ(scanGrid(*v20), "Twenty");
    const QString longText = QString("Quorvant ").repeated(150);
    auto big = QRFrontEnd::encodeWithECLevel(Q, 0, longText);
    ASSERT_TRUE(big);
    EXPECT_GT(big->dimension(), 100);
    EXPECT_EQ(scanGrid(*big), longText.toStdString());
}

TEST(QRFrontEndRender, ScaleAndMargins)
{
    DataMatrix grid(21);
    for (int i = 0; i < 21; ++i)
        grid.set(1, i, i); // a diagonal of dark modules
    const QImage at60 = QRFrontEnd::renderModules(grid, 60);
    ASSERT_EQ(at60.size(), QSize(60, 60));
    EXPECT_EQ(at60.pixelColor(8, 8).alpha(), 0);        // top-left margin, transparent
    EXPECT_EQ(at60.pixelColor(9, 9), QColor(Qt::black)); // first module, 2 x 2 pixels
    EXPECT_EQ(at60.pixelColor(10, 10), QColor(Qt::black));
    EXPECT_EQ(at60.pixelColor(11, 9), QColor(Qt::white)); // light module, opaque
    EXPECT_EQ(at60.pixelColor(11, 9).alpha(), 255);
    EXPECT_EQ(at60.pixelColor(50, 50), QColor(Qt::black)); // last module ends at 51
    EXPECT_EQ(at60.pixelColor(51, 51).alpha(), 0);        // right and bottom margins of 9

    const QImage at64 = QRFrontEnd::renderModules(grid, 64);
    EXPECT_EQ(at64.pixelColor(0, 0), QColor(Qt::black)); // scale 3, no left margin
    EXPECT_EQ(at64.pixelColor(62, 62), QColor(Qt::black));
    EXPECT_EQ(at64.pixelColor(63, 63).alpha(), 0); // one pixel on the right and bottom
    EXPECT_EQ(at64.pixelColor(63, 0).alpha(), 0);

    // A side below the module count is raised to it.
    const QImage small = QRFrontEnd::renderModules(grid, 10);
    ASSERT_EQ(small.size(), QSize(21, 21));
    EXPECT_EQ(small.pixelColor(20, 20), QColor(Qt::black));
    EXPECT_TRUE(QRFrontEnd::renderModules(DataMatrix(0), 60).isNull());
    EXPECT_TRUE(QRFrontEnd::renderDataMatrix(DataMatrix(0), 60).isNull());
}

TEST(QRFrontEndRender, ResampledToTheBarcodeResolution)
{
    DpiGuard guard;
    barcodes::USED_DPI_VALUE = 600;
    auto grid = QRFrontEnd::encodeWithECLevel(M, 0, "RESOLUTION 600");
    ASSERT_TRUE(grid);
    const platform::Image image = QRFrontEnd::renderDataMatrix(*grid, 60);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSizeF(60, 60));
    EXPECT_EQ(image.bitmap().size(), QSize(500, 500));
    const auto d = quorvant::test::decodeBarcode(image.bitmap(), ZXing::BarcodeFormat::QRCode);
    EXPECT_EQ(d.text, "RESOLUTION 600");
    EXPECT_FALSE(d.mirrored);

    // Auto with a dimension smaller than the symbol that the text needs.
    auto large = QRFrontEnd::encodeWithECLevel(H, 0, QString(200, QChar('z')));
    ASSERT_TRUE(large);
    const platform::Image raised = QRFrontEnd::renderDataMatrix(*large, 21);
    ASSERT_FALSE(raised.isNull());
    EXPECT_EQ(raised.size().width(), double(large->dimension()));
    EXPECT_EQ(quorvant::test::decodeBarcode(raised.bitmap(), ZXing::BarcodeFormat::QRCode).text,
              std::string(200, 'z'));
}

TEST(QRGrid, ValuesAndDescription)
{
    DataMatrix grid(2);
    grid.set(1, 1, 0);
    EXPECT_EQ(grid.description(), "01\n00\n");
    EXPECT_EQ(grid.valueAt(1, 0), 1);
    // Outside the grid nothing is written and 0 is read.
    grid.set(1, 2, 0);
    grid.set(1, -1, 1);
    EXPECT_EQ(grid.valueAt(2, 0), 0);
    EXPECT_EQ(grid.description(), "01\n00\n");
}

TEST(QRSizeMinimum, FollowsTheVersion)
{
    using barcodes::Check_And_Set_QR_size_Acc_Version;
    EXPECT_EQ(Check_And_Set_QR_size_Acc_Version(0, 10).minimum, 21);
    EXPECT_EQ(Check_And_Set_QR_size_Acc_Version(1, 10).side, 21);
    EXPECT_EQ(Check_And_Set_QR_size_Acc_Version(2, 10).minimum, 25);
    EXPECT_EQ(Check_And_Set_QR_size_Acc_Version(40, 60).side, 177);
    EXPECT_EQ(Check_And_Set_QR_size_Acc_Version(10, 60).side, 60);
    EXPECT_EQ(Check_And_Set_QR_size_Acc_Version(11, 60).side, 61);
}
