#pragma once
// A raster of coverage values 0..255 (alpha, or "differs from the ground"), row by row: what the
// renderers draw for the outlining to trace. Sample (x, y) is pixel x of row y, rows top down.

#include <cstddef>
#include <cstdint>
#include <vector>

struct CoverageGrid
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> values; // width * height
    std::uint8_t at(int x, int y) const { return values[static_cast<std::size_t>(y) * width + x]; }
};
