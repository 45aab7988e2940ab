#pragma once
// A large sheet's boundary by parts: paths that lie apart cannot meet in a union or an offset, so
// each group of paths that may is worked on alone (and on every core), and the cost grows with
// the number of shapes instead of their square.

#include <clipper.hpp>

#include <functional>
#include <vector>

namespace IslandGroups {

// The paths' indices in groups: two paths whose boxes, each grown by `reach` on every side, overlap
// share a group, and so on from one to the next. Groups come in the order of their first path.
std::vector<std::vector<size_t>> groupIndices(const ClipperLib::Paths &paths,
                                              ClipperLib::cInt reach);
// The same groups of the paths themselves.
std::vector<ClipperLib::Paths> split(const ClipperLib::Paths &paths, ClipperLib::cInt reach);

// `operation` on each group, its results gathered in the groups' order. Right for an operation
// that gives nothing outside its paths grown by `reach` and whose result at a point depends only
// on the paths around it: a union, an offset by at most `reach`.
ClipperLib::Paths
eachGroup(const ClipperLib::Paths &paths, ClipperLib::cInt reach,
          const std::function<ClipperLib::Paths(const ClipperLib::Paths &)> &operation);

// Whether the paths are one convex outline (every turn the same way round, once round), which is
// its own union, island and outline, so that the many small shapes of a big sheet skip Clipper.
bool loneConvex(const ClipperLib::Paths &paths);

// The paths turned, where needed, to run the way Clipper runs outer outlines.
ClipperLib::Paths outerWise(ClipperLib::Paths paths);

} // namespace IslandGroups
