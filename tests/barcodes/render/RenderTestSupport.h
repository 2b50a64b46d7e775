#pragma once
// Helpers for the renderer's tests: a symbol whose module string is its
// content, a style without margins, and scans of a rendered picture in
// points.

#include "barcodes/render/BarcodeImage.h"
#include "barcodes/symbologies/SymBarcode.h"

#include <QImage>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quorvant::test {

// Content "0110" is the module string 0110; captions, start pattern and the
// first and last bar are whatever the test sets.
class ModuleSymbol : public barcodes::SymBarcode {
public:
    std::string _encodeChar(char c) const override { return c == '0' || c == '1' ? std::string(1, c) : ""; }
    std::string caption() const override { return captionText; }
    std::string leftCaption() const override { return leftText; }
    std::string rightCaption() const override { return rightText; }
    std::string initiator() const override { return start; }
    float firstBar() const override { return first >= 0 ? first : SymBarcode::firstBar(); }
    float lastBar() const override { return last >= 0 ? last : SymBarcode::lastBar(); }

    std::string captionText, leftText, rightText, start;
    float first = -1, last = -1;
};

// Margins of 0 put bars on exact positions.
inline barcodes::SymbolStyle zeroMargins()
{
    barcodes::SymbolStyle style;
    style.value_margin = style.header_margin = style.footer_margin = style.TB_margin = style.LR_margin = 0;
    return style;
}

// Modules of `barWidth` points, `height` high, `width` wide (0: the modules'
// width), with the style it is drawn with.
inline std::unique_ptr<ModuleSymbol> moduleSymbol(const std::string &modules, double barWidth, double height,
                                                  double width, bool caption, const barcodes::SymbolStyle &style)
{
    auto s = barcodes::SymBarcode::create<ModuleSymbol>(modules, caption);
    s->setStyle(style);
    s->setBarWidth(float(barWidth));
    s->calculateWidth();
    if (width > 0)
        s->setWidth(float(width));
    s->setHeight(float(height));
    return s;
}

// A picture rendered at `dpi`, scanned in points from the top left.
class Scan {
public:
    Scan(const platform::Image &image, double dpi)
        : m_scale(dpi / 72.0)
        , m_bitmap(image.toBitmap(dpi, Qt::white).convertToFormat(QImage::Format_RGB32))
    {
    }
    const QImage &bitmap() const { return m_bitmap; }
    QColor at(double x, double y) const { return QColor(m_bitmap.pixel(int(x * m_scale), int(y * m_scale))); }
    bool dark(double x, double y) const { return qGray(at(x, y).rgb()) < 128; }

    // Bounding box of the pixels that `match` between the columns `from` and
    // `to`; empty when there are none.
    QRectF extent(const std::function<bool(QRgb)> &match, double from = 0, double to = 1e9) const
    {
        int x0 = m_bitmap.width(), y0 = m_bitmap.height(), x1 = -1, y1 = -1;
        const int end = int(std::min<double>(m_bitmap.width(), to * m_scale));
        for (int y = 0; y < m_bitmap.height(); ++y) {
            for (int x = std::max(0, int(from * m_scale)); x < end; ++x) {
                if (match(m_bitmap.pixel(x, y))) {
                    x0 = std::min(x0, x), x1 = std::max(x1, x);
                    y0 = std::min(y0, y), y1 = std::max(y1, y);
                }
            }
        }
        if (x1 < 0)
            return {};
        return QRectF(x0 / m_scale, y0 / m_scale, (x1 + 1 - x0) / m_scale, (y1 + 1 - y0) / m_scale);
    }

    // The runs of pixels that `match` along the row at `y`, as column ranges
    // in points, left to right.
    std::vector<std::pair<double, double>> runs(const std::function<bool(QRgb)> &match, double y) const
    {
        return columnRuns(match, y, y);
    }

    // The runs of columns, in points, in which some pixel between the rows
    // `top` and `bottom` matches: one per digit of a line of digits.
    std::vector<std::pair<double, double>> columnRuns(const std::function<bool(QRgb)> &match, double top,
                                                      double bottom) const
    {
        std::vector<bool> used(std::size_t(m_bitmap.width()), false);
        const int last = std::min(m_bitmap.height() - 1, std::max(int(top * m_scale), int(bottom * m_scale) - 1));
        for (int y = int(top * m_scale); y <= last; ++y) {
            for (int x = 0; x < m_bitmap.width(); ++x)
                used[std::size_t(x)] = used[std::size_t(x)] || match(m_bitmap.pixel(x, y));
        }
        std::vector<std::pair<double, double>> out;
        int start = -1;
        for (int x = 0; x <= m_bitmap.width(); ++x) {
            const bool in = x < m_bitmap.width() && used[std::size_t(x)];
            if (in && start < 0)
                start = x;
            if (!in && start >= 0) {
                out.emplace_back(start / m_scale, x / m_scale);
                start = -1;
            }
        }
        return out;
    }

private:
    double m_scale;
    QImage m_bitmap;
};

inline bool isBlack(QRgb c) { return qRed(c) < 100 && qGreen(c) < 100 && qBlue(c) < 100; }
inline bool isRed(QRgb c) { return qRed(c) > 150 && qGreen(c) < 150 && qBlue(c) < 150; }
inline bool isBlue(QRgb c) { return qBlue(c) > 150 && qRed(c) < 150 && qGreen(c) < 150; }

} // namespace quorvant::test
