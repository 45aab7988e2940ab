#include "DataPaths.h"

// Shared by every account on the machine, as the drawing host's export settings expect.
QString defaultDataFolder()
{
    return QStringLiteral("C:/Users/Public/Documents/VexaCommonPlugin/");
}
