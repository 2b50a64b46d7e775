#pragma once
// Helpers for the renderer's tests: a symbol whose module string is its
// content, the settings record reset around each test, and pixel scans of a
// rendered picture in points.

#include "barcodes/designer/Barcode_Gen.h"
#include "barcodes/render/BarcodeImage.h"
#include "barcodes/symbologies/SymBarcode.h"

#include <QImage>
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <string>

namespace quorvant::test {

// Content "0110" is the module string 0110; captions and start pattern are
// whatever the test sets.
class ModuleSymbol : public barcodes::SymBarcode {
public:
    std::string _encodeChar(char c) const override
    {
        return c == '0' || c == '1' ? std::string(1, c) : std::string();
    }
    std::string caption() const override { return captionText; }
    std::string leftCaption() const override { return leftText; }
    std::string rightCaption() const override { return rightText; }
    std::string initiator() const override { return start; }
    float firstBar() const override { return first >= 0 ? first : SymBarcode::firstBar(); }
    float lastBar() const override { return last >= 0 ? last : SymBarcode::lastBar(); }

    std::string captionText;
    std::string leftText;
    std::string rightText;
    std::string start;
    float first = -1;
    float last = -1;
};

// A module symbol, styled by the live settings, `barWidth` points per module, `height` points high and
// `width` points wide (0: as wide as its modules).
inline std::unique_ptr<ModuleSymbol> moduleSymbol(const std::string &modules, double barWidth, double height,
                                                  double width = 0, bool caption = false)
{
    auto s = barcodes::SymBarcode::create<ModuleSymbol>(modules, caption);
    // As the designer does: the symbol measures with the live settings.
    s->setStyle(barcodes::Barcode_Gen_Var->symbolStyle());
    s->setBarWidth(float(barWidth));
    s->calculateWidth();
    if (width > 0)
        s->setWidth(float(width));
    s->setHeight(float(height));
    return s;
}

// Resets the live settings record before and after each test; margins start
// at 0 so that bars stand on exact positions.
class LiveSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }

    static void reset()
    {
        *barcodes::Barcode_Gen_Var = barcodes::Barcode_Gen();
        barcodes::Measument_Unit_Is = 1;
    }
    static barcodes::Barcode_Gen &gen() { return *barcodes::Barcode_Gen_Var; }
    static void zeroMargins()
    {
        gen().value_margin = gen().header_margin = gen().footer_margin = 0.0f;
        gen().TB_margin = gen().LR_margin = 0.0f;
    }
};

// A rendered picture with scans in points (origin top left).
class Scan {
public:
    Scan(const platform::Image &image, double dpi)
        : m_dpi(dpi)
        , m_bitmap(image.toBitmap(dpi, Qt::white).convertToFormat(QImage::Format_RGB32))
    {
    }

    const QImage &bitmap() const { return m_bitmap; }
    double scale() const { return m_dpi / 72.0; }
    double widthPt() const { return m_bitmap.width() / scale(); }
    double heightPt() const { return m_bitmap.height() / scale(); }

    QColor at(double xPt, double yPt) const
    {
        return QColor(m_bitmap.pixel(int(xPt * scale()), int(yPt * scale())));
    }
    bool dark(double xPt, double yPt) const { return qGray(at(xPt, yPt).rgb()) < 128; }

    // Bounding box, in points, of the pixels that `match`, within the
    // columns from `fromPt` to `toPt` when given; empty when none.
    QRectF extent(const std::function<bool(QRgb)> &match, double fromPt = 0, double toPt = 1e9) const
    {
        int x0 = m_bitmap.width(), y0 = m_bitmap.height(), x1 = -1, y1 = -1;
        const int first = std::max(0, int(fromPt * scale()));
        const int end = int(std::min<double>(m_bitmap.width(), toPt * scale()));
        for (int y = 0; y < m_bitmap.height(); ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(m_bitmap.constScanLine(y));
            for (int x = first; x < end; ++x) {
                if (match(row[x])) {
                    x0 = std::min(x0, x);
                    x1 = std::max(x1, x);
                    y0 = std::min(y0, y);
                    y1 = std::max(y1, y);
                }
            }
        }
        if (x1 < 0)
            return {};
        return QRectF(x0 / scale(), y0 / scale(), (x1 + 1 - x0) / scale(), (y1 + 1 - y0) / scale());
    }

private:
    double m_dpi;
    QImage m_bitmap;
};

// Pixel classes for pictures drawn in pure colours.
inline bool isBlack(QRgb c) { return qRed(c) < 100 && qGreen(c) < 100 && qBlue(c) < 100; }
inline bool isReddish(QRgb c) { return qRed(c) > 150 && qGreen(c) < 150 && qBlue(c) < 150; }
inline bool isBluish(QRgb c) { return qBlue(c) > 150 && qRed(c) < 150 && qGreen(c) < 150; }
inline bool isGreenish(QRgb c) { return qGreen(c) > 100 && qRed(c) < 100 && qBlue(c) < 100; }

} // namespace quorvant::test
