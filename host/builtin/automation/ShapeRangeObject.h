#pragma once
// A collection of shapes: a layer's shapes (live), a fixed range (All(), SelectableShapes(),
// BreakApartEx()) or the document's selection (live). All three answer the same members, and
// none holds an element that draws nothing (HostDocument::drawsSomething).

#include "BuiltinObject.h"
#include "model/HostDocument.h"

#include <functional>

class ShapeRangeObject : public BuiltinObject
{
public:
    static AutomationHandle layerShapes(HostDocument::Ptr document, HostLayer::Ptr layer);
    static AutomationHandle snapshot(HostDocument::Ptr document, QList<HostShape::Ptr> shapes);
    static AutomationHandle selection(HostDocument::Ptr document);

private:
    using Source = std::function<QList<HostShape::Ptr>()>;
    ShapeRangeObject(const QString &kind, HostDocument::Ptr document, Source source);
    void addQueryMembers();
    void addEditMembers();

    HostDocument::Ptr doc;
    Source shapes;
    bool isSelection = false;
};
