#pragma once
// Draws a kept SVG element (text, image) of the built-in host's document with QtSvg, so that the
// window, the PDF and the print show it where it is, although it is never cut geometry.

#include "model/HostShape.h"

#include <QTransform>

class QPainter;

namespace KeptElementRenderer {

// `toTarget` maps page inches (y up) to the painter's coordinates.
void render(QPainter &painter, const HostShape &shape, const QTransform &toTarget);

// An SVG transform attribute value for a matrix, exact to the last digit.
QString matrixText(const QTransform &t);

// A stand-alone SVG document holding just the kept element, sized to its file's viewBox.
QByteArray wrap(const HostShape &shape);

} // namespace KeptElementRenderer
