// `cutjob build`: the job text of the window's "Save As *.plt" from exported PLT files, headless.

#include "BuildRequest.h"
#include "CliOutput.h"
#include "Subcommand.h"
#include "common/WholeFileWriter.h"
#include "paths/PathProcessor.h"

#include <utility>

namespace {

// Reads and parses one export, letting its bytes go before the transforms run, so a large
// sheet never holds its text and its paths' transformed copies at once.
Result<CutPathList> readPaths(const PathProcessor &processor, const QString &file)
{
    const Result<QByteArray> read = PathProcessor::readFileBytes(file);
    if (!read)
        return Failure{read.error()};
    return processor.parsePlt(*read);
}

Result<JobText> buildJobText(const BuildRequest &request)
{
    const PathProcessor processor;
    const JobOptions options = toJobOptions(request.job, request.exportScale);
    const double pageHeight = request.frame.pageHeight;
    CutPathList creasing;
    if (!request.creasingFile.isEmpty()) {
        Result<CutPathList> read = readPaths(processor, request.creasingFile);
        if (!read)
            return Failure{read.error()};
        creasing = std::move(*read);
    }
    Result<CutPathList> read = readPaths(processor, request.cuttingFile);
    if (!read)
        return Failure{read.error()};
    CutPathList cutting = std::move(*read);
    if (request.job.blankCut) {
        cutting = blankCutPaths(std::move(cutting), pageHeight, options);
        return blankCutJobText(cutting, request.frame, options);
    } else {
        const QPointF firstMark = request.frame.marks.first();
        creasing = markJobCreasing(std::move(creasing), pageHeight, firstMark);
        cutting = markJobCutting(std::move(cutting), pageHeight, firstMark, options);
        return markJobText(creasing, cutting, request.frame, options);
    }
}

Result<> writeJob(const BuildRequest &request, const JobText &text)
{
    const QByteArrayList pieces = {text.header, text.markLine, text.body, text.trailer};
    if (!request.outputFile.isEmpty())
        return writeWholeFile(request.outputFile, pieces);
    if (!writeStandardOutput(pieces))
        return Failure{QStringLiteral("cannot write the job text to standard output")};
    return {};
}

} // namespace

QString buildHelpText()
{
    return QStringLiteral(
               "Usage: cutjob build [options] CUTTING.plt\n"
               "\n"
               "Turns PLT exports into the cutter's job text, as \"Save As *.plt\" does.\n"
               "CUTTING.plt is the cutting export of a mark job, or the export of all printable\n"
               "shapes of a blank-cut job, enlarged by --scale.\n"
               "Lengths in MM are millimetres; H, W, X, Y are plotter units (1/40 mm).\n"
               "\n"
               "Options:\n"
               "  --creasing FILE         the creasing export of a mark job (absent: no "
               "creasing paths)\n"
               "  --marks \"X,Y;X,Y;...\"   mark centres in plotter units, in any order; ordered "
               "by y,\n"
               "                          then x, as the read-back does; a mark job needs 1 to "
               "4\n"
               "  --page-height H --page-width W    integers, plotter units; both required\n"
               "  --extra N               extra-mark position code 0, 1 or 2 (default 0)\n") +
           JobOptionParser::helpText() +
           QStringLiteral(
               "  --scale S               the export's enlargement to undo, > 0 (default 5.0)\n"
               "  -o FILE                 write the job text there (default: standard output),\n"
               "                          exactly, no newline added; written whole or not at "
               "all\n"
               "  -h, --help              show this text\n"
               "\n"
               "Bad input gets a message on standard error and exit status 1; nothing is "
               "written.\n");
}

int runBuildCommand(const QStringList &arguments)
{
    const Result<BuildRequest> request = parseBuildRequest(arguments);
    if (!request) {
        printError(request.error());
        return 1;
    }
    if (request->helpAsked)
        return writeStandardOutput({buildHelpText().toUtf8()}) ? 0 : 1;
    const Result<JobText> text = buildJobText(*request);
    if (!text) {
        printError(text.error());
        return 1;
    }
    if (const Result<> written = writeJob(*request, *text); !written) {
        printError(written.error());
        return 1;
    }
    return 0;
}
