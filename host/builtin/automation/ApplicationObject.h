#pragma once
// The application object: the entry point a connection creates from a program identifier.

#include "BuiltinObject.h"

class ApplicationObject : public BuiltinObject
{
public:
    ApplicationObject();
};
