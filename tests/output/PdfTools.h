#pragma once
// Reading the PDF files we print with poppler's tools (poppler-utils): page
// count and paper, words with their boxes, embedded pictures, and a page
// rendered to pixels. A missing tool or unreadable file fails the test.

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quorvant::test {

inline QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(120000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << tool.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(tool.readAllStandardOutput());
}

struct PdfInfo {
    int pages = 0;
    QSizeF paper; // points, of the first page
};

inline PdfInfo pdfInfo(const QString &path)
{
    const QString out = runTool(QStringLiteral("pdfinfo"), {path});
    PdfInfo info;
    const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(out);
    if (pages.hasMatch())
        info.pages = pages.captured(1).toInt();
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(out);
    if (size.hasMatch())
        info.paper = QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble());
    return info;
}

// A word of a page and its box in points, origin top left.
struct PdfWord {
    QString text;
    QRectF box;
};

inline QList<PdfWord> pdfWords(const QString &path, int page)
{
    const QString html = runTool(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
                                  QStringLiteral("-l"), QString::number(page), path, QStringLiteral("-")});
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QList<PdfWord> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF bottomRight(m.captured(3).toDouble(), m.captured(4).toDouble());
        words.append({m.captured(5), QRectF(topLeft, bottomRight)});
    }
    return words;
}

// Number of pictures the file holds (distinct objects of pdfimages -list,
// which lists every use) and how many times they are drawn.
struct PdfImages {
    int objects = 0;
    int uses = 0;
    QSet<QString> encodings; // "jpeg", "image" (flate), ...
};

inline PdfImages pdfImages(const QString &path)
{
    const QStringList lines =
        runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path}).split('\n', Qt::SkipEmptyParts);
    QSet<QString> objects;
    PdfImages images;
    for (qsizetype i = 2; i < lines.size(); ++i) { // after the two header lines
        const QStringList columns = lines[i].split(' ', Qt::SkipEmptyParts);
        if (columns.size() > 10) {
            objects.insert(columns[10]);
            images.encodings.insert(columns[8]);
            ++images.uses;
        }
    }
    images.objects = int(objects.size());
    return images;
}

// Page `page` (from 1) in grey at `dpi`.
inline QImage renderPdfPage(const QString &path, int page, int dpi)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
                                         QString::number(page), QStringLiteral("-l"), QString::number(page),
                                         QStringLiteral("-gray"), QStringLiteral("-png"),
                                         QStringLiteral("-singlefile"), path, prefix});
    QImage image(prefix + QStringLiteral(".png"));
    EXPECT_FALSE(image.isNull()) << "page " << page << " of " << path.toStdString();
    return image;
}

// The part of a page rendered at `dpi` that a rectangle in points covers.
inline QImage cropPoints(const QImage &page, const QRectF &points, int dpi)
{
    const double k = dpi / 72.0;
    return page.copy(QRectF(points.topLeft() * k, points.size() * k).toAlignedRect());
}

} // namespace quorvant::test
