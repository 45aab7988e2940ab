#include "RecordingPaintDevice.h"

#include <QTextItem>
#include <cmath>

RecordingPaintEngine::RecordingPaintEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

void RecordingPaintEngine::updateState(const QPaintEngineState &state)
{
    if (state.state() & DirtyTransform)
        transform = state.transform();
    if (state.state() & DirtyPen)
        pen = state.pen();
    if (state.state() & DirtyBrush)
        brush = state.brush();
}

void RecordingPaintEngine::drawPath(const QPainterPath &path)
{
    RecordedOutline outline;
    outline.path = transform.map(path);
    outline.transform = transform;
    outline.pen = pen;
    // A stroke scales with the transform; the mean scale suits the uniform scales of drawings.
    const double scale = std::sqrt(std::fabs(transform.determinant()));
    if (!pen.isCosmetic())
        outline.pen.setWidthF(pen.widthF() * scale);
    outline.brush = brush;
    outlines.append(outline);
}

void RecordingPaintEngine::drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode mode)
{
    QPainterPath path;
    if (pointCount <= 0)
        return;
    path.moveTo(points[0]);
    for (int i = 1; i < pointCount; ++i)
        path.lineTo(points[i]);
    if (mode != PolylineMode)
        path.closeSubpath();
    path.setFillRule(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    if (mode == PolylineMode) {
        // A polyline is never filled, whatever brush is set.
        const QBrush saved = brush;
        brush = Qt::NoBrush;
        drawPath(path);
        brush = saved;
        return;
    }
    drawPath(path);
}

void RecordingPaintEngine::drawTextItem(const QPointF &p, const QTextItem &textItem)
{
    const QRectF box(p.x(), p.y() - textItem.ascent(), textItem.width(),
                     textItem.ascent() + textItem.descent());
    textBoxes.append(transform.mapRect(box));
}

RecordingPaintDevice::RecordingPaintDevice() : engine(std::make_unique<RecordingPaintEngine>()) {}

RecordingPaintDevice::~RecordingPaintDevice() = default;

int RecordingPaintDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return 96;
    case PdmDepth:
        return 32;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return 1 * devicePixelRatioFScale();
    default:
        return 0; // no size: QtSvg must not fit the element into the device
    }
}
