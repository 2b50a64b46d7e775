// Opening the clip-art library on a category of 300 card-sized pictures:
// the first opening (every shown thumbnail decoded) against a later one
// (thumbnails kept from the first), and the cost of one thumbnail either way.
#include "bench/BenchSupport.h"
#include "platform/ModalRun.h"
#include "profiles_wizards/Image_Library.h"
#include "profiles_wizards/ThumbnailCache.h"
#include "profiles_wizards/ThumbnailList.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

namespace {

constexpr int kPictures = 300;

// A folder LibraryImage/Photos of kPictures card-sized PNG pictures.
const QTemporaryDir &library()
{
    static QTemporaryDir dir;
    static bool made = false;
    if (!made) {
        QImage picture(1011, 639, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setPen(QPen(Qt::darkBlue, 12));
        painter.setBrush(QColor(180, 200, 255));
        painter.drawEllipse(picture.rect().adjusted(20, 20, -20, -20));
        painter.end();
        const QString folder = dir.filePath("LibraryImage/Photos");
        QDir().mkpath(folder);
        const QString first = folder + "/picture-000.png";
        picture.save(first);
        for (int i = 1; i < kPictures; ++i)
            QFile::copy(first, QString("%1/picture-%2.png").arg(folder).arg(i, 3, 10, QChar('0')));
        made = true;
    }
    return dir;
}

// Opens the library and paints it once, as it first shows.
int openAndPaint()
{
    Image_Library &window = Image_Library::defaultInstance();
    window.control_or_BG = "C";
    window.resourceFolder = library().path();
    int items = 0;
    platform::ScopedModalResponder answer([&](QDialog &d) {
        d.resize(720, 520);
        benchmark::DoNotOptimize(d.grab());
        items = window.thumbnails->numberOfItemsInImageBrowser();
        return 0;
    });
    window.Open_Library_Window();
    return items;
}

void BM_LibraryFirstOpening(benchmark::State &state)
{
    library();
    for (auto _ : state) {
        state.PauseTiming();
        profiles_wizards::ThumbnailCache::shared().clear();
        state.ResumeTiming();
        if (openAndPaint() != kPictures) {
            state.SkipWithError("wrong number of thumbnails listed");
            return;
        }
    }
}
BENCHMARK(BM_LibraryFirstOpening)->Unit(benchmark::kMillisecond);

void BM_LibraryLaterOpening(benchmark::State &state)
{
    library();
    openAndPaint();
    for (auto _ : state) {
        if (openAndPaint() != kPictures) {
            state.SkipWithError("wrong number of thumbnails listed");
            return;
        }
    }
}
BENCHMARK(BM_LibraryLaterOpening)->Unit(benchmark::kMillisecond);

void BM_ThumbnailDecoded(benchmark::State &state)
{
    const QString path = library().filePath("LibraryImage/Photos/picture-000.png");
    profiles_wizards::ThumbnailCache cache;
    for (auto _ : state) {
        state.PauseTiming();
        cache.clear();
        state.ResumeTiming();
        const QImage thumbnail = cache.thumbnail(path);
        if (thumbnail.width() != profiles_wizards::ThumbnailCache::kSide) {
            state.SkipWithError("no thumbnail");
            return;
        }
    }
}
BENCHMARK(BM_ThumbnailDecoded)->Unit(benchmark::kMillisecond);

void BM_ThumbnailKept(benchmark::State &state)
{
    const QString path = library().filePath("LibraryImage/Photos/picture-000.png");
    profiles_wizards::ThumbnailCache cache;
    cache.thumbnail(path);
    for (auto _ : state)
        benchmark::DoNotOptimize(cache.thumbnail(path));
}
BENCHMARK(BM_ThumbnailKept)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return bench::runUnder<QApplication>(argc, argv);
}
