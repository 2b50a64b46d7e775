#pragma once
// A paint device that records what is drawn on it instead of drawing:
// filled rectangles and text items with their positions and letter spacing,
// in the painter's coordinates (72 dpi, so points).

#include <QPaintDevice>
#include <QPaintEngine>
#include <QTextItem>
#include <memory>
#include <vector>

namespace quorvant::test {

struct RecordedText {
    QString text;
    QPointF position;
    double letterSpacing = 0;
};

class RecordingEngine : public QPaintEngine {
public:
    RecordingEngine()
        : QPaintEngine(QPaintEngine::AllFeatures)
    {
    }
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawRects(const QRectF *rects, int count) override { this->rects.insert(this->rects.end(), rects, rects + count); }
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        texts.push_back({item.text(), p, item.font().letterSpacing()});
    }
    Type type() const override { return QPaintEngine::User; }

    std::vector<QRectF> rects;
    std::vector<RecordedText> texts;
};

class RecordingDevice : public QPaintDevice {
public:
    QPaintEngine *paintEngine() const override { return m_engine.get(); }
    RecordingEngine &engine() { return *m_engine; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
        case PdmHeight:
            return 10000;
        case PdmWidthMM:
        case PdmHeightMM:
            return 10000 * 254 / 720;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 72;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }

private:
    std::unique_ptr<RecordingEngine> m_engine = std::make_unique<RecordingEngine>();
};

} // namespace quorvant::test
