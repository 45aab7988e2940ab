#pragma once
// A shape's fill; the host layer only ever removes it.

#include "BuiltinObject.h"
#include "model/HostShape.h"

class FillObject : public BuiltinObject
{
public:
    explicit FillObject(HostShape::Ptr shape);

private:
    HostShape::Ptr shape;
};
