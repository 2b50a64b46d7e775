#include "platform/Image.h"
#include "platform/JpegMessages.h"

#include <QBuffer>
#include <QHash>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <QTransform>
#include <QXmlStreamReader>
#include <algorithm>
#include <climits>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

// After <cstdio>: the decoder's header uses FILE without including it.
#include <jpeglib.h>
#include <jerror.h>
// The marker reader: its restart hook and its count of skipped bytes.
#include <jpegint.h>

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
// JPEG data is taken at its start marker alone, so that data damaged right
// after it is judged as JPEG, not passed to other decoders.
QByteArray encodedFormatOf(const QByteArray &head)
{
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        return QByteArrayLiteral("png");
    if (head.startsWith("\xff\xd8"))
        return QByteArrayLiteral("jpeg");
    return {};
}

// Why a picture could not be read, as the messages that name it say.
const QString kNotOpened = QStringLiteral("it cannot be opened");
const QString kFileTooLarge = QStringLiteral("the file is too large");
const QString kPictureTooLarge = QStringLiteral("the picture is too large");
const QString kEndsEarly = QStringLiteral("the picture ends early");
const QString kCorrupt = QStringLiteral("the picture's data is corrupt");
const QString kUnsupported = QStringLiteral("the picture is of a kind that is not supported");
const QString kNoPicture = QStringLiteral("it is not a picture");

void setError(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
}

// What keeps JPEG data from being drawn whole. Ordered: where several
// apply, the later one is named.
enum class JpegDamage { None, Corrupt, EndsEarly, Unsupported, TooLarge };

const QString &reasonFor(JpegDamage damage)
{
    switch (damage) {
    case JpegDamage::EndsEarly:
        return kEndsEarly;
    case JpegDamage::Unsupported:
        return kUnsupported;
    case JpegDamage::TooLarge:
        return kPictureTooLarge;
    case JpegDamage::None:
    case JpegDamage::Corrupt:
        break;
    }
    return kCorrupt;
}

// Whether JPEG data runs whole from its start to its end-of-image marker:
// every segment inside the data, with no stray bytes where a marker belongs,
// and a frame and a scan before the end. The decoder takes data cut short
// (a copy or a download that stopped) or with broken segments with only a
// warning and draws what is missing grey, or, for a stray byte after the
// start marker, reads on as if nothing were amiss. Past stray bytes the
// walk goes on to the next marker, as the decoder does, so that data both
// broken and cut short is named as cut short. The compressed data of a
// scan is not decoded here: it runs to the next marker, which a whole file
// always has.
JpegDamage jpegStructure(const QByteArray &data)
{
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    const qsizetype size = data.size();
    if (size < 4)
        return JpegDamage::EndsEarly;
    if (bytes[0] != 0xFF || bytes[1] != 0xD8)
        return JpegDamage::Corrupt;
    // Running out of data before the end marker means the data was cut
    // short, unless it still ends with that marker: then a byte changed
    // inside it (one that reads as a marker, a length gone wrong) claims
    // more than follows, and the data is corrupt.
    const JpegDamage runsOut = bytes[size - 2] == 0xFF && bytes[size - 1] == 0xD9 ? JpegDamage::Corrupt
                                                                                 : JpegDamage::EndsEarly;
    JpegDamage damage = JpegDamage::None;
    bool frame = false;
    bool scan = false;
    qsizetype at = 2;
    // Moves `at` to the next 0xFF at or after it; false when there is none.
    const auto toNextFF = [&] {
        const void *found = at < size ? std::memchr(bytes + at, 0xFF, size_t(size - at)) : nullptr;
        if (found)
            at = static_cast<const uchar *>(found) - bytes;
        return found != nullptr;
    };
    for (;;) {
        // A marker: 0xFF, any number of fill bytes 0xFF, then its code.
        if (at >= size)
            return runsOut;
        if (bytes[at] != 0xFF) {
            damage = JpegDamage::Corrupt;
            if (!toNextFF())
                return runsOut;
        }
        while (at < size && bytes[at] == 0xFF)
            ++at;
        if (at >= size)
            return runsOut;
        const uchar code = bytes[at++];
        if (code == 0xD9)
            return frame && scan ? damage : JpegDamage::Corrupt;
        if (code == 0x00 || code == 0xD8) {
            damage = JpegDamage::Corrupt;
            continue;
        }
        // Restart markers and TEM stand alone; every other marker leads a
        // segment that starts with its length.
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD7))
            continue;
        if (at + 2 > size)
            return runsOut;
        const qsizetype length = qsizetype(bytes[at]) << 8 | bytes[at + 1];
        if (length < 2)
            return JpegDamage::Corrupt;
        if (at + length > size)
            return runsOut;
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
            if (!toNextFF() || at + 1 >= size)
                return runsOut;
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

// The decoder's error manager. It hears every warning with its code (the
// decoder goes on past data it finds corrupt, drawing what it cannot read
// as noise or grey, and says so only in a warning), judges it by its
// verdict (platform/JpegMessages), prints nothing, and leaves the decode
// through longjmp rather than exit(): at an error, and at the first
// warning that data was lost. Going on past that would only draw a
// picture already refused, and data that warns on every one of thousands
// of scans would keep the decoder busy for seconds.
struct JpegErrors {
    jpeg_error_mgr manager; // first: the decoder sees only this part
    std::jmp_buf failed;
    const uchar *data = nullptr;
    qsizetype size = 0;
    JpegDamage damage = JpegDamage::None;
    // Bytes the decoder dropped at restart markers and has not reported
    // yet, each found to be fill where it lay.
    unsigned int droppedFill = 0;
    jpeg_marker_parser_method readRestartMarker = nullptr; // the decoder's own

    static JpegErrors &of(j_common_ptr info) { return *reinterpret_cast<JpegErrors *>(info->err); }
    void note(JpegDamage d) { damage = std::max(damage, d); }

    // Where the decoder is in the data; -1 when past it (at its end, where
    // the decoder reads a marker of its own).
    qsizetype placeOf(j_decompress_ptr info) const
    {
        const JOCTET *at = info->src->next_input_byte;
        if (std::less<>()(at, data) || std::less<>()(data + size, at))
            return -1;
        return at - data;
    }

    // The fill (0x00 and 0xFF bytes, as some cameras and editors pad
    // before a marker) right before `end`, counted both ways the decoder
    // counts what it skips: as its bit reader takes bytes (0xFF 0x00 is
    // one byte, so each 0x00 ends one) and as its search for a marker
    // skips them (such a pair is two bytes, any other byte one). A
    // stretch of skipped bytes is all fill exactly when it counts no more
    // than this: a byte of compressed data before the fill would add to
    // its count.
    struct Fill {
        qsizetype read = 0;
        qsizetype searched = 0;
    };
    Fill fillBefore(qsizetype end) const
    {
        qsizetype from = end;
        while (from > 0 && (data[from - 1] == 0x00 || data[from - 1] == 0xFF))
            --from;
        Fill fill;
        for (qsizetype i = from; i < end; ++i) {
            if (data[i] != 0x00)
                continue;
            ++fill.read;
            fill.searched += i > from && data[i - 1] == 0xFF ? 2 : 1;
        }
        return fill;
    }

    // Whether the bytes the decoder reports skipped before the marker it
    // is at are fill rather than compressed data it did not use, which a
    // scan scrambled or cut leaves behind. Those dropped at restart
    // markers were judged there; the rest its search skipped right before
    // this marker (its place in the data is that marker's first 0xFF).
    bool skippedOnlyFill(j_decompress_ptr info)
    {
        const long here = long(info->err->msg_parm.i[0]) - long(std::exchange(droppedFill, 0));
        const qsizetype at = placeOf(info);
        return here >= 0 && at >= 0 && here <= fillBefore(at).searched;
    }

    // The decoder's restart marker reader, first judging what the decoder
    // drops there: bytes it had read ahead of the interval's last block
    // and did not use. It reports them only when it next searches for a
    // marker, which it may never do, so they are judged here, where they
    // lie: before the marker when the decoder has read it already (its
    // place is then past the marker), else before its place. What is not
    // fill ends the decode as corrupt.
    static boolean readRestart(j_decompress_ptr info)
    {
        JpegErrors &self = of(reinterpret_cast<j_common_ptr>(info));
        const unsigned int dropped = info->marker->discarded_bytes - self.droppedFill;
        if (dropped > 0) {
            qsizetype end = self.placeOf(info);
            if (end >= 2 && info->unread_marker != 0) {
                end -= 2; // the marker's code and the 0xFF before it
                while (end > 0 && self.data[end - 1] == 0xFF)
                    --end;
            }
            if (end < 0 || self.fillBefore(end).read < qsizetype(dropped)) {
                self.note(JpegDamage::Corrupt);
                std::longjmp(self.failed, 1);
            }
            self.droppedFill += dropped;
        }
        return self.readRestartMarker(info);
    }

    // What the message the decoder is sending says of the picture.
    JpegDamage damageOf(j_common_ptr info)
    {
        switch (jpeg::verdictOn(info->err->msg_code)) {
        case jpeg::Verdict::Whole:
            return JpegDamage::None;
        case jpeg::Verdict::WholeIfFill:
            return info->is_decompressor && skippedOnlyFill(reinterpret_cast<j_decompress_ptr>(info))
                ? JpegDamage::None
                : JpegDamage::Corrupt;
        case jpeg::Verdict::EndsEarly:
            return JpegDamage::EndsEarly;
        case jpeg::Verdict::Unsupported:
            return JpegDamage::Unsupported;
        case jpeg::Verdict::TooLarge:
            return JpegDamage::TooLarge;
        case jpeg::Verdict::Corrupt:
        case jpeg::Verdict::Trace: // never a warning: should one come as such, nothing is known of it
            break;
        }
        return JpegDamage::Corrupt;
    }

    static void emitMessage(j_common_ptr info, int level)
    {
        if (level >= 0) // trace messages
            return;
        JpegErrors &self = of(info);
        const JpegDamage damage = self.damageOf(info);
        if (damage == JpegDamage::None)
            return;
        self.note(damage);
        std::longjmp(self.failed, 1);
    }
    static void outputMessage(j_common_ptr) {}
    [[noreturn]] static void errorExit(j_common_ptr info)
    {
        JpegErrors &self = of(info);
        // An error always ends the decode, whatever its verdict says of
        // the pixels decoded so far.
        self.note(std::max(self.damageOf(info), JpegDamage::Corrupt));
        std::longjmp(self.failed, 1);
    }
};

// The orientation (1 to 8, as EXIF numbers them) that the first EXIF block
// of the markers gives; 1, as stored, when there is none.
int exifOrientation(jpeg_saved_marker_ptr markers)
{
    for (jpeg_saved_marker_ptr m = markers; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1 || m->data_length < 6 + 8 || std::memcmp(m->data, "Exif\0\0", 6) != 0)
            continue;
        // A TIFF header, then the first directory of 12-byte entries.
        const uchar *tiff = m->data + 6;
        const size_t size = m->data_length - 6;
        const bool little = tiff[0] == 'I' && tiff[1] == 'I';
        if (!little && !(tiff[0] == 'M' && tiff[1] == 'M'))
            return 1;
        const auto u16 = [&](size_t at) -> quint32 {
            return little ? tiff[at] | tiff[at + 1] << 8 : tiff[at] << 8 | tiff[at + 1];
        };
        const auto u32 = [&](size_t at) -> quint32 {
            return little ? u16(at) | u16(at + 2) << 16 : u16(at) << 16 | u16(at + 2);
        };
        const size_t directory = u32(4);
        if (u16(2) != 42 || directory > size - 2)
            return 1;
        const quint32 entries = u16(directory);
        for (quint32 i = 0; i < entries; ++i) {
            const size_t entry = directory + 2 + size_t(i) * 12;
            if (entry + 12 > size)
                break;
            // Orientation, a SHORT held in the entry itself.
            if (u16(entry) == 0x0112 && u16(entry + 2) == 3) {
                const quint32 orientation = u16(entry + 8);
                return orientation >= 1 && orientation <= 8 ? int(orientation) : 1;
            }
        }
        return 1;
    }
    return 1;
}

// One decode: the decoder's state and what it made. Kept by the caller so
// that nothing with a destructor lives in the frame an error jumps back to.
struct JpegRead {
    jpeg_decompress_struct info{};
    JpegErrors errors;
    QImage bitmap;
    std::vector<JSAMPLE> row;
    int orientation = 1; // EXIF's
};

// Decodes `data` into read.bitmap; false when the decoder gave up or met
// damage (the reason in read.errors.damage). Warnings of whole data are
// passed over.
bool runJpegDecoder(JpegRead &read, const QByteArray &data, qint64 mostBytes)
{
    read.errors.data = reinterpret_cast<const uchar *>(data.constData());
    read.errors.size = data.size();
    read.info.err = jpeg_std_error(&read.errors.manager);
    read.errors.manager.error_exit = JpegErrors::errorExit;
    read.errors.manager.emit_message = JpegErrors::emitMessage;
    read.errors.manager.output_message = JpegErrors::outputMessage;
    if (setjmp(read.errors.failed))
        return false;
    jpeg_create_decompress(&read.info);
    read.errors.readRestartMarker = read.info.marker->read_restart_marker;
    read.info.marker->read_restart_marker = JpegErrors::readRestart;
    // The decoder's own buffers (a progressive picture keeps every
    // coefficient) stay within a few times the pixels' bound: past it the
    // decoder stops with an error rather than exhaust memory.
    if (mostBytes > 0)
        read.info.mem->max_memory_to_use = long(std::min<qint64>(3 * mostBytes, LONG_MAX));
    jpeg_mem_src(&read.info, read.errors.data, static_cast<unsigned long>(data.size()));
    jpeg_save_markers(&read.info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&read.info, TRUE);
    // Read now: the saved markers are freed as the decode finishes.
    read.orientation = exifOrientation(read.info.marker_list);
    QImage::Format format = QImage::Format_RGB32;
    switch (read.info.jpeg_color_space) {
    case JCS_GRAYSCALE:
        read.info.out_color_space = JCS_GRAYSCALE;
        format = QImage::Format_Grayscale8;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        read.info.out_color_space = JCS_CMYK;
        break;
    default:
        // Straight into RGB32's 0xffRRGGBB words; the decoder sets the
        // padding byte to 0xFF.
        read.info.out_color_space = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? JCS_EXT_BGRX : JCS_EXT_XRGB;
        break;
    }
    jpeg_calc_output_dimensions(&read.info);
    const qint64 width = read.info.output_width;
    const qint64 height = read.info.output_height;
    if (mostBytes > 0 && width * height * 4 > mostBytes) {
        read.errors.note(JpegDamage::TooLarge);
        return false;
    }
    read.bitmap = QImage(int(width), int(height), format);
    if (read.bitmap.isNull()) {
        read.errors.note(JpegDamage::TooLarge);
        return false;
    }
    const bool cmyk = read.info.out_color_space == JCS_CMYK;
    if (cmyk)
        read.row.resize(size_t(width) * 4);
    jpeg_start_decompress(&read.info);
    while (read.info.output_scanline < read.info.output_height) {
        const int y = int(read.info.output_scanline);
        JSAMPROW row = cmyk ? read.row.data() : read.bitmap.scanLine(y);
        if (jpeg_read_scanlines(&read.info, &row, 1) != 1) {
            read.errors.note(JpegDamage::Corrupt);
            return false;
        }
        if (cmyk) {
            // Stored inverted, as Adobe's programs write CMYK JPEGs.
            auto *out = reinterpret_cast<QRgb *>(read.bitmap.scanLine(y));
            for (qint64 x = 0; x < width; ++x) {
                const JSAMPLE *in = read.row.data() + x * 4;
                const int k = in[3];
                out[x] = qRgb(k * in[0] / 255, k * in[1] / 255, k * in[2] / 255);
            }
        }
    }
    // Reads on to the end marker: what lies between the last scan and it is
    // heard too.
    jpeg_finish_decompress(&read.info);
    return true;
}

// The bitmap turned upright as `orientation` (EXIF's 1 to 8) asks: mirrored
// and then turned a quarter clockwise, as Qt's readers transform.
QImage upright(const QImage &bitmap, int orientation)
{
    struct Steps {
        bool mirror; // left to right
        bool flip;   // top to bottom
        bool quarter;
    };
    static constexpr Steps kSteps[9] = {{false, false, false}, {false, false, false}, {true, false, false},
                                        {true, true, false},   {false, true, false},  {false, true, true},
                                        {false, false, true},  {true, false, true},   {true, true, true}};
    const Steps steps = kSteps[orientation];
    QImage out = bitmap;
    if (steps.mirror || steps.flip)
        out = out.mirrored(steps.mirror, steps.flip);
    if (steps.quarter) {
        out = out.transformed(QTransform().rotate(90));
        out.setDotsPerMeterX(bitmap.dotsPerMeterY());
        out.setDotsPerMeterY(bitmap.dotsPerMeterX());
    }
    return out;
}

// JPEG data decoded whole, upright, at the resolution it states; null with
// the reason when it is damaged or of a kind not read. A picture the
// decoder reads through with only warnings judged whole (an unknown JFIF
// revision, scan parameters a sequential decoder does not use, fill after
// the compressed data) is whole.
QImage decodeJpeg(const QByteArray &data, QString *error)
{
    const JpegDamage structure = jpegStructure(data);
    if (structure != JpegDamage::None) {
        setError(error, reasonFor(structure));
        return {};
    }
    // The bound Qt's own readers keep, in megabytes; 0 for none.
    const qint64 mostBytes = qint64(QImageReader::allocationLimit()) << 20;
    JpegRead read;
    const bool decoded = runJpegDecoder(read, data, mostBytes);
    const JpegDamage damage = read.errors.damage;
    int dpmX = 0;
    int dpmY = 0;
    if (decoded && damage == JpegDamage::None) {
        // Dots per inch (1) or per centimetre (2); 0 says only the aspect.
        const double perMetre = read.info.density_unit == 1 ? 100 / 2.54 : read.info.density_unit == 2 ? 100 : 0;
        dpmX = int(perMetre * read.info.X_density);
        dpmY = int(perMetre * read.info.Y_density);
    }
    jpeg_destroy_decompress(&read.info);
    if (!decoded || damage != JpegDamage::None) {
        setError(error, reasonFor(damage));
        return {};
    }
    if (dpmX > 0 && dpmY > 0) {
        read.bitmap.setDotsPerMeterX(dpmX);
        read.bitmap.setDotsPerMeterY(dpmY);
    }
    return upright(read.bitmap, read.orientation);
}

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

Image Image::fromFile(const QString &path, QString *error)
{
    // Only regular files: a pipe or a device would block the reader forever.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return unread(kNotOpened, error);
    // Judged before anything is read: a file of gigabytes that starts like
    // a picture would otherwise be read whole.
    const qint64 bytes = file.size();
    if (bytes > kMostBytesReadWhole)
        return unread(kFileTooLarge, error);
    const QByteArray format = encodedFormatOf(file.peek(8));
    if (!format.isEmpty())
        return fromEncoded(file.read(bytes), format, {}, error);
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    QImage bitmap = reader.read();
    if (bitmap.isNull())
        return unread(reader.error() == QImageReader::UnsupportedFormatError ? kNoPicture : kCorrupt, error);
    return fromBitmap(bitmap);
}

Image Image::fromEncoded(const QByteArray &data, const QByteArray &format, QSizeF points, QString *error)
{
    // The format is checked against the data's own signature, so that no
    // other decoder is ever handed the data.
    if (format.isEmpty() || encodedFormatOf(data.left(8)) != format)
        return unread(kNoPicture, error);
    QImage bitmap;
    QString why = kCorrupt;
    if (format == "jpeg") {
        bitmap = decodeJpeg(data, &why);
    } else {
        QBuffer buffer;
        buffer.setData(data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, format);
        reader.setAutoTransform(true);
        bitmap = reader.read();
    }
    if (bitmap.isNull())
        return unread(why, error);
    Image img = fromBitmap(bitmap, points);
    if (!img.isNull()) {
        img.m_encoded = data;
        img.m_encodedFormat = format;
    }
    return img;
}

Image Image::unread(const QString &why, QString *error)
{
    setError(error, why);
    Image img;
    img.m_damage = why;
    return img;
}

Image Image::damaged(const QByteArray &data, const QByteArray &format, QSizeF points, const QString &why)
{
    Image img;
    img.m_size = points;
    img.m_encoded = data;
    img.m_encodedFormat = format;
    img.m_damaged = true;
    img.m_damage = why;
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
