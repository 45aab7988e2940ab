// Fuzz target: the plot-file reader. Both overloads (bytes and Latin-1 text) must give the same
// paths, and every path must hold joined segments.

#include "FuzzChecks.h"
#include "paths/PathProcessor.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    const PathProcessor processor;
    const CutPathList fromBytes = processor.parsePlt(bytes);
    // The QByteArray overload of fromLatin1 stops at the first NUL byte; a file may hold them.
    const CutPathList fromText =
        processor.parsePlt(QString::fromLatin1(bytes.constData(), bytes.size()));
    fuzzCheck(samePaths(fromBytes, fromText), "byte and text readers differ");
    fuzzCheck(pathsJoin(fromBytes), "a path's segments do not join");
    return 0;
}
