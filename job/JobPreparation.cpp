#include "JobPreparation.h"

#include "paths/PathProcessor.h"

#include <QCoreApplication>

namespace JobMessage {

QString noMarks()
{
    return QCoreApplication::translate("JobMessage", "未找到定位标记, 请先添加标记!");
}

QString tooManyMarks()
{
    return QCoreApplication::translate("JobMessage", "定位标记超过4个, 请检查Mark Layer!");
}

QString saveFailed()
{
    return QCoreApplication::translate("JobMessage", "文件保存失败!");
}

} // namespace JobMessage

namespace {
constexpr int MaxMarks = 4;

// What the export left in the working file; an export that wrote nothing gives no paths.
QByteArray readExport(const QString &workingFile)
{
    return PathProcessor::readFileBytes(workingFile).bytes;
}

// What the host refused without harm (the same remark from each export kept once) goes to the
// job's detail, so that cutjob can show it.
void keepRemark(PreparedJob &job, const QString &remark)
{
    if (remark.isEmpty() || job.detail.contains(remark))
        return;
    job.detail = job.detail.isEmpty() ? remark : job.detail + QStringLiteral("; ") + remark;
}

// A host operation's failure becomes the job's; its detail goes along either way.
bool failed(PreparedJob &job, const Result<> &done, const CdrConnection &connection)
{
    if (done) {
        keepRemark(job, connection.detail());
        return false;
    }
    job.error = done.error();
    job.detail = connection.detail();
    return true;
}

// The value of a host operation that answers one, or false with the job's error set.
template <typename T>
bool take(PreparedJob &job, Result<T> answer, const CdrConnection &connection, T &into)
{
    if (!answer) {
        job.error = answer.error();
        job.detail = connection.detail();
        return false;
    }
    keepRemark(job, connection.detail());
    into = std::move(answer).value();
    return true;
}

bool readPageSize(PreparedJob &job, CdrConnection &connection)
{
    return take(job, connection.pageHeightUnits(), connection, job.frame.pageHeight) &&
           take(job, connection.pageWidthUnits(), connection, job.frame.pageWidth);
}

void prepareBlankCut(PreparedJob &job, CdrConnection &connection, const JobOptions &options,
                     const QString &workingFile)
{
    if (failed(job, connection.exportPrintableShapes(workingFile), connection))
        return;
    job.cuttingExport = readExport(workingFile);
    if (!readPageSize(job, connection))
        return;
    job.cutting = blankCutPaths(job.cuttingExport, job.frame.pageHeight, options);
    job.text = blankCutJobText(job.cutting, job.frame, options);
}

void prepareMarkJob(PreparedJob &job, CdrConnection &connection, const JobOptions &options,
                    const QString &workingFile)
{
    if (!take(job, connection.readMarkCentres(), connection, job.frame.marks))
        return;
    if (job.frame.marks.isEmpty()) {
        job.error = JobMessage::noMarks();
        return;
    }
    if (job.frame.marks.size() > MaxMarks) {
        job.error = JobMessage::tooManyMarks();
        return;
    }
    if (failed(job, connection.exportCreasingLayer(workingFile), connection))
        return;
    job.creasingExport = readExport(workingFile);
    if (failed(job, connection.exportCuttingLayer(workingFile), connection))
        return;
    job.cuttingExport = readExport(workingFile);
    if (!readPageSize(job, connection))
        return;
    if (!take(job, connection.extraMarkPlacement(), connection, job.frame.extraMark))
        return;
    const QPointF first = job.frame.marks.first();
    job.creasing = markJobCreasing(job.creasingExport, job.frame.pageHeight, first);
    job.cutting = markJobCutting(job.cuttingExport, job.frame.pageHeight, first, options);
    job.text = markJobText(job.creasing, job.cutting, job.frame, options);
}
} // namespace

bool rereadPageSize(PreparedJob &job, CdrConnection &connection, bool blankCut,
                    const JobOptions &options)
{
    if (!readPageSize(job, connection))
        return false;
    const PathProcessor processor;
    const JobFrame &frame = job.frame;
    job.text.header = blankCut ? processor.blankHeaderLine(frame.pageHeight, frame.pageWidth)
                               : processor.markHeaderLine(frame.pageHeight, frame.pageWidth,
                                                          options.realM2X, options.realM2Y);
    job.text.trailer = processor.trailerLine(frame.pageHeight, frame.pageWidth);
    return true;
}

PreparedJob prepareJob(CdrConnection &connection, bool blankCut, const JobOptions &options,
                       const QString &workingFile)
{
    PreparedJob job;
    if (blankCut)
        prepareBlankCut(job, connection, options, workingFile);
    else
        prepareMarkJob(job, connection, options, workingFile);
    if (job.ok() && !job.text.ok())
        job.error = job.text.error;
    return job;
}
