// CdrConnection's "Setup Print" operations: the print layer set-up, PDF and printing.
#include "CdrConnection.h"

bool CdrConnection::preparePrintLayers()
{
    return false;
}

bool CdrConnection::publishPdf(const QString &)
{
    return false;
}

bool CdrConnection::printDocument()
{
    return false;
}
