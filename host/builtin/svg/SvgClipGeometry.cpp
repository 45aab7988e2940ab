#include "SvgClipGeometry.h"

#include "RecordingPaintDevice.h"

#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>
#include <vector>

namespace {

const QString ProbeId = QStringLiteral("vx-clip-transform");
// A clip path may itself be clipped; a chain longer than this (or a circle) stops there.
constexpr int MaxClipChain = 8;
// Curves of a clipped line are flattened to within size / (2 * FlatteningSteps).
constexpr double FlatteningSteps = 4096;

// Children that give a clip area; a <line> encloses none.
const QSet<QString> &areaTags()
{
    static const QSet<QString> tags{"path", "rect", "circle", "ellipse", "polygon", "polyline"};
    return tags;
}

// What places a child; its paint is replaced, as only its geometry counts.
const QStringList &geometryAttributes()
{
    static const QStringList names{"d",  "x",  "y",  "width", "height", "rx",
                                   "ry", "cx", "cy", "r",     "points", "transform"};
    return names;
}

// A presentation property as CSS resolves it: a style declaration wins over the attribute.
QString property(const QXmlStreamAttributes &a, const QString &name)
{
    QString value = a.value(name).toString().trimmed();
    const QStringList declarations = a.value(QStringLiteral("style")).toString().split(';');
    for (const QString &declaration : declarations) {
        const int colon = declaration.indexOf(QLatin1Char(':'));
        if (colon > 0 && declaration.left(colon).trimmed() == name)
            value = declaration.mid(colon + 1).trimmed();
    }
    return value;
}

// "url(#id)", with or without quotes; "" for anything else ("none" included).
QString idOf(const QString &ref)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*url\\(\\s*['\"]?#([^'\")\\s]+)['\"]?\\s*\\)\\s*$"));
    return pattern.match(ref).captured(1);
}

struct Element
{
    QString tag;
    QXmlStreamAttributes attributes;
};

// A <clipPath> as read: its own attributes and the children that may give an area.
struct ClipSource
{
    QXmlStreamAttributes attributes;
    QVector<Element> children;
};

// The id a <use> names, from href or xlink:href ("" for anything but "#id").
QString targetOf(const QXmlStreamAttributes &a)
{
    for (const QXmlStreamAttribute &attribute : a) {
        const QString value = attribute.value().trimmed().toString();
        if (attribute.name() == QLatin1String("href") && value.startsWith(QLatin1Char('#')))
            return value.mid(1);
    }
    return {};
}

// Writes the small document QtSvg renders for one <clipPath>: its children filled in black by
// the clip rule, and an empty group under the clip's transform so QtSvg parses that for us.
class ClipDocument
{
public:
    explicit ClipDocument(const QXmlStreamAttributes &clipPath);
    // referenced: what a <use> child names, nullptr when it names nothing.
    void addChild(const Element &child, const Element *referenced);
    QByteArray finish();

private:
    bool shown(const QXmlStreamAttributes &a) const;
    void writeShape(const Element &shape, const QString &inheritedRule);

    QByteArray document;
    QXmlStreamWriter writer{&document};
    QString rule;       // inherited by children that set none
    QString visibility; // likewise
};

ClipDocument::ClipDocument(const QXmlStreamAttributes &clipPath)
    : rule(property(clipPath, QStringLiteral("clip-rule"))),
      visibility(property(clipPath, QStringLiteral("visibility")))
{
    writer.writeStartElement(QStringLiteral("svg"));
    writer.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
    writer.writeAttribute(QStringLiteral("width"), QStringLiteral("1"));
    writer.writeAttribute(QStringLiteral("height"), QStringLiteral("1"));
    writer.writeAttribute(QStringLiteral("viewBox"), QStringLiteral("0 0 1 1"));
    writer.writeStartElement(QStringLiteral("g"));
    const QString transform = clipPath.value(QStringLiteral("transform")).toString();
    if (!transform.isEmpty())
        writer.writeAttribute(QStringLiteral("transform"), transform);
    writer.writeEmptyElement(QStringLiteral("g"));
    writer.writeAttribute(QStringLiteral("id"), ProbeId);
    writer.writeEndElement();
}

// A child that is not displayed adds nothing to the clip.
bool ClipDocument::shown(const QXmlStreamAttributes &a) const
{
    QString shown = property(a, QStringLiteral("visibility"));
    if (shown.isEmpty() || shown == QLatin1String("inherit"))
        shown = visibility;
    return property(a, QStringLiteral("display")) != QLatin1String("none") &&
           shown != QLatin1String("hidden") && shown != QLatin1String("collapse");
}

void ClipDocument::addChild(const Element &child, const Element *referenced)
{
    if (!shown(child.attributes))
        return;
    QString childRule = property(child.attributes, QStringLiteral("clip-rule"));
    if (childRule.isEmpty() || childRule == QLatin1String("inherit"))
        childRule = rule;
    if (child.tag != QLatin1String("use")) {
        writeShape(child, childRule);
        return;
    }
    // Drawings often clip with a <use> of a shape kept elsewhere: it places the shape at (x, y)
    // within its own transform. Only a shape itself may be named from a clip.
    if (!referenced || !areaTags().contains(referenced->tag) || !shown(referenced->attributes))
        return;
    const QXmlStreamAttributes &a = child.attributes;
    writer.writeStartElement(QStringLiteral("g"));
    writer.writeAttribute(QStringLiteral("transform"),
                          QStringLiteral("%1 translate(%2 %3)")
                              .arg(a.value(QStringLiteral("transform")).toString())
                              .arg(a.value(QStringLiteral("x")).toDouble())
                              .arg(a.value(QStringLiteral("y")).toDouble()));
    writeShape(*referenced, childRule);
    writer.writeEndElement();
}

void ClipDocument::writeShape(const Element &shape, const QString &inheritedRule)
{
    QString shapeRule = property(shape.attributes, QStringLiteral("clip-rule"));
    if (shapeRule.isEmpty() || shapeRule == QLatin1String("inherit"))
        shapeRule = inheritedRule;
    writer.writeEmptyElement(shape.tag);
    for (const QString &name : geometryAttributes()) {
        if (shape.attributes.hasAttribute(name))
            writer.writeAttribute(name, shape.attributes.value(name).toString());
    }
    writer.writeAttribute(QStringLiteral("fill"), QStringLiteral("black"));
    writer.writeAttribute(QStringLiteral("stroke"), QStringLiteral("none"));
    writer.writeAttribute(QStringLiteral("fill-rule"), shapeRule == QLatin1String("evenodd")
                                                           ? QStringLiteral("evenodd")
                                                           : QStringLiteral("nonzero"));
}

QByteArray ClipDocument::finish()
{
    writer.writeEndElement();
    return document;
}

// Every <clipPath> with an id (the first of duplicate ids counts), and in wanted the ids its
// <use> children name.
QHash<QString, ClipSource> readClipPaths(const QByteArray &svg, QSet<QString> *wanted)
{
    QHash<QString, ClipSource> result;
    QXmlStreamReader reader(svg);
    ClipSource ignored;
    ClipSource *open = nullptr;
    int level = 0;      // elements enclosing the reader's position
    int clipLevel = -1; // the open <clipPath>'s own level
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement && --level == clipLevel)
            clipLevel = -1;
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QString tag = reader.name().toString();
        const QXmlStreamAttributes a = reader.attributes();
        if (clipLevel < 0 && tag == QLatin1String("clipPath")) {
            const QString id = a.value(QStringLiteral("id")).toString();
            open = id.isEmpty() || result.contains(id) ? &ignored : &result[id];
            *open = ClipSource{a, {}};
            clipLevel = level;
        } else if (clipLevel >= 0 && level == clipLevel + 1 &&
                   (areaTags().contains(tag) || tag == QLatin1String("use"))) {
            open->children.append(Element{tag, a});
            if (tag == QLatin1String("use"))
                wanted->insert(targetOf(a));
        }
        ++level;
    }
    return result;
}

// The elements that carry the wanted ids (the first of duplicate ids counts).
QHash<QString, Element> readElements(const QByteArray &svg, const QSet<QString> &wanted)
{
    QHash<QString, Element> result;
    QXmlStreamReader reader(svg);
    while (!reader.atEnd() && result.size() < wanted.size()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString id = reader.attributes().value(QStringLiteral("id")).toString();
        if (wanted.contains(id) && !result.contains(id))
            result.insert(id, Element{reader.name().toString(), reader.attributes()});
    }
    return result;
}

} // namespace

SvgClipPaths::SvgClipPaths(const QByteArray &svg)
{
    QSet<QString> wanted;
    const QHash<QString, ClipSource> sources = readClipPaths(svg, &wanted);
    wanted.remove(QString());
    const QHash<QString, Element> named = readElements(svg, wanted);
    for (auto source = sources.cbegin(); source != sources.cend(); ++source) {
        ClipDocument document(source->attributes);
        for (const Element &child : source->children) {
            const auto target = named.constFind(targetOf(child.attributes));
            document.addChild(child, target == named.cend() ? nullptr : &target.value());
        }
        Clip clip;
        clip.document = document.finish();
        clip.boundingBoxUnits =
            source->attributes.value(QStringLiteral("clipPathUnits")).trimmed() ==
            QLatin1String("objectBoundingBox");
        clip.clipPathRef = referenceOf(source->attributes);
        clips.insert(source.key(), clip);
    }
}

bool SvgClipPaths::has(const QString &clipPathRef) const
{
    return clips.contains(idOf(clipPathRef));
}

QPainterPath SvgClipPaths::clipFor(const QString &clipPathRef,
                                   const QRectF &objectBoundingBox) const
{
    return resolve(idOf(clipPathRef), objectBoundingBox, 0);
}

QString SvgClipPaths::referenceOf(const QXmlStreamAttributes &attributes)
{
    return property(attributes, QStringLiteral("clip-path"));
}

QPainterPath SvgClipPaths::resolve(const QString &id, const QRectF &box, int chain) const
{
    const auto found = clips.constFind(id);
    if (found == clips.constEnd())
        return {};
    const Clip &clip = found.value();
    if (!clip.rendered) {
        clip.rendered = true;
        QSvgRenderer renderer(clip.document);
        clip.transform = renderer.transformForElement(ProbeId);
        RecordingPaintDevice device;
        QPainter painter(&device);
        renderer.render(&painter, QRectF(0, 0, 1, 1)); // the viewBox itself: no scaling
        painter.end();
        for (const RecordedOutline &outline : device.outlines())
            clip.content =
                clip.content.isEmpty() ? outline.path : clip.content.united(outline.path);
    }
    QTransform units;
    if (clip.boundingBoxUnits) {
        // Fractions of a box with no width or height enclose nothing.
        if (box.width() <= 0 || box.height() <= 0)
            return {};
        units = QTransform(box.width(), 0, 0, box.height(), box.x(), box.y());
    }
    // The box scales the children first; the clip's transform then acts in user space.
    QPainterPath area = (units * clip.transform).map(clip.content);
    const QString next = idOf(clip.clipPathRef);
    if (chain < MaxClipChain && clips.contains(next))
        area = area.intersected(resolve(next, box, chain + 1));
    return area;
}

namespace {

// Where segment ab crosses segment cd, as a fraction along ab; outside [0, 1] when it does not.
double crossing(const QPointF &a, const QPointF &b, const QPointF &c, const QPointF &d)
{
    const QPointF r = b - a, s = d - c, ac = c - a;
    const double denominator = r.x() * s.y() - r.y() * s.x();
    if (denominator == 0)
        return -1; // parallel: the midpoint test decides such a piece
    const double t = (ac.x() * s.y() - ac.y() * s.x()) / denominator;
    const double u = (ac.x() * r.y() - ac.y() * r.x()) / denominator;
    return u >= 0 && u <= 1 ? t : -1;
}

// Whether the boxes around segments ab and cd overlap (touching counts): a cheap first test.
bool boxesMeet(const QPointF &a, const QPointF &b, const QPointF &c, const QPointF &d)
{
    return std::max(std::min(a.x(), b.x()), std::min(c.x(), d.x())) <=
               std::min(std::max(a.x(), b.x()), std::max(c.x(), d.x())) &&
           std::max(std::min(a.y(), b.y()), std::min(c.y(), d.y())) <=
               std::min(std::max(a.y(), b.y()), std::max(c.y(), d.y()));
}

// The clip's boundary as straight edges, and its area for inside tests, in the same flattening.
struct FlatClip
{
    std::vector<std::pair<QPointF, QPointF>> edges;
    QPainterPath area;
};

// Appends the pieces of polyline line inside the clip to result.
void clipPolyline(const QPolygonF &line, const FlatClip &clip, QPainterPath *result)
{
    QPolygonF piece;
    const auto flush = [&]() {
        if (piece.size() >= 2)
            result->addPolygon(piece);
        piece.clear();
    };
    for (int i = 0; i + 1 < line.size(); ++i) {
        const QPointF a = line.at(i), b = line.at(i + 1);
        std::vector<double> cuts{0.0, 1.0};
        for (const auto &edge : clip.edges) {
            if (!boxesMeet(a, b, edge.first, edge.second))
                continue;
            const double t = crossing(a, b, edge.first, edge.second);
            if (t > 0 && t < 1)
                cuts.push_back(t);
        }
        std::sort(cuts.begin(), cuts.end());
        for (size_t k = 0; k + 1 < cuts.size(); ++k) {
            if (cuts[k + 1] - cuts[k] <= 1e-12)
                continue;
            const QPointF from = a + (b - a) * cuts[k], to = a + (b - a) * cuts[k + 1];
            if (!clip.area.contains((from + to) / 2)) {
                flush();
                continue;
            }
            if (piece.isEmpty())
                piece << from;
            piece << to;
        }
    }
    flush();
}

QPainterPath clippedLines(const QPainterPath &lines, const QPainterPath &clip)
{
    const QRectF box = lines.boundingRect().united(clip.boundingRect());
    const double size = std::max(box.width(), box.height());
    if (lines.isEmpty() || !(size > 0))
        return {};
    // Qt flattens curves to half a unit; scaled up, that is a fine fraction of the geometry.
    const QTransform up = QTransform::fromScale(FlatteningSteps / size, FlatteningSteps / size);
    FlatClip flat;
    flat.area.setFillRule(clip.fillRule());
    for (const QPolygonF &polygon : clip.toSubpathPolygons(up)) {
        flat.area.addPolygon(polygon);
        for (int i = 0; i < polygon.size(); ++i)
            flat.edges.emplace_back(polygon.at(i), polygon.at((i + 1) % polygon.size()));
    }
    QPainterPath result;
    for (const QPolygonF &line : lines.toSubpathPolygons(up))
        clipPolyline(line, flat, &result);
    return up.inverted().map(result);
}

// Each subpath of path, in order, with whether it ends where it starts.
std::vector<std::pair<QPainterPath, bool>> subpaths(const QPainterPath &path)
{
    std::vector<std::pair<QPainterPath, bool>> result;
    QPointF start;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo() || result.empty()) {
            result.emplace_back(QPainterPath(e), false);
            start = e;
            continue;
        }
        QPainterPath &sub = result.back().first;
        if (e.isLineTo()) {
            sub.lineTo(e);
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            sub.cubicTo(e, path.elementAt(i + 1), path.elementAt(i + 2));
            i += 2;
        }
        result.back().second = sub.currentPosition() == start;
    }
    return result;
}

} // namespace

namespace SvgClipGeometry {

QPainterPath clipped(const QPainterPath &outline, const QPainterPath &clip, bool filled)
{
    if (outline.isEmpty() || clip.isEmpty())
        return {};
    QPainterPath areas, lines;
    areas.setFillRule(outline.fillRule());
    for (const auto &sub : subpaths(outline))
        (filled && sub.second ? areas : lines).addPath(sub.first);
    QPainterPath result = areas.isEmpty() ? QPainterPath() : areas.intersected(clip);
    result.addPath(clippedLines(lines, clip));
    return result;
}

} // namespace SvgClipGeometry
