// `cutjob build`: the job text of the window's "Save As *.plt" from exported PLT files, headless.

#include "BuildRequest.h"
#include "CliOutput.h"
#include "Subcommand.h"
#include "common/WholeFileWriter.h"
#include "paths/JobCheck.h"
#include "paths/JobStream.h"
#include "paths/PathProcessor.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

// A plot file's text: mapped where the system can map it, so a large sheet is paged in as it is
// read rather than copied (no size limit then: it never sits in memory whole); otherwise (an
// empty file, a system without mapping) read whole within the job-file limit.
class InputText
{
public:
    Result<> open(const QString &path)
    {
        if (path.isEmpty())
            return {};
        // Checked before opening: opening a FIFO would wait for a writer.
        if (const QFileInfo info(path); info.exists() && !info.isFile())
            return Failure{QStringLiteral("%1: not a regular file").arg(path)};
        file.setFileName(path);
        if (file.open(QIODevice::ReadOnly) && file.size() > 0) {
            if (uchar *mapped = file.map(0, file.size())) {
                text = {reinterpret_cast<const char *>(mapped), file.size()};
                return {};
            }
        }
        file.close();
        const Result<QByteArray> read = PathProcessor::readFileBytes(path);
        if (!read)
            return Failure{read.error()};
        bytes = *read;
        text = PltText::of(bytes);
        return {};
    }
    // The reader would skip what it does not understand and cut whatever remained.
    Result<> check(const QString &path) const
    {
        if (const Result<> checked = checkJobText(text.data, text.size, JobTextKind::PlotExport);
            !checked)
            return Failure{QStringLiteral("%1: not a plot file: %2").arg(path, checked.error())};
        return {};
    }
    PltText text;

private:
    QFile file;
    QByteArray bytes;
};

// The job file, written whole or not at all.
class FileSink : public JobSink
{
public:
    explicit FileSink(const QString &path) : file(path) {}
    Result<> open() { return file.open(); }
    bool write(const char *data, qint64 size) override { return file.write(data, size); }
    // The reason itself comes with commit(), which a failed write makes fail.
    QString errorText() const override
    {
        return QStringLiteral("cannot write %1").arg(file.path());
    }
    Result<> commit() { return file.commit(); }
    bool failed() const { return file.failed(); }

private:
    WholeFileWriter file;
};

class StandardOutputSink : public JobSink
{
public:
    bool write(const char *data, qint64 size) override
    {
        return std::fwrite(data, 1, size_t(size), stdout) == size_t(size);
    }
    QString errorText() const override
    {
        return QStringLiteral("cannot write the job text to standard output");
    }
};

Result<> streamJob(const BuildRequest &request, const InputText &creasing, const InputText &cutting,
                   JobSink &sink)
{
    const JobOptions options = toJobOptions(request.job, request.exportScale);
    if (request.job.blankCut)
        return streamBlankJob(cutting.text, request.frame, options, sink);
    return streamMarkJob(creasing.text, cutting.text, request.frame, options, sink);
}

// Both files are opened and checked before anything is written, so a missing or malformed one
// leaves no output.
Result<> buildJob(const BuildRequest &request)
{
    InputText creasing, cutting;
    if (const Result<> opened = creasing.open(request.creasingFile); !opened)
        return opened;
    if (const Result<> opened = cutting.open(request.cuttingFile); !opened)
        return opened;
    if (const Result<> checked = creasing.check(request.creasingFile); !checked)
        return checked;
    if (const Result<> checked = cutting.check(request.cuttingFile); !checked)
        return checked;
    if (request.outputFile.isEmpty()) {
        StandardOutputSink sink;
        const Result<> built = streamJob(request, creasing, cutting, sink);
        if (built && std::fflush(stdout) != 0)
            return Failure{sink.errorText()};
        return built;
    }
    FileSink sink(request.outputFile);
    if (const Result<> opened = sink.open(); !opened)
        return opened;
    const Result<> built = streamJob(request, creasing, cutting, sink);
    // A write that failed is reported by commit() with the system's reason; any other failure
    // (bad input) leaves the old file as it was all the same.
    if (!built && !sink.failed())
        return built;
    return sink.commit();
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
    if (const Result<> built = buildJob(*request); !built) {
        printError(built.error());
        return 1;
    }
    return 0;
}
