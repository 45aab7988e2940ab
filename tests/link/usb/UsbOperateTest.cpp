// The USB transport against fake cutters under umockdev: discovery and change reports through
// udev, presence and permission, the gathering of replies, loss and cancel without a hang, and
// whole jobs of the conversation with a simulated cutter on the node.

#include "link/UsbOperate.h"
#include "UsbTestBed.h"
#include "link/CutterConversation.h"
#include "link/sim/SimulatedCutter.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {
// A wait that should end at once gets this long before the test ends it another way and fails.
constexpr int WatchdogMs = 10000;

// The job's four pieces, short but shaped as the simulated cutter recognises them.
const QByteArray PaperCheck = "CMD:14;";
const QByteArray Header = "CMD:20,4000,3000;";
const QByteArray MarkLine = "MD4,400,400,3600,2600;";
const QByteArray Body = "IN;PU100,100;PD200,200;!PG;;";
const QByteArray Advance = "!PG;";
const QByteArray Trailer = "CMD:22,3000;";

// Golden byte streams written as piece letters: P paper check, H header, M mark line, B body,
// A sheet advance, T trailer (blanks only for reading).
QByteArray expand(const QByteArray &letters)
{
    QByteArray bytes;
    for (const char letter : letters) {
        switch (letter) {
        case 'P':
            bytes += PaperCheck;
            break;
        case 'H':
            bytes += Header;
            break;
        case 'M':
            bytes += MarkLine;
            break;
        case 'B':
            bytes += Body;
            break;
        case 'A':
            bytes += Advance;
            break;
        case 'T':
            bytes += Trailer;
            break;
        default:
            break;
        }
    }
    return bytes;
}
} // namespace

Q_DECLARE_METATYPE(UsbOperate::DeviceState)
Q_DECLARE_METATYPE(PortStatus)
Q_DECLARE_METATYPE(SendOutcome)

class UsbOperateTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (!UsbTestBed::preloadActive())
            QSKIP("needs umockdev's preload library (LD_PRELOAD=libumockdev-preload.so.0)");
    }

    void listsCuttersInOrderAndFollowsPlugging()
    {
        UsbTestBed bed;
        const QString first = bed.addCutter(QStringLiteral("VX0001"), QStringLiteral("1-1"));
        bed.addDevice(QStringLiteral("PRN9"), QStringLiteral("1-2"), "04b8", "0005", "07");
        const QString second = bed.addCutter(QString(), QStringLiteral("1-3.2"));
        UsbOperate usb;
        QCOMPARE(usb.enumerateDevices(),
                 (QStringList{QStringLiteral("VX0001"), QStringLiteral("1-3.2")}));

        QSignalSpy changed(&usb, &UsbOperate::devicesChanged);
        bed.removeCutter(first);
        QVERIFY(changed.wait(WatchdogMs));
        QCOMPARE(usb.enumerateDevices(), QStringList{second});

        changed.clear();
        QCOMPARE(bed.addCutter(QStringLiteral("VX0001"), QStringLiteral("1-1")), first);
        QVERIFY(changed.wait(WatchdogMs));
        QVERIFY(usb.enumerateDevices().contains(first));
    }

    // Firmware that gives every unit one serial: the port path tells them apart, and a cutter
    // replugged in its port is found under the same name.
    void sameSerialListedTwiceEachReachable()
    {
        UsbTestBed bed;
        bed.addCutter(QStringLiteral("VX0007"), QStringLiteral("1-1"));
        QString second = bed.addCutter(QStringLiteral("VX0007"), QStringLiteral("1-2"));
        UsbOperate usb;
        QCOMPARE(usb.enumerateDevices(),
                 (QStringList{QStringLiteral("VX0007@1-1"), QStringLiteral("VX0007@1-2")}));
        bed.removeCutter(second);
        QCOMPARE(usb.enumerateDevices(), QStringList{QStringLiteral("VX0007")});
        QCOMPARE(second = bed.addCutter(QStringLiteral("VX0007"), QStringLiteral("1-2")),
                 QStringLiteral("VX0007@1-2"));
        for (const QString &name : {QStringLiteral("VX0007@1-1"), second}) {
            usb.setDevice(name);
            usb.writeText(QStringLiteral("CMD:14;"));
            QCOMPARE(bed.takeWritten(name), QByteArray("CMD:14;"));
        }
    }

    void probe_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<UsbOperate::DeviceState>("state");
        QTest::addColumn<bool>("listed");
        QTest::newRow("attached cutter is present and listed")
            << "" << UsbOperate::DeviceState::Present << true;
        QTest::newRow("unplugged cutter is absent")
            << "unplug" << UsbOperate::DeviceState::Absent << false;
        QTest::newRow("node refusing us is no permission and not listed")
            << "deny" << UsbOperate::DeviceState::NoPermission << false;
    }

    void probe()
    {
        QFETCH(QString, change);
        QFETCH(UsbOperate::DeviceState, state);
        QFETCH(bool, listed);
        UsbTestBed bed;
        const QString name = bed.addCutter(QStringLiteral("VX0001"));
        if (change == QLatin1String("unplug"))
            bed.removeCutter(name);
        if (change == QLatin1String("deny"))
            bed.denyAccess(name);
        UsbOperate usb;
        usb.setDevice(QStringLiteral("other"));
        QCOMPARE(usb.probe(name), state);
        QCOMPARE(usb.device(), QStringLiteral("other"));
        QCOMPARE(usb.enumerateDevices().contains(name), listed);
    }

    void readReply_data()
    {
        QTest::addColumn<QByteArrayList>("pieces");
        QTest::addColumn<QString>("reply");
        QTest::newRow("reply split in two reads is gathered whole")
            << QByteArrayList{"MD_", "OK;"} << "MD_OK;";
        QTest::newRow("trailing blank stays in the reply")
            << QByteArrayList{"FEED_OK; "} << "FEED_OK; ";
        const QByteArray full = QByteArray(63, 'A') + ';';
        QTest::newRow("64 bytes without NUL arrive whole")
            << QByteArrayList{full} << QString::fromLatin1(full);
        QTest::newRow("bytes after a NUL are dropped")
            << QByteArrayList{QByteArray("DONE;\0XY", 8)} << "DONE;";
        QTest::newRow("Latin-1 bytes are taken as Latin-1")
            << QByteArrayList{"\xe9;"} << QStringLiteral("\u00e9;");
        QTest::newRow("a flood before the token keeps only its bounded tail")
            << QByteArrayList{QByteArray(3000, 'x'), QByteArray(3000, 'x') + "MD_OK;"}
            << QString(ReplyBuffer::KeptBytes - 6, QLatin1Char('x')) + QStringLiteral("MD_OK;");
    }

    void readReply()
    {
        QFETCH(QByteArrayList, pieces);
        QFETCH(QString, reply);
        UsbTestBed bed;
        UsbOperate usb;
        usb.setDevice(bed.addCutter(QStringLiteral("VX0001")));
        bed.replyInTurn(usb.device(), pieces);
        usb.readReply(WatchdogMs);
        QCOMPARE(usb.reply(), reply);
    }

    void readWhileAbsentKeepsPreviousReply()
    {
        UsbTestBed bed;
        UsbOperate usb;
        usb.setDevice(bed.addCutter(QStringLiteral("VX0001")));
        bed.reply(usb.device(), "FEED_OK;");
        usb.readReply(WatchdogMs);
        bed.removeCutter(usb.device());
        usb.readReply(-1);
        QCOMPARE(usb.reply(), QStringLiteral("FEED_OK;"));
    }

    void write_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("text goes out as UTF-8")
            << QStringLiteral("CMD:14;\u00e4") << QByteArray("CMD:14;\xc3\xa4");
        QTest::newRow("text ends at its first NUL")
            << QString::fromLatin1("AB\0CD", 5) << QByteArray("AB");
    }

    void write()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        UsbTestBed bed;
        UsbOperate usb;
        usb.setDevice(bed.addCutter(QStringLiteral("VX0001")));
        usb.writeText(text);
        QCOMPARE(bed.takeWritten(usb.device()), bytes);
    }

    void waitForReply_data()
    {
        QTest::addColumn<QByteArrayList>("pieces");
        QTest::addColumn<bool>("unplug");
        QTest::addColumn<QString>("reply"); // null: whatever arrived before the unplugging
        QTest::newRow("other replies keep it polling until the token")
            << QByteArrayList{"FEED_OK;", "DONE;"} << false << "DONE;";
        QTest::newRow("unplugging between polls ends it")
            << QByteArrayList{"FEED_OK;"} << true << QString();
    }

    void waitForReply()
    {
        QFETCH(QByteArrayList, pieces);
        QFETCH(bool, unplug);
        QFETCH(QString, reply);
        UsbTestBed bed;
        UsbOperate usb;
        const QString name = bed.addCutter(QStringLiteral("VX0001"));
        usb.setDevice(name);
        bed.replyInTurn(name, pieces);
        if (unplug)
            QTimer::singleShot(700, &usb, [&] { bed.removeCutter(name); });
        bool watchdogFired = false;
        QTimer::singleShot(WatchdogMs, &usb, [&] {
            watchdogFired = true;
            usb.cancel();
        });
        usb.waitForReply(QStringLiteral("DONE;"));
        QVERIFY(!watchdogFired);
        if (!reply.isNull())
            QCOMPARE(usb.reply(), reply);
    }

    void receiveEnds_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<PortStatus>("status");
        QTest::newRow("unplugged during a silent wait: lost") << "unplug" << PortStatus::Lost;
        QTest::newRow("cancel during a silent wait: cancelled")
            << "cancel" << PortStatus::Cancelled;
    }

    void receiveEnds()
    {
        QFETCH(QString, event);
        QFETCH(PortStatus, status);
        UsbTestBed bed;
        UsbOperate usb;
        const QString name = bed.addCutter(QStringLiteral("VX0001"));
        usb.setDevice(name);
        const bool unplug = event == QLatin1String("unplug");
        // Whatever the row does, the watchdog does the other, so a hang fails the row.
        QTimer::singleShot(50, &usb, [&] { unplug ? bed.removeCutter(name) : usb.cancel(); });
        QTimer::singleShot(WatchdogMs, &usb,
                           [&] { unplug ? usb.cancel() : bed.removeCutter(name); });
        QByteArray reply;
        QCOMPARE(usb.receive(reply), status);
        QCOMPARE(usb.receive(reply), status); // stays so until the next send
    }

    void probeOfOwnBusyDevice()
    {
        UsbTestBed bed;
        UsbOperate usb;
        const QString name = bed.addCutter(QStringLiteral("VX0001"));
        const QString other = bed.addCutter(QStringLiteral("VX0002"), QStringLiteral("1-2"));
        usb.setDevice(name);
        UsbOperate::DeviceState during = UsbOperate::DeviceState::Absent;
        QTimer::singleShot(50, &usb, [&] {
            // The driver admits one open: a second open of the node we read from is refused.
            bed.denyAccess(name);
            during = usb.probe(name);
            usb.probe(other);
            bed.reply(name, "DONE;");
        });
        QTimer::singleShot(WatchdogMs, &usb, [&] { usb.cancel(); });
        QByteArray reply;
        QCOMPARE(usb.receive(reply), PortStatus::Ok);
        QCOMPARE(during, UsbOperate::DeviceState::Present);
        QCOMPARE(usb.device(), name);
    }

    void wholeJob_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("blankCut");
        QTest::addColumn<int>("sheets");
        QTest::addColumn<int>("stopDuringSheet"); // 0: no stop request
        QTest::addColumn<SendOutcome>("outcome");
        QTest::addColumn<int>("remaining");
        QTest::addColumn<QByteArray>("received"); // piece letters, see expand()
        QTest::newRow("continuous run of three sheets counts down to 0")
            << QByteArray() << false << 3 << 0 << SendOutcome::Done << 0
            << QByteArray("PHMBT PHMBT PHMBT");
        QTest::newRow("stop during sheet 2 of 4 leaves 2")
            << QByteArray() << false << 4 << 2 << SendOutcome::Done << 2
            << QByteArray("PHMBT PHMBT");
        QTest::newRow("paper out inside other text ends the run, count kept")
            << QByteArray("sheet 2 reply paper \"BUSY;S3:0;X\"") << false << 3 << 0
            << SendOutcome::PaperOut << 2 << QByteArray("PHMBT P");
        QTest::newRow("marks not found advances the sheet, no body")
            << QByteArray("reply marks MD_NG;") << false << 1 << 0 << SendOutcome::Done << 0
            << QByteArray("PHMAT");
        QTest::newRow("both mark tokens count as found")
            << QByteArray("reply marks MD_OK;MD_NG;") << false << 1 << 0 << SendOutcome::Done << 0
            << QByteArray("PHMBT");
        QTest::newRow("split mark reply counts whole")
            << QByteArray("split marks MD_ OK;") << false << 1 << 0 << SendOutcome::Done << 0
            << QByteArray("PHMBT");
        QTest::newRow("blank cut sends no mark line")
            << QByteArray() << true << 2 << 0 << SendOutcome::Done << 0 << QByteArray("PHBT PHBT");
        QTest::newRow("unplugged while waiting for DONE ends the run")
            << QByteArray("silent trailer close") << false << 2 << 0 << SendOutcome::ConnectionLost
            << 2 << QByteArray("PHMBT");
    }

    void wholeJob()
    {
        QFETCH(QByteArray, script);
        QFETCH(bool, blankCut);
        QFETCH(int, sheets);
        QFETCH(int, stopDuringSheet);
        QFETCH(SendOutcome, outcome);
        QFETCH(int, remaining);
        QFETCH(QByteArray, received);
        const Result<CutterScript> parsed = CutterScript::parse(script);
        QVERIFY2(parsed, qPrintable(parsed.error()));
        SimulatedCutter cutter(*parsed);
        UsbTestBed bed;
        UsbOperate usb;
        const QString name = bed.addCutter(QStringLiteral("VX0001"));
        bed.attach(name, cutter);
        usb.setDevice(name);

        SheetJob job{Header, blankCut ? QByteArray() : MarkLine, Body, Trailer, blankCut};
        CutterConversation conversation(usb, CutterConversation::Transport::Usb, job);
        conversation.setTiming({20, 50});
        int count = sheets;
        bool keepGoing = true;
        QObject::connect(&cutter, &SimulatedCutter::pieceReceived, [&] {
            if (cutter.sheet() == stopDuringSheet)
                keepGoing = false;
        });
        QTimer::singleShot(WatchdogMs, &usb, [&] { usb.cancel(); });
        const SendOutcome result = conversation.runSheets(
            {[&] { return count; }, [&](int left) { count = left; }, [&] { return keepGoing; }});
        QCOMPARE(result, outcome);
        QCOMPARE(count, remaining);
        QCOMPARE(cutter.received(), expand(received));
    }
};

QTEST_MAIN(UsbOperateTest)
#include "UsbOperateTest.moc"
