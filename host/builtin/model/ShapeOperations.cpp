#include "ShapeOperations.h"

#include <algorithm>
#include <cmath>

namespace ShapeOperations {

Result<> stretch(const HostDocument &doc, const QList<HostShape::Ptr> &given, double sx, double sy)
{
    // What draws nothing stays where the file had it.
    const QList<HostShape::Ptr> shapes = HostDocument::drawnShapes(given);
    if (!std::isfinite(sx) || !std::isfinite(sy) || sx == 0.0 || sy == 0.0)
        return Failure{
            QStringLiteral("stretch factors must be finite and non-zero (%1, %2)").arg(sx).arg(sy)};
    if (shapes.isEmpty())
        return {};
    // The anchor is taken from the curves when there are any: text and images are never
    // plotted, so a plot of the stretched curves must start where the anchor is, or the
    // enlargement could not be undone from the plot alone.
    QList<HostShape::Ptr> curves;
    for (const HostShape::Ptr &shape : shapes) {
        if (shape->kind == ShapeKind::Curve)
            curves.append(shape);
    }
    const QPointF anchor = HostDocument::referencePointOf(
        HostDocument::boundsOf(curves.isEmpty() ? shapes : curves), doc.referencePoint);
    QTransform t;
    t.translate(anchor.x(), anchor.y());
    t.scale(sx, sy);
    t.translate(-anchor.x(), -anchor.y());
    for (const HostShape::Ptr &shape : shapes)
        shape->transform(t);
    return {};
}

Result<HostShape::Ptr> combine(HostDocument &doc, const QList<HostShape::Ptr> &given)
{
    const QList<HostShape::Ptr> shapes = HostDocument::drawnShapes(given);
    if (shapes.isEmpty())
        return Failure{QStringLiteral("nothing to combine")};
    for (const HostShape::Ptr &shape : shapes) {
        if (shape->kind != ShapeKind::Curve)
            return Failure{QStringLiteral("text and images cannot be combined into a curve")};
    }
    const HostShape::Ptr target = shapes.first();
    for (int i = 1; i < shapes.size(); ++i) {
        target->path.addPath(shapes.at(i)->path);
        doc.removeShape(shapes.at(i));
    }
    doc.setSelection({target});
    return target;
}

QList<QPainterPath> subpaths(const QPainterPath &path)
{
    QList<QPainterPath> parts;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            parts.append(QPainterPath(QPointF(e.x, e.y)));
        } else if (e.isLineTo()) {
            parts.last().lineTo(e.x, e.y);
        } else if (e.isCurveTo()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            parts.last().cubicTo(QPointF(e.x, e.y), QPointF(c2.x, c2.y), QPointF(end.x, end.y));
            i += 2;
        }
    }
    // A move with nothing drawn from it (a trailing "M x,y") is no subpath: breaking it off
    // would make a piece that draws nothing.
    parts.erase(std::remove_if(parts.begin(), parts.end(),
                               [](const QPainterPath &part) { return part.elementCount() < 2; }),
                parts.end());
    return parts;
}

QList<QPolygonF> flatten(const QPainterPath &path, double tolerance)
{
    // Qt flattens Bézier curves to within half a device unit; scale so that half a unit is the
    // tolerance asked for, then scale back.
    const double scale = 0.5 / qMax(tolerance, 1e-9);
    const QTransform up = QTransform::fromScale(scale, scale);
    const QTransform down = QTransform::fromScale(1.0 / scale, 1.0 / scale);
    QList<QPolygonF> polylines;
    for (const QPainterPath &part : subpaths(path)) {
        const QList<QPolygonF> flat = part.toSubpathPolygons(up);
        for (const QPolygonF &poly : flat)
            polylines.append(down.map(poly));
    }
    return polylines;
}

Result<QList<HostShape::Ptr>> breakApart(HostDocument &doc, const HostShape::Ptr &shape)
{
    const HostLayer::Ptr layer = doc.layerOf(shape);
    if (!layer || shape->kind != ShapeKind::Curve)
        return Failure{QStringLiteral("only a curve in the document can be broken apart")};
    const QList<QPainterPath> parts = subpaths(shape->path);
    if (parts.size() <= 1) {
        doc.setSelection({shape});
        return QList<HostShape::Ptr>{shape};
    }
    QList<HostShape::Ptr> pieces;
    const int at = layer->shapes.indexOf(shape);
    for (const QPainterPath &part : parts) {
        auto piece = std::make_shared<HostShape>(*shape);
        piece->path = part;
        if (!pieces.isEmpty())
            piece->svgId.clear(); // ids stay unique in a saved file
        doc.adoptShape(layer, piece);
        // Keep the pieces where the curve was in the drawing order.
        layer->shapes.removeLast();
        layer->shapes.insert(at + pieces.size() + 1, piece);
        pieces.append(piece);
    }
    doc.removeShape(shape);
    doc.setSelection(pieces);
    return pieces;
}

} // namespace ShapeOperations
