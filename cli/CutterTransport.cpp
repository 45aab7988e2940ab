#include "CutterTransport.h"

#include "JobOptionParser.h"
#include "link/LinkMessages.h"

#include <QCommandLineParser>

namespace {

bool readTcpTarget(const QString &value, CutterTarget &target, QString &error)
{
    const int colon = value.lastIndexOf(QLatin1Char(':'));
    target.address = colon < 0 ? value : value.left(colon);
    if (colon >= 0) {
        int port = 0;
        if (!parseInteger(value.mid(colon + 1), QStringLiteral("the port of --tcp"), port, error))
            return false;
        if (port < 1 || port > 65535) {
            error = QStringLiteral("the port of --tcp must be 1 to 65535, not %1").arg(port);
            return false;
        }
        target.port = quint16(port);
    }
    if (!TcpCutterPort::isValidAddress(target.address)) {
        error = QStringLiteral("%1 (\"%2\" is no dotted IPv4 address such as 127.0.0.1)")
                    .arg(LinkMessage::badAddress(), target.address);
        return false;
    }
    return true;
}

} // namespace

void addCutterTargetOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("tcp"), QString(), QStringLiteral("ADDRESS")});
    parser.addOption({QStringLiteral("usb"), QString(), QStringLiteral("NAME")});
}

bool readCutterTarget(const QCommandLineParser &parser, CutterTarget &target, QString &error)
{
    const bool tcp = parser.isSet(QStringLiteral("tcp"));
    if (tcp == parser.isSet(QStringLiteral("usb"))) {
        error = QStringLiteral("give either --tcp ADDRESS[:PORT] or --usb NAME");
        return false;
    }
    target.usbName = parser.value(QStringLiteral("usb"));
    if (!tcp && target.usbName.isEmpty()) {
        error = QStringLiteral("--usb needs a cutter's name (see cutjob devices)");
        return false;
    }
    return !tcp || readTcpTarget(parser.value(QStringLiteral("tcp")), target, error);
}

void addSheetCountOption(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("count"), QString(), QStringLiteral("N")});
}

bool readSheetCount(const QCommandLineParser &parser, int &count, QString &error)
{
    if (!parser.isSet(QStringLiteral("count")))
        return true;
    if (!parseInteger(parser.value(QStringLiteral("count")), QStringLiteral("--count"), count,
                      error))
        return false;
    if (count < 0) {
        error = QStringLiteral("--count must be 0 or more, not %1").arg(count);
        return false;
    }
    return true;
}

bool CutterTransport::open(const CutterTarget &target, QString &error)
{
    if (target.usbName.isEmpty()) {
        tcp = std::make_unique<TcpCutterPort>(socket, buffer, target.address, target.port);
        tcp->gatherArrivals();
        if (tcp->connectToCutter())
            return true;
        error = QStringLiteral("%1 (no connection to %2:%3 within %4 ms)")
                    .arg(LinkMessage::connectTimeout(), target.address)
                    .arg(target.port)
                    .arg(TcpCutterPort::ConnectTimeoutMs);
        return false;
    }
    usb = std::make_unique<UsbOperate>();
    switch (usb->probe(target.usbName)) {
    case UsbOperate::DeviceState::Present:
        usb->setDevice(target.usbName);
        return true;
    case UsbOperate::DeviceState::NoPermission:
        error = QStringLiteral("%1 (%2 is attached, but this user may not open it: see the "
                               "printer group in README.md)")
                    .arg(LinkMessage::noPermission(), target.usbName);
        return false;
    case UsbOperate::DeviceState::Absent:
        break;
    }
    error = QStringLiteral("%1 (no cutter named \"%2\" is attached; see cutjob devices)")
                .arg(LinkMessage::noCutter(), target.usbName);
    return false;
}

void CutterTransport::close()
{
    if (tcp)
        tcp->close();
}
