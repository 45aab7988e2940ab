#include "CutPathPainter.h"

#include <QPainter>
#include <QTransform>

#include <cmath>
#include <limits>

namespace {

// Rounding a value outside the int range is undefined; such a segment cannot be on screen anyway.
bool fitsInt(double v)
{
    return std::isfinite(v) && std::fabs(v) < double(std::numeric_limits<int>::max());
}

bool drawable(const QLineF &segment)
{
    return fitsInt(segment.x1()) && fitsInt(segment.y1()) && fitsInt(segment.x2()) &&
           fitsInt(segment.y2());
}

// One path's joined runs of segments as device-pixel polylines.
class PixelPolyline
{
public:
    void draw(QPainter &painter, const QTransform &world, const QVector<QLineF> &segments)
    {
        QPoint joinAt;
        bool open = false;
        for (const QLineF &segment : segments) {
            if (!drawable(segment))
                continue;
            const QLine rounded = segment.toLine();
            if (!open || rounded.p1() != joinAt) {
                flush(painter);
                add(world.map(QPointF(rounded.p1())), true);
                open = true;
            }
            add(world.map(QPointF(rounded.p2())), false);
            joinAt = rounded.p2();
        }
        flush(painter);
    }

private:
    void add(const QPointF &p, bool first)
    {
        if (!first && std::fabs(p.x() - kept.x()) < 1 && std::fabs(p.y() - kept.y()) < 1) {
            pending = p; // drawn only if the run ends here
            hasPending = true;
            return;
        }
        points.append(p);
        kept = p;
        hasPending = false;
    }
    void flush(QPainter &painter)
    {
        if (hasPending)
            points.append(pending);
        if (points.size() == 1)
            points.append(points.constFirst()); // a dot, as a zero-length line draws one
        if (!points.isEmpty())
            painter.drawPolyline(points.constData(), points.size());
        points.resize(0);
        hasPending = false;
    }

    QVector<QPointF> points;
    QPointF kept, pending;
    bool hasPending = false;
};

} // namespace

QColor cutPathColour(int pen)
{
    switch (pen) {
    case 2:
        return Qt::blue;
    case 3:
        return Qt::red;
    case 4:
        return Qt::green;
    case 5:
        return Qt::magenta;
    case 6:
        return Qt::yellow;
    case 7:
        return Qt::cyan;
    case 8:
        return Qt::gray;
    default:
        return Qt::black;
    }
}

QPen cutPathPen(const CutPath &path, double scale)
{
    QPen pen(cutPathColour(path.pen), 1.0 / scale,
             path.lineType != 0 ? Qt::DashLine : Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    return pen;
}

void drawCutPaths(QPainter &painter, const CutPathList &paths, double scale)
{
    // Solid paths are drawn as polylines in device pixels, leaving out points within a pixel of
    // the last one kept: a long job has millions of segments, most far shorter than a pixel, and
    // one call per segment would take minutes. A dashed path keeps a call per segment, so its
    // pattern starts again on each as the cutter's dashes do.
    const QTransform world = painter.worldTransform();
    PixelPolyline line;
    for (const CutPath &path : paths) {
        if (path.lineType != 0) {
            painter.setWorldTransform(world);
            painter.setPen(cutPathPen(path, scale));
            for (const QLineF &segment : path.segments) {
                if (drawable(segment))
                    painter.drawLine(segment.toLine());
            }
            continue;
        }
        painter.resetTransform();
        painter.setPen(
            QPen(cutPathColour(path.pen), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        line.draw(painter, world, path.segments);
    }
    painter.setWorldTransform(world);
}
