#include "WholeFileWriter.h"

#include <QString>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

namespace detail {
QString syncToDisk(int handle)
{
    int result;
    do
        result = ::fsync(handle);
    while (result != 0 && errno == EINTR);
    // A file system that cannot sync (some FUSE and pipe-like ones) has nothing more to flush.
    if (result == 0 || errno == EINVAL || errno == EROFS)
        return {};
    return QString::fromLocal8Bit(std::strerror(errno));
}
} // namespace detail
