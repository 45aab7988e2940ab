#include "DataPaths.h"

#include <QStandardPaths>

// The per-user data location ($XDG_DATA_HOME, usually ~/.local/share).
QString defaultDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/VexaCommonPlugin/");
}
