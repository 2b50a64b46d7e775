// The QR front end: what fits which version, and the grids and images it
// makes read back by a real reader.
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
    EXPECT_FALSE(d.mirrored);
    return d.valid ? d.text : "<unreadable>";
}

} // namespace

TEST(QRFrontEnd, SideFollowsTheCapacityTables)
{
    // Capacities of ISO/IEC 18004 Table 7; 0 means no symbol.
    std::string kanji; // ten Shift JIS characters fit version 1 at L
    for (int i = 0; i < 10; ++i)
        kanji += std::string("\x93") + char('A' + i);
    const struct {
        int level, version;
        std::string text;
        std::int64_t side;
    } cases[] = {
        {L, 0, std::string(17, 'a'), 21},   {L, 0, std::string(18, 'a'), 25},    {L, 0, std::string(41, '1'), 21},
        {L, 0, std::string(42, '1'), 25},   {H, 0, std::string(1273, 'a'), 177}, {H, 0, std::string(1274, 'a'), 0},
        {L, 0, std::string(7089, '7'), 177}, {L, 0, std::string(7090, '7'), 0},  {L, 0, std::string(1 << 20, '7'), 0},
        {M, 0, "", 0},                      {4, 0, "LEVEL", 0},                  {M, 41, "VERSION", 0},
        // A requested version bounds the text by its overall mode's capacity.
        {M, 2, std::string(26, 'a'), 25},   {M, 2, std::string(27, 'a'), 0},     {Q, 10, "SMALL", 57},
        {L, 1, kanji, 21},                  {L, 1, kanji + "\x93Z", 0},
    };
    for (const auto &c : cases) {
        const auto grid = QRFrontEnd::encodeCStringWithECLevel(c.level, c.version, c.text.c_str());
        EXPECT_EQ(grid ? grid->dimension() : 0, c.side) << c.text.size() << " at " << c.level << "/" << c.version;
    }
    EXPECT_EQ(QRFrontEnd::encodeCStringWithECLevel(M, 0, nullptr), nullptr);
    // Mostly digits with one lower-case letter: more than the 8-bit table
    // allows, but the digits go out as a numeric block.
    const std::string mixed = "a" + std::string(5000, '4');
    EXPECT_EQ(scanGrid(*QRFrontEnd::encodeCStringWithECLevel(L, 0, mixed.c_str())), mixed);
}

TEST(QRFrontEnd, TextsGoOutAsUtf8AndReadBack)
{
    for (int level = L; level <= H; ++level)
        for (const char *text : {"HELLO WORLD", "01234567", "日本", "Grüße aus Köln, 12 €"}) {
            auto grid = QRFrontEnd::encodeWithECLevel(level, 0, QString::fromUtf8(text));
            ASSERT_TRUE(grid) << text;
            EXPECT_EQ(scanGrid(*grid), text);
        }
}

TEST(QRFrontEnd, ImagesKeepWholeModulesCentredAtTheResolution)
{
    DataMatrix grid(21);
    for (int i = 0; i < 21; ++i)
        grid.set(1, i, i); // a diagonal of dark modules
    grid.set(1, 21, 0);    // outside the grid: nothing is written
    EXPECT_EQ(grid.valueAt(21, 0), 0);
    // 60 pixels: modules of 2, margins of 9, transparent; light modules
    // opaque white.
    const QImage at60 = QRFrontEnd::renderModules(grid, 60);
    ASSERT_EQ(at60.size(), QSize(60, 60));
    EXPECT_EQ(at60.pixelColor(8, 8).alpha(), 0);
    EXPECT_EQ(at60.pixelColor(9, 9), QColor(Qt::black));
    EXPECT_EQ(at60.pixelColor(10, 10), QColor(Qt::black));
    EXPECT_EQ(at60.pixelColor(11, 9), QColor(Qt::white));
    EXPECT_EQ(at60.pixelColor(50, 50), QColor(Qt::black));
    EXPECT_EQ(at60.pixelColor(51, 51).alpha(), 0);
    // A side below the module count is raised to it.
    EXPECT_EQ(QRFrontEnd::renderModules(grid, 10).size(), QSize(21, 21));
    EXPECT_TRUE(QRFrontEnd::renderDataMatrix(DataMatrix(0), 60, 600).isNull());

    const auto text = QRFrontEnd::encodeWithECLevel(M, 0, "RESOLUTION 600");
    const platform::Image image = QRFrontEnd::renderDataMatrix(*text, 60, 600);
    EXPECT_EQ(image.size(), QSizeF(60, 60));
    EXPECT_EQ(image.bitmap().size(), QSize(500, 500));
    EXPECT_EQ(quorvant::test::decodeBarcode(image.bitmap(), ZXing::BarcodeFormat::QRCode).text, "RESOLUTION 600");
}

TEST(QRFrontEnd, MinimumSideFollowsTheVersion)
{
    using barcodes::Check_And_Set_QR_size_Acc_Version;
    EXPECT_EQ(Check_And_Set_QR_size_Acc_Version(0, 10).minimum, 21);
    EXPECT_EQ(Check_And_Set_QR_size_Acc_Version(2, 10).minimum, 25);
    EXPECT_EQ(Check_And_Set_QR_size_Acc_Version(40, 60).side, 177);
    EXPECT_EQ(Check_And_Set_QR_size_Acc_Version(10, 60).side, 60);
    EXPECT_EQ(Check_And_Set_QR_size_Acc_Version(11, 60).side, 61);
}
