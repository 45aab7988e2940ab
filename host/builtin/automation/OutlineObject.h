#pragma once
// A shape's outline: width in inches (0 is a hairline) and its colour.

#include "BuiltinObject.h"
#include "model/HostShape.h"

class OutlineObject : public BuiltinObject
{
public:
    explicit OutlineObject(HostShape::Ptr shape);

private:
    HostShape::Ptr shape;
};
