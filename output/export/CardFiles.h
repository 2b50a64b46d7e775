#pragma once
// One card's files as the export writes them, for a single export and for
// every record of a batch run: which sides, one file per side or both in one
// picture, the format and the resolution. Any thread.

#include "platform/Image.h"

#include <QString>
#include <QStringList>

namespace output {

// The export options' choice.
struct ExportOptions {
    // The format's title: file type and extension ("TIFF", "PNG", ...).
    QString format = QStringLiteral("TIFF");
    // Dots per inch of every file written.
    int dpi = 72;
    // "BOTH", "F" (front) or any other text (back) (export_card_side).
    QString sides = QStringLiteral("F");
    // With "BOTH": one picture per card, front above back.
    bool combine = false;

    bool operator==(const ExportOptions &) const = default;

    bool bothSides() const { return sides == QLatin1String("BOTH"); }
    bool frontOnly() const { return sides == QLatin1String("F"); }
    bool combined() const { return bothSides() && combine; }
    // Which sides the choice draws.
    bool needsFront() const { return bothSides() || frontOnly(); }
    bool needsBack() const { return !frontOnly(); }
};

// What writing a card gave: every file written, or the first that was not
// and why (nothing is written after it).
struct CardFilesResult {
    QStringList written;
    QString failedPath;
    QString reason;
    bool ok() const { return failedPath.isEmpty(); }
};

// Writes the card to `basePath`: the front, or both sides combined, to the
// path itself and the back to its back path (Create_Back_Card_Path). Sides
// the options do not draw may be null. The back is written first.
CardFilesResult writeCardFiles(const platform::Image &front, const platform::Image &back, const QString &basePath,
                               const ExportOptions &options);

// What the user is told about a file that was not written: its path, then
// why, in one message.
QString failureMessage(const QString &path, const QString &reason);

// What a batch run that a failed write ended tells of what it did: "The
// export ended early: 3 of 9 cards were written."
QString writtenCardsMessage(int written, int total);

// The file a result box shows for a card written to `basePath`: the back
// path when only the back is written, else the path itself.
QString shownCardPath(const QString &basePath, const ExportOptions &options);

} // namespace output
