#include <cairo.h>

#include "DrawingJudge.h"

#include "ContourTracer.h"
#include "ParallelWork.h"
#include "common/Units.h"
#include "render/RsvgPageRenderer.h"
#include "svg/SvgDocumentWriter.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

namespace {

// The coarse grid: fine enough that an edge 0.1 mm off changes a pixel's coverage by far more
// than the two rasterisers disagree on the same edge (a few levels), held to a budget of pixels
// on very large sheets.
constexpr double CoarseDpi = 100.0;
constexpr double MaxCoarsePixels = 40e6;
constexpr int MaxCoarseSide = 16000;
// Coverage (0..255) the drawing and the vector area may differ by in one coarse pixel: an edge
// 0.1 mm off along a pixel's side moves its coverage by about 100, a corner cut 0.1 mm deep by
// about 40.
constexpr int Disagreement = 40;
// Coverage from which a coarse pixel counts as covered, and under which as blank.
constexpr int Half = 128, Blank = 16;
// How many times the coarse drawing is tried again at half the resolution when librsvg refuses it.
constexpr int MaxCoarserAttempts = 4;
// The region grows by this many coarse pixels around each disagreeing one, so that the vector
// outline and the drawing meet where they agree.
constexpr int RegionMargin = 2;
// How far beyond the geometry and the page the drawing is looked at.
constexpr double DrawingMargin = mmToInches(5);
constexpr double TraceDpi = 600.0;
constexpr double TraceTolerance = mmToInches(0.01) * TraceDpi; // fine pixels
constexpr int TileSide = 4096;                                 // fine pixels
// Neighbouring fine tiles overlap by this many pixels: each tile's outline stops at its edge, and
// simplified on both sides two such edges need not meet, which would cut a shape in two there.
constexpr int TileOverlap = 4;
// The tallest text the fine tiles draw: FreeType refuses glyphs of some thousands of pixels,
// which would leave the whole drawing undrawn; taller texts are traced on their own.
constexpr double MaxDrawnTextInches = 1.0;
// How far beyond its box a text outlined by the drawing is drawn and traced: glyphs reach past
// the box our layout gives by little (a letter's ink beyond its advance, a fallback font). A text
// whose ink reaches the edge of that is judged with the other shapes instead.
constexpr double TextMargin = mmToInches(0.5);

using Grid = ContourTracer::Grid;

// Whether a shape is a clone (<use>): it draws its original wherever that lies.
bool isClone(const HostShape &shape)
{
    if (shape.kind == ShapeKind::Clone)
        return true;
    const QString &xml = shape.kind == ShapeKind::Curve ? shape.sourceXml : shape.keptXml;
    int end = 1;
    while (end < xml.size() && !xml.at(end).isSpace() && xml.at(end) != QLatin1Char('/') &&
           xml.at(end) != QLatin1Char('>'))
        ++end;
    const QStringRef name = xml.midRef(1, end - 1);
    return name == QLatin1String("use") || name.endsWith(QLatin1String(":use"));
}

// A copy of the document drawing only `ids` (and what draws nothing, which may hold definitions
// the others use): the other shapes are left out, the layers stay as they are (hiding one would
// hide the layers nested in it). Drawing a clone keeps every shape of the file: what it draws is
// its original, wherever that is, a picture too.
QByteArray judgedSvg(const HostDocument &doc, const QSet<int> &ids)
{
    bool clone = false;
    for (const HostLayer::Ptr &layer : doc.activePage->layers) {
        for (const HostShape::Ptr &shape : layer->shapes)
            clone = clone || (ids.contains(shape->id) && isClone(*shape));
    }
    HostDocument copy(doc);
    auto page = std::make_shared<HostPage>(*doc.activePage);
    for (HostLayer::Ptr &layer : page->layers) {
        auto shown = std::make_shared<HostLayer>(*layer);
        shown->shapes.erase(std::remove_if(shown->shapes.begin(), shown->shapes.end(),
                                           [&](const HostShape::Ptr &s) {
                                               const bool ofFile =
                                                   s->sourceSpan.isValid() || s->fromEntity;
                                               return HostDocument::drawsSomething(*s) &&
                                                      !ids.contains(s->id) && !(clone && ofFile);
                                           }),
                            shown->shapes.end());
        layer = shown;
    }
    copy.activePage = page;
    copy.pages = {page};
    return SvgDocumentWriter::toSvg(copy);
}

// Page inches (y up) to the pixels of a grid at `dpi` whose top-left pixel is `origin`.
QTransform pageToPixels(double pageHeight, double dpi, const QPoint &origin)
{
    return QTransform(dpi, 0, 0, -dpi, -origin.x(), pageHeight * dpi - origin.y());
}

// Drawn by cairo, as librsvg draws the other side: Qt's rasteriser slows down steeply with the
// number of outlines in one fill (a sheet of 100,000 circles took most of a minute).
Result<Grid> vectorCoverage(const QVector<QPolygonF> &area, const QTransform &toPixels,
                            const QSize &size)
{
    Grid grid;
    grid.width = size.width();
    grid.height = size.height();
    grid.values.resize(static_cast<size_t>(grid.width) * grid.height);
    const std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_A8, grid.width, grid.height),
        cairo_surface_destroy);
    const std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cr(cairo_create(surface.get()),
                                                                cairo_destroy);
    cairo_set_fill_rule(cr.get(), CAIRO_FILL_RULE_WINDING);
    for (const QPolygonF &poly : area) {
        for (int k = 0; k < poly.size(); ++k) {
            const QPointF p = toPixels.map(poly.at(k));
            if (k == 0)
                cairo_move_to(cr.get(), p.x(), p.y());
            else
                cairo_line_to(cr.get(), p.x(), p.y());
        }
        cairo_close_path(cr.get());
    }
    cairo_fill(cr.get());
    cairo_surface_flush(surface.get());
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS)
        return Failure{QString::fromUtf8(cairo_status_to_string(cairo_status(cr.get())))};
    const unsigned char *data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < grid.height; ++y)
        std::copy_n(data + static_cast<std::ptrdiff_t>(y) * stride, grid.width,
                    grid.values.data() + static_cast<size_t>(y) * grid.width);
    return grid;
}

// Whether the drawing and the vector area disagree on a coarse pixel about what is drawn: one
// covers it by half and the other not by a clear margin, or one leaves it (nearly) blank where the
// other clearly covers it. Coverage alone would also differ where two shapes meet edge to edge
// (drawn one over the other they cover a shared pixel less than their union) or where a shape is
// evenly translucent, which changes no outline.
bool differs(int drawn, int vector)
{
    return (drawn < Half && vector >= Half + Disagreement) ||
           (drawn >= Half && vector < Half - Disagreement) ||
           (drawn < Blank && vector >= Blank + Disagreement) ||
           (vector < Blank && drawn >= Blank + Disagreement);
}

// 255 where the two disagree, else 0; false when they agree throughout.
bool marked(const Grid &drawn, const Grid &vector, Grid *mask)
{
    *mask = drawn;
    bool any = false;
    for (size_t i = 0; i < mask->values.size(); ++i) {
        const bool disagree = differs(drawn.values[i], vector.values[i]);
        mask->values[i] = disagree ? 255 : 0;
        any = any || disagree;
    }
    return any;
}

// Covers the holes: blank pixels that no path of blank pixels joins to the grid's border. A
// contour takes no hole, so what lies in one (the inside of a ring drawn as a stroke, a shape
// drawn in it or not) cannot change it.
void fillHoles(Grid *grid)
{
    const std::vector<bool> open = ContourTracer::openGround(*grid, Blank);
    for (size_t i = 0; i < open.size(); ++i) {
        if (!open[i] && grid->values[i] < Blank)
            grid->values[i] = 255;
    }
}

// 255 where the two coverages disagree outside holes, or lie within RegionMargin pixels of such
// a disagreement; empty when they agree.
Grid disagreement(Grid drawn, Grid vector)
{
    Grid mask;
    if (!marked(drawn, vector, &mask))
        return Grid();
    fillHoles(&drawn);
    fillHoles(&vector);
    if (!marked(drawn, vector, &mask))
        return Grid();
    // Grown by a square: along each row, then along each column.
    std::vector<std::uint8_t> row(static_cast<size_t>(std::max(mask.width, mask.height)));
    for (int pass = 0; pass < 2; ++pass) {
        const int lines = pass == 0 ? mask.height : mask.width;
        const int length = pass == 0 ? mask.width : mask.height;
        for (int line = 0; line < lines; ++line) {
            const auto at = [&](int k) -> std::uint8_t & {
                return pass == 0 ? mask.values[static_cast<size_t>(line) * mask.width + k]
                                 : mask.values[static_cast<size_t>(k) * mask.width + line];
            };
            for (int k = 0; k < length; ++k)
                row[k] = at(k);
            for (int k = 0; k < length; ++k) {
                std::uint8_t v = 0;
                for (int d = std::max(0, k - RegionMargin);
                     d <= std::min(length - 1, k + RegionMargin) && !v; ++d)
                    v = row[d];
                at(k) = v;
            }
        }
    }
    return mask;
}

// The fine tiles that cover the region: a grid of squares, each cut down to the region's part in
// it, so that a small difference costs a small drawing.
QList<QRect> fineTiles(const Grid &mask, const QPoint &coarseOrigin, double scale)
{
    QHash<QPair<int, int>, QRect> tiles;
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            if (!mask.at(x, y))
                continue;
            const QRect fine(int(std::floor((coarseOrigin.x() + x) * scale)) - 1,
                             int(std::floor((coarseOrigin.y() + y) * scale)) - 1,
                             int(std::ceil(scale)) + 2, int(std::ceil(scale)) + 2);
            const QPair<int, int> cell(int(std::floor(double(fine.x()) / TileSide)),
                                       int(std::floor(double(fine.y()) / TileSide)));
            const QRect bounds(cell.first * TileSide, cell.second * TileSide, TileSide, TileSide);
            const QRect overlapping =
                bounds.adjusted(-TileOverlap, -TileOverlap, TileOverlap, TileOverlap);
            QRect &tile = tiles[cell];
            tile = tile.isNull() ? fine & overlapping : tile.united(fine & overlapping);
        }
    }
    return tiles.values();
}

// `coarse` (whose top-left pixel is `origin` of its own grid) seen on the pixels of `tile` of a
// grid `scale` times finer, between the coarse samples' centres.
Grid resampled(const Grid &coarse, const QPoint &origin, double scale, const QRect &tile)
{
    Grid fine;
    fine.width = tile.width();
    fine.height = tile.height();
    fine.values.resize(static_cast<size_t>(fine.width) * fine.height);
    const auto sample = [&](int x, int y) {
        return double(
            coarse.at(std::clamp(x, 0, coarse.width - 1), std::clamp(y, 0, coarse.height - 1)));
    };
    for (int y = 0; y < fine.height; ++y) {
        const double v = (tile.top() + y + 0.5) / scale - 0.5 - origin.y();
        const int v0 = int(std::floor(v));
        const double fv = v - v0;
        for (int x = 0; x < fine.width; ++x) {
            const double u = (tile.left() + x + 0.5) / scale - 0.5 - origin.x();
            const int u0 = int(std::floor(u));
            const double fu = u - u0;
            const double value = (sample(u0, v0) * (1 - fu) + sample(u0 + 1, v0) * fu) * (1 - fv) +
                                 (sample(u0, v0 + 1) * (1 - fu) + sample(u0 + 1, v0 + 1) * fu) * fv;
            fine.values[static_cast<size_t>(y) * fine.width + x] =
                static_cast<std::uint8_t>(std::lround(value));
        }
    }
    return fine;
}

QVector<QPolygonF> mapped(const QVector<QPolygonF> &polygons, const QTransform &t)
{
    QVector<QPolygonF> out;
    out.reserve(polygons.size());
    for (const QPolygonF &poly : polygons)
        out.append(t.map(poly));
    return out;
}

// Whether a text sets some of its spans on lines of their own (a tspan with y or dy, as
// multi-line text is written): the box the host has for it covers its first line only, so it is
// not traced within that box.
bool breaksLines(const QString &xml)
{
    static const QRegularExpression positioned(
        QStringLiteral("<(\\w+:)?tspan\\b[^>]*\\s(y|dy)\\s*="));
    return xml.contains(positioned);
}

// The judged shapes whose box, grown by what librsvg may draw beyond the geometry, meets `tile`
// (fine pixels): a tile is drawn with those alone, so that a sheet of many shapes is drawn about
// once in all at the fine resolution rather than whole for every tile. A sheet with clones keeps
// every shape: a clone's original, however far away, may be among them.
QSet<int> idsNear(const QList<HostShape::Ptr> &shapes, const QRect &tile, double pageHeight)
{
    const QTransform toFine = pageToPixels(pageHeight, TraceDpi, QPoint(0, 0));
    const double margin = DrawingMargin * TraceDpi;
    QSet<int> near;
    const bool clones = std::any_of(shapes.begin(), shapes.end(),
                                    [](const HostShape::Ptr &s) { return isClone(*s); });
    for (const HostShape::Ptr &shape : shapes) {
        if (clones) {
            near.insert(shape->id);
            continue;
        }
        const QRectF box =
            toFine.mapRect(shape->bounds()).adjusted(-margin, -margin, margin, margin);
        if (box.intersects(QRectF(tile)))
            near.insert(shape->id);
    }
    return near;
}

QRectF boxOf(const QVector<QPolygonF> &polygons)
{
    QRectF box;
    for (const QPolygonF &poly : polygons)
        box = box.united(poly.boundingRect());
    return box;
}

// The part of `grid` within `rect` (grid pixels), which lies within the grid.
Grid cut(const Grid &grid, const QRect &rect)
{
    Grid part;
    part.width = rect.width();
    part.height = rect.height();
    part.values.resize(static_cast<size_t>(part.width) * part.height);
    for (int y = 0; y < part.height; ++y)
        std::copy_n(grid.values.data() + static_cast<size_t>(rect.y() + y) * grid.width + rect.x(),
                    part.width, part.values.data() + static_cast<size_t>(y) * part.width);
    return part;
}

// Whether anything is drawn on the grid's outermost pixels.
bool inkOnBorder(const Grid &grid)
{
    for (int x = 0; x < grid.width; ++x) {
        if (grid.at(x, 0) >= Blank || grid.at(x, grid.height - 1) >= Blank)
            return true;
    }
    for (int y = 0; y < grid.height; ++y) {
        if (grid.at(0, y) >= Blank || grid.at(grid.width - 1, y) >= Blank)
            return true;
    }
    return false;
}

double signedArea(const QPolygonF &poly)
{
    double twice = 0;
    for (int k = 0; k + 1 < poly.size(); ++k)
        twice += poly.at(k).x() * poly.at(k + 1).y() - poly.at(k + 1).x() * poly.at(k).y();
    return twice / 2;
}

// One raster's outlines turned, where needed, so that outer outlines run counter-clockwise (y
// up): its largest outline is an outer one.
void counterClockwise(QVector<QPolygonF> *loops)
{
    const QPolygonF *largest = nullptr;
    for (const QPolygonF &loop : *loops) {
        if (!largest || std::abs(signedArea(loop)) > std::abs(signedArea(*largest)))
            largest = &loop;
    }
    if (largest && signedArea(*largest) < 0) {
        for (QPolygonF &loop : *loops)
            std::reverse(loop.begin(), loop.end());
    }
}

int cellOf(int pixel)
{
    return int(std::floor(double(pixel) / TileSide));
}

// The texts outlined by the drawing alone, traced within their boxes and TextMargin: the texts
// of a tile's square read and drawn together, each traced within its box. Texts whose ink
// reaches the edge of that, or too large for a tile, go to `escaped`.
Result<> traceTexts(const HostDocument &doc, const QList<HostShape::Ptr> &texts,
                    QVector<QPolygonF> *outlines, QList<HostShape::Ptr> *escaped)
{
    const QSizeF page(doc.activePage->widthInches, doc.activePage->heightInches);
    const QTransform toFine = pageToPixels(page.height(), TraceDpi, QPoint(0, 0));
    const int margin = int(std::ceil(TextMargin * TraceDpi));
    QVector<QRect> rects(texts.size());
    std::map<std::pair<int, int>, QVector<int>> cells;
    for (int i = 0; i < texts.size(); ++i) {
        rects[i] = toFine.mapRect(texts.at(i)->bounds())
                       .toAlignedRect()
                       .adjusted(-margin, -margin, margin, margin);
        if (rects[i].width() > TileSide || rects[i].height() > TileSide)
            *escaped << texts.at(i);
        else
            cells[{cellOf(rects[i].center().x()), cellOf(rects[i].center().y())}] << i;
    }
    // Each square's texts on their own core: a handle read by librsvg is drawn by one thread
    // only, and Pango gives every thread its own fonts.
    struct Work
    {
        QVector<int> members;
        QVector<QPolygonF> outlines;
        QVector<int> escaped;
        QString failure;
    };
    std::vector<Work> work;
    for (const auto &cell : cells)
        work.push_back({cell.second, {}, {}, {}});
    ParallelWork::forEach(int(work.size()), [&](int w) {
        Work &own = work[size_t(w)];
        QSet<int> ids;
        QRect tile;
        for (const int i : own.members) {
            ids.insert(texts.at(i)->id);
            tile |= rects[i];
        }
        tile.setWidth((tile.width() + 3) / 4 * 4); // whole rows of cairo's alpha, not copied
        const Result<RsvgPageRenderer::Drawing> drawing =
            RsvgPageRenderer::readDrawing(judgedSvg(doc, ids), doc.filePath);
        if (!drawing) {
            own.failure = drawing.error();
            return;
        }
        const auto trace = [&](const QRect &, const Grid &alpha) {
            for (const int i : own.members) {
                const Grid part = cut(alpha, rects[i].translated(-tile.topLeft()));
                if (inkOnBorder(part)) {
                    own.escaped << i;
                    continue;
                }
                const QTransform toPage =
                    pageToPixels(page.height(), TraceDpi, rects[i].topLeft()).inverted();
                QVector<QPolygonF> loops =
                    mapped(ContourTracer::trace(part, TraceTolerance), toPage);
                counterClockwise(&loops);
                own.outlines += loops;
            }
            return true;
        };
        // Drawn whole: each text's ink lies within its own box but where it escapes, which its
        // box's edge shows either way, so clipping to the boxes would only cost time.
        if (Result<> done = RsvgPageRenderer::coverage(*drawing, page, TraceDpi, {tile}, trace);
            !done)
            own.failure = done.error();
    });
    for (const Work &own : work) {
        if (!own.failure.isEmpty())
            return Failure{own.failure};
        *outlines += own.outlines;
        for (const int i : own.escaped)
            *escaped << texts.at(i);
    }
    return {};
}

// Where the texts and clones among `shapes` lie: they have no vector area to show it.
QRectF textsBox(const QList<HostShape::Ptr> &shapes)
{
    QRectF box;
    for (const HostShape::Ptr &shape : shapes) {
        if (shape->kind == ShapeKind::Text || shape->kind == ShapeKind::Clone)
            box = box.united(shape->bounds());
    }
    return box;
}

// The verdict on judged shapes other than the texts the drawing alone outlines: the drawing
// compared with the vector area on the coarse grid, and traced finely where they differ.
Result<> judgeRest(const HostDocument &doc, const QList<HostShape::Ptr> &shapes,
                   const QVector<QPolygonF> &vectorArea, DrawingJudge::Verdict *verdict)
{
    QSet<int> ids;
    for (const HostShape::Ptr &shape : shapes)
        ids.insert(shape->id);
    const Result<RsvgPageRenderer::Drawing> drawing =
        RsvgPageRenderer::readDrawing(judgedSvg(doc, ids), doc.filePath);
    if (!drawing)
        return Failure{drawing.error()};
    const QSizeF page(doc.activePage->widthInches, doc.activePage->heightInches);
    // Where the geometry lies and the page, with a margin for what librsvg draws beyond the
    // geometry (markers, filters, elements only it draws), in page inches, y down.
    const QRectF box = QTransform(1, 0, 0, -1, 0, page.height())
                           .mapRect(boxOf(vectorArea).united(textsBox(shapes)))
                           .united(QRectF(QPointF(0, 0), page))
                           .adjusted(-DrawingMargin, -DrawingMargin, DrawingMargin, DrawingMargin);
    if (box.isEmpty())
        return {};
    double dpi = std::min({CoarseDpi, std::sqrt(MaxCoarsePixels / (box.width() * box.height())),
                           MaxCoarseSide / box.width(), MaxCoarseSide / box.height()});
    QRect coarse;
    Grid drawn;
    const auto keep = [&drawn](const QRect &, const Grid &alpha) {
        drawn = alpha;
        return true;
    };
    // librsvg draws a filtered element whole, in one picture at the drawing's resolution, which
    // cairo refuses past 32,767 pixels a side: a page metres wide with a blur is judged coarser.
    for (int attempt = 0;; ++attempt, dpi /= 2) {
        coarse = QRect(QPoint(int(std::floor(box.left() * dpi)) - RegionMargin - 1,
                              int(std::floor(box.top() * dpi)) - RegionMargin - 1),
                       QPoint(int(std::ceil(box.right() * dpi)) + RegionMargin + 1,
                              int(std::ceil(box.bottom() * dpi)) + RegionMargin + 1));
        const Result<> done = RsvgPageRenderer::coverage(*drawing, page, dpi, {coarse}, keep);
        if (done)
            break;
        if (attempt == MaxCoarserAttempts)
            return Failure{done.error()};
    }
    const QTransform toCoarse = pageToPixels(page.height(), dpi, coarse.topLeft());
    const Result<Grid> vector = vectorCoverage(vectorArea, toCoarse, coarse.size());
    if (!vector)
        return Failure{vector.error()};
    const Grid mask = disagreement(drawn, *vector);
    if (mask.values.empty())
        return {};
    verdict->region = mapped(ContourTracer::trace(mask, 0.0), toCoarse.inverted());
    const QList<QRect> tiles = fineTiles(mask, coarse.topLeft(), TraceDpi / dpi);
    const auto trace = [&](const QRect &tile, const Grid &alpha) {
        const QTransform toPage = pageToPixels(page.height(), TraceDpi, tile.topLeft()).inverted();
        verdict->drawing += mapped(ContourTracer::trace(alpha, TraceTolerance), toPage);
        return true;
    };
    for (const QRect &tile : tiles) {
        const QSet<int> near = idsNear(shapes, tile, page.height());
        Result<RsvgPageRenderer::Drawing> part = *drawing;
        if (near.size() < ids.size())
            part = RsvgPageRenderer::readDrawing(judgedSvg(doc, near), doc.filePath);
        if (!part)
            return Failure{part.error()};
        // A tile librsvg cannot draw finely (a filter too large for cairo at this resolution) is
        // traced from the coarse drawing instead, which it could draw.
        if (Result<> done = RsvgPageRenderer::coverage(*part, page, TraceDpi, {tile}, trace); !done)
            trace(tile, resampled(drawn, coarse.topLeft(), TraceDpi / dpi, tile));
    }
    return {};
}

} // namespace

namespace DrawingJudge {

bool judged(const HostShape &shape)
{
    return shape.kind != ShapeKind::Image && (shape.sourceSpan.isValid() || shape.fromEntity) &&
           HostDocument::drawsSomething(shape);
}

QByteArray drawingOf(const HostDocument &doc, const QSet<int> &ids)
{
    return judgedSvg(doc, ids);
}

bool outlinesText(const HostShape &shape)
{
    return shape.kind == ShapeKind::Text && judged(shape) &&
           shape.bounds().height() <= MaxDrawnTextInches && !breaksLines(shape.keptXml);
}

Result<Verdict> judge(const HostDocument &doc, const QList<HostShape::Ptr> &shapes,
                      const QVector<QPolygonF> &vectorArea)
{
    Verdict verdict;
    QList<HostShape::Ptr> texts, others;
    for (const HostShape::Ptr &shape : shapes)
        (outlinesText(*shape) ? texts : others) << shape;
    if (Result<> done = traceTexts(doc, texts, &verdict.texts, &others); !done)
        return Failure{done.error()};
    if (others.isEmpty())
        return verdict;
    if (Result<> done = judgeRest(doc, others, vectorArea, &verdict); !done)
        return Failure{done.error()};
    return verdict;
}

} // namespace DrawingJudge
