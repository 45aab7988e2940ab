// CdrConnection's "Create Boundary" operations.
#include "CdrConnection.h"

bool CdrConnection::createCutBoundary()
{
    return false;
}

bool CdrConnection::ensureCuttingLayer()
{
    return false;
}
