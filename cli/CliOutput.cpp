#include "CliOutput.h"

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
