#pragma once
// The 12-megapixel picture the photo benchmarks decode, draw and fill: a sky
// and a hill, smooth enough to compress as a camera's photo does.

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace bench {

inline QImage cameraPicture()
{
    constexpr int kWidth = 4000;
    constexpr int kHeight = 3000;
    QImage photo(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&photo);
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0, QColor(135, 206, 235));
    sky.setColorAt(1, QColor(254, 243, 199));
    painter.fillRect(photo.rect(), sky);
    painter.setBrush(QColor(21, 128, 61));
    painter.drawEllipse(QRect(-500, 1800, 5000, 3000));
    return photo;
}

} // namespace bench
