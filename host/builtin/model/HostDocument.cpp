#include "HostDocument.h"

HostDocument::HostDocument(double widthInches, double heightInches)
{
    auto page = std::make_shared<HostPage>();
    page->widthInches = widthInches;
    page->heightInches = heightInches;
    auto layer = std::make_shared<HostLayer>();
    layer->name = QStringLiteral("Layer 1");
    page->layers.append(layer);
    pages.append(page);
    activePage = page;
    activeLayer = layer;
}

HostShape::Ptr HostDocument::addShape(const HostLayer::Ptr &layer, const QPainterPath &path)
{
    auto shape = std::make_shared<HostShape>();
    shape->path = path;
    adoptShape(layer, shape);
    return shape;
}

void HostDocument::adoptShape(const HostLayer::Ptr &layer, const HostShape::Ptr &shape)
{
    shape->id = nextShapeId++;
    shape->inDocument = true;
    layer->shapes.append(shape);
}

bool HostDocument::removeShape(const HostShape::Ptr &shape)
{
    const HostLayer::Ptr layer = layerOf(shape);
    if (!layer)
        return false;
    layer->shapes.removeOne(shape);
    shape->inDocument = false;
    if (selectedIds.remove(shape->id)) {
        for (int i = selected.size() - 1; i >= 0; --i) {
            if (selected.at(i).lock() == shape)
                selected.removeAt(i);
        }
    }
    return true;
}

HostLayer::Ptr HostDocument::layerOf(const HostShape::Ptr &shape) const
{
    for (const HostPage::Ptr &page : pages) {
        for (const HostLayer::Ptr &layer : page->layers) {
            if (layer->shapes.contains(shape))
                return layer;
        }
    }
    return nullptr;
}

HostLayer::Ptr HostDocument::findLayer(const QString &name) const
{
    for (const HostLayer::Ptr &layer : activePage->layers) {
        if (layer->name == name)
            return layer;
    }
    return nullptr;
}

QList<HostShape::Ptr> HostDocument::selection() const
{
    QList<HostShape::Ptr> shapes;
    for (const std::weak_ptr<HostShape> &weak : selected) {
        HostShape::Ptr shape = weak.lock();
        if (shape && shape->inDocument)
            shapes.append(shape);
    }
    return shapes;
}

void HostDocument::addToSelection(const HostShape::Ptr &shape)
{
    if (selectedIds.contains(shape->id) || !drawsSomething(*shape))
        return;
    selectedIds.insert(shape->id);
    selected.append(shape);
}

void HostDocument::setSelection(const QList<HostShape::Ptr> &shapes)
{
    clearSelection();
    for (const HostShape::Ptr &shape : shapes)
        addToSelection(shape);
}

QList<HostShape::Ptr> HostDocument::selectableShapes() const
{
    QList<HostShape::Ptr> shapes;
    for (const HostLayer::Ptr &layer : activePage->layers) {
        if (!layer->visible || !layer->editable)
            continue;
        shapes.append(drawnShapes(layer->shapes));
    }
    return shapes;
}

bool HostDocument::drawsSomething(const HostShape &shape)
{
    switch (shape.kind) {
    case ShapeKind::Other:
        return false;
    case ShapeKind::Text:
    case ShapeKind::Image:
    case ShapeKind::Clone:
        return !shape.bounds().isNull();
    case ShapeKind::Curve:
        break;
    }
    // A lone move-to draws nothing, and neither do segments that never leave their start point
    // (a zero-radius circle, a zero-length line): a box of one point. A straight line has a box
    // of zero width or height, not both.
    bool segment = false;
    for (int i = 0; i < shape.path.elementCount() && !segment; ++i)
        segment = !shape.path.elementAt(i).isMoveTo();
    return segment && !shape.path.boundingRect().isNull();
}

QList<HostShape::Ptr> HostDocument::drawnShapes(const QList<HostShape::Ptr> &shapes)
{
    QList<HostShape::Ptr> drawn;
    for (const HostShape::Ptr &shape : shapes) {
        if (drawsSomething(*shape))
            drawn.append(shape);
    }
    return drawn;
}

QRectF HostDocument::boundsOf(const QList<HostShape::Ptr> &shapes)
{
    QRectF box;
    bool first = true;
    for (const HostShape::Ptr &shape : shapes) {
        // What draws nothing must not widen the box (or pull it to the origin).
        if (!drawsSomething(*shape))
            continue;
        const QRectF shapeBox = shape->bounds();
        // QRectF::united drops zero-width boxes (a vertical line), so unite by coordinates.
        if (first) {
            box = shapeBox;
            first = false;
            continue;
        }
        const double left = qMin(box.left(), shapeBox.left());
        const double top = qMin(box.top(), shapeBox.top());
        const double right = qMax(box.right(), shapeBox.right());
        const double bottom = qMax(box.bottom(), shapeBox.bottom());
        box = QRectF(QPointF(left, top), QPointF(right, bottom));
    }
    return box;
}

QPointF HostDocument::referencePointOf(const QRectF &box, ReferencePoint point)
{
    // The box is in y-up coordinates, so QRectF's "top" (smaller y) is the bottom edge.
    const double left = box.left(), right = box.right();
    const double bottom = box.top(), top = box.bottom();
    const double midX = (left + right) / 2, midY = (bottom + top) / 2;
    switch (point) {
    case ReferencePoint::TopRight:
        return {right, top};
    case ReferencePoint::TopMiddle:
        return {midX, top};
    case ReferencePoint::TopLeft:
        return {left, top};
    case ReferencePoint::MiddleLeft:
        return {left, midY};
    case ReferencePoint::BottomLeft:
        return {left, bottom};
    case ReferencePoint::BottomMiddle:
        return {midX, bottom};
    case ReferencePoint::BottomRight:
        return {right, bottom};
    case ReferencePoint::MiddleRight:
        return {right, midY};
    case ReferencePoint::Centre:
        break;
    }
    return {midX, midY};
}
