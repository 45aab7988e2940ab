#include "BoundaryBuilder.h"

#include "ContourTracer.h"
#include "DrawingJudge.h"
#include "ImageArea.h"
#include "IslandGroups.h"
#include "ParallelWork.h"
#include "RoundMargin.h"
#include "TextArea.h"
#include "common/Units.h"
#include "model/ShapeOperations.h"
#include "svg/SvgNotes.h"

#include <clipper.hpp>
#include <cmath>
#include <optional>

namespace {

// Clipper works on integers: a micro-inch is far below anything a cutter can resolve.
constexpr double Scale = 1e6;
constexpr double FlattenTolerance = 0.0005; // inches
// How far a stroke's mitred corner may reach, in half stroke widths: SVG's default miter limit
// of 4 stroke widths over the miter's length, so that the area is the stroke a renderer draws.
constexpr double MiterLimit = 4.0;

// Shapes drawn edge to edge rarely share their coordinates exactly once read from a file and
// transformed; gaps narrower than twice this are closed, so touching labels get one contour and
// no sliver between them (a cutter cannot follow a gap of a twentieth of a millimetre anyway).
constexpr double GapClosing = 0.001 * Scale; // inches
// How far a round offset corner may stray from the true arc: five thousandths of a millimetre.
constexpr double ArcTolerance = 0.0002 * Scale; // inches
// The offset contour is then simplified within 0.02 mm, under one plotter step (the finest move
// the knife makes): the arcs' many short steps go, and the contour stays within a tenth of a
// millimetre of a traced picture plus the offset.
constexpr double OffsetSimplification = mmToInches(0.02) * Scale; // inches
// Margins from this wide are measured by distance on a grid; narrower ones, whose arcs are short
// and few, are offset by Clipper, which a grid fine enough for them would cost more than.
constexpr double MinRoundMargin = mmToInches(0.5) * Scale;

// What one boundary shares between its shapes: where linked pictures are looked for, pictures
// already traced, and the notes for the user about shapes taken by their box instead.
struct AreaContext
{
    QString sheetFile;
    QString sheetText; // the text shapes' source spans point into, to name them by their line
    ImageArea::TraceCache pictures;
    SvgNotes::Grouped grouped; // about single elements, one line per kind
    QStringList notes;         // about the whole
};

const SvgNotes::Grouped::Kind PictureBoxOnly{
    "picture shows nothing but its border colour and is outlined by its box",
    "pictures show nothing but their border colour and are outlined by their boxes"};
const SvgNotes::Grouped::Kind PictureNotPlaced{
    "picture cannot be placed and is outlined by its box",
    "pictures cannot be placed and are outlined by their boxes"};
const SvgNotes::Grouped::Kind TextNotDrawn{"text cannot be drawn and is outlined by its box",
                                           "texts cannot be drawn and are outlined by their boxes"};

// A shape in a note: by its id, else by its tag and line.
QString nameOf(const HostShape &shape, const QString &sheetText)
{
    return SvgNotes::nameOf(shape.svgId, SvgNotes::tagOf(shape.keptXml),
                            shape.fromEntity ? -1 : shape.sourceSpan.start, sheetText);
}

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

ClipperLib::Paths united(const ClipperLib::Paths &paths, ClipperLib::PolyFillType fill)
{
    // Most shapes of a big sheet are one convex outline, already their own union.
    if (IslandGroups::loneConvex(paths))
        return IslandGroups::outerWise(paths);
    ClipperLib::Paths area;
    ClipperLib::Clipper clipper;
    clipper.AddPaths(paths, ClipperLib::ptSubject, true);
    clipper.Execute(ClipperLib::ctUnion, area, fill, fill);
    return area;
}

ClipperLib::Paths toClipper(const QVector<QPolygonF> &polygons)
{
    ClipperLib::Paths paths;
    for (const QPolygonF &poly : polygons)
        paths.push_back(toClipper(poly));
    return paths;
}

// A shape's box, wound as every other area is whichever way round the box runs.
ClipperLib::Paths boxArea(const HostShape &shape)
{
    return united({toClipper(QPolygonF(shape.bounds()))}, ClipperLib::pftNonZero);
}

// A kept image or text by what it visibly covers; by its box, with a note, when that cannot be
// had: cutting around the box at least never cuts into the print.
ClipperLib::Paths keptArea(const HostShape &shape, AreaContext &context)
{
    const auto named = [&](const QString &why) {
        return [&shape, &context, why] {
            const QString name = nameOf(shape, context.sheetText);
            return why.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, why);
        };
    };
    if (shape.kind == ShapeKind::Image) {
        const Result<ImageArea::Area> area =
            ImageArea::trace(shape, context.sheetFile, context.pictures);
        if (area) {
            if (area->note == ImageArea::Area::Note::NotPrinted)
                context.grouped.add(SvgNotes::PictureNotPrinted, named(area->reason));
            else if (area->note == ImageArea::Area::Note::BoxOnly)
                context.grouped.add(PictureBoxOnly, named(QString()));
            ClipperLib::Paths paths = united(toClipper(area->outlines), ClipperLib::pftNonZero);
            if (area->clip.isEmpty())
                return paths;
            ClipperLib::Clipper clipper;
            clipper.AddPaths(paths, ClipperLib::ptSubject, true);
            clipper.AddPath(toClipper(area->clip), ClipperLib::ptClip, true);
            clipper.Execute(ClipperLib::ctIntersection, paths, ClipperLib::pftNonZero,
                            ClipperLib::pftNonZero);
            return paths;
        }
        context.grouped.add(PictureNotPlaced, named(area.error()));
    } else if (shape.kind == ShapeKind::Text && !shape.keptXml.isEmpty()) {
        const Result<QVector<QPolygonF>> outlines = TextArea::trace(shape);
        if (outlines)
            return united(toClipper(*outlines), ClipperLib::pftNonZero);
        context.grouped.add(TextNotDrawn, named(outlines.error()));
    }
    return boxArea(shape);
}

ClipperLib::Paths areaOf(const HostShape &shape, AreaContext &context)
{
    if (shape.kind != ShapeKind::Curve)
        return keptArea(shape, context);
    ClipperLib::Paths closed, open;
    for (const QPolygonF &poly : ShapeOperations::flatten(shape.path, FlattenTolerance)) {
        // A filled shape's open subpath is filled as if closed, as a renderer fills it.
        if (isClosed(poly) || (shape.filled && poly.size() > 2))
            closed.push_back(toClipper(poly));
        else
            open.push_back(toClipper(poly));
    }
    ClipperLib::Paths area = united(closed, ClipperLib::pftEvenOdd);
    const double halfWidth = shape.outlined ? shape.outlineWidthInches * Scale / 2 : 0.0;
    if (halfWidth <= 0.0)
        return area;
    ClipperLib::ClipperOffset offset(MiterLimit);
    offset.AddPaths(area, ClipperLib::jtMiter, ClipperLib::etClosedPolygon);
    offset.AddPaths(open, ClipperLib::jtMiter, ClipperLib::etOpenButt);
    ClipperLib::Paths widened;
    offset.Execute(widened, halfWidth);
    return widened;
}

// What a curve's geometry says a renderer paints: an outline drawn without fill paints the ring
// of its stroke, not the area it encloses (which areaOf counts, so that the contour goes round
// it; for the outer outline the two are the same), and a hairline is painted as wide as it is
// drawn.
ClipperLib::Paths paintedArea(const HostShape &shape, const ClipperLib::Paths &area)
{
    if (shape.kind != ShapeKind::Curve || !shape.outlined ||
        (shape.filled && shape.outlineWidthInches > 0))
        return area;
    const double width = shape.outlineWidthInches > 0 ? shape.outlineWidthInches : HAIRLINE_INCHES;
    const double halfWidth = width * Scale / 2;
    ClipperLib::ClipperOffset offset(MiterLimit);
    for (const QPolygonF &poly : ShapeOperations::flatten(shape.path, FlattenTolerance))
        offset.AddPath(toClipper(poly), ClipperLib::jtMiter,
                       isClosed(poly) ? ClipperLib::etClosedLine : ClipperLib::etOpenButt);
    ClipperLib::Paths ring;
    offset.Execute(ring, halfWidth);
    if (shape.filled)
        ring.insert(ring.end(), area.begin(), area.end());
    return ring;
}

// The union of paths that each wind once round what they cover, group by group.
ClipperLib::Paths unitedByGroups(const ClipperLib::Paths &paths)
{
    return IslandGroups::eachGroup(paths, 1, [](const ClipperLib::Paths &group) {
        return united(group, ClipperLib::pftNonZero);
    });
}

// The outer outline of each island in a tree of outlines; holes and what lies in them are inside
// it: cutting along them would drop pieces out of a label.
ClipperLib::Paths islands(const ClipperLib::PolyTree &tree)
{
    ClipperLib::Paths outer;
    for (int i = 0; i < tree.ChildCount(); ++i)
        outer.push_back(tree.Childs.at(static_cast<size_t>(i))->Contour);
    return outer;
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

// The paths that enclose something, as closed polygons.
QList<QPolygonF> closedPolygons(const ClipperLib::Paths &paths)
{
    QList<QPolygonF> polygons;
    for (const ClipperLib::Path &path : paths) {
        const QPolygonF poly = toPolygon(path);
        if (poly.size() > 3)
            polygons.append(poly);
    }
    return polygons;
}

// Islands smaller than this both ways are left out: a speck traced where a fading gradient sits
// right at half coverage, which no knife cuts and the job drops as degenerate.
constexpr double MinIsland = mmToInches(0.1) * Scale;

ClipperLib::Paths withoutSpecks(ClipperLib::Paths paths)
{
    paths.erase(std::remove_if(paths.begin(), paths.end(),
                               [](const ClipperLib::Path &path) {
                                   const auto [minX, maxX] = std::minmax_element(
                                       path.begin(), path.end(),
                                       [](const auto &a, const auto &b) { return a.X < b.X; });
                                   const auto [minY, maxY] = std::minmax_element(
                                       path.begin(), path.end(),
                                       [](const auto &a, const auto &b) { return a.Y < b.Y; });
                                   return path.empty() || (maxX->X - minX->X < MinIsland &&
                                                           maxY->Y - minY->Y < MinIsland);
                               }),
                paths.end());
    return paths;
}

QVector<QPolygonF> toPolygons(const ClipperLib::Paths &paths)
{
    QVector<QPolygonF> polygons;
    for (const ClipperLib::Path &path : paths)
        polygons.append(toPolygon(path));
    return polygons;
}

ClipperLib::Paths clipped(const ClipperLib::Paths &subject, const ClipperLib::Paths &clip,
                          ClipperLib::ClipType operation)
{
    ClipperLib::Paths result;
    ClipperLib::Clipper clipper;
    clipper.AddPaths(subject, ClipperLib::ptSubject, true);
    clipper.AddPaths(clip, ClipperLib::ptClip, true);
    clipper.Execute(operation, result, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    return result;
}

// The area outside `region` and the drawing within it. Done group by group of paths that lie
// apart (with every path on a big sheet in one sweep, Clipper's list of edges crossing a line
// grows with the sheet's width and its cost with the square of that).
ClipperLib::Paths drawnWithin(const ClipperLib::Paths &areas, const ClipperLib::Paths &region,
                              const ClipperLib::Paths &drawing)
{
    ClipperLib::Paths all = areas;
    all.insert(all.end(), region.begin(), region.end());
    all.insert(all.end(), drawing.begin(), drawing.end());
    const size_t regionStart = areas.size(), drawingStart = regionStart + region.size();
    const std::vector<std::vector<size_t>> groups = IslandGroups::groupIndices(all, 1);
    std::vector<ClipperLib::Paths> results(groups.size());
    ParallelWork::forEach(static_cast<int>(groups.size()), [&](int g) {
        ClipperLib::Paths ownArea, ownRegion, ownDrawing;
        for (const size_t i : groups[size_t(g)])
            (i < regionStart    ? ownArea
             : i < drawingStart ? ownRegion
                                : ownDrawing)
                .push_back(all[i]);
        ClipperLib::Paths &result = results[size_t(g)];
        result =
            ownRegion.empty() ? ownArea : clipped(ownArea, ownRegion, ClipperLib::ctDifference);
        if (!ownRegion.empty() && !ownDrawing.empty()) {
            const ClipperLib::Paths drawn =
                clipped(ownDrawing, ownRegion, ClipperLib::ctIntersection);
            result.insert(result.end(), drawn.begin(), drawn.end());
        }
    });
    ClipperLib::Paths joined;
    for (ClipperLib::Paths &result : results)
        joined.insert(joined.end(), std::make_move_iterator(result.begin()),
                      std::make_move_iterator(result.end()));
    return joined;
}

// The shapes' united area as librsvg draws them: the exact vector outline where the drawing
// agrees with what their geometry paints, the traced drawing where it does not, and the texts the
// drawing alone outlines. When the drawing cannot be had, the vector area and the texts' boxes
// stand, with a note.
ClipperLib::Paths asDrawn(const HostDocument &doc, const QList<HostShape::Ptr> &shapes,
                          const ClipperLib::Paths &areas, const ClipperLib::Paths &painted,
                          const ClipperLib::Paths &textBoxes, AreaContext &context)
{
    // Each shape's paths wind once round what it covers, so the non-zero rule unites the areas
    // in every operation below (and in the offset that takes them on) without a union first.
    const Result<DrawingJudge::Verdict> verdict =
        DrawingJudge::judge(doc, shapes, toPolygons(unitedByGroups(painted)));
    if (!verdict) {
        context.notes << QStringLiteral("the artwork cannot be drawn to check its outline (%1): "
                                        "it is outlined by its geometry")
                             .arg(verdict.error());
        ClipperLib::Paths both = areas;
        both.insert(both.end(), textBoxes.begin(), textBoxes.end());
        return both;
    }
    ClipperLib::Paths result =
        verdict->region.isEmpty()
            ? areas
            : drawnWithin(areas, toClipper(verdict->region), toClipper(verdict->drawing));
    const ClipperLib::Paths texts = toClipper(verdict->texts);
    result.insert(result.end(), texts.begin(), texts.end());
    return result;
}

// The outer outline of each island of an area whose paths wind positively inside it, gaps under
// twice GapClosing closed: growing all paths in one offset unites them and closes narrow gaps at
// once; shrinking back restores the size.
ClipperLib::Paths closedIslands(const ClipperLib::Paths &area)
{
    if (IslandGroups::loneConvex(area))
        return IslandGroups::outerWise(area); // no gap to close, no hole
    ClipperLib::ClipperOffset grow;
    grow.AddPaths(area, ClipperLib::jtMiter, ClipperLib::etClosedPolygon);
    ClipperLib::Paths grown;
    grow.Execute(grown, GapClosing);
    ClipperLib::ClipperOffset shrink;
    shrink.AddPaths(grown, ClipperLib::jtMiter, ClipperLib::etClosedPolygon);
    ClipperLib::PolyTree tree;
    shrink.Execute(tree, -GapClosing);
    return islands(tree);
}

// Islands grown by `delta` with round corners; those that then touch unite.
ClipperLib::Paths grownIslands(const ClipperLib::Paths &outer, double delta)
{
    ClipperLib::ClipperOffset margin(2.0, ArcTolerance);
    margin.AddPaths(outer, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    ClipperLib::PolyTree tree;
    margin.Execute(tree, delta);
    // The arcs meet the sides the offset keeps from the traced outline in many short steps.
    ClipperLib::Paths grown = islands(tree);
    for (ClipperLib::Path &path : grown) {
        if (path.size() < 4)
            continue;
        QPolygonF loop = toPolygon(path);
        loop.removeLast();
        path = toClipper(ContourTracer::simplified(loop, OffsetSimplification / Scale));
        path.pop_back();
    }
    return grown;
}

} // namespace

namespace BoundaryBuilder {

QList<QPolygonF> outerOutlines(const QList<HostShape::Ptr> &shapes, double offsetInches,
                               const QString &sheetFile, QStringList *notes,
                               const HostDocument *drawnBy)
{
    AreaContext context;
    context.sheetFile = sheetFile;
    if (drawnBy)
        context.sheetText = drawnBy->svg.text;
    const QList<HostShape::Ptr> drawn = HostDocument::drawnShapes(shapes);
    QList<const HostShape *> images;
    for (const HostShape::Ptr &shape : drawn) {
        if (shape->kind == ShapeKind::Image)
            images << shape.get();
    }
    ImageArea::prepare(images, sheetFile, context.pictures);
    // Every shape's area comes out of Clipper with outer outlines one way round and holes the
    // other, so the winding number is positive exactly inside the union.
    ClipperLib::Paths area;
    QList<HostShape::Ptr> judged;
    ClipperLib::Paths judgedArea, judgedPaint, textBoxes;
    for (const HostShape::Ptr &shape : drawn) {
        const bool judgedShape = drawnBy && DrawingJudge::judged(*shape);
        if (judgedShape && DrawingJudge::outlinesText(*shape)) {
            judged << shape;
            const ClipperLib::Paths box = boxArea(*shape);
            textBoxes.insert(textBoxes.end(), box.begin(), box.end());
            continue;
        }
        const ClipperLib::Paths own = areaOf(*shape, context);
        if (judgedShape) {
            judged << shape;
            const ClipperLib::Paths paint = paintedArea(*shape, own);
            judgedArea.insert(judgedArea.end(), own.begin(), own.end());
            judgedPaint.insert(judgedPaint.end(), paint.begin(), paint.end());
        } else {
            area.insert(area.end(), own.begin(), own.end());
        }
    }
    if (!judged.isEmpty()) {
        const ClipperLib::Paths asJudged =
            asDrawn(*drawnBy, judged, judgedArea, judgedPaint, textBoxes, context);
        area.insert(area.end(), asJudged.begin(), asJudged.end());
    }
    if (notes)
        *notes << context.grouped.lines() << context.notes;
    // Shapes further apart than the gaps closed, or than the offset, never meet: each group of
    // shapes that may is united and grown on its own.
    const auto closed = [](const ClipperLib::Paths &paths) {
        return IslandGroups::eachGroup(paths, ClipperLib::cInt(GapClosing) + 1, closedIslands);
    };
    ClipperLib::Paths outer;
    if (offsetInches > 0) {
        // Each island grows on its own, its holes filled, so a margin never fills a hole from
        // inside; islands the margin makes touch unite in the same step. A margin wider than the
        // gaps closed closes them itself.
        const double delta = offsetInches * Scale;
        outer = IslandGroups::eachGroup(
            area, ClipperLib::cInt(std::ceil(delta)) + 1, [&](const ClipperLib::Paths &group) {
                std::optional<ClipperLib::Paths> grown;
                if (delta >= MinRoundMargin &&
                    RoundMargin::faster(group, delta, OffsetSimplification))
                    grown = RoundMargin::grown(group, delta, OffsetSimplification);
                if (grown)
                    return *grown;
                return grownIslands(closed(group), delta);
            });
    } else {
        outer = closed(area);
    }
    return closedPolygons(withoutSpecks(outer));
}

QList<QPolygonF> unionArea(const QList<HostShape::Ptr> &shapes)
{
    AreaContext context;
    ClipperLib::Clipper clipper;
    // A hidden element kept from a file still has a box, which must not become area.
    for (const HostShape::Ptr &shape : HostDocument::drawnShapes(shapes))
        clipper.AddPaths(areaOf(*shape, context), ClipperLib::ptSubject, true);
    ClipperLib::Paths result;
    clipper.Execute(ClipperLib::ctUnion, result, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    return closedPolygons(result);
}

Result<HostShape::Ptr> create(HostDocument &doc, const QList<HostShape::Ptr> &shapes,
                              bool deleteSource, double offsetInches)
{
    QStringList notes;
    const QList<QPolygonF> polygons =
        outerOutlines(shapes, offsetInches, doc.filePath, &notes, &doc);
    for (const QString &note : notes) {
        if (!doc.notes.contains(note))
            doc.notes << note;
    }
    if (polygons.isEmpty())
        return Failure{QStringLiteral("the shapes enclose no area to outline")};
    QPainterPath path;
    for (const QPolygonF &poly : polygons)
        path.addPolygon(poly);
    HostLayer::Ptr layer = doc.activeLayer;
    if (!layer && !doc.activePage->layers.isEmpty())
        layer = doc.activePage->layers.first();
    // Checked before the sources go, so a refused boundary never costs the shapes.
    if (!layer)
        return Failure{QStringLiteral("the page has no layer to put the boundary on")};
    if (deleteSource) {
        for (const HostShape::Ptr &shape : HostDocument::drawnShapes(shapes))
            doc.removeShape(shape);
    }
    HostShape::Ptr boundary = doc.addShape(layer, path);
    doc.setSelection({boundary});
    return boundary;
}

} // namespace BoundaryBuilder
