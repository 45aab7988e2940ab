#pragma once
// The outline of a path or basic shape straight from its own attributes, in its own user units
// (its transform not applied), drawn as librsvg draws it: path data of any length; a negative or
// zero size draws nothing; a negative rx or ry on a rect or ellipse counts as "auto" (the other
// radius, or none); radii too large for a rect are halved to fit. QtSvg reads the same elements
// with limits and other readings of invalid values, so its outline only helps where this one
// cannot be had.

#include <QPainterPath>
#include <QString>
#include <QXmlStreamAttributes>

#include <optional>

namespace SvgShapeGeometry {

// Empty when the element draws nothing; no value when `tag` is no path or basic shape, or a
// length is given in a unit that needs the viewport or the font (%, em, ex).
std::optional<QPainterPath> outline(const QString &tag, const QXmlStreamAttributes &attributes);

} // namespace SvgShapeGeometry
