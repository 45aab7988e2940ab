#pragma once
// The boundary of shapes: one curve around the union of their areas, as the drawing
// application's CreateBoundary draws it around artwork to be cut. The area of a shape is its
// closed subpaths (even-odd, so holes stay holes) widened by half its outline, plus its open
// subpaths widened by half the outline; text and images count with their box.

#include "HostDocument.h"

namespace BoundaryBuilder {

// A new curve on the document's active layer (on top): every outline of the union, outer and
// hole, as a closed subpath; no fill, hairline black outline. With deleteSource the shapes leave
// the document. nullptr with a reason when the shapes enclose no area.
HostShape::Ptr create(HostDocument &doc, const QList<HostShape::Ptr> &shapes, bool deleteSource,
                      QString *error);

// The union area alone, as closed polygons in inches (y up); used by create and by tests.
QList<QPolygonF> unionArea(const QList<HostShape::Ptr> &shapes);

} // namespace BoundaryBuilder
