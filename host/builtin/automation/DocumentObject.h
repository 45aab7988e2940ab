#pragma once
// A document: its active page and layer, the reference point, the selection, and the outputs
// (HPGL export, PDF, print, SVG save).

#include "BuiltinObject.h"
#include "model/HostDocument.h"

class DocumentObject : public BuiltinObject
{
public:
    explicit DocumentObject(HostDocument::Ptr document);

private:
    void addOutputMembers();
    HostDocument::Ptr doc;
};
