#pragma once
// Writing a finished job text to the file the user chose: whole or not at all, so a failed or
// interrupted write never leaves half a job where an earlier file stood.

#include "common/Result.h"

#include <QByteArray>
#include <QString>

// Writes `text` exactly (no line break added) to `filePath`, replacing any earlier content only
// once the whole text is on disk. Fails with JobMessage::saveFailed() followed by the file and
// the system's reason.
Result<> saveJobFile(const QString &filePath, const QByteArray &text);
