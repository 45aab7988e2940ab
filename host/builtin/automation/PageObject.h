#pragma once
// A page: its size in inches, its layers, new layers, the shapes a user could select.

#include "BuiltinObject.h"
#include "model/HostDocument.h"

class PageObject : public BuiltinObject
{
public:
    PageObject(HostDocument::Ptr document, HostPage::Ptr page);

private:
    HostDocument::Ptr doc;
    HostPage::Ptr page;
};
