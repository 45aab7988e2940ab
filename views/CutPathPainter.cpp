#include "CutPathPainter.h"

#include <QPainter>

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
    for (const CutPath &path : paths) {
        painter.setPen(cutPathPen(path, scale));
        for (const QLineF &segment : path.segments) {
            if (drawable(segment))
                painter.drawLine(segment.toLine());
        }
    }
}
