#pragma once
// Reading a file named by a user or by a drawing: it must be a regular file no larger than the
// caller's limit, checked before a byte is read, so that a FIFO waits for no writer, a device
// such as /dev/zero is not read until memory runs out, and a folder gets a message at once.

#include "common/Result.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <functional>

// A picture linked from a drawing; decoded sizes are capped separately.
constexpr qint64 MaxLinkedFileBytes = 100LL * 1024 * 1024;
// A job file or plot export, held whole while it is read: a sheet's densest job is a few tens of
// megabytes, and its paths take several times the file's size in memory.
constexpr qint64 MaxJobFileBytes = 512LL * 1024 * 1024;
// A simulated cutter's script or the settings: a few lines.
constexpr qint64 MaxSmallFileBytes = 1024LL * 1024;
// How much of a file's start a HeadCheck sees.
constexpr qint64 HeadBytes = 256;

// Judges a file's first bytes (at most HeadBytes) before the rest is read: why the file is not
// what the caller reads, or an empty text.
using HeadCheck = std::function<QString(const QByteArray &head)>;

namespace detail {
inline QString tooLarge(const QString &path, qint64 maxBytes)
{
    return QCoreApplication::translate("BoundedRead", "%1: larger than %2 MB")
        .arg(path, QString::number(maxBytes / (1024 * 1024)));
}

} // namespace detail

inline Result<QByteArray> readRegularFile(const QString &path, qint64 maxBytes,
                                          const HeadCheck &checkHead = {})
{
    const QFileInfo info(path);
    if (!info.exists())
        return Failure{QCoreApplication::translate("BoundedRead", "%1: no such file").arg(path)};
    if (!info.isFile())
        return Failure{
            QCoreApplication::translate("BoundedRead", "%1: not a regular file").arg(path)};
    if (info.size() > maxBytes)
        return Failure{detail::tooLarge(path, maxBytes)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure{QStringLiteral("%1: %2").arg(path, file.errorString())};
    QByteArray bytes;
    if (checkHead) {
        bytes = file.read(qMin(HeadBytes, maxBytes));
        if (const QString wrong = checkHead(bytes); !wrong.isEmpty())
            return Failure{QStringLiteral("%1: %2").arg(path, wrong)};
    }
    // The file may have grown since it was measured: never take more than the limit.
    bytes += file.read(maxBytes + 1 - bytes.size());
    if (bytes.size() > maxBytes)
        return Failure{detail::tooLarge(path, maxBytes)};
    if (file.error() != QFileDevice::NoError)
        return Failure{QStringLiteral("%1: %2").arg(path, file.errorString())};
    return bytes;
}
