// `cutjob devices`: the cutters attached by USB, one per line, with the instance name the
// window's machine list and `cutjob send --usb` take, the device node, and whether we may open
// it.

#include "CliOutput.h"
#include "Subcommand.h"
#include "link/UsbOperate.h"

#include <QCommandLineParser>

namespace {

QString devicesHelpText()
{
    return QStringLiteral(
        "Usage: cutjob devices\n"
        "\n"
        "Lists the cutters attached by USB, one per line, separated by tabs:\n"
        "  NAME    the instance name (the serial number, else the USB port path), as the\n"
        "          window's machine list shows it and `cutjob send --usb NAME` takes it\n"
        "  NODE    the device node the cutter is reached through\n"
        "  STATE   \"ok\", or why it cannot be opened\n"
        "\n"
        "  -h, --help   show this text\n"
        "\n"
        "Exit status 0 when at least one cutter is attached; 1 with a message on standard\n"
        "error when none is, or on bad arguments.\n");
}

QString stateText(UsbOperate::DeviceState state)
{
    switch (state) {
    case UsbOperate::DeviceState::Present:
        return QStringLiteral("ok");
    case UsbOperate::DeviceState::NoPermission:
        return QStringLiteral("no permission: add yourself to group lp "
                              "(sudo usermod -aG lp $USER) and log in again");
    case UsbOperate::DeviceState::Absent:
        break;
    }
    return QStringLiteral("gone (unplugged while listing)");
}

} // namespace

int runDevicesCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    if (!parser.parse(arguments)) {
        printError(parser.errorText());
        return 1;
    }
    if (parser.isSet(QStringLiteral("help")))
        return writeStandardOutput({devicesHelpText().toUtf8()}) ? 0 : 1;
    if (!parser.positionalArguments().isEmpty()) {
        printError(QStringLiteral("devices takes no arguments (cutjob devices --help)"));
        return 1;
    }

    UsbOperate usb;
    const QStringList names = usb.attachedDevices();
    if (names.isEmpty()) {
        printError(QStringLiteral("no cutter attached"));
        return 1;
    }
    QByteArrayList lines;
    for (const QString &name : names) {
        const QString line = name + QLatin1Char('\t') + usb.deviceNode(name) + QLatin1Char('\t') +
                             stateText(usb.probe(name)) + QLatin1Char('\n');
        lines.append(line.toUtf8());
    }
    return writeStandardOutput(lines) ? 0 : 1;
}
