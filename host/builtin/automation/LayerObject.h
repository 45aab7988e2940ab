#pragma once
// A layer: name, activation, lock and print state, its shapes, and line segments drawn on it.

#include "BuiltinObject.h"
#include "model/HostDocument.h"

class LayerObject : public BuiltinObject
{
public:
    LayerObject(HostDocument::Ptr document, HostLayer::Ptr layer);

private:
    HostDocument::Ptr doc;
    HostLayer::Ptr layer;
};
