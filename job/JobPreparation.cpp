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

// What the export left in the working file; an export that wrote nothing gives no paths.
QByteArray readExport(const QString &workingFile)
{
    const Result<QByteArray> bytes = PathProcessor::readFileBytes(workingFile);
    return bytes.ok() ? *bytes : QByteArray();
}

Result<> hostOutcome(const CdrConnection &connection)
{
    if (connection.errorText().isEmpty())
        return {};
    return Failure{connection.errorText()};
}

Result<> readPageSize(PreparedJob &job, CdrConnection &connection)
{
    job.frame.pageHeight = connection.pageHeightUnits();
    if (const Result<> read = hostOutcome(connection); !read)
        return read;
    job.frame.pageWidth = connection.pageWidthUnits();
    return hostOutcome(connection);
}

Result<PreparedJob> prepareBlankCut(CdrConnection &connection, const JobOptions &options,
                                    const QString &workingFile)
{
    PreparedJob job;
    connection.exportPrintableShapes(workingFile);
    if (const Result<> exported = hostOutcome(connection); !exported)
        return Failure{exported.error()};
    job.cuttingExport = readExport(workingFile);
    if (const Result<> read = readPageSize(job, connection); !read)
        return Failure{read.error()};
    job.cutting = blankCutPaths(job.cuttingExport, job.frame.pageHeight, options);
    job.text = *blankCutJobText(job.cutting, job.frame, options);
    return job;
}

Result<PreparedJob> prepareMarkJob(CdrConnection &connection, const JobOptions &options,
                                   const QString &workingFile)
{
    PreparedJob job;
    job.frame.marks = connection.readMarkCentres();
    if (const Result<> read = hostOutcome(connection); !read)
        return Failure{read.error()};
    if (job.frame.marks.isEmpty())
        return Failure{JobMessage::noMarks()};
    if (job.frame.marks.size() > MAX_MARKS)
        return Failure{JobMessage::tooManyMarks()};
    connection.exportCreasingLayer(workingFile);
    if (const Result<> exported = hostOutcome(connection); !exported)
        return Failure{exported.error()};
    job.creasingExport = readExport(workingFile);
    connection.exportCuttingLayer(workingFile);
    if (const Result<> exported = hostOutcome(connection); !exported)
        return Failure{exported.error()};
    job.cuttingExport = readExport(workingFile);
    if (const Result<> read = readPageSize(job, connection); !read)
        return Failure{read.error()};
    job.frame.extraMark = connection.extraMarkPlacement();
    if (const Result<> read = hostOutcome(connection); !read)
        return Failure{read.error()};
    const QPointF first = job.frame.marks.first();
    job.creasing = markJobCreasing(job.creasingExport, job.frame.pageHeight, first);
    job.cutting = markJobCutting(job.cuttingExport, job.frame.pageHeight, first, options);
    const Result<JobText> text = markJobText(job.creasing, job.cutting, job.frame, options);
    if (!text)
        return Failure{text.error()};
    job.text = *text;
    return job;
}
} // namespace

Result<> rereadPageSize(PreparedJob &job, CdrConnection &connection, bool blankCut,
                        const JobOptions &options)
{
    if (const Result<> read = readPageSize(job, connection); !read)
        return read;
    const PathProcessor processor;
    const JobFrame &frame = job.frame;
    job.text.header = blankCut ? processor.blankHeaderLine(frame.pageHeight, frame.pageWidth)
                               : processor.markHeaderLine(frame.pageHeight, frame.pageWidth,
                                                          options.realM2X, options.realM2Y);
    job.text.trailer = processor.trailerLine(frame.pageHeight, frame.pageWidth);
    return {};
}

Result<PreparedJob> prepareJob(CdrConnection &connection, bool blankCut, const JobOptions &options,
                               const QString &workingFile)
{
    return blankCut ? prepareBlankCut(connection, options, workingFile)
                    : prepareMarkJob(connection, options, workingFile);
}
