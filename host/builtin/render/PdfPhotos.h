#pragma once
// Photos kept as JPEG in the PDF. librsvg hands cairo every picture decoded, and cairo's PDF
// compresses the raw pixels again: a sheet of 72 MB of photos took most of a minute to print,
// nearly all of it in zlib, and gave a PDF twice its size. Instead, each JPEG picture is drawn as
// a placeholder of the same size in a plain colour of its own (quick to decode and to compress),
// and in the PDF cairo made, each placeholder's image is replaced by the JPEG's own bytes, which
// PDF readers decode themselves (DCTDecode). Position, clip and opacity stay cairo's.
//
// Where a picture may be drawn through an effect that bakes it into another image (filters,
// masks, patterns), nothing is replaced; a placeholder not found once as an image of its own
// makes the caller draw the page again the plain way.

#include "common/Result.h"

#include <QByteArray>
#include <QList>
#include <QSize>

namespace PdfPhotos {

struct Page
{
    QByteArray svg;          // the text to draw; unchanged when `jpegs` is empty
    QList<QByteArray> jpegs; // the pictures replaced, in the order of their placeholders
};

// `svg` whose pictures are all in data: URLs (PrintedPictures::inlined).
Page withPlaceholders(const QByteArray &svg);

// The PDF cairo made of `page.svg` with the placeholders' images replaced by the JPEGs.
Result<QByteArray> withJpegs(const QByteArray &pdf, const Page &page);

} // namespace PdfPhotos
