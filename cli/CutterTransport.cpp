#include "CutterTransport.h"

#include "JobOptionParser.h"
#include "link/LinkMessages.h"

#include <QCommandLineParser>

namespace {

Result<CutterTarget> readTcpTarget(const QString &value)
{
    CutterTarget target;
    const int colon = value.lastIndexOf(QLatin1Char(':'));
    target.address = colon < 0 ? value : value.left(colon);
    if (colon >= 0) {
        const Result<int> port =
            parseInteger(value.mid(colon + 1), QStringLiteral("the port of --tcp"));
        if (!port)
            return Failure{port.error()};
        if (*port < 1 || *port > 65535)
            return Failure{
                QStringLiteral("the port of --tcp must be 1 to 65535, not %1").arg(*port)};
        target.port = quint16(*port);
    }
    if (!TcpCutterPort::isValidAddress(target.address))
        return Failure{QStringLiteral("%1 (\"%2\" is no dotted IPv4 address such as 127.0.0.1)")
                           .arg(LinkMessage::badAddress(), target.address)};
    return target;
}

} // namespace

void addCutterTargetOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("tcp"), QString(), QStringLiteral("ADDRESS")});
    parser.addOption({QStringLiteral("usb"), QString(), QStringLiteral("NAME")});
}

Result<CutterTarget> readCutterTarget(const QCommandLineParser &parser)
{
    const bool tcp = parser.isSet(QStringLiteral("tcp"));
    if (tcp == parser.isSet(QStringLiteral("usb")))
        return Failure{QStringLiteral("give either --tcp ADDRESS[:PORT] or --usb NAME")};
    if (tcp)
        return readTcpTarget(parser.value(QStringLiteral("tcp")));
    CutterTarget target;
    target.usbName = parser.value(QStringLiteral("usb"));
    if (target.usbName.isEmpty())
        return Failure{QStringLiteral("--usb needs a cutter's name (see cutjob devices)")};
    return target;
}

void addSheetCountOption(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("count"), QString(), QStringLiteral("N")});
}

Result<int> readSheetCount(const QCommandLineParser &parser)
{
    if (!parser.isSet(QStringLiteral("count")))
        return -1;
    const Result<int> count =
        parseInteger(parser.value(QStringLiteral("count")), QStringLiteral("--count"));
    if (count && *count < 0)
        return Failure{QStringLiteral("--count must be 0 or more, not %1").arg(*count)};
    return count;
}

Result<> CutterTransport::open(const CutterTarget &target)
{
    if (target.usbName.isEmpty()) {
        tcp = std::make_unique<TcpCutterPort>(socket, buffer, target.address, target.port);
        tcp->gatherArrivals();
        if (tcp->connectToCutter())
            return {};
        return Failure{QStringLiteral("%1 (no connection to %2:%3 within %4 ms)")
                           .arg(LinkMessage::connectTimeout(), target.address)
                           .arg(target.port)
                           .arg(TcpCutterPort::ConnectTimeoutMs)};
    }
    usb = std::make_unique<UsbOperate>();
    switch (usb->probe(target.usbName)) {
    case UsbOperate::DeviceState::Present:
        usb->setDevice(target.usbName);
        return {};
    case UsbOperate::DeviceState::NoPermission:
        return Failure{QStringLiteral("%1 (%2 is attached, but this user may not open it: see "
                                      "the printer group in README.md)")
                           .arg(LinkMessage::noPermission(), target.usbName)};
    case UsbOperate::DeviceState::Absent:
        break;
    }
    return Failure{QStringLiteral("%1 (no cutter named \"%2\" is attached; see cutjob devices)")
                       .arg(LinkMessage::noCutter(), target.usbName)};
}

void CutterTransport::close()
{
    if (tcp)
        tcp->close();
}
