#pragma once
// A paint device that draws nothing and remembers every outline painted on it: each path, polygon,
// rectangle, line or ellipse, mapped through the painter's transform, with the pen and brush in
// force. QtSvg renders an element onto it, and what it recorded becomes the element's geometry.
// The device reports a zero size, so QtSvg does not fit an element into it.

#include <QBrush>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <memory>

struct RecordedOutline
{
    QPainterPath path;    // device coordinates (the painter's transform applied)
    QTransform transform; // the painter's transform: the element's own user space to device
    QPen pen;             // width in device units (the transform's scale applied)
    QBrush brush;
};

class RecordingPaintEngine : public QPaintEngine
{
public:
    RecordingPaintEngine();
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &state) override;
    void drawPath(const QPainterPath &path) override;
    void drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode mode) override;
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawImage(const QRectF &, const QImage &, const QRectF &,
                   Qt::ImageConversionFlags) override
    {
    }
    // Text is no outline to cut; only its box is kept, for selection.
    void drawTextItem(const QPointF &p, const QTextItem &textItem) override;
    Type type() const override { return User; }

    QList<RecordedOutline> outlines;
    QList<QRectF> textBoxes; // device coordinates

private:
    QTransform transform;
    QPen pen;
    QBrush brush;
};

class RecordingPaintDevice : public QPaintDevice
{
public:
    RecordingPaintDevice();
    ~RecordingPaintDevice() override;
    QPaintEngine *paintEngine() const override { return engine.get(); }
    const QList<RecordedOutline> &outlines() const { return engine->outlines; }
    const QList<QRectF> &textBoxes() const { return engine->textBoxes; }

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    std::unique_ptr<RecordingPaintEngine> engine;
};
