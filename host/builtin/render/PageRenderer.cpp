#include "PageRenderer.h"

#include "KeptElementRenderer.h"
#include "RsvgPageRenderer.h"

#include <QPaintDevice>
#include <QPainter>
#include <cmath>

namespace PageRenderer {

QColor colorOf(const Cmyk &cmyk)
{
    return QColor::fromCmykF(cmyk[0] / 100.0, cmyk[1] / 100.0, cmyk[2] / 100.0, cmyk[3] / 100.0);
}

void renderShapes(QPainter &painter, const HostDocument &doc, const QRectF &target,
                  bool printableOnly)
{
    const HostPage &page = *doc.activePage;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // Page inches (origin lower-left, y up) onto the target (y down).
    QTransform toTarget;
    toTarget.translate(target.left(), target.bottom());
    toTarget.scale(target.width() / page.widthInches, -target.height() / page.heightInches);
    for (const HostLayer::Ptr &layer : page.layers) {
        if (!layer->visible || (printableOnly && !layer->printable))
            continue;
        for (const HostShape::Ptr &shape : layer->shapes) {
            if (shape->kind != ShapeKind::Curve) {
                KeptElementRenderer::render(painter, *shape, toTarget);
                continue;
            }
            const QPainterPath path = toTarget.map(shape->path);
            if (shape->filled)
                painter.fillPath(path, colorOf(shape->fillCmyk));
            if (shape->outlined) {
                QPen pen(colorOf(shape->outlineCmyk));
                pen.setWidthF(qMax(shape->outlineWidthInches * std::fabs(toTarget.m11()), 0.0));
                pen.setCosmetic(shape->outlineWidthInches <= 0.0);
                if (shape->dashed)
                    pen.setStyle(Qt::DashLine);
                painter.strokePath(path, pen);
            }
        }
    }
    painter.restore();
}

void render(QPainter &painter, const HostDocument &doc, const QRectF &target, bool printableOnly)
{
    // Drawn at the device's own pixels, so the page stays sharp at any zoom.
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QRectF device = painter.worldTransform().mapRect(target);
    const QSize pixels(qRound(device.width() * ratio), qRound(device.height() * ratio));
    if (pixels.isEmpty())
        return;
    Result<QImage> drawn = RsvgPageRenderer::image(doc, pixels, printableOnly);
    if (!drawn) {
        qWarning("page drawn without its SVG effects: %s", qPrintable(drawn.error()));
        renderShapes(painter, doc, target, printableOnly);
        return;
    }
    QImage &page = *drawn;
    page.setDevicePixelRatio(ratio);
    painter.drawImage(target, page);
}

} // namespace PageRenderer
