#include "WholeFileWriter.h"

#include <QString>

#include <cerrno>
#include <cstring>
#include <io.h>

// Windows has no file-size signal: an over-limit write simply fails.
void ignoreFileSizeSignal() {}

namespace detail {
QString syncToDisk(int handle)
{
    if (::_commit(handle) == 0)
        return {};
    return QString::fromLocal8Bit(std::strerror(errno));
}
} // namespace detail
