#include "JobFile.h"

#include "JobPreparation.h"

#include <QSaveFile>

QString saveJobFile(const QString &filePath, const QByteArray &text)
{
    if (filePath.isEmpty())
        return JobMessage::SaveFailed;
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        return JobMessage::SaveFailed;
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return JobMessage::SaveFailed;
    }
    return file.commit() ? QString() : JobMessage::SaveFailed;
}
