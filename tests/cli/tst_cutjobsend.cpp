// `cutjob send` and `cutjob simulate` as a user runs them, over loopback only: jobs made by
// `cutjob sheet` reach the simulated cutter byte for byte, and every way a send can fail before
// or during the job ends with its message and a non-zero exit, never a hang.

#include "CutjobRunner.h"
#include "UsbTestBed.h"
#include "link/sim/SimulatedCutter.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <unistd.h>

namespace {

const QString Sheet = QStringLiteral(VX_TEST_DATA_DIR "/job/label-sheet.svg");
const QString Scripts = QStringLiteral(VX_TEST_DATA_DIR "/link/");
constexpr int StartTimeoutMs = 30000;
const QByteArray StopAfterSheetText = "将于本张切割结束后停止";

} // namespace

class CutjobSendTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void send_data();
    void send();
    void stopEndsSilentWait_data();
    void stopEndsSilentWait();
    void floodWithoutEnd();
    void overUsb();
    void language_data();
    void language();

private:
    QTemporaryDir dir;
};

void CutjobSendTest::initTestCase()
{
    QVERIFY(dir.isValid());
    // The messages are Chinese; a C locale would print them as '?'.
    qputenv("LC_ALL", "C.UTF-8");
    const CutjobRun mark =
        runCutjob({"sheet", Sheet, "--add-marks", "--job", "mark.plt"}, dir.path());
    QVERIFY2(mark.finished && mark.exitCode == 0, mark.err.constData());
    const CutjobRun blank =
        runCutjob({"sheet", Sheet, "--blank", "--job", "blank.plt"}, dir.path());
    QVERIFY2(blank.finished && blank.exitCode == 0, blank.err.constData());
    const QByteArray job = readFile(dir.filePath("mark.plt"));
    QVERIFY(!job.isEmpty());
    // A save cut short, as a full disk or a copy stopped half-way leaves it.
    QFile truncated(dir.filePath("truncated.plt"));
    QVERIFY(truncated.open(QIODevice::WriteOnly));
    truncated.write(job.left(job.size() / 2));
    const int cut = job.indexOf("SP2;PU") + 7;
    const QList<QPair<QString, QByteArray>> malformed{
        {"nul.plt", QByteArray(job).insert(cut, '\0')},
        {"pen-5.plt", QByteArray(job).replace("SP2;", "SP-5;")},
        {"pen-huge.plt", QByteArray(job).replace("SP2;", "SP99999999999;")},
        {"header.plt", QByteArray(job).replace("CMD:20,", "CMD:20,12345678901234567890")}};
    for (const auto &[name, text] : malformed)
        QVERIFY(writeFile(dir.filePath(name), text));
}

void CutjobSendTest::send_data()
{
    QTest::addColumn<QStringList>("arguments"); // %PORT: the simulator's, %CLOSED: nobody's
    QTest::addColumn<QString>("script");        // a file in tests/data/link, or the script's text
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("received"); // job pieces (H M B T of mark.plt), "job", "none"
    QTest::addColumn<QString>("message");

    QTest::newRow("mark job arrives byte for byte")
        << QStringList{"mark.plt", "--tcp", "127.0.0.1:%PORT"} << QString() << 0 << "job"
        << "sheet 1: cutter replied \"DONE;\"";
    QTest::newRow("blank cut arrives byte for byte")
        << QStringList{"blank.plt", "--tcp", "127.0.0.1:%PORT"} << QString() << 0 << "blank"
        << "sheet 1: cutter replied \"DONE;\"";
    QTest::newRow("Auto-Next of 2 sends the job twice")
        << QStringList{"mark.plt", "--tcp", "127.0.0.1:%PORT", "--count", "2"} << QString() << 0
        << "job job"
        << "0 of 2 sheet(s) left";
    QTest::newRow("marks not found: reconnect, trailer without body, exit 1")
        << QStringList{"mark.plt", "--tcp", "127.0.0.1:%PORT"}
        << QStringLiteral("marks-not-found.script") << 1 << "HMT"
        << "sheet 1: marks not found (the cutter answered \"MD_NG;\"): the body was not cut";
    QTest::newRow("mark reply with neither token")
        << QStringList{"mark.plt", "--tcp", "127.0.0.1:%PORT"} << "reply marks HELLO;" << 1 << "HMT"
        << "sheet 1: the cutter answered the mark line with \"HELLO;\", neither";
    QTest::newRow("garbage for FEED_OK;")
        << QStringList{"mark.plt", "--tcp", "127.0.0.1:%PORT"} << "reply header \"x\\x07y;\"" << 1
        << "job"
        << "answered the header with \"x\\x07y;\" where \"FEED_OK;\" was expected";
    QTest::newRow("out of order: FEED_OK; for DONE; on sheet 2 of 2")
        << QStringList{"mark.plt", "--tcp", "127.0.0.1:%PORT", "--count", "2"}
        << "sheet 2 reply trailer FEED_OK;" << 1 << "job job"
        << "sheet 2: the cutter answered the trailer with \"FEED_OK;\" where \"DONE;\"";
    QTest::newRow("silence with --reply-timeout 2")
        << QStringList{"mark.plt", "--tcp", "127.0.0.1:%PORT", "--reply-timeout", "2"}
        << "silent marks" << 1 << "HM"
        << "sheet 1: no reply to the mark line within 2 s";
    QTest::newRow("escape sequence and NUL in a reply print escaped")
        << QStringList{"mark.plt", "--tcp", "127.0.0.1:%PORT"}
        << "reply marks \"\\x1b[2J\\x9bMD_OK;\\x00hidden\"" << 0 << "job"
        << "cutter replied \"\\x1b[2J\\x9bMD_OK;\\x00hidden\"";
    QTest::newRow("long reply cut at 200 bytes with the count of the rest")
        << QStringList{"mark.plt", "--tcp", "127.0.0.1:%PORT"}
        << "reply header " + QString(250, 'A') + "FEED_OK;" << 0 << "job"
        << "cutter replied \"" + QString(200, 'A') + "\"... (and 58 more bytes)\n";
    QTest::newRow("cutter hangs up mid-job: connection lost")
        << QStringList{"mark.plt", "--tcp", "127.0.0.1:%PORT", "--count", "3"}
        << QStringLiteral("drops-after-100-bytes.script") << 1 << ""
        << "与切割机的连接已断开!";
    QTest::newRow("address with a group above 255")
        << QStringList{"mark.plt", "--tcp", "256.1.1.1"} << QString() << 1 << "none"
        << "IP地址格式错误!";
    QTest::newRow("nobody listening on the port")
        << QStringList{"mark.plt", "--tcp", "127.0.0.1:%CLOSED"} << QString() << 1 << "none"
        << "连接超时!";
    QTest::newRow("an SVG drawing is no job")
        << QStringList{Sheet, "--tcp", "127.0.0.1:%PORT"} << QString() << 1 << "none"
        << "not a cutter job";
    QTest::newRow("a truncated job is refused")
        << QStringList{"truncated.plt", "--tcp", "127.0.0.1:%PORT"} << QString() << 1 << "none"
        << "not a cutter job";
    QTest::newRow("NUL byte in the body: nothing sent")
        << QStringList{"nul.plt", "--tcp", "127.0.0.1:%PORT"} << QString() << 1 << "none"
        << "nul.plt: not a cutter job: at offset";
    QTest::newRow("negative pen: nothing sent")
        << QStringList{"pen-5.plt", "--tcp", "127.0.0.1:%PORT"} << QString() << 1 << "none"
        << "pen -5 is out of range (1 to 2)";
    QTest::newRow("pen beyond 32 bits: nothing sent")
        << QStringList{"pen-huge.plt", "--tcp", "127.0.0.1:%PORT"} << QString() << 1 << "none"
        << "pen 99999999999 is out of range (1 to 2)";
    QTest::newRow("header with a 20-digit field: nothing sent")
        << QStringList{"header.plt", "--tcp", "127.0.0.1:%PORT"} << QString() << 1 << "none"
        << "at offset 7 (line 1, column 8): the page height H 1234567890123456789";
    QTest::newRow("no transport chosen") << QStringList{"mark.plt"} << QString() << 1 << "none"
                                         << "give either --tcp ADDRESS[:PORT] or --usb NAME";
    QTest::newRow("no such USB cutter")
        << QStringList{"mark.plt", "--usb", "no-such-cutter"} << QString() << 1 << "none"
        << "未连接切割机!";
}

void CutjobSendTest::send()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, script);
    QFETCH(int, exitCode);
    QFETCH(QString, received);
    QFETCH(QString, message);

    SimulatorProcess simulator;
    const QString record = dir.filePath(QStringLiteral("received.bin"));
    QTemporaryFile inline_;
    if (!script.isEmpty() && !script.endsWith(QLatin1String(".script"))) {
        QVERIFY(inline_.open() && inline_.write(script.toUtf8()) > 0 && inline_.flush());
        script = inline_.fileName();
    } else if (!script.isEmpty()) {
        script = Scripts + script;
    }
    QVERIFY(simulator.start(script, record));
    QTcpServer closed; // a loopback port that was free a moment ago and has nobody now
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QString closedPort = QString::number(closed.serverPort());
    closed.close();
    for (QString &arg : arguments)
        arg.replace(QLatin1String("%PORT"), QString::fromLatin1(simulator.port))
            .replace(QLatin1String("%CLOSED"), closedPort);

    const CutjobRun run = runCutjob(QStringList{QStringLiteral("send")} + arguments, dir.path());
    QVERIFY2(run.finished, "cutjob send did not end");
    QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(simulator.stop());
    // `preview` must judge a job file exactly as `send` does.
    if (run.err.contains("not a cutter job")) {
        const CutjobRun preview =
            runCutjob({QStringLiteral("preview"), arguments.first(), "-o", "x.png"}, dir.path());
        QVERIFY(preview.finished);
        QCOMPARE(preview.exitCode, 1);
        QCOMPARE(preview.err, run.err);
    }

    const QByteArray job = readFile(dir.filePath(QStringLiteral("mark.plt")));
    const QByteArray got = readFile(record);
    if (received == QLatin1String("none")) {
        QCOMPARE(got, QByteArray());
    } else if (received.startsWith(QLatin1String("HM"))) {
        const int markEnd = job.indexOf(';', job.indexOf("MD0,0,")) + 1;
        QCOMPARE(got, job.left(markEnd) + (received == QLatin1String("HMT")
                                               ? job.mid(job.lastIndexOf("CMD:22,"))
                                               : QByteArray()));
    } else if (received == QLatin1String("job")) {
        QCOMPARE(got, job);
    } else if (received == QLatin1String("job job")) {
        QCOMPARE(got, job + job);
    } else if (received == QLatin1String("blank")) {
        QCOMPARE(got, readFile(dir.filePath(QStringLiteral("blank.plt"))));
    } else {
        QVERIFY(got.size() >= 100 && job.startsWith(got.left(100)));
    }
}

// The first interrupt waits for the sheet to end; against a cutter that never says it is done,
// the second one must end the wait at once, with the count kept. A termination request (as
// `timeout` sends it) needs no second.
void CutjobSendTest::stopEndsSilentWait_data()
{
    QTest::addColumn<QList<int>>("signalsSent");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("Ctrl+C twice") << QList<int>{SIGINT, SIGINT} << 130;
    QTest::newRow("SIGTERM once") << QList<int>{SIGTERM} << 143;
}

void CutjobSendTest::stopEndsSilentWait()
{
    QFETCH(QList<int>, signalsSent);
    QFETCH(int, exitCode);
    QTemporaryFile script;
    QVERIFY(script.open());
    script.write("silent trailer\n");
    script.flush();
    SimulatorProcess simulator;
    QVERIFY(simulator.start(script.fileName(), dir.filePath(QStringLiteral("received.bin"))));
    QProcess send;
    send.setWorkingDirectory(dir.path());
    send.start(QStringLiteral(VX_CUTJOB_PATH),
               {"send", "mark.plt", "--tcp", "127.0.0.1:" + simulator.port, "--count", "3"});
    QByteArray err;
    const auto waitForError = [&](const QByteArray &text) {
        const QDeadlineTimer deadline(StartTimeoutMs);
        while (!err.contains(text) && !deadline.hasExpired() &&
               send.state() != QProcess::NotRunning) {
            send.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
            err += send.readAllStandardError();
        }
        return err.contains(text);
    };
    send.setReadChannel(QProcess::StandardError);
    QVERIFY2(waitForError("sending trailer"), err.constData());
    for (int i = 0; i < signalsSent.size(); ++i) {
        QVERIFY(i == 0 || waitForError(StopAfterSheetText));
        ::kill(pid_t(send.processId()), signalsSent[i]);
    }
    QVERIFY(send.waitForFinished(10000));
    err += send.readAllStandardError();
    QCOMPARE(send.exitCode(), exitCode);
    QVERIFY2(err.contains("已停止切割!") && err.contains("3 of 3 sheet(s) left"), err.constData());
    QVERIFY(simulator.stop());
}

// A peer that answers the header with 200 MB and never a ';': the sender keeps a bounded tail
// and looks at each byte once, and a stop still ends it.
void CutjobSendTest::floodWithoutEnd()
{
    constexpr qint64 FloodBytes = qint64(200) << 20;
    QTcpServer peer;
    QVERIFY(peer.listen(QHostAddress::LocalHost));
    QProcess send;
    send.setWorkingDirectory(dir.path());
    // Memory freed under AddressSanitizer waits in its quarantine (256 MB) before reuse.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":quarantine_size_mb=1");
    send.setProcessEnvironment(environment);
    send.start(QStringLiteral(VX_CUTJOB_PATH),
               {"send", "mark.plt", "--tcp", "127.0.0.1:" + QString::number(peer.serverPort())});
    QVERIFY(peer.waitForNewConnection(StartTimeoutMs));
    QTcpSocket *flood = peer.nextPendingConnection();
    const QString proc = QStringLiteral("/proc/%1/").arg(send.processId());
    const auto peakKb = [&proc] {
        const QByteArray status = readFile(proc + "status");
        return status.mid(status.indexOf("VmHWM:") + 6).trimmed().split(' ')[0].toLongLong();
    };
    QTRY_VERIFY_WITH_TIMEOUT(flood->bytesAvailable() > 0, StartTimeoutMs); // the header
    const qint64 startKb = peakKb();
    const QByteArray chunk(1 << 20, 'x');
    const QDeadlineTimer deadline(120000);
    for (qint64 sent = 0; sent < FloodBytes && !deadline.hasExpired(); sent += chunk.size()) {
        flood->write(chunk);
        while (flood->bytesToWrite() > 4 * chunk.size() && !deadline.hasExpired())
            flood->waitForBytesWritten(1000);
    }
    while (flood->bytesToWrite() > 0 && !deadline.hasExpired())
        flood->waitForBytesWritten(1000);
    QVERIFY(!deadline.hasExpired());
    const QList<QByteArray> stat = readFile(proc + "stat").split(')')[1].split(' ');
    const double cpuSeconds = (stat[12].toDouble() + stat[13].toDouble()) / sysconf(_SC_CLK_TCK);
    qInfo("sender: peak %lld kB before the flood, %lld kB after, CPU %.2f s", startKb, peakKb(),
          cpuSeconds);
    QVERIFY(startKb > 0 && peakKb() - startKb < 50 * 1024);
    QVERIFY(cpuSeconds < 2);
    send.terminate();
    QVERIFY(send.waitForFinished(10000));
    QCOMPARE(send.exitCode(), 143);
    QVERIFY(send.readAllStandardError().size() < 4096);
}

// Cutters on USB from the umockdev testbed, which the cutjob processes see through the
// environment they inherit: the list, then an Auto-Next run with a paper check per sheet.
void CutjobSendTest::overUsb()
{
    if (!UsbTestBed::preloadActive())
        QSKIP("needs umockdev's preload library");
    UsbTestBed bed;
    const QString serial = bed.addCutter(QStringLiteral("VX0042"), QStringLiteral("1-3"));
    const QString portPath = bed.addCutter(QString(), QStringLiteral("1-4"));
    const CutjobRun devices = runCutjob({"devices"}, dir.path());
    QVERIFY2(devices.finished && devices.exitCode == 0, devices.err.constData());
    const QList<QByteArray> lines = devices.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines[0].startsWith(serial.toUtf8() + '\t') && lines[0].endsWith("\tok"));
    QVERIFY(lines[1].startsWith(portPath.toUtf8() + '\t') && lines[1].endsWith("\tok"));

    SimulatedCutter cutter(CutterScript::parse(QByteArray()).value());
    bed.attach(serial, cutter);
    QProcess send;
    send.setWorkingDirectory(dir.path());
    send.start(QStringLiteral(VX_CUTJOB_PATH),
               {"send", "mark.plt", "--usb", serial, "--count", "2"});
    // The test's event loop plays the cutter, so the wait must not block it.
    QTRY_VERIFY_WITH_TIMEOUT(send.state() == QProcess::NotRunning, 60000);
    QVERIFY2(send.exitCode() == 0, send.readAllStandardError().constData());
    const QByteArray job = readFile(dir.filePath(QStringLiteral("mark.plt")));
    QCOMPARE(cutter.received(), "CMD:14;" + job + "CMD:14;" + job);
}

// The messages cutjob prints in the language the locale or --lang chooses; its own English
// texts around them stay as they are.
void CutjobSendTest::language_data()
{
    QTest::addColumn<QByteArray>("lang");       // LANG; LC_ALL and LC_MESSAGES are unset
    QTest::addColumn<QStringList>("arguments"); // the whole line after "cutjob"
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("message");

    QTest::newRow("--lang en: cutter hangs up")
        << QByteArray("C.UTF-8")
        << QStringList{"send", "mark.plt", "--tcp", "127.0.0.1:%PORT", "--lang", "en"}
        << QStringLiteral("drops-after-100-bytes.script")
        << "cutjob: Warning: The connection to the cutter was lost!\n";
    QTest::newRow("LANG=en_US.UTF-8: bad address")
        << QByteArray("en_US.UTF-8") << QStringList{"send", "mark.plt", "--tcp", "127.0.0.256"}
        << QString()
        << "cutjob: The IP address is not valid! (\"127.0.0.256\" is no dotted IPv4 address";
    QTest::newRow("--lang=zh before the subcommand, under en_US: as written")
        << QByteArray("en_US.UTF-8")
        << QStringList{"--lang=zh", "send", "mark.plt", "--tcp", "127.0.0.256"} << QString()
        << "cutjob: IP地址格式错误! (";
    QTest::newRow("--lang de is refused")
        << QByteArray("C.UTF-8")
        << QStringList{"send", "mark.plt", "--tcp", "127.0.0.1:%PORT", "--lang", "de"} << QString()
        << "cutjob: --lang takes zh or en, not \"de\"\n";
}

void CutjobSendTest::language()
{
    QFETCH(QByteArray, lang);
    QFETCH(QStringList, arguments);
    QFETCH(QString, script);
    QFETCH(QString, message);
    SimulatorProcess simulator;
    const QString record = dir.filePath(QStringLiteral("received.bin"));
    QVERIFY(simulator.start(script.isEmpty() ? script : Scripts + script, record));
    for (QString &arg : arguments)
        arg.replace(QLatin1String("%PORT"), QString::fromLatin1(simulator.port));
    const QByteArray savedAll = qgetenv("LC_ALL");
    const QByteArray savedLang = qgetenv("LANG");
    qunsetenv("LC_ALL");
    qputenv("LANG", lang);
    const CutjobRun run = runCutjob(arguments, dir.path());
    qputenv("LC_ALL", savedAll);
    qputenv("LANG", savedLang);
    QVERIFY2(run.finished, "cutjob send did not end");
    QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
    QCOMPARE(run.exitCode, 1);
    QVERIFY(simulator.stop());
}

QTEST_MAIN(CutjobSendTest)
#include "tst_cutjobsend.moc"
