#include "SheetGenerator.h"

#include <QPointF>
#include <QVector>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// One label cell, in plotter units at the drawing's size: 30 x 20 mm with 3 mm between cells.
constexpr double cellWidth = 30 * UNITS_PER_MM, cellHeight = 20 * UNITS_PER_MM,
                 cellGap = 3 * UNITS_PER_MM, pageMargin = 15 * UNITS_PER_MM;
const double pi = 4 * std::atan(1.0);

class PltWriter
{
public:
    explicit PltWriter(qint64 reserve) { text.reserve(int(std::min<qint64>(reserve, 2000000000))); }

    void raw(const char *s) { text.append(s); }
    void number(long v)
    {
        char buffer[24];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
        text.append(buffer, int(end - buffer));
    }
    // "PU x,y;PD x,y,...;" of one closed contour; the last point returns to the first.
    void contour(const QVector<QPointF> &points, double scale, QPointF origin)
    {
        const auto put = [&](const QPointF &p) {
            number(std::lround(origin.x() + (p.x() - origin.x()) * scale));
            text.append(',');
            number(std::lround(origin.y() + (p.y() - origin.y()) * scale));
        };
        raw("PU");
        put(points.first());
        raw(";PD");
        for (int i = 1; i <= points.size(); ++i) {
            put(points[i % points.size()]);
            text.append(i == points.size() ? ';' : ',');
        }
    }

    QByteArray text;
};

// Rounded rectangle: four sides, each corner a quarter circle of the remaining points.
QVector<QPointF> roundedRectangle(QPointF corner, double w, double h, double r, int points)
{
    const int perCorner = std::max(1, (points - 4) / 4);
    const QPointF centres[4] = {{corner.x() + w - r, corner.y() + r},
                                {corner.x() + w - r, corner.y() + h - r},
                                {corner.x() + r, corner.y() + h - r},
                                {corner.x() + r, corner.y() + r}};
    QVector<QPointF> out;
    for (int c = 0; c < 4; ++c) {
        const double start = (c - 1) * pi / 2; // -90, 0, 90, 180 degrees
        for (int k = 0; k <= perCorner; ++k) {
            const double a = start + (pi / 2) * k / perCorner;
            out.append(centres[c] + QPointF(r * std::cos(a), r * std::sin(a)));
        }
    }
    return out;
}

// A ring whose radius swings by `wave` times its mean, `lobes` times around.
QVector<QPointF> ring(QPointF centre, double radius, double wave, int lobes, int points)
{
    QVector<QPointF> out;
    out.reserve(points);
    for (int k = 0; k < points; ++k) {
        const double a = 2 * pi * k / points;
        const double r = radius * (1 + wave * std::sin(lobes * a));
        out.append(centre + QPointF(r * std::cos(a), r * std::sin(a)));
    }
    return out;
}

} // namespace

Sheet generateLabelSheet(const SheetSpec &spec)
{
    const int segments = std::max(8, spec.segmentsPerPath);
    const int labels = (std::max(1, spec.paths) + 2) / 3;
    const int columns = std::max(1, int(std::ceil(std::sqrt(labels * cellHeight / cellWidth))));
    const int rows = (labels + columns - 1) / columns;
    Sheet sheet;
    sheet.pageWidth = int(2 * pageMargin + columns * (cellWidth + cellGap));
    sheet.pageHeight = int(2 * pageMargin + rows * (cellHeight + cellGap));
    PltWriter out(qint64(spec.paths) * segments * 16 + 64);
    out.raw("IN;SP1;");
    const QPointF origin(pageMargin, pageMargin); // the export enlarges about the lower left
    for (int label = 0; label < labels && sheet.paths < spec.paths; ++label) {
        const QPointF corner(pageMargin + (label % columns) * (cellWidth + cellGap),
                             pageMargin + (label / columns) * (cellHeight + cellGap));
        const QVector<QPointF> contours[3] = {
            roundedRectangle(corner, cellWidth, cellHeight, 3 * 40, segments),
            ring(corner + QPointF(cellHeight / 2, cellHeight / 2), 6 * 40, 0, 1, segments),
            ring(corner + QPointF(cellWidth - 8 * 40, cellHeight / 2), 5 * 40, 0.15, 7, segments)};
        for (const QVector<QPointF> &contour : contours) {
            if (sheet.paths == spec.paths)
                break;
            out.contour(contour, spec.exportScale, origin);
            ++sheet.paths;
            sheet.segments += contour.size();
        }
    }
    out.raw("PU;SP0;");
    sheet.plt = std::move(out.text);
    return sheet;
}
