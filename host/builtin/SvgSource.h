#pragma once
// What a document keeps of the SVG file it was opened from, so that saving writes back what was
// not turned into shapes: the root element's attributes and namespace declarations, the
// top-level elements that are no layer and no drawing (defs, metadata, Inkscape's named view,
// styles) as their original text, and the user-unit frame (viewBox) the page maps to.

#include <QRectF>
#include <QString>
#include <QTransform>
#include <QXmlStreamAttributes>
#include <QXmlStreamNamespaceDeclarations>

struct SvgSource
{
    bool fromFile = false;
    QXmlStreamAttributes rootAttributes; // without namespace declarations
    QXmlStreamNamespaceDeclarations namespaces;
    QString preamble;      // raw XML of the kept top-level elements, in their order
    QRectF viewBox;        // user units; the page's width and height map onto it
    QTransform userToPage; // user units to page inches (origin lower-left, y up)
};
