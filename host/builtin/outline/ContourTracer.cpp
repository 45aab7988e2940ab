#include "ContourTracer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr double Half = 127.5;

// Marching squares over the grid padded by one uncovered sample on each side, so that every
// outline closes. Cells are the squares between four neighbouring samples; a crossing lies on a
// cell edge and is named by that edge: 2 * (row * stride + column) for the edge going right from
// a sample, + 1 for the edge going down from it.
class Marcher
{
public:
    explicit Marcher(const ContourTracer::Grid &grid)
        : g(grid), stride(static_cast<std::int64_t>(grid.width) + 2)
    {
    }

    // Each outline as the crossings it passes in order, named by their edges.
    std::vector<std::vector<std::int64_t>> loops()
    {
        // Which padded samples are covered, two rows at a time: a cell whose four corners agree
        // has no crossing, and most cells of a picture are such.
        std::vector<std::uint8_t> above(static_cast<size_t>(stride), 0), below(above);
        for (int j = 0; j + 1 < g.height + 2; ++j) {
            std::swap(above, below);
            coveredRow(j + 1, below.data());
            for (int i = 0; i + 1 < g.width + 2; ++i) {
                if (i + 8 <= stride && uniform(above.data() + i, below.data() + i)) {
                    i += 6; // cells i to i + 6 lie between eight samples that agree
                    continue;
                }
                const int corners = above[i] + above[i + 1] + below[i] + below[i + 1];
                if (corners != 0 && corners != 4)
                    cell(i, j);
            }
        }
        // Each crossing is followed by one other, found through an open-addressed table from a
        // crossing to its pair: a step or two each, where a binary search over the sorted pairs
        // mispredicted a branch at every halving.
        int bits = 4;
        while ((size_t(1) << bits) < 2 * next.size())
            ++bits;
        const size_t mask = (size_t(1) << bits) - 1, none = ~size_t(0);
        std::vector<size_t> slots(mask + 1, none);
        const auto home = [&](std::int64_t edge) {
            return size_t((std::uint64_t(edge) * 0x9E3779B97F4A7C15ULL) >> (64 - bits));
        };
        for (size_t k = 0; k < next.size(); ++k) {
            size_t h = home(next[k].first);
            while (slots[h] != none)
                h = (h + 1) & mask;
            slots[h] = k;
        }
        const auto pairOf = [&](std::int64_t edge) {
            size_t h = home(edge);
            while (slots[h] != none && next[slots[h]].first != edge)
                h = (h + 1) & mask;
            return slots[h];
        };
        std::vector<bool> used(next.size(), false);
        std::vector<std::vector<std::int64_t>> result;
        for (size_t first = 0; first < next.size(); ++first) {
            if (used[first])
                continue;
            std::vector<std::int64_t> loop;
            size_t at = first;
            while (at != none && !used[at]) {
                used[at] = true;
                loop.push_back(next[at].first);
                at = pairOf(next[at].second);
            }
            if (loop.size() > 2)
                result.push_back(std::move(loop));
        }
        return result;
    }

    ContourTracer::Crossing named(std::int64_t edge) const
    {
        const std::int64_t sample = edge / 2;
        return {int(sample % stride) - 1, int(sample / stride) - 1, edge % 2 != 0};
    }

    // Where the linearly varying coverage crosses one half on the edge.
    QPointF crossing(std::int64_t edge) const
    {
        const ContourTracer::Crossing c = named(edge);
        const double a = value(c.x + 1, c.y + 1);
        const double b = c.down ? value(c.x + 1, c.y + 2) : value(c.x + 2, c.y + 1);
        const double t = (Half - a) / (b - a);
        // Sample (x, y) stands at grid point (x + 0.5, y + 0.5).
        return c.down ? QPointF(c.x + 0.5, c.y + 0.5 + t) : QPointF(c.x + 0.5 + t, c.y + 0.5);
    }

private:
    // Padded sample (i, j): the grid's sample (i - 1, j - 1), uncovered outside the grid.
    double value(std::int64_t i, std::int64_t j) const
    {
        if (i < 1 || j < 1 || i > g.width || j > g.height)
            return 0.0;
        return g.at(static_cast<int>(i - 1), static_cast<int>(j - 1));
    }

    // Whether eight samples of each of two rows are all covered or all uncovered.
    static bool uniform(const std::uint8_t *above, const std::uint8_t *below)
    {
        std::uint64_t a, b;
        std::memcpy(&a, above, sizeof a);
        std::memcpy(&b, below, sizeof b);
        return (a | b) == 0 || (a & b) == 0x0101010101010101ULL;
    }

    // 1 for each covered sample of padded row j, 0 for the others and the padding.
    void coveredRow(int j, std::uint8_t *out) const
    {
        const int width = g.width;
        out[0] = out[width + 1] = 0;
        if (j < 1 || j > g.height) {
            std::fill(out, out + stride, std::uint8_t(0));
            return;
        }
        const std::uint8_t *row = g.values.data() + static_cast<size_t>(j - 1) * width;
        // Covered is above 127.5: the top bit, which the compiler tests many samples at a time
        // (the width read once, as the row written could otherwise alias it).
        std::uint8_t *samples = out + 1;
        for (int x = 0; x < width; ++x)
            samples[x] = row[x] >> 7;
    }

    void cell(int i, int j)
    {
        // Corners clockwise on screen from the top-left; edge k runs from corner k to k + 1.
        const double v[4] = {value(i, j), value(i + 1, j), value(i + 1, j + 1), value(i, j + 1)};
        if (v[0] == v[1] && v[1] == v[2] && v[2] == v[3])
            return; // inside or outside, no crossing
        bool in[4];
        int count = 0;
        for (int k = 0; k < 4; ++k)
            count += (in[k] = v[k] > Half) ? 1 : 0;
        if (count == 0 || count == 4)
            return;
        const std::int64_t s = j * stride + i;
        const std::int64_t edges[4] = {2 * s, 2 * (s + 1) + 1, 2 * (s + stride), 2 * s + 1};
        // A saddle joins its covered corners when the cell's centre is covered.
        const bool centreIn = (v[0] + v[1] + v[2] + v[3]) / 4 > Half;
        for (int k = 0; k < 4; ++k) {
            if (!in[k] || in[(k + 1) % 4])
                continue; // not an edge where the outline leaves the covered side
            // Walking with the covered side on the right: to the entry edge that keeps it so.
            const int step = centreIn ? 1 : 3;
            int e = (k + step) % 4;
            while (in[e] || !in[(e + 1) % 4])
                e = (e + step) % 4;
            next.emplace_back(edges[k], edges[e]);
        }
    }

    const ContourTracer::Grid &g;
    const std::int64_t stride;
    std::vector<std::pair<std::int64_t, std::int64_t>> next; // crossing, the following crossing
};

} // namespace

namespace ContourTracer {

std::vector<std::vector<Crossing>> crossingLoops(const Grid &grid)
{
    if (grid.width < 1 || grid.height < 1)
        return {};
    Marcher marcher(grid);
    std::vector<std::vector<Crossing>> loops;
    for (const std::vector<std::int64_t> &edges : marcher.loops()) {
        std::vector<Crossing> &loop = loops.emplace_back();
        loop.reserve(edges.size());
        for (const std::int64_t edge : edges)
            loop.push_back(marcher.named(edge));
    }
    return loops;
}

QVector<QPolygonF> trace(const Grid &grid, double tolerance)
{
    if (grid.width < 1 || grid.height < 1)
        return {};
    Marcher marcher(grid);
    QVector<QPolygonF> result;
    for (const std::vector<std::int64_t> &edges : marcher.loops()) {
        QPolygonF loop;
        loop.reserve(static_cast<int>(edges.size()));
        for (const std::int64_t edge : edges)
            loop << marcher.crossing(edge);
        result.append(simplified(loop, tolerance));
    }
    return result;
}

QPolygonF simplified(const QPolygonF &loop, double tolerance)
{
    // Douglas-Peucker on the loop opened at its first point and closed again.
    const int n = loop.size();
    QVector<bool> keep(n + 1, false);
    keep[0] = keep[n] = true;
    const auto at = [&](int k) { return loop.at(k % n); };
    QVector<QPair<int, int>> stack{{0, n}};
    while (!stack.isEmpty()) {
        const auto [first, last] = stack.takeLast();
        const QPointF a = at(first), b = at(last);
        const QPointF ab = b - a;
        const double length = std::sqrt(ab.x() * ab.x() + ab.y() * ab.y());
        double worst = 0;
        int worstAt = -1;
        for (int k = first + 1; k < last; ++k) {
            const QPointF ap = at(k) - a;
            const double d = length > 0 ? std::abs(ab.x() * ap.y() - ab.y() * ap.x()) / length
                                        : std::sqrt(ap.x() * ap.x() + ap.y() * ap.y());
            if (d > worst) {
                worst = d;
                worstAt = k;
            }
        }
        if (worstAt >= 0 && worst > tolerance) {
            keep[worstAt] = true;
            stack.append({first, worstAt});
            stack.append({worstAt, last});
        }
    }
    QPolygonF out;
    for (int k = 0; k <= n; ++k) {
        if (keep[k])
            out << at(k);
    }
    return out;
}

std::vector<bool> openGround(const Grid &grid, int ink)
{
    const int w = grid.width, h = grid.height;
    std::vector<bool> open(grid.values.size(), false);
    std::vector<std::int64_t> stack;
    const auto visit = [&](int x, int y) {
        const size_t i = static_cast<size_t>(y) * w + x;
        if (!open[i] && grid.values[i] < ink) {
            open[i] = true;
            stack.push_back(std::int64_t(i));
        }
    };
    for (int x = 0; x < w; ++x) {
        visit(x, 0);
        visit(x, h - 1);
    }
    for (int y = 0; y < h; ++y) {
        visit(0, y);
        visit(w - 1, y);
    }
    while (!stack.empty()) {
        const int x = int(stack.back() % w), y = int(stack.back() / w);
        stack.pop_back();
        if (x > 0)
            visit(x - 1, y);
        if (x + 1 < w)
            visit(x + 1, y);
        if (y > 0)
            visit(x, y - 1);
        if (y + 1 < h)
            visit(x, y + 1);
    }
    return open;
}

Grid refined(const Grid &grid, int factor)
{
    if (factor <= 1 || grid.width < 1 || grid.height < 1)
        return grid;
    Grid fine;
    fine.width = grid.width * factor;
    fine.height = grid.height * factor;
    fine.values.resize(static_cast<size_t>(fine.width) * fine.height);
    // Fine sample u stands at coarse coordinate (u + 0.5) / factor - 0.5 in sample units.
    std::vector<int> x0(fine.width), x1(fine.width);
    std::vector<double> fx(fine.width);
    for (int u = 0; u < fine.width; ++u) {
        const double x = std::clamp((u + 0.5) / factor - 0.5, 0.0, grid.width - 1.0);
        x0[u] = static_cast<int>(x);
        x1[u] = std::min(x0[u] + 1, grid.width - 1);
        fx[u] = x - x0[u];
    }
    for (int v = 0; v < fine.height; ++v) {
        const double y = std::clamp((v + 0.5) / factor - 0.5, 0.0, grid.height - 1.0);
        const int y0 = static_cast<int>(y), y1 = std::min(y0 + 1, grid.height - 1);
        const double fy = y - y0;
        std::uint8_t *row = fine.values.data() + static_cast<std::ptrdiff_t>(v) * fine.width;
        for (int u = 0; u < fine.width; ++u) {
            const double top = grid.at(x0[u], y0) * (1 - fx[u]) + grid.at(x1[u], y0) * fx[u];
            const double bottom = grid.at(x0[u], y1) * (1 - fx[u]) + grid.at(x1[u], y1) * fx[u];
            row[u] = static_cast<std::uint8_t>(std::lround(top * (1 - fy) + bottom * fy));
        }
    }
    return fine;
}

} // namespace ContourTracer
