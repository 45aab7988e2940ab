#include "BleedFringe.h"

#include "DrawingJudge.h"
#include "NearestPixel.h"
#include "common/Units.h"
#include "render/RsvgPageRenderer.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <clipper.hpp>
#include <cmath>

namespace {

// The printer's usual resolution: finer costs time and file size without showing.
constexpr double Dpi = 300.0;
// Clipper works on integers: 1/256 pixel is far below what shows.
constexpr double Scale = 256.0;
constexpr double ArcTolerance = 0.05 * Scale;
// A pixel counts as drawn from half coverage, as the contour does; an island drawn only fainter
// than that takes its faint pixels.
constexpr int Half = 128;
// The fringe's picture reaches this far (pixels) past its ring on both sides, so that no pixel
// the ring's clip lets through blends with a transparent neighbour when the picture is drawn.
constexpr int Overlap = 2;
// An island's picture takes several bytes per pixel while it is made: a poster-sized island
// (about 60 x 60 cm at 300 dpi) is refused rather than exhausting the memory.
constexpr qint64 MaxTilePixels = 50'000'000;
// The colours are taken this far (pixels) inside the contour where the island is that wide: its
// rim blends the art with what lies around it (antialiasing, a picture's ground).
constexpr double RimPixels = 2.0;
// Qt's PNG quality: 0 compresses most, 100 not at all.
constexpr int FastPng = 80;

ClipperLib::Path toClipper(const QPolygonF &poly, const QTransform &toPixels)
{
    ClipperLib::Path path;
    for (const QPointF &p : toPixels.map(poly))
        path.emplace_back(static_cast<ClipperLib::cInt>(std::llround(p.x() * Scale)),
                          static_cast<ClipperLib::cInt>(std::llround(p.y() * Scale)));
    return path;
}

QPainterPath toPath(const ClipperLib::Paths &paths, const QPointF &origin)
{
    QPainterPath out;
    for (const ClipperLib::Path &path : paths) {
        QPolygonF poly;
        for (const ClipperLib::IntPoint &p : path)
            poly << QPointF(p.X / Scale, p.Y / Scale) - origin;
        out.addPolygon(poly);
        out.closeSubpath();
    }
    return out;
}

// SVG path data of closed polygons (nonzero: Clipper's holes run the other way round).
QString pathData(const ClipperLib::Paths &paths)
{
    QString d;
    for (const ClipperLib::Path &path : paths) {
        for (size_t i = 0; i < path.size(); ++i)
            d += QStringLiteral("%1%2 %3 ")
                     .arg(i == 0 ? QLatin1Char('M') : QLatin1Char('L'))
                     .arg(path[i].X / Scale, 0, 'f', 2)
                     .arg(path[i].Y / Scale, 0, 'f', 2);
        d += QStringLiteral("Z ");
    }
    return d.trimmed();
}

// The path filled, widened by `pen` (pixels) when positive and narrowed when negative.
QImage maskOf(const QPainterPath &path, const QSize &size, bool antialiased, double pen = 0)
{
    QImage mask(size, QImage::Format_Alpha8);
    mask.fill(0);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing, antialiased);
    painter.fillPath(path, Qt::black);
    if (pen != 0) {
        painter.setCompositionMode(pen > 0 ? QPainter::CompositionMode_SourceOver
                                           : QPainter::CompositionMode_Clear);
        painter.strokePath(path, QPen(Qt::black, std::abs(pen)));
    }
    return mask;
}

// The pixels inside the island's contour that its art draws: away from its rim where there are
// any, else all (a hairline, a tiny or faint island).
std::vector<std::uint8_t> seedsOf(const QImage &art, const QImage &inside, const QImage &core)
{
    std::vector<std::uint8_t> seeds(static_cast<size_t>(art.width()) * art.height(), 0);
    for (const auto &[mask, threshold] :
         {std::make_pair(&core, Half), std::make_pair(&inside, Half), std::make_pair(&inside, 1)}) {
        bool any = false;
        for (int y = 0; y < art.height(); ++y) {
            const auto *colour = reinterpret_cast<const QRgb *>(art.constScanLine(y));
            const uchar *in = mask->constScanLine(y);
            for (int x = 0; x < art.width(); ++x) {
                const bool seed = in[x] && qAlpha(colour[x]) >= threshold;
                seeds[static_cast<size_t>(y) * art.width() + x] = seed;
                any = any || seed;
            }
        }
        if (any)
            break;
    }
    return seeds;
}

// The fringe's picture: each pixel of the ring (and a little beyond) in the colour of the
// nearest drawn pixel of the island, opaque; the rest transparent. Null when the island draws
// nothing.
QImage fringePicture(const QImage &art, const QPainterPath &contour, const QImage &ring)
{
    const std::vector<std::uint8_t> seeds =
        seedsOf(art, maskOf(contour, art.size(), false),
                maskOf(contour, art.size(), false, -2 * RimPixels));
    const std::vector<int> nearest = NearestPixel::nearest(art.width(), art.height(), seeds);
    QImage picture(art.size(), QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    const auto *colours = reinterpret_cast<const QRgb *>(art.constBits());
    const int width = art.width(), stride = art.bytesPerLine() / 4;
    bool any = false;
    for (int y = 0; y < art.height(); ++y) {
        const uchar *wanted = ring.constScanLine(y);
        auto *out = reinterpret_cast<QRgb *>(picture.scanLine(y));
        const int *from = nearest.data() + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            if (!wanted[x] || from[x] < 0)
                continue;
            const QRgb c = qUnpremultiply(colours[(from[x] / width) * stride + from[x] % width]);
            out[x] = qRgb(qRed(c), qGreen(c), qBlue(c));
            any = true;
        }
    }
    return any ? picture : QImage();
}

QString pngDataUrl(const QImage &picture)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    // Mostly transparent or one colour: the fastest compression is nearly as small.
    picture.save(&buffer, "PNG", FastPng);
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

// The kept element drawing one fringe: its picture at `tile` (page pixels) clipped to `ring`.
QString fringeElement(const QString &id, const QRect &tile, const ClipperLib::Paths &ring,
                      const QImage &picture)
{
    return QStringLiteral("<g id=\"%1\"><clipPath id=\"%1-ring\"><path d=\"%2\"/></clipPath>"
                          "<image xmlns:xlink=\"http://www.w3.org/1999/xlink\" x=\"%3\" y=\"%4\" "
                          "width=\"%5\" height=\"%6\" preserveAspectRatio=\"none\" "
                          "clip-path=\"url(#%1-ring)\" xlink:href=\"%7\"/></g>")
        .arg(id, pathData(ring))
        .arg(tile.x())
        .arg(tile.y())
        .arg(tile.width())
        .arg(tile.height())
        .arg(pngDataUrl(picture));
}

// The file text a layer read from a file takes, to be cut out when it is saved.
SvgSpan fileSpanOf(const HostDocument &doc, const HostLayer &layer)
{
    const HostLayer::Source &source = layer.source;
    if (!source.inFile || !source.startTag.isValid())
        return {};
    if (source.selfClosing)
        return source.startTag;
    const int close = doc.svg.text.indexOf(QLatin1Char('>'), source.insertAt);
    return close < 0 ? SvgSpan() : SvgSpan{source.startTag.start, close + 1};
}

void removeLayers(HostDocument &doc)
{
    QList<HostLayer::Ptr> &layers = doc.activePage->layers;
    for (int i = layers.size() - 1; i >= 0; --i) {
        const HostLayer::Ptr layer = layers.at(i);
        if (layer->name != BleedFringe::layerName())
            continue;
        for (const HostShape::Ptr &shape : QList<HostShape::Ptr>(layer->shapes))
            doc.removeShape(shape);
        const SvgSpan span = fileSpanOf(doc, *layer);
        if (span.isValid())
            doc.svg.removedLayers.append(span);
        layers.removeAt(i);
        if (doc.activeLayer == layer)
            doc.activeLayer = layers.isEmpty() ? nullptr : layers.last();
    }
}

struct Fringes
{
    QSizeF page; // inches
    RsvgPageRenderer::Drawing drawing;
    QTransform toPixels;      // page inches (y up) to page pixels (y down)
    ClipperLib::Paths cut;    // every island's contour: no fringe reaches into one
    QVector<QRectF> cutBoxes; // theirs, page pixels
    double bleedPixels = 0;
    HostLayer::Ptr layer;
};

// One island: its contour, its ring and the tile of page pixels its fringe's picture covers.
struct Island
{
    ClipperLib::Path contour;
    ClipperLib::Paths ring;
    QRectF box; // the grown contour's, page pixels
    QRect tile;
};

// The island's ring; none when its ring lies inside other islands.
Result<Island> islandOf(const Fringes &fringes, const ClipperLib::Path &contour)
{
    Island island{contour, {}, {}, {}};
    ClipperLib::ClipperOffset grow(2.0, ArcTolerance);
    grow.AddPath(contour, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    ClipperLib::Paths grown;
    grow.Execute(grown, fringes.bleedPixels * Scale);
    island.box = toPath(grown, QPointF()).boundingRect();
    ClipperLib::Clipper clipper;
    clipper.AddPaths(grown, ClipperLib::ptSubject, true);
    // The islands do not overlap; only those near this one can take part of its ring.
    for (int i = 0; i < fringes.cutBoxes.size(); ++i) {
        if (fringes.cutBoxes.at(i).intersects(island.box))
            clipper.AddPath(fringes.cut[static_cast<size_t>(i)], ClipperLib::ptClip, true);
    }
    clipper.Execute(ClipperLib::ctDifference, island.ring, ClipperLib::pftNonZero,
                    ClipperLib::pftNonZero);
    if (island.ring.empty())
        return island;
    const QRectF &box = island.box;
    island.tile = QRect(QPoint(int(std::floor(box.left())), int(std::floor(box.top()))),
                        QPoint(int(std::ceil(box.right())), int(std::ceil(box.bottom()))))
                      .adjusted(-Overlap, -Overlap, Overlap, Overlap);
    if (qint64(island.tile.width()) * island.tile.height() > MaxTilePixels)
        return Failure{QStringLiteral("an island of %1 x %2 mm is too large for it")
                           .arg(qRound(island.tile.width() / Dpi * MM_PER_INCH))
                           .arg(qRound(island.tile.height() / Dpi * MM_PER_INCH))};
    return island;
}

// The island's fringe on the layer, its colours from `art` (its tile as drawn); nothing when
// the island draws nothing.
void addFringe(HostDocument &doc, const Fringes &fringes, const Island &island, const QImage &art)
{
    const QPointF origin = island.tile.topLeft();
    const QImage picture =
        fringePicture(art, toPath({island.contour}, origin),
                      maskOf(toPath(island.ring, origin), art.size(), true, 2.0 * Overlap));
    if (picture.isNull())
        return;
    auto shape = std::make_shared<HostShape>();
    shape->kind = ShapeKind::Image;
    shape->svgId = QStringLiteral("vx-bleed-%1").arg(fringes.layer->shapes.size() + 1);
    shape->keptXml = fringeElement(shape->svgId, island.tile, island.ring, picture);
    shape->keptToPage = fringes.toPixels.inverted();
    shape->keptViewBox = QRectF(QPointF(0, 0), fringes.page * Dpi);
    shape->keptBounds = shape->keptToPage.mapRect(island.box);
    doc.adoptShape(fringes.layer, shape);
}

// Every island's fringe. librsvg draws the whole drawing for each tile, so the islands' tiles
// are drawn at once where they fit in one picture, each alone otherwise.
Result<> addFringes(HostDocument &doc, const Fringes &fringes, const QList<Island> &islands)
{
    QRect all;
    for (const Island &island : islands)
        all |= island.tile;
    QImage drawn;
    if (qint64(all.width()) * all.height() <= MaxTilePixels && !islands.isEmpty()) {
        Result<QImage> art = RsvgPageRenderer::colours(fringes.drawing, fringes.page, Dpi, all);
        if (!art)
            return Failure{art.error()};
        drawn = *art;
    }
    for (const Island &island : islands) {
        if (!drawn.isNull()) {
            addFringe(doc, fringes, island, drawn.copy(island.tile.translated(-all.topLeft())));
            continue;
        }
        const Result<QImage> art =
            RsvgPageRenderer::colours(fringes.drawing, fringes.page, Dpi, island.tile);
        if (!art)
            return Failure{art.error()};
        addFringe(doc, fringes, island, *art);
    }
    return {};
}

} // namespace

namespace BleedFringe {

QString layerName()
{
    return QStringLiteral("Bleed Layer");
}

Result<> apply(HostDocument &doc, const QList<HostShape::Ptr> &art,
               const QList<QPolygonF> &contours, double bleedInches)
{
    removeLayers(doc);
    if (!(bleedInches > 0) || contours.isEmpty())
        return {};
    QSet<int> printed;
    for (const HostShape::Ptr &shape : art) {
        const HostLayer::Ptr layer = doc.layerOf(shape);
        if (layer && layer->printable && layer->visible)
            printed.insert(shape->id);
    }
    if (printed.isEmpty())
        return {};
    const Result<RsvgPageRenderer::Drawing> drawing =
        RsvgPageRenderer::readDrawing(DrawingJudge::drawingOf(doc, printed), doc.filePath);
    if (!drawing)
        return Failure{drawing.error()};
    auto layer = std::make_shared<HostLayer>();
    layer->name = layerName();
    layer->editable = false;
    const double height = doc.activePage->heightInches;
    Fringes fringes{QSizeF(doc.activePage->widthInches, height),
                    *drawing,
                    QTransform(Dpi, 0, 0, -Dpi, 0, height * Dpi),
                    {},
                    {},
                    bleedInches * Dpi,
                    layer};
    for (const QPolygonF &contour : contours) {
        fringes.cut.push_back(toClipper(contour, fringes.toPixels));
        fringes.cutBoxes.append(fringes.toPixels.map(contour).boundingRect());
    }
    QList<Island> rings;
    for (const ClipperLib::Path &contour : fringes.cut) {
        const Result<Island> island = islandOf(fringes, contour);
        if (!island)
            return Failure{island.error()};
        if (!island->ring.empty())
            rings << *island;
    }
    if (Result<> added = addFringes(doc, fringes, rings); !added)
        return added;
    if (layer->shapes.isEmpty())
        return {};
    // Right above the art: a picture's opaque ground outside its contour (a photo's white
    // surround) would hide a fringe beneath it. The rings stay outside every contour, so the
    // art inside them shows as before, and working layers made after the art stay on top.
    QList<HostLayer::Ptr> &layers = doc.activePage->layers;
    int above = 0;
    for (int i = 0; i < layers.size(); ++i) {
        for (const HostShape::Ptr &shape : layers.at(i)->shapes)
            above = printed.contains(shape->id) ? i + 1 : above;
    }
    layers.insert(above, layer);
    return {};
}

} // namespace BleedFringe
