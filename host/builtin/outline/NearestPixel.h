#pragma once
// The nearest marked pixel of every pixel of a grid, by exact Euclidean distance: a distance
// transform that remembers where each distance came from (two passes of lower envelopes of
// parabolas, linear in the pixels). A printed fringe takes its colours from it.

#include <cstdint>
#include <vector>

namespace NearestPixel {

// For each pixel of a `width` x `height` grid (rows top to bottom), the index (y * width + x) of
// the nearest pixel whose `marked` value is not 0; -1 everywhere when none is marked.
std::vector<int> nearest(int width, int height, const std::vector<std::uint8_t> &marked);

} // namespace NearestPixel
