#pragma once
// Sheets of pictures for the benchmarks and the window tests, the same bytes every time:
// - stickers: an A4 sheet of 100 (by default) stickers, each a PNG with transparency of a
//   different irregular blob with a hole (600 x 600 pixels for 17 mm), so no two share a trace;
// - photos: an A4 sheet of photo stickers, JPEG pictures of generated scenery (gradients with
//   fine grain, which JPEG cannot squeeze much), about `megabytes` of SVG in all.
// The pictures are embedded as data: URLs; the page's user units are millimetres.

#include <QByteArray>

QByteArray stickerSheetSvg(int stickers = 100);
QByteArray photoSheetSvg(int megabytes);
