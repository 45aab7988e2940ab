// The window's "Send to Cutter", clicked offscreen as a user clicks it, against the built-in host
// and a simulated cutter on 127.0.0.1: what the cutter receives, the messages the user sees, the
// sheet count and the send button afterwards.

#include "ModalAnswerer.h"
#include "TestDocument.h"
#include "UsbTestBed.h"
#include "app/PluginMW.h"
#include "app/PluginMWForm.h"
#include "link/sim/CutterSimulatorServer.h"
#include "views/QPaintWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestDocument;

namespace {
const QByteArray Header = "CMD:20,11880,8400,1120,200,0;";
const QByteArray MarkJob = Header + "MD0,0,9440,7720,2;"
                                    "IN;PA;SP1;PU2100,1260;PD2100,3260;PU;"
                                    "SP2;PU1420,1180;PD1420,3340,2780,3340,2780,1180,1420,1180;PU;"
                                    "!PG;;CMD:22,11880,8400;";
const QString Confirm = QStringLiteral("都准备好了吗?|请确认显示的切割效果是正确的.\n点击 'OK' "
                                       "开始,或者\n点击 'Cancel' 调整切割参数.");
const QString StopLater = QStringLiteral("提示|将于本张切割结束后停止, 请等待...");
} // namespace

class WindowSendTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void sendOverTcp_data();
    void sendOverTcp();
    void stopButton_data();
    void stopButton();
    void stopNoticeLeavesSheetGoing();
    void pageReadAfterConfirmation();
    void cancelledConfirmation();
    void closeWhileWaiting();
    void usbWithoutCutter();
    void usbMachineList();
    void usbSend_data();
    void usbSend();

private:
    // A new window; a fresh one sees the USB testbed that the test made before it.
    void openWindow(bool overTcp);
    // Clicks "Send to Cutter"; every message box the send shows is answered by `answerer`.
    void clickSend();
    // Clicks `button` once `ready` holds and no message box is open, `times` times, while the
    // send runs.
    void clickWhen(QAbstractButton *button, std::function<bool()> ready, int times = 1);

    QTemporaryDir *data = nullptr;
    PluginMW *window = nullptr;
    ModalAnswerer *answerer = nullptr;
    CutterSimulatorServer *cutter = nullptr;
};

void WindowSendTest::init()
{
    data = new QTemporaryDir;
    openWindow(true);
    answerer = new ModalAnswerer;
}

void WindowSendTest::openWindow(bool overTcp)
{
    delete window;
    window = new PluginMW(nullptr, DataPaths::inFolder(data->path()));
    window->setExitFunction([](int) {});
    window->setConversationTiming(20, 50);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    PluginMWForm *form = window->controls();
    // Never the default cutter address: the simulated cutter listens on loopback.
    form->ipAddress->setText(QStringLiteral("127.0.0.1"));
    if (overTcp)
        form->useRJ45->click();
}

void WindowSendTest::cleanup()
{
    delete answerer;
    delete window;
    window = nullptr;
    delete cutter;
    cutter = nullptr;
    delete data;
}

void WindowSendTest::clickSend()
{
    QTest::mouseClick(window->controls()->sendToCutter, Qt::LeftButton);
}

void WindowSendTest::clickWhen(QAbstractButton *button, std::function<bool()> ready, int times)
{
    auto *poll = new QTimer(window);
    connect(poll, &QTimer::timeout, window, [poll, button, ready, times]() mutable {
        if (!ready() || QApplication::activeModalWidget())
            return;
        button->click();
        if (--times == 0)
            poll->stop(); // deleted with the window: a nested loop would postpone deleteLater
    });
    poll->start(10);
}

void WindowSendTest::sendOverTcp_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<int>("marks");
    QTest::addColumn<bool>("autoNext");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("received"); // null: the simulator is not listening
    QTest::addColumn<int>("countAfter");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("one sheet: the whole job, piece by piece")
        << QByteArray() << 4 << false << 3 << "127.0.0.1" << MarkJob << 3 << QStringList{Confirm};
    QTest::newRow("Auto-Next: three sheets, count down to 0")
        << QByteArray() << 4 << true << 3 << "127.0.0.1" << MarkJob + MarkJob + MarkJob << 0
        << QStringList{Confirm};
    QTest::newRow("Auto-Next with count 0: connects, sends nothing")
        << QByteArray() << 4 << true << 0 << "127.0.0.1" << QByteArray("") << 0
        << QStringList{Confirm};
    QTest::newRow("marks not found: reconnect, trailer without body")
        << QByteArray("reply marks MD_NG; close") << 4 << false << 1 << "127.0.0.1"
        << QByteArray(Header + "MD0,0,9440,7720,2;CMD:22,11880,8400;") << 1 << QStringList{Confirm};
    QTest::newRow("connection dropped while waiting: message, no hang")
        << QByteArray("silent marks close") << 4 << true << 2 << "127.0.0.1"
        << QByteArray(Header + "MD0,0,9440,7720,2;") << 2
        << QStringList{Confirm, "警告|与切割机的连接已断开!"};
    QTest::newRow("malformed address: nothing sent")
        << QByteArray() << 4 << false << 1 << "127.0.0.256" << QByteArray("") << 1
        << QStringList{Confirm, "警告|IP地址格式错误!"};
    QTest::newRow("nobody listening: connection timed out")
        << QByteArray() << 4 << true << 1 << "127.0.0.1" << QByteArray() << 1
        << QStringList{Confirm, "警告|连接超时!"};
    QTest::newRow("no marks: the save warning, no confirmation, nothing sent")
        << QByteArray() << 0 << false << 1 << "127.0.0.1" << QByteArray("") << 1
        << QStringList{"警告|未找到定位标记, 请先添加标记!"};
}

void WindowSendTest::sendOverTcp()
{
    QFETCH(QByteArray, script);
    QFETCH(int, marks);
    QFETCH(bool, autoNext);
    QFETCH(int, count);
    QFETCH(QString, address);
    QFETCH(QByteArray, received);
    QFETCH(int, countAfter);
    QFETCH(QStringList, messages);
    labelSheet(marks);
    const Result<CutterScript> parsed = CutterScript::parse(script);
    QVERIFY2(parsed, qPrintable(parsed.error()));
    cutter = new CutterSimulatorServer(*parsed);
    QVERIFY(cutter->listen(0));
    PluginMWForm *form = window->controls();
    // A closed loopback port stands for a cutter that does not answer.
    window->setCutterPort(received.isNull() ? 1 : cutter->port());
    form->ipAddress->setText(address);
    form->conSend->setChecked(autoNext);
    form->sendCount->setValue(count);
    clickSend();
    QTRY_COMPARE_WITH_TIMEOUT(answerer->messages, messages, 10000);
    QCOMPARE(cutter->received(), received.isNull() ? QByteArray() : received);
    QCOMPARE(form->sendCount->value(), countAfter);
    QVERIFY(form->sendToCutter->isEnabled());
    QVERIFY(!form->paintWidget->isHidden());
}

void WindowSendTest::stopButton_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<int>("stops");
    QTest::addColumn<int>("countAfter");
    QTest::addColumn<QStringList>("messages");
    // The first sheet's "DONE;" comes late, so the stop surely falls into that sheet.
    QTest::newRow("one stop in sheet 1 of 3: the sheet ends, 2 left")
        << QByteArray("split-delay 300\nsheet 1 split trailer DO NE;") << 1 << 2
        << QStringList{Confirm, StopLater};
    QTest::newRow("second stop ends a silent wait at once, count kept")
        << QByteArray("silent trailer") << 2 << 3
        << QStringList{Confirm, StopLater, "提示|已停止切割!"};
}

void WindowSendTest::stopButton()
{
    QFETCH(QByteArray, script);
    QFETCH(int, stops);
    QFETCH(int, countAfter);
    QFETCH(QStringList, messages);
    labelSheet(4);
    cutter = new CutterSimulatorServer(CutterScript::parse(script).value());
    QVERIFY(cutter->listen(0));
    window->setCutterPort(cutter->port());
    PluginMWForm *form = window->controls();
    form->conSend->setChecked(true);
    form->sendCount->setValue(3);
    clickWhen(
        form->stopBtn, [this] { return cutter->received().contains("MD0,0"); }, stops);
    clickSend();
    QTRY_COMPARE_WITH_TIMEOUT(answerer->messages, messages, 10000);
    QCOMPARE(form->sendCount->value(), countAfter);
    QVERIFY(form->sendToCutter->isEnabled());
    // The run is over: the next click starts a new one and runs it to the end.
    delete cutter;
    cutter = new CutterSimulatorServer(CutterScript::parse(QByteArray()).value());
    QVERIFY(cutter->listen(0));
    window->setCutterPort(cutter->port());
    answerer->messages.clear();
    clickSend();
    QTRY_COMPARE_WITH_TIMEOUT(answerer->messages, QStringList{Confirm}, 10000);
    QCOMPARE(form->sendCount->value(), 0);
    QCOMPARE(cutter->received().count("CMD:20,"), countAfter);
}

// The notice of the first stop stays open while the sheet under way runs to its end behind it.
void WindowSendTest::stopNoticeLeavesSheetGoing()
{
    labelSheet(4);
    cutter = new CutterSimulatorServer(
        CutterScript::parse("split-delay 200\nsheet 1 split marks MD_ OK;").value());
    QVERIFY(cutter->listen(0));
    window->setCutterPort(cutter->port());
    PluginMWForm *form = window->controls();
    form->conSend->setChecked(true);
    form->sendCount->setValue(3);
    answerer->pick = [](const QString &title) {
        return title == QStringLiteral("提示") ? QMessageBox::NoButton : QMessageBox::Ok;
    };
    clickWhen(form->stopBtn, [this] { return cutter->received().contains("MD0,0"); });
    QTimer::singleShot(10000, window, [] { // a box that held the sheet: closed, to fail below
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    clickSend();
    auto *notice = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    QVERIFY(notice && StopLater.endsWith(notice->text()));
    QCOMPARE(cutter->received().count("CMD:22,"), 1);
    QCOMPARE(form->sendCount->value(), 2);
    notice->close();
}

void WindowSendTest::pageReadAfterConfirmation()
{
    // The user may change the page while the confirmation waits; header and trailer follow.
    HostDocument::Ptr doc = labelSheet(4);
    cutter = new CutterSimulatorServer(CutterScript::parse(QByteArray()).value());
    QVERIFY(cutter->listen(0));
    window->setCutterPort(cutter->port());
    answerer->pick = [doc](const QString &) {
        doc->activePage->heightInches = 300.0 / MmPerInch;
        return QMessageBox::Ok;
    };
    clickSend();
    QTRY_COMPARE_WITH_TIMEOUT(answerer->messages, QStringList{Confirm}, 10000);
    QVERIFY(cutter->received().startsWith("CMD:20,12000,8400,1120,200,0;MD0,0,9440,7720,2;"));
    QVERIFY(cutter->received().endsWith("CMD:22,12000,8400;"));
}

void WindowSendTest::cancelledConfirmation()
{
    labelSheet(4);
    cutter = new CutterSimulatorServer(CutterScript::parse(QByteArray()).value());
    QVERIFY(cutter->listen(0));
    window->setCutterPort(cutter->port());
    answerer->pick = [](const QString &) { return QMessageBox::Cancel; };
    clickSend();
    QTRY_COMPARE_WITH_TIMEOUT(answerer->messages, QStringList{Confirm}, 10000);
    QVERIFY(window->controls()->sendToCutter->isEnabled());
    QCOMPARE(cutter->connectionCount(), 0);
}

void WindowSendTest::closeWhileWaiting()
{
    // The close bar ends the program at once, with the settings on disk, while the cutter is
    // still awaited; the test's exit function then lets the job unwind with two stops.
    labelSheet(4);
    cutter = new CutterSimulatorServer(CutterScript::parse("silent trailer").value());
    QVERIFY(cutter->listen(0));
    window->setCutterPort(cutter->port());
    int exitStatus = -1;
    PluginMWForm *form = window->controls();
    window->setExitFunction([this, form, &exitStatus](int status) {
        exitStatus = status;
        clickWhen(
            form->stopBtn, [] { return true; }, 2);
    });
    clickWhen(form->exitBtn, [this] { return cutter->received().contains("CMD:22,"); });
    clickSend();
    QCOMPARE(exitStatus, 0);
    QVERIFY(QFileInfo::exists(DataPaths::inFolder(data->path()).configPath));
}

void WindowSendTest::usbWithoutCutter()
{
    labelSheet(4);
    PluginMWForm *form = window->controls();
    form->useRJ45->click();
    form->macName->clear();
    clickSend();
    QTRY_COMPARE_WITH_TIMEOUT(answerer->messages,
                              (QStringList{Confirm, QStringLiteral("警告|未连接切割机!")}), 10000);
    QVERIFY(form->sendToCutter->isEnabled());
}

void WindowSendTest::usbMachineList()
{
    if (!UsbTestBed::preloadActive())
        QSKIP("needs umockdev's preload library");
    UsbTestBed bed;
    const QString first = bed.addCutter(QStringLiteral("VX0001"), QStringLiteral("1-1"));
    const QString second = bed.addCutter(QString(), QStringLiteral("1-2"));
    openWindow(false);
    QComboBox *list = window->controls()->macName;
    auto items = [list] {
        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            names << list->itemText(i);
        return names;
    };
    QTRY_COMPARE_WITH_TIMEOUT(items(), (QStringList{first, second}), 5000);
    bed.removeCutter(first);
    QTRY_COMPARE_WITH_TIMEOUT(items(), QStringList{second}, 5000);
    bed.addCutter(QStringLiteral("VX0001"), QStringLiteral("1-1"));
    QTRY_COMPARE_WITH_TIMEOUT(items(), (QStringList{second, first}), 5000);
    // A cutter we may not open stays listed, so the send can say why it cannot use it.
    bed.denyAccess(second);
    window->refreshMachineList();
    QCOMPARE(items(), (QStringList{second, first}));
}

void WindowSendTest::usbSend_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<bool>("denied");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<int>("countAfter");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("Auto-Next, two sheets: paper check before each")
        << QByteArray() << false << 2 << QByteArray("CMD:14;" + MarkJob + "CMD:14;" + MarkJob) << 0
        << QStringList{Confirm};
    QTest::newRow("out of paper: the run ends, count kept")
        << QByteArray("reply paper xxS3:0;yy") << false << 2 << QByteArray("CMD:14;") << 2
        << QStringList{Confirm, "警告|缺纸!"};
    QTest::newRow("a cutter we may not open: nothing sent")
        << QByteArray() << true << 2 << QByteArray() << 2
        << QStringList{Confirm, "警告|切割机无法打开, 请检查USB权限!"};
}

void WindowSendTest::usbSend()
{
    QFETCH(QByteArray, script);
    QFETCH(bool, denied);
    QFETCH(int, count);
    QFETCH(QByteArray, received);
    QFETCH(int, countAfter);
    QFETCH(QStringList, messages);
    if (!UsbTestBed::preloadActive())
        QSKIP("needs umockdev's preload library");
    labelSheet(4);
    UsbTestBed bed;
    const QString name = bed.addCutter(QStringLiteral("VX0001"));
    SimulatedCutter cutter(CutterScript::parse(script).value());
    bed.attach(name, cutter);
    openWindow(false);
    PluginMWForm *form = window->controls();
    QTRY_COMPARE_WITH_TIMEOUT(form->macName->currentText(), name, 5000);
    if (denied)
        bed.denyAccess(name);
    form->conSend->setChecked(true);
    form->sendCount->setValue(count);
    clickSend();
    QTRY_COMPARE_WITH_TIMEOUT(answerer->messages, messages, 10000);
    QCOMPARE(cutter.received(), received);
    QCOMPARE(form->sendCount->value(), countAfter);
    QVERIFY(form->sendToCutter->isEnabled());
    if (countAfter == 0 || denied)
        return;
    // Paper loaded again: a second run goes through.
    SimulatedCutter loaded(CutterScript::parse(QByteArray()).value());
    bed.attach(name, loaded);
    answerer->messages.clear();
    clickSend();
    QTRY_COMPARE_WITH_TIMEOUT(answerer->messages, QStringList{Confirm}, 10000);
    QCOMPARE(form->sendCount->value(), 0);
    QCOMPARE(loaded.received().count("CMD:20,"), countAfter);
}

QTEST_MAIN(WindowSendTest)
#include "tst_windowsend.moc"
