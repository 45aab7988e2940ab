#include "JobOptionParser.h"

#include "settings/Settings.h"

#include <QCommandLineParser>

#include <cmath>

namespace {

// What a length option may hold: the window box's range; `offAllowed` admits 0 as "off" for
// the two offsets, whose boxes have a check box beside them; `onStep` asks for a multiple of the
// box's step where the cutter reads the value as a whole field of the header.
struct LengthRule
{
    const char *name;
    NumberSetting range;
    bool offAllowed;
    bool onStep;
};

bool isOnStep(double value, const NumberSetting &range)
{
    const double steps = value / range.step;
    return std::fabs(steps - std::round(steps)) < 1e-9;
}

QString ruleText(const LengthRule &rule)
{
    QString text = QStringLiteral("%1 to %2 mm").arg(rule.range.min).arg(rule.range.max);
    if (rule.onStep)
        text += QStringLiteral(" in steps of %1").arg(rule.range.step);
    return rule.offAllowed ? QStringLiteral("0 (off) or ") + text : text;
}

// Reads one optional millimetre value into `value`; absent leaves it as it is.
Result<> readLength(const QCommandLineParser &parser, const LengthRule &rule, double &value)
{
    const QString name = QLatin1String(rule.name);
    if (!parser.isSet(name))
        return {};
    const QString what = QStringLiteral("--") + name;
    const QString text = parser.value(name);
    const Result<double> number = parseFiniteNumber(text, what);
    if (!number)
        return Failure{number.error()};
    const double v = *number;
    const bool inRange = v >= rule.range.min && v <= rule.range.max;
    if (!(rule.offAllowed && v == 0.0) && (!inRange || (rule.onStep && !isOnStep(v, rule.range))))
        return Failure{QStringLiteral("%1 must be %2, not %3").arg(what, ruleText(rule), text)};
    value = v;
    return {};
}

// --sort is the older name of --order serpentine.
Result<> readOrder(const QCommandLineParser &parser, JobSettings &settings)
{
    const bool sort = parser.isSet(QStringLiteral("sort"));
    if (!parser.isSet(QStringLiteral("order"))) {
        settings.autoSort = sort;
        return {};
    }
    const QString order = parser.value(QStringLiteral("order"));
    settings.autoSort = order == QLatin1String("serpentine");
    settings.shortestOrder = order == QLatin1String("shortest");
    if (!settings.autoSort && !settings.shortestOrder)
        return Failure{
            QStringLiteral("--order must be serpentine or shortest, not \"%1\"").arg(order)};
    if (sort && settings.shortestOrder)
        return Failure{QStringLiteral("--sort is --order serpentine; give one order only")};
    return {};
}

} // namespace

Result<double> parseFiniteNumber(const QString &text, const QString &what)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return Failure{QStringLiteral("%1 needs a finite number, not \"%2\"").arg(what, text)};
    return v;
}

Result<int> parseInteger(const QString &text, const QString &what)
{
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok)
        return Failure{QStringLiteral("%1 needs a whole number, not \"%2\"").arg(what, text)};
    return v;
}

void JobOptionParser::addOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("blank"), QStringLiteral("Blank-cut job.")});
    parser.addOption({QStringLiteral("sort"), QStringLiteral("Auto sort.")});
    parser.addOption(
        {QStringLiteral("order"), QStringLiteral("Cut order."), QStringLiteral("ORDER")});
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

Result<JobSettings> JobOptionParser::read(const QCommandLineParser &parser)
{
    JobSettings settings;
    settings.blankCut = parser.isSet(QStringLiteral("blank"));
    if (const Result<> order = readOrder(parser, settings); !order)
        return Failure{order.error()};
    settings.knifeOffsetOn = parser.isSet(QStringLiteral("knife"));
    settings.overcutOn = parser.isSet(QStringLiteral("overcut"));
    const std::pair<LengthRule, double *> lengths[] = {
        {{"knife", Setting::KnifeOffset, true, false}, &settings.knifeOffsetMm},
        {{"overcut", Setting::CloseOffset, true, false}, &settings.overcutMm},
        {{"dash", Setting::PosLen, false, false}, &settings.dashMm},
        {{"gap", Setting::NegLen, false, false}, &settings.gapMm},
        {{"rmx", Setting::RealM2X, false, true}, &settings.realM2XMm},
        {{"rmy", Setting::RealM2Y, false, true}, &settings.realM2YMm}};
    for (const auto &[rule, value] : lengths) {
        if (const Result<> read = readLength(parser, rule, *value); !read)
            return Failure{read.error()};
    }
    return settings;
}

QString JobOptionParser::helpText()
{
    const QString order = QStringLiteral(
        "  --blank                 blank-cut job (no marks); default is a mark job\n"
        "  --order serpentine      auto sort: rows from the top of the sheet down, serpentine\n"
        "                          (--sort is the same)\n"
        "  --order shortest        each pen's paths in the order of shortest pen-up travel\n"
        "                          (nearest neighbour, then 2-opt), closed contours started\n"
        "                          at the vertex nearest the knife\n"
        "                          (absent: the paths in the order of the file)\n");
    const QString offsets = QStringLiteral(
        "  --knife MM              knife offset on, with this value (absent: off); %1 to %2,\n"
        "                          or 0 for on without an offset\n"
        "  --overcut MM            overcut on, with this value (absent: off); %3 to %4, or 0\n");
    const QString dash = QStringLiteral(
        "  --dash MM --gap MM      dash and gap of dashed paths, %1 to %2 and %3 to %4\n"
        "                          (defaults %5 and %6)\n");
    const QString marks = QStringLiteral(
        "  --rmx MM --rmy MM       mark distances of the job header, %1 to %2 and %3 to\n"
        "                          %4 in steps of %5 as in the window (defaults %6 and %7)\n");
    using namespace Setting;
    const auto n = [](double v) { return QString::number(v); };
    const auto mm = [](double v) { return QString::number(v, 'f', 1); };
    return order +
           offsets.arg(n(KnifeOffset.min), n(KnifeOffset.max), n(CloseOffset.min),
                       n(CloseOffset.max)) +
           dash.arg(n(PosLen.min), n(PosLen.max), n(NegLen.min), n(NegLen.max), mm(PosLen.value),
                    mm(NegLen.value)) +
           marks.arg(n(RealM2X.min), n(RealM2X.max), n(RealM2Y.min), n(RealM2Y.max),
                     n(RealM2X.step), mm(RealM2X.value), mm(RealM2Y.value));
}
