#pragma once
// Checks the fuzz targets make on what the engine returns. A broken promise aborts, so
// libFuzzer (or the replay driver) reports the input that broke it.

#include "paths/CutPath.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>

inline void fuzzCheck(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// The same paths, to the bit: both reader overloads must agree exactly.
bool samePaths(const CutPathList &a, const CutPathList &b);

// Consecutive segments of each path join, as the reader promises.
bool pathsJoin(const CutPathList &paths);

// Job text is printable ASCII without spaces and holds no "nan" or "inf" from a bad number.
bool isCleanJobText(const QByteArray &text);
