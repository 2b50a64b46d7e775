#include "output/print/SymbolRectangles.h"

#include <QPainter>
#include <memory>
#include <vector>

namespace output {

namespace {

// A run of dark pixels along a row, [begin, end).
struct Run {
    int begin = 0;
    int end = 0;
    bool operator==(const Run &) const = default;
};

std::vector<Run> darkRuns(const QImage &pixels, int y)
{
    std::vector<Run> runs;
    const auto *row = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
    for (int x = 0; x < pixels.width();) {
        if (qAlpha(row[x]) < 128 || qGray(row[x]) >= 128) {
            ++x;
            continue;
        }
        Run run{x, x};
        while (run.end < pixels.width() && qAlpha(row[run.end]) >= 128 && qGray(row[run.end]) < 128)
            ++run.end;
        x = run.end;
        runs.push_back(run);
    }
    return runs;
}

} // namespace

platform::Image symbolAsRectangles(const platform::Image &symbol, double dpi)
{
    if (symbol.isNull() || (symbol.isVector() && dpi <= 0))
        return symbol;
    const QImage pixels = (symbol.isVector() ? symbol.toBitmap(dpi, Qt::transparent, false) : symbol.bitmap())
                              .convertToFormat(QImage::Format_ARGB32);
    if (pixels.isNull())
        return symbol;
    const QSizeF size = symbol.size();
    const double sx = size.width() / pixels.width(), sy = size.height() / pixels.height();

    // The background is what the symbol's corner shows (its quiet zone).
    const QColor background = QColor::fromRgba(pixels.pixel(0, 0));
    QColor ink(Qt::black);
    auto rects = std::make_shared<std::vector<QRectF>>();
    std::vector<Run> open;
    int openFrom = 0;
    auto close = [&](int y) {
        for (const Run &r : open)
            rects->emplace_back(r.begin * sx, openFrom * sy, (r.end - r.begin) * sx, (y - openFrom) * sy);
    };
    for (int y = 0; y < pixels.height(); ++y) {
        std::vector<Run> runs = darkRuns(pixels, y);
        if (runs == open)
            continue;
        close(y);
        if (!runs.empty() && open.empty() && rects->empty())
            ink = QColor::fromRgba(pixels.pixel(runs.front().begin, y));
        open = std::move(runs);
        openFrom = y;
    }
    close(pixels.height());
    ink.setAlpha(255);
    const bool opaque = background.alpha() == 255;
    return platform::Image::drawing(
        size,
        [rects, background, ink, size](QPainter &painter) {
            painter.save();
            painter.setPen(Qt::NoPen);
            if (background.alpha() > 0)
                painter.fillRect(QRectF(QPointF(0, 0), size), background);
            painter.setBrush(ink);
            painter.drawRects(rects->data(), int(rects->size()));
            painter.restore();
        },
        opaque);
}

} // namespace output
