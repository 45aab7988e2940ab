#include "ShortestOrder.h"

#include "PathProcessor.h"

#include <QRectF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

double distance(const QPointF &a, const QPointF &b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

// A uniform grid of candidate points (a path's vertex), for nearest-point searches that skip
// paths already taken. Cells hold about one path's worth of points.
class PointGrid
{
public:
    struct Item
    {
        QPointF at;
        int path;
        int vertex;
    };

    PointGrid(const std::vector<Item> &items, int paths)
    {
        QRectF box;
        for (const Item &i : items)
            box = box.united(QRectF(i.at, QSizeF(1, 1)));
        origin = box.topLeft();
        side = std::max(1, int(std::sqrt(double(std::max(paths, 1)))));
        cell = std::max(box.width(), box.height()) / side + 1e-9;
        cells.resize(size_t(side) * size_t(side));
        for (const Item &i : items)
            cells[index(cellOf(i.at.x() - origin.x()), cellOf(i.at.y() - origin.y()))].push_back(i);
    }

    // The nearest item of a path that `taken` does not mark; false when none is left.
    template <typename Taken> bool nearest(const QPointF &q, Taken taken, Item &best)
    {
        const int cx = cellOf(q.x() - origin.x()), cy = cellOf(q.y() - origin.y());
        double bestDistance = INFINITY;
        for (int r = 0; r < 2 * side; ++r) {
            for (int y = cy - r; y <= cy + r; ++y) {
                if (y < 0 || y >= side)
                    continue;
                const bool edgeRow = y == cy - r || y == cy + r;
                for (int x = cx - r; x <= cx + r; x += edgeRow ? 1 : 2 * r) {
                    if (x >= 0 && x < side)
                        searchCell(cells[index(x, y)], q, taken, best, bestDistance);
                    if (r == 0)
                        break;
                }
            }
            // Anything beyond this ring lies at least r cells away.
            if (bestDistance <= r * cell)
                return true;
        }
        return bestDistance < INFINITY;
    }

private:
    int cellOf(double v) const { return int(std::clamp(v / cell, 0.0, side - 1.0)); }
    size_t index(int x, int y) const { return size_t(y) * size_t(side) + size_t(x); }

    template <typename Taken>
    static void searchCell(std::vector<Item> &c, const QPointF &q, Taken taken, Item &best,
                           double &bestDistance)
    {
        size_t kept = 0;
        for (size_t k = 0; k < c.size(); ++k) {
            if (taken(c[k].path))
                continue; // dropped for good: a path is taken once
            const double d = distance(q, c[k].at);
            if (d < bestDistance) {
                bestDistance = d;
                best = c[k];
            }
            c[kept++] = c[k];
        }
        c.resize(kept);
    }

    QPointF origin;
    double cell = 1;
    int side = 1;
    std::vector<std::vector<Item>> cells;
};

struct Stop
{
    int path;
    QPointF entry, exit;
    bool closed;
};

std::vector<Stop> nearestNeighbour(const CutPathList &paths, const std::vector<bool> &closed,
                                   QPointF knife)
{
    std::vector<PointGrid::Item> items;
    for (int p = 0; p < paths.size(); ++p) {
        const QVector<QLineF> &s = paths.at(p).segments;
        if (s.isEmpty())
            continue;
        for (int v = 0; v < (closed[size_t(p)] ? s.size() : 1); ++v) {
            const QPointF at = s.at(v).p1();
            if (std::isfinite(at.x()) && std::isfinite(at.y()))
                items.push_back({at, p, v});
        }
    }
    PointGrid grid(items, paths.size());
    std::vector<bool> taken(size_t(paths.size()), false);
    std::vector<Stop> tour;
    PointGrid::Item next{};
    while (grid.nearest(
        knife, [&taken](int p) { return taken[size_t(p)]; }, next)) {
        taken[size_t(next.path)] = true;
        const bool c = closed[size_t(next.path)];
        const QPointF exit = c ? next.at : paths.at(next.path).segments.constLast().p2();
        tour.push_back({next.path, next.at, exit, c});
        knife = exit;
    }
    return tour;
}

// 2-opt on a run of closed paths (points: entry is exit) between the fixed points `before` and,
// when `hasAfter`, `after`: a reversal of a stretch changes only the two travels at its ends.
void twoOpt(Stop *run, int n, QPointF before, bool hasAfter, QPointF after)
{
    const auto at = [&](int i) { return i < 0 ? before : run[i].entry; };
    const auto link = [&](int i) { // travel from stop i to stop i + 1
        if (i + 1 < n)
            return distance(at(i), run[i + 1].entry);
        return hasAfter ? distance(at(i), after) : 0.0;
    };
    for (int pass = 0; pass < 50; ++pass) {
        bool improved = false;
        for (int i = 0; i < n; ++i) {
            // Only nearby ends can pay for a reversal; a window bounds the work per stop.
            for (int j = i + 1; j < std::min(n, i + 60); ++j) {
                const double after_j = j + 1 < n  ? distance(run[i].entry, run[j + 1].entry)
                                       : hasAfter ? distance(run[i].entry, after)
                                                  : 0.0;
                const double delta =
                    distance(at(i - 1), run[j].entry) + after_j - link(i - 1) - link(j);
                if (delta < -1e-9) {
                    std::reverse(run + i, run + j + 1);
                    improved = true;
                }
            }
        }
        if (!improved)
            return;
    }
}

// The closed path's segments started at vertex v.
QVector<QLineF> rotated(const QVector<QLineF> &s, int v)
{
    QVector<QLineF> out;
    out.reserve(s.size());
    for (int k = 0; k < s.size(); ++k)
        out.append(s.at((v + k) % s.size()));
    return out;
}

int nearestVertex(const QVector<QLineF> &s, const QPointF &knife)
{
    int best = 0;
    for (int v = 1; v < s.size(); ++v) {
        if (distance(knife, s.at(v).p1()) < distance(knife, s.at(best).p1()))
            best = v;
    }
    return best;
}

} // namespace

CutPathList orderShortest(CutPathList paths, QPointF knife)
{
    const PathProcessor pp;
    std::vector<bool> closed;
    closed.reserve(size_t(paths.size()));
    for (const CutPath &p : paths)
        closed.push_back(!p.segments.isEmpty() && pp.isClosedPath(p.segments));
    // Paths without a finite place to start (empty ones write nothing) follow at the end.
    std::vector<Stop> tour = nearestNeighbour(paths, closed, knife);
    // Open paths keep their direction, so 2-opt works on the runs of closed paths between them.
    for (size_t start = 0; start < tour.size();) {
        size_t end = start;
        while (end < tour.size() && tour[end].closed)
            ++end;
        if (end > start + 2)
            twoOpt(&tour[start], int(end - start), start == 0 ? knife : tour[start - 1].exit,
                   end < tour.size(), end < tour.size() ? tour[end].entry : QPointF());
        start = end + 1;
    }
    CutPathList out;
    out.reserve(paths.size());
    for (const Stop &stop : tour) {
        CutPath path = paths.at(stop.path);
        if (stop.closed) {
            path.segments = rotated(path.segments, nearestVertex(path.segments, knife));
            knife = path.segments.constFirst().p1();
        } else {
            knife = path.segments.constLast().p2();
        }
        out.append(std::move(path));
    }
    std::vector<bool> placed(size_t(paths.size()), false);
    for (const Stop &stop : tour)
        placed[size_t(stop.path)] = true;
    for (int p = 0; p < paths.size(); ++p) {
        if (!placed[size_t(p)])
            out.append(paths.at(p));
    }
    return out;
}

double penUpTravel(const CutPathList &paths, QPointF knife)
{
    double total = 0;
    for (const CutPath &p : paths) {
        if (p.segments.isEmpty())
            continue;
        total += distance(knife, p.segments.constFirst().p1());
        knife = p.segments.constLast().p2();
    }
    return total;
}
