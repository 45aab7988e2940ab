#include "RoundMargin.h"

#include "ContourTracer.h"
#include "IslandGroups.h"

#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// The largest grid: some tens of megabytes, a picture of 300 mm square with a 2 mm margin.
constexpr double MaxGridPoints = 4e6;
// Clipper's cost grows with the corners it rounds, the grid's with the area it covers: the grid is
// the faster up to this many of its points per corner of the paths.
constexpr double PointsPerCorner = 20;
// Seeds either side of a nearest one that are tried as well.
constexpr int Beside = 2;
// How often a notch's straight steps are halved: down to a sixty-fourth of a step.
constexpr int MaxNotchDepth = 6;

struct Point
{
    double x = 0, y = 0;
};

double squared(double x, double y)
{
    return x * x + y * y;
}

class Margin
{
public:
    Margin(const ClipperLib::Paths &paths, double delta, double step)
        : delta(delta), step(step), limit(delta * delta)
    {
        // The seeds: points along the edges, closer together than half the grid's step, so that
        // the distance to them exceeds the distance to the edges by under step² / (32 delta).
        for (const ClipperLib::Path &path : paths) {
            for (size_t k = 0; k < path.size(); ++k) {
                const ClipperLib::IntPoint &p = path[k], &q = path[(k + 1) % path.size()];
                const double dx = double(q.X - p.X), dy = double(q.Y - p.Y);
                const int pieces =
                    std::max(1, int(std::ceil(std::sqrt(squared(dx, dy)) / (step / 2))));
                for (int m = 0; m < pieces; ++m)
                    seeds.push_back({p.X + dx * m / pieces, p.Y + dy * m / pieces});
            }
        }
    }

    bool empty() const { return seeds.empty(); }

    // False when the grid would be too large.
    bool laidOut()
    {
        Point low = seeds.front(), high = low;
        for (const Point &s : seeds) {
            low = {std::min(low.x, s.x), std::min(low.y, s.y)};
            high = {std::max(high.x, s.x), std::max(high.y, s.y)};
        }
        // Two steps of ground beyond the margin all round, so that the border is open ground.
        const double reach = delta + 2 * step;
        origin = {low.x - reach, low.y - reach};
        const double w = std::ceil((high.x - low.x + 2 * reach) / step) + 1;
        const double h = std::ceil((high.y - low.y + 2 * reach) / step) + 1;
        if (w * h > MaxGridPoints)
            return false;
        width = int(w);
        height = int(h);
        return true;
    }

    ClipperLib::Paths outlines(double tolerance)
    {
        // Each node is set half the tolerance beyond the margin, so that the simplified outline
        // strays at most half the tolerance either way: its nodes outward, its straight steps
        // across an arc inward.
        lift = tolerance / 2;
        seen.assign(seeds.size(), 0u);
        measure();
        ContourTracer::Grid grid = covered();
        ClipperLib::Paths result;
        for (const std::vector<ContourTracer::Crossing> &loop :
             ContourTracer::crossingLoops(grid)) {
            QPolygonF nodes;
            nodes.reserve(int(loop.size()) * 2);
            // Each crossing, and the corners of a notch between two in a row; the first crossing
            // is taken again at the end to close the loop.
            int lastSeed = -1;
            Point last;
            for (size_t k = 0; k <= loop.size(); ++k) {
                int seed = -1;
                const Point p = crossing(loop[k % loop.size()], grid, &seed);
                if (lastSeed >= 0 && seed != lastSeed)
                    notches(last, lastSeed, p, seed, MaxNotchDepth, &nodes);
                if (k < loop.size()) {
                    const Point node = outward(p, seed);
                    nodes << QPointF(node.x, node.y);
                }
                lastSeed = seed;
                last = p;
            }
            const QPolygonF simple = ContourTracer::simplified(nodes, tolerance);
            ClipperLib::Path path;
            path.reserve(size_t(simple.size()));
            for (int k = 0; k + 1 < simple.size(); ++k)
                path.emplace_back(ClipperLib::cInt(std::llround(simple.at(k).x())),
                                  ClipperLib::cInt(std::llround(simple.at(k).y())));
            if (path.size() > 2)
                result.push_back(std::move(path));
        }
        return IslandGroups::outerWise(std::move(result));
    }

private:
    size_t index(int x, int y) const { return size_t(y) * size_t(width) + size_t(x); }
    Point at(int x, int y) const { return {origin.x + x * step, origin.y + y * step}; }

    double distance2(int seed, const Point &p) const
    {
        return squared(seeds[size_t(seed)].x - p.x, seeds[size_t(seed)].y - p.y);
    }

    // The nearest seed of every grid point: each seed to the corners of its cell, then passed on
    // from neighbour to neighbour in two sweeps (Danielsson's), which finds the nearest but for
    // rare misses of a tiny fraction of a step.
    void measure()
    {
        nearest.assign(size_t(width) * size_t(height), -1);
        dist2.assign(nearest.size(), std::numeric_limits<double>::infinity());
        for (int s = 0; s < int(seeds.size()); ++s) {
            const int cx = int((seeds[size_t(s)].x - origin.x) / step);
            const int cy = int((seeds[size_t(s)].y - origin.y) / step);
            for (const auto &[x, y] :
                 {std::pair{cx, cy}, {cx + 1, cy}, {cx, cy + 1}, {cx + 1, cy + 1}}) {
                const double d = distance2(s, at(x, y));
                if (d < dist2[index(x, y)]) {
                    dist2[index(x, y)] = d;
                    nearest[index(x, y)] = s;
                }
            }
        }
        // The outermost grid points lie far beyond the margin and are left out of the sweeps,
        // which then need no bounds.
        const auto offer = [&](size_t i, double px, double py, size_t from) {
            const int seed = nearest[from];
            if (seed < 0)
                return;
            const double d = squared(seeds[size_t(seed)].x - px, seeds[size_t(seed)].y - py);
            if (d < dist2[i]) {
                dist2[i] = d;
                nearest[i] = seed;
            }
        };
        const size_t w = size_t(width);
        for (int y = 1; y + 1 < height; ++y) {
            const double py = origin.y + y * step;
            for (int x = 1; x + 1 < width; ++x) {
                const size_t i = index(x, y);
                const double px = origin.x + x * step;
                offer(i, px, py, i - 1);
                offer(i, px, py, i - w - 1);
                offer(i, px, py, i - w);
                offer(i, px, py, i - w + 1);
            }
            for (int x = width - 2; x >= 1; --x)
                offer(index(x, y), origin.x + x * step, py, index(x, y) + 1);
        }
        for (int y = height - 2; y >= 1; --y) {
            const double py = origin.y + y * step;
            for (int x = width - 2; x >= 1; --x) {
                const size_t i = index(x, y);
                const double px = origin.x + x * step;
                offer(i, px, py, i + 1);
                offer(i, px, py, i + w + 1);
                offer(i, px, py, i + w);
                offer(i, px, py, i + w - 1);
            }
            for (int x = 1; x + 1 < width; ++x)
                offer(index(x, y), origin.x + x * step, py, index(x, y) - 1);
        }
    }

    // 255 for the grid points within the margin or enclosed by it, 0 for the open ground beyond:
    // points further than the margin joined to the grid's border by others.
    ContourTracer::Grid covered() const
    {
        ContourTracer::Grid grid;
        grid.width = width;
        grid.height = height;
        grid.values.resize(nearest.size());
        for (size_t i = 0; i < dist2.size(); ++i)
            grid.values[i] = dist2[i] > limit ? 0 : 255;
        const std::vector<bool> open = ContourTracer::openGround(grid, 1);
        for (size_t i = 0; i < open.size(); ++i) {
            if (!open[i])
                grid.values[i] = 255;
        }
        return grid;
    }

    // Adds to `near` the seeds nearest to the grid points from (x0, y0) to (x1, y1), each once.
    void candidates(int x0, int y0, int x1, int y1, std::vector<int> *near) const
    {
        for (int v = y0; v <= y1; ++v) {
            for (int u = x0; u <= x1; ++u) {
                if (u < 0 || v < 0 || u >= width || v >= height || nearest[index(u, v)] < 0)
                    continue;
                // With the seeds beside it along its path: the sweeps may miss the nearest by a
                // fraction of a step, which is a seed or two further along.
                const int s = nearest[index(u, v)];
                for (int k = std::max(0, s - Beside); k <= s + Beside && k < int(seeds.size());
                     ++k) {
                    if (seen[size_t(k)] != stamp) {
                        seen[size_t(k)] = stamp;
                        near->push_back(k);
                    }
                }
            }
        }
    }

    std::vector<int> &fresh() const
    {
        scratch.clear();
        if (++stamp == 0) {
            std::fill(seen.begin(), seen.end(), 0u);
            stamp = 1;
        }
        return scratch;
    }

    // Where the margin leaves the grid edge of `c`: the furthest point along it from its covered
    // end that a circle round a nearby seed still reaches; `seed` is that circle's.
    Point crossing(const ContourTracer::Crossing &c, const ContourTracer::Grid &grid,
                   int *seed) const
    {
        const int bx = c.down ? c.x : c.x + 1, by = c.down ? c.y + 1 : c.y;
        const bool firstCovered = grid.at(c.x, c.y) != 0;
        const Point in = firstCovered ? at(c.x, c.y) : at(bx, by);
        const Point out = firstCovered ? at(bx, by) : at(c.x, c.y);
        const double ex = out.x - in.x, ey = out.y - in.y;
        double best = 0;
        *seed = nearest[index(firstCovered ? c.x : bx, firstCovered ? c.y : by)];
        // A circle counts when it reaches the point found so far, until none reaches further.
        std::vector<int> &near = fresh();
        // The seeds nearest to the edge's ends.
        candidates(c.x, c.y, bx, by, &near);
        for (bool further = true; further;) {
            further = false;
            for (const int s : near) {
                const double fx = in.x - seeds[size_t(s)].x, fy = in.y - seeds[size_t(s)].y;
                const double a = ex * ex + ey * ey, b = 2 * (fx * ex + fy * ey);
                const double disc = b * b - 4 * a * (fx * fx + fy * fy - limit);
                if (disc < 0)
                    continue;
                const double enter = (-b - std::sqrt(disc)) / (2 * a);
                const double leave = std::min(1.0, (-b + std::sqrt(disc)) / (2 * a));
                if (enter <= best && leave > best) {
                    best = leave;
                    *seed = s;
                    further = true;
                }
            }
        }
        return {in.x + best * ex, in.y + best * ey};
    }

    // Point `p` of the margin, on the circle round `seed`, moved `lift` away from it.
    Point outward(const Point &p, int seed) const
    {
        const Point &s = seeds[size_t(seed)];
        const double dx = p.x - s.x, dy = p.y - s.y;
        const double length = std::sqrt(squared(dx, dy));
        if (length <= 0)
            return p;
        return {p.x + dx / length * lift, p.y + dy / length * lift};
    }

    // Nodes between consecutive nodes `p` and `q` of the margin (on circles round seeds `a` and
    // `b`) where the straight step between them leaves the margin's area: in the notch where the
    // margins of two sides of a concave corner meet, which the grid's points all lie within and a
    // straight step would cut off by up to a step or two. The step's middle is moved into the
    // margin's area, square to the step, to where the margin is, and both halves are looked at
    // again.
    void notches(const Point &p, int a, const Point &q, int b, int depth, QPolygonF *nodes) const
    {
        const Point middle{(p.x + q.x) / 2, (p.y + q.y) / 2};
        const double ex = q.x - p.x, ey = q.y - p.y, length = std::sqrt(squared(ex, ey));
        // A middle within a negligible distance of the circles through the ends is no notch's
        // (it lies between two circles along a straight or convex stretch).
        const double near2 = (delta + lift / 4) * (delta + lift / 4);
        if (depth == 0 || length <= 0 || distance2(a, middle) <= near2 ||
            distance2(b, middle) <= near2)
            return;
        const int cx = int(std::floor((middle.x - origin.x) / step));
        const int cy = int(std::floor((middle.y - origin.y) / step));
        std::vector<int> &near = fresh();
        candidates(cx - 3, cy - 3, cx + 4, cy + 4, &near);
        // The covered side is the step's right.
        const Point into{-ey / length, ex / length};
        double reach = std::numeric_limits<double>::infinity();
        int seed = -1;
        for (const int s : near) {
            const double fx = middle.x - seeds[size_t(s)].x, fy = middle.y - seeds[size_t(s)].y;
            const double c = fx * fx + fy * fy - limit;
            if (c <= 0)
                return; // the middle lies within the margin
            const double half = fx * into.x + fy * into.y, disc = half * half - c;
            if (disc < 0)
                continue;
            const double t = -half - std::sqrt(disc);
            if (t >= 0 && t < reach) {
                reach = t;
                seed = s;
            }
        }
        if (seed < 0 || reach < lift / 4 || reach > 3 * step)
            return;
        const Point bottom{middle.x + into.x * reach, middle.y + into.y * reach};
        notches(p, a, bottom, seed, depth - 1, nodes);
        // Lifted back out of the notch: away from both its sides, not from one circle's centre
        // (which would take it nearer the other side).
        const Point node{bottom.x - into.x * lift, bottom.y - into.y * lift};
        *nodes << QPointF(node.x, node.y);
        notches(bottom, seed, q, b, depth - 1, nodes);
    }

    const double delta, step, limit;
    double lift = 0;
    // Scratch for gathering seeds without repeats: a seed is in when its mark is the stamp.
    mutable std::vector<int> scratch;
    mutable std::vector<unsigned> seen;
    mutable unsigned stamp = 0;
    std::vector<Point> seeds;
    Point origin;
    int width = 0, height = 0;
    std::vector<int> nearest;  // per grid point, the seed nearest to it, or -1
    std::vector<double> dist2; // per grid point, the squared distance to that seed
};

// The grid's step keeps a straight step between two nodes on an arc of the margin within half the
// tolerance of it: (step √2)² / (8 delta) ≤ tolerance / 2.
double stepFor(double delta, double tolerance)
{
    return std::min(delta / 5, std::sqrt(2 * delta * tolerance));
}

} // namespace

namespace RoundMargin {

bool faster(const ClipperLib::Paths &paths, double delta, double tolerance)
{
    if (!(delta > 0) || !(tolerance > 0))
        return false;
    size_t corners = 0;
    ClipperLib::cInt left = 0, right = 0, top = 0, bottom = 0;
    for (const ClipperLib::Path &path : paths) {
        for (const ClipperLib::IntPoint &p : path) {
            if (corners++ == 0) {
                left = right = p.X;
                top = bottom = p.Y;
            }
            left = std::min(left, p.X);
            right = std::max(right, p.X);
            top = std::min(top, p.Y);
            bottom = std::max(bottom, p.Y);
        }
    }
    const double step = stepFor(delta, tolerance), reach = 2 * (delta / step + 3);
    const double points =
        (double(right - left) / step + reach) * (double(bottom - top) / step + reach);
    return double(corners) * PointsPerCorner >= points;
}

std::optional<ClipperLib::Paths> grown(const ClipperLib::Paths &paths, double delta,
                                       double tolerance)
{
    if (!(delta > 0) || !(tolerance > 0))
        return std::nullopt;
    Margin margin(paths, delta, stepFor(delta, tolerance));
    if (margin.empty())
        return ClipperLib::Paths();
    if (!margin.laidOut())
        return std::nullopt;
    return margin.outlines(tolerance);
}

} // namespace RoundMargin
