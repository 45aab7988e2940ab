#include "SvgShapeGeometry.h"

#include "SvgPathData.h"

#include <QRegularExpression>
#include <cmath>

namespace {

// A length in user units: absent is 0; a unit needing the viewport or the font fails.
struct Length
{
    double value = 0;
    bool given = false;
    bool usable = true;
};

Length lengthOf(const QXmlStreamAttributes &attributes, const char *name)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*([+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?)\\s*(px|mm|"
                       "cm|in|pt|pc)?\\s*$"));
    Length length;
    const QStringRef text = attributes.value(QLatin1String(name));
    if (text.isEmpty())
        return length;
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        length.usable = false;
        return length;
    }
    const QString unit = match.captured(2);
    const double perUnit = unit == QLatin1String("mm")   ? 96 / 25.4
                           : unit == QLatin1String("cm") ? 96 / 2.54
                           : unit == QLatin1String("in") ? 96
                           : unit == QLatin1String("pt") ? 96 / 72.0
                           : unit == QLatin1String("pc") ? 16
                                                         : 1;
    length.value = match.captured(1).toDouble() * perUnit;
    length.given = true;
    length.usable = std::isfinite(length.value);
    return length;
}

// rx and ry as librsvg takes them: a negative one is "auto", which takes the other's value.
void radii(Length rx, Length ry, double *x, double *y)
{
    const bool xAuto = !rx.given || rx.value < 0, yAuto = !ry.given || ry.value < 0;
    *x = xAuto ? (yAuto ? 0 : ry.value) : rx.value;
    *y = yAuto ? *x : ry.value;
}

std::optional<QPainterPath> rect(const QXmlStreamAttributes &a)
{
    const Length x = lengthOf(a, "x"), y = lengthOf(a, "y"), w = lengthOf(a, "width"),
                 h = lengthOf(a, "height"), rx = lengthOf(a, "rx"), ry = lengthOf(a, "ry");
    if (!x.usable || !y.usable || !w.usable || !h.usable || !rx.usable || !ry.usable)
        return std::nullopt;
    QPainterPath path;
    if (w.value <= 0 || h.value <= 0)
        return path;
    double cornerX = 0, cornerY = 0;
    radii(rx, ry, &cornerX, &cornerY);
    cornerX = std::min(cornerX, w.value / 2);
    cornerY = std::min(cornerY, h.value / 2);
    const QRectF box(x.value, y.value, w.value, h.value);
    if (cornerX > 0 && cornerY > 0)
        path.addRoundedRect(box, cornerX, cornerY);
    else
        path.addRect(box);
    return path;
}

std::optional<QPainterPath> ellipse(const QXmlStreamAttributes &a, bool circle)
{
    const Length cx = lengthOf(a, "cx"), cy = lengthOf(a, "cy");
    const Length rx = lengthOf(a, circle ? "r" : "rx"), ry = lengthOf(a, circle ? "r" : "ry");
    if (!cx.usable || !cy.usable || !rx.usable || !ry.usable)
        return std::nullopt;
    double x = rx.value, y = ry.value;
    if (!circle)
        radii(rx, ry, &x, &y);
    QPainterPath path;
    if (x > 0 && y > 0)
        path.addEllipse(QPointF(cx.value, cy.value), x, y);
    return path;
}

std::optional<QPainterPath> line(const QXmlStreamAttributes &a)
{
    const Length x1 = lengthOf(a, "x1"), y1 = lengthOf(a, "y1"), x2 = lengthOf(a, "x2"),
                 y2 = lengthOf(a, "y2");
    if (!x1.usable || !y1.usable || !x2.usable || !y2.usable)
        return std::nullopt;
    QPainterPath path(QPointF(x1.value, y1.value));
    path.lineTo(x2.value, y2.value);
    return path;
}

// The points read as the coordinates of one moveto and its linetos, by the same rules: up to
// the first that does not read, a lone last coordinate dropped.
QPainterPath points(const QXmlStreamAttributes &a, bool closed)
{
    QPainterPath path =
        SvgPathData::parse(QStringLiteral("M ") + a.value(QLatin1String("points")).toString());
    if (closed && !path.isEmpty())
        path.closeSubpath();
    return path;
}

} // namespace

namespace SvgShapeGeometry {

std::optional<QPainterPath> outline(const QString &tag, const QXmlStreamAttributes &attributes)
{
    if (tag == QLatin1String("path"))
        return SvgPathData::parse(attributes.value(QLatin1String("d")).toString());
    if (tag == QLatin1String("rect"))
        return rect(attributes);
    if (tag == QLatin1String("circle") || tag == QLatin1String("ellipse"))
        return ellipse(attributes, tag == QLatin1String("circle"));
    if (tag == QLatin1String("line"))
        return line(attributes);
    if (tag == QLatin1String("polyline") || tag == QLatin1String("polygon"))
        return points(attributes, tag == QLatin1String("polygon"));
    return std::nullopt;
}

} // namespace SvgShapeGeometry
