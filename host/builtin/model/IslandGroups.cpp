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

std::vector<ClipperLib::Paths> split(const ClipperLib::Paths &paths, cInt reach)
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
    std::vector<ClipperLib::Paths> result;
    std::vector<size_t> slot(paths.size(), SIZE_MAX);
    for (size_t i = 0; i < paths.size(); ++i) {
        size_t &at = slot[groups.root(i)];
        if (at == SIZE_MAX) {
            at = result.size();
            result.emplace_back();
        }
        result[at].push_back(paths[i]);
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

} // namespace IslandGroups
