#include "profiles_wizards/ThumbnailCache.h"

#include <QFileInfo>
#include <QImageReader>

namespace profiles_wizards {

namespace {

// QCache counts cost in ints; kilobytes keep large caches in range.
int costOf(const QImage &image)
{
    return int(std::max<qint64>(1, image.sizeInBytes() / 1024));
}

} // namespace

ThumbnailCache::ThumbnailCache(qint64 maxBytes)
    : m_cache(int(std::max<qint64>(1, maxBytes / 1024)))
{
}

ThumbnailCache &ThumbnailCache::shared()
{
    static ThumbnailCache cache;
    return cache;
}

QImage ThumbnailCache::decode(const QString &path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    // Formats that can decode at a reduced size (JPEG) do so; the others
    // are decoded whole and scaled below.
    if (full.isValid() && (full.width() > kSide || full.height() > kSide))
        reader.setScaledSize(full.scaled(kSide, kSide, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (image.width() > kSide || image.height() > kSide)
        image = image.scaled(kSide, kSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage ThumbnailCache::thumbnail(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    const QDateTime modified = info.lastModified();
    const qint64 bytes = info.size();
    const QString key = info.absoluteFilePath();
    {
        std::lock_guard lock(m_mutex);
        if (const Entry *entry = m_cache.object(key); entry && entry->modified == modified && entry->bytes == bytes)
            return entry->image;
    }
    // Decoding runs unlocked, so browsers on other threads are not held up;
    // two threads asking for the same new file both decode it once.
    QImage image = decode(path);
    std::lock_guard lock(m_mutex);
    m_cache.insert(key, new Entry{modified, bytes, image}, costOf(image));
    return image;
}

void ThumbnailCache::clear()
{
    std::lock_guard lock(m_mutex);
    m_cache.clear();
}

} // namespace profiles_wizards
