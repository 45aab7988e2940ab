// `cutjob sheet`: a drawing in the built-in host, headless: open an SVG sheet, add the marks as
// the window's "Add Mark" does, the cut boundary as "Create Boundary" does, publish a PDF as
// "Setup Print" does, save the sheet, and build the job as "Save As *.plt" does.

#include "CliOutput.h"
#include "JobOptionParser.h"
#include "SheetSession.h"
#include "Subcommand.h"
#include "common/Units.h"
#include "host/CdrConnection.h"
#include "host/InProcessHost.h"
#include "job/JobFile.h"
#include "settings/Settings.h"

#include <QCommandLineParser>

namespace {

bool artUnderMarksReported = true;

struct SheetRequest
{
    QString sheet;
    bool addMarks = false;
    bool boundary = false;
    double boundaryOffsetMm = -1; // in Setting::CutMargin, with --boundary; -1: the host's own
    double bleedMm = 0;           // in Setting::Bleed, with --boundary
    bool cuttingLayer = false;    // "Create Boundary" with "Create Cut Boundary" unchecked
    QString pdfOut;               // empty: no PDF
    QString documentOut;          // empty: the sheet is not saved; "-": standard output, last
    QString jobOut;               // empty: no job; "-": standard output
    int version = Setting::CdrVersion.value;
    JobSettings job;
    bool helpAsked = false;
};

QString sheetHelpText()
{
    return QStringLiteral(
               "Usage: cutjob sheet SHEET.svg [--add-marks]\n"
               "                    [--boundary [--boundary-offset MM] [--bleed MM] |\n"
               "                     --cutting-layer]\n"
               "                    [--pdf OUT.pdf]\n"
               "                    [--save-document OUT.svg] [--job OUT.plt]\n"
               "                    [--version %1..%2] [job options]\n"
               "\n"
               "Opens an SVG sheet (Inkscape layers) in the built-in drawing host and runs the\n"
               "window's commands on it, in this order whatever the order given:\n"
               "  --add-marks             \"Add Mark\" with the window's default margins\n"
               "  --boundary              \"Create Boundary\" with \"Create Cut Boundary\"\n"
               "                          checked: the cut contours around what the artwork\n"
               "                          visibly covers (images by their opaque pixels,\n"
               "                          text by its glyphs), one per island\n"
               "  --boundary-offset MM    grow each island's contour by MM millimetres, 0 to\n"
               "                          %4, with round corners, before islands that then\n"
               "                          touch unite: a sticker margin (default: the host\n"
               "                          window's \"Cut margin (mm)\", 0 unless set there)\n"
               "  --bleed MM              with --boundary, run the print on past each contour\n"
               "                          by MM millimetres, 0 to %5 (default 0), in the colours\n"
               "                          of the art's edge, on \"Bleed Layer\" over the art\n"
               "                          (0 removes the layer); the cut does not change\n"
               "  --cutting-layer         \"Create Boundary\" with it unchecked: only makes\n"
               "                          sure that \"Cutting Layer\" exists\n"
               "  --pdf FILE              \"Setup Print\" with \"Save PDF instead of Print\"\n"
               "  --save-document FILE    save the sheet, working layers included, as SVG;\n"
               "                          \"-\" writes it to standard output once every\n"
               "                          other step succeeded (nothing on failure)\n"
               "  --job FILE              build the job as \"Save As *.plt\" does and write it\n"
               "                          whole or not at all; \"-\" writes to standard output\n"
               "  --version N             the drawing host's version, %1 to %2 (default %3)\n"
               "\n"
               "Job options:\n")
               .arg(Setting::CdrVersion.first)
               .arg(Setting::CdrVersion.last)
               .arg(Setting::CdrVersion.value)
               .arg(Setting::CutMargin.max)
               .arg(Setting::Bleed.max) +
           JobOptionParser::helpText() +
           QStringLiteral("  -h, --help              show this text\n"
                          "\n"
                          "Errors get a message on standard error and exit status 1.\n");
}

// `absent` when not given.
Result<double> readMillimetres(const QCommandLineParser &parser, const QString &name, double most,
                               double absent)
{
    if (!parser.isSet(name))
        return absent;
    const Result<double> mm = parseFiniteNumber(parser.value(name), QStringLiteral("--") + name);
    if (mm && (*mm < 0 || *mm > most))
        return Failure{QStringLiteral("--%1 must be 0 to %2 mm, not %3")
                           .arg(name)
                           .arg(most)
                           .arg(parser.value(name))};
    return mm;
}

// A file name, empty when the option is absent.
Result<QString> readFileName(const QCommandLineParser &parser, const QString &name)
{
    if (!parser.isSet(name))
        return QString();
    const QString value = parser.value(name);
    if (value.isEmpty())
        return Failure{QStringLiteral("--%1 needs a file name").arg(name)};
    return value;
}

Result<SheetRequest> parseSheetRequest(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    JobOptionParser::addOptions(parser);
    parser.addOption({QStringLiteral("add-marks"), QString()});
    parser.addOption({QStringLiteral("boundary"), QString()});
    parser.addOption({QStringLiteral("boundary-offset"), QString(), QStringLiteral("MM")});
    parser.addOption({QStringLiteral("bleed"), QString(), QStringLiteral("MM")});
    parser.addOption({QStringLiteral("cutting-layer"), QString()});
    parser.addOption({QStringLiteral("pdf"), QString(), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("save-document"), QString(), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("job"), QString(), QStringLiteral("FILE")});
    addHostVersionOption(parser);
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    if (!parser.parse(arguments))
        return Failure{parser.errorText()};
    SheetRequest r;
    r.helpAsked = parser.isSet(QStringLiteral("help"));
    if (r.helpAsked)
        return r;
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return Failure{files.isEmpty() ? QStringLiteral("no sheet given (cutjob sheet --help)")
                                       : QStringLiteral("one sheet expected, got %1: %2")
                                             .arg(files.size())
                                             .arg(files.join(QStringLiteral(", ")))};
    r.sheet = files.first();
    r.addMarks = parser.isSet(QStringLiteral("add-marks"));
    r.boundary = parser.isSet(QStringLiteral("boundary"));
    r.cuttingLayer = parser.isSet(QStringLiteral("cutting-layer"));
    if (r.boundary && r.cuttingLayer)
        return Failure{QStringLiteral("--boundary and --cutting-layer exclude each other")};
    const std::pair<QString, QString *> fileOptions[] = {
        {QStringLiteral("pdf"), &r.pdfOut},
        {QStringLiteral("save-document"), &r.documentOut},
        {QStringLiteral("job"), &r.jobOut}};
    for (const auto &[name, value] : fileOptions) {
        const Result<QString> read = readFileName(parser, name);
        if (!read)
            return Failure{read.error()};
        *value = *read;
    }
    const Result<int> version = readHostVersion(parser);
    if (!version)
        return Failure{version.error()};
    r.version = *version;
    const Result<double> offset =
        readMillimetres(parser, QStringLiteral("boundary-offset"), Setting::CutMargin.max, -1.0);
    if (!offset)
        return Failure{offset.error()};
    r.boundaryOffsetMm = *offset;
    const Result<double> bleed =
        readMillimetres(parser, QStringLiteral("bleed"), Setting::Bleed.max, 0.0);
    if (!bleed)
        return Failure{bleed.error()};
    r.bleedMm = *bleed;
    if (parser.isSet(QStringLiteral("bleed")) && !r.boundary)
        return Failure{QStringLiteral("--bleed goes with --boundary")};
    const Result<JobSettings> job = JobOptionParser::read(parser);
    if (!job)
        return Failure{job.error()};
    r.job = *job;
    if (r.jobOut == QLatin1String("-") && r.documentOut == QLatin1String("-"))
        return Failure{
            QStringLiteral("--job - and --save-document - cannot share standard output")};
    return r;
}

Result<> writeJob(const SheetRequest &request, const JobText &text)
{
    if (request.jobOut == QLatin1String("-")) {
        if (writeStandardOutput({text.joined()}))
            return {};
        return Failure{QStringLiteral("cannot write the job text to standard output")};
    }
    return saveJobFile(request.jobOut, text.joined());
}

Result<> buildJob(const SheetRequest &request, CdrConnection &connection)
{
    const Result<PreparedJob> job = prepareSheetJob(connection, request.job);
    if (!job)
        return Failure{job.error()};
    return writeJob(request, job->text);
}

Result<> runSheet(const SheetRequest &request)
{
    const Result<std::unique_ptr<CdrConnection>> opened = openSheet(request.sheet, request.version);
    if (!opened)
        return Failure{opened.error()};
    CdrConnection &connection = **opened;
    const auto hostFailure = [&connection](const Result<> &done) {
        return Failure{hostMessage(done.error(), connection.detail())};
    };
    if (request.addMarks) {
        if (const Result<> done = connection.addMarks(); !done)
            return hostFailure(done);
        // The sensor would read art in a mark's zone as a mark, or miss the mark.
        const QStringList notes =
            artUnderMarksReported ? InProcessHost::artUnderMarks() : QStringList();
        for (const QString &note : notes)
            printError(QStringLiteral("%1: %2").arg(request.sheet, note));
    }
    if (request.cuttingLayer) {
        if (const Result<> done = connection.ensureCuttingLayer(); !done)
            return hostFailure(done);
    }
    if (request.boundary) {
        InProcessHost::CommandChoices choices;
        if (request.boundaryOffsetMm >= 0)
            choices.boundaryOffsetInches = mmToInches(request.boundaryOffsetMm);
        choices.bleedInches = mmToInches(request.bleedMm);
        const InProcessHost::ScopedChoices held(choices);
        const int notesBefore = InProcessHost::sheetNotes().size();
        if (const Result<> made = connection.createCutBoundary(); !made)
            return hostFailure(made);
        // Images or text outlined by their box instead of what they show.
        for (const QString &note : InProcessHost::sheetNotes().mid(notesBefore))
            printError(QStringLiteral("%1: %2").arg(request.sheet, note));
    }
    if (!request.pdfOut.isEmpty()) {
        if (const Result<> published = connection.publishPdf(request.pdfOut); !published) {
            const QString text =
                QStringLiteral("cannot publish %1: %2").arg(request.pdfOut, published.error());
            // A refusal the host explained needs no call log after it.
            return Failure{published.error() == CdrConnection::noAnswerText()
                               ? hostMessage(text, connection.detail())
                               : text};
        }
    }
    const bool documentToOutput = request.documentOut == QLatin1String("-");
    if (!request.documentOut.isEmpty() && !documentToOutput) {
        if (const Result<> saved = InProcessHost::saveSheet(request.documentOut); !saved)
            return Failure{
                QStringLiteral("cannot save %1: %2").arg(request.documentOut, saved.error())};
    }
    if (!request.jobOut.isEmpty()) {
        if (const Result<> built = buildJob(request, connection); !built)
            return built;
    }
    // Last, so that a caller who takes the output as the changed drawing (Inkscape) gets
    // nothing when any step failed and keeps its drawing as it was.
    if (documentToOutput && !writeStandardOutput({InProcessHost::sheetSvg()}))
        return Failure{QStringLiteral("cannot write the sheet to standard output")};
    return {};
}

} // namespace

void setArtUnderMarksReported(bool reported)
{
    artUnderMarksReported = reported;
}

int runSheetCommand(const QStringList &arguments)
{
    const Result<SheetRequest> request = parseSheetRequest(arguments);
    if (!request) {
        printError(request.error());
        return 1;
    }
    if (request->helpAsked)
        return writeStandardOutput({sheetHelpText().toUtf8()}) ? 0 : 1;
    // A batch tool never shows the host's window, whatever the platform offers.
    InProcessHost::keepWindowHidden();
    if (const Result<> ran = runSheet(*request); !ran) {
        printError(ran.error());
        return 1;
    }
    return 0;
}
