#pragma once
// Where a viewBox lands in its viewport, as SVG 1.1's preserveAspectRatio places it.
// Glossary: the viewBox is a rectangle in user units (the drawing's own coordinates); the
// viewport is the area it is shown in (e.g. the page, in inches), origin top-left, y down.
// "meet" scales the viewBox to fit inside the viewport, "slice" to cover it, "none" stretches
// each axis on its own; the alignment (xMinYMin ... xMaxYMax) says which edge or centre of the
// viewBox lines up with the viewport's along each axis.

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QTransform>

namespace ViewBoxMapping {

// Maps user units to viewport units. A missing or malformed preserveAspectRatio means the
// default "xMidYMid meet"; a leading "defer" is ignored (it matters only for images). An empty
// viewBox or viewport gives the identity: there is nothing to scale.
QTransform viewBoxToViewport(const QRectF &viewBox, const QSizeF &viewport,
                             const QString &preserveAspectRatio);

} // namespace ViewBoxMapping
