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

QString emptyCut()
{
    return QCoreApplication::translate(
        "JobMessage", "切割内容为空, 但页面上有图稿: 本作业不会切割任何东西. 请用 'Create "
                      "Boundary' 生成切割轮廓, 或检查 \"Cutting Layer\".");
}

} // namespace JobMessage

namespace {

// What the export left in the working file; an export that wrote nothing gives no paths.
QByteArray readExport(const QString &workingFile)
{
    const Result<QByteArray> bytes = PathProcessor::readFileBytes(workingFile);
    return bytes.ok() ? *bytes : QByteArray();
}

// What the host refused without harm (the same remark from each export kept once) goes to the
// job's detail, so that cutjob can show it.
template <typename T>
Result<T> noted(PreparedJob &job, Result<T> answer, const CdrConnection &connection)
{
    const QString remark = connection.detail();
    if (answer && !remark.isEmpty() && !job.detail.contains(remark))
        job.detail = job.detail.isEmpty() ? remark : job.detail + QStringLiteral("; ") + remark;
    return answer;
}

Result<> readPageSize(PreparedJob &job, CdrConnection &connection)
{
    const Result<int> height = noted(job, connection.pageHeightUnits(), connection);
    if (!height)
        return Failure{height.error()};
    const Result<int> width = noted(job, connection.pageWidthUnits(), connection);
    if (!width)
        return Failure{width.error()};
    job.frame.pageHeight = *height;
    job.frame.pageWidth = *width;
    return {};
}

Result<PreparedJob> prepareBlankCut(CdrConnection &connection, const JobOptions &options,
                                    const QString &workingFile)
{
    PreparedJob job;
    if (const Result<> exported =
            noted(job, connection.exportPrintableShapes(workingFile), connection);
        !exported)
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
    const Result<QVector<QPoint>> marks = noted(job, connection.readMarkCentres(), connection);
    if (!marks)
        return Failure{marks.error()};
    job.frame.marks = *marks;
    if (job.frame.marks.isEmpty())
        return Failure{JobMessage::noMarks()};
    if (job.frame.marks.size() > MAX_MARKS)
        return Failure{JobMessage::tooManyMarks()};
    if (const Result<> exported =
            noted(job, connection.exportCreasingLayer(workingFile), connection);
        !exported)
        return Failure{exported.error()};
    job.creasingExport = readExport(workingFile);
    if (const Result<> exported =
            noted(job, connection.exportCuttingLayer(workingFile), connection);
        !exported)
        return Failure{exported.error()};
    job.cuttingExport = readExport(workingFile);
    if (const Result<> read = readPageSize(job, connection); !read)
        return Failure{read.error()};
    const Result<int> extraMark = noted(job, connection.extraMarkPlacement(), connection);
    if (!extraMark)
        return Failure{extraMark.error()};
    job.frame.extraMark = *extraMark;
    const QPointF first = job.frame.marks.first();
    job.creasing =
        markJobCreasing(job.creasingExport, job.frame.pageHeight, first, options.shortestOrder);
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
                                                          options.realM2XMm, options.realM2YMm);
    job.text.trailer = processor.trailerLine(frame.pageHeight, frame.pageWidth);
    return {};
}

Result<PreparedJob> prepareJob(CdrConnection &connection, bool blankCut, const JobOptions &options,
                               const QString &workingFile)
{
    Result<PreparedJob> job = blankCut ? prepareBlankCut(connection, options, workingFile)
                                       : prepareMarkJob(connection, options, workingFile);
    // A cut that is empty on an empty page is no surprise; on a sheet of artwork it is a job
    // that runs, ends well and leaves every sticker on the sheet.
    if (job && job->cutting.isEmpty()) {
        const Result<bool> artwork = noted(*job, connection.holdsArtwork(), connection);
        if (!artwork)
            return Failure{artwork.error()};
        job->emptyCut = *artwork;
    }
    return job;
}
