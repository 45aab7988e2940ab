#include "PathSorter.h"

#include "PathProcessor.h"

#include <algorithm>
#include <cmath>

namespace {

// One bubble sweep over [lo, n-2]; the pairs past the previous sweep's last swap were compared
// then and have not changed unless a swap carries an element into them, so the sweep may stop
// there. Likewise pairs before the previous first swap are unchanged. This keeps the result of
// full sweeps while skipping the settled parts of the list.
template <typename SwapWhen> void bubbleSweeps(std::vector<PathSorter::Entry> &e, SwapWhen swapWhen)
{
    const int n = int(e.size());
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
            if (swapWhen(e[size_t(i)], e[size_t(i) + 1])) {
                std::swap(e[size_t(i)], e[size_t(i) + 1]);
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
        bubbleSweeps(entries, [](const Entry &a, const Entry &b) { return a.minY > b.minY; });
        return;
    }
    // Sweeps that swap on strictly greater keys are a stable sort by that key.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry &a, const Entry &b) { return a.minY < b.minY; });
}

void PathSorter::orderWithinRows(std::vector<Entry> &entries)
{
    // Not a sort order (the "same row" test is not transitive), so the sweeps stay.
    bubbleSweeps(entries, [](const Entry &a, const Entry &b) {
        const double dy = a.minY - b.minY;
        const double h = a.maxY - a.minY;
        return h > std::fabs(dy) && a.minX > b.minX;
    });
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
