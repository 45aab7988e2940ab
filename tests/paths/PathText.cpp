#include "PathText.h"

#include <QStringList>

namespace {

QString num(double v)
{
    return QString::number(v, 'g', 12);
}

QPointF pointFrom(const QString &text)
{
    const QStringList xy = text.split(',');
    if (xy.size() != 2)
        qFatal("bad point in test table: %s", qPrintable(text));
    return QPointF(xy.at(0).toDouble(), xy.at(1).toDouble());
}

} // namespace

QVector<QLineF> segmentsFrom(const QString &text)
{
    QVector<QLineF> out;
    for (const QString &item : text.split(' ', Qt::SkipEmptyParts)) {
        const QStringList ends = item.split('>');
        if (ends.size() != 2)
            qFatal("bad segment in test table: %s", qPrintable(item));
        out.append(QLineF(pointFrom(ends.at(0)), pointFrom(ends.at(1))));
    }
    return out;
}

CutPathList pathsFrom(const QString &text)
{
    CutPathList out;
    for (QString item : text.split('|', Qt::SkipEmptyParts)) {
        item = item.trimmed();
        CutPath path;
        if (item.startsWith('[')) {
            const int close = item.indexOf(']');
            const QStringList a = item.mid(1, close - 1).split(' ', Qt::SkipEmptyParts);
            path.pen = a.value(0).toInt();
            path.lineType = a.value(1).toInt();
            path.patternLength = a.value(2).toDouble();
            path.lineTypeMode = a.value(3).toInt();
            item = item.mid(close + 1);
        }
        path.segments = segmentsFrom(item);
        out.append(path);
    }
    return out;
}

QString describe(const QVector<QLineF> &segments)
{
    QStringList parts;
    for (const QLineF &s : segments)
        parts << num(s.x1()) + ',' + num(s.y1()) + '>' + num(s.x2()) + ',' + num(s.y2());
    return parts.join(' ');
}

QString describe(const CutPathList &paths, bool withAttributes)
{
    QStringList parts;
    for (const CutPath &p : paths) {
        QString head;
        if (withAttributes)
            head = QStringLiteral("[%1 %2 %3 %4] ")
                       .arg(p.pen)
                       .arg(p.lineType)
                       .arg(num(p.patternLength))
                       .arg(p.lineTypeMode);
        parts << head + describe(p.segments);
    }
    return parts.join(QStringLiteral(" | "));
}

double totalLength(const QVector<QLineF> &segments)
{
    double sum = 0;
    for (const QLineF &s : segments)
        sum += s.length();
    return sum;
}
