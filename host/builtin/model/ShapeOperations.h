#pragma once
// What the drawing application does to shapes: stretch about a reference point, combine several
// curves into one, break a curve apart into one curve per subpath. Inches, y up.

#include "HostDocument.h"
#include "common/Result.h"

#include <QList>
#include <QPainterPath>
#include <QPolygonF>

namespace ShapeOperations {

// Scales the shapes by (sx, sy) about the document's reference point of their common box (of
// their curves alone when there are curves among text or images). Shapes that draw nothing are
// left alone here and in combine.
// Factors must be finite and non-zero; fails with a reason otherwise.
Result<> stretch(const HostDocument &doc, const QList<HostShape::Ptr> &shapes, double sx,
                 double sy);

// Joins curves into one: the first shape takes every subpath of the others (in order) and keeps
// its own fill and outline; the others leave the document. Text and images cannot be combined.
// The result becomes the selection.
Result<HostShape::Ptr> combine(HostDocument &doc, const QList<HostShape::Ptr> &shapes);

// Splits a curve into one curve per subpath on the same layer, each with the curve's style;
// the pieces replace it and become the selection. A curve of one subpath comes back as itself.
Result<QList<HostShape::Ptr>> breakApart(HostDocument &doc, const HostShape::Ptr &shape);

// The subpaths of a path, each starting at its move-to; a move-to without a segment is none.
QList<QPainterPath> subpaths(const QPainterPath &path);

// The path's subpaths as polylines whose curves deviate from the true curve by at most
// `tolerance` (same unit as the path, > 0). A closed subpath ends on its first point.
QList<QPolygonF> flatten(const QPainterPath &path, double tolerance);

} // namespace ShapeOperations
