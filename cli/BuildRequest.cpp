#include "BuildRequest.h"

#include <QCommandLineParser>

#include <algorithm>
#include <cstdlib>

namespace {

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

Result<> readPageSize(const QCommandLineParser &parser, JobFrame &frame)
{
    const QString height = QStringLiteral("page-height"), width = QStringLiteral("page-width");
    if (!parser.isSet(height) || !parser.isSet(width))
        return Failure{QStringLiteral("--page-height and --page-width are both required")};
    const Result<int> h = parseInteger(parser.value(height), QStringLiteral("--page-height"));
    if (!h)
        return Failure{h.error()};
    const Result<int> w = parseInteger(parser.value(width), QStringLiteral("--page-width"));
    if (!w)
        return Failure{w.error()};
    if (*h <= 0 || *w <= 0)
        return Failure{
            QStringLiteral("the page size must be positive, not %1 x %2").arg(*h).arg(*w)};
    frame.pageHeight = *h;
    frame.pageWidth = *w;
    return {};
}

// Marks, extra-mark code and creasing file belong to a mark job only; in a blank-cut job they
// would be dropped without a word, so they are refused instead.
Result<> readMarkJobParts(const QCommandLineParser &parser, BuildRequest &request)
{
    const QStringList markOnly = {QStringLiteral("marks"), QStringLiteral("extra"),
                                  QStringLiteral("creasing")};
    if (request.job.blankCut) {
        for (const QString &name : markOnly) {
            if (parser.isSet(name))
                return Failure{
                    QStringLiteral("--%1 belongs to a mark job, not to --blank").arg(name)};
        }
        return {};
    }
    if (!parser.isSet(QStringLiteral("marks")))
        return Failure{QStringLiteral("a mark job needs --marks (or --blank for a blank-cut job)")};
    const Result<QVector<QPoint>> marks = parseMarkList(parser.value(QStringLiteral("marks")));
    if (!marks)
        return Failure{marks.error()};
    request.frame.marks = *marks;
    if (parser.isSet(QStringLiteral("extra"))) {
        const Result<int> extra =
            parseInteger(parser.value(QStringLiteral("extra")), QStringLiteral("--extra"));
        if (!extra)
            return Failure{extra.error()};
        if (*extra < 0 || *extra > 2)
            return Failure{QStringLiteral("--extra must be 0, 1 or 2, not %1").arg(*extra)};
        request.frame.extraMark = *extra;
    }
    request.creasingFile = parser.value(QStringLiteral("creasing"));
    return {};
}

Result<> readScale(const QCommandLineParser &parser, double &scale)
{
    if (!parser.isSet(QStringLiteral("scale")))
        return {};
    const QString text = parser.value(QStringLiteral("scale"));
    const Result<double> read = parseFiniteNumber(text, QStringLiteral("--scale"));
    if (!read)
        return Failure{read.error()};
    if (*read <= 0.0)
        return Failure{QStringLiteral("--scale must be greater than 0, not %1").arg(text)};
    scale = *read;
    return {};
}

} // namespace

Result<QVector<QPoint>> parseMarkList(const QString &text)
{
    QVector<QPoint> result;
    const QStringList entries = text.split(QLatin1Char(';'));
    for (const QString &entry : entries) {
        if (entry.trimmed().isEmpty())
            continue;
        const QStringList xy = entry.split(QLatin1Char(','));
        if (xy.size() != 2)
            return Failure{QStringLiteral("--marks needs X,Y pairs separated by \";\", not \"%1\"")
                               .arg(entry)};
        const Result<int> x = parseInteger(xy[0], QStringLiteral("--marks"));
        if (!x)
            return Failure{x.error()};
        const Result<int> y = parseInteger(xy[1], QStringLiteral("--marks"));
        if (!y)
            return Failure{y.error()};
        if (std::abs(*x) > markCoordinateLimit || std::abs(*y) > markCoordinateLimit)
            return Failure{QStringLiteral("--marks coordinates must lie within +-%1, not \"%2\"")
                               .arg(markCoordinateLimit)
                               .arg(entry)};
        result.append(QPoint(*x, *y));
    }
    if (result.isEmpty())
        return Failure{QStringLiteral("a mark job needs at least one mark in --marks")};
    if (result.size() > MAX_MARKS)
        return Failure{QStringLiteral("a job has at most %1 marks, --marks gives %2")
                           .arg(MAX_MARKS)
                           .arg(result.size())};
    std::stable_sort(result.begin(), result.end(), [](const QPoint &a, const QPoint &b) {
        return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
    });
    return result;
}

Result<BuildRequest> parseBuildRequest(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addBuildOptions(parser);
    if (!parser.parse(arguments))
        return Failure{parser.errorText()};
    BuildRequest r;
    if (parser.isSet(QStringLiteral("help"))) {
        r.helpAsked = true;
        return r;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return Failure{files.isEmpty()
                           ? QStringLiteral("no cutting file given (cutjob build --help)")
                           : QStringLiteral("one cutting file expected, got %1: %2")
                                 .arg(files.size())
                                 .arg(files.join(QStringLiteral(", ")))};
    r.cuttingFile = files.first();
    r.outputFile = parser.value(QStringLiteral("o"));
    if (parser.isSet(QStringLiteral("o")) && r.outputFile.isEmpty())
        return Failure{QStringLiteral("-o needs a file name")};
    const Result<JobSettings> job = JobOptionParser::read(parser);
    if (!job)
        return Failure{job.error()};
    r.job = *job;
    if (const Result<> read = readScale(parser, r.exportScale); !read)
        return Failure{read.error()};
    if (const Result<> read = readPageSize(parser, r.frame); !read)
        return Failure{read.error()};
    if (const Result<> read = readMarkJobParts(parser, r); !read)
        return Failure{read.error()};
    return r;
}
