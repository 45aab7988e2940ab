#pragma once
// An outline's colour; CMYKAssign takes C, M, Y, K in 0-100.

#include "BuiltinObject.h"
#include "model/HostShape.h"

class ColorObject : public BuiltinObject
{
public:
    explicit ColorObject(HostShape::Ptr shape);

private:
    HostShape::Ptr shape;
};
