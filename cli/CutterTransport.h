#pragma once
// The cutter a send command talks to, as given on the command line (--tcp ADDRESS[:PORT] or
// --usb NAME), and the port that carries the conversation once it is reached. `cutjob send` and
// `cutjob send-dialog` share it, so both check and report the same way.

#include "common/Result.h"
#include "link/CutterConversation.h"
#include "link/TcpCutterPort.h"
#include "link/UsbOperate.h"

#include <QByteArray>
#include <QString>
#include <QTcpSocket>

#include <memory>

class QCommandLineParser;

struct CutterTarget
{
    QString address; // --tcp, without the port; empty for USB
    quint16 port = TcpCutterPort::DefaultPort;
    QString usbName; // --usb
};

// Declares --tcp and --usb on a parser.
void addCutterTargetOptions(QCommandLineParser &parser);
// Reads exactly one of --tcp and --usb; fails with a message when neither, both, or a bad one.
Result<CutterTarget> readCutterTarget(const QCommandLineParser &parser);
// Declares and reads --count N (Auto-Next, N >= 0); -1, one sheet, without it.
void addSheetCountOption(QCommandLineParser &parser);
Result<int> readSheetCount(const QCommandLineParser &parser);

// The port the conversation runs over, connected or chosen.
struct CutterTransport
{
    QTcpSocket socket;
    ReplyBuffer buffer;
    std::unique_ptr<TcpCutterPort> tcp;
    std::unique_ptr<UsbOperate> usb;

    CutterPort &port() { return tcp ? static_cast<CutterPort &>(*tcp) : *usb; }
    CutterConversation::Transport kind() const
    {
        return tcp ? CutterConversation::Transport::Tcp : CutterConversation::Transport::Usb;
    }
    // Connects over TCP or checks the USB cutter; fails with the window's warning and the
    // reason when the cutter cannot be reached.
    Result<> open(const CutterTarget &target);
    void close();
};
