#pragma once
// librsvg judges what the shapes read from an SVG file draw, so that the cut follows the print.
// Glossary: the vector area is the union of the shapes' areas from their geometry (their fill,
// widened by their stroke); the drawing is librsvg's rendering of the same shapes alone, as they
// print (inherited styles, CSS, opacity, gradients, masks, filters, markers, joins and caps);
// a point is drawn where the drawing's alpha reaches one half, as for pictures and text.
//
// Both are compared on a coarse grid (100 dpi); where they differ by more than about 0.1 mm
// (a shape hidden or without paint, a gradient fading out, a round cap, a marker), the drawing
// is traced at 600 dpi and simplified to within 0.05 mm. Where they agree nothing is traced and
// the exact vector outline stands, so a sheet of plain shapes costs one coarse drawing.

#include "common/Result.h"
#include "model/HostDocument.h"

#include <QPolygonF>
#include <QSet>
#include <QVector>

namespace DrawingJudge {

// Whether librsvg judges a shape: an element read from an SVG file that draws something, other
// than a picture (pictures are traced from their own pixels). Shapes made here are drawn as
// their geometry says.
bool judged(const HostShape &shape);

// The document's SVG text drawing only the shapes whose ids are given (and what draws nothing,
// which may hold definitions they use), on the layers as they are.
QByteArray drawingOf(const HostDocument &doc, const QSet<int> &ids);

// Whether a judged text is outlined by the judge's drawing alone: its glyphs are small enough
// for FreeType at the fine resolution. It has no vector area: the sheet's texts are drawn and
// traced within their boxes (and a margin) where they print, a group of them at a time, instead of
// each drawn and traced on its own and then judged again.
bool outlinesText(const HostShape &shape);

// Closed polygons in page inches (y up); outer outlines and holes run opposite ways round.
struct Verdict
{
    QVector<QPolygonF> region;  // where the drawing decides; empty where the two agree
    QVector<QPolygonF> drawing; // what the drawing covers, at least throughout the region
    // What the texts outlined by the drawing alone cover: outer outlines counter-clockwise,
    // holes clockwise.
    QVector<QPolygonF> texts;
};

// The verdict on `shapes` (judged ones, of `doc`) against `vectorArea`, the union of what the
// geometry of those other than the texts outlined by the drawing paints. Fails when librsvg
// cannot read or draw the document; the vector area (and the texts' boxes) then stands.
Result<Verdict> judge(const HostDocument &doc, const QList<HostShape::Ptr> &shapes,
                      const QVector<QPolygonF> &vectorArea);

} // namespace DrawingJudge
