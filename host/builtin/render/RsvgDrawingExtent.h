#pragma once
// The size librsvg gives a drawing whose root names none (no width and height, no viewBox): the
// extent of what it draws, strokes included, in CSS pixels, as rsvg-convert sizes its picture.
// The drawing keeps its coordinates: the page starts at the user space's origin.

#include <QByteArray>
#include <QSizeF>

namespace RsvgDrawingExtent {

// Empty when librsvg cannot read the XML or it draws nothing. Nothing outside the XML is loaded.
QSizeF of(const QByteArray &xml);

} // namespace RsvgDrawingExtent
