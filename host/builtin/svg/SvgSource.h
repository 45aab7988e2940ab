#pragma once
// What a document keeps of the SVG file it was opened from, so that saving writes the file's own
// text back and changes only what the commands changed: the text itself, where the root's tags
// are in it, the spans of the elements that became shapes, and the user-unit frame (viewBox) the
// page maps to.

#include "SvgFileCodec.h"
#include "SvgSpan.h"

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <QXmlStreamNamespaceDeclarations>

struct SvgSource
{
    bool fromFile = false;
    QByteArray fileBytes; // the file as read, written back unchanged when nothing changed
    QByteArray bytes;     // its XML, uncompressed: the same when nothing changed
    QString text;         // the same, decoded; spans count its characters
    SvgFileEncoding encoding;
    SvgSpan rootStartTag;
    SvgSpan rootEndTag;
    // Older files leave the root without a namespace; saving declares it.
    bool declaresSvgNamespace = true;
    QXmlStreamNamespaceDeclarations namespaces; // declared on the root
    // Every element that became a shape, so that saving can tell the deleted ones.
    QList<SvgSpan> shapeElements;
    // Layers of the file taken out of the document whole: saving cuts them out, tags and all.
    QList<SvgSpan> removedLayers;
    QRectF viewBox;        // user units; the page's width and height map onto it
    QTransform userToPage; // user units to page inches (origin lower-left, y up)
};
