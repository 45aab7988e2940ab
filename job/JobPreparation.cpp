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

bool failed(PreparedJob &job, const CdrConnection &connection)
{
    if (connection.errorText().isEmpty()) {
        keepRemark(job, connection.detail());
        return false;
    }
    job.error = connection.errorText();
    job.detail = connection.detail();
    return true;
}

bool readPageSize(PreparedJob &job, CdrConnection &connection)
{
    job.frame.pageHeight = connection.pageHeightUnits();
    if (failed(job, connection))
        return false;
    job.frame.pageWidth = connection.pageWidthUnits();
    return !failed(job, connection);
}

void prepareBlankCut(PreparedJob &job, CdrConnection &connection, const JobOptions &options,
                     const QString &workingFile)
{
    connection.exportPrintableShapes(workingFile);
    if (failed(job, connection))
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
    job.frame.marks = connection.readMarkCentres();
    if (failed(job, connection))
        return;
    if (job.frame.marks.isEmpty()) {
        job.error = JobMessage::noMarks();
        return;
    }
    if (job.frame.marks.size() > MaxMarks) {
        job.error = JobMessage::tooManyMarks();
        return;
    }
    connection.exportCreasingLayer(workingFile);
    if (failed(job, connection))
        return;
    job.creasingExport = readExport(workingFile);
    connection.exportCuttingLayer(workingFile);
    if (failed(job, connection))
        return;
    job.cuttingExport = readExport(workingFile);
    if (!readPageSize(job, connection))
        return;
    job.frame.extraMark = connection.extraMarkPlacement();
    if (failed(job, connection))
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
