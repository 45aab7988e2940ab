#pragma once
// One shape of the built-in host's document. Geometry is in inches in page coordinates: origin at
// the page's lower-left corner, y upward. A curve holds one or more subpaths (open or closed).
// Text and images read from an SVG file cannot become cut geometry: they are kept as the XML they
// came as, take part in selection through their box, and are never exported as contours; a
// boundary outlines what they show.

#include "svg/SvgSpan.h"

#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <array>
#include <memory>

using Cmyk = std::array<int, 4>; // C, M, Y, K, each 0-100

// Other: an element kept from the file that draws nothing here (hidden, unsupported).
enum class ShapeKind
{
    Curve,
    Text,
    Image,
    // A clone (<use>) of what the host keeps no geometry for, such as a picture: only librsvg's
    // drawing of it says what it covers.
    Clone,
    Other
};

struct HostShape
{
    using Ptr = std::shared_ptr<HostShape>;

    int id = 0;              // unique within the document, stable for the shape's life
    QString svgId;           // the element id it had in its SVG file; empty for shapes made here
    bool inDocument = false; // on a layer of its document; false once deleted or combined away
    ShapeKind kind = ShapeKind::Curve;
    QPainterPath path; // Curve: inches, y up

    bool filled = false;
    Cmyk fillCmyk{0, 0, 0, 100};
    bool outlined = true;
    double outlineWidthInches = 0.0; // 0 is a hairline
    Cmyk outlineCmyk{0, 0, 0, 100};
    bool dashed = false;

    // Text and image shapes: the element's text as read (kept untouched), the transform of its
    // ancestors (user units), the namespace declarations it may need, the viewBox of its file
    // (user units), the mapping of user units to page inches (y up), its box in inches as read,
    // and the placement applied since (inches).
    QString keptXml;
    QTransform keptParents;
    QString keptNamespaces;
    QRectF keptViewBox;
    QTransform keptToPage;
    QRectF keptBounds;
    QTransform placement;

    // A curve read from an SVG file: its element's text and its ancestors' transform, and the
    // shape as it was read. While the curve is unchanged, saving writes the element back as it
    // was (gradients, classes and labels included) instead of a plain path.
    QString sourceXml;
    QTransform sourceParents;
    std::shared_ptr<const HostShape> asRead;

    // Where the element it was read from is in the file's text (any kind), and, for a curve, the
    // moves made here since, so that a moved element can be written back whole inside a
    // transform. Not valid: made here, or read from text an entity reference expanded.
    SvgSpan sourceSpan;
    bool fromEntity = false;
    QTransform moved;

    // The box of the shape in inches (y up); for a curve the box of its geometry, outline excluded.
    QRectF bounds() const
    {
        if (kind == ShapeKind::Curve)
            return path.boundingRect();
        return placement.mapRect(keptBounds);
    }

    // Moves or scales the shape; a kept element records the change in its placement.
    void transform(const QTransform &t)
    {
        if (kind == ShapeKind::Curve) {
            path = t.map(path);
            moved = moved * t;
        } else
            placement = placement * t;
    }
};
