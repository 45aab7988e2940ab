#pragma once
// A round margin measured by distance instead of by offsetting every edge. Clipper's round
// offset lays an arc at each convex corner and then unites the crossing pieces: a traced letter
// has hundreds of corners whose arcs all overlap, and on a big sheet of text that union was most
// of the boundary's time. Here the points within the margin are found on a grid (a fifth of the
// margin fine, or finer) from the distance to points along the paths, and each node of the
// outline is solved on the true margin: where the grid's edges cross the circles round the
// nearest of those points, and down into the notches where two sides' margins meet.

#include <clipper.hpp>

#include <optional>

namespace RoundMargin {

// Whether the grid is faster than Clipper's offset for these paths: for many corners close
// together (a text's), not for a few long smooth outlines (a picture's).
bool faster(const ClipperLib::Paths &paths, double delta, double tolerance);

// The outer outline of each island of the points within `delta` of the paths' edges or enclosed
// by them, simplified to within `tolerance` (both in the paths' units): the islands the paths make
// grown with round corners, those that touch united, holes filled. Its nodes lie half the
// tolerance beyond the margin, so that its straight steps stray at most that either way. Nothing
// when the grid would be too large.
std::optional<ClipperLib::Paths> grown(const ClipperLib::Paths &paths, double delta,
                                       double tolerance);

} // namespace RoundMargin
