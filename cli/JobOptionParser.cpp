#include "JobOptionParser.h"

#include <QCommandLineParser>

#include <cmath>

namespace {

// Reads one optional millimetre value; `minimumExclusive` tells whether the bound itself is bad.
bool readLength(const QCommandLineParser &parser, const QString &name, double minimum,
                bool minimumExclusive, double &value, QString &error)
{
    if (!parser.isSet(name))
        return true;
    const QString what = QStringLiteral("--") + name;
    double v = 0.0;
    if (!parseFiniteNumber(parser.value(name), what, v, error))
        return false;
    if (minimumExclusive ? v <= minimum : v < minimum) {
        error = QStringLiteral("%1 must be %2 %3 mm, not %4")
                    .arg(what, minimumExclusive ? QStringLiteral("greater than")
                                                : QStringLiteral("at least"))
                    .arg(minimum)
                    .arg(parser.value(name));
        return false;
    }
    value = v;
    return true;
}

// The mark distances go into the header as printed numbers; the window's boxes keep them in
// these ranges, where they print as plain numbers the cutter reads (never "4e+301").
bool readMarkDistance(const QCommandLineParser &parser, const QString &name, double minimum,
                      double maximum, double &value, QString &error)
{
    double v = value;
    if (!readLength(parser, name, minimum, false, v, error))
        return false;
    if (v > maximum) {
        error = QStringLiteral("--%1 must be %2 to %3 mm, not %4")
                    .arg(name)
                    .arg(minimum)
                    .arg(maximum)
                    .arg(parser.value(name));
        return false;
    }
    value = v;
    return true;
}

} // namespace

bool parseFiniteNumber(const QString &text, const QString &what, double &value, QString &error)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v)) {
        error = QStringLiteral("%1 needs a finite number, not \"%2\"").arg(what, text);
        return false;
    }
    value = v;
    return true;
}

bool parseInteger(const QString &text, const QString &what, int &value, QString &error)
{
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok) {
        error = QStringLiteral("%1 needs a whole number, not \"%2\"").arg(what, text);
        return false;
    }
    value = v;
    return true;
}

JobOptions toJobOptions(const JobOptionValues &values, double exportScale)
{
    // The window multiplies its millimetre boxes by the same factor.
    constexpr double unitsPerMm = 40.0;
    JobOptions options;
    options.autoSort = values.autoSort;
    options.knifeOffset = values.knifeOffsetOn ? values.knifeOffsetMm * unitsPerMm : 0.0;
    options.overcut = values.overcutOn ? values.overcutMm * unitsPerMm : 0.0;
    options.dash = values.dashMm * unitsPerMm;
    options.gap = values.gapMm * unitsPerMm;
    options.exportScale = exportScale;
    options.realM2X = values.realM2XMm;
    options.realM2Y = values.realM2YMm;
    return options;
}

void JobOptionParser::addOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("blank"), QStringLiteral("Blank-cut job.")});
    parser.addOption({QStringLiteral("sort"), QStringLiteral("Auto sort.")});
    parser.addOption(
        {QStringLiteral("knife"), QStringLiteral("Knife offset."), QStringLiteral("MM")});
    parser.addOption({QStringLiteral("overcut"), QStringLiteral("Overcut."), QStringLiteral("MM")});
    parser.addOption(
        {QStringLiteral("dash"), QStringLiteral("Dash length."), QStringLiteral("MM")});
    parser.addOption({QStringLiteral("gap"), QStringLiteral("Gap length."), QStringLiteral("MM")});
    parser.addOption(
        {QStringLiteral("rmx"), QStringLiteral("RMX distance."), QStringLiteral("MM")});
    parser.addOption(
        {QStringLiteral("rmy"), QStringLiteral("RMY distance."), QStringLiteral("MM")});
}

bool JobOptionParser::read(const QCommandLineParser &parser, JobOptionValues &values,
                           QString &error)
{
    JobOptionValues v;
    v.blankCut = parser.isSet(QStringLiteral("blank"));
    v.autoSort = parser.isSet(QStringLiteral("sort"));
    v.knifeOffsetOn = parser.isSet(QStringLiteral("knife"));
    v.overcutOn = parser.isSet(QStringLiteral("overcut"));
    const bool ok =
        readLength(parser, QStringLiteral("knife"), 0.0, false, v.knifeOffsetMm, error) &&
        readLength(parser, QStringLiteral("overcut"), 0.0, false, v.overcutMm, error) &&
        readLength(parser, QStringLiteral("dash"), 0.0, true, v.dashMm, error) &&
        readLength(parser, QStringLiteral("gap"), 0.0, true, v.gapMm, error) &&
        readMarkDistance(parser, QStringLiteral("rmx"), 17.5, 27.5, v.realM2XMm, error) &&
        readMarkDistance(parser, QStringLiteral("rmy"), 3.5, 13.5, v.realM2YMm, error);
    if (!ok)
        return false;
    values = v;
    return true;
}

QString JobOptionParser::helpText()
{
    return QStringLiteral(
        "  --blank                 blank-cut job (no marks); default is a mark job\n"
        "  --sort                  auto sort: rows from the top of the sheet down, serpentine\n"
        "  --knife MM              knife offset on, with this value (absent: off); MM >= 0\n"
        "  --overcut MM            overcut on, with this value (absent: off); MM >= 0\n"
        "  --dash MM --gap MM      dash and gap of dashed paths, both > 0 (defaults 10.0 and "
        "0.1)\n"
        "  --rmx MM --rmy MM       mark distances of the job header, 17.5 to 27.5 and 3.5 to\n"
        "                          13.5 as in the window (defaults 22.5 and 8.5)\n");
}
