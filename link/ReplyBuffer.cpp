#include "ReplyBuffer.h"

#include <QIODevice>

#include <cstring>

namespace {
// Read from a device this many bytes at a time.
constexpr qint64 ChunkBytes = 64 * 1024;
} // namespace

void ReplyBuffer::clear()
{
    kept.clear();
    dropped = 0;
    afterEnd = 0;
    complete = false;
}

void ReplyBuffer::append(const char *data, qint64 size)
{
    if (size <= 0)
        return;
    if (complete) {
        keepAfterEnd(data, size);
        return;
    }
    const void *end = std::memchr(data, ';', size_t(size));
    if (!end) {
        keepTail(data, size);
        return;
    }
    const qint64 upToEnd = static_cast<const char *>(end) - data + 1;
    keepTail(data, upToEnd);
    complete = true;
    keepAfterEnd(data + upToEnd, size - upToEnd);
}

void ReplyBuffer::appendFrom(QIODevice &device)
{
    char chunk[ChunkBytes];
    for (;;) {
        const qint64 got = device.read(chunk, ChunkBytes);
        if (got <= 0)
            return;
        append(chunk, got);
    }
}

void ReplyBuffer::keepTail(const char *data, qint64 size)
{
    if (size >= KeptBytes) {
        dropped += kept.size() + size - KeptBytes;
        kept = QByteArray(data + size - KeptBytes, KeptBytes);
        return;
    }
    const int excess = kept.size() + int(size) - KeptBytes;
    if (excess > 0) {
        kept.remove(0, excess);
        dropped += excess;
    }
    kept.append(data, int(size));
}

void ReplyBuffer::keepAfterEnd(const char *data, qint64 size)
{
    const int room = KeptBytes - afterEnd;
    const int taken = int(qMin<qint64>(room, size));
    kept.append(data, taken);
    afterEnd += taken;
    dropped += size - taken;
}
