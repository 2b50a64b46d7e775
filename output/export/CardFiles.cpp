#include "output/export/CardFiles.h"

#include "output/export/ExportPaths.h"
#include "output/export/ImageFiles.h"
#include "platform/Log.h"

namespace output {

CardFilesResult writeCardFiles(const platform::Image &front, const platform::Image &back, const QString &basePath,
                               const ExportOptions &options)
{
    CardFilesResult result;
    auto write = [&](const QImage &pixels, const QString &path) {
        QString why = QStringLiteral("The card could not be drawn.");
        if (!pixels.isNull() && writeImageFile(pixels, path, &why)) {
            result.written.append(path);
            return true;
        }
        result.failedPath = path;
        result.reason = why;
        return false;
    };
    if (options.combined()) {
        const QImage both = combinedPixels(front, back, options.dpi);
        if (both.isNull())
            platform::log(QStringLiteral("Invalid image"));
        write(both, Create_Front_Card_Path(basePath));
        return result;
    }
    if (options.needsBack() && !write(cardPixels(back, options.dpi), Create_Back_Card_Path(basePath)))
        return result;
    if (options.needsFront())
        write(cardPixels(front, options.dpi), Create_Front_Card_Path(basePath));
    return result;
}

QString failureMessage(const QString &path, const QString &reason)
{
    return reason.isEmpty() ? path : path + QStringLiteral("\n\n") + reason;
}

QString writtenCardsMessage(int written, int total)
{
    return QStringLiteral("The export ended early: %1 of %2 cards were written.").arg(written).arg(total);
}

QString shownCardPath(const QString &basePath, const ExportOptions &options)
{
    return options.needsFront() ? Create_Front_Card_Path(basePath) : Create_Back_Card_Path(basePath);
}

} // namespace output
