#pragma once
// Saving a document opened from an SVG file: the file's own text, with only what the commands
// changed spliced in. Unchanged regions are copied character for character; a layer whose name,
// lock, visibility or printability changed gets only those attributes of its start tag
// rewritten; a deleted shape's element text is cut out; a changed element is replaced in place
// (moved: wrapped whole in a transform; otherwise rewritten as a path with its id); shapes added
// to a layer go before its end tag; new layers go before the root's end tag. With nothing
// changed the file's bytes come back as they were read.

#include "model/HostDocument.h"

#include <QByteArray>

namespace SvgSplice {

QByteArray edited(const HostDocument &doc);

} // namespace SvgSplice
