// Saving a design: one with a 6000 x 4000 camera photo (a JPEG of about
// 6 MB) in an image object, and one of 50,000 small objects. Reported per
// save, with the size of the file written; the copy of the design's value,
// the part of a save the window waits for, is measured on its own.

#include "bench/BenchSupport.h"
#include "design_window/DesignFile.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace design_window;

namespace {

constexpr int kObjects = 50'000;

// A photo-like picture: smooth shading with fine grain, which a camera's
// JPEG keeps and which PNG cannot squeeze.
QString writePhoto(const QTemporaryDir &dir)
{
    QImage photo(6000, 4000, QImage::Format_RGB32);
    QRandomGenerator grain(35);
    for (int y = 0; y < photo.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) {
            const int noise = int(grain.bounded(20));
            line[x] = qRgb((x / 24 + noise) & 0xff, (y / 16 + noise) & 0xff, ((x + y) / 40 + noise) & 0xff);
        }
    }
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    photo.save(path, "JPG", 85);
    return path;
}

Design photoDesign(const QString &photo)
{
    Design design;
    auto image = std::static_pointer_cast<TVNImage>(newGraphicOfClass(GraphicClass::Image));
    image->setBounds(QRectF(10, 10, 120, 80));
    image->setFilePath(photo, {});
    design.front.push_back(image);
    return design;
}

Design manyObjects()
{
    Design design;
    for (int n = 0; n < kObjects; ++n) {
        GraphicPtr g = newGraphicOfClass(n % 2 ? GraphicClass::Text : GraphicClass::Barcode);
        g->setBounds(QRectF(n % 200, n / 200, 40, 12));
        if (auto *text = dynamic_cast<TVNText *>(g.get()))
            text->setContentsString(QStringLiteral("Object %1").arg(n));
        design.front.push_back(g);
    }
    return design;
}

void save(benchmark::State &state, const Design &design, const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("design.zelg"));
    for (auto _ : state) {
        QString error;
        if (!saveDesignFile(path, design, &error)) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
    }
    QString error;
    const std::optional<Design> back = loadDesignFile(path, &error);
    if (!back || back->front.size() != design.front.size()) {
        state.SkipWithError("the design does not read back");
        return;
    }
    state.counters["file_MiB"] = double(QFileInfo(path).size()) / (1024 * 1024);
}

void BM_SaveDesignWithLargeJpeg(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString photo = writePhoto(dir);
    const Design design = photoDesign(photo);
    state.counters["photo_MiB"] = double(QFileInfo(photo).size()) / (1024 * 1024);
    save(state, design, dir);
}
BENCHMARK(BM_SaveDesignWithLargeJpeg)->Iterations(3)->Unit(benchmark::kSecond);

void BM_SaveDesignOf50000Objects(benchmark::State &state)
{
    QTemporaryDir dir;
    save(state, manyObjects(), dir);
}
BENCHMARK(BM_SaveDesignOf50000Objects)->Iterations(1)->Unit(benchmark::kSecond);

// What the window does itself before a save goes to its worker.
void BM_CopyDesignOf50000Objects(benchmark::State &state)
{
    const Design design = manyObjects();
    for (auto _ : state) {
        const Design copy = detachedDesign(design);
        if (copy.front.size() != design.front.size() || copy.front.front() == design.front.front()) {
            state.SkipWithError("not a copy");
            return;
        }
    }
}
BENCHMARK(BM_CopyDesignOf50000Objects)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    return bench::runUnder<QGuiApplication>(argc, argv);
}
