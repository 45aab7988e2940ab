// Whole jobs over TCP against the simulated cutter on 127.0.0.1: the bytes the cutter received,
// in order, the outcome and the sheet count left, for the cutter's replies and the user's stops.

#include "link/CutterConversation.h"
#include "link/TcpCutterPort.h"
#include "link/sim/CutterSimulatorServer.h"

#include <QTcpSocket>
#include <QTimer>
#include <QtTest>

namespace {

const QByteArray Header = "CMD:20,8000,6000,1120,200,0;";
const QByteArray MarkLine = "MD0,0,7000,5000,0;";
const QByteArray Body = "IN;PA;SP1;PU100,100;PD200,200;PU;SP2;PU300,300;PD400,400;PU;!PG;;";
const QByteArray BlankHeader = "CMD:20,8000,6000,0,0,1;";
const QByteArray BlankBody = "SP2;PU300,300;PD400,400;PU;!PG;;";
const QByteArray Trailer = "CMD:22,8000,6000;";
// Ends a run that would otherwise hang, so the test fails instead.
constexpr int WatchdogMs = 10000;

SheetJob markJob()
{
    return {Header, MarkLine, Body, Trailer, false};
}

SheetJob blankJob()
{
    return {BlankHeader, {}, BlankBody, Trailer, true};
}

// The expected stream from piece letters: H header, M mark line, B body, T trailer.
QByteArray stream(const QByteArray &letters, bool blank)
{
    QByteArray out;
    for (const char c : letters)
        out += c == 'H'   ? (blank ? BlankHeader : Header)
               : c == 'M' ? MarkLine
               : c == 'B' ? (blank ? BlankBody : Body)
               : c == 'T' ? Trailer
                          : QByteArray();
    return out;
}

enum class Interference
{
    None,
    StopDuringSheet2,       // first stop request while sheet 2 runs
    DoubleStopWhileWaiting, // two stop requests while the trailer's reply is awaited
    ServerGoneBeforeReconnect
};

} // namespace

Q_DECLARE_METATYPE(Interference)
Q_DECLARE_METATYPE(SendOutcome)

class TcpCutterPortTest : public QObject
{
    Q_OBJECT

private slots:
    void conversation_data();
    void conversation();
    void unreachablePort();
    void addressCheck_data();
    void addressCheck();
};

void TcpCutterPortTest::conversation_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<bool>("blank");
    QTest::addColumn<int>("count"); // -1: one sheet, no Auto-Next
    QTest::addColumn<Interference>("interference");
    QTest::addColumn<SendOutcome>("outcome");
    QTest::addColumn<QByteArray>("pieces");
    QTest::addColumn<int>("remaining");

    const auto none = Interference::None;
    QTest::newRow("single sheet: header, marks, body, trailer")
        << QByteArray() << false << -1 << none << SendOutcome::Done << QByteArray("HMBT") << -1;
    QTest::newRow("run of 3 sends 3 headers and leaves 0")
        << QByteArray() << false << 3 << none << SendOutcome::Done << QByteArray("HMBTHMBTHMBT")
        << 0;
    QTest::newRow("stop during sheet 2 of 3 leaves 1")
        << QByteArray() << false << 3 << Interference::StopDuringSheet2 << SendOutcome::Done
        << QByteArray("HMBTHMBT") << 1;
    QTest::newRow("count 0 sends nothing")
        << QByteArray() << false << 0 << none << SendOutcome::Done << QByteArray() << 0;
    QTest::newRow("MD_NG then close: reconnect, trailer, no body")
        << QByteArray("reply marks MD_NG; close") << false << -1 << none << SendOutcome::Done
        << QByteArray("HMT") << -1;
    QTest::newRow("MD_NG on sheet 2 of 3: the run goes on")
        << QByteArray("sheet 2 reply marks MD_NG; close") << false << 3 << none << SendOutcome::Done
        << QByteArray("HMBTHMTHMBT") << 0;
    QTest::newRow("reconnect impossible: ReconnectFailed")
        << QByteArray("reply marks MD_NG; close") << false << 2
        << Interference::ServerGoneBeforeReconnect << SendOutcome::ReconnectFailed
        << QByteArray("HM") << 2;
    QTest::newRow("reply with neither token: trailer without body")
        << QByteArray("reply marks HELLO;") << false << -1 << none << SendOutcome::Done
        << QByteArray("HMT") << -1;
    QTest::newRow("split MD_ + OK; counts as MD_OK;")
        << QByteArray("split marks MD_ OK;") << false << -1 << none << SendOutcome::Done
        << QByteArray("HMBT") << -1;
    QTest::newRow("MD_OK;MD_NG; counts as found")
        << QByteArray("reply marks MD_OK;MD_NG;") << false << -1 << none << SendOutcome::Done
        << QByteArray("HMBT") << -1;
    QTest::newRow("closed before answering the header: ConnectionLost")
        << QByteArray("close-after " + QByteArray::number(Header.size())) << false << 2 << none
        << SendOutcome::ConnectionLost << QByteArray("H") << 2;
    QTest::newRow("closed inside the body: ConnectionLost")
        << QByteArray("close-after " + QByteArray::number(Header.size() + MarkLine.size() + 20))
        << false << -1 << none << SendOutcome::ConnectionLost << (Header + MarkLine + Body.left(20))
        << -1;
    QTest::newRow("cutter gone between sheets: ConnectionLost, count kept")
        << QByteArray("sheet 1 reply trailer DONE; close") << false << 3 << none
        << SendOutcome::ConnectionLost << QByteArray("HMBT") << 2;
    QTest::newRow("second stop ends a silent wait: Stopped, count kept")
        << QByteArray("silent trailer") << false << 2 << Interference::DoubleStopWhileWaiting
        << SendOutcome::Stopped << QByteArray("HMBT") << 2;
    QTest::newRow("blank cut: header, body, trailer")
        << QByteArray() << true << -1 << none << SendOutcome::Done << QByteArray("HBT") << -1;
}

void TcpCutterPortTest::conversation()
{
    QFETCH(QByteArray, script);
    QFETCH(bool, blank);
    QFETCH(int, count);
    QFETCH(Interference, interference);
    QFETCH(SendOutcome, outcome);
    QFETCH(QByteArray, pieces);
    QFETCH(int, remaining);

    const Result<CutterScript> parsed = CutterScript::parse(script);
    QVERIFY2(parsed, qPrintable(parsed.error()));
    CutterSimulatorServer server(*parsed);
    QVERIFY(server.listen(0));

    QTcpSocket socket;
    ReplyBuffer buffer;
    TcpCutterPort port(socket, buffer, QStringLiteral("127.0.0.1"), server.port());
    port.gatherArrivals();
    QVERIFY(port.connectToCutter());

    CutterConversation conversation(port, CutterConversation::Transport::Tcp,
                                    blank ? blankJob() : markJob());
    conversation.setTiming({20, 50});
    bool keepGoing = true;
    conversation.onProgress = [&](int sheet, const QString &event) {
        if (interference == Interference::StopDuringSheet2 && sheet == 2 &&
            event.startsWith(QLatin1String("sending header"))) {
            keepGoing = false;
            QVERIFY(!conversation.requestStop());
        } else if (interference == Interference::DoubleStopWhileWaiting &&
                   event.startsWith(QLatin1String("sending trailer"))) {
            QTimer::singleShot(50, &socket, [&] {
                QVERIFY(!conversation.requestStop());
                QVERIFY(conversation.requestStop());
            });
        } else if (interference == Interference::ServerGoneBeforeReconnect &&
                   event == QLatin1String("connecting again")) {
            server.shutDown();
        }
    };
    bool timedOut = false;
    QTimer::singleShot(WatchdogMs, &socket, [&] {
        timedOut = true;
        socket.abort();
    });

    int left = count;
    const SendOutcome result =
        count < 0 ? conversation.runSheet()
                  : conversation.runSheets({[&] { return left; }, [&](int n) { left = n; },
                                            [&] { return keepGoing; }});
    port.close();
    QVERIFY(!timedOut);
    QCOMPARE(result, outcome);
    const QByteArray expected = pieces.contains(';') ? pieces : stream(pieces, blank);
    QTRY_COMPARE_WITH_TIMEOUT(server.received(), expected, 5000);
    if (count >= 0)
        QCOMPARE(left, remaining);
}

void TcpCutterPortTest::unreachablePort()
{
    // A port that was free a moment ago: nothing listens there any more.
    quint16 closedPort = 0;
    {
        CutterSimulatorServer server{CutterScript()};
        QVERIFY(server.listen(0));
        closedPort = server.port();
    }
    QTcpSocket socket;
    ReplyBuffer buffer;
    TcpCutterPort port(socket, buffer, QStringLiteral("127.0.0.1"), closedPort);
    QVERIFY(!port.connectToCutter());
    QVERIFY(!port.isPresent());
    QCOMPARE(port.send("CMD:22,1,1;"), PortStatus::Lost);
}

void TcpCutterPortTest::addressCheck_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("parsed"); // empty: refused
    QTest::newRow("the window's default") << "192.168.0.200"
                                          << "192.168.0.200";
    QTest::newRow("0.0.0.0") << "0.0.0.0"
                             << "0.0.0.0";
    QTest::newRow("255.255.255.255") << "255.255.255.255"
                                     << "255.255.255.255";
    QTest::newRow("leading zeros are decimal, not octal") << "010.010.010.010"
                                                          << "10.10.10.10";
    QTest::newRow("08 is eight, not a host name") << "192.168.0.08"
                                                  << "192.168.0.8";
    QTest::newRow("group above 255") << "256.1.1.1"
                                     << "";
    QTest::newRow("three groups") << "1.2.3"
                                  << "";
    QTest::newRow("trailing blank") << "127.0.0.1 "
                                    << "";
    QTest::newRow("trailing line break") << "127.0.0.1\n"
                                         << "";
    QTest::newRow("host name") << "localhost"
                               << "";
    QTest::newRow("IPv6 loopback") << "::1"
                                   << "";
    QTest::newRow("empty") << ""
                           << "";
}

// Checked on the parsed address: nothing is dialled.
void TcpCutterPortTest::addressCheck()
{
    QFETCH(QString, address);
    QFETCH(QString, parsed);
    QCOMPARE(TcpCutterPort::isValidAddress(address), !parsed.isEmpty());
    QCOMPARE(TcpCutterPort::parseAddress(address).toString(), parsed);
    QTcpSocket socket;
    ReplyBuffer buffer;
    QCOMPARE(TcpCutterPort(socket, buffer, address).peerAddress().toString(), parsed);
}

QTEST_MAIN(TcpCutterPortTest)
#include "tst_tcpcutterport.moc"
