#pragma once
// The area an image element visibly covers: its opaque pixels (alpha above one half; without
// alpha, the pixels that differ from a plain ground round nearly its whole border, so a subject
// on a plain ground is outlined and not its square; a picture without such a ground, by its box),
// traced at the image's own resolution or 600 dpi on the page, whichever is finer, simplified to
// within 0.05 mm, placed as the element places the picture (x, y, width, height,
// preserveAspectRatio, its transform and its ancestors'). The picture is read as LinkedPicture
// reads it for the print.

#include "common/Result.h"
#include "model/HostShape.h"

#include <QHash>
#include <QList>
#include <QPolygonF>
#include <QSize>
#include <QVector>

namespace ImageArea {

// Pictures already read and traced in one boundary, by reference: a sheet of stickers repeats
// the same few pictures many times. Only the outlines are kept, not the pixels: a sheet of large
// pictures would otherwise hold every one of them decoded until the boundary is made.
struct Picture
{
    QSize size;                                // empty when it cannot be read
    bool alpha = false;                        // whether its pixels have an alpha channel
    QString error;                             // why it cannot be read
    QHash<QString, QVector<QPolygonF>> traced; // grid outlines by trace resolution
};
using TraceCache = QHash<QString, Picture>;

struct Area
{
    QVector<QPolygonF> outlines; // outer outlines and holes, opposite ways round
    QPolygonF clip; // the viewport a "slice" picture overflows and is clipped to; else empty
    // Said to the user: a picture that cannot be printed has no outline (and why), one of a
    // single colour is outlined by its box.
    enum class Note
    {
        None,
        NotPrinted,
        BoxOnly
    } note = Note::None;
    QString reason; // why it cannot be printed
};

// Closed polygons in page inches (y up); no outline when the image covers nothing or cannot be
// printed. Fails with a reason for the user when the picture cannot be placed.
Result<Area> trace(const HostShape &image, const QString &sheetFile, TraceCache &cache);

// Reads and traces the pictures of `images` on every core at once, each decoded picture
// released as soon as it is traced, so that trace then finds them in `cache`.
void prepare(const QList<const HostShape *> &images, const QString &sheetFile, TraceCache &cache);

} // namespace ImageArea
