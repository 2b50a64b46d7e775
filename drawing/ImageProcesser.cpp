#include "drawing/ImageProcesser.h"

#include "platform/Helpers.h"

#include <QTransform>
#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <vector>

namespace {

// Unpremultiplied colour channels in 0..1 (alpha kept apart).
struct Planes {
    int w = 0, h = 0;
    std::vector<float> r, g, b, a;

    explicit Planes(const QImage &source)
    {
        const QImage img = source.convertToFormat(QImage::Format_ARGB32);
        w = img.width();
        h = img.height();
        const size_t n = size_t(w) * size_t(h);
        r.resize(n);
        g.resize(n);
        b.resize(n);
        a.resize(n);
        for (int y = 0; y < h; ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                const size_t i = size_t(y) * w + x;
                r[i] = qRed(line[x]) / 255.0f;
                g[i] = qGreen(line[x]) / 255.0f;
                b[i] = qBlue(line[x]) / 255.0f;
                a[i] = qAlpha(line[x]) / 255.0f;
            }
        }
    }

    QImage toImage() const
    {
        QImage out(w, h, QImage::Format_ARGB32);
        const auto byte = [](float v) { return int(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
        for (int y = 0; y < h; ++y) {
            QRgb *line = reinterpret_cast<QRgb *>(out.scanLine(y));
            for (int x = 0; x < w; ++x) {
                const size_t i = size_t(y) * w + x;
                line[x] = qRgba(byte(r[i]), byte(g[i]), byte(b[i]), byte(a[i]));
            }
        }
        return out;
    }

    // Applies a 3x3 colour matrix to every pixel.
    void matrix(const std::array<float, 9> &m)
    {
        for (size_t i = 0; i < r.size(); ++i) {
            const float R = r[i], G = g[i], B = b[i];
            r[i] = m[0] * R + m[1] * G + m[2] * B;
            g[i] = m[3] * R + m[4] * G + m[5] * B;
            b[i] = m[6] * R + m[7] * G + m[8] * B;
        }
    }

    void clamp()
    {
        for (auto *plane : {&r, &g, &b})
            for (float &v : *plane)
                v = std::clamp(v, 0.0f, 1.0f);
    }
};

// Blur radii below this leave every pixel as it is.
constexpr float kLeastBlur = 1e-3f;

constexpr float kLumR = 0.2126f, kLumG = 0.7152f, kLumB = 0.0722f;

float luminance(float r, float g, float b)
{
    return kLumR * r + kLumG * g + kLumB * b;
}

// Separable Gaussian blur of one plane with edges extended. The kernel never
// reaches further than the image is long, so a huge or infinite radius (as a
// damaged design file may hold) spreads the picture flat instead of running
// for ever or overflowing; a radius too small to move a pixel does nothing.
void gaussian(std::vector<float> &plane, int w, int h, float sigma)
{
    if (!(sigma >= kLeastBlur) || w <= 0 || h <= 0)
        return;
    const double reach = std::min(std::ceil(double(sigma) * 3.0), double(std::max(w, h)));
    const int radius = std::max(1, int(reach));
    const double twoSigmaSquared = 2.0 * double(sigma) * double(sigma);
    std::vector<float> kernel(size_t(radius) * 2 + 1);
    double sum = 0;
    for (int k = -radius; k <= radius; ++k) {
        const double weight = std::exp(-double(k) * k / twoSigmaSquared);
        kernel[size_t(k + radius)] = float(weight);
        sum += weight;
    }
    for (float &v : kernel)
        v = float(v / sum);
    std::vector<float> tmp(plane.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float acc = 0;
            for (int k = -radius; k <= radius; ++k)
                acc += kernel[size_t(k + radius)] * plane[size_t(y) * w + std::clamp(x + k, 0, w - 1)];
            tmp[size_t(y) * w + x] = acc;
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float acc = 0;
            for (int k = -radius; k <= radius; ++k)
                acc += kernel[size_t(k + radius)] * tmp[size_t(std::clamp(y + k, 0, h - 1)) * w + x];
            plane[size_t(y) * w + x] = acc;
        }
}

QImage adjusted(const QImage &image, const drawing::PhotoAdjustments &adjustments)
{
    if (image.isNull())
        return {};
    const bool grayscale = adjustments.grayScale, sepia = adjustments.sepia, invrtclr = adjustments.invert;
    const float hue = adjustments.hue, sat = adjustments.saturation, brt = adjustments.brightness,
                con = adjustments.contrast;
    const float r = adjustments.sharpness, g = adjustments.exposure, b = adjustments.blur;
    // Whole degrees; a turn past a full circle (or no number at all, as a
    // damaged design file may hold) must not overflow the conversion.
    const int rotate = std::isfinite(adjustments.rotate) ? int(std::fmod(adjustments.rotate, 360.0f)) : 0;

    const bool colourControls = sat != 1.0f || brt != 0.0f || con != 1.0f;
    const bool anyPixelWork =
        grayscale || sepia || invrtclr || hue != 0.0f || colourControls || r != 0.0f || b >= kLeastBlur || g != 0.0f;

    QImage result = image;
    if (anyPixelWork) {
        Planes p(image);
        if (p.w == 0 || p.h == 0) {
            Show_NSLog_Message(QStringLiteral("Image adjustment: the image could not be read."));
            return {};
        }
        if (grayscale)
            p.matrix({kLumR, kLumG, kLumB, kLumR, kLumG, kLumB, kLumR, kLumG, kLumB});
        if (sepia) {
            p.matrix({0.393f, 0.769f, 0.189f, 0.349f, 0.686f, 0.168f, 0.272f, 0.534f, 0.131f});
            p.clamp();
        }
        if (invrtclr)
            for (auto *plane : {&p.r, &p.g, &p.b})
                for (float &v : *plane)
                    v = 1.0f - v;
        if (hue != 0.0f) {
            // Rotation about the grey axis, luminance kept.
            const float c = std::cos(hue), s = std::sin(hue);
            p.matrix({0.213f + c * 0.787f - s * 0.213f, 0.715f - c * 0.715f - s * 0.715f,
                      0.072f - c * 0.072f + s * 0.928f, 0.213f - c * 0.213f + s * 0.143f,
                      0.715f + c * 0.285f + s * 0.140f, 0.072f - c * 0.072f - s * 0.283f,
                      0.213f - c * 0.213f - s * 0.787f, 0.715f - c * 0.715f + s * 0.715f,
                      0.072f + c * 0.928f + s * 0.072f});
            p.clamp();
        }
        if (colourControls) {
            for (size_t i = 0; i < p.r.size(); ++i) {
                const float lum = luminance(p.r[i], p.g[i], p.b[i]);
                for (float *v : {&p.r[i], &p.g[i], &p.b[i]}) {
                    float x = lum + (*v - lum) * sat;
                    x += brt;
                    *v = (x - 0.5f) * con + 0.5f;
                }
            }
            p.clamp();
        }
        if (r != 0.0f) {
            // Unsharp mask on each channel with a small blur.
            for (auto *plane : {&p.r, &p.g, &p.b}) {
                std::vector<float> soft = *plane;
                gaussian(soft, p.w, p.h, 1.0f);
                for (size_t i = 0; i < plane->size(); ++i)
                    (*plane)[i] += r * ((*plane)[i] - soft[i]);
            }
            p.clamp();
        }
        if (b >= kLeastBlur) {
            // Blur colour weighted by alpha, so transparent pixels do not
            // bleed their (meaningless) colour into the picture.
            for (auto *plane : {&p.r, &p.g, &p.b})
                for (size_t i = 0; i < plane->size(); ++i)
                    (*plane)[i] *= p.a[i];
            for (auto *plane : {&p.r, &p.g, &p.b, &p.a})
                gaussian(*plane, p.w, p.h, b);
            for (auto *plane : {&p.r, &p.g, &p.b})
                for (size_t i = 0; i < plane->size(); ++i)
                    (*plane)[i] = p.a[i] > 0 ? (*plane)[i] / p.a[i] : 0.0f;
        }
        if (g != 0.0f) {
            const float factor = std::pow(2.0f, g);
            for (auto *plane : {&p.r, &p.g, &p.b})
                for (float &v : *plane)
                    v *= factor;
        }
        result = p.toImage();
        result.setDotsPerMeterX(image.dotsPerMeterX());
        result.setDotsPerMeterY(image.dotsPerMeterY());
    }

    if (rotate % 360 != 0) {
        // Screen y points down, so a counter-clockwise turn is negative here.
        QImage source = result.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        result = source.transformed(QTransform().rotate(-rotate), Qt::SmoothTransformation);
        result.setDotsPerMeterX(image.dotsPerMeterX());
        result.setDotsPerMeterY(image.dotsPerMeterY());
    }
    return result;
}

} // namespace

QImage ImageProcesser::Get_Processed_Image(const QImage &image, const drawing::PhotoAdjustments &adjustments)
{
    // A failure (memory for a very large picture) ends the adjustment with no
    // image rather than taking the program down.
    try {
        return adjusted(image, adjustments);
    } catch (const std::exception &e) {
        Show_NSLog_Message(QStringLiteral("Image adjustment failed: %1").arg(QString::fromLocal8Bit(e.what())));
    } catch (...) {
        Show_NSLog_Message(QStringLiteral("Image adjustment failed."));
    }
    return {};
}

platform::Image drawing::adjustedPhoto(const platform::Image &photo, const PhotoAdjustments &adjustments)
{
    // A photo that could not be read stays so, with why.
    if (photo.isNull())
        return photo;
    // Neutral adjustments leave a bitmap's pixels as they are: the photo
    // itself serves, with the file data it was read from, and a camera
    // photo costs no pass over its millions of pixels.
    if (!photo.isVector() && adjustments == PhotoAdjustments{})
        return photo;
    const QImage pixels = photo.isVector() ? photo.toBitmap(144) : photo.bitmap();
    const QImage processed = ImageProcesser::Get_Processed_Image(pixels, adjustments);
    if (processed.isNull() || pixels.width() <= 0)
        return {};
    const double pointsPerPixel = photo.size().width() / pixels.width();
    return platform::Image::fromBitmap(processed, QSizeF(processed.size()) * pointsPerPixel);
}
