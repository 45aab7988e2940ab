#pragma once
// The first step of opening an SVG file: one namespace-aware pass over its XML that finds the
// page size, the Inkscape layers (and where their tags are in the text) and, on each, the elements
// that become shapes (paths, basic shapes, <use>) or are kept as they are (text, images). It also
// makes the copy that QtSvg renders, with an id on every such element so that each can be rendered
// alone. Glossary: user units are the SVG's own coordinates (the viewBox); page inches are the
// host's, origin lower-left, y up.

#include "SvgSource.h"
#include "common/Result.h"
#include "model/HostShape.h"

#include <QList>
#include <QPainterPath>
#include <QString>
#include <QStringList>
#include <QTransform>

#include <functional>
#include <optional>

// A clip-path on a group around an element: what it names, and the id of an empty element put
// inside the group (in the copy QtSvg renders) whose transform tells the group's user space.
struct ScannedClip
{
    QString ref;
    QString probeId;
};

struct ScannedElement
{
    ShapeKind kind = ShapeKind::Curve; // Curve to be rendered, Text or Image to be kept
    QString tag;
    QString id;         // the id to render it by (its own or one given for rendering)
    QString originalId; // its own id, empty when it had none
    QString text;       // its original XML text
    QString namespaces; // xmlns declarations in force for it, as attribute text
    // This program's exact style, written beside the SVG colours it saved (empty when absent).
    QString strokeCmyk;
    QString fillCmyk;
    bool hairline = false;
    QString clipPath;              // what its own clip-path names ("url(#id)"), empty when none
    QList<ScannedClip> groupClips; // clip-paths of the groups and layer around it
    SvgSpan span;                  // where its text is in the file
    bool fromEntity = false;       // made by an entity reference: no text of its own in the file
    // Its outline read from its own attributes, in its own user units, where that can be had.
    std::optional<QPainterPath> outline;
};

struct ScannedLayer
{
    QString name;
    QString id;
    bool visible = true;
    bool editable = true;
    bool printable = true;
    QList<ScannedElement> elements;
    SvgSpan startTag;  // invalid for the layer holding the elements outside any layer
    int insertAt = -1; // where shapes added to it go: its end tag, or after its last element
    bool selfClosing = false;
    QString probeId; // an empty group first in it in the rendered copy: its frame
};

struct SvgScan
{
    double pageWidth = 0;  // inches
    double pageHeight = 0; // inches
    QTransform userToPage;
    SvgSource source;
    QList<ScannedLayer> layers; // document order; elements outside any layer on "Layer 1"
    QByteArray renderable;
    QStringList notes;
    bool drawsNothing = false; // the root's viewBox has no area
};

namespace SvgElementScanner {

// The namespace that marks this program's own attributes (non-printing layers, exact colours).
inline const QString VexaNamespace = QStringLiteral("urn:vexa:print-and-cut");
inline const QString InkscapeNamespace =
    QStringLiteral("http://www.inkscape.org/namespaces/inkscape");
inline const QString SodipodiNamespace =
    QStringLiteral("http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd");
inline const QString SvgNamespace = QStringLiteral("http://www.w3.org/2000/svg");
inline const QString XlinkNamespace = QStringLiteral("http://www.w3.org/1999/xlink");

// `unsizedPage` tells the page of a root that gives no size (neither width and height nor a
// viewBox), in CSS pixels: the drawing's extent as the renderer sizes it; empty when it has none.
Result<SvgScan> scan(const QString &svg, const std::function<QSizeF()> &unsizedPage = {});

// A length attribute ("210mm", "8.5in", "600", "600px", "72pt") in inches; 0 when unusable.
double lengthInInches(const QString &text);

} // namespace SvgElementScanner
