#include "NearestPixel.h"

#include <cstddef>
#include <limits>

namespace {

constexpr long long Far = std::numeric_limits<long long>::max() / 4;

// Along each column, the row of the nearest marked pixel in that column, or -1.
std::vector<int> nearestInColumns(int width, int height, const std::vector<std::uint8_t> &marked)
{
    std::vector<int> rows(static_cast<std::size_t>(width) * height, -1);
    for (int x = 0; x < width; ++x) {
        int last = -1;
        for (int y = 0; y < height; ++y) {
            const std::size_t i = static_cast<std::size_t>(y) * width + x;
            if (marked[i])
                last = y;
            rows[i] = last;
        }
        last = -1;
        for (int y = height - 1; y >= 0; --y) {
            const std::size_t i = static_cast<std::size_t>(y) * width + x;
            if (marked[i])
                last = y;
            if (last >= 0 && (rows[i] < 0 || last - y < y - rows[i]))
                rows[i] = last;
        }
    }
    return rows;
}

// One row: each pixel x is nearest to the column q whose parabola (x - q)^2 + f(q) lies lowest,
// f(q) being the squared distance to the nearest marked pixel in column q.
void nearestInRow(const std::vector<long long> &f, std::vector<int> &from, std::vector<int> &hull,
                  std::vector<double> &bounds)
{
    const int n = static_cast<int>(f.size());
    int k = -1;
    const auto meet = [&](int q, int p) {
        return (double(f[q] + 1LL * q * q) - double(f[p] + 1LL * p * p)) / (2.0 * (q - p));
    };
    for (int q = 0; q < n; ++q) {
        if (f[q] >= Far)
            continue;
        while (k >= 0 && meet(q, hull[k]) <= bounds[k])
            --k;
        ++k;
        hull[k] = q;
        bounds[k] = k == 0 ? -std::numeric_limits<double>::infinity() : meet(q, hull[k - 1]);
    }
    for (int x = 0, j = 0; x < n; ++x) {
        if (k < 0) {
            from[x] = -1;
            continue;
        }
        while (j < k && bounds[j + 1] <= x)
            ++j;
        from[x] = hull[j];
    }
}

} // namespace

namespace NearestPixel {

std::vector<int> nearest(int width, int height, const std::vector<std::uint8_t> &marked)
{
    const std::vector<int> rows = nearestInColumns(width, height, marked);
    std::vector<int> out(static_cast<std::size_t>(width) * height, -1);
    std::vector<long long> f(static_cast<std::size_t>(width));
    std::vector<int> from(static_cast<std::size_t>(width)), hull(static_cast<std::size_t>(width));
    std::vector<double> bounds(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            const int r = rows[row + x];
            f[x] = r < 0 ? Far : 1LL * (y - r) * (y - r);
        }
        nearestInRow(f, from, hull, bounds);
        for (int x = 0; x < width; ++x) {
            if (from[x] >= 0)
                out[row + x] = rows[row + from[x]] * width + from[x];
        }
    }
    return out;
}

} // namespace NearestPixel
