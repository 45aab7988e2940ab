#include "SvgPathData.h"

#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;

class PathReader
{
public:
    explicit PathReader(const QString &data) : at(data.constData()), end(at + data.size()) {}
    QPainterPath run();

private:
    bool skipSpace();
    bool skipSeparator();
    bool number(double *out);
    bool flag(bool *out);
    bool numbers(double *out, int count);
    bool segment(QChar command);
    void arc(double rx, double ry, double angle, bool large, bool sweep, QPointF to);

    const QChar *at;
    const QChar *end;
    QPainterPath path;
    QPointF current, start;
    QPointF control; // the last curve's second control point, for S and T
    QChar previous;
};

bool isSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r') || c == QLatin1Char('\f');
}

bool isDigit(const QChar *c, const QChar *end)
{
    return c < end && c->unicode() >= '0' && c->unicode() <= '9';
}

// True when something other than the end follows.
bool PathReader::skipSpace()
{
    while (at < end && isSpace(*at))
        ++at;
    return at < end;
}

bool PathReader::skipSeparator()
{
    skipSpace();
    if (at < end && *at == QLatin1Char(',')) {
        ++at;
        skipSpace();
    }
    return at < end;
}

bool PathReader::number(double *out)
{
    const QChar *begin = at;
    if (at < end && (*at == QLatin1Char('+') || *at == QLatin1Char('-')))
        ++at;
    const QChar *digits = at;
    while (isDigit(at, end))
        ++at;
    if (at < end && *at == QLatin1Char('.')) {
        ++at;
        while (isDigit(at, end))
            ++at;
    }
    if (at == digits || (at == digits + 1 && *digits == QLatin1Char('.'))) {
        at = begin;
        return false;
    }
    if (at < end && (*at == QLatin1Char('e') || *at == QLatin1Char('E'))) {
        const QChar *exponent = at + 1;
        if (exponent < end && (*exponent == QLatin1Char('+') || *exponent == QLatin1Char('-')))
            ++exponent;
        if (isDigit(exponent, end)) {
            at = exponent;
            while (isDigit(at, end))
                ++at;
        }
    }
    bool ok = false;
    *out = QString::fromRawData(begin, int(at - begin)).toDouble(&ok);
    return ok && std::isfinite(*out);
}

// Arc flags are one character each, with or without a separator after them.
bool PathReader::flag(bool *out)
{
    if (at >= end || (*at != QLatin1Char('0') && *at != QLatin1Char('1')))
        return false;
    *out = *at == QLatin1Char('1');
    ++at;
    return true;
}

bool PathReader::numbers(double *out, int count)
{
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            skipSeparator();
        if (!number(out + i))
            return false;
    }
    return true;
}

QPainterPath PathReader::run()
{
    // Data must open with a moveto; anything else draws nothing.
    if (!skipSpace() || (*at != QLatin1Char('M') && *at != QLatin1Char('m')))
        return path;
    QChar command;
    while (skipSpace()) {
        if (at->isLetter()) {
            command = *at++;
        } else if (command.isNull() || command.toUpper() == QLatin1Char('Z')) {
            break; // numbers with no command to repeat
        } else if (command == QLatin1Char('M')) {
            command = QLatin1Char('L'); // pairs after a moveto are linetos
        } else if (command == QLatin1Char('m')) {
            command = QLatin1Char('l');
        }
        const QChar *segmentStart = at;
        skipSpace();
        if (!segment(command)) {
            at = segmentStart;
            break;
        }
        previous = command;
        skipSeparator();
    }
    return path;
}

bool PathReader::segment(QChar command)
{
    const bool relative = command.isLower();
    const QPointF origin = relative ? current : QPointF();
    double v[7];
    switch (command.toUpper().unicode()) {
    case 'Z':
        path.closeSubpath();
        current = start;
        control = current;
        return true;
    case 'M':
        if (!numbers(v, 2))
            return false;
        current = start = origin + QPointF(v[0], v[1]);
        path.moveTo(current);
        break;
    case 'L':
        if (!numbers(v, 2))
            return false;
        current = origin + QPointF(v[0], v[1]);
        path.lineTo(current);
        break;
    case 'H':
        if (!numbers(v, 1))
            return false;
        current.setX(origin.x() + v[0]);
        path.lineTo(current);
        break;
    case 'V':
        if (!numbers(v, 1))
            return false;
        current.setY(origin.y() + v[0]);
        path.lineTo(current);
        break;
    case 'C':
    case 'S': {
        const bool smooth = command.toUpper() == QLatin1Char('S');
        if (!numbers(v, smooth ? 4 : 6))
            return false;
        const bool follows = QStringLiteral("CcSs").contains(previous);
        const QPointF first =
            smooth ? (follows ? 2 * current - control : current) : origin + QPointF(v[0], v[1]);
        const double *rest = smooth ? v : v + 2;
        control = origin + QPointF(rest[0], rest[1]);
        current = origin + QPointF(rest[2], rest[3]);
        path.cubicTo(first, control, current);
        return true;
    }
    case 'Q':
    case 'T': {
        const bool smooth = command.toUpper() == QLatin1Char('T');
        if (!numbers(v, smooth ? 2 : 4))
            return false;
        const bool follows = QStringLiteral("QqTt").contains(previous);
        control =
            smooth ? (follows ? 2 * current - control : current) : origin + QPointF(v[0], v[1]);
        current = origin + (smooth ? QPointF(v[0], v[1]) : QPointF(v[2], v[3]));
        path.quadTo(control, current);
        return true;
    }
    case 'A': {
        bool large = false, sweep = false;
        if (!numbers(v, 3) || !skipSeparator() || !flag(&large) || !skipSeparator() ||
            !flag(&sweep) || !skipSeparator() || !numbers(v + 3, 2))
            return false;
        const QPointF to = origin + QPointF(v[3], v[4]);
        arc(std::fabs(v[0]), std::fabs(v[1]), v[2], large, sweep, to);
        current = to;
        break;
    }
    default:
        return false;
    }
    control = current;
    return true;
}

// The endpoint arc through its centre, in cubic pieces of at most a quarter turn.
void PathReader::arc(double rx, double ry, double angle, bool large, bool sweep, QPointF to)
{
    const QPointF from = current;
    if (from == to)
        return;
    if (rx == 0 || ry == 0) {
        path.lineTo(to);
        return;
    }
    const double phi = angle * Pi / 180, c = std::cos(phi), s = std::sin(phi);
    const double dx = (from.x() - to.x()) / 2, dy = (from.y() - to.y()) / 2;
    const double x1 = c * dx + s * dy, y1 = -s * dx + c * dy;
    const double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
    if (lambda > 1) {
        rx *= std::sqrt(lambda);
        ry *= std::sqrt(lambda);
    }
    const double num = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
    const double den = rx * rx * y1 * y1 + ry * ry * x1 * x1;
    double k = std::sqrt(std::max(0.0, num / den));
    if (large == sweep)
        k = -k;
    const double cx1 = k * rx * y1 / ry, cy1 = -k * ry * x1 / rx;
    const QPointF centre(c * cx1 - s * cy1 + (from.x() + to.x()) / 2,
                         s * cx1 + c * cy1 + (from.y() + to.y()) / 2);
    const double theta = std::atan2((y1 - cy1) / ry, (x1 - cx1) / rx);
    double delta = std::atan2((-y1 - cy1) / ry, (-x1 - cx1) / rx) - theta;
    if (sweep && delta < 0)
        delta += 2 * Pi;
    else if (!sweep && delta > 0)
        delta -= 2 * Pi;
    const int pieces = int(std::ceil(std::fabs(delta) / (Pi / 2) - 1e-9));
    const double step = delta / pieces, t = 4.0 / 3.0 * std::tan(step / 4);
    auto point = [&](double a, double scale, bool derivative) {
        const double ex = derivative ? -rx * std::sin(a) * scale : rx * std::cos(a);
        const double ey = derivative ? ry * std::cos(a) * scale : ry * std::sin(a);
        return QPointF(c * ex - s * ey, s * ex + c * ey);
    };
    for (int i = 0; i < pieces; ++i) {
        const double a0 = theta + i * step, a1 = a0 + step;
        const QPointF p0 = centre + point(a0, 1, false), p3 = centre + point(a1, 1, false);
        path.cubicTo(p0 + point(a0, t, true), p3 - point(a1, t, true), i + 1 == pieces ? to : p3);
    }
}

} // namespace

namespace SvgPathData {

QPainterPath parse(const QString &data)
{
    return PathReader(data).run();
}

} // namespace SvgPathData
