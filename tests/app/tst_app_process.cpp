// The real program on a real X server (Xvfb, 1920 x 1080), driven with xdotool as a user would
// with the mouse: where it opens, dragging by the strip, the Settings cycle, and that the close
// bar writes the settings file and ends the process with status 0.
#include "settings/DataPaths.h"

#include "XvfbDisplay.h"
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include <QtTest>

namespace {

QString runTool(const QString &program, const QStringList &args, const QProcessEnvironment &env)
{
    QProcess tool;
    tool.setProcessEnvironment(env);
    tool.start(program, args);
    if (!tool.waitForFinished(5000)) {
        tool.kill();
        tool.waitForFinished(1000);
        return QString();
    }
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

} // namespace

class TestAppProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void opensTopRight();
    void dragStrip_data();
    void dragStrip();
    void settingsCycle();
    void closeBarSavesAndExitsZero();
    void unwritableSettingsWarnThenExitZero_data();
    void unwritableSettingsWarnThenExitZero();

private:
    QString xdotool(const QStringList &args) { return runTool("xdotool", args, env); }
    QRect geometry();
    void click(int x, int y);
    void startApp(const QStringList &arguments = {}, const QByteArray &lang = {});
    void startXvfb();

    QProcess xvfb;
    QProcessEnvironment env;
    std::unique_ptr<QTemporaryDir> data;
    QProcess app;
    QString windowId;
};

void TestAppProcess::initTestCase()
{
    startXvfb();
}

void TestAppProcess::startXvfb()
{
    const QString failure = ::startXvfb(xvfb, env);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

void TestAppProcess::cleanupTestCase()
{
    xvfb.terminate();
    if (!xvfb.waitForFinished(5000))
        xvfb.kill();
}

void TestAppProcess::init()
{
    if (xvfb.state() != QProcess::Running) {
        // Another program on this machine may end X servers it did not start; start afresh.
        qWarning("Xvfb ended (exit code %d); starting another", xvfb.exitCode());
        startXvfb();
    }
    data.reset(new QTemporaryDir);
    windowId.clear();
}

void TestAppProcess::cleanup()
{
    if (app.state() != QProcess::NotRunning) {
        app.kill();
        app.waitForFinished(5000);
    }
}

void TestAppProcess::startApp(const QStringList &arguments, const QByteArray &lang)
{
    QProcessEnvironment appEnv = env;
    appEnv.insert("XDG_DATA_HOME", data->path());
    if (!lang.isEmpty())
        appEnv.insert("LANG", QString::fromLatin1(lang));
    app.setProcessEnvironment(appEnv);
    app.start(VX_APP_PATH, arguments);
    QVERIFY(app.waitForStarted(5000));
    const QString pid = QString::number(app.processId());
    const auto shown = [&] {
        windowId = xdotool({"search", "--onlyvisible", "--pid", pid}).section('\n', 0, 0);
        return !windowId.isEmpty() || app.state() == QProcess::NotRunning;
    };
    QTRY_VERIFY_WITH_TIMEOUT(shown(), 20000);
    QVERIFY2(app.state() == QProcess::Running, app.readAllStandardError().constData());
}

QRect TestAppProcess::geometry()
{
    const QString shell = xdotool({"getwindowgeometry", "--shell", windowId});
    QRect r;
    for (const QString &line : shell.split('\n')) {
        const int v = line.section('=', 1).toInt();
        if (line.startsWith("X="))
            r.moveLeft(v);
        else if (line.startsWith("Y="))
            r.moveTop(v);
        else if (line.startsWith("WIDTH="))
            r.setWidth(v);
        else if (line.startsWith("HEIGHT="))
            r.setHeight(v);
    }
    return r;
}

void TestAppProcess::click(int x, int y)
{
    xdotool({"mousemove", QString::number(x), QString::number(y), "click", "1"});
}

void TestAppProcess::opensTopRight()
{
    startApp();
    QTRY_COMPARE_WITH_TIMEOUT(geometry(), QRect(1549, 30, 341, 91), 10000);
    const QString dataFolder = data->path() + "/VexaCommonPlugin/";
    for (const char *sub : {"", "QR Jobs", "QR Pageinfo"})
        QVERIFY(QFileInfo(dataFolder + sub).isDir());
}

void TestAppProcess::dragStrip_data()
{
    QTest::addColumn<int>("pressY");
    QTest::addColumn<bool>("moves");
    QTest::newRow("pressed at y 5 the window follows") << 5 << true;
    QTest::newRow("pressed at y 9 the window follows") << 9 << true;
    QTest::newRow("pressed at y 10 it stays") << 10 << false;
}

void TestAppProcess::dragStrip()
{
    QFETCH(int, pressY);
    QFETCH(bool, moves);
    startApp();
    QTRY_COMPARE_WITH_TIMEOUT(geometry().topLeft(), QPoint(1549, 30), 10000);
    const int x = 1549 + 150;
    const int y = 30 + pressY;
    xdotool({"mousemove", QString::number(x), QString::number(y), "mousedown", "1"});
    xdotool({"mousemove", QString::number(x - 100), QString::number(y + 50)});
    xdotool({"mousemove", QString::number(x - 300), QString::number(y + 200), "mouseup", "1"});
    const QPoint expected = moves ? QPoint(1249, 230) : QPoint(1549, 30);
    QTRY_COMPARE_WITH_TIMEOUT(geometry().topLeft(), expected, 5000);
}

void TestAppProcess::settingsCycle()
{
    startApp();
    QTRY_COMPARE_WITH_TIMEOUT(geometry().height(), 91, 10000);
    for (int height : {621, 621, 91}) {
        click(1549 + 230, 30 + 60);
        QTRY_COMPARE_WITH_TIMEOUT(geometry().height(), height, 5000);
    }
}

void TestAppProcess::closeBarSavesAndExitsZero()
{
    startApp();
    QTRY_COMPARE_WITH_TIMEOUT(geometry().topLeft(), QPoint(1549, 30), 10000);
    click(1549 + 326, 30 + 5);
    QVERIFY2(app.waitForFinished(15000), "the close bar did not end the program");
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 0);
    QSettings file(data->path() + "/VexaCommonPlugin/config.ini", QSettings::IniFormat);
    QCOMPARE(file.childGroups(), QStringList{"VX_Plugin"});
    QCOMPARE(file.allKeys().size(), 22);
    QCOMPARE(file.value("VX_Plugin/cdrVersion").toString(), QString("CorelDraw.Application.14"));
}

void TestAppProcess::unwritableSettingsWarnThenExitZero_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("lang"); // empty: the test's own locale
    QTest::addColumn<QString>("title");
    QTest::newRow("as written") << QStringList() << QByteArray() << "警告";
    QTest::newRow("LANG=en_US.UTF-8: in English")
        << QStringList() << QByteArray("en_US.UTF-8") << "Warning";
    QTest::newRow("--lang en: in English")
        << QStringList{"--lang", "en"} << QByteArray() << "Warning";
}

void TestAppProcess::unwritableSettingsWarnThenExitZero()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, lang);
    QFETCH(QString, title);
    QVERIFY(QDir().mkpath(data->path() + "/VexaCommonPlugin/config.ini"));
    startApp(arguments, lang);
    QTRY_COMPARE_WITH_TIMEOUT(geometry().topLeft(), QPoint(1549, 30), 10000);
    click(1549 + 326, 30 + 5);
    QString box;
    QTRY_VERIFY_WITH_TIMEOUT(
        !(box = xdotool({"search", "--onlyvisible", "--name", title})).isEmpty(), 10000);
    QVERIFY(app.state() == QProcess::Running); // waits for the user to read the warning
    box = box.section('\n', 0, 0);
    // A key sent to the box counts only once it has the keyboard, which may come a moment after
    // it shows; then the key goes where a user's would.
    QTRY_COMPARE_WITH_TIMEOUT(xdotool({"getwindowfocus"}).trimmed(), box, 10000);
    xdotool({"key", "Return"});
    QVERIFY2(app.waitForFinished(15000), "the program did not end after the warning");
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestAppProcess)
#include "tst_app_process.moc"
