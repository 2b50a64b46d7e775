// Moving an adjustment slider on the photo page with a 12-megapixel photo:
// the preview adjusts a copy at preview size, against adjusting the whole
// photo (what a full-size preview would cost on every move), and making
// the main photo from the file once at Finish.
#include "bench/BenchSupport.h"
#include "bench/CameraPicture.h"
#include "drawing/ImageProcesser.h"
#include "platform/ModalRun.h"
#include "profiles_wizards/Invitation_Wizard.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QTemporaryDir>

namespace {

// Blur and hue, the costliest adjustments, with the colour controls.
drawing::PhotoAdjustments moved()
{
    drawing::PhotoAdjustments a;
    a.blur = 3;
    a.hue = 0.5f;
    a.saturation = 1.3f;
    return a;
}

const QString &photoPath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QImage photo = bench::cameraPicture();
        const QString file = dir.filePath("photo.jpg");
        photo.save(file, "JPG", 90);
        return file;
    }();
    return path;
}

void BM_SliderMovePreviewCopy(benchmark::State &state)
{
    Invitation_Wizard &wizard = Invitation_Wizard::defaultInstance();
    platform::ScopedModalResponder user([&](QDialog &) {
        int value = 0;
        for (auto _ : state) {
            // Each move adjusts the preview copy and shows it.
            wizard.Sat_slidr->setValue(value = value == 150 ? 151 : 150);
        }
        if (!wizard.Selected_picture->pixmap().isNull())
            return 0;
        state.SkipWithError("no preview");
        return 0;
    });
    wizard.Open_Wnd_For_Edit_Photo(photoPath(), moved(), true);
}
BENCHMARK(BM_SliderMovePreviewCopy)->Unit(benchmark::kMillisecond);

void BM_SliderMoveWholePhoto(benchmark::State &state)
{
    const QImage photo(photoPath());
    for (auto _ : state) {
        const QImage adjusted = ImageProcesser::Get_Processed_Image(photo, moved());
        if (adjusted.size() != photo.size()) {
            state.SkipWithError("wrong size");
            return;
        }
    }
}
BENCHMARK(BM_SliderMoveWholePhoto)->Unit(benchmark::kMillisecond);

void BM_MainPhotoFromFile(benchmark::State &state)
{
    for (auto _ : state) {
        const platform::Image main = drawing::adjustedPhoto(platform::Image::fromFile(photoPath()), moved());
        if (main.isNull()) {
            state.SkipWithError("no main photo");
            return;
        }
    }
}
BENCHMARK(BM_MainPhotoFromFile)->Unit(benchmark::kMillisecond);

// Reading the 12-megapixel JPEG alone: the decode that every bound photo of
// a run pays for.
void BM_PhotoFromFile(benchmark::State &state)
{
    for (auto _ : state) {
        const platform::Image photo = platform::Image::fromFile(photoPath());
        if (photo.bitmap().size() != QSize(4000, 3000)) {
            state.SkipWithError("photo not read whole");
            return;
        }
    }
}
BENCHMARK(BM_PhotoFromFile)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return bench::runUnder<QApplication>(argc, argv);
}
