#pragma once
// The area a text element visibly covers: its glyphs as librsvg draws them (the renderer of the
// PDF and the printed sheet, so the cut follows the print, whatever font fallback or layout it
// chose), rasterised at 600 dpi on the page and traced, simplified to within 0.05 mm.

#include "common/Result.h"
#include "model/HostShape.h"

#include <QPolygonF>
#include <QVector>

namespace TextArea {

// Closed polygons in page inches (y up), outer outlines and holes opposite ways round; none when
// the text draws no ink. Fails with a reason when it cannot be drawn.
Result<QVector<QPolygonF>> trace(const HostShape &text);

} // namespace TextArea
