#pragma once
// Writing a file whole or not at all: the bytes go to a new file beside the old one, which
// replaces the old one only when every byte has been written and has reached the disk. A full
// disk, a file-size limit or a missing permission leaves the old file as it was and says so,
// naming the file and the system's reason.
//
//     WholeFileWriter out(path);
//     if (Result<> opened = out.open(); !opened) return opened;
//     out.device()->write(...);           // or write(): any number of pieces
//     return out.commit();                // the one moment the old file is replaced
//
// Destroyed without commit(), the new file is discarded.

#include "common/Result.h"

#include <QByteArrayList>
#include <QIODevice>
#include <QSaveFile>

class WholeFileWriter
{
public:
    explicit WholeFileWriter(const QString &path);
    WholeFileWriter(const WholeFileWriter &) = delete;
    WholeFileWriter &operator=(const WholeFileWriter &) = delete;

    Result<> open();
    // For producers that take a device (a PDF painter): every write goes through write(), so a
    // failing one fails where it happens and keeps its reason.
    QIODevice *device() { return &sink; }
    // False once any write failed; commit() then reports why.
    bool write(const char *data, qint64 size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    // A write failed: commit() will give the system's reason. A producer that stopped (cairo,
    // an image writer) asks this to tell its own failure from the file's.
    bool failed() const { return !firstError.isEmpty(); }
    // Fails on any earlier write failure, or when the bytes cannot reach the disk or take the
    // old file's place.
    Result<> commit();

    const QString &path() const { return target; }

private:
    class Sink : public QIODevice
    {
    public:
        explicit Sink(WholeFileWriter &owner) : owner(owner) {}

    protected:
        qint64 readData(char *, qint64) override { return -1; }
        qint64 writeData(const char *data, qint64 size) override
        {
            return owner.write(data, size) ? size : -1;
        }

    private:
        WholeFileWriter &owner;
    };

    Failure failure(const QString &reason) const;

    QString target;
    QSaveFile file;
    Sink sink{*this};
    QString firstError;
};

// The whole file from its pieces, or the old file untouched and the reason.
Result<> writeWholeFile(const QString &path, const QByteArrayList &pieces);

// Writes past a file-size limit fail with "File too large" instead of killing the process.
void ignoreFileSizeSignal();

namespace detail {
// Flushes the open file's bytes to the disk; the system's reason when that fails.
QString syncToDisk(int handle);
} // namespace detail
