#pragma once
// The built-in host's document: one or more pages, the active layer, the selection and the
// reference point that Stretch scales about. Lengths are inches, page origin lower-left, y up.

#include "HostPage.h"
#include "svg/SvgSource.h"

#include <QList>
#include <QRectF>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <memory>

// The drawing application's reference-point numbers, each a point of the selection's box.
enum class ReferencePoint
{
    TopRight = 1,
    TopMiddle = 2,
    TopLeft = 3,
    MiddleLeft = 4,
    BottomLeft = 5,
    BottomMiddle = 6,
    BottomRight = 7,
    MiddleRight = 8,
    Centre = 9
};

class HostDocument
{
public:
    using Ptr = std::shared_ptr<HostDocument>;

    // A document with one page of the given size (inches) holding one layer "Layer 1", active.
    HostDocument(double widthInches, double heightInches);

    QList<HostPage::Ptr> pages;
    HostPage::Ptr activePage;
    HostLayer::Ptr activeLayer;
    ReferencePoint referencePoint = ReferencePoint::Centre;
    QString filePath;  // where it was opened from or last saved to; empty for a new document
    QStringList notes; // what opening the file reported (kept text and images, skipped elements)
    QVariantMap pdfSettings; // the publish settings last set, by property name
    SvgSource svg;           // what the SVG file held besides shapes (empty for a new document)

    // A new curve shape on a layer, on top of its shapes.
    HostShape::Ptr addShape(const HostLayer::Ptr &layer, const QPainterPath &path);
    // Adds a shape made elsewhere (e.g. read from a file), giving it a document-unique id.
    void adoptShape(const HostLayer::Ptr &layer, const HostShape::Ptr &shape);
    // Removes a shape from its layer and from the selection; false when it is not in the document.
    bool removeShape(const HostShape::Ptr &shape);
    // The layer holding a shape, or nullptr.
    HostLayer::Ptr layerOf(const HostShape::Ptr &shape) const;
    // The first layer of the active page with exactly this name, or nullptr.
    HostLayer::Ptr findLayer(const QString &name) const;

    // The selection in the order shapes were added; deleted shapes drop out.
    QList<HostShape::Ptr> selection() const;
    // Adds a shape unless it draws nothing.
    void addToSelection(const HostShape::Ptr &shape);
    void setSelection(const QList<HostShape::Ptr> &shapes);
    void clearSelection()
    {
        selected.clear();
        selectedIds.clear();
    }

    // Shapes on visible, editable layers of the active page, in drawing order; elements that draw
    // nothing are not among them.
    QList<HostShape::Ptr> selectableShapes() const;

    // Whether a shape draws anything. An element kept from a file without geometry (hidden,
    // <title>, definitions), a curve without a segment or whose segments all lie on one point,
    // and text or an image without a box draw nothing: the document keeps them, but they are not
    // shapes to the automation (not counted, listed, selected, boxed, moved or deleted), so they
    // cannot pose as a mark at the page corner or widen the box a stretch is anchored to.
    static bool drawsSomething(const HostShape &shape);
    // The shapes that draw something, in the same order.
    static QList<HostShape::Ptr> drawnShapes(const QList<HostShape::Ptr> &shapes);

    // The box around the shapes (inches, y up), those that draw nothing left out; empty when
    // there are none.
    static QRectF boundsOf(const QList<HostShape::Ptr> &shapes);
    // The point of the box that a reference point names.
    static QPointF referencePointOf(const QRectF &box, ReferencePoint point);

private:
    QList<std::weak_ptr<HostShape>> selected;
    QSet<int> selectedIds;
    int nextShapeId = 1;
};
