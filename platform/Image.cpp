#include "platform/Image.h"

#include <QBuffer>
#include <QHash>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLoggingCategory>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <vector>

namespace platform {

namespace {
constexpr double kPointsPerMetre = 72.0 / 0.0254;
// QPicture replays scaled by the device's resolution over the resolution it
// recorded at; that scale is undone so that a recording is always in points.
constexpr double kPictureDpi = 96.0;

// Bounds on SVG data we are prepared to draw. Our own pictures stay far
// below each of them.
constexpr qsizetype kMaxSvgBytes = 16 * 1024 * 1024;
// 200 inches, the largest page a PDF can hold.
constexpr double kMaxSvgSidePt = 200 * 72;
// QtSvg builds, draws and frees its tree recursively, following <use>
// references as it goes: this bounds that recursion.
constexpr int kMaxSvgDepth = 256;
// Elements drawn once every <use> is expanded, plus path segments to stroke
// or fill and text to lay out: about a second of drawing at print resolution.
constexpr qint64 kMaxSvgCost = 250'000;
constexpr qint64 kSvgCharactersPerCost = 8;
constexpr qint64 kSvgPathBytesPerCost = 16;

// "png" or "jpeg" when `head` starts as such a file does; empty otherwise.
QByteArray encodedFormatOf(const QByteArray &head)
{
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        return QByteArrayLiteral("png");
    if (head.startsWith("\xff\xd8\xff"))
        return QByteArrayLiteral("jpeg");
    return {};
}

// Whether JPEG data runs whole from its start to its end-of-image marker:
// every segment inside the data, with no stray bytes where a marker belongs,
// and a frame and a scan before the end. The decoder takes data cut short
// (a copy or a download that stopped) or with broken segments with only a
// warning and draws what is missing grey; this tells such data apart on
// any thread. The compressed data of a scan is not decoded here: it runs to
// the next marker, which a whole file always has.
bool jpegIsWhole(const QByteArray &data)
{
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    const qsizetype size = data.size();
    if (size < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return false;
    bool frame = false;
    bool scan = false;
    qsizetype at = 2;
    for (;;) {
        // A marker: 0xFF, any number of fill bytes 0xFF, then its code.
        if (at >= size || bytes[at] != 0xFF)
            return false;
        while (at < size && bytes[at] == 0xFF)
            ++at;
        if (at >= size)
            return false;
        const uchar code = bytes[at++];
        if (code == 0xD9)
            return frame && scan;
        if (code == 0x00 || code == 0xD8)
            return false;
        // Restart markers and TEM stand alone; every other marker leads a
        // segment that starts with its length.
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD7))
            continue;
        if (at + 2 > size)
            return false;
        const qsizetype length = qsizetype(bytes[at]) << 8 | bytes[at + 1];
        if (length < 2 || at + length > size)
            return false;
        at += length;
        // Start of frame: C0 to CF but for the tables C4, C8 and CC.
        if (code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC)
            frame = true;
        if (code != 0xDA)
            continue;
        // The scan's compressed data runs to the next marker; inside it
        // 0xFF is followed by 0x00 (a data byte) or a restart marker.
        scan = true;
        for (;;) {
            const void *found = std::memchr(bytes + at, 0xFF, size_t(size - at));
            if (!found)
                return false;
            at = static_cast<const uchar *>(found) - bytes;
            if (at + 1 >= size)
                return false;
            const uchar next = bytes[at + 1];
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7))
                at += 2;
            else if (next == 0xFF)
                ++at; // a fill byte before the marker
            else
                break;
        }
    }
}

// The JPEG decoder goes on past data it finds corrupt inside a scan (a
// stretch of bytes lost or overwritten), drawing what it cannot read as
// noise or grey, and says so only through a warning of its logging
// category. While a picture is decoded on a thread, that thread's warnings
// of the category are heard here: a handler installed once for the process
// passes every other message on to the handler it replaced.
constexpr char kJpegLogCategory[] = "qt.gui.imageio.jpeg";

class DecoderWarnings {
public:
    DecoderWarnings()
        : m_outer(t_heard)
    {
        static const bool installed = [] {
            s_previousHandler.store(qInstallMessageHandler(hear));
            // Heard even where the user's logging rules silence the category.
            s_previousFilter.store(QLoggingCategory::installFilter(keepWarnings));
            return true;
        }();
        Q_UNUSED(installed);
        t_heard = this;
    }
    ~DecoderWarnings() { t_heard = m_outer; }
    DecoderWarnings(const DecoderWarnings &) = delete;
    DecoderWarnings &operator=(const DecoderWarnings &) = delete;

    // Whether the decoder said the data was corrupt or ended early.
    bool corrupt() const { return m_corrupt; }

private:
    static void hear(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (t_heard && context.category && std::strcmp(context.category, kJpegLogCategory) == 0
            && (message.startsWith(QLatin1String("Corrupt JPEG data"))
                || message.startsWith(QLatin1String("Premature end of JPEG file")))) {
            // Said to the user as a picture that could not be read.
            t_heard->m_corrupt = true;
            return;
        }
        if (const QtMessageHandler previous = s_previousHandler.load())
            previous(type, context, message);
    }
    static void keepWarnings(QLoggingCategory *category)
    {
        if (const QLoggingCategory::CategoryFilter previous = s_previousFilter.load())
            previous(category);
        if (std::strcmp(category->categoryName(), kJpegLogCategory) == 0)
            category->setEnabled(QtWarningMsg, true);
    }

    static inline std::atomic<QtMessageHandler> s_previousHandler{nullptr};
    static inline std::atomic<QLoggingCategory::CategoryFilter> s_previousFilter{nullptr};
    static inline thread_local DecoderWarnings *t_heard = nullptr;
    DecoderWarnings *m_outer;
    bool m_corrupt = false;
};

// Whether an <image> reference is a PNG or JPEG carried in the data itself.
// Anything else is refused: a path would be read from the disk, and an SVG
// picture (whatever its label) would be drawn without these checks.
bool isEmbeddedBitmap(QStringView href)
{
    const qsizetype comma = href.indexOf(QLatin1Char(','));
    if (comma < 0 || !href.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)
        || !href.left(comma).endsWith(QLatin1String(";base64"), Qt::CaseInsensitive))
        return false;
    const QStringView payload = href.mid(comma + 1);
    // Strict base64 only, so that nothing is decoded differently by QtSvg.
    const bool base64 = std::all_of(payload.begin(), payload.end(), [](QChar c) {
        return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+') || c == QLatin1Char('/')
            || c == QLatin1Char('=');
    });
    if (!base64)
        return false;
    const QByteArray bytes = QByteArray::fromBase64(payload.left(16).toLatin1());
    return !encodedFormatOf(bytes).isEmpty();
}

// Checks SVG data before QtSvg sees it, so that a hostile or damaged
// document cannot exhaust the stack or keep a draw busy indefinitely: the XML
// must be well formed, nesting (through references as well) shallow, the
// work after expanding references bounded, ids unique so that a reference
// means one element, and pictures embedded rather than loaded from a path.
bool svgIsWithinBounds(const QByteArray &svg)
{
    struct Element {
        qsizetype end = 0; // one past the last descendant
        qint64 ownCost = 1;
        QString use;       // the id a <use> draws
    };
    std::vector<Element> elements;
    std::vector<qsizetype> open;
    QHash<QString, qsizetype> ids;

    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (open.size() >= size_t(kMaxSvgDepth) || qint64(elements.size()) >= kMaxSvgCost)
                return false;
            Element e;
            QString href;
            QString id;
            for (const QXmlStreamAttribute &a : xml.attributes()) {
                if (a.name() == QLatin1String("href"))
                    href = a.value().trimmed().toString();
                else if (a.name() == QLatin1String("id") && a.prefix().isEmpty())
                    id = a.value().toString();
                else if (a.name() == QLatin1String("d") || a.name() == QLatin1String("points"))
                    e.ownCost += a.value().size() / kSvgPathBytesPerCost;
            }
            const QStringView name = xml.name();
            if (name == QLatin1String("image") && !isEmbeddedBitmap(href))
                return false;
            if (name == QLatin1String("use") && href.startsWith(QLatin1Char('#')))
                e.use = href.mid(1);
            if (!id.isEmpty()) {
                if (ids.contains(id))
                    return false;
                ids.insert(id, qsizetype(elements.size()));
            }
            open.push_back(qsizetype(elements.size()));
            elements.push_back(std::move(e));
            break;
        }
        case QXmlStreamReader::EndElement:
            elements[size_t(open.back())].end = qsizetype(elements.size());
            open.pop_back();
            break;
        case QXmlStreamReader::Characters:
            if (!xml.isWhitespace() && !open.empty())
                elements[size_t(open.back())].ownCost += xml.text().size() / kSvgCharactersPerCost;
            break;
        default:
            break;
        }
    }
    if (xml.hasError() || elements.empty())
        return false;

    // Cost and height of each element's drawing, references expanded; a
    // reference back into itself is refused.
    constexpr qint64 kOver = kMaxSvgCost + 1;
    constexpr qint64 kVisiting = -2;
    std::vector<qint64> cost(elements.size(), -1);
    std::vector<int> height(elements.size(), 0);
    // Returns false when the drawing from element `i` at `depth` exceeds a
    // bound; the recursion stops at kMaxSvgDepth.
    auto measure = [&](auto &&self, qsizetype i, int depth) -> bool {
        const size_t at = size_t(i);
        if (cost[at] == kVisiting)
            return false;
        if (cost[at] >= 0)
            return depth + height[at] <= kMaxSvgDepth;
        if (depth >= kMaxSvgDepth)
            return false;
        cost[at] = kVisiting;
        const Element &e = elements[at];
        qint64 total = e.ownCost;
        int tallest = 0;
        auto add = [&](qsizetype child) {
            if (!self(self, child, depth + 1))
                return false;
            total = std::min(kOver, total + cost[size_t(child)]);
            tallest = std::max(tallest, height[size_t(child)]);
            return total <= kMaxSvgCost;
        };
        for (qsizetype c = i + 1; c < e.end; c = elements[size_t(c)].end) {
            if (!add(c))
                return false;
        }
        if (!e.use.isEmpty()) {
            const auto target = ids.constFind(e.use);
            if (target != ids.constEnd() && !add(*target))
                return false;
        }
        cost[at] = total;
        height[at] = tallest + 1;
        return true;
    };
    return measure(measure, 0, 0);
}

} // namespace

Image Image::fromBitmap(const QImage &bitmap, QSizeF points)
{
    Image img;
    if (bitmap.isNull())
        return img;
    img.m_bitmap = bitmap;
    if (points.isEmpty()) {
        const double dpmX = bitmap.dotsPerMeterX() > 0 ? bitmap.dotsPerMeterX() : kPointsPerMetre;
        const double dpmY = bitmap.dotsPerMeterY() > 0 ? bitmap.dotsPerMeterY() : kPointsPerMetre;
        points = QSizeF(bitmap.width() * kPointsPerMetre / dpmX, bitmap.height() * kPointsPerMetre / dpmY);
    }
    img.m_size = points;
    return img;
}

Image Image::fromPicture(const QPicture &picture, QSizeF points)
{
    Image img;
    img.m_vector = true;
    img.m_picture = picture;
    img.m_size = points;
    return img;
}

Image Image::record(QSizeF points, const std::function<void(QPainter &)> &paint)
{
    QPicture picture;
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        paint(p);
    }
    return fromPicture(picture, points);
}

Image Image::drawing(QSizeF points, std::function<void(QPainter &)> paint, bool opaque)
{
    Image img;
    img.m_vector = true;
    img.m_opaque = opaque;
    img.m_size = points;
    img.m_paint = std::make_shared<const std::function<void(QPainter &)>>(std::move(paint));
    return img;
}

QPicture Image::picture() const
{
    if (!m_paint)
        return m_picture;
    QPicture picture;
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    (*m_paint)(p);
    p.end();
    return picture;
}

Image Image::fromFile(const QString &path)
{
    // Only regular files: a pipe or a device would block the reader forever.
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Judged before anything is read: a file of gigabytes that starts like
    // a picture would otherwise be read whole.
    const qint64 bytes = file.size();
    if (bytes > kMostBytesReadWhole)
        return {};
    const QByteArray format = encodedFormatOf(file.peek(8));
    if (!format.isEmpty())
        return fromEncoded(file.read(bytes), format);
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    QImage bitmap = reader.read();
    if (bitmap.isNull())
        return {};
    return fromBitmap(bitmap);
}

Image Image::fromEncoded(const QByteArray &data, const QByteArray &format, QSizeF points)
{
    // The format is checked against the data's own signature, so that no
    // other decoder is ever handed the data.
    if (format.isEmpty() || encodedFormatOf(data.left(8)) != format)
        return {};
    if (format == "jpeg" && !jpegIsWhole(data))
        return {};
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoTransform(true);
    const DecoderWarnings warnings;
    const QImage bitmap = reader.read();
    if (warnings.corrupt())
        return {};
    Image img = fromBitmap(bitmap, points);
    if (!img.isNull()) {
        img.m_encoded = data;
        img.m_encodedFormat = format;
    }
    return img;
}

Image Image::damaged(const QByteArray &data, const QByteArray &format, QSizeF points)
{
    Image img;
    img.m_size = points;
    img.m_encoded = data;
    img.m_encodedFormat = format;
    img.m_damaged = true;
    return img;
}

Image Image::unshared() const
{
    Image copy = *this;
    if (m_vector && !m_paint)
        copy.m_picture.detach();
    return copy;
}

bool Image::isNull() const
{
    if (m_size.width() <= 0 || m_size.height() <= 0)
        return true;
    return m_vector ? false : m_bitmap.isNull();
}

void Image::draw(QPainter &painter, const QRectF &target) const
{
    if (isNull() || target.isEmpty())
        return;
    if (!m_vector) {
        painter.drawImage(target, m_bitmap);
        return;
    }
    if (m_paint) {
        painter.save();
        painter.translate(target.topLeft());
        painter.scale(target.width() / m_size.width(), target.height() / m_size.height());
        (*m_paint)(painter);
        painter.restore();
        return;
    }
    QPaintDevice *device = painter.device();
    const double dpiX = device ? device->logicalDpiX() : kPictureDpi;
    const double dpiY = device ? device->logicalDpiY() : kPictureDpi;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / m_size.width() * kPictureDpi / dpiX,
                  target.height() / m_size.height() * kPictureDpi / dpiY);
    painter.drawPicture(0, 0, m_picture);
    painter.restore();
}

QImage Image::toBitmap(double dpi, QColor background, bool smooth) const
{
    if (isNull() || dpi <= 0)
        return {};
    const int w = int(std::ceil(m_size.width() * dpi / 72.0 - 1e-9));
    const int h = int(std::ceil(m_size.height() * dpi / 72.0 - 1e-9));
    if (w <= 0 || h <= 0)
        return {};
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return {};
    const int dpm = int(std::lround(dpi / 0.0254));
    out.setDotsPerMeterX(dpm);
    out.setDotsPerMeterY(dpm);
    if (!m_opaque)
        out.fill(background);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    draw(p, QRectF(0, 0, w, h));
    p.end();
    return out;
}

QByteArray Image::toPdf() const
{
    if (isNull())
        return {};
    return pdfData(m_size, [this](QPainter &p) { draw(p, QRectF(QPointF(0, 0), m_size)); });
}

QByteArray Image::toSvg() const
{
    if (isNull())
        return {};
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    // At 72 dpi the generator's units are points.
    generator.setResolution(72);
    generator.setSize(QSize(int(std::ceil(m_size.width())), int(std::ceil(m_size.height()))));
    generator.setViewBox(QRectF(QPointF(0, 0), m_size));
    QPainter p;
    if (!p.begin(&generator))
        return {};
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    draw(p, QRectF(QPointF(0, 0), m_size));
    p.end();
    return data;
}

Image Image::fromSvg(const QByteArray &svg, QSizeF points)
{
    const bool sizeOk = std::isfinite(points.width()) && std::isfinite(points.height()) && points.width() > 0
        && points.height() > 0 && points.width() <= kMaxSvgSidePt && points.height() <= kMaxSvgSidePt;
    if (!sizeOk || svg.isEmpty() || svg.size() > kMaxSvgBytes || !svgIsWithinBounds(svg))
        return {};
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return {};
    return record(points, [&](QPainter &p) { renderer.render(&p, QRectF(QPointF(0, 0), points)); });
}

QByteArray pdfData(QSizeF points, const std::function<void(QPainter &)> &paint)
{
    if (points.width() <= 0 || points.height() <= 0)
        return {};
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(72);
        // Page sizes given in points are rounded to whole points; millimetres
        // keep the fraction.
        writer.setPageSize(QPageSize(QSizeF(points.width() * 25.4 / 72.0, points.height() * 25.4 / 72.0),
                                     QPageSize::Millimeter));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter p(&writer);
        p.setRenderHint(QPainter::Antialiasing);
        // The painter's units are device pixels at 72 dpi, i.e. points.
        const QRectF page = writer.pageLayout().paintRectPixels(72);
        p.scale(page.width() / points.width(), page.height() / points.height());
        paint(p);
    }
    return data;
}

} // namespace platform
