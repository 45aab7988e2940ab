#include "FuzzChecks.h"

#include "paths/PathProcessor.h"

#include <cstring>

namespace {

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameLine(const QLineF &a, const QLineF &b)
{
    return sameBits(a.x1(), b.x1()) && sameBits(a.y1(), b.y1()) && sameBits(a.x2(), b.x2()) &&
           sameBits(a.y2(), b.y2());
}

} // namespace

bool samePaths(const CutPathList &a, const CutPathList &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        const CutPath &p = a[i], &q = b[i];
        if (p.pen != q.pen || p.lineType != q.lineType ||
            !sameBits(p.patternLength, q.patternLength) || p.lineTypeMode != q.lineTypeMode ||
            p.segments.size() != q.segments.size())
            return false;
        for (int k = 0; k < p.segments.size(); ++k) {
            if (!sameLine(p.segments[k], q.segments[k]))
                return false;
        }
    }
    return true;
}

bool pathsJoin(const CutPathList &paths)
{
    for (const CutPath &path : paths) {
        if (path.segments.isEmpty())
            return false; // the reader never emits an empty path
        for (int k = 1; k < path.segments.size(); ++k) {
            if (!PathProcessor::pointsEqual(path.segments[k - 1].p2(), path.segments[k].p1()))
                return false;
        }
    }
    return true;
}

bool isCleanJobText(const QByteArray &text)
{
    for (const char c : text) {
        if (c <= ' ' || c > '~')
            return false;
    }
    return !text.contains("nan") && !text.contains("inf");
}
