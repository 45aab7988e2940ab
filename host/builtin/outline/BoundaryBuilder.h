#pragma once
// The boundary of shapes: one curve around the union of their areas, as the drawing
// application's CreateBoundary draws it around artwork to be cut. The area of a shape is its
// closed subpaths (even-odd, so holes stay holes) widened by half its outline, plus its open
// subpaths widened by half the outline; images by their opaque pixels and text by its drawn
// glyphs (or by their box, with a note, when they cannot be placed or drawn). A picture that
// cannot be printed takes no part, with a note.

#include "common/Result.h"
#include "model/HostDocument.h"

namespace BoundaryBuilder {

// A new curve on the document's active layer (on top): the outer outline of each island of the
// union as a closed subpath (holes and what lies in them get no contour: the contour is where a
// label comes off the sheet), each grown by `offsetInches` (0 or more, round corners) before
// islands that then touch unite; no fill, hairline black outline. With deleteSource the shapes
// leave the document. Shapes outlined by their box instead are named in the document's notes.
// Fails with a reason when the shapes enclose no area.
Result<HostShape::Ptr> create(HostDocument &doc, const QList<HostShape::Ptr> &shapes,
                              bool deleteSource, double offsetInches);

// The union area alone, outer outlines and holes, as closed polygons in inches (y up).
QList<QPolygonF> unionArea(const QList<HostShape::Ptr> &shapes);

// The outer outline of each island of the union, gaps under 0.002 inch between shapes closed,
// grown by `offsetInches`; closed polygons in inches (y up), as create outlines them. Linked
// pictures are looked for next to `sheetFile`; `notes` receives what was outlined by its box.
// With `drawnBy`, the document holding the shapes, librsvg judges what the shapes read from its
// file draw: what it draws nothing for takes no part, and where its drawing differs from a
// shape's geometry by more than 0.1 mm the outline follows the drawing.
QList<QPolygonF> outerOutlines(const QList<HostShape::Ptr> &shapes, double offsetInches = 0.0,
                               const QString &sheetFile = QString(), QStringList *notes = nullptr,
                               const HostDocument *drawnBy = nullptr);

} // namespace BoundaryBuilder
