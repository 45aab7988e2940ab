#pragma once
// The part of a clipped element that shows. QtSvg implements SVG Tiny 1.2, which has no
// clip-path, so what it records for a clipped element is the whole shape; these cut it down.
// Glossary: a clip path (<clipPath>) is an area, the union of its children's geometry (their
// fill and stroke do not matter); whatever lies outside it is hidden. Its children count in the
// user space of the element that refers to it (clipPathUnits="userSpaceOnUse", the default) or
// in fractions of that element's bounding box ("objectBoundingBox": 0 to 1 across the box).
// An element's user space is the one its own transform attribute establishes.

#include <QByteArray>
#include <QHash>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <QXmlStreamAttributes>

class SvgClipPaths
{
public:
    // Reads every <clipPath> of the document once; their geometry is rendered on first use.
    explicit SvgClipPaths(const QByteArray &svg);

    // True when ref ("url(#id)") names a <clipPath> of the document. A reference to nothing
    // clips nothing, as other renderers show it.
    bool has(const QString &clipPathRef) const;

    // The area that shows, in the user space of the element that refers to the clip; its
    // geometric bounding box (no stroke) in that space scales objectBoundingBox units. Empty
    // when the clip hides everything, or when ref names nothing (tell the two apart by has()).
    // Handles the clipPath's transform and clip-rule, its children's transforms, clip-rule,
    // display and visibility, a <use> child naming a shape, and a clip-path on the <clipPath>
    // itself. Text children are left out. Not thread-safe (it caches).
    QPainterPath clipFor(const QString &clipPathRef, const QRectF &objectBoundingBox) const;

    // What an element's clip-path names, from its style or its attribute ("" when none).
    static QString referenceOf(const QXmlStreamAttributes &attributes);

private:
    struct Clip
    {
        QByteArray document; // a small SVG of the children alone, filled, for QtSvg to render
        bool boundingBoxUnits = false;
        QString clipPathRef; // a clip-path on the <clipPath> element itself
        mutable bool rendered = false;
        mutable QPainterPath content; // the children's union, before the units and transform
        mutable QTransform transform; // the <clipPath>'s own transform attribute
    };
    QPainterPath resolve(const QString &id, const QRectF &box, int chain) const;

    QHash<QString, Clip> clips; // by id
};

namespace SvgClipGeometry {

// The part of outline (a recorded shape) inside clip, both in the same coordinates. When filled,
// closed subpaths are areas and give their intersection with the clip; open subpaths, and every
// subpath when not filled, are lines and give the pieces of line inside the clip (curves
// flattened to within 1/8000 of the geometry's size).
QPainterPath clipped(const QPainterPath &outline, const QPainterPath &clip, bool filled = true);

} // namespace SvgClipGeometry
