#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QAbstractTextDocumentLayout>
#include <QImageWriter>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/mount.h>
#include <sys/resource.h>
#include <thread>

namespace quorvant::test {

TempFolder::TempFolder()
{
    m_dir.setAutoRemove(true);
}

SmallDisk::SmallDisk(int kib, int fileLimitKib)
{
    const QByteArray options = "size=" + QByteArray::number(kib) + "k";
    const QByteArray where = QFile::encodeName(m_folder.path());
    m_mounted = ::mount("tmpfs", where.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) == 0;
    if (m_mounted)
        return;
    // A write past the limit fails with EFBIG instead of killing the process.
    m_previousSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    m_previousLimit = (long long)limit.rlim_cur;
    limit.rlim_cur = rlim_t(fileLimitKib > 0 ? fileLimitKib : kib) * 1024;
    m_limited = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    EXPECT_TRUE(m_limited) << "neither a tmpfs nor a file size limit: " << std::strerror(errno);
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder.path()).constData(), MNT_DETACH);
    if (m_limited) {
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = rlim_t(m_previousLimit);
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, m_previousSignal);
    }
}

QString SmallDisk::fullReason() const
{
    return QString::fromLocal8Bit(std::strerror(m_mounted ? ENOSPC : EFBIG));
}

bool SmallDisk::makeReadOnly()
{
    return m_mounted
           && ::mount(nullptr, QFile::encodeName(m_folder.path()).constData(), nullptr,
                      MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
}

AddressSpaceLimit::AddressSpaceLimit(long long spareKiB)
{
    long long usedKiB = 0;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmSize:"))
                usedKiB = line.mid(7).trimmed().split(' ').first().toLongLong();
        }
    }
    rlimit limit{};
    if (usedKiB <= 0 || ::getrlimit(RLIMIT_AS, &limit) != 0) {
        ADD_FAILURE() << "the address space in use is not known";
        return;
    }
    m_previous = limit.rlim_cur;
    limit.rlim_cur = rlim_t(usedKiB + spareKiB) * 1024;
    m_set = ::setrlimit(RLIMIT_AS, &limit) == 0;
    EXPECT_TRUE(m_set) << "the address space could not be limited";
}

AddressSpaceLimit::~AddressSpaceLimit()
{
    rlimit limit{};
    if (!m_set || ::getrlimit(RLIMIT_AS, &limit) != 0)
        return;
    limit.rlim_cur = rlim_t(m_previous);
    ::setrlimit(RLIMIT_AS, &limit);
}

void writeTestFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

QByteArray readTestFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void runOnWorker(const std::function<void()> &work)
{
    std::atomic<bool> done = false;
    std::thread worker([&] {
        work();
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    worker.join();
}

QByteArray photoJpeg(QSize size, bool progressive)
{
    QImage pixels(size, QImage::Format_RGB32);
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x)
            pixels.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * y) % 256, (x * 5 + y * 91) % 256));
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(pixels)) << writer.errorString().toStdString();
    return data;
}

std::vector<JpegVariant> jpegVariants(const QByteArray &jpeg)
{
    EXPECT_EQ(jpeg.mid(6, 5), QByteArray("JFIF\0", 5)) << "JFIF header first";
    EXPECT_TRUE(jpeg.endsWith("\xff\xd9"));
    // Fill bytes before the end marker, as some cameras and editors write.
    QByteArray padded = jpeg;
    padded.insert(padded.size() - 2, QByteArray(20, '\0'));
    // A JFIF revision 2.01, which the decoder does not know and warns about.
    const auto revised = [](QByteArray data) {
        data[11] = 2;
        data[12] = 1;
        return data;
    };
    // Bytes overwritten a third into the compressed data (never with a
    // marker's 0xFF): every segment stays in place, the scan decodes wrong.
    // A few bytes the decoder may read through without noticing; this many
    // it notices.
    const qsizetype scan = jpeg.indexOf("\xff\xda");
    const qsizetype scanData = scan + 2 + ((uchar(jpeg[scan + 2]) << 8) | uchar(jpeg[scan + 3]));
    const qsizetype scanBytes = jpeg.size() - 2 - scanData;
    QByteArray scrambled = jpeg;
    quint32 state = 12345;
    for (qsizetype i = scanData + scanBytes / 3, end = i + std::min<qsizetype>(256, scanBytes / 4); i < end; ++i) {
        state = state * 1103515245 + 12345;
        scrambled[i] = char((state >> 16) % 0xFF);
    }
    // Four bytes halfway into the compressed data that read as a segment
    // claiming far more bytes than follow it: the data is all there, so
    // it is corrupt, not cut short.
    QByteArray falseMarker = jpeg;
    falseMarker.replace(scanData + scanBytes / 2, 4, QByteArray("\xff\xe5\x7f\xff", 4));
    QByteArray stray = jpeg;
    stray.insert(2, '\0');
    // Scan parameters that a sequential scan has no use for (Ss, Se, Ah and
    // Al after the components), as some cameras write them: the decoder
    // warns and decodes every coefficient all the same.
    const qsizetype parameters = scan + 5 + 2 * qsizetype(uchar(jpeg[scan + 4]));
    const auto scanParameters = [&](int ss, int se, int ahAl) {
        QByteArray data = jpeg;
        data[parameters] = char(ss);
        data[parameters + 1] = char(se);
        data[parameters + 2] = char(ahAl);
        return data;
    };
    const QString endsEarly = QStringLiteral("the picture ends early");
    const QString corrupt = QStringLiteral("the picture's data is corrupt");
    return {
        {"clean", jpeg, {}},
        {"padded before its end marker", padded, {}},
        {"JFIF 2.01", revised(jpeg), {}},
        {"padded, JFIF 2.01", revised(padded), {}},
        {"Ah and Al 1 in its scan", scanParameters(0, 63, 0x11), {}},
        {"Ss, Se, Ah and Al all 0 in its scan", scanParameters(0, 0, 0), {}},
        {"Ss 1 in its scan", scanParameters(1, 63, 0), {}},
        {"cut short", jpeg.left(jpeg.size() * 2 / 3), endsEarly},
        {"a stray byte after its start marker", stray, corrupt},
        {"a stray byte after its start marker, cut short", stray.left(stray.size() * 2 / 3), endsEarly},
        {"scrambled inside its scan", scrambled, corrupt},
        {"scrambled inside its scan, JFIF 2.01", revised(scrambled), corrupt},
        {"a false marker inside its scan", falseMarker, corrupt},
    };
}

double differingPixelShare(const QImage &a, const QImage &b, int tolerance)
{
    if (a.size() != b.size() || a.isNull())
        return 1.0;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    qint64 differing = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const int d = std::max({std::abs(qRed(p[col]) - qRed(q[col])), std::abs(qGreen(p[col]) - qGreen(q[col])),
                                    std::abs(qBlue(p[col]) - qBlue(q[col])), std::abs(qAlpha(p[col]) - qAlpha(q[col]))});
            if (d > tolerance)
                ++differing;
        }
    }
    return double(differing) / (double(x.width()) * x.height());
}

double differingPixelShareNear(const QImage &page, const QRect &box, const QImage &drawn, int tolerance)
{
    double least = 1;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            least = std::min(least, differingPixelShare(page.copy(box.translated(dx, dy)), drawn, tolerance));
    return least;
}

QString whyTextIsNotShownWhole(QWidget &window, const QString &text)
{
    QLabel *label = nullptr;
    for (QLabel *candidate : window.findChildren<QLabel *>())
        if (candidate->isVisible() && candidate->text() == text)
            label = candidate;
    if (!label)
        return QStringLiteral("no visible label holds the text");
    const QRect screen = window.screen()->availableGeometry();
    if (!screen.contains(window.frameGeometry()))
    {
        const auto shown = [](const QRect &r) {
            return QStringLiteral("%1x%2 at %3,%4").arg(r.width()).arg(r.height()).arg(r.left()).arg(r.top());
        };
        return QStringLiteral("the window (%1) leaves the screen (%2)").arg(shown(window.frameGeometry()), shown(screen));
    }

    // Qt's text document as the reference, wrapping at words and inside
    // words too wide for a line.
    const QRect inside = label->contentsRect();
    QTextDocument reference;
    reference.setDefaultFont(label->font());
    reference.setDocumentMargin(0);
    reference.setPlainText(text);
    reference.setTextWidth(inside.width());
    QImage expected(label->size(), QImage::Format_ARGB32);
    expected.fill(label->palette().color(label->backgroundRole()));
    {
        QPainter painter(&expected);
        painter.translate(inside.topLeft());
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette.setColor(QPalette::Text, label->palette().color(label->foregroundRole()));
        reference.documentLayout()->draw(&painter, context);
    }
    const QImage drawn = label->grab().toImage();
    if (differingPixelShare(drawn, expected, 0) > 0) {
        drawn.save(QDir::temp().filePath(QStringLiteral("text-drawn.png")));
        expected.save(QDir::temp().filePath(QStringLiteral("text-expected.png")));
        return QStringLiteral("the label draws other pixels than the whole text at its width (see %1)")
            .arg(QDir::temp().filePath(QStringLiteral("text-*.png")));
    }

    const int needed = int(std::ceil(reference.size().height())) + label->height() - inside.height();
    auto *scroll = qobject_cast<QScrollArea *>(label->parentWidget() ? label->parentWidget()->parentWidget() : nullptr);
    if (!scroll || !scroll->verticalScrollBar()->isVisible()) {
        const int inView = scroll ? scroll->viewport()->height() : label->height();
        return needed <= inView && label->height() <= inView
                   ? QString()
                   : QStringLiteral("the text needs %1 pixels, %2 are in view").arg(needed).arg(inView);
    }
    // It scrolls: only once the window is as tall as the screen lets it be
    // (less a title bar), and down to the last line.
    const int titleBar = 2 * window.fontMetrics().height();
    if (window.frameGeometry().height() < screen.height() - titleBar)
        return QStringLiteral("the text scrolls in a window of %1 pixels on a screen of %2")
            .arg(window.frameGeometry().height())
            .arg(screen.height());
    const int reach = scroll->verticalScrollBar()->maximum() + scroll->viewport()->height();
    return reach >= needed ? QString() : QStringLiteral("scrolling reaches %1 of %2 pixels").arg(reach).arg(needed);
}

Decoded decodeBarcode(const QImage &image, ZXing::BarcodeFormats formats, int quietPixels)
{
    ZXing::DecodeHints hints;
    hints.setFormats(formats);
    hints.setTryHarder(true);
    return decodeBarcode(image, hints, quietPixels);
}

Decoded decodeBarcode(const QImage &image, const ZXing::DecodeHints &hints, int quietPixels)
{
    Decoded out;
    if (image.isNull())
        return out;
    QImage grey(image.width() + 2 * quietPixels, image.height() + 2 * quietPixels,
                QImage::Format_Grayscale8);
    grey.fill(Qt::white);
    {
        QPainter p(&grey);
        QImage src = image.convertToFormat(QImage::Format_ARGB32);
        // Transparent parts of a symbol count as white paper.
        QImage flat(src.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter fp(&flat);
        fp.drawImage(0, 0, src);
        fp.end();
        p.drawImage(quietPixels, quietPixels, flat);
    }
    auto result = ZXing::ReadBarcode(
        ZXing::ImageView(grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum,
                         int(grey.bytesPerLine())),
        hints);
    out.valid = result.isValid();
    if (out.valid) {
        out.text = result.text();
        const auto &b = result.bytes();
        out.bytes.assign(b.begin(), b.end());
        out.format = result.format();
        out.mirrored = result.isMirrored();
    }
    return out;
}

} // namespace quorvant::test
