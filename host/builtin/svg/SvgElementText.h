#pragma once
// The SVG text this program writes for what it made or changed: curves as paths with its exact
// colours beside the SVG ones, layers as Inkscape layers, and elements of the file moved here
// wrapped whole in a transform.

#include "model/HostDocument.h"

#include <QPainterPath>
#include <QString>
#include <QTransform>

namespace SvgElementText {

QString num(double v);
// ` name="value"`, the value escaped.
QString attr(const QString &name, const QString &value);

// The frame the document's page maps to: the file's own, or millimetres for a new document.
QRectF viewBoxOf(const HostDocument &doc);
// Page inches (y up) to the root's user units.
QTransform pageToUser(const HostDocument &doc);

// A curve as a <path>, coordinates mapped from page inches by `toUser`.
QString curveElement(const HostShape &shape, const QTransform &toUser);
// Equal element by element within a micro-inch's millionth: a stretch and its inverse.
bool samePath(const QPainterPath &a, const QPainterPath &b);
// Whether a curve is still what its SVG element drew, so that the element can be written back.
bool unchangedSinceRead(const HostShape &shape);
// A curve's original element as the layer's child: inside its ancestors' transform.
QString sourceElement(const HostShape &shape);
// A kept element as the layer's child, moves made here applied around it.
QString keptElement(const HostShape &shape, const QTransform &toUser);
// A whole layer, as a group with inkscape:groupmode="layer", and its shapes.
QString layerElement(const HostDocument &doc, const HostLayer &layer, const QString &id,
                     const QTransform &toUser);

} // namespace SvgElementText
