// The writer members of PathProcessor and the small pieces of the job text around the body.

#include "HpglWriter.h"
#include "PathProcessor.h"
#include "common/Units.h"

namespace {

// The cutter's commands around a sheet: the header feeds it and says where to look for the
// marks, the trailer ends it.
constexpr int SheetHeaderCommand = 20;
constexpr int SheetTrailerCommand = 22;
// The header's mark fields A and B are the mark distances in plotter units moved by fixed amounts
// the cutter expects: A = realM2XMm * 40 + MarkXFieldShiftUnits, B = realM2YMm * 40 -
// MarkYFieldBackUnits.
constexpr double MarkXFieldShiftUnits = 220;
constexpr double MarkYFieldBackUnits = 140;
// The header's last field: whether the cutter reads marks (0) or cuts the sheet blank (1); a
// blank cut gives 0 for both mark fields.
constexpr int MarkJobFlag = 0;
constexpr int BlankCutFlag = 1;

QByteArray headerStart(int command, int pageHeight, int pageWidth)
{
    return "CMD:" + QByteArray::number(command) + ',' + QByteArray::number(pageHeight) + ',' +
           QByteArray::number(pageWidth);
}

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

QByteArray PathProcessor::markHeaderLine(int pageHeight, int pageWidth, double realM2XMm,
                                         double realM2YMm) const
{
    const double a = realM2XMm * UNITS_PER_MM + MarkXFieldShiftUnits;
    const double b = realM2YMm * UNITS_PER_MM - MarkYFieldBackUnits;
    return headerStart(SheetHeaderCommand, pageHeight, pageWidth) +
           QStringLiteral(",%1,%2,").arg(a).arg(b).toLatin1() + QByteArray::number(MarkJobFlag) +
           ';';
}

QByteArray PathProcessor::blankHeaderLine(int pageHeight, int pageWidth) const
{
    return headerStart(SheetHeaderCommand, pageHeight, pageWidth) + ",0,0," +
           QByteArray::number(BlankCutFlag) + ';';
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
    return headerStart(SheetTrailerCommand, pageHeight, pageWidth) + ';';
}
