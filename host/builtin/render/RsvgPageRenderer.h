#pragma once
// What a person looks at (the PDF, the printed sheet) drawn with librsvg and cairo from the
// document's own SVG text, so filters, masks, clip paths and CSS show as in other programs;
// QtSvg only reads SVG Tiny and stays for the geometry the commands work on.
//
// Only the printable, visible layers are drawn: the others are hidden in the text handed to
// librsvg, which leaves their definitions (gradients, patterns) usable by the layers that print.
// Page lengths are inches; PDF lengths are points (72 per inch).

#include "CoverageGrid.h"
#include "common/Result.h"
#include "model/HostDocument.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QRectF>
#include <QString>

#include <functional>
#include <memory>

struct _RsvgHandle;

namespace RsvgPageRenderer {

// The document's SVG text with every layer that must not print hidden.
QByteArray printableSvg(const HostDocument &doc);

// Takes the next bytes of a file being made; false stops the making.
using ByteSink = std::function<bool(const char *data, qint64 size)>;

// A one-page vector PDF of the printable layers at the page's size, handed to `sink` as cairo
// makes it, so that a large PDF is never held whole (a page with JPEG photos, whose PDF is
// finished after cairo, is held: see PdfPhotos); fails when librsvg cannot read the text,
// cairo cannot draw it or the sink stopped.
Result<> pdf(const HostDocument &doc, const ByteSink &sink);
// The same PDF in memory.
Result<QByteArray> pdf(const HostDocument &doc);

// The page at `pixels` (each side 1..16384) on a transparent ground, every visible layer or only
// the printable ones: the host window's page view. The last page drawn is kept, so repainting an
// unchanged page costs no drawing. Fails when the page cannot be drawn.
Result<QImage> image(const HostDocument &doc, const QSize &pixels, bool printableOnly);

// Answers whether the drawing asked for is no longer wanted; any thread may ask it.
using StillWanted = std::function<bool()>;
// The same page from an SVG text taken from the document beforehand, for drawing off the GUI
// thread: reads no document and keeps nothing, so any thread may call it with its own text.
// Gives up early (failing) once `wanted` says the picture is no longer needed.
Result<QImage> image(const QByteArray &svg, const QString &baseFile, const QSizeF &pageInches,
                     const QSize &pixels, const StillWanted &wanted = {});

// Receives one band of a page: its first row and its pixels. False stops the drawing.
using BandSink = std::function<bool(int top, const QImage &band)>;

// The printable page rasterised at `dpi` (1..2400) on white paper, handed out top to bottom in
// bands of at most `bandRows` rows (ARGB32 premultiplied), so that a printer's full page is never
// held whole. Fails when the page cannot be drawn or the sink stopped.
Result<> bands(const HostDocument &doc, double dpi, int bandRows, const BandSink &sink);

// An SVG text read once by librsvg (relative references against `baseFile`), to be measured and
// drawn as coverage again and again: parsing a sheet costs more than drawing it coarsely.
using Drawing = std::shared_ptr<_RsvgHandle>;
Result<Drawing> readDrawing(const QByteArray &svg, const QString &baseFile);

// What the drawing draws, as coverage: its alpha (0..255) over tiles of the page's pixel grid at
// `dpi` (origin at the page's top-left corner, y down; a tile may reach past the page, where
// librsvg draws too). `sink` receives each tile's grid and may stop by returning false.
using CoverageSink = std::function<bool(const QRect &tile, const CoverageGrid &alpha)>;
Result<> coverage(const Drawing &drawing, const QSizeF &pageInches, double dpi,
                  const QList<QRect> &tiles, const CoverageSink &sink);

// What the drawing draws in one tile of the same pixel grid, in colour on a transparent ground
// (ARGB32 premultiplied).
Result<QImage> colours(const Drawing &drawing, const QSizeF &pageInches, double dpi,
                       const QRect &tile);

} // namespace RsvgPageRenderer
