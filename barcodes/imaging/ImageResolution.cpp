#include "barcodes/imaging/ImageResolution.h"

#include "platform/Helpers.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace barcodes {

namespace {

// Larger bitmaps are refused rather than risk exhausting memory halfway
// through a batch run.
constexpr double kMaximumBitmapBytes = double(std::numeric_limits<int>::max());

bool hasColourTable(const QImage &bitmap)
{
    return (bitmap.format() == QImage::Format_Indexed8 || bitmap.format() == QImage::Format_Mono)
        && bitmap.colorCount() > 0;
}

// A bitmap of the given pixels and format, transparent unless `clear` is
// false (every pixel is about to be written), or a null image when it is
// empty, too large, or cannot be allocated.
QImage blankBitmap(int width, int height, QImage::Format format = QImage::Format_ARGB32_Premultiplied,
                   bool clear = true)
{
    if (width <= 0 || height <= 0)
        return {};
    if (double(width) * double(height) * 4.0 > kMaximumBitmapBytes) {
        Show_NSLog_Message(QStringLiteral("Image of %1 x %2 pixels is too large").arg(width).arg(height));
        return {};
    }
    QImage bitmap(width, height, format);
    if (bitmap.isNull()) {
        Show_NSLog_Message(QStringLiteral("Unable to allocate an image of %1 x %2 pixels").arg(width).arg(height));
        return {};
    }
    if (clear)
        bitmap.fill(Qt::transparent);
    return bitmap;
}

// The eight colour indexes (0 or 1) of each byte of a 1-bit row, most
// significant bit first, as they lie in memory.
constexpr std::array<std::array<uchar, 8>, 256> kBitIndexes = [] {
    std::array<std::array<uchar, 8>, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
        for (int b = 0; b < 8; ++b)
            table[std::size_t(byte)][std::size_t(b)] = uchar((byte >> (7 - b)) & 1);
    }
    return table;
}();

// The colour index of pixel x in a row of a bitmap with a colour table.
int indexAt(const uchar *row, int x, bool mono)
{
    return mono ? (row[x >> 3] >> (7 - (x & 7))) & 1 : row[x];
}

// The source pixel under each of `count` target pixels' centres, (x + 0.5) *
// `from` / `count` rounded down, worked out in whole numbers a step at a
// time: no division per pixel.
std::vector<int> nearestColumns(int from, int count)
{
    std::vector<int> column(static_cast<std::size_t>(count));
    const std::int64_t step = 2 * std::int64_t(from), divisor = 2 * std::int64_t(count);
    const std::int64_t wholeStep = step / divisor, partStep = step % divisor;
    std::int64_t index = std::int64_t(from) / divisor, part = std::int64_t(from) % divisor;
    for (int x = 0; x < count; ++x) {
        column[std::size_t(x)] = int(std::min<std::int64_t>(from - 1, index));
        index += wholeStep;
        part += partStep;
        if (part >= divisor) {
            part -= divisor;
            ++index;
        }
    }
    return column;
}

// Nearest sampling of a bitmap with a colour table into `target` of the same
// format and table.
void sampleIndexed(const QImage &src, QImage &target)
{
    const bool mono = src.format() == QImage::Format_Mono;
    const int w = target.width(), h = target.height();
    const int sourceHeight = src.height();
    const std::size_t rowBytes = mono ? std::size_t(w + 7) / 8 : std::size_t(w);
    const std::vector<int> column = nearestColumns(src.width(), w);
    // A 1-bit row is written sixty-four pixels to a word, the first at the
    // top. Each source column sets the bits of the target pixels it covers, a
    // mask in each word they reach, worked out once for all rows.
    struct Mask {
        int byte, shift;
        std::size_t word;
        std::uint64_t bits;
    };
    std::vector<Mask> masks;
    std::vector<std::uint64_t> words;
    if (mono) {
        for (int x = 0; x < w;) {
            const int source = column[std::size_t(x)];
            int to = x + 1;
            while (to < w && column[std::size_t(to)] == source)
                ++to;
            for (int from = x; from < to;) {
                const int offset = from & 63, count = std::min(to - from, 64 - offset);
                const std::uint64_t ones = count == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << count) - 1;
                masks.push_back({source >> 3, 7 - (source & 7), std::size_t(from >> 6), ones << (64 - offset - count)});
                from += count;
            }
            x = to;
        }
        words.resize((std::size_t(w) + 63) / 64);
    }
    // A source row like the one before (the rows of a symbol's module) gives
    // the same target row.
    const std::size_t sourceBytes = mono ? std::size_t(src.width() + 7) / 8 : std::size_t(src.width());
    const uchar *sourceBits = src.constBits();
    const qsizetype sourceStride = src.bytesPerLine();
    uchar *targetBits = target.bits();
    const qsizetype targetStride = target.bytesPerLine();
    int previous = -1;
    const uchar *previousIn = nullptr;
    for (int y = 0; y < h; ++y) {
        const int row = std::min(sourceHeight - 1, int((y + 0.5) * sourceHeight / h));
        uchar *out = targetBits + std::ptrdiff_t(y) * targetStride;
        const uchar *in = sourceBits + std::ptrdiff_t(row) * sourceStride;
        if (row == previous || (previousIn && std::memcmp(in, previousIn, sourceBytes) == 0)) {
            std::memcpy(out, out - targetStride, rowBytes);
            previous = row;
            continue;
        }
        previousIn = in;
        if (mono) {
            // The bytes go out most significant first; bits past the last
            // pixel stay clear.
            std::fill(words.begin(), words.end(), std::uint64_t(0));
            for (const Mask &mask : masks)
                words[mask.word] |= mask.bits & (std::uint64_t(0) - ((uint(in[mask.byte]) >> mask.shift) & 1u));
            for (std::size_t i = 0; i < words.size(); ++i) {
                std::uint64_t bytes = words[i];
                if constexpr (std::endian::native == std::endian::little)
                    bytes = __builtin_bswap64(bytes);
                std::memcpy(out + 8 * i, &bytes, std::min<std::size_t>(8, rowBytes - 8 * i));
            }
        } else {
            for (int x = 0; x < w; ++x)
                out[x] = in[column[std::size_t(x)]];
        }
        previous = row;
    }
}

// Each target pixel takes the source pixel under its centre. Rows that
// sample the same source row are copied, so a symbol of a few rows scales
// in about the time it takes to write the target once.
void sampleNearest(const QImage &source, QImage &target)
{
    const QImage src = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = target.width(), h = target.height();
    std::vector<int> column(static_cast<std::size_t>(w));
    for (int x = 0; x < w; ++x)
        column[std::size_t(x)] = std::min(src.width() - 1, int((x + 0.5) * src.width() / w));
    int previous = -1;
    for (int y = 0; y < h; ++y) {
        const int row = std::min(src.height() - 1, int((y + 0.5) * src.height() / h));
        auto *out = reinterpret_cast<QRgb *>(target.scanLine(y));
        if (row == previous) {
            std::memcpy(out, target.constScanLine(y - 1), std::size_t(w) * sizeof(QRgb));
            continue;
        }
        const auto *in = reinterpret_cast<const QRgb *>(src.constScanLine(row));
        for (int x = 0; x < w; ++x)
            out[x] = in[column[std::size_t(x)]];
        previous = row;
    }
}

void drawHard(const platform::Image &source, QImage &target, QPainter::CompositionMode mode)
{
    // A bitmap onto a clear target: its pixels, sampled.
    if (!source.isVector() && hasColourTable(source.bitmap()) && target.format() == source.bitmap().format()) {
        sampleIndexed(source.bitmap(), target);
        return;
    }
    if (!source.isVector() && target.format() == QImage::Format_ARGB32_Premultiplied) {
        sampleNearest(source.bitmap(), target);
        return;
    }
    QPainter painter(&target);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setCompositionMode(mode);
    painter.setOpacity(1.0);
    source.draw(painter, QRectF(0, 0, target.width(), target.height()));
}

// Pixels for one side: the quotient is rounded to single precision before
// it is rounded up, so 60 points at 600 dpi are exactly 500 pixels.
int pixelsFor(double points, double dpi)
{
    const double exact = double(float(dpi * points / 72.0));
    if (!(exact > 0) || exact > double(std::numeric_limits<int>::max()))
        return 0;
    return int(std::ceil(exact));
}

// A source with a colour table over target pixels of one colour: a clear
// pixel shows that colour, so each source pixel gives a known target pixel
// (a 1-bit one pixel for pixel eight from a byte), and a row like the one
// before is a copy of the row above. `column` gives the source column of
// each target pixel when the source is scaled.
void writeOverOneColour(QImage &target, const QRectF &area, const QRect &pixels, const QImage &source,
                        const std::vector<QRgb> &ink, const std::vector<QRgb> &keep, const std::vector<int> *column,
                        QRgb under)
{
    const bool mono = source.format() == QImage::Format_Mono;
    std::array<QRgb, 256> colours{};
    for (std::size_t i = 0; i < (mono ? 2 : 256); ++i)
        colours[i] = keep[i] != 0 ? under : ink[i];
    // The eight pixels of each byte of a 1-bit row: its two halves looked up
    // in a table of sixteen.
    std::array<std::array<QRgb, 8>, 256> eight;
    if (mono && !column) {
        std::array<std::array<QRgb, 4>, 16> four;
        for (std::size_t nibble = 0; nibble < 16; ++nibble) {
            for (std::size_t b = 0; b < 4; ++b)
                four[nibble][b] = colours[(nibble >> (3 - b)) & 1];
        }
        for (std::size_t byte = 0; byte < 256; ++byte) {
            std::memcpy(eight[byte].data(), four[byte >> 4].data(), sizeof(four[0]));
            std::memcpy(eight[byte].data() + 4, four[byte & 15].data(), sizeof(four[0]));
        }
    }
    const double sy = source.height() / area.height();
    const int sourceHeight = source.height();
    const int width = pixels.width();
    const int whole = width / 8;
    const std::size_t rowBytes = mono ? std::size_t(source.width() + 7) / 8 : std::size_t(source.width());
    const uchar *sourceBits = source.constBits();
    const qsizetype sourceStride = source.bytesPerLine();
    // An enlarged source: the target pixels of each source column, a run of
    // at most kRunPixels, worked out once for all rows.
    constexpr int kRunPixels = 4;
    struct Run {
        int source, from;
    };
    std::vector<Run> runs;
    if (column) {
        for (int x = 0; x < width; ++x) {
            if (runs.empty() || runs.back().source != (*column)[std::size_t(x)])
                runs.push_back({(*column)[std::size_t(x)], x});
            else if (x - runs.back().from >= kRunPixels) {
                runs.clear();
                break;
            }
        }
    }
    std::vector<QRgb> rowBuffer(runs.empty() ? 0 : std::size_t(width + kRunPixels));
    uchar *bits = target.bits();
    const qsizetype stride = target.bytesPerLine();
    const uchar *previous = nullptr;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        const int row = std::clamp(int(std::floor((y + 0.5 - area.top()) * sy)), 0, sourceHeight - 1);
        const uchar *in = sourceBits + std::ptrdiff_t(row) * sourceStride;
        QRgb *out = reinterpret_cast<QRgb *>(bits + std::ptrdiff_t(y) * stride) + pixels.left();
        if (previous && (previous == in || std::memcmp(previous, in, rowBytes) == 0)) {
            std::memcpy(out, reinterpret_cast<const QRgb *>(bits + std::ptrdiff_t(y - 1) * stride) + pixels.left(),
                        std::size_t(width) * sizeof(QRgb));
            continue;
        }
        if (!runs.empty()) {
            // Every run writes kRunPixels pixels, the next run overwriting
            // what went past its own end: no branch on a run's length.
            QRgb *line = rowBuffer.data();
            for (const Run &run : runs) {
                const QRgb colour = colours[std::size_t(indexAt(in, run.source, mono))];
                for (int i = 0; i < kRunPixels; ++i)
                    line[run.from + i] = colour;
            }
            std::memcpy(out, line, std::size_t(width) * sizeof(QRgb));
        } else if (column) {
            for (int x = 0; x < width; ++x)
                out[x] = colours[std::size_t(indexAt(in, (*column)[std::size_t(x)], mono))];
        } else if (!mono) {
            for (int x = 0; x < width; ++x)
                out[x] = colours[in[x]];
        } else {
            for (int i = 0; i < whole; ++i)
                std::memcpy(out + 8 * i, eight[in[i]].data(), sizeof(eight[0]));
            for (int x = whole * 8; x < width; ++x)
                out[x] = eight[in[x / 8]][std::size_t(x % 8)];
        }
        previous = in;
    }
}

} // namespace

platform::Image Increase_DPI(const platform::Image &image, double withDPI)
{
    if (image.isNull()) {
        Show_NSLog_Message(QStringLiteral("Invalid image"));
        return {};
    }
    const double dpi = std::isnan(withDPI) ? kMinimumDpi : std::clamp(withDPI, kMinimumDpi, kMaximumDpi);
    const QSizeF points = image.size();
    // Every pixel of a sampled bitmap is written; only a drawing needs a
    // clear start.
    const bool indexed = !image.isVector() && hasColourTable(image.bitmap());
    QImage bitmap = blankBitmap(pixelsFor(points.width(), dpi), pixelsFor(points.height(), dpi),
                                indexed ? image.bitmap().format() : QImage::Format_ARGB32_Premultiplied,
                                image.isVector());
    if (bitmap.isNull())
        return {};
    if (indexed)
        bitmap.setColorTable(image.bitmap().colorTable());
    const int dotsPerMetre = int(std::lround(dpi / 0.0254));
    bitmap.setDotsPerMeterX(dotsPerMetre);
    bitmap.setDotsPerMeterY(dotsPerMetre);
    drawHard(image, bitmap, QPainter::CompositionMode_SourceOver);
    return platform::Image::fromBitmap(bitmap, points);
}

platform::Image Resize_Image(const platform::Image &image, QSizeF new_size)
{
    if (image.isNull()) {
        Show_NSLog_Message(QStringLiteral("Invalid image"));
        return {};
    }
    const double w = new_size.width();
    const double h = new_size.height();
    if (!(w >= 1 && h >= 1) || w > double(std::numeric_limits<int>::max()) || h > double(std::numeric_limits<int>::max()))
        return {};
    QImage bitmap = blankBitmap(int(w), int(h));
    if (bitmap.isNull())
        return {};
    drawHard(image, bitmap, QPainter::CompositionMode_Source);
    return platform::Image::fromBitmap(bitmap, new_size);
}

namespace {

// What both ways of writing an indexed bitmap share; `under`, when given, is
// the colour of every target pixel of the area, read or promised.
bool writeIndexed(QImage &target, const QRectF &area, const QImage &source, bool overOneColour,
                  std::optional<QRgb> under, QRect *written)
{
    const QImage::Format tf = target.format();
    if (!hasColourTable(source) || source.isNull()
        || (tf != QImage::Format_ARGB32_Premultiplied && tf != QImage::Format_ARGB32 && tf != QImage::Format_RGB32)
        || !(area.width() > 0) || !(area.height() > 0))
        return false;
    // Indexes beyond the table are drawn as nothing.
    std::vector<QRgb> table(256, qRgba(0, 0, 0, 0));
    const QList<QRgb> colours = source.colorTable();
    for (qsizetype i = 0; i < colours.size() && i < 256; ++i) {
        const int alpha = qAlpha(colours[i]);
        if (alpha != 0 && alpha != 255)
            return false;
        table[std::size_t(i)] = colours[i];
    }
    // A clear colour keeps the target pixel and adds nothing to it.
    std::vector<QRgb> keep(256), ink(256);
    for (std::size_t i = 0; i < 256; ++i) {
        const bool opaque = qAlpha(table[i]) == 255;
        keep[i] = opaque ? 0u : ~0u;
        ink[i] = opaque ? table[i] : 0u;
    }
    // The pixels whose centres lie in the area.
    const QRect pixels = QRect(QPoint(int(std::ceil(area.left() - 0.5)), int(std::ceil(area.top() - 0.5))),
                               QPoint(int(std::ceil(area.right() - 0.5)) - 1, int(std::ceil(area.bottom() - 0.5)) - 1))
                             .intersected(target.rect());
    if (written)
        *written = pixels;
    if (pixels.isEmpty())
        return true;
    const bool mono = source.format() == QImage::Format_Mono;
    const double sx = source.width() / area.width(), sy = source.height() / area.height();
    // Each target pixel takes the source pixel under its centre.
    auto sourceColumn = [&](int x) {
        return std::clamp(int(std::floor((x + 0.5 - area.left()) * sx)), 0, source.width() - 1);
    };
    // The whole source, pixel for pixel.
    const bool unscaled = pixels.width() == source.width() && sourceColumn(pixels.left()) == 0
        && sourceColumn(pixels.right()) == source.width() - 1;
    // Every column is looked up only where a row is not taken from the
    // source as it lies.
    std::vector<int> column;
    if (!unscaled || (!overOneColour && !under && !mono)) {
        column.resize(std::size_t(pixels.width()));
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            column[std::size_t(x - pixels.left())] = sourceColumn(x);
    }
    const int used = mono ? 2 : 256;
    const bool opaqueTable = std::all_of(keep.begin(), keep.begin() + used, [](QRgb k) { return k == 0; });
    if (overOneColour || under) {
        const QRgb colour =
            under ? *under : reinterpret_cast<const QRgb *>(target.constScanLine(pixels.top()))[pixels.left()];
        writeOverOneColour(target, area, pixels, source, ink, keep, unscaled ? nullptr : &column, colour);
        return true;
    }
    // Rows repeat many times at print resolution: each source row is sampled
    // once. Clear pixels at the ends of a row (a quiet zone, a border) are
    // left out; when none remain between, the row is written once and copied
    // down while it repeats.
    std::vector<uchar> indexes(std::size_t(pixels.width()));
    const std::size_t rowBytes = mono ? std::size_t(source.width() + 7) / 8 : std::size_t(source.width());
    const uchar *previous = nullptr;
    std::size_t first = 0, last = 0; // the span from the first to the last opaque pixel
    bool solid = false;              // no clear pixel in that span
    bool aboveIsSame = false;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        const int row = std::clamp(int(std::floor((y + 0.5 - area.top()) * sy)), 0, source.height() - 1);
        const uchar *in = source.constScanLine(row);
        auto *out = reinterpret_cast<QRgb *>(target.scanLine(y)) + pixels.left();
        if (previous != in && !(previous && std::memcmp(previous, in, rowBytes) == 0)) {
            if (mono && unscaled) {
                // Eight pixels from each byte.
                const std::size_t whole = indexes.size() / 8 * 8;
                for (std::size_t x = 0; x < whole; x += 8)
                    std::memcpy(&indexes[x], &kBitIndexes[in[x / 8]], 8);
                for (std::size_t x = whole; x < indexes.size(); ++x)
                    indexes[x] = uchar((in[x / 8] >> (7 - x % 8)) & 1);
            } else {
                for (std::size_t x = 0; x < indexes.size(); ++x)
                    indexes[x] = uchar(indexAt(in, column[x], mono));
            }
            first = 0;
            last = indexes.size();
            while (first < last && keep[indexes[first]] != 0)
                ++first;
            while (last > first && keep[indexes[last - 1]] != 0)
                --last;
            QRgb clear = 0;
            if (!opaqueTable) {
                for (std::size_t x = first; x < last; ++x)
                    clear |= keep[indexes[x]];
            }
            solid = clear == 0;
            previous = in;
            aboveIsSame = false;
        }
        if (aboveIsSame) {
            const auto *above = reinterpret_cast<const QRgb *>(target.constScanLine(y - 1)) + pixels.left();
            std::memcpy(out + first, above + first, (last - first) * sizeof(QRgb));
            continue;
        }
        if (solid) {
            for (std::size_t x = first; x < last; ++x)
                out[x] = ink[indexes[x]];
        } else {
            // Without branches: which pixels are clear does not follow a
            // pattern the processor could predict.
            for (std::size_t x = first; x < last; ++x)
                out[x] = (out[x] & keep[indexes[x]]) | ink[indexes[x]];
        }
        // Clear pixels show what was under them: alike only over one colour.
        aboveIsSame = solid || overOneColour;
    }
    return true;
}

} // namespace

bool writeIndexedBitmap(QImage &target, const QRectF &area, const QImage &source, bool overOneColour)
{
    return writeIndexed(target, area, source, overOneColour, std::nullopt, nullptr);
}

bool writeIndexedBitmapOver(QImage &target, const QRectF &area, const QImage &source, QRgb under, QRect &written)
{
    if (qAlpha(under) != 255)
        return false;
    return writeIndexed(target, area, source, true, under, &written);
}

void paintInDevicePixels(QPainter &painter)
{
    painter.resetTransform();
    painter.setWorldTransform(painter.deviceTransform().inverted());
}

} // namespace barcodes
