// `cutjob sheet`: a drawing in the built-in host, headless: open an SVG sheet, add the marks as
// the window's "Add Mark" does, the cut boundary as "Create Boundary" does, publish a PDF as
// "Setup Print" does, save the sheet, and build the job as "Save As *.plt" does.

#include "CliOutput.h"
#include "JobOptionParser.h"
#include "SheetSession.h"
#include "Subcommand.h"
#include "host/CdrConnection.h"
#include "host/builtin/BuiltinHost.h"
#include "host/builtin/svg/SvgDocumentWriter.h"
#include "job/JobFile.h"

#include <QCommandLineParser>

namespace {

// A sticker margin wider than this would swallow neighbouring stickers on any usual sheet.
constexpr double MaxBoundaryOffsetMm = 10.0;
constexpr double MmPerInch = 25.4;

struct SheetRequest
{
    QString sheet;
    bool addMarks = false;
    bool boundary = false;
    double boundaryOffsetMm = 0.0; // 0..10 mm, with --boundary
    bool cuttingLayer = false;     // "Create Boundary" with "Create Cut Boundary" unchecked
    QString pdfOut;                // empty: no PDF
    QString documentOut;           // empty: the sheet is not saved; "-": standard output, last
    QString jobOut;                // empty: no job; "-": standard output
    int version = 14;
    JobOptionValues job;
    bool helpAsked = false;
};

QString sheetHelpText()
{
    return QStringLiteral(
               "Usage: cutjob sheet SHEET.svg [--add-marks]\n"
               "                    [--boundary [--boundary-offset MM] | --cutting-layer]\n"
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
               "  --cutting-layer         \"Create Boundary\" with it unchecked: only makes\n"
               "                          sure that \"Cutting Layer\" exists\n"
               "  --pdf FILE              \"Setup Print\" with \"Save PDF instead of Print\"\n"
               "  --save-document FILE    save the sheet, working layers included, as SVG;\n"
               "                          \"-\" writes it to standard output once every\n"
               "                          other step succeeded (nothing on failure)\n"
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
    parser.addOption({QStringLiteral("cutting-layer"), QString()});
    parser.addOption({QStringLiteral("pdf"), QString(), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("save-document"), QString(), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("job"), QString(), QStringLiteral("FILE")});
    addHostVersionOption(parser);
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
        r.cuttingLayer = parser.isSet(QStringLiteral("cutting-layer"));
        if (r.boundary && r.cuttingLayer) {
            error = QStringLiteral("--boundary and --cutting-layer exclude each other");
            return false;
        }
        if (!readValue(parser, QStringLiteral("pdf"), r.pdfOut, error) ||
            !readValue(parser, QStringLiteral("save-document"), r.documentOut, error) ||
            !readValue(parser, QStringLiteral("job"), r.jobOut, error) ||
            !readHostVersion(parser, r.version, error) ||
            !readBoundaryOffset(parser, r.boundaryOffsetMm, error) ||
            !JobOptionParser::read(parser, r.job, error))
            return false;
        if (r.jobOut == QLatin1String("-") && r.documentOut == QLatin1String("-")) {
            error = QStringLiteral("--job - and --save-document - cannot share standard output");
            return false;
        }
    }
    request = r;
    return true;
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
    PreparedJob job;
    return prepareSheetJob(connection, request.job, job, error) &&
           writeJob(request, job.text, error);
}

bool runSheet(const SheetRequest &request, QString &error)
{
    const std::unique_ptr<CdrConnection> opened = openSheet(request.sheet, request.version, error);
    if (!opened)
        return false;
    CdrConnection &connection = *opened;
    BuiltinHost &host = BuiltinHost::instance();
    const auto hostFailed = [&](const Result<> &done) {
        if (!done)
            error = hostMessage(done.error(), connection.detail());
        return !done;
    };
    if ((request.addMarks && hostFailed(connection.addMarks())) ||
        (request.cuttingLayer && hostFailed(connection.ensureCuttingLayer())))
        return false;
    if (request.boundary) {
        host.setBoundaryOffset(request.boundaryOffsetMm / MmPerInch);
        const int notesBefore = host.activeDocument()->notes.size();
        const Result<> made = connection.createCutBoundary();
        host.setBoundaryOffset(0);
        if (hostFailed(made))
            return false;
        // Images or text outlined by their box instead of what they show.
        for (const QString &note : host.activeDocument()->notes.mid(notesBefore))
            printError(QStringLiteral("%1: %2").arg(request.sheet, note));
    }
    if (!request.pdfOut.isEmpty()) {
        if (const Result<> published = connection.publishPdf(request.pdfOut); !published) {
            error = hostMessage(
                QStringLiteral("cannot publish %1: %2").arg(request.pdfOut, published.error()),
                connection.detail());
            return false;
        }
    }
    const bool documentToOutput = request.documentOut == QLatin1String("-");
    if (!request.documentOut.isEmpty() && !documentToOutput &&
        !host.saveDocument(host.activeDocument(), request.documentOut, &error)) {
        error = QStringLiteral("cannot save %1: %2").arg(request.documentOut, error);
        return false;
    }
    if (!request.jobOut.isEmpty() && !buildJob(request, connection, error))
        return false;
    // Last, so that a caller who takes the output as the changed drawing (Inkscape) gets
    // nothing when any step failed and keeps its drawing as it was.
    if (documentToOutput &&
        !writeStandardOutput({SvgDocumentWriter::toSvg(*host.activeDocument())})) {
        error = QStringLiteral("cannot write the sheet to standard output");
        return false;
    }
    return true;
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
