#include "PathProcessor.h"

#include "common/BoundedRead.h"

#include "PltReader.h"
#include "WritableLine.h"

#include <QFile>
#include <QTextStream>

#include <cmath>

PathProcessor::PathProcessor() : pi(4.0 * std::atan(1.0)) {}

QString PathProcessor::readTextFile(const QString &filePath) const
{
    if (filePath.isEmpty())
        return QString();
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream stream(&file);
    return stream.readAll();
}

Result<QByteArray> PathProcessor::readFileBytes(const QString &filePath)
{
    if (filePath.isEmpty())
        return Failure{QStringLiteral("no file name given")};
    return readRegularFile(filePath, MaxJobFileBytes);
}

CutPathList PathProcessor::parsePlt(const QString &text) const
{
    return PltReader::read(text);
}

CutPathList PathProcessor::parsePlt(const QByteArray &latin1Text) const
{
    return PltReader::read(latin1Text);
}

QPointF PathProcessor::maxCorner(const CutPath &path) const
{
    if (path.segments.isEmpty())
        return QPointF(0, 0);
    QPointF m = path.segments.constFirst().p1();
    for (const QLineF &s : path.segments) {
        m.setX(qMax(qMax(m.x(), s.x1()), s.x2()));
        m.setY(qMax(qMax(m.y(), s.y1()), s.y2()));
    }
    return m;
}

QPointF PathProcessor::minCorner(const CutPath &path) const
{
    if (path.segments.isEmpty())
        return QPointF(0, 0);
    QPointF m = path.segments.constFirst().p1();
    for (const QLineF &s : path.segments) {
        m.setX(qMin(qMin(m.x(), s.x1()), s.x2()));
        m.setY(qMin(qMin(m.y(), s.y1()), s.y2()));
    }
    return m;
}

QPointF PathProcessor::minCornerOfAll(const CutPathList &paths) const
{
    // Starts from the first segment there is, so a leading empty path does not pull in (0, 0).
    bool any = false;
    QPointF m(0, 0);
    for (const CutPath &path : paths) {
        if (path.segments.isEmpty())
            continue;
        const QPointF c = minCorner(path);
        if (!any) {
            m = c;
            any = true;
        } else {
            m.setX(qMin(m.x(), c.x()));
            m.setY(qMin(m.y(), c.y()));
        }
    }
    return m;
}

CutPathList PathProcessor::scaleAboutMinCorner(CutPathList paths, double factor) const
{
    const QPointF m = minCornerOfAll(paths);
    for (CutPath &path : paths) {
        for (QLineF &s : path.segments) {
            s.setLine((s.x1() - m.x()) / factor + m.x(), (s.y1() - m.y()) / factor + m.y(),
                      (s.x2() - m.x()) / factor + m.x(), (s.y2() - m.y()) / factor + m.y());
        }
    }
    return paths;
}

CutPathList PathProcessor::mirrorY(CutPathList paths, double height) const
{
    for (CutPath &path : paths) {
        for (QLineF &s : path.segments)
            s.setLine(s.x1(), height - s.y1(), s.x2(), height - s.y2());
    }
    return paths;
}

CutPathList PathProcessor::translatePaths(CutPathList paths, double dx, double dy) const
{
    for (CutPath &path : paths) {
        for (QLineF &s : path.segments)
            s.setLine(s.x1() - dx, s.y1() - dy, s.x2() - dx, s.y2() - dy);
    }
    return paths;
}

bool PathProcessor::isClosedPath(const QVector<QLineF> &segments) const
{
    if (segments.isEmpty())
        return false;
    if (!pointsEqual(segments.constLast().p2(), segments.constFirst().p1()))
        return false;
    for (int i = 1; i < segments.size(); ++i) {
        if (!pointsEqual(segments.at(i).p1(), segments.at(i - 1).p2()))
            return false;
    }
    return true;
}

CutPathList PathProcessor::removeDegenerateSegments(CutPathList paths) const
{
    CutPathList out;
    out.reserve(paths.size());
    for (CutPath &path : paths) {
        if (!dropDegenerateSegments(path.segments))
            continue;
        out.append(path);
        // Leave the list's only reference to the segments with `out`.
        path.segments = QVector<QLineF>();
    }
    return out;
}

bool PathProcessor::dropDegenerateSegments(QVector<QLineF> &segs)
{
    int kept = 0;
    for (int i = 0; i < segs.size(); ++i) {
        const QLineF s = segs.at(i);
        if (!isWritable(s))
            continue;
        const QLine r = s.toLine();
        if (r.p1() == r.p2())
            continue;
        if (kept != i)
            segs[kept] = s;
        ++kept;
    }
    if (kept != segs.size())
        segs.resize(kept);
    return kept > 0;
}
