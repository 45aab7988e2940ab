// The writer members of PathProcessor and the small pieces of the job text around the body.

#include "HpglWriter.h"
#include "PathProcessor.h"
#include "common/Units.h"

namespace {

// Room for the usual "yyyyy,xxxxx," per segment, so the body grows without repeated copies.
int estimatedTextSize(const CutPathList &paths)
{
    qint64 segments = 0;
    for (const CutPath &p : paths)
        segments += p.segments.size();
    return int(qMin<qint64>(segments * 12 + 64, 1 << 30));
}

} // namespace

QVector<QLineF> PathProcessor::dashSplit(const QVector<QLineF> &segments, double dash,
                                         double gap) const
{
    return HpglWriter::dashSplit(segments, dash, gap);
}

QString PathProcessor::writePen1Section(const CutPathList &paths) const
{
    QByteArray out;
    appendPen1Section(out, paths);
    return QString::fromLatin1(out);
}

QString PathProcessor::writePen2Section(const CutPathList &paths, double dash, double gap) const
{
    QByteArray out;
    appendPen2Section(out, paths, dash, gap);
    return QString::fromLatin1(out);
}

void PathProcessor::appendPen1Section(QByteArray &out, const CutPathList &paths) const
{
    HpglWriter(out).writeSection1(paths);
}

void PathProcessor::appendPen2Section(QByteArray &out, const CutPathList &paths, double dash,
                                      double gap) const
{
    HpglWriter(out).writeSection2(paths, dash, gap);
}

QByteArray PathProcessor::markHeaderLine(int pageHeight, int pageWidth, double realM2X,
                                         double realM2Y) const
{
    const double a = realM2X * UNITS_PER_MM + 220;
    const double b = realM2Y * UNITS_PER_MM - 140;
    return "CMD:20," + QByteArray::number(pageHeight) + ',' + QByteArray::number(pageWidth) +
           QStringLiteral(",%1,%2,0;").arg(a).arg(b).toLatin1();
}

QByteArray PathProcessor::blankHeaderLine(int pageHeight, int pageWidth) const
{
    return "CMD:20," + QByteArray::number(pageHeight) + ',' + QByteArray::number(pageWidth) +
           ",0,0,1;";
}

QByteArray PathProcessor::markLine(int dy, int dx, int extraMark) const
{
    return "MD0,0," + QByteArray::number(dy) + ',' + QByteArray::number(dx) + ',' +
           QByteArray::number(extraMark) + ';';
}

QByteArray PathProcessor::markJobBody(const CutPathList &creasing, const CutPathList &cutting,
                                      double dash, double gap) const
{
    QByteArray out;
    out.reserve(estimatedTextSize(creasing) + estimatedTextSize(cutting));
    appendPen1Section(out, creasing);
    appendPen2Section(out, cutting, dash, gap);
    out.append(';');
    return out;
}

QByteArray PathProcessor::blankJobBody(const CutPathList &paths, double dash, double gap) const
{
    QByteArray out;
    out.reserve(estimatedTextSize(paths));
    appendPen2Section(out, paths, dash, gap);
    out.append(';');
    return out;
}

QByteArray PathProcessor::trailerLine(int pageHeight, int pageWidth) const
{
    return "CMD:22," + QByteArray::number(pageHeight) + ',' + QByteArray::number(pageWidth) + ';';
}
