#include "JobFile.h"

#include "JobPreparation.h"

#include "common/WholeFileWriter.h"

Result<> saveJobFile(const QString &filePath, const QByteArray &text)
{
    if (filePath.isEmpty())
        return Failure{JobMessage::saveFailed()};
    if (Result<> written = writeWholeFile(filePath, {text}); !written)
        return Failure{JobMessage::saveFailed() + QLatin1Char(' ') + written.error()};
    return {};
}
