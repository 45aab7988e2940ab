#pragma once
// The picture an <image> element shows, read by the host itself for the print and the cut alike:
// a data: URL, or a file named by a path relative to the sheet's folder ("../" included), an
// absolute path or a file: URL. The file must be a regular file of at most MaxLinkedFileBytes;
// nothing is fetched from the network. Only PNG and JPEG pictures of at most MaxPixels are taken:
// what is not taken is neither printed nor cut, so that the knife never cuts around a picture
// the printer left out.

#include "common/Result.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace LinkedPicture {

// A decoded picture larger than this is refused (a hostile file could claim any size).
constexpr qint64 MaxPixels = 64 * 1024 * 1024;

struct Picture
{
    QByteArray bytes;    // the file as read (or the data: URL decoded)
    QByteArray mimeType; // "image/png" or "image/jpeg"
    QImage image;        // null when only the header was read
};

enum class Pixels
{
    Decoded,   // the whole picture, for tracing its outline
    HeaderOnly // format and size checked: enough to hand the bytes on to be drawn
};

// The link an image element's attributes give: plain href wins over xlink:href, as in librsvg.
QString hrefOf(const QString &plainHref, const QString &xlinkHref);

// Reads and decodes the picture `href` names; the reason for the user when it cannot be had.
Result<Picture> read(const QString &href, const QString &sheetFile,
                     Pixels pixels = Pixels::Decoded);

} // namespace LinkedPicture
