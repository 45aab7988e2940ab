// `cutjob sheet`: a drawing in the built-in host, headless: open an SVG sheet, add the marks as
// the window's "Add Mark" does, the cut boundary as "Create Boundary" does, publish a PDF as
// "Setup Print" does, save the sheet, and build the job as "Save As *.plt" does.

#include "CliOutput.h"
#include "JobOptionParser.h"
#include "Subcommand.h"
#include "host/CdrConnection.h"
#include "host/builtin/BuiltinHost.h"
#include "job/JobFile.h"
#include "job/JobPreparation.h"

#include <QCommandLineParser>
#include <QTemporaryDir>

namespace {

constexpr int FirstVersion = 14;
constexpr int LastVersion = 23;
// The host's export enlarges the cutting shapes five-fold; the pipelines undo it.
constexpr double ExportScale = 5.0;
// A sticker margin wider than this would swallow neighbouring stickers on any usual sheet.
constexpr double MaxBoundaryOffsetMm = 10.0;
constexpr double MmPerInch = 25.4;

struct SheetRequest
{
    QString sheet;
    bool addMarks = false;
    bool boundary = false;
    double boundaryOffsetMm = 0.0;
    QString pdfOut;      // empty: no PDF
    QString documentOut; // empty: the sheet is not saved
    QString jobOut;      // empty: no job; "-": standard output
    int version = FirstVersion;
    JobOptionValues job;
    bool helpAsked = false;
};

QString sheetHelpText()
{
    return QStringLiteral(
               "Usage: cutjob sheet SHEET.svg [--add-marks] [--boundary [--boundary-offset MM]]\n"
               "                    [--pdf OUT.pdf]\n"
               "                    [--save-document OUT.svg] [--job OUT.plt]\n"
               "                    [--version 14..23] [job options]\n"
               "\n"
               "Opens an SVG sheet (Inkscape layers) in the built-in drawing host and runs the\n"
               "window's commands on it, in this order whatever the order given:\n"
               "  --add-marks             \"Add Mark\" with the window's default margins\n"
               "  --boundary              \"Create Boundary\" with \"Create Cut Boundary\"\n"
               "                          checked: the cut contours around what the artwork\n"
               "                          visibly covers (images by their opaque pixels,\n"
               "                          text by its glyphs), one per island\n"
               "  --boundary-offset MM    grow each island's contour by MM millimetres, 0 to\n"
               "                          10 (default 0), with round corners, before islands\n"
               "                          that then touch unite: a sticker margin\n"
               "  --pdf FILE              \"Setup Print\" with \"Save PDF instead of Print\"\n"
               "  --save-document FILE    save the sheet, working layers included, as SVG\n"
               "  --job FILE              build the job as \"Save As *.plt\" does and write it\n"
               "                          whole or not at all; \"-\" writes to standard output\n"
               "  --version N             the drawing host's version, 14 to 23 (default 14)\n"
               "\n"
               "Job options:\n") +
           JobOptionParser::helpText() +
           QStringLiteral("  -h, --help              show this text\n"
                          "\n"
                          "Errors get a message on standard error and exit status 1.\n");
}

bool readVersion(const QCommandLineParser &parser, int &version, QString &error)
{
    if (!parser.isSet(QStringLiteral("version")))
        return true;
    if (!parseInteger(parser.value(QStringLiteral("version")), QStringLiteral("--version"), version,
                      error))
        return false;
    if (version < FirstVersion || version > LastVersion) {
        error = QStringLiteral("--version must be %1 to %2, not %3")
                    .arg(FirstVersion)
                    .arg(LastVersion)
                    .arg(version);
        return false;
    }
    return true;
}

bool readBoundaryOffset(const QCommandLineParser &parser, double &mm, QString &error)
{
    const QString name = QStringLiteral("boundary-offset");
    if (!parser.isSet(name))
        return true;
    if (!parseFiniteNumber(parser.value(name), QStringLiteral("--boundary-offset"), mm, error))
        return false;
    if (mm < 0 || mm > MaxBoundaryOffsetMm) {
        error = QStringLiteral("--boundary-offset must be 0 to %1 mm, not %2")
                    .arg(MaxBoundaryOffsetMm)
                    .arg(parser.value(name));
        return false;
    }
    return true;
}

bool readValue(const QCommandLineParser &parser, const QString &name, QString &value,
               QString &error)
{
    if (!parser.isSet(name))
        return true;
    value = parser.value(name);
    if (value.isEmpty())
        error = QStringLiteral("--%1 needs a file name").arg(name);
    return !value.isEmpty();
}

bool parseSheetRequest(const QStringList &arguments, SheetRequest &request, QString &error)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    JobOptionParser::addOptions(parser);
    parser.addOption({QStringLiteral("add-marks"), QString()});
    parser.addOption({QStringLiteral("boundary"), QString()});
    parser.addOption({QStringLiteral("boundary-offset"), QString(), QStringLiteral("MM")});
    parser.addOption({QStringLiteral("pdf"), QString(), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("save-document"), QString(), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("job"), QString(), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("version"), QString(), QStringLiteral("N")});
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    SheetRequest r;
    r.helpAsked = parser.isSet(QStringLiteral("help"));
    if (!r.helpAsked) {
        const QStringList files = parser.positionalArguments();
        if (files.size() != 1) {
            error = files.isEmpty() ? QStringLiteral("no sheet given (cutjob sheet --help)")
                                    : QStringLiteral("one sheet expected, got %1: %2")
                                          .arg(files.size())
                                          .arg(files.join(QStringLiteral(", ")));
            return false;
        }
        r.sheet = files.first();
        r.addMarks = parser.isSet(QStringLiteral("add-marks"));
        r.boundary = parser.isSet(QStringLiteral("boundary"));
        if (!readValue(parser, QStringLiteral("pdf"), r.pdfOut, error) ||
            !readValue(parser, QStringLiteral("save-document"), r.documentOut, error) ||
            !readValue(parser, QStringLiteral("job"), r.jobOut, error) ||
            !readVersion(parser, r.version, error) ||
            !readBoundaryOffset(parser, r.boundaryOffsetMm, error) ||
            !JobOptionParser::read(parser, r.job, error))
            return false;
    }
    request = r;
    return true;
}

// A host failure names the call for whoever reads the log, after the user's message.
QString hostMessage(const QString &text, const QString &detail)
{
    return detail.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, detail);
}

bool writeJob(const SheetRequest &request, const JobText &text, QString &error)
{
    if (request.jobOut == QLatin1String("-")) {
        if (writeStandardOutput({text.joined()}))
            return true;
        error = QStringLiteral("cannot write the job text to standard output");
        return false;
    }
    error = saveJobFile(request.jobOut, text.joined());
    if (!error.isEmpty())
        error = QStringLiteral("%1 (%2)").arg(error, request.jobOut);
    return error.isEmpty();
}

bool buildJob(const SheetRequest &request, CdrConnection &connection, QString &error)
{
    QTemporaryDir workDir;
    if (!workDir.isValid()) {
        error = QStringLiteral("cannot make a working folder: %1").arg(workDir.errorString());
        return false;
    }
    const PreparedJob job =
        prepareJob(connection, request.job.blankCut, toJobOptions(request.job, ExportScale),
                   workDir.filePath(QStringLiteral("ABDOPQR.plt")));
    if (!job.ok()) {
        error = hostMessage(job.error, job.detail);
        return false;
    }
    return writeJob(request, job.text, error);
}

bool runSheet(const SheetRequest &request, QString &error)
{
    BuiltinHost &host = BuiltinHost::instance();
    if (!host.openDocument(request.sheet, &error)) {
        error = QStringLiteral("cannot open %1: %2").arg(request.sheet, error);
        return false;
    }
    for (const QString &note : host.activeDocument()->notes)
        printError(QStringLiteral("%1: %2").arg(request.sheet, note));
    CdrConnection connection(QStringLiteral("CorelDraw.Application.%1").arg(request.version));
    if (!connection.isConnected()) {
        error = QStringLiteral("请确认CorelDraw安装并选择正确的CorelDraw版本...");
        return false;
    }
    if (request.addMarks && !connection.addMarks()) {
        error = hostMessage(connection.errorText(), connection.failureDetail());
        return false;
    }
    if (request.boundary) {
        host.setBoundaryOffset(request.boundaryOffsetMm / MmPerInch);
        const int notesBefore = host.activeDocument()->notes.size();
        const bool made = connection.createCutBoundary();
        host.setBoundaryOffset(0);
        if (!made) {
            error = hostMessage(connection.errorText(), connection.failureDetail());
            return false;
        }
        // Images or text outlined by their box instead of what they show.
        for (const QString &note : host.activeDocument()->notes.mid(notesBefore))
            printError(QStringLiteral("%1: %2").arg(request.sheet, note));
    }
    if (!request.pdfOut.isEmpty() && !connection.publishPdf(request.pdfOut)) {
        error = hostMessage(
            QStringLiteral("cannot publish %1: %2").arg(request.pdfOut, connection.errorText()),
            connection.failureDetail());
        return false;
    }
    if (!request.documentOut.isEmpty() &&
        !host.saveDocument(host.activeDocument(), request.documentOut, &error)) {
        error = QStringLiteral("cannot save %1: %2").arg(request.documentOut, error);
        return false;
    }
    return request.jobOut.isEmpty() || buildJob(request, connection, error);
}

} // namespace

int runSheetCommand(const QStringList &arguments)
{
    SheetRequest request;
    QString error;
    if (!parseSheetRequest(arguments, request, error)) {
        printError(error);
        return 1;
    }
    if (request.helpAsked)
        return writeStandardOutput({sheetHelpText().toUtf8()}) ? 0 : 1;
    // A batch tool never shows the host's window, whatever the platform offers.
    BuiltinHost::setWindowAllowed(false);
    if (!runSheet(request, error)) {
        printError(error);
        return 1;
    }
    return 0;
}
