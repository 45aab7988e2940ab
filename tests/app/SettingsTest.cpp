// The settings file as a user meets it: the first close creates it, the next start reads it,
// hand-edited or damaged values start sensibly, and an unwritable file is reported.
#include "SettingsTest.h"

#include "app/PluginMWForm.h"
#include "host/builtin/BuiltinHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

namespace {

const QStringList KeysInOrder = {
    "ipAddress",      "topDspbx",         "leftDspbx",      "bottomDspbx",     "rightDspbx",
    "horizontalMark", "directCut",        "markWidthDspbx", "markHeightDspbx", "markWeightDspbx",
    "cdrVersion",     "posLen",           "negLen",         "knifeOffsetChx",  "knifeOffsetDspbx",
    "closeOffsetChx", "closeOffsetDspbx", "autoSort",       "conSend",         "createEdge",
    "publishToPDF",   "useRJ45"};

} // namespace

void SettingsTest::init()
{
    BuiltinHost::instance().reset();
    dir.reset(new QTemporaryDir);
}

void SettingsTest::cleanup()
{
    dir.reset();
}

void SettingsTest::firstRunWritesAllKeys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("address") << "ipAddress"
                             << "192.168.0.200";
    QTest::newRow("top margin") << "topDspbx"
                                << "22.5";
    QTest::newRow("bottom margin") << "bottomDspbx"
                                   << "38.5";
    QTest::newRow("left margin") << "leftDspbx"
                                 << "8.5";
    QTest::newRow("right margin") << "rightDspbx"
                                  << "8.5";
    QTest::newRow("mark weight") << "markWeightDspbx"
                                 << "1";
    QTest::newRow("version") << "cdrVersion"
                             << "CorelDraw.Application.14";
    QTest::newRow("Cut-Blank under its own key") << "directCut"
                                                 << "false";
    QTest::newRow("dash") << "posLen"
                          << "10";
    QTest::newRow("gap") << "negLen"
                         << "0.1";
    QTest::newRow("knife offset") << "knifeOffsetDspbx"
                                  << "0.3";
    QTest::newRow("overcut") << "closeOffsetDspbx"
                             << "0.5";
    QTest::newRow("RJ45") << "useRJ45"
                          << "false";
}

void SettingsTest::firstRunWritesAllKeys()
{
    QFETCH(QString, key);
    TestWindow run(dir->path());
    const QString path = run.window->configPath;
    QVERIFY(!QFileInfo::exists(path));
    QStringList seenAtExit;
    run.window->setExitFunction([&](int status) {
        run.exitStatuses << status;
        // The file must be complete by the time the process would end.
        QSettings file(path, QSettings::IniFormat);
        seenAtExit = file.childGroups();
        seenAtExit << file.allKeys();
    });
    run.window->show();
    QTest::mouseClick(run.window->controls()->exitBtn, Qt::LeftButton);
    QCOMPARE(run.exitStatuses, QList<int>{0});
    QCOMPARE(seenAtExit.size(), 1 + 22);
    QSettings file(path, QSettings::IniFormat);
    QTEST(file.value("VX_Plugin/" + key).toString(), "value");
}

void SettingsTest::keyNamesAndGroup()
{
    TestWindow run(dir->path());
    run.window->close();
    QFile file(run.window->configPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    QCOMPARE(lines.first().trimmed(), QByteArray("[VX_Plugin]"));
    QStringList keys;
    for (int i = 1; i < lines.size(); ++i)
        keys << QString::fromLatin1(lines[i].left(lines[i].indexOf('=')));
    QStringList expected = KeysInOrder;
    expected.sort(); // the settings library writes a group's keys sorted
    keys.sort();
    QCOMPARE(keys, expected);
}

void SettingsTest::startsFromFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("expected");
    const QByteArray head = "[VX_Plugin]\n";
    QTest::newRow("useRJ45 true starts with the address field")
        << head + "useRJ45=true\n"
        << "ipAddress" << QByteArray("visible") << QVariant(true);
    QTest::newRow("useRJ45 true hides the machine list")
        << head + "useRJ45=true\n"
        << "macName" << QByteArray("visible") << QVariant(false);
    QTest::newRow("useRJ45 true is checked")
        << head + "useRJ45=true\n"
        << "useRJ45" << QByteArray("checked") << QVariant(true);
    QTest::newRow("useRJ45 false keeps the machine list")
        << head + "useRJ45=false\n"
        << "macName" << QByteArray("visible") << QVariant(true);
    QTest::newRow("saved address") << head + "ipAddress=10.0.0.7\n"
                                   << "ipAddress" << QByteArray("text") << QVariant("10.0.0.7");
    QTest::newRow("missing address reads as empty")
        << head + "posLen=12\n"
        << "ipAddress" << QByteArray("text") << QVariant("");
    QTest::newRow("posLen 0 starts at 1.0") << head + "posLen=0\n"
                                            << "posLen" << QByteArray("value") << QVariant(1.0);
    QTest::newRow("posLen in range") << head + "posLen=55.5\n"
                                     << "posLen" << QByteArray("value") << QVariant(55.5);
    QTest::newRow("posLen above range is held at 100")
        << head + "posLen=1000\n"
        << "posLen" << QByteArray("value") << QVariant(100.0);
    QTest::newRow("text for a number starts at the minimum")
        << head + "negLen=abc\n"
        << "negLen" << QByteArray("value") << QVariant(0.1);
    // A damaged file: what is not a finite number counts as no number, not as the maximum.
    QTest::newRow("nan knife offset starts at the minimum")
        << head + "knifeOffsetDspbx=nan\n"
        << "knifeOffsetDspbx" << QByteArray("value") << QVariant(0.1);
    QTest::newRow("inf knife offset starts at the minimum")
        << head + "knifeOffsetDspbx=inf\n"
        << "knifeOffsetDspbx" << QByteArray("value") << QVariant(0.1);
    QTest::newRow("inf overcut starts at the minimum")
        << head + "closeOffsetDspbx=INF\n"
        << "closeOffsetDspbx" << QByteArray("value") << QVariant(0.1);
    QTest::newRow("-inf dash starts at the minimum")
        << head + "posLen=-inf\n"
        << "posLen" << QByteArray("value") << QVariant(1.0);
    QTest::newRow("nan gap starts at the minimum")
        << head + "negLen=NaN\n"
        << "negLen" << QByteArray("value") << QVariant(0.1);
    QTest::newRow("missing knife offset starts at the minimum")
        << head + "posLen=12\n"
        << "knifeOffsetDspbx" << QByteArray("value") << QVariant(0.1);
    QTest::newRow("overcut") << head + "closeOffsetDspbx=2.5\n"
                             << "closeOffsetDspbx" << QByteArray("value") << QVariant(2.5);
    QTest::newRow("topDspbx 15 is ignored") << head + "topDspbx=15\n"
                                            << "topDspbx" << QByteArray("value") << QVariant(22.5);
    QTest::newRow("mark width is ignored")
        << head + "markWidthDspbx=12\n"
        << "markWidthDspbx" << QByteArray("value") << QVariant(9.0);
    QTest::newRow("horizontalMark is ignored")
        << head + "horizontalMark=true\n"
        << "horizontalMark" << QByteArray("checked") << QVariant(false);
    QTest::newRow("directCut checks Cut-Blank")
        << head + "directCut=true\n"
        << "blankCut" << QByteArray("checked") << QVariant(true);
    QTest::newRow("the control's own name is not the key")
        << head + "blankCut=true\n"
        << "blankCut" << QByteArray("checked") << QVariant(false);
    QTest::newRow("version chosen")
        << head + "cdrVersion=CorelDraw.Application.19\n"
        << "cdrVersion" << QByteArray("currentText") << QVariant("CorelDraw.Application.19");
    QTest::newRow("unknown version keeps the first")
        << head + "cdrVersion=CorelDraw.Application.99\n"
        << "cdrVersion" << QByteArray("currentText") << QVariant("CorelDraw.Application.14");
    QTest::newRow("version matched with case")
        << head + "cdrVersion=coreldraw.application.17\n"
        << "cdrVersion" << QByteArray("currentText") << QVariant("CorelDraw.Application.14");
    QTest::newRow("knife box") << head + "knifeOffsetChx=true\n"
                               << "knifeOffsetChx" << QByteArray("checked") << QVariant(true);
    QTest::newRow("overcut box") << head + "closeOffsetChx=true\n"
                                 << "closeOffsetChx" << QByteArray("checked") << QVariant(true);
    QTest::newRow("Auto-Sort") << head + "autoSort=true\n"
                               << "autoSort" << QByteArray("checked") << QVariant(true);
    QTest::newRow("Auto-Next") << head + "conSend=true\n"
                               << "conSend" << QByteArray("checked") << QVariant(true);
    QTest::newRow("sheet count is not stored")
        << head + "sendCount=7\n"
        << "sendCount" << QByteArray("value") << QVariant(50);
    QTest::newRow("keys outside the group are not ours")
        << QByteArray("[General]\nposLen=40\n") << "posLen" << QByteArray("value") << QVariant(1.0);
    QTest::newRow("a file of rubbish starts like a missing key")
        << QByteArray("\x01\x02 not an ini file [[[\n") << "closeOffsetDspbx" << QByteArray("value")
        << QVariant(0.1);
}

void SettingsTest::startsFromFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, control);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, expected);
    writeSettingsFile(dir->path(), file);
    TestWindow run(dir->path());
    run.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(run.window.get()));
    QObject *target = run.window->findChild<QObject *>(control);
    QVERIFY(target);
    const QVariant actual = target->property(property.constData());
    if (expected.type() == QVariant::Double)
        QVERIFY2(qFuzzyCompare(actual.toDouble(), expected.toDouble()),
                 qPrintable(actual.toString()));
    else
        QCOMPARE(actual, expected);
}

void SettingsTest::startIconsFromFile_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("image");
    QTest::addColumn<int>("side");
    QTest::newRow("directCut true shows the blank-cut image")
        << QByteArray("directCut") << "sendToCutter"
        << ":/png/BlankCutBtn.png" << 60;
    QTest::newRow("createEdge true shows the outline image")
        << QByteArray("createEdge") << "generateBoundary"
        << ":/png/OutlineBtn.png" << 30;
    QTest::newRow("publishToPDF true shows the PDF image")
        << QByteArray("publishToPDF") << "printOut"
        << ":/png/SavePdfBtn.png" << 30;
}

void SettingsTest::startIconsFromFile()
{
    QFETCH(QByteArray, key);
    QFETCH(QString, button);
    QFETCH(QString, image);
    QFETCH(int, side);
    writeSettingsFile(dir->path(), "[VX_Plugin]\n" + key + "=true\n");
    TestWindow run(dir->path());
    auto *target = run.window->findChild<QPushButton *>(button);
    QVERIFY(target);
    QVERIFY(iconShows(target->icon(), image, side));
}

void SettingsTest::userChoicesSurviveRestart()
{
    {
        TestWindow run(dir->path());
        run.window->show();
        PluginMWForm *f = run.window->controls();
        QTest::mouseClick(f->configCenter, Qt::LeftButton);
        f->posLen->selectAll();
        QTest::keyClicks(f->posLen, "25");
        QTest::keyClick(f->posLen, Qt::Key_Enter);
        f->knifeOffsetDspbx->selectAll();
        QTest::keyClicks(f->knifeOffsetDspbx, "0.8");
        QTest::keyClick(f->knifeOffsetDspbx, Qt::Key_Enter);
        QTest::keyClick(f->cdrVersion, Qt::Key_Down);
        QTest::keyClick(f->cdrVersion, Qt::Key_Down);
        for (QCheckBox *box : {f->knifeOffsetChx, f->blankCut, f->publishToPDF, f->useRJ45})
            clickBox(box);
        f->ipAddress->selectAll();
        QTest::keyClicks(f->ipAddress, "10.1.2.3");
        QCOMPARE(f->posLen->value(), 25.0);
        QTest::mouseClick(f->exitBtn, Qt::LeftButton);
        QCOMPARE(run.exitStatuses, QList<int>{0});
    }
    TestWindow again(dir->path());
    again.window->show();
    PluginMWForm *f = again.window->controls();
    QCOMPARE(f->posLen->value(), 25.0);
    QCOMPARE(f->knifeOffsetDspbx->value(), 0.8);
    QCOMPARE(f->cdrVersion->currentText(), QString("CorelDraw.Application.16"));
    QVERIFY(f->knifeOffsetChx->isChecked());
    QVERIFY(f->blankCut->isChecked());
    QVERIFY(f->publishToPDF->isChecked());
    QVERIFY(f->useRJ45->isChecked());
    QVERIFY(!f->autoSort->isChecked());
    QCOMPARE(f->ipAddress->text(), QString("10.1.2.3"));
    QVERIFY(f->ipAddress->isVisible());
    QVERIFY(!f->macName->isVisible());
    QVERIFY(iconShows(f->printOut->icon(), ":/png/SavePdfBtn.png", 30));
}

void SettingsTest::damagedFileIsRewrittenAtClose()
{
    writeSettingsFile(dir->path(), "\x01\x02 not an ini file [[[\nposLen\n");
    TestWindow run(dir->path());
    run.window->show();
    ModalWatcher watcher(&run.events);
    QTest::mouseClick(run.window->controls()->exitBtn, Qt::LeftButton);
    QCOMPARE(run.exitStatuses, QList<int>{0});
    QSettings file(run.window->configPath, QSettings::IniFormat);
    QCOMPARE(file.status(), QSettings::NoError);
    QCOMPARE(file.allKeys().size(), 22);
    QCOMPARE(file.value("VX_Plugin/posLen").toDouble(), 1.0);
    QVERIFY(watcher.texts.isEmpty());
}

void SettingsTest::unwritableFileWarnsThenExits()
{
    // A folder where the file should be: nothing can be written there.
    QVERIFY(QDir().mkpath(DataPaths::inFolder(dir->path()).configPath));
    TestWindow run(dir->path());
    run.window->show();
    ModalWatcher watcher(&run.events);
    QTest::mouseClick(run.window->controls()->exitBtn, Qt::LeftButton);
    QCOMPARE(watcher.titles, QStringList{"警告"});
    QCOMPARE(watcher.texts.size(), 1);
    QVERIFY2(watcher.texts.first().startsWith("设置无法保存!\ncannot write "),
             qPrintable(watcher.texts.first()));
    QCOMPARE(run.exitStatuses, QList<int>{0});
    QCOMPARE(run.events, (QStringList{"box", "exit"}));
}

void SettingsTest::closeDuringAWaitStillExits()
{
    // A command waiting on the cutter runs a nested event loop; closing from inside it must
    // still write the settings and end the process.
    TestWindow run(dir->path());
    run.window->show();
    QEventLoop wait;
    run.window->setExitFunction([&](int status) {
        run.exitStatuses << status;
        wait.quit(); // stands in for the end of the process
    });
    QTimer::singleShot(0, run.window->controls()->exitBtn, &QPushButton::click);
    QTimer::singleShot(10000, &wait, &QEventLoop::quit); // bound, should the close not come
    wait.exec();
    QCOMPARE(run.exitStatuses, QList<int>{0});
    QVERIFY(QFileInfo::exists(run.window->configPath));
}

QTEST_MAIN(SettingsTest)
