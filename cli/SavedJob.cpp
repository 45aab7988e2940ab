#include "SavedJob.h"

#include "common/BoundedRead.h"
#include "paths/JobCheck.h"

#include <QRegularExpression>

namespace {

// Header: H, W, A, B and the blank-cut flag; A and B may carry a fraction (millimetres x 40).
const QRegularExpression HeaderPattern(
    QStringLiteral("^CMD:20,(-?\\d+),(-?\\d+),(-?\\d+(?:\\.\\d+)?),(-?\\d+(?:\\.\\d+)?),([01]);"));
const QRegularExpression MarkLinePattern(QStringLiteral("MD0,0,-?\\d+,-?\\d+,[0-2];"));
const QRegularExpression TrailerPattern(QStringLiteral("^CMD:22,(-?\\d+),(-?\\d+);$"));
const QByteArray BodyEnd = "!PG;;";

QString notAJobHeader()
{
    return QStringLiteral("not a cutter job: it does not start with a header "
                          "\"CMD:20,H,W,A,B,F;\"");
}

} // namespace

QString savedJobHeadProblem(const QByteArray &head)
{
    // A header cut off by the end of the head is judged with the whole file.
    if (!head.startsWith("CMD:20,") && !QByteArray("CMD:20,").startsWith(head))
        return notAJobHeader();
    return {};
}

Result<QByteArray> readSavedJob(const QString &path)
{
    Result<QByteArray> text = readRegularFile(path, MaxJobFileBytes, savedJobHeadProblem);
    if (!text)
        return text;
    if (const Result<> checked =
            checkJobText(text->constData(), text->size(), JobTextKind::SavedJob);
        !checked)
        return Failure{QStringLiteral("%1: not a cutter job: %2").arg(path, checked.error())};
    return text;
}

Result<SheetJob> splitSavedJob(QByteArray text)
{
    QByteArray &rest = text;
    while (rest.endsWith('\n') || rest.endsWith('\r'))
        rest.chop(1);
    // Header and mark line are short; a text copy of a whole 100 MB body would double the memory.
    const QString latin = QString::fromLatin1(rest.left(HeadBytes));
    const QRegularExpressionMatch header = HeaderPattern.match(latin);
    if (!header.hasMatch())
        return Failure{notAJobHeader()};
    SheetJob out;
    out.blankCut = header.captured(5) == QLatin1String("1");
    out.header = rest.left(header.capturedLength());
    int at = header.capturedLength();
    if (!out.blankCut) {
        const QRegularExpressionMatch mark = MarkLinePattern.match(
            latin, at, QRegularExpression::NormalMatch, QRegularExpression::AnchoredMatchOption);
        if (!mark.hasMatch())
            return Failure{QStringLiteral("not a cutter job: a mark job needs the mark line "
                                          "\"MD0,0,DY,DX,N;\" after its header")};
        out.markLine = rest.mid(at, mark.capturedLength());
        at += mark.capturedLength();
    }
    const int bodyEnd = rest.indexOf(BodyEnd, at);
    const QByteArray bodyStart = out.blankCut ? "SP2;" : "IN;";
    if (!QByteArray::fromRawData(rest.constData() + at, rest.size() - at).startsWith(bodyStart) ||
        bodyEnd < 0)
        return Failure{
            QStringLiteral("not a cutter job: the body must start with \"%1\" and end with "
                           "\"%2\" (truncated file?)")
                .arg(QString::fromLatin1(bodyStart), QString::fromLatin1(BodyEnd))};
    out.trailer = rest.mid(bodyEnd + BodyEnd.size());
    const QRegularExpressionMatch trailer = TrailerPattern.match(QString::fromLatin1(out.trailer));
    if (!trailer.hasMatch() || trailer.captured(1) != header.captured(1) ||
        trailer.captured(2) != header.captured(2))
        return Failure{
            QStringLiteral("not a cutter job: it must end with the trailer \"CMD:22,%1,%2;\" "
                           "right after the body")
                .arg(header.captured(1), header.captured(2))};
    rest.truncate(bodyEnd + BodyEnd.size());
    rest.remove(0, at);
    out.body = std::move(rest);
    return out;
}
