#include "JobFile.h"

#include "JobPreparation.h"

#include <QSaveFile>

Result<> saveJobFile(const QString &filePath, const QByteArray &text)
{
    if (filePath.isEmpty())
        return Failure{JobMessage::saveFailed()};
    // Unbuffered: QSaveFile does not notice a final flush cut short (a full disk) and would
    // put the cut-short file in place of the old one; unbuffered, write() itself fails.
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Failure{JobMessage::saveFailed()};
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return Failure{JobMessage::saveFailed()};
    }
    if (!file.commit())
        return Failure{JobMessage::saveFailed()};
    return {};
}
