// `cutjob preview`: draws a saved job file, so a user can look at a job rather than read it.

#include "CliOutput.h"
#include "JobOptionParser.h"
#include "SavedJob.h"
#include "Subcommand.h"
#include "common/BoundedRead.h"
#include "common/WholeFileWriter.h"
#include "paths/JobCheck.h"
#include "paths/PathProcessor.h"
#include "paths/PltReader.h"
#include "views/CutPathPainter.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

constexpr int defaultSize = 1200;
constexpr int margin = 20; // pixels around the drawing

// What a job file shows: its paths in the page frame (x right, y down) and what frames them.
struct JobDrawing
{
    CutPathList paths;
    bool blankCut = false;
    QRectF page;            // blank-cut job: the page; empty when the header is missing
    QVector<QPointF> marks; // mark job: first and last mark (the paths are placed on the first)
};

// The body writes y before x; swapping back puts the paths in the page frame.
void swapAxes(CutPathList &paths)
{
    for (CutPath &path : paths) {
        for (QLineF &s : path.segments)
            s = QLineF(s.y1(), s.x1(), s.y2(), s.x2());
    }
}

JobDrawing readJob(const QByteArray &text)
{
    JobDrawing drawing;
    drawing.paths = PltReader::read(text, PenChange::StartsPath);
    swapAxes(drawing.paths);
    static const QRegularExpression header(
        QStringLiteral("^CMD:20,(-?\\d+),(-?\\d+),[^;]*,(\\d);"));
    static const QRegularExpression markLine(QStringLiteral("MD0,0,(-?\\d+),(-?\\d+),\\d;"));
    const QString latin1 = QString::fromLatin1(text.left(256));
    const auto head = header.match(latin1);
    drawing.blankCut = head.hasMatch() && head.captured(3) == QLatin1String("1");
    if (drawing.blankCut)
        drawing.page = QRectF(0, 0, head.captured(2).toDouble(), head.captured(1).toDouble());
    const auto marks = markLine.match(latin1);
    if (!drawing.blankCut && marks.hasMatch())
        drawing.marks = {QPointF(0, 0),
                         QPointF(marks.captured(2).toDouble(), marks.captured(1).toDouble())};
    return drawing;
}

QRectF extent(const JobDrawing &drawing)
{
    QRectF box = drawing.page;
    const auto include = [&box](const QPointF &p) {
        if (std::isfinite(p.x()) && std::isfinite(p.y()))
            box = box.united(QRectF(p, QSizeF(1, 1)));
    };
    for (const CutPath &path : drawing.paths) {
        for (const QLineF &s : path.segments) {
            include(s.p1());
            include(s.p2());
        }
    }
    for (const QPointF &mark : drawing.marks)
        include(mark);
    return box.isEmpty() ? QRectF(0, 0, 400, 400) : box;
}

// Pen-up travel between the paths, faint so the cut itself stands out.
void drawTravel(QPainter &painter, const CutPathList &paths, double scale)
{
    painter.setPen(QPen(QColor(160, 160, 160, 110), 1.0 / scale, Qt::DotLine));
    for (int i = 1; i < paths.size(); ++i) {
        if (!paths[i - 1].segments.isEmpty() && !paths[i].segments.isEmpty())
            painter.drawLine(
                QLineF(paths[i - 1].segments.last().p2(), paths[i].segments.first().p1()));
    }
}

void drawFrame(QPainter &painter, const JobDrawing &drawing, double scale)
{
    painter.setPen(QPen(QColor(200, 200, 200), 1.0 / scale));
    if (!drawing.page.isEmpty())
        painter.drawRect(drawing.page);
    painter.setPen(QPen(Qt::red, 1.0 / scale));
    const double radius = 6.0 / scale;
    for (const QPointF &mark : drawing.marks)
        painter.drawEllipse(mark, radius, radius);
}

QImage render(const JobDrawing &drawing, int size)
{
    const QRectF box = extent(drawing);
    const double scale = (size - 2 * margin) / std::max(box.width(), box.height());
    QImage image(int(std::ceil(box.width() * scale)) + 2 * margin,
                 int(std::ceil(box.height() * scale)) + 2 * margin, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(margin, margin);
    painter.scale(scale, scale);
    painter.translate(-box.topLeft());
    drawFrame(painter, drawing, scale);
    drawTravel(painter, drawing.paths, scale);
    drawCutPaths(painter, drawing.paths, scale);
    return image;
}

QString previewHelpText()
{
    return QStringLiteral(
        "Usage: cutjob preview [options] JOB.plt -o PICTURE.png\n"
        "\n"
        "Draws a job file as the cutter would cut it: creasing (pen 1) black, cutting (pen 2)\n"
        "blue, dashes as they are cut, pen-up moves faint and dotted; a blank-cut job's page\n"
        "frame in grey, a mark job's first and last mark as red rings.\n"
        "\n"
        "Options:\n"
        "  -o FILE                 the PNG picture to write (required); written whole or not\n"
        "  --size PIXELS           length of the picture's longer side, 100 to 10000 "
        "(default 1200)\n"
        "  -h, --help              show this text\n");
}

} // namespace

int runPreviewCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({QStringLiteral("o"), QString(), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("size"), QString(), QStringLiteral("PIXELS")});
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    if (!parser.parse(arguments)) {
        printError(parser.errorText());
        return 1;
    }
    if (parser.isSet(QStringLiteral("help")))
        return writeStandardOutput({previewHelpText().toUtf8()}) ? 0 : 1;
    const QStringList files = parser.positionalArguments();
    const QString output = parser.value(QStringLiteral("o"));
    int size = defaultSize;
    if (parser.isSet(QStringLiteral("size"))) {
        const Result<int> read =
            parseInteger(parser.value(QStringLiteral("size")), QStringLiteral("--size"));
        if (!read || *read < 100 || *read > 10000) {
            printError(read ? QStringLiteral("--size must be 100 to 10000") : read.error());
            return 1;
        }
        size = *read;
    }
    if (files.size() != 1 || output.isEmpty()) {
        printError(
            QStringLiteral("one job file and -o PICTURE.png expected (cutjob preview --help)"));
        return 1;
    }
    // A saved job, or a plot file as the host exports it: both are drawn as they would be cut.
    Result<QByteArray> job = readRegularFile(files.first(), MaxJobFileBytes, {});
    if (job && !checkJobText(job->constData(), job->size(), JobTextKind::PlotExport)) {
        job = readSavedJob(files.first());
    }
    if (!job) {
        printError(job.error());
        return 1;
    }
    const QImage image = render(readJob(*job), size);
    // Encoded in memory: the picture is small, and the encoder then meets no failing disk.
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    const Result<> written =
        image.save(&png, "PNG")
            ? writeWholeFile(output, {png.data()})
            : Failure{QStringLiteral("cannot write %1: the picture cannot be encoded").arg(output)};
    if (!written) {
        printError(written.error());
        return 1;
    }
    return 0;
}
