#pragma once
// The application's window collection; Refresh() redraws the host window.

#include "BuiltinObject.h"

class WindowsObject : public BuiltinObject
{
public:
    WindowsObject();
};
