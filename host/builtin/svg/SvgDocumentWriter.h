#pragma once
// Saves a built-in host document as SVG that Inkscape opens with the same layers: each layer a
// group with inkscape:groupmode="layer" and inkscape:label (locked layers marked
// sodipodi:insensitive, hidden ones display:none, non-printing ones named in the layer's
// vexa:printable attribute), curves as paths in millimetres, y down, kept text and images as they
// were read. The file is written whole or not at all.

#include "common/Result.h"
#include "model/HostDocument.h"

namespace SvgDocumentWriter {

// The SVG text in the file's own encoding, never compressed: what librsvg is handed.
QByteArray toSvg(const HostDocument &doc);
// What a file at `path` holds for `svg` made by toSvg: compressed when the document was read
// compressed, unless the name ends in .svg (or in .svgz, which compresses any); the file's own
// bytes when nothing changed.
QByteArray fileContents(const HostDocument &doc, const QByteArray &svg, const QString &path);
Result<> write(const HostDocument &doc, const QString &path);
// Writes SVG text made by toSvg to `path`, whole or not at all.
Result<> writeFile(const QByteArray &svg, const QString &path);

} // namespace SvgDocumentWriter
