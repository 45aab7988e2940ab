// `cutjob inkscape-effect`: what the "Print & Cut" extensions of Inkscape run. Inkscape hands
// the drawing as a file and the dialog's fields as --name=value; this turns them into the
// `cutjob sheet` or `cutjob send-dialog` command that does the window's work, resolving every
// field left "as in the window" from the window's settings file at this moment.

#include "CliOutput.h"
#include "Subcommand.h"
#include "common/Result.h"
#include "link/LinkMessages.h"
#include "link/UsbOperate.h"
#include "settings/DataPaths.h"
#include "settings/WindowSettings.h"

#include <QHash>

namespace {

using Fields = QHash<QString, QString>;

struct EffectCall
{
    QString action;
    QString drawing;
    Fields fields;
};

// Inkscape adds fields of its own (--id, --selected-nodes, notebook pages); those are not ours
// to judge, so fields are only looked up, never checked for strangers.
Result<EffectCall> parseCall(const QStringList &arguments)
{
    EffectCall call;
    for (const QString &argument : arguments.mid(1)) {
        const int equals = argument.indexOf(QLatin1Char('='));
        if (argument.startsWith(QLatin1String("--")) && equals > 2)
            call.fields.insert(argument.mid(2, equals - 2), argument.mid(equals + 1));
        else
            call.drawing = argument; // Inkscape gives the drawing last
    }
    call.action = call.fields.value(QStringLiteral("action"));
    if (call.drawing.isEmpty())
        return Failure{
            QStringLiteral("no drawing given (cutjob inkscape-effect is run by Inkscape)")};
    return call;
}

class Resolver
{
public:
    Resolver(const Fields &fields, const WindowSettings &window) : fields(fields), window(window) {}

    // A three-way field: "window" (or absent) takes the window's value, "on" and "off" decide.
    struct Switch
    {
        bool on;
        bool fromWindow;
    };
    Result<Switch> choice(const QString &name, bool windowValue) const
    {
        const QString value = fields.value(name, QStringLiteral("window"));
        if (value == QLatin1String("window"))
            return Switch{windowValue, true};
        if (value == QLatin1String("on") || value == QLatin1String("off"))
            return Switch{value == QLatin1String("on"), false};
        return Failure{QStringLiteral("%1 must be window, on or off, not \"%2\"").arg(name, value)};
    }

    // A millimetre field within its box's range; absent gives the box's default.
    Result<double> length(const QString &name, const NumberSetting &range) const
    {
        if (!fields.contains(name))
            return range.value;
        bool ok = false;
        const double v = fields.value(name).toDouble(&ok);
        if (ok && v >= range.min && v <= range.max)
            return v;
        return Failure{QStringLiteral("%1 must be %2 to %3 mm, not \"%4\"")
                           .arg(name)
                           .arg(range.min)
                           .arg(range.max)
                           .arg(fields.value(name))};
    }

    bool asInWindow(const QString &name) const
    {
        return fields.value(name, QStringLiteral("true")) != QLatin1String("false");
    }

    // The job options of `cutjob sheet`, every one given so nothing falls to its own default.
    Result<> jobOptions(QStringList &out) const
    {
        const auto blank = choice(QStringLiteral("blank"), window.blankCut);
        const auto sort = choice(QStringLiteral("sort"), window.autoSort);
        const auto knife = choice(QStringLiteral("knife"), window.knifeOffsetOn);
        const auto knifeMm = length(QStringLiteral("knife_mm"), Setting::KnifeOffset);
        const auto overcut = choice(QStringLiteral("overcut"), window.closeOffsetOn);
        const auto overcutMm = length(QStringLiteral("overcut_mm"), Setting::CloseOffset);
        const auto dash = length(QStringLiteral("dash_mm"), Setting::PosLen);
        const auto gap = length(QStringLiteral("gap_mm"), Setting::NegLen);
        const auto rmx = length(QStringLiteral("rmx"), Setting::RealM2X);
        const auto rmy = length(QStringLiteral("rmy"), Setting::RealM2Y);
        // "Cut order": the Auto-Sort field's choice, or the shortest travel.
        const QString order = fields.value(QStringLiteral("order"), QStringLiteral("sort"));
        if (order != QLatin1String("sort") && order != QLatin1String("shortest"))
            return Failure{QStringLiteral("order must be sort or shortest, not \"%1\"").arg(order)};
        // The first field that is wrong, in the dialog's order.
        for (const QString *fieldError :
             {&blank.error(), &sort.error(), &knife.error(), &knifeMm.error(), &overcut.error(),
              &overcutMm.error(), &dash.error(), &gap.error(), &rmx.error(), &rmy.error()}) {
            if (!fieldError->isEmpty())
                return Failure{*fieldError};
        }
        const bool ownDash = !asInWindow(QStringLiteral("dash_window"));
        const bool ownMarks = !asInWindow(QStringLiteral("marks_window"));
        const auto number = [](double v) { return QString::number(v, 'g', 10); };
        if (blank->on)
            out << QStringLiteral("--blank");
        if (order == QLatin1String("shortest"))
            out << QStringLiteral("--order") << order;
        else if (sort->on)
            out << QStringLiteral("--sort");
        if (knife->on)
            out << QStringLiteral("--knife")
                << number(knife->fromWindow ? window.knifeOffsetMm : *knifeMm);
        if (overcut->on)
            out << QStringLiteral("--overcut")
                << number(overcut->fromWindow ? window.closeOffsetMm : *overcutMm);
        out << QStringLiteral("--dash") << number(ownDash ? *dash : window.posLenMm)
            << QStringLiteral("--gap") << number(ownDash ? *gap : window.negLenMm)
            << QStringLiteral("--rmx") << number(ownMarks ? *rmx : window.realM2XMm)
            << QStringLiteral("--rmy") << number(ownMarks ? *rmy : window.realM2YMm);
        return {};
    }

    const Fields &fields;
    const WindowSettings &window;
};

Result<> outputFile(const Fields &fields, const QString &name, const QString &what,
                    QStringList &out, const QString &option)
{
    const QString path = fields.value(name);
    if (path.isEmpty())
        return Failure{QStringLiteral("choose the %1 in the extension's dialog first").arg(what)};
    out << option << path;
    return {};
}

Result<> cutterTarget(const Resolver &resolve, QStringList &out)
{
    const QString transport =
        resolve.fields.value(QStringLiteral("transport"), QStringLiteral("window"));
    const bool tcp = transport == QLatin1String("window") ? resolve.window.useRJ45
                                                          : transport == QLatin1String("tcp");
    if (tcp) {
        const QString address = resolve.fields.value(QStringLiteral("address")).trimmed();
        out << QStringLiteral("--tcp") << (address.isEmpty() ? resolve.window.ipAddress : address);
    } else {
        QString device = resolve.fields.value(QStringLiteral("device")).trimmed();
        // The window's machine list shows the first attached cutter unless the user picks one.
        if (device.isEmpty())
            device = UsbOperate().attachedDevices().value(0);
        if (device.isEmpty())
            return Failure{LinkMessage::noCutter()};
        out << QStringLiteral("--usb") << device;
    }
    const auto autoNext = resolve.choice(QStringLiteral("auto_next"), resolve.window.conSend);
    if (!autoNext)
        return Failure{autoNext.error()};
    if (autoNext->on)
        out << QStringLiteral("--count")
            << resolve.fields.value(QStringLiteral("count"),
                                    QString::number(resolve.window.sendCount));
    return {};
}

// The command line that does the action, without the leading "cutjob"; fails with a message
// when a field is wrong.
Result<QStringList> commandFor(const EffectCall &call, const WindowSettings &window)
{
    const Resolver resolve(call.fields, window);
    QStringList args{QStringLiteral("cutjob sheet"), call.drawing};
    Result<> resolved;
    if (call.action == QLatin1String("add-marks")) {
        args << QStringLiteral("--add-marks");
    } else if (call.action == QLatin1String("boundary")) {
        const auto edge = resolve.choice(QStringLiteral("create_edge"), window.createEdge);
        if (!edge)
            return Failure{edge.error()};
        args << (edge->on ? QStringLiteral("--boundary") : QStringLiteral("--cutting-layer"));
        const QString offset = call.fields.value(QStringLiteral("boundary_offset"));
        if (edge->on && !offset.isEmpty() && offset.toDouble() != 0.0)
            args << QStringLiteral("--boundary-offset") << offset;
        const QString bleed = call.fields.value(QStringLiteral("bleed"));
        if (edge->on && !bleed.isEmpty() && bleed.toDouble() != 0.0)
            args << QStringLiteral("--bleed") << bleed;
    } else if (call.action == QLatin1String("pdf")) {
        resolved = outputFile(call.fields, QStringLiteral("pdf_file"), QStringLiteral("PDF file"),
                              args, QStringLiteral("--pdf"));
    } else if (call.action == QLatin1String("job")) {
        resolved = outputFile(call.fields, QStringLiteral("job_file"), QStringLiteral("job file"),
                              args, QStringLiteral("--job"));
        if (resolved)
            resolved = resolve.jobOptions(args);
    } else if (call.action == QLatin1String("send")) {
        args = QStringList{QStringLiteral("cutjob send-dialog"), call.drawing};
        resolved = resolve.jobOptions(args);
        if (resolved)
            resolved = cutterTarget(resolve, args);
    } else {
        return Failure{QStringLiteral("unknown action \"%1\"").arg(call.action)};
    }
    if (!resolved)
        return Failure{resolved.error()};
    // Sending changes nothing in the drawing, so Inkscape gets nothing back to replace it.
    if (call.action != QLatin1String("send"))
        args << QStringLiteral("--save-document") << QStringLiteral("-");
    return args;
}

} // namespace

int runInkscapeEffectCommand(const QStringList &arguments)
{
    // Inkscape shows standard error as it is; the window's texts read best without our name.
    setErrorPrefix(QByteArray());
    setArtUnderMarksReported(false);
    const Result<EffectCall> call = parseCall(arguments);
    if (!call) {
        printError(call.error());
        return 1;
    }
    const WindowSettings window = readWindowSettings(DataPaths::forThisPlatform().configPath);
    const Result<QStringList> command = commandFor(*call, window);
    if (!command) {
        printError(command.error());
        return 1;
    }
    return call->action == QLatin1String("send") ? runSendDialogCommand(*command)
                                                 : runSheetCommand(*command);
}
