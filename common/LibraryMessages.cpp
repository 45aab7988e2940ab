#include "LibraryMessages.h"

#include <QString>
#include <QtGlobal>

#include <cstring>

namespace {

QtMessageHandler previous = nullptr;

bool isNoise(const QMessageLogContext &context, const QString &message)
{
    if (context.category && std::strcmp(context.category, "qt.svg") == 0)
        return true;
    return message.startsWith(QLatin1String("libpng ")) ||
           message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"));
}

void filter(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg && isNoise(context, message))
        return;
    if (previous)
        previous(type, context, message);
}

} // namespace

void dropLibraryNoise()
{
    previous = qInstallMessageHandler(filter);
}
