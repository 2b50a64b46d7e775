#pragma once
// An image value as the program passes pictures around: either a vector
// recording (resolution independent, drawn again at whatever resolution it is
// shown or printed) or a bitmap. Either way it knows its size in points
// (1/72 inch) and can be drawn into any rectangle or rendered to pixels at any
// resolution. Copies are cheap (the content is shared).

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPicture>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>
#include <memory>

class QPainter;

namespace platform {

// The most bytes of one file the program reads whole into memory: a picture
// file, a design file (which keeps its photos' own bytes). Past any photo a
// card shows and any design of thousands of objects, and short of what
// holding that much would cost.
inline constexpr qint64 kMostBytesReadWhole = qint64(512) << 20;

class Image {
public:
    Image() = default;

    // A bitmap shown at `points`; with an empty size the bitmap's own
    // resolution decides (72 dpi when it has none), as a file's would.
    static Image fromBitmap(const QImage &bitmap, QSizeF points = {});
    // A recording whose painter coordinates are points, origin top left.
    static Image fromPicture(const QPicture &picture, QSizeF points);
    // Records what `paint` draws on a canvas of `points` (coordinates in
    // points, origin top left).
    static Image record(QSizeF points, const std::function<void(QPainter &)> &paint);
    // A vector image that `paint` draws afresh each time it is shown, on the
    // painter of the device it is shown on (coordinates in points, origin top
    // left): nothing is recorded, so the drawing can fit itself to that
    // device (whole pixels on a bitmap, exact lengths in a PDF). `paint` owns
    // what it draws and may be called on any thread. An `opaque` drawing
    // covers every pixel of its area with opaque paint, so a bitmap made of
    // it need not be cleared first.
    static Image drawing(QSizeF points, std::function<void(QPainter &)> paint, bool opaque = false);
    // Reads a picture file; a null image when it cannot be read, and
    // without reading anything of a file larger than kMostBytesReadWhole.
    // A PNG or JPEG file's own bytes are kept with the bitmap (see
    // encoded()). Why it could not be read goes to `error` and stays with
    // the null image as damage(): a short lower-case phrase ("the picture
    // ends early", "the file is too large", "it is not a picture", "the
    // picture is of a kind that is not supported", ...) to follow "could
    // not be read: ", so that no caller reads the file again to learn it.
    // Any thread.
    static Image fromFile(const QString &path, QString *error = nullptr);
    // A bitmap decoded from PNG ("png") or JPEG ("jpeg") data, keeping the
    // data; shown at `points` (as fromBitmap()). Null, with the reason in
    // `error` and damage() as fromFile() gives it, when the data is not a
    // picture of that format, does not decode, is damaged or is of a kind
    // the decoder does not read. JPEG data is judged by what its decoder
    // reports, each of its messages by its verdict (platform/JpegMessages.h):
    // data cut short, with broken segments, or with compressed data it finds
    // corrupt is damaged (it would draw the lost part grey or as noise), and
    // so is a stray byte where a marker belongs; the decode ends at the
    // first such sign. Header details the decoder ignores or corrects (an
    // unknown JFIF revision, scan parameters that a sequential scan does
    // not use, zero or 0xFF fill after the compressed data) leave it whole.
    // The EXIF orientation is applied. Any thread.
    static Image fromEncoded(const QByteArray &data, const QByteArray &format, QSizeF points = {},
                             QString *error = nullptr);
    // A stored picture that could not be read, kept as it was stored so
    // that storing it again loses nothing: null (it shows and draws as a
    // missing picture) and damaged, with `data` as encoded() and `format`
    // ("png", "jpeg", "svg" or whatever the store said) as encodedFormat(),
    // and why it could not be read (as fromEncoded() says it; may be empty)
    // as damage().
    static Image damaged(const QByteArray &data, const QByteArray &format, QSizeF points,
                         const QString &why = {});

    // A copy that another thread may draw while this one is drawn: a
    // recording replays through a read position its copies share, so the
    // copy gets a recording of its own. Bitmaps and drawings are shared as
    // they are (only ever read).
    Image unshared() const;

    bool isNull() const;
    // Made by damaged(): a null image that keeps what could not be read.
    bool isDamaged() const { return m_damaged; }
    // Why the picture could not be read: as damaged() was given it, or as
    // the fromFile() or fromEncoded() that gave this null image said it.
    // Empty for every other image.
    const QString &damage() const { return m_damage; }
    bool isVector() const { return m_vector; }
    QSizeF size() const { return m_size; }
    // Changes the size in points at which the content is shown.
    void setSize(QSizeF points) { m_size = points; }

    const QImage &bitmap() const { return m_bitmap; }
    // The PNG or JPEG data the bitmap was decoded from, and its format
    // ("png", "jpeg"): the picture as its file has it, which stores far
    // smaller and faster than the pixels encoded again. Empty when the bitmap
    // was made otherwise. A damaged() image's data as it was stored.
    const QByteArray &encoded() const { return m_encoded; }
    const QByteArray &encodedFormat() const { return m_encodedFormat; }
    // The recording of a vector image; a drawing() image is recorded on
    // demand.
    QPicture picture() const;

    // Draws the whole image stretched into `target` (in the painter's
    // current coordinates).
    void draw(QPainter &painter, const QRectF &target) const;

    // Pixels at `dpi`: ceil(points * dpi / 72) on each side, the resolution
    // stored in the image. A bitmap is scaled smoothly only when `smooth`.
    QImage toBitmap(double dpi, QColor background = Qt::transparent, bool smooth = true) const;

    // A one-page PDF of exactly the image's size.
    QByteArray toPdf() const;

    // The image as an SVG document: size in points, viewBox 0 0 w h. Empty
    // for a null image.
    QByteArray toSvg() const;
    // A vector image of `points` drawn from SVG data. The drawing is recorded
    // afresh, so what is replayed later is always a recording of our own.
    // Null when the data does not parse or is beyond what we are prepared to
    // draw (too large, too deeply nested, references that multiply the work,
    // pictures loaded from outside the data), or when `points` is not a
    // sensible size.
    static Image fromSvg(const QByteArray &svg, QSizeF points);

private:
    // A null image that keeps why it could not be read, also given to `error`.
    static Image unread(const QString &why, QString *error);

    bool m_vector = false;
    QSizeF m_size;
    QImage m_bitmap;
    QByteArray m_encoded;
    QByteArray m_encodedFormat;
    QPicture m_picture;
    std::shared_ptr<const std::function<void(QPainter &)>> m_paint;
    bool m_opaque = false;
    bool m_damaged = false;
    QString m_damage;
};

// PDF data of a drawing: one page of `points`, painter coordinates in points.
QByteArray pdfData(QSizeF points, const std::function<void(QPainter &)> &paint);

} // namespace platform
