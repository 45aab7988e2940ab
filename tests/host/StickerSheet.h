#pragma once
// A generated A4 sheet of 24 stickers for the boundary tests: PNG pictures with transparency
// (discs, stars, blobs with holes and a dot inside a hole), pictures without alpha on a white
// ground (PNG and JPEG), and lines of text. The pictures are drawn here with known geometry, so
// each sticker's outline is known exactly; they are placed in every way an SVG places a picture
// (data: URL, relative path, file: URL, rotated, letterboxed by preserveAspectRatio).
// Lengths are millimetres from the page's top-left corner, y down (the sheet's user units).

#include <QList>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QString>

struct Sticker
{
    QString name;
    QRectF cell;            // the part of the sheet it owns; nothing else reaches into it
    QPainterPath area;      // what it covers, holes included (text: glyphs as Qt lays them out)
    QPolygonF outerOutline; // its outline without holes; empty for text
};

struct StickerSheet
{
    QString svgPath;
    QList<Sticker> stickers;
};

// Writes the sheet and its linked pictures into `folder`.
StickerSheet writeStickerSheet(const QString &folder);
