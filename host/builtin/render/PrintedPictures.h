#pragma once
// The pictures of a page as librsvg gets them: the host reads each <image>'s picture itself
// (LinkedPicture: its limits, its formats) and hands librsvg the bytes in a data: URL, so that
// librsvg, given no base to resolve links against, fetches nothing on its own. A picture the host
// cannot take loses its link and prints nothing, as the boundary outlines nothing for it.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace PrintedPictures {

struct Page
{
    QByteArray svg;    // the text to hand librsvg (UTF-8 when it had to change)
    QStringList notes; // the pictures left out, the first few named with why: one line
};

// `svg` as a whole document's text; relative links resolve next to `sheetFile`.
Page inlined(const QByteArray &svg, const QString &sheetFile);

} // namespace PrintedPictures
