#include "SvgDocumentReader.h"

#include "SvgLimits.h"

#include "RecordingPaintDevice.h"
#include "SvgClipGeometry.h"
#include "SvgElementScanner.h"
#include "SvgFileCodec.h"
#include "SvgNotes.h"
#include "render/RsvgDrawingExtent.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

namespace {

Cmyk cmykOf(const QColor &colour)
{
    const QColor cmyk = colour.toCmyk();
    return {qRound(cmyk.cyanF() * 100), qRound(cmyk.magentaF() * 100), qRound(cmyk.yellowF() * 100),
            qRound(cmyk.blackF() * 100)};
}

// "C M Y K" as this program writes it; false when the text is not four values 0-100.
bool parseCmyk(const QString &text, Cmyk *out)
{
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 4)
        return false;
    Cmyk c{};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        c[i] = parts.at(i).toInt(&ok);
        if (!ok || c[i] < 0 || c[i] > 100)
            return false;
    }
    *out = c;
    return true;
}

// Restores the exact style this program saved beside the SVG's own colours.
void applySavedStyle(HostShape &shape, const ScannedElement &element)
{
    parseCmyk(element.strokeCmyk, &shape.outlineCmyk);
    parseCmyk(element.fillCmyk, &shape.fillCmyk);
    if (element.hairline)
        shape.outlineWidthInches = 0.0;
}

// The transform QtSvg applies when it maps an element with an empty box: the document's viewBox
// onto its default size. Undone so that every element is recorded in user units.
QTransform emptyBoxMapping(const QSvgRenderer &renderer)
{
    const QRectF source = renderer.viewBoxF();
    const QSizeF target = renderer.defaultSize();
    QTransform t;
    if (source.isEmpty() || QRectF(QPointF(0, 0), target) == source)
        return t;
    const double sx = target.width() / source.width(), sy = target.height() / source.height();
    t.translate(-source.x() * sx, -source.y() * sy);
    t.scale(sx, sy);
    return t;
}

// Renders one element and turns what it painted into a curve shape; nullptr when it painted
// nothing (hidden, empty, or not understood by QtSvg).
// Renders one element onto the recording device in user units (its ancestors' transforms
// applied), whatever QtSvg would do to fit it into a device.
void renderElement(QSvgRenderer &renderer, const QString &id, RecordingPaintDevice *device)
{
    QPainter painter(device);
    const QRectF bounds = renderer.boundsOnElement(id);
    QTransform world = renderer.transformForElement(id);
    if (bounds.isEmpty())
        world = emptyBoxMapping(renderer).inverted() * world;
    painter.setWorldTransform(world);
    renderer.render(&painter, id, bounds);
}

// The part of a recorded shape (page inches) that the clip-paths on it and on the groups around
// it let show; QtSvg records the whole shape. Each clip counts in the user space of the element
// that names it: the element's own, as it was painted, or the group's, told by its probe.
QPainterPath clippedToShow(QPainterPath path, bool filled, const ScannedElement &element,
                           const RecordedOutline &outline, const QTransform &toPage,
                           const SvgClipPaths &clips, QSvgRenderer &renderer)
{
    auto cut = [&](const QString &ref, const QTransform &spaceToPage) {
        if (!clips.has(ref) || !spaceToPage.isInvertible())
            return;
        const QRectF box = spaceToPage.inverted().map(path).boundingRect();
        path = SvgClipGeometry::clipped(path, spaceToPage.map(clips.clipFor(ref, box)), filled);
    };
    if (!element.clipPath.isEmpty())
        cut(element.clipPath, outline.transform * toPage);
    for (const ScannedClip &clip : element.groupClips) {
        if (renderer.elementExists(clip.probeId))
            cut(clip.ref, renderer.transformForElement(clip.probeId) * toPage);
    }
    return path;
}

// Whether two outlines are the same to far below any cut's precision.
bool sameOutline(const QPainterPath &a, const QPainterPath &b)
{
    if (a.elementCount() != b.elementCount())
        return false;
    for (int i = 0; i < a.elementCount(); ++i) {
        const QPainterPath::Element p = a.elementAt(i), q = b.elementAt(i);
        if (p.type != q.type || std::fabs(p.x - q.x) > 1e-6 * (1 + std::fabs(p.x)) ||
            std::fabs(p.y - q.y) > 1e-6 * (1 + std::fabs(p.y)))
            return false;
    }
    return true;
}

// The element's own outline where QtSvg's differs from it (a path cut short at 32,767 segments,
// invalid radii read otherwise), in device units; QtSvg's transform and fill rule stay.
QPainterPath ownOutline(const ScannedElement &element, const RecordedOutline &recorded)
{
    if (!element.outline)
        return recorded.path;
    QPainterPath own = recorded.transform.map(*element.outline);
    if (sameOutline(own, recorded.path))
        return recorded.path;
    own.setFillRule(recorded.path.fillRule());
    return own;
}

// Whether every subpath of `path` ends where it starts: an area, not a line.
bool allClosed(const QPainterPath &path)
{
    QPointF start;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            if (i > 0 && QPointF(path.elementAt(i - 1)) != start)
                return false;
            start = e;
        }
    }
    return path.elementCount() == 0 || QPointF(path.elementAt(path.elementCount() - 1)) == start;
}

// One path for the outlines an element paints. The areas of a clone (<use>) of several shapes
// are united: side by side in one path, a shape drawn over another would cut a hole in it under
// the even-odd rule. Lines stay lines, for their strokes. United pairwise, so that a clone of
// many shapes costs little more than its shapes.
QPainterPath joined(const QList<QPainterPath> &parts)
{
    if (parts.size() == 1)
        return parts.first();
    QList<QPainterPath> areas;
    QPainterPath out;
    for (const QPainterPath &part : parts)
        allClosed(part) ? void(areas << part) : out.addPath(part);
    while (areas.size() > 1) {
        QList<QPainterPath> next;
        for (int i = 0; i + 1 < areas.size(); i += 2)
            next << areas.at(i).united(areas.at(i + 1));
        if (areas.size() % 2)
            next << areas.last();
        areas = next;
    }
    if (!areas.isEmpty())
        out.addPath(areas.first());
    return out;
}

HostShape::Ptr recordElement(QSvgRenderer &renderer, const ScannedElement &element,
                             const QTransform &toPage, const SvgClipPaths &clips)
{
    const QString &id = element.id;
    if (!renderer.elementExists(id))
        return nullptr;
    RecordingPaintDevice device;
    renderElement(renderer, id, &device);
    if (device.outlines().isEmpty())
        return nullptr;
    // QtSvg paints a filled and stroked shape twice, the fill without pen and the stroke without
    // brush: one outline, whose fill and stroke come from whichever pass carries them.
    auto shape = std::make_shared<HostShape>();
    shape->outlined = false;
    QPainterPath last;
    QList<QPainterPath> parts;
    for (const RecordedOutline &outline : device.outlines()) {
        if (outline.path != last)
            parts << toPage.map(ownOutline(element, outline));
        last = outline.path;
        if (outline.brush.style() != Qt::NoBrush && !shape->filled) {
            shape->filled = true;
            shape->fillCmyk = cmykOf(outline.brush.color());
        }
        if (outline.pen.style() != Qt::NoPen && !shape->outlined) {
            shape->outlined = true;
            shape->outlineWidthInches =
                outline.pen.widthF() * std::sqrt(std::fabs(toPage.determinant()));
            shape->outlineCmyk = cmykOf(outline.pen.color());
            shape->dashed = outline.pen.style() != Qt::SolidLine;
        }
    }
    shape->path = joined(parts);
    // librsvg draws nothing for it (a negative size).
    if (shape->path.isEmpty())
        return nullptr;
    if (!element.clipPath.isEmpty() || !element.groupClips.isEmpty()) {
        shape->path = clippedToShow(shape->path, shape->filled, element,
                                    device.outlines().constFirst(), toPage, clips, renderer);
        // Clipped away entirely: the element draws nothing.
        if (shape->path.isEmpty())
            return nullptr;
    }
    return shape;
}

HostShape::Ptr keptShape(QSvgRenderer &renderer, const ScannedElement &element,
                         const QTransform &toPage, const SvgSource &source)
{
    auto shape = std::make_shared<HostShape>();
    shape->kind = element.kind;
    shape->keptXml = element.text;
    shape->svgId = element.originalId;
    shape->keptNamespaces = element.namespaces;
    shape->keptViewBox = source.viewBox;
    shape->keptToPage = toPage;
    if (!renderer.elementExists(element.id))
        return shape;
    shape->keptParents = renderer.transformForElement(element.id);
    QRectF box = (shape->keptParents * toPage).mapRect(renderer.boundsOnElement(element.id));
    if (box.isEmpty() && element.kind == ShapeKind::Text) {
        // QtSvg gives text no box; the box of the glyphs it paints stands in.
        RecordingPaintDevice device;
        renderElement(renderer, element.id, &device);
        QList<QRectF> boxes = device.textBoxes();
        for (const RecordedOutline &outline : device.outlines())
            boxes << outline.path.boundingRect();
        for (const QRectF &glyphs : boxes)
            box = box.isEmpty() ? toPage.mapRect(glyphs) : box.united(toPage.mapRect(glyphs));
    }
    shape->keptBounds = box;
    return shape;
}

} // namespace

namespace SvgDocumentReader {

Result<HostDocument::Ptr> read(const QString &path)
{
    if (const Result<> allowed = SvgLimits::checkFileSize(path); !allowed)
        return Failure{allowed.error()};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure{QStringLiteral("cannot open %1: %2").arg(path, file.errorString())};
    // Bounded even when the file grows after the size check: one byte more is refused.
    return readData(file.read(SvgLimits::MaxFileBytes + 1), path);
}

Result<HostDocument::Ptr> readData(const QByteArray &file, const QString &path)
{
    if (file.size() > SvgLimits::MaxFileBytes)
        return Failure{SvgLimits::check(file).error()};
    const Result<SvgFileText> decoded = SvgFileCodec::decode(file, SvgLimits::MaxFileBytes);
    if (!decoded)
        return Failure{decoded.error()};
    const QString &text = decoded->text;
    const QString readable = SvgFileCodec::readable(text);
    // Hostile files are refused before QtSvg, whose recursion a deep <use> chain exhausts.
    if (const Result<> allowed = SvgLimits::check(readable); !allowed)
        return Failure{allowed.error()};
    const Result<SvgScan> scanResult =
        SvgElementScanner::scan(readable, [&] { return RsvgDrawingExtent::of(decoded->xml); });
    if (!scanResult)
        return Failure{scanResult.error()};
    const SvgScan &scan = *scanResult;
    QSvgRenderer renderer(scan.renderable);
    if (!renderer.isValid())
        return Failure{QStringLiteral("%1 is not an SVG drawing QtSvg can read").arg(path)};
    auto doc = std::make_shared<HostDocument>(scan.pageWidth, scan.pageHeight);
    doc->filePath = path;
    doc->svg = scan.source;
    doc->svg.fileBytes = file;
    doc->svg.bytes = decoded->xml;
    doc->svg.text = text;
    doc->svg.encoding = decoded->encoding;
    doc->notes = scan.notes + SvgNotes::keptAsDrawn(scan.layers, text);
    QStringList withoutGeometry;
    doc->activePage->layers.clear();
    doc->activeLayer = nullptr;
    const QTransform toPage = scan.userToPage;
    const SvgClipPaths clips(scan.renderable);
    for (const ScannedLayer &scanned : scan.layers) {
        auto layer = std::make_shared<HostLayer>();
        layer->name = scanned.name;
        layer->svgId = scanned.id;
        layer->visible = scanned.visible;
        layer->editable = scanned.editable;
        layer->printable = scanned.printable;
        layer->source.inFile = true;
        layer->source.startTag = scanned.startTag;
        layer->source.insertAt = scanned.insertAt;
        layer->source.selfClosing = scanned.selfClosing;
        layer->source.name = scanned.name;
        layer->source.printable = scanned.printable;
        layer->source.editable = scanned.editable;
        layer->source.visible = scanned.visible;
        if (renderer.elementExists(scanned.probeId))
            layer->source.contentToUser = renderer.transformForElement(scanned.probeId);
        doc->activePage->layers.append(layer);
        for (const ScannedElement &element : scanned.elements) {
            HostShape::Ptr shape;
            if (element.kind == ShapeKind::Curve && !scan.drawsNothing)
                shape = recordElement(renderer, element, toPage, clips);
            if (shape) {
                shape->svgId = element.originalId;
                applySavedStyle(*shape, element);
                shape->asRead = std::make_shared<const HostShape>(*shape);
                shape->sourceXml = element.text;
                shape->sourceParents = renderer.transformForElement(element.id);
            }
            if (!shape) {
                shape = keptShape(renderer, element, toPage, doc->svg);
                if (element.kind == ShapeKind::Curve && !scan.drawsNothing &&
                    element.tag == QLatin1String("use") && !shape->keptBounds.isEmpty()) {
                    shape->kind = ShapeKind::Clone;
                } else if (element.kind == ShapeKind::Curve && !scan.drawsNothing) {
                    shape->kind = ShapeKind::Other;
                    // Only the names shown are made: a line number counts the text before it.
                    withoutGeometry << (withoutGeometry.size() < 4 ? SvgNotes::nameOf(element, text)
                                                                   : QString());
                }
            }
            shape->sourceSpan = element.span;
            shape->fromEntity = element.fromEntity;
            if (element.span.isValid())
                doc->svg.shapeElements.append(element.span);
            doc->adoptShape(layer, shape);
        }
    }
    doc->notes << SvgNotes::summary(withoutGeometry.size() == 1
                                        ? QStringLiteral("element kept without geometry")
                                        : QStringLiteral("elements kept without geometry"),
                                    withoutGeometry);
    if (doc->activePage->layers.isEmpty()) {
        auto layer = std::make_shared<HostLayer>();
        layer->name = QStringLiteral("Layer 1");
        // Stands for the root's content: it adds nothing to the file until shapes are put on it.
        layer->source.inFile = true;
        layer->source.name = layer->name;
        layer->source.insertAt = doc->svg.rootEndTag.start;
        doc->activePage->layers.append(layer);
    }
    doc->activeLayer = doc->activePage->layers.last();
    return doc;
}

} // namespace SvgDocumentReader
