#pragma once
// Opens an SVG file as a built-in host document. Inkscape layers (groups with
// inkscape:groupmode="layer") become layers named by inkscape:label; the page size comes from
// width/height (with units) or the viewBox. Paths, basic shapes, groups and transforms become
// curves on their layer: QtSvg renders each element into a recording paint device, which keeps
// the outlines it draws, mapped through the element's transform. Text and images cannot become
// cut geometry: they are kept untouched, reported in the document's notes, and take part in
// selection by their box. Elements outside any layer go onto a layer "Layer 1".

#include "common/Result.h"
#include "model/HostDocument.h"

namespace SvgDocumentReader {

// Fails with a reason when the file cannot be read or is no SVG document.
Result<HostDocument::Ptr> read(const QString &path);

// The same from the file's bytes (compressed or not, in any encoding it declares); `path` only
// names the document.
Result<HostDocument::Ptr> readData(const QByteArray &file, const QString &path);

} // namespace SvgDocumentReader
