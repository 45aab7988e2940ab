#include "WholeFileWriter.h"

#include <QCoreApplication>

WholeFileWriter::WholeFileWriter(const QString &path) : target(path), file(path) {}

Failure WholeFileWriter::failure(const QString &reason) const
{
    return Failure{
        QCoreApplication::translate("WholeFileWriter", "cannot write %1: %2").arg(target, reason)};
}

Result<> WholeFileWriter::open()
{
    if (target.isEmpty())
        return Failure{QCoreApplication::translate("WholeFileWriter", "no file name to write to")};
    // QSaveFile's own commit does not notice a failing last flush of its buffer, and would put
    // a cut-short file in place of the old one: unbuffered, write() itself fails.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure(file.errorString());
    sink.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    return {};
}

bool WholeFileWriter::write(const char *data, qint64 size)
{
    if (!firstError.isEmpty())
        return false;
    // A write that meets a full disk or a size limit part-way stores what fits and fails only on
    // the next try, which gives the system's reason.
    for (qint64 done = 0; done < size;) {
        const qint64 written = file.write(data + done, size - done);
        if (written <= 0) {
            firstError = file.errorString();
            return false;
        }
        done += written;
    }
    return true;
}

Result<> WholeFileWriter::commit()
{
    QString reason = firstError;
    // QSaveFile syncs before it renames but ignores a failing sync (a full disk discovered late).
    if (reason.isEmpty() && file.isOpen())
        reason = detail::syncToDisk(file.handle());
    if (!reason.isEmpty()) {
        file.cancelWriting();
        return failure(reason);
    }
    if (!file.commit())
        return failure(file.errorString());
    return {};
}

Result<> writeWholeFile(const QString &path, const QByteArrayList &pieces)
{
    WholeFileWriter out(path);
    if (Result<> opened = out.open(); !opened)
        return opened;
    for (const QByteArray &piece : pieces)
        if (!out.write(piece))
            break;
    return out.commit();
}
