#pragma once
// The layers of a page, 1-based; Find matches the name exactly, letter case included.

#include "BuiltinObject.h"
#include "model/HostDocument.h"

class LayersObject : public BuiltinObject
{
public:
    LayersObject(HostDocument::Ptr document, HostPage::Ptr page);

private:
    HostDocument::Ptr doc;
    HostPage::Ptr page;
};
