#pragma once
// A fixed range of shapes, for an object that hands one out (a shape's BreakApartEx) without
// knowing the range object, which in turn hands out shape objects.

#include "../AutomationObject.h"
#include "model/HostDocument.h"

AutomationHandle fixedShapeRange(HostDocument::Ptr document, QList<HostShape::Ptr> shapes);
