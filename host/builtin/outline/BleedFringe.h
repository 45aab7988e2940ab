#pragma once
// A printed bleed: stickers cut right on their art's edge show a sliver of white paper wherever
// the cut lands a little off, unless the print runs on past the cut. For every island outlined
// by a boundary, a fringe from its contour out to the contour grown by the bleed takes the
// colour of the nearest pixel its own art draws (as librsvg draws it: vector art, pictures and
// text alike), on a layer of its own right above the art: printable, locked, and never part of
// the cut (it holds pictures only).
//
// Each fringe is a 300 dpi picture (PNG) clipped to its ring, so that the print carries it at
// the printer's resolution and nothing inside a contour changes.

#include "common/Result.h"
#include "model/HostDocument.h"

#include <QList>
#include <QPolygonF>
#include <QString>

namespace BleedFringe {

// The layer the fringes are on.
QString layerName();

// Replaces the active page's "Bleed Layer" with the fringes of `contours` (closed polygons in
// page inches, y up, one per island) around `art` grown by `bleedInches`; with no bleed the
// layer only goes. Fails when librsvg cannot draw the art: the layer is gone then.
Result<> apply(HostDocument &doc, const QList<HostShape::Ptr> &art,
               const QList<QPolygonF> &contours, double bleedInches);

} // namespace BleedFringe
