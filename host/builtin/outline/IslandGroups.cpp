#include "IslandGroups.h"

#include "ParallelWork.h"

#include <algorithm>
#include <numeric>

namespace {

using ClipperLib::cInt;

struct Box
{
    cInt left, top, right, bottom;
};

Box boxOf(const ClipperLib::Path &path, cInt reach)
{
    Box box{0, 0, -1, -1};
    if (path.empty())
        return box;
    box = {path[0].X, path[0].Y, path[0].X, path[0].Y};
    for (const ClipperLib::IntPoint &p : path) {
        box.left = std::min(box.left, p.X);
        box.right = std::max(box.right, p.X);
        box.top = std::min(box.top, p.Y);
        box.bottom = std::max(box.bottom, p.Y);
    }
    return {box.left - reach, box.top - reach, box.right + reach, box.bottom + reach};
}

// Union-find over path indices; a group is named by its smallest index.
struct Groups
{
    std::vector<size_t> parent;
    explicit Groups(size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), 0); }
    size_t root(size_t i)
    {
        while (parent[i] != i)
            i = parent[i] = parent[parent[i]];
        return i;
    }
    void join(size_t a, size_t b)
    {
        a = root(a);
        b = root(b);
        if (a != b)
            parent[std::max(a, b)] = std::min(a, b);
    }
};

} // namespace

namespace IslandGroups {

std::vector<std::vector<size_t>> groupIndices(const ClipperLib::Paths &paths, cInt reach)
{
    std::vector<Box> boxes;
    boxes.reserve(paths.size());
    for (const ClipperLib::Path &path : paths)
        boxes.push_back(boxOf(path, reach));
    // A sweep from left to right: the paths whose boxes the sweep is still within are checked
    // against each new one for an overlap from top to bottom.
    std::vector<size_t> order(paths.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return boxes[a].left < boxes[b].left; });
    Groups groups(paths.size());
    std::vector<size_t> open;
    for (const size_t i : order) {
        const Box &box = boxes[i];
        open.erase(std::remove_if(open.begin(), open.end(),
                                  [&](size_t j) { return boxes[j].right < box.left; }),
                   open.end());
        for (const size_t j : open) {
            if (boxes[j].top <= box.bottom && box.top <= boxes[j].bottom)
                groups.join(i, j);
        }
        open.push_back(i);
    }
    std::vector<std::vector<size_t>> result;
    std::vector<size_t> slot(paths.size(), SIZE_MAX);
    for (size_t i = 0; i < paths.size(); ++i) {
        size_t &at = slot[groups.root(i)];
        if (at == SIZE_MAX) {
            at = result.size();
            result.emplace_back();
        }
        result[at].push_back(i);
    }
    return result;
}

std::vector<ClipperLib::Paths> split(const ClipperLib::Paths &paths, cInt reach)
{
    std::vector<ClipperLib::Paths> result;
    for (const std::vector<size_t> &indices : groupIndices(paths, reach)) {
        result.emplace_back();
        for (const size_t i : indices)
            result.back().push_back(paths[i]);
    }
    return result;
}

ClipperLib::Paths
eachGroup(const ClipperLib::Paths &paths, cInt reach,
          const std::function<ClipperLib::Paths(const ClipperLib::Paths &)> &operation)
{
    const std::vector<ClipperLib::Paths> groups = split(paths, reach);
    std::vector<ClipperLib::Paths> results(groups.size());
    ParallelWork::forEach(static_cast<int>(groups.size()),
                          [&](int i) { results[size_t(i)] = operation(groups[size_t(i)]); });
    ClipperLib::Paths all;
    for (ClipperLib::Paths &result : results)
        all.insert(all.end(), std::make_move_iterator(result.begin()),
                   std::make_move_iterator(result.end()));
    return all;
}

bool loneConvex(const ClipperLib::Paths &paths)
{
    if (paths.size() != 1 || paths[0].size() < 3)
        return false;
    const ClipperLib::Path &path = paths[0];
    const size_t n = path.size();
    int turn = 0, xTurns = 0;
    cInt lastDx = 0;
    for (size_t i = 0; i < n; ++i) {
        const ClipperLib::IntPoint &a = path[i], &b = path[(i + 1) % n], &c = path[(i + 2) % n];
        const double cross =
            double(b.X - a.X) * double(c.Y - b.Y) - double(b.Y - a.Y) * double(c.X - b.X);
        const int sign = cross > 0 ? 1 : cross < 0 ? -1 : 0;
        if (sign != 0 && turn != 0 && sign != turn)
            return false;
        turn = sign != 0 ? sign : turn;
        // Once round: going along x turns back exactly twice (a star turns one way but more).
        const cInt dx = b.X - a.X;
        if (dx != 0) {
            xTurns += lastDx != 0 && (dx > 0) != (lastDx > 0) ? 1 : 0;
            lastDx = dx;
        }
    }
    // The turn from the last step back to the first.
    for (size_t i = 0; i < n && lastDx != 0; ++i) {
        const cInt dx = path[(i + 1) % n].X - path[i].X;
        if (dx != 0) {
            xTurns += (dx > 0) != (lastDx > 0) ? 1 : 0;
            break;
        }
    }
    return turn != 0 && xTurns <= 2;
}

ClipperLib::Paths outerWise(ClipperLib::Paths paths)
{
    for (ClipperLib::Path &path : paths) {
        // Without repeated points, as Clipper gives its outlines.
        path.erase(std::unique(path.begin(), path.end()), path.end());
        while (path.size() > 1 && path.front() == path.back())
            path.pop_back();
        if (!ClipperLib::Orientation(path))
            ClipperLib::ReversePath(path);
    }
    return paths;
}

} // namespace IslandGroups
