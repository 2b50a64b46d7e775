// The export's files as outside tools read them: format, pixel size,
// recorded resolution and content; the combined picture; back-file naming;
// folders and files that are never left half made.
#include "output/export/ExportPaths.h"
#include "output/export/ImageFiles.h"
#include "platform/Image.h"
#include "tests/output/CardFixtures.h"

#include <QDir>
#include <QPainter>
#include <QFileInfo>
#include <QRandomGenerator>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace quorvant::test;

namespace {

// 100 x 50 pt: red on the left half, nothing on the right.
platform::Image halfRedCard()
{
    return platform::Image::record(QSizeF(100, 50), [](QPainter &p) { p.fillRect(QRectF(0, 0, 50, 50), Qt::red); });
}


platform::Image plain(QSizeF size, const QColor &colour)
{
    return platform::Image::record(size, [&](QPainter &p) { p.fillRect(QRectF(QPointF(0, 0), size), colour); });
}

TEST(ImageFiles, EveryFormatIsWrittenAsItselfAtItsResolution)
{
    struct Row {
        const char *name;
        int dpi;
        const char *format; // as identify names it
        int width, height;  // ceil(points x dpi / 72)
        bool alpha;
    };
    const Row rows[] = {
        {"card.TIFF", 150, "TIFF", 209, 105, true},
        {"card.PNG", 150, "PNG", 209, 105, true},
        {"card.JPEG", 150, "JPEG", 209, 105, false},
        {"card.BMP", 150, "BMP3", 209, 105, false},
        {"card.PNG", 72, "PNG", 100, 50, true},
        {"card.TIFF", 300, "TIFF", 417, 209, true},
        {"lower.jpg", 96, "JPEG", 134, 67, false},
        // An extension we do not know: the writer's own format, PNG.
        {"card.xyz", 150, "PNG", 209, 105, true},
    };
    const TempFolder tmp;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name + std::to_string(row.dpi));
        const QString path = tmp.file(row.name);
        QString error;
        ASSERT_TRUE(output::Save_gen_image(halfRedCard(), path, row.dpi, &error)) << error.toStdString();
        const FileFacts facts = identifyFile(path);
        EXPECT_EQ(facts.format, row.format);
        EXPECT_EQ(facts.width, row.width);
        EXPECT_EQ(facts.height, row.height);
        EXPECT_NEAR(facts.dpi, row.dpi, 0.05);
        EXPECT_EQ(facts.alpha, row.alpha);
        // What is drawn is red; what is not is clear, or white where the
        // format has no transparency.
        const QImage back(path);
        EXPECT_TRUE(looksLike(back, row.width / 4, row.height / 2, Qt::red));
        EXPECT_TRUE(looksLike(back, row.width * 3 / 4, row.height / 2, row.alpha ? Qt::transparent : Qt::white));
    }
    // A card that covers every pixel needs no alpha channel.
    const QString opaque = tmp.file("opaque.PNG");
    ASSERT_TRUE(output::Save_gen_image(plain(QSizeF(100, 50), Qt::red), opaque, 72));
    EXPECT_FALSE(identifyFile(opaque).alpha);
    EXPECT_TRUE(looksLike(QImage(opaque), 50, 25, Qt::red));
}

TEST(ImageFiles, CombinedPictureHoldsTheFrontAboveTheBack)
{
    struct Row {
        const char *what;
        QSizeF front, back;
        double dpi;
        QSize pixels;
    };
    const Row rows[] = {
        // One pixel per point, trunc(W) x trunc(2H).
        {"CR80 at 72 dpi", QSizeF(242.64, 153.36), QSizeF(242.64, 153.36), 72, QSize(242, 306)},
        // 3.37 x 2.13 in: 1011 x 639 pixels a side.
        {"CR80 at 300 dpi", QSizeF(242.64, 153.36), QSizeF(242.64, 153.36), 300, QSize(1011, 1278)},
        // A smaller back sits on the lower-left corner.
        {"smaller back", QSizeF(100, 50), QSizeF(60, 40), 72, QSize(100, 100)},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const QImage both = output::combinedPixels(plain(row.front, Qt::red), plain(row.back, Qt::blue), row.dpi);
        ASSERT_EQ(both.size(), row.pixels);
        const int w = both.width(), h = both.height();
        EXPECT_TRUE(looksLike(both, w / 4, h / 4, Qt::red));
        EXPECT_TRUE(looksLike(both, 2, h - 3, Qt::blue));
        const bool smallerBack = row.back.width() < row.front.width();
        EXPECT_TRUE(looksLike(both, w - 3, h - 3, smallerBack ? Qt::transparent : Qt::blue));
        EXPECT_TRUE(looksLike(both, 2, h / 2 + 3, smallerBack ? Qt::transparent : Qt::blue));
    }
    EXPECT_TRUE(output::combinedPixels(plain(QSizeF(10, 10), Qt::red), {}, 72).isNull());
}

TEST(ExportPaths, BackFileBesideTheFrontAndNumberedRecords)
{
    const std::pair<const char *, const char *> backs[] = {
        {"Card_1.TIFF", "Card_1_Back.TIFF"},
        {"/out/Quorvant/Card_12.PNG", "/out/Quorvant/Card_12_Back.PNG"},
        // Only the last extension is the type; dots in folders stay.
        {"/my.cards/badge.v2.JPEG", "/my.cards/badge.v2_Back.JPEG"},
        {"/out/noext", "/out/noext_Back"},
    };
    for (const auto &[front, back] : backs)
        EXPECT_EQ(output::Create_Back_Card_Path(front), back) << front;
    // Numbers from 1, unpadded, the format's title as extension unchanged.
    EXPECT_EQ(output::batchCardPath(output::exportFolderPath("/c"), 0, "TIFF"), "/c/Quorvant/Card_1.TIFF");
    EXPECT_EQ(output::batchCardPath("/c/Quorvant", 9, "PNG"), "/c/Quorvant/Card_10.PNG");
}

TEST(ExportPaths, FoldersAreMadeWithTheUsersUmask)
{
    const TempFolder tmp;
    const mode_t previous = ::umask(027);
    const QString folder = tmp.file("new/parent/Quorvant");
    const bool made = output::makeExportFolder(folder);
    ::umask(previous);
    ASSERT_TRUE(made);
    for (const QString &path : {folder, tmp.file("new/parent")}) {
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0750u) << path.toStdString();
    }
    // An existing folder is used again; a file in its place is reported.
    EXPECT_TRUE(output::makeExportFolder(folder));
    writeTestFile(tmp.file("taken"), "x");
    QString error;
    EXPECT_FALSE(output::makeExportFolder(tmp.file("taken"), &error));
    EXPECT_FALSE(error.isEmpty());
}

// A picture that does not compress: a PNG of it is larger than `bytes`.
QImage noise(int side)
{
    QImage image(side, side, QImage::Format_ARGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < side; ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < side; ++x)
            line[x] = random.generate() | 0xff000000u;
    }
    return image;
}

TEST(ImageFiles, AWriteCutShortKeepsTheOldFileAndLeavesNothingElse)
{
    const TempFolder tmp;
    const QString path = tmp.file("Card_1.PNG");
    ASSERT_TRUE(output::writeImageFile(noise(20), path));
    const QByteArray old = readTestFile(path);

    // The disk fills up halfway through the new picture: the file size limit
    // makes every write past 64 KiB fail as a full disk would.
    auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 64 * 1024;
    ::setrlimit(RLIMIT_FSIZE, &small);
    QString error;
    const bool written = output::writeImageFile(noise(400), path, &error);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousSignal);

    EXPECT_FALSE(written);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readTestFile(path), old);
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Card_1.PNG"});

    // A folder in the file's place, or a card that cannot be drawn.
    QDir().mkpath(tmp.file("Card_2.PNG"));
    EXPECT_FALSE(output::writeImageFile(noise(20), tmp.file("Card_2.PNG"), &error));
    EXPECT_FALSE(output::Save_gen_image({}, tmp.file("Card_3.PNG"), 72, &error));
    EXPECT_EQ(error, "The card could not be drawn.");
    EXPECT_FALSE(QFileInfo::exists(tmp.file("Card_3.PNG")));
}

} // namespace
