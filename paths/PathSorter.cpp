#include "PathSorter.h"

#include "PathProcessor.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// One bubble sweep over [lo, n-2]; the pairs past the previous sweep's last swap were compared
// then and have not changed unless a swap carries an element into them, so the sweep may stop
// there. Likewise pairs before the previous first swap are unchanged. This keeps the result of
// full sweeps while skipping the settled parts of the list.
template <typename SwapWhen> void bubbleSweeps(PathSorter::Entry *e, int n, SwapWhen swapWhen)
{
    if (n < 2)
        return;
    int lo = 0;
    int hi = n - 2;
    for (;;) {
        int firstSwap = -1;
        int lastSwap = -1;
        for (int i = lo; i <= n - 2; ++i) {
            if (i > hi && lastSwap != i - 1)
                break;
            if (swapWhen(e[i], e[i + 1])) {
                std::swap(e[i], e[i + 1]);
                if (firstSwap < 0)
                    firstSwap = i;
                lastSwap = i;
            }
        }
        if (firstSwap < 0)
            return;
        lo = std::max(0, firstSwap - 1);
        hi = lastSwap;
    }
}

} // namespace

void PathSorter::rowsByHeight(std::vector<Entry> &entries)
{
    const bool anyNan = std::any_of(entries.begin(), entries.end(),
                                    [](const Entry &e) { return std::isnan(e.minY); });
    if (anyNan) {
        // NaN breaks the ordering a sort needs; the sweeps define the result anyway.
        bubbleSweeps(entries.data(), int(entries.size()),
                     [](const Entry &a, const Entry &b) { return a.minY > b.minY; });
        return;
    }
    // Sweeps that swap on strictly greater keys are a stable sort by that key.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry &a, const Entry &b) { return a.minY < b.minY; });
}

namespace {

bool sharesRowWithLeftOf(const PathSorter::Entry &a, const PathSorter::Entry &b)
{
    const double dy = a.minY - b.minY;
    const double h = a.maxY - a.minY;
    return h > std::fabs(dy) && a.minX > b.minX;
}

// One stretch of paths that no sweep can carry a path out of. When every path in it is taller
// than the spread of their tops, every pair shares a row, the sweeps compare minX alone and
// their result is that of a stable sort by minX.
void orderBlock(PathSorter::Entry *e, int n)
{
    if (n < 2)
        return;
    const double spread = e[n - 1].minY - e[0].minY;
    double lowest = e[0].maxY - e[0].minY;
    for (int i = 1; i < n; ++i)
        lowest = std::min(lowest, e[i].maxY - e[i].minY);
    if (lowest > spread) {
        std::stable_sort(e, e + n, [](const PathSorter::Entry &a, const PathSorter::Entry &b) {
            return a.minX < b.minX;
        });
        return;
    }
    bubbleSweeps(e, n, sharesRowWithLeftOf);
}

bool finiteAndRowSorted(const std::vector<PathSorter::Entry> &e)
{
    for (size_t i = 0; i < e.size(); ++i) {
        if (!std::isfinite(e[i].minX) || !std::isfinite(e[i].minY) || !std::isfinite(e[i].maxY))
            return false;
        if (i > 0 && e[i - 1].minY > e[i].minY)
            return false;
    }
    return true;
}

} // namespace

void PathSorter::orderWithinRows(std::vector<Entry> &entries)
{
    // The "same row" test is not transitive, so this is not a sort order and the sweeps define
    // the result. With the tops in order, a path whose box ends at or above the top of the next
    // path can never swap with anything after it (the test needs its height to reach past the
    // other's top); such places cut the list into stretches that are ordered one by one.
    const int n = int(entries.size());
    if (!finiteAndRowSorted(entries)) {
        bubbleSweeps(entries.data(), n, sharesRowWithLeftOf);
        return;
    }
    double reach = -std::numeric_limits<double>::infinity();
    int start = 0;
    for (int k = 0; k < n; ++k) {
        reach = std::max(reach, entries[size_t(k)].maxY);
        if (k + 1 == n || reach <= entries[size_t(k) + 1].minY) {
            orderBlock(entries.data() + start, k + 1 - start);
            start = k + 1;
        }
    }
}

void PathSorter::serpentine(std::vector<Entry> &entries)
{
    const int n = int(entries.size());
    bool forward = true;
    int rowStart = 0;
    for (int i = 0; i + 1 < n; ++i) {
        if (entries[size_t(i) + 1].minX > entries[size_t(i)].minX)
            continue;
        if (forward) {
            forward = false;
            rowStart = i + 1;
        } else {
            forward = true;
            std::reverse(entries.begin() + rowStart, entries.begin() + i + 1);
        }
    }
    if (!forward)
        std::reverse(entries.begin() + rowStart, entries.end());
}

CutPathList PathSorter::sort(CutPathList paths)
{
    const PathProcessor pp;
    std::vector<Entry> entries;
    entries.reserve(size_t(paths.size()));
    for (int i = 0; i < paths.size(); ++i) {
        const QPointF lo = pp.minCorner(paths.at(i));
        const QPointF hi = pp.maxCorner(paths.at(i));
        entries.push_back(Entry{lo.x(), lo.y(), hi.y(), i});
    }
    rowsByHeight(entries);
    orderWithinRows(entries);
    serpentine(entries);
    CutPathList out;
    out.reserve(paths.size());
    for (const Entry &e : entries)
        out.append(paths.at(e.index));
    return out;
}

CutPathList PathProcessor::sortPaths(CutPathList paths) const
{
    return PathSorter::sort(std::move(paths));
}
