#include "BoundaryBuilder.h"

#include "ShapeOperations.h"

#include <clipper.hpp>
#include <cmath>

namespace {

// Clipper works on integers: a micro-inch is far below anything a cutter can resolve.
constexpr double Scale = 1e6;
constexpr double FlattenTolerance = 0.0005; // inches

// Shapes drawn edge to edge rarely share their coordinates exactly once read from a file and
// transformed; gaps narrower than twice this are closed, so touching labels get one contour and
// no sliver between them (a cutter cannot follow a gap of a twentieth of a millimetre anyway).
constexpr double GapClosing = 0.001 * Scale; // inches

ClipperLib::Path toClipper(const QPolygonF &poly)
{
    ClipperLib::Path path;
    path.reserve(poly.size());
    for (const QPointF &p : poly)
        path.emplace_back(static_cast<ClipperLib::cInt>(std::llround(p.x() * Scale)),
                          static_cast<ClipperLib::cInt>(std::llround(p.y() * Scale)));
    return path;
}

bool isClosed(const QPolygonF &poly)
{
    return poly.size() > 2 && poly.first() == poly.last();
}

ClipperLib::Paths areaOf(const HostShape &shape)
{
    ClipperLib::Paths closed, open;
    if (shape.kind != ShapeKind::Curve) {
        closed.push_back(toClipper(QPolygonF(shape.bounds())));
    } else {
        for (const QPolygonF &poly : ShapeOperations::flatten(shape.path, FlattenTolerance)) {
            // A filled shape's open subpath is filled as if closed, as a renderer fills it.
            if (isClosed(poly) || (shape.filled && poly.size() > 2))
                closed.push_back(toClipper(poly));
            else
                open.push_back(toClipper(poly));
        }
    }
    ClipperLib::Paths area;
    ClipperLib::Clipper clipper;
    clipper.AddPaths(closed, ClipperLib::ptSubject, true);
    clipper.Execute(ClipperLib::ctUnion, area, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
    const double halfWidth = shape.outlined ? shape.outlineWidth * Scale / 2 : 0.0;
    if (halfWidth <= 0.0)
        return area;
    ClipperLib::ClipperOffset offset;
    offset.AddPaths(area, ClipperLib::jtMiter, ClipperLib::etClosedPolygon);
    offset.AddPaths(open, ClipperLib::jtMiter, ClipperLib::etOpenButt);
    ClipperLib::Paths widened;
    offset.Execute(widened, halfWidth);
    return widened;
}

QPolygonF toPolygon(const ClipperLib::Path &path)
{
    QPolygonF poly;
    poly.reserve(static_cast<int>(path.size()) + 1);
    for (const ClipperLib::IntPoint &p : path)
        poly << QPointF(p.X / Scale, p.Y / Scale);
    if (poly.size() > 2)
        poly << poly.first();
    return poly;
}

} // namespace

namespace BoundaryBuilder {

QList<QPolygonF> outerOutlines(const QList<HostShape::Ptr> &shapes)
{
    // Every shape's area comes out of Clipper with outer outlines one way round and holes the
    // other, so the winding number is positive exactly inside the union: growing all paths in
    // one offset unites them and closes narrow gaps at once; shrinking back restores the size.
    ClipperLib::ClipperOffset grow;
    for (const HostShape::Ptr &shape : HostDocument::drawnShapes(shapes))
        grow.AddPaths(areaOf(*shape), ClipperLib::jtMiter, ClipperLib::etClosedPolygon);
    ClipperLib::Paths grown;
    grow.Execute(grown, GapClosing);
    ClipperLib::ClipperOffset shrink;
    shrink.AddPaths(grown, ClipperLib::jtMiter, ClipperLib::etClosedPolygon);
    ClipperLib::PolyTree tree;
    shrink.Execute(tree, -GapClosing);
    // The top level of the tree holds the outer outline of each island. Holes and what lies in
    // them are inside that outline: cutting along them would drop pieces out of a label.
    QList<QPolygonF> outlines;
    for (int i = 0; i < tree.ChildCount(); ++i) {
        const QPolygonF poly = toPolygon(tree.Childs.at(static_cast<size_t>(i))->Contour);
        if (poly.size() > 3)
            outlines.append(poly);
    }
    return outlines;
}

QList<QPolygonF> unionArea(const QList<HostShape::Ptr> &shapes)
{
    ClipperLib::Clipper clipper;
    // A hidden element kept from a file still has a box, which must not become area.
    for (const HostShape::Ptr &shape : HostDocument::drawnShapes(shapes))
        clipper.AddPaths(areaOf(*shape), ClipperLib::ptSubject, true);
    ClipperLib::Paths result;
    clipper.Execute(ClipperLib::ctUnion, result, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    QList<QPolygonF> polygons;
    for (const ClipperLib::Path &path : result) {
        const QPolygonF poly = toPolygon(path);
        if (poly.size() > 3)
            polygons.append(poly);
    }
    return polygons;
}

HostShape::Ptr create(HostDocument &doc, const QList<HostShape::Ptr> &shapes, bool deleteSource,
                      QString *error)
{
    const QList<QPolygonF> polygons = outerOutlines(shapes);
    if (polygons.isEmpty()) {
        *error = QStringLiteral("the shapes enclose no area to outline");
        return nullptr;
    }
    QPainterPath path;
    for (const QPolygonF &poly : polygons)
        path.addPolygon(poly);
    if (deleteSource) {
        for (const HostShape::Ptr &shape : HostDocument::drawnShapes(shapes))
            doc.removeShape(shape);
    }
    HostLayer::Ptr layer = doc.activeLayer;
    if (!layer && !doc.activePage->layers.isEmpty())
        layer = doc.activePage->layers.first();
    if (!layer) {
        *error = QStringLiteral("the page has no layer to put the boundary on");
        return nullptr;
    }
    HostShape::Ptr boundary = doc.addShape(layer, path);
    doc.setSelection({boundary});
    return boundary;
}

} // namespace BoundaryBuilder
