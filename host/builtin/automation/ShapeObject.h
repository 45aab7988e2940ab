#pragma once
// One shape: its style objects, its box, selection, and breaking a curve apart. A shape that has
// left the document (deleted, combined into another) answers every call with an error.

#include "BuiltinObject.h"
#include "model/HostDocument.h"

class ShapeObject : public BuiltinObject
{
public:
    ShapeObject(HostDocument::Ptr document, const HostShape::Ptr &shape);

private:
    // The shape when still in the document, else nullptr and a failure to answer.
    HostShape::Ptr alive(CallResult *failure) const;

    HostDocument::Ptr doc;
    std::weak_ptr<HostShape> shape;
};
