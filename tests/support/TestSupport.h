#pragma once
// Helpers shared by the test suites: a private folder per test and a real
// barcode reader (zxing-cpp) to check what we draw.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QWidget>
#include <QTemporaryDir>
#include <functional>
#include <string>
#include <vector>

#include <ZXing/BarcodeFormat.h>
#include <ZXing/DecodeHints.h>

namespace quorvant::test {

// A fresh temporary folder that lives as long as the object.
class TempFolder {
public:
    TempFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// A folder on a file system with room for `kib` KiB, where writing more
// fails as a full disk does: a tmpfs of that size mounted there where the
// test may mount (as root), else a limit of `fileLimitKib` (by default
// `kib`) on the size of any one file the process writes (RLIMIT_FSIZE, the
// whole process, while the object lives). Tests check what holds either way
// and compare reasons with fullReason().
class SmallDisk {
public:
    explicit SmallDisk(int kib, int fileLimitKib = 0);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;
    QString path() const { return m_folder.path(); }
    QString file(const QString &name) const { return m_folder.file(name); }
    bool mounted() const { return m_mounted; }
    // What the system says when the disk is full: "No space left on device"
    // on the tmpfs, "File too large" under the limit.
    QString fullReason() const;
    // Makes the mounted file system read-only; false when it is not mounted.
    bool makeReadOnly();

private:
    TempFolder m_folder;
    bool m_mounted = false;
    bool m_limited = false;
    long long m_previousLimit = 0;
    void (*m_previousSignal)(int) = nullptr;
};

// While the object lives, the process's address space is limited to what
// it uses now and `spareKiB` more (RLIMIT_AS), so that code that would take
// far more memory fails (std::bad_alloc) instead of taking it. A failure to
// set the limit fails the test.
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(long long spareKiB);
    ~AddressSpaceLimit();
    AddressSpaceLimit(const AddressSpaceLimit &) = delete;
    AddressSpaceLimit &operator=(const AddressSpaceLimit &) = delete;

private:
    bool m_set = false;
    unsigned long long m_previous = 0;
};

// Writes a file for a test, creating its folders; a failure fails the test.
void writeTestFile(const QString &path, const QByteArray &bytes);
// A file's bytes, or "<missing>" when it cannot be read.
QByteArray readTestFile(const QString &path);

// Runs `work` on a worker thread while this (main) thread keeps processing
// events, as the program's event loop would; returns when the work is done.
void runOnWorker(const std::function<void()> &work);

// A photo-like picture (every pixel different from its neighbours) of
// `size` as the JPEG encoder writes it, baseline or progressive (several
// scans, each led by its tables). Its compressed data is most of it, so data
// cut short anywhere past the first tenth still decodes, with a warning.
QByteArray photoJpeg(QSize size, bool progressive = false);

// JPEG data as cameras, editors and damage leave it, made from a clean
// `jpeg` (as Qt's encoder writes it, JFIF header first) by editing bytes.
// A whole one decodes to the clean one's pixels; a damaged one is refused
// with `reason` as platform::Image says it.
struct JpegVariant {
    const char *what;
    QByteArray data;
    QString reason; // empty for a whole one
};
std::vector<JpegVariant> jpegVariants(const QByteArray &jpeg);

// Share (0..1) of pixels whose colour differs by more than `tolerance` in any
// channel (alpha included); images of different sizes differ everywhere.
double differingPixelShare(const QImage &a, const QImage &b, int tolerance);
// The least differingPixelShare() of `drawn` and the `box` of `page`, with the
// box moved up to one pixel either way: a card placed on a page lands on
// whole pixels that rounding may shift by one.
double differingPixelShareNear(const QImage &page, const QRect &box, const QImage &drawn, int tolerance);

// Why the shown `window` fails to show `text` whole, or "" when it does.
// The text is in a visible label; the window lies within its screen's
// available area; the label draws the same pixels as Qt's text document
// lays the text out at its width (nothing cut at the side); and every line
// lies in view, or, in a scroll area, the window takes the screen's height
// before its text scrolls and scrolling reaches the last line.
QString whyTextIsNotShownWhole(QWidget &window, const QString &text);

struct Decoded {
    bool valid = false;
    std::string text;          // UTF-8
    std::string bytes;         // the raw bytes of the symbol's content
    ZXing::BarcodeFormat format = ZXing::BarcodeFormat::None;
    bool mirrored = false;
};

// Decodes one barcode of the given formats from the image (converted to 8-bit
// grey). A white border of `quietPixels` is added around the picture first, so
// symbols drawn edge to edge still have the quiet zone a reader needs.
Decoded decodeBarcode(const QImage &image, ZXing::BarcodeFormats formats, int quietPixels = 40);
// The same with the reader's options given in full (formats included), for
// readings that need one switched on (Code 39 full ASCII, Codabar start and
// stop characters).
Decoded decodeBarcode(const QImage &image, const ZXing::DecodeHints &hints, int quietPixels = 40);

} // namespace quorvant::test
