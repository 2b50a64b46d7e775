#pragma once
// Thumbnails of picture files for the image browsers. Each file is decoded
// once (at a reduced size where the format allows) and its thumbnail kept
// while the file is unchanged: the same size in bytes and the same time of
// last change. A changed, replaced or removed file is decoded again. Safe to
// call from any thread.

#include <QCache>
#include <QDateTime>
#include <QImage>
#include <QString>
#include <mutex>

namespace profiles_wizards {

class ThumbnailCache {
public:
    // Thumbnails fit in a square of this many pixels.
    static constexpr int kSide = 256;

    // `maxBytes` bounds the pixels kept; the least recently used go first.
    explicit ThumbnailCache(qint64 maxBytes = qint64(128) << 20);

    // The one cache the browsers share.
    static ThumbnailCache &shared();

    // The file's thumbnail, at most kSide on its longer side (smaller
    // pictures keep their size); a null image when the file is not a
    // readable picture.
    QImage thumbnail(const QString &path);

    void clear();

private:
    struct Entry {
        QDateTime modified;
        qint64 bytes = 0;
        QImage image;
    };
    static QImage decode(const QString &path);

    std::mutex m_mutex;
    QCache<QString, Entry> m_cache;
};

} // namespace profiles_wizards
