#include "BuildRequest.h"

#include <QCommandLineParser>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int maximumMarks = 4;
// The mark line carries the distance between two marks as an integer; coordinates within a
// billion plotter units (25 km) keep every distance in range.
constexpr int markCoordinateLimit = 1000000000;

void addBuildOptions(QCommandLineParser &parser)
{
    JobOptionParser::addOptions(parser);
    parser.addOption({QStringLiteral("creasing"), QString(), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("marks"), QString(), QStringLiteral("LIST")});
    parser.addOption({QStringLiteral("page-height"), QString(), QStringLiteral("H")});
    parser.addOption({QStringLiteral("page-width"), QString(), QStringLiteral("W")});
    parser.addOption({QStringLiteral("extra"), QString(), QStringLiteral("N")});
    parser.addOption({QStringLiteral("scale"), QString(), QStringLiteral("S")});
    parser.addOption({QStringLiteral("o"), QString(), QStringLiteral("FILE")});
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
}

bool readPageSize(const QCommandLineParser &parser, JobFrame &frame, QString &error)
{
    const QString height = QStringLiteral("page-height"), width = QStringLiteral("page-width");
    if (!parser.isSet(height) || !parser.isSet(width)) {
        error = QStringLiteral("--page-height and --page-width are both required");
        return false;
    }
    if (!parseInteger(parser.value(height), QStringLiteral("--page-height"), frame.pageHeight,
                      error) ||
        !parseInteger(parser.value(width), QStringLiteral("--page-width"), frame.pageWidth, error))
        return false;
    if (frame.pageHeight <= 0 || frame.pageWidth <= 0) {
        error = QStringLiteral("the page size must be positive, not %1 x %2")
                    .arg(frame.pageHeight)
                    .arg(frame.pageWidth);
        return false;
    }
    return true;
}

// Marks, extra-mark code and creasing file belong to a mark job only; in a blank-cut job they
// would be dropped without a word, so they are refused instead.
bool readMarkJobParts(const QCommandLineParser &parser, BuildRequest &request, QString &error)
{
    const QStringList markOnly = {QStringLiteral("marks"), QStringLiteral("extra"),
                                  QStringLiteral("creasing")};
    if (request.job.blankCut) {
        for (const QString &name : markOnly) {
            if (parser.isSet(name)) {
                error = QStringLiteral("--%1 belongs to a mark job, not to --blank").arg(name);
                return false;
            }
        }
        return true;
    }
    if (!parser.isSet(QStringLiteral("marks"))) {
        error = QStringLiteral("a mark job needs --marks (or --blank for a blank-cut job)");
        return false;
    }
    if (!parseMarkList(parser.value(QStringLiteral("marks")), request.frame.marks, error))
        return false;
    if (parser.isSet(QStringLiteral("extra"))) {
        int &extra = request.frame.extraMark;
        if (!parseInteger(parser.value(QStringLiteral("extra")), QStringLiteral("--extra"), extra,
                          error))
            return false;
        if (extra < 0 || extra > 2) {
            error = QStringLiteral("--extra must be 0, 1 or 2, not %1").arg(extra);
            return false;
        }
    }
    request.creasingFile = parser.value(QStringLiteral("creasing"));
    return true;
}

bool readScale(const QCommandLineParser &parser, double &scale, QString &error)
{
    if (!parser.isSet(QStringLiteral("scale")))
        return true;
    const QString text = parser.value(QStringLiteral("scale"));
    if (!parseFiniteNumber(text, QStringLiteral("--scale"), scale, error))
        return false;
    if (scale <= 0.0) {
        error = QStringLiteral("--scale must be greater than 0, not %1").arg(text);
        return false;
    }
    return true;
}

} // namespace

bool parseMarkList(const QString &text, QVector<QPoint> &marks, QString &error)
{
    QVector<QPoint> result;
    const QStringList entries = text.split(QLatin1Char(';'));
    for (const QString &entry : entries) {
        if (entry.trimmed().isEmpty())
            continue;
        const QStringList xy = entry.split(QLatin1Char(','));
        int x = 0, y = 0;
        if (xy.size() != 2) {
            error =
                QStringLiteral("--marks needs X,Y pairs separated by \";\", not \"%1\"").arg(entry);
            return false;
        }
        if (!parseInteger(xy[0], QStringLiteral("--marks"), x, error) ||
            !parseInteger(xy[1], QStringLiteral("--marks"), y, error))
            return false;
        if (std::abs(x) > markCoordinateLimit || std::abs(y) > markCoordinateLimit) {
            error = QStringLiteral("--marks coordinates must lie within +-%1, not \"%2\"")
                        .arg(markCoordinateLimit)
                        .arg(entry);
            return false;
        }
        result.append(QPoint(x, y));
    }
    if (result.isEmpty()) {
        error = QStringLiteral("a mark job needs at least one mark in --marks");
        return false;
    }
    if (result.size() > maximumMarks) {
        error = QStringLiteral("a job has at most %1 marks, --marks gives %2")
                    .arg(maximumMarks)
                    .arg(result.size());
        return false;
    }
    std::stable_sort(result.begin(), result.end(), [](const QPoint &a, const QPoint &b) {
        return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
    });
    marks = result;
    return true;
}

bool parseBuildRequest(const QStringList &arguments, BuildRequest &request, QString &error)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addBuildOptions(parser);
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    BuildRequest r;
    if (parser.isSet(QStringLiteral("help"))) {
        r.helpAsked = true;
        request = r;
        return true;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1) {
        error = files.isEmpty() ? QStringLiteral("no cutting file given (cutjob build --help)")
                                : QStringLiteral("one cutting file expected, got %1: %2")
                                      .arg(files.size())
                                      .arg(files.join(QStringLiteral(", ")));
        return false;
    }
    r.cuttingFile = files.first();
    r.outputFile = parser.value(QStringLiteral("o"));
    if (parser.isSet(QStringLiteral("o")) && r.outputFile.isEmpty()) {
        error = QStringLiteral("-o needs a file name");
        return false;
    }
    if (!JobOptionParser::read(parser, r.job, error) || !readScale(parser, r.exportScale, error) ||
        !readPageSize(parser, r.frame, error) || !readMarkJobParts(parser, r, error))
        return false;
    request = r;
    return true;
}
