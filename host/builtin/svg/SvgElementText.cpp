#include "SvgElementText.h"

#include "common/Units.h"
#include "render/KeptElementRenderer.h"
#include "render/PageRenderer.h"

#include <QColor>
#include <QStringList>
#include <cmath>

namespace {

QString cmykText(const Cmyk &c)
{
    return QStringLiteral("%1 %2 %3 %4").arg(c[0]).arg(c[1]).arg(c[2]).arg(c[3]);
}

QString pathData(const QPainterPath &path, const QTransform &transform)
{
    QStringList commands;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPointF point = transform.map(QPointF(path.elementAt(i)));
        const QPainterPath::Element element = path.elementAt(i);
        if (element.isMoveTo())
            commands << QStringLiteral("M %1 %2").arg(SvgElementText::num(point.x()),
                                                      SvgElementText::num(point.y()));
        else if (element.isLineTo())
            commands << QStringLiteral("L %1 %2").arg(SvgElementText::num(point.x()),
                                                      SvgElementText::num(point.y()));
        else if (element.isCurveTo())
            commands << QStringLiteral("C %1 %2").arg(SvgElementText::num(point.x()),
                                                      SvgElementText::num(point.y()));
        else
            commands << QStringLiteral("%1 %2").arg(SvgElementText::num(point.x()),
                                                    SvgElementText::num(point.y()));
    }
    return commands.join(QLatin1Char(' '));
}

} // namespace

namespace SvgElementText {

QString num(double v)
{
    return QString::number(v, 'g', 12);
}

QString attr(const QString &name, const QString &value)
{
    return QStringLiteral(" %1=\"%2\"").arg(name, value.toHtmlEscaped());
}

QRectF viewBoxOf(const HostDocument &doc)
{
    if (doc.svg.fromFile)
        return doc.svg.viewBox;
    return QRectF(0, 0, inchesToMm(doc.activePage->widthInches),
                  inchesToMm(doc.activePage->heightInches));
}

QTransform pageToUser(const HostDocument &doc)
{
    if (doc.svg.fromFile && doc.svg.userToPage.isInvertible())
        return doc.svg.userToPage.inverted();
    const QRectF vb = viewBoxOf(doc);
    const HostPage &page = *doc.activePage;
    const double sx = vb.width() / page.widthInches, sy = vb.height() / page.heightInches;
    return QTransform(sx, 0, 0, -sy, vb.x(), vb.y() + page.heightInches * sy);
}

QString curveElement(const HostShape &shape, const QTransform &toUser)
{
    const double unit = std::sqrt(std::fabs(toUser.determinant())); // user units per inch
    // A hairline is written as the drawing application's hairline, so that it shows.
    const double width = qMax(shape.outlineWidthInches, HAIRLINE_INCHES) * unit;
    QString style =
        shape.filled ? QStringLiteral("fill:%1").arg(PageRenderer::colorOf(shape.fillCmyk).name())
                     : QStringLiteral("fill:none");
    if (shape.outlined) {
        style += QStringLiteral(";stroke:%1;stroke-width:%2")
                     .arg(PageRenderer::colorOf(shape.outlineCmyk).name(), num(width));
        if (shape.dashed)
            style += QStringLiteral(";stroke-dasharray:%1,%2").arg(num(4 * width), num(2 * width));
    } else {
        style += QStringLiteral(";stroke:none");
    }
    QString out = QStringLiteral("<path");
    if (!shape.svgId.isEmpty())
        out += attr(QStringLiteral("id"), shape.svgId);
    out += attr(QStringLiteral("d"), pathData(shape.path, toUser));
    out += attr(QStringLiteral("style"), style);
    out += attr(QStringLiteral("vexa:stroke-cmyk"), cmykText(shape.outlineCmyk));
    if (shape.filled)
        out += attr(QStringLiteral("vexa:fill-cmyk"), cmykText(shape.fillCmyk));
    if (shape.outlined && shape.outlineWidthInches <= 0)
        out += attr(QStringLiteral("vexa:hairline"), QStringLiteral("true"));
    return out + QStringLiteral("/>");
}

bool samePath(const QPainterPath &a, const QPainterPath &b)
{
    if (a.elementCount() != b.elementCount())
        return false;
    for (int i = 0; i < a.elementCount(); ++i) {
        const QPainterPath::Element x = a.elementAt(i), y = b.elementAt(i);
        // A stretch and its inverse leave rounding far below a micro-inch.
        if (x.type != y.type || std::abs(x.x - y.x) > 1e-9 || std::abs(x.y - y.y) > 1e-9)
            return false;
    }
    return true;
}

bool unchangedSinceRead(const HostShape &shape)
{
    const HostShape *read = shape.asRead.get();
    return read && !shape.sourceXml.isEmpty() && shape.filled == read->filled &&
           shape.fillCmyk == read->fillCmyk && shape.outlined == read->outlined &&
           shape.outlineWidthInches == read->outlineWidthInches &&
           shape.outlineCmyk == read->outlineCmyk && shape.dashed == read->dashed &&
           shape.svgId == read->svgId && samePath(shape.path, read->path);
}

QString sourceElement(const HostShape &shape)
{
    if (shape.sourceParents.isIdentity())
        return shape.sourceXml;
    return QStringLiteral("<g transform=\"%1\">%2</g>")
        .arg(KeptElementRenderer::matrixText(shape.sourceParents), shape.sourceXml);
}

QString keptElement(const HostShape &shape, const QTransform &toUser)
{
    // Moves made here (a stretch) are applied around the untouched element, in user units.
    const QTransform moved = shape.keptParents * shape.keptToPage * shape.placement * toUser;
    if (moved.isIdentity())
        return shape.keptXml;
    return QStringLiteral("<g transform=\"%1\">%2</g>")
        .arg(KeptElementRenderer::matrixText(moved), shape.keptXml);
}

QString layerElement(const HostDocument &doc, const HostLayer &layer, const QString &id,
                     const QTransform &toUser)
{
    QString out = QStringLiteral("<g") + attr(QStringLiteral("id"), id) +
                  attr(QStringLiteral("inkscape:groupmode"), QStringLiteral("layer")) +
                  attr(QStringLiteral("inkscape:label"), layer.name);
    if (!layer.visible)
        out += attr(QStringLiteral("style"), QStringLiteral("display:none"));
    if (!layer.editable)
        out += attr(QStringLiteral("sodipodi:insensitive"), QStringLiteral("true"));
    if (!layer.printable)
        out += attr(QStringLiteral("vexa:printable"), QStringLiteral("false"));
    out += QStringLiteral(">\n");
    for (const HostShape::Ptr &shape : layer.shapes) {
        out += QStringLiteral("  ");
        if (shape->kind != ShapeKind::Curve)
            out += keptElement(*shape, toUser);
        else if (unchangedSinceRead(*shape) && doc.svg.fromFile)
            out += sourceElement(*shape);
        else
            out += curveElement(*shape, toUser);
        out += QLatin1Char('\n');
    }
    return out + QStringLiteral("</g>\n");
}

} // namespace SvgElementText
