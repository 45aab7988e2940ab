#pragma once
// Draws a page of the built-in host's document with a QPainter, for the host window: the
// document's SVG drawn by librsvg (filters, masks, clip paths, CSS as other programs show them),
// or, when that fails, its shapes one by one. The target rectangle receives the page (inches,
// y up, mapped with y down).

#include "model/HostDocument.h"

#include <QColor>
#include <QRectF>

class QPainter;

namespace PageRenderer {

// Draws the visible layers (only the printable ones when printableOnly) into `target`, in the
// painter's current coordinates, keeping the page's proportions as given by `target`.
void render(QPainter &painter, const HostDocument &doc, const QRectF &target, bool printableOnly);

// The document's own shapes drawn one by one (what QtSvg and QPainter can show), for a page
// librsvg could not draw.
void renderShapes(QPainter &painter, const HostDocument &doc, const QRectF &target,
                  bool printableOnly);

// The colour a CMYK outline or fill shows as on screen and paper.
QColor colorOf(const Cmyk &cmyk);

} // namespace PageRenderer
