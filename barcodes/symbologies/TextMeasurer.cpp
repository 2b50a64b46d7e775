#include "barcodes/symbologies/TextMeasurer.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QThread>
#include <cmath>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace barcodes {

namespace {

// A 72 dpi device: metrics against it come out in points, whatever the
// screen. It is only asked for its resolution, so one serves every thread.
const QImage &pointDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32);
        const int dotsPerMeter = qRound(72.0 / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

QFontMetricsF pointMetrics(const QFont &font)
{
    return QFontMetricsF(font, &pointDevice());
}

// The fonts one thread has made ready, the latest last. A thread's fonts go
// with the thread; the application's own are kept to the end, since fonts
// must not outlive the application, which is gone by the time its thread's
// storage is cleared.
class PointFontCache {
public:
    PointFontCache()
        : m_entries(new std::vector<Entry>)
        , m_applicationThread(QCoreApplication::instance()
                              && QCoreApplication::instance()->thread() == QThread::currentThread())
    {
    }
    ~PointFontCache()
    {
        if (!m_applicationThread)
            delete m_entries;
    }
    PointFontCache(const PointFontCache &) = delete;
    PointFontCache &operator=(const PointFontCache &) = delete;

    std::shared_ptr<const PointFont> get(const QFont &font)
    {
        // Styles hand out copies of a few fonts: those are found by identity
        // before any font is compared attribute by attribute.
        for (const Entry &e : *m_entries) {
            if (e.first.isCopyOf(font))
                return e.second;
        }
        for (const Entry &e : *m_entries) {
            if (e.first == font)
                return e.second;
        }
        // A style has three fonts; a run rarely uses more than a few styles.
        if (m_entries->size() >= kCapacity)
            m_entries->erase(m_entries->begin());
        m_entries->emplace_back(font, make(font));
        return m_entries->back().second;
    }

private:
    using Entry = std::pair<QFont, std::shared_ptr<const PointFont>>;
    static constexpr std::size_t kCapacity = 12;

    static std::shared_ptr<const PointFont> make(const QFont &font)
    {
        auto made = std::make_shared<PointFont>();
        made->font = pointFont(font);
        made->raw = QRawFont::fromFont(made->font);
        // The cap height as the font is given (hinted where it hints), the
        // line height as text is laid out.
        made->capHeight = pointMetrics(font).capHeight();
        made->lineHeight = pointMetrics(made->font).height();
        return made;
    }

    std::vector<Entry> *m_entries;
    bool m_applicationThread;
};

// The advance of `text` by the font's own glyphs; none when it lacks one.
std::optional<double> ownAdvance(const QString &text, const QRawFont &raw)
{
    if (!raw.isValid())
        return std::nullopt;
    const QList<quint32> glyphs = raw.glyphIndexesForString(text);
    if (std::find(glyphs.begin(), glyphs.end(), 0u) != glyphs.end())
        return std::nullopt;
    double width = 0.0;
    for (const QPointF &advance : raw.advancesForGlyphIndexes(glyphs, QRawFont::KernedAdvances))
        width += advance.x();
    return width;
}

} // namespace

QFont pointFont(const QFont &font)
{
    QFont unhinted(font);
    unhinted.setHintingPreference(QFont::PreferNoHinting);
    return QFont(unhinted, &pointDevice());
}

const PointFont::GlyphMask &PointFont::mask(quint32 glyph, double scale, int quarter) const
{
    const auto key = std::make_tuple(scale, glyph, quarter);
    if (const auto found = m_masks.find(key); found != m_masks.end())
        return found->second;
    // A caption font needs a few dozen; anything beyond is a run of unusual
    // text that need not stay.
    if (m_masks.size() >= 1024)
        m_masks.clear();
    // Room for the outline and the antialiased pixels around it.
    constexpr int kPad = 2;
    const double shift = quarter / 4.0;
    const QRectF box = raw.boundingRect(glyph);
    GlyphMask made;
    made.left = int(std::floor(box.left() * scale)) - kPad;
    made.top = int(std::floor(box.top() * scale)) - kPad;
    const int right = int(std::ceil(box.right() * scale + shift)) + kPad;
    const int bottom = int(std::ceil(box.bottom() * scale)) + kPad;
    made.alpha = QImage(std::max(1, right - made.left), std::max(1, bottom - made.top), QImage::Format_Alpha8);
    made.alpha.fill(0);
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes({glyph});
    run.setPositions({QPointF(0, 0)});
    QPainter painter(&made.alpha);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::black);
    painter.translate(shift - made.left, -made.top);
    painter.scale(scale, scale);
    painter.drawGlyphRun(QPointF(0, 0), run);
    painter.end();
    made.covered.reserve(std::size_t(made.alpha.height()));
    for (int y = 0; y < made.alpha.height(); ++y) {
        const uchar *row = made.alpha.constScanLine(y);
        int first = 0, end = made.alpha.width();
        while (first < end && row[first] == 0)
            ++first;
        while (end > first && row[end - 1] == 0)
            --end;
        made.covered.emplace_back(first, end);
        if (first < end)
            made.ink |= QRect(first, y, end - first, 1);
    }
    return m_masks.emplace(key, std::move(made)).first->second;
}

std::shared_ptr<const PointFont> cachedPointFont(const QFont &font)
{
    thread_local PointFontCache cache;
    return cache.get(font);
}

double QtTextMeasurer::capHeight(const QFont &font) const
{
    return cachedPointFont(font)->capHeight;
}

QSizeF QtTextMeasurer::textSize(const QString &text, const QFont &font, double kerning) const
{
    // Kerning is extra space after every character, the last one included.
    const auto points = cachedPointFont(font);
    const std::optional<double> own = text.isEmpty() ? std::optional<double>(0.0) : ownAdvance(text, points->raw);
    const double width = own ? *own : pointMetrics(points->font).horizontalAdvance(text);
    return {width + kerning * text.size(), points->lineHeight};
}

std::shared_ptr<const TextMeasurer> defaultTextMeasurer()
{
    static const auto measurer = std::make_shared<const QtTextMeasurer>();
    return measurer;
}

} // namespace barcodes
