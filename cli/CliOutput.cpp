#include "CliOutput.h"

#include <QSaveFile>

#include <cstdio>

namespace {
QByteArray errorPrefix = "cutjob: ";
}

void setErrorPrefix(const QByteArray &prefix)
{
    errorPrefix = prefix;
}

void printError(const QString &message)
{
    const QByteArray text = errorPrefix + message.toLocal8Bit() + '\n';
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    std::fflush(stderr);
}

bool writeStandardOutput(const QByteArrayList &pieces)
{
    bool written = true;
    for (const QByteArray &piece : pieces) {
        const size_t size = size_t(piece.size());
        written = written && std::fwrite(piece.constData(), 1, size, stdout) == size;
    }
    return std::fflush(stdout) == 0 && written;
}

Result<> writeFileAtomically(const QString &path, const QByteArrayList &pieces)
{
    // Unbuffered: QSaveFile does not notice a final flush cut short (a full disk) and would
    // put the cut-short file in place of the old one; unbuffered, write() itself fails.
    QSaveFile file(path);
    const auto failed = [&] {
        return Failure{QStringLiteral("cannot write %1: %2").arg(path, file.errorString())};
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed();
    for (const QByteArray &piece : pieces) {
        if (file.write(piece) != piece.size()) {
            const Failure failure = failed();
            file.cancelWriting();
            return failure;
        }
    }
    if (!file.commit())
        return failed();
    return {};
}
