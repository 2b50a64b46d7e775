// export_cards DESIGN.zelg OUTDIR FORMAT DPI
//
// Opens the design file (its series read from the user's resource folder, as
// the program reads them), runs the Export command's batch run over every
// record into OUTDIR/Quorvant, both sides of a two-sided design, in FORMAT
// (a title the options offer: TIFF, PNG, JPEG, BMP) at DPI (one the options
// offer), and prints its time and the process's peak memory. Then the floor:
// the same cards, rendered by the same fill, only encoded in FORMAT, in
// parallel over every core, timed without the filling and rendering.
//
// Every record whose card could not be made whole (left out, or made
// without a barcode or picture) is printed on standard error as
// "record N: REASON", N from 1 as the files are numbered, after a line
// "data: REASON" for each bound series or column the run could not use and
// a line "damaged: OBJECT" for each damaged picture of the design; the
// other cards are still written, and the program then exits with status 3.

#include "bench/output/ExportBench.h"
#include "design_window/ExportFileBox.h"
#include "design_window/Globals.h"
#include "design_window/RecordFill.h"
#include "design_window/TVNWindowController.h"
#include "output/export/ExportPaths.h"
#include "output/export/ImageFiles.h"
#include "output/export_window/ExportWindow.h"
#include "output/export_window/ImageExport.h"
#include "platform/Alerts.h"
#include "platform/ModalRun.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

// Seconds to encode `count` cards' sides in `format` on every core; the
// cards are filled and rendered (untimed) a batch at a time, so that memory
// stays bounded.
double encodingFloor(TVNWindowController &window, int count, const QStringList &sides, double dpi,
                     const QByteArray &format, qint64 *bytes)
{
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    const int batch = 16 * cores;
    window.Check_Series_Or_Excel_Use_or_not();
    window.recordFill().setResolution(dpi);
    double seconds = 0;
    std::atomic<qint64> encoded = 0;
    for (int first = 0; first < count; first += batch) {
        std::vector<QImage> pictures;
        for (int n = first; n < std::min(count, first + batch); ++n) {
            for (const QString &side : sides)
                pictures.push_back(output::cardPixels(window.Set_data_table_value_to_card(n, side, false), dpi));
        }
        QElapsedTimer clock;
        clock.start();
        std::atomic<size_t> next = 0;
        std::vector<std::thread> encoders;
        for (int c = 0; c < cores; ++c) {
            encoders.emplace_back([&] {
                for (size_t i; (i = next++) < pictures.size();)
                    encoded += output::encodePixels(pictures[i], format).value_or(QByteArray()).size();
            });
        }
        for (std::thread &t : encoders)
            t.join();
        seconds += clock.nsecsElapsed() / 1e9;
    }
    window.Select_first_row_value_for_design(false);
    *bytes = encoded;
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    auto app = bench::application(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: export_cards DESIGN.zelg OUTDIR FORMAT DPI\n");
        return 2;
    }
    const QString design = QString::fromLocal8Bit(argv[1]);
    const QString outdir = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    const QString format = QString::fromLocal8Bit(argv[3]);
    const QString dpiText = QString::fromLocal8Bit(argv[4]);
    if (!output::exportFormatTitles().contains(format)) {
        std::fprintf(stderr, "FORMAT is one of %s\n", qPrintable(output::exportFormatTitles().join(", ")));
        return 2;
    }
    QStringList offered;
    for (int dpi : output::exportResolutions())
        offered << QString::number(dpi);
    if (!offered.contains(dpiText)) {
        std::fprintf(stderr, "DPI is one of %s\n", qPrintable(offered.join(", ")));
        return 2;
    }
    QDir().mkpath(outdir);

    QStringList alerts;
    platform::ScopedAlertResponder say([&](const platform::AlertRequest &r) {
        alerts << r.text.trimmed();
        std::fprintf(stderr, "%s\n", qPrintable(r.text.trimmed()));
        return 0;
    });
    ImageExport exporter;
    design_window::setImageExportWindows(&exporter);
    TVNWindowController window;
    if (window.Read_and_load_design_Log(design, QStringLiteral("L")) != 1)
        return 1;
    // What loading said (a damaged picture shown as missing) leaves the
    // cards without that data; a message after it is a failed run.
    const qsizetype loadAlerts = alerts.size();
    const bool twoSided = design_window::CARD_SIDE_STR == QLatin1String("2");
    const QStringList sides = twoSided ? QStringList{QStringLiteral("B"), QStringLiteral("F")}
                                       : QStringList{QStringLiteral("F")};

    // The user of the Export command: the options, the folder, the result.
    platform::ScopedModalResponder user([&](QDialog &d) {
        if (auto *options = qobject_cast<ExportWindow *>(&d)) {
            options->fileFormatPopup->setCurrentText(format);
            options->saveDPIText->setCurrentText(dpiText);
            options->matrix_export_card_side->button(twoSided ? 0 : 1)->click();
            options->buttons->button(QDialogButtonBox::Ok)->click();
        } else if (auto *panel = qobject_cast<QFileDialog *>(&d)) {
            panel->selectFile(outdir);
            return 1;
        } else if (auto *box = qobject_cast<Export_File_Box *>(&d)) {
            box->_open_log_chk->setChecked(false);
            return 1;
        }
        return d.result();
    });

    QElapsedTimer clock;
    clock.start();
    window.Export_Button();
    if (exporter.isRunning()) {
        QEventLoop loop;
        QObject::connect(&exporter, &ImageExport::batchFinished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    const double peak = bench::residentMegabytes("VmHWM:");
    const output::BatchExportResult run = exporter.lastRun();
    const int records = design_window::Total_Batch_Excel_Card;
    const int files = int(QDir(output::exportFolderPath(outdir)).entryList(QDir::Files).size());
    for (const QString &line : exporter.lastProblems())
        std::fprintf(stderr, "%s\n", qPrintable(line));
    const int made = records - run.skipped;
    if (!run.ok() || records <= 0 || run.records != made || files < made * int(sides.size())) {
        std::fprintf(stderr, "the export did not write every card: %d of %d records, %d files\n", run.records,
                     records, files);
        return 1;
    }
    std::printf("export: %d records, %d files, %s at %s dpi: %.2f s (%.1f ms a record), peak memory %.0f MB\n",
                records, run.files, qPrintable(format), qPrintable(dpiText), seconds, seconds * 1000 / records, peak);

    qint64 bytes = 0;
    const QByteArray encoder = output::imageFormatForPath(QStringLiteral("card.") + format);
    const double floor = encodingFloor(window, records, sides, dpiText.toDouble(), encoder, &bytes);
    std::printf("floor: the same %d pictures only encoded on %u threads: %.2f s (%.0f MB)\n",
                records * int(sides.size()), std::thread::hardware_concurrency(), floor, bytes / 1048576.0);
    std::printf("export / floor: %.2f\n", seconds / floor);
    design_window::setImageExportWindows(nullptr);
    if (!exporter.lastProblems().isEmpty())
        return 3;
    if (alerts.size() > loadAlerts)
        return 1;
    return loadAlerts > 0 ? 3 : 0;
}
