#pragma once
// Outlines of the covered part of a raster: where a sampled coverage (alpha, or "differs from the
// ground") crosses one half. Glossary: a sample is one value of the grid, standing at the centre
// of its pixel, so sample (u, v) sits at (u + 0.5, v + 0.5) in grid coordinates (x right, y down,
// one unit per pixel). Between samples the coverage is taken as varying linearly, which puts the
// outline of an antialiased edge where the renderer meant it, a fraction of a pixel exact.

#include "render/CoverageGrid.h"

#include <QPolygonF>
#include <QVector>

#include <cstdint>
#include <vector>

namespace ContourTracer {

// The renderers draw the grids this traces.
using Grid = CoverageGrid;

// Where an outline crosses the edge between two neighbouring samples: from sample (x, y) to
// (x + 1, y), or to (x, y + 1) when `down`. Samples just outside the grid (-1, or the width or
// height) count as uncovered.
struct Crossing
{
    int x = 0, y = 0;
    bool down = false;
};

// Every closed outline between covered (above half) and uncovered samples as the crossings it
// passes in order, the covered side on its right on screen.
std::vector<std::vector<Crossing>> crossingLoops(const Grid &grid);

// Every closed outline between covered (above half) and uncovered samples, outside the grid
// counting as uncovered, in grid coordinates; outer outlines and holes run opposite ways round.
// Each outline is simplified to within `tolerance` grid units. The polygons are closed (first
// point repeated last).
QVector<QPolygonF> trace(const Grid &grid, double tolerance);

// A closed loop (first point not repeated) with the fewest of its points that keep every one
// within `tolerance` of the result, which is closed (first point repeated last).
QPolygonF simplified(const QPolygonF &loop, double tolerance);

// Which samples are open ground: under `ink`, and joined to the grid's border by a path of such
// samples from neighbour to neighbour (left, right, up, down). Samples under `ink` that are not
// open lie in holes of what is drawn.
std::vector<bool> openGround(const Grid &grid, int ink);

// The grid `factor` times finer in each direction, values interpolated bilinearly between the
// samples: traced, it gives the outline a finer raster of the same picture would have.
Grid refined(const Grid &grid, int factor);

} // namespace ContourTracer
