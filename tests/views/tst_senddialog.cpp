// The send window of `cutjob send-dialog`, driven by clicks against the simulated cutter on
// 127.0.0.1: OK sends, Cancel sends nothing, the stop button means what the window's means
// (first press: after this sheet; second: at once), and closing the window while the cutter
// works is a stop request rather than a way to leave a job running unseen.

#include "cli/SavedJob.h"
#include "link/TcpCutterPort.h"
#include "link/sim/CutterSimulatorServer.h"
#include "views/QPaintWidget.h"
#include "views/SendDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTcpSocket>
#include <QtTest>

namespace {

const QString Golden = QStringLiteral(VX_TEST_DATA_DIR "/cutjob/mark-job.golden");

enum class Press
{
    Cancel,
    Ok,
    OkThenStopOnce,  // stop at the first progress line
    OkThenClose,     // close the window at the first progress line
    OkThenStopTwice, // stop twice once the trailer is out
};

} // namespace
Q_DECLARE_METATYPE(Press)

class SendDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void press_data();
    void press();

private:
    QByteArray jobText;
    SheetJob job;
};

void SendDialogTest::initTestCase()
{
    QFile file(Golden);
    QVERIFY(file.open(QIODevice::ReadOnly));
    jobText = file.readAll();
    const Result<SheetJob> split = splitSavedJob(jobText);
    QVERIFY2(split.ok(), qPrintable(split.error()));
    job = *split;
}

void SendDialogTest::press_data()
{
    QTest::addColumn<Press>("press");
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<int>("count");          // -1: one sheet
    QTest::addColumn<int>("sheetsReceived"); // -1: the first sheet, cut short
    QTest::addColumn<int>("remaining");
    QTest::addColumn<int>("outcome"); // SendOutcome

    QTest::newRow("Cancel sends nothing") << Press::Cancel << QByteArray() << -1 << 0 << -1 << -1;
    QTest::newRow("OK sends one sheet")
        << Press::Ok << QByteArray() << -1 << 1 << -1 << int(SendOutcome::Done);
    QTest::newRow("OK runs Auto-Next to the end")
        << Press::Ok << QByteArray() << 2 << 2 << 0 << int(SendOutcome::Done);
    QTest::newRow("stop once ends Auto-Next after the sheet")
        << Press::OkThenStopOnce << QByteArray() << 3 << 1 << 2 << int(SendOutcome::Done);
    QTest::newRow("closing the window while cutting stops after the sheet")
        << Press::OkThenClose << QByteArray() << 3 << 1 << 2 << int(SendOutcome::Done);
    QTest::newRow("stop twice ends a silent wait at once")
        << Press::OkThenStopTwice << QByteArray("silent trailer\n") << 3 << -1 << 3
        << int(SendOutcome::Stopped);
}

void SendDialogTest::press()
{
    QFETCH(Press, press);
    QFETCH(QByteArray, script);
    QFETCH(int, count);
    QFETCH(int, sheetsReceived);
    QFETCH(int, remaining);
    QFETCH(int, outcome);

    CutterSimulatorServer cutter(CutterScript::parse(script).value());
    QVERIFY(cutter.listen(0));
    SendDialog dialog(CutPathList{});
    QCOMPARE(dialog.windowTitle(), QStringLiteral("都准备好了吗?"));
    QVERIFY(dialog.question->text().startsWith(QStringLiteral("请确认显示的切割效果是正确的.")));

    QPushButton *answer = dialog.answer->button(press == Press::Cancel ? QDialogButtonBox::Cancel
                                                                       : QDialogButtonBox::Ok);
    QTimer::singleShot(0, answer, [answer] { QTest::mouseClick(answer, Qt::LeftButton); });
    const bool confirmed = dialog.confirm();
    QCOMPARE(confirmed, press != Press::Cancel);
    if (!confirmed) {
        QCOMPARE(cutter.connectionCount(), 0);
        return;
    }

    QTcpSocket socket;
    ReplyBuffer buffer;
    TcpCutterPort port(socket, buffer, QStringLiteral("127.0.0.1"), cutter.port());
    port.gatherArrivals();
    QVERIFY(port.connectToCutter());
    CutterConversation conversation(port, CutterConversation::Transport::Tcp, job);
    int presses = 0;
    QTimer watcher; // plays the user, who reacts to what the window shows
    connect(&watcher, &QTimer::timeout, &dialog, [&] {
        const QString shown = dialog.progress->text();
        if (press == Press::OkThenStopOnce && presses == 0 && !shown.isEmpty()) {
            ++presses;
            QTest::mouseClick(dialog.stopButton, Qt::LeftButton);
        } else if (press == Press::OkThenClose && presses == 0 && !shown.isEmpty()) {
            ++presses;
            dialog.close();
        } else if (press == Press::OkThenStopTwice && presses < 2 &&
                   shown.contains(QStringLiteral("sending trailer"))) {
            ++presses;
            QTest::mouseClick(dialog.stopButton, Qt::LeftButton);
        }
    });
    watcher.start(5);
    // A stop that does not work must fail the test, not hang it.
    QTimer::singleShot(30000, &dialog, [&port] { port.cancel(); });
    int left = -1;
    const SendOutcome result = dialog.send(conversation, count, left);
    port.close();
    QCOMPARE(int(result), outcome);
    QCOMPARE(left, remaining);
    if (sheetsReceived < 0)
        QVERIFY(!cutter.received().isEmpty() && jobText.startsWith(cutter.received()));
    else
        QCOMPARE(cutter.received(), jobText.repeated(sheetsReceived));
    if (press == Press::OkThenStopOnce || press == Press::OkThenClose)
        QVERIFY(dialog.progress->text().contains(QStringLiteral("将于本张切割结束后停止")));
    QVERIFY(dialog.isHidden());
}

QTEST_MAIN(SendDialogTest)
#include "tst_senddialog.moc"
