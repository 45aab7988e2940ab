#pragma once
// Rounding segments to the integers of the job text. QLineF::toLine rounds with qRound, which is
// undefined for NaN, infinities and values beyond the 32-bit range, so every caller asks first
// whether a segment can be rounded at all.

#include <QLine>
#include <QLineF>

#include <cmath>

inline bool isWritable(double v)
{
    // False for NaN and both infinities as well. INT_MAX itself rounds to itself.
    return std::fabs(v) <= 2147483647.0;
}

inline bool isWritable(const QLineF &s)
{
    return isWritable(s.x1()) && isWritable(s.y1()) && isWritable(s.x2()) && isWritable(s.y2());
}
