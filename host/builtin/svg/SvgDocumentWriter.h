#pragma once
// Saves a built-in host document as SVG that Inkscape opens with the same layers: each layer a
// group with inkscape:groupmode="layer" and inkscape:label (locked layers marked
// sodipodi:insensitive, hidden ones display:none, non-printing ones named in the layer's
// vexa:printable attribute), curves as paths in millimetres, y down, kept text and images as they
// were read. The file is written whole or not at all.

#include "common/Result.h"
#include "model/HostDocument.h"

namespace SvgDocumentWriter {

QByteArray toSvg(const HostDocument &doc);
Result<> write(const HostDocument &doc, const QString &path);
// Writes SVG text made by toSvg to `path`, whole or not at all.
Result<> writeFile(const QByteArray &svg, const QString &path);

} // namespace SvgDocumentWriter
