// The window as a user drives it: where it opens, dragging by its top strip, the Settings
// cycle, icons that follow check boxes, the address field, the command frame and the previews.
#include "WindowTest.h"

#include "app/PluginMWForm.h"
#include "common/Version.h"
#include "host/builtin/BuiltinHost.h"
#include "views/MarkView.h"
#include "views/PaperView.h"
#include "views/QPaintWidget.h"
#include "views/RollLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

namespace {

const QString Unreachable = QStringLiteral("请确认CorelDraw安装并选择正确的CorelDraw版本...");

} // namespace

void WindowTest::init()
{
    BuiltinHost::instance().reset();
    dir.reset(new QTemporaryDir);
    test.reset(new TestWindow(dir->path()));
    test->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(test->window.get()));
}

void WindowTest::cleanup()
{
    test.reset();
    dir.reset();
    BuiltinHost::instance().reset();
}

void WindowTest::startPosition_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("position");
    QTest::newRow("1920 wide") << QRect(0, 0, 1920, 1040) << QPoint(1549, 30);
    QTest::newRow("1366 wide") << QRect(0, 0, 1366, 728) << QPoint(995, 30);
    QTest::newRow("area starting right of a side panel uses its width, not its right edge")
        << QRect(200, 0, 1720, 1080) << QPoint(1349, 30);
    QTest::newRow("area below a top panel still at y 30")
        << QRect(0, 40, 1920, 1040) << QPoint(1549, 30);
}

void WindowTest::startPosition()
{
    QFETCH(QRect, available);
    QTEST(PluginMW::startPosition(available, QSize(341, 91)), "position");
}

void WindowTest::placedOnThisScreen()
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(test->window->pos(), QPoint(area.width() - 341 - 30, 30));
}

void WindowTest::dragStrip_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<bool>("moves");
    QTest::newRow("y 9 is in the strip") << QPoint(120, 9) << QPoint(-200, 150) << true;
    QTest::newRow("y 0, the top row") << QPoint(5, 0) << QPoint(30, 40) << true;
    QTest::newRow("y 10 is below the strip") << QPoint(120, 10) << QPoint(-200, 150) << false;
    QTest::newRow("on the address area") << QPoint(120, 60) << QPoint(50, 50) << false;
    QTest::newRow("minimise bar in the strip is a button, not a handle")
        << QPoint(290, 5) << QPoint(-100, 100) << false;
}

void WindowTest::dragStrip()
{
    QFETCH(QPoint, press);
    QFETCH(QPoint, delta);
    QFETCH(bool, moves);
    PluginMW *w = test->window.get();
    const QPoint before = w->pos();
    const QPoint grab = w->mapToGlobal(press);
    sendMouse(w, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    sendMouse(w, QEvent::MouseMove, w->mapFromGlobal(grab + delta / 2), Qt::NoButton,
              Qt::LeftButton, grab + delta / 2);
    sendMouse(w, QEvent::MouseMove, w->mapFromGlobal(grab + delta), Qt::NoButton, Qt::LeftButton,
              grab + delta);
    sendMouse(w, QEvent::MouseButtonRelease, w->mapFromGlobal(grab + delta), Qt::LeftButton,
              Qt::NoButton, grab + delta);
    QCOMPARE(w->pos(), moves ? before + delta : before);
    // After the release a plain move drags nothing.
    const QPoint after = w->pos();
    sendMouse(w, QEvent::MouseMove, QPoint(150, 5), Qt::NoButton, Qt::LeftButton,
              w->mapToGlobal(QPoint(150, 5)) + QPoint(40, 40));
    QCOMPARE(w->pos(), after);
}

void WindowTest::settingsCycle_data()
{
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("settingsShown");
    QTest::addColumn<bool>("previewShown");
    QTest::newRow("start: collapsed") << 0 << 91 << false << false;
    QTest::newRow("one click: settings panel") << 1 << 621 << true << false;
    QTest::newRow("two clicks: preview panel") << 2 << 621 << false << true;
    QTest::newRow("three clicks: collapsed again") << 3 << 91 << false << false;
    QTest::newRow("four clicks: settings panel again") << 4 << 621 << true << false;
}

void WindowTest::settingsCycle()
{
    QFETCH(int, clicks);
    PluginMWForm *f = test->window->controls();
    for (int i = 0; i < clicks; ++i) {
        QTest::mouseClick(f->configCenter, Qt::LeftButton);
        QVERIFY(f->configCenter->isEnabled());
    }
    QTEST(test->window->height(), "height");
    QCOMPARE(test->window->width(), 341);
    QTEST(f->configWidget->isVisible(), "settingsShown");
    QTEST(f->paintWidget->isVisible(), "previewShown");
    QVERIFY(!f->horizontalMark->isVisible());
}

void WindowTest::iconFollowsCheckBox_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("checkedImage");
    QTest::addColumn<QString>("uncheckedImage");
    QTest::addColumn<int>("side");
    QTest::newRow("Cut-Blank swaps the big cut button") << "blankCut"
                                                        << "sendToCutter"
                                                        << ":/png/BlankCutBtn.png"
                                                        << ":/png/CutBtn.png" << 60;
    QTest::newRow("Create Cut Boundary swaps the boundary button") << "createEdge"
                                                                   << "generateBoundary"
                                                                   << ":/png/OutlineBtn.png"
                                                                   << ":/png/LayerBtn.png" << 30;
    QTest::newRow("Save PDF swaps the print button") << "publishToPDF"
                                                     << "printOut"
                                                     << ":/png/SavePdfBtn.png"
                                                     << ":/png/PrintBtn.png" << 30;
}

void WindowTest::iconFollowsCheckBox()
{
    QFETCH(QString, box);
    QFETCH(QString, button);
    QFETCH(QString, checkedImage);
    QFETCH(QString, uncheckedImage);
    QFETCH(int, side);
    PluginMWForm *f = test->window->controls();
    QTest::mouseClick(f->configCenter, Qt::LeftButton); // open the settings panel
    auto *check = test->window->findChild<QCheckBox *>(box);
    auto *target = test->window->findChild<QPushButton *>(button);
    QVERIFY(check && target);
    QVERIFY(iconShows(target->icon(), uncheckedImage, side));
    clickBox(check);
    QVERIFY(check->isChecked());
    QVERIFY(iconShows(target->icon(), checkedImage, side));
    QCOMPARE(target->iconSize(), QSize(side, side));
    clickBox(check);
    QVERIFY(iconShows(target->icon(), uncheckedImage, side));
}

void WindowTest::rj45SwapsMachineList_data()
{
    QTest::addColumn<int>("clicks");
    QTest::addColumn<bool>("addressShown");
    QTest::newRow("checked: address field in the machine list's place") << 1 << true;
    QTest::newRow("unchecked again: machine list back") << 2 << false;
}

void WindowTest::rj45SwapsMachineList()
{
    QFETCH(int, clicks);
    QFETCH(bool, addressShown);
    PluginMWForm *f = test->window->controls();
    QTest::mouseClick(f->configCenter, Qt::LeftButton);
    for (int i = 0; i < clicks; ++i)
        clickBox(f->useRJ45);
    QCOMPARE(f->ipAddress->isVisible(), addressShown);
    QCOMPARE(f->macName->isVisible(), !addressShown);
    QCOMPARE(f->ipAddress->text(), QString("192.168.0.200"));
}

void WindowTest::minimise()
{
    QTest::mouseClick(test->window->controls()->minBtn, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(test->window->isMinimized(), 5000);
    QVERIFY(test->exitStatuses.isEmpty());
}

void WindowTest::unreachableHostWarns_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("version"); // index in the version list
    QTest::newRow("Add Mark") << "generateMark" << 0;
    QTest::newRow("Create Boundary") << "generateBoundary" << 3;
    QTest::newRow("Setup Print") << "printOut" << 9;
    QTest::newRow("Save As *.plt") << "saveAsFile" << 5;
    QTest::newRow("Send to Cutter") << "sendToCutter" << 0;
}

void WindowTest::unreachableHostWarns()
{
    QFETCH(QString, button);
    QFETCH(int, version);
    PluginMWForm *f = test->window->controls();
    f->cdrVersion->setCurrentIndex(version);
    BuiltinHost::instance().setProgramIdAvailable(f->cdrVersion->currentText(), false);
    auto *command = test->window->findChild<QPushButton *>(button);
    QVERIFY(command);
    ModalWatcher watcher;
    QTest::mouseClick(command, Qt::LeftButton);
    QCOMPARE(watcher.titles, QStringList{"警告"});
    QCOMPARE(watcher.texts, QStringList{Unreachable});
    QVERIFY(command->isEnabled());
    QVERIFY(f->paintWidget->isHidden()); // nothing of the command ran
    QCOMPARE(test->window->height(), 91);
}

void WindowTest::sendOpensPreview_data()
{
    QTest::addColumn<int>("settingsClicks");
    QTest::newRow("from the collapsed window") << 0;
    QTest::newRow("from the settings panel") << 1;
    QTest::newRow("with the preview already open") << 2;
}

void WindowTest::sendOpensPreview()
{
    QFETCH(int, settingsClicks);
    PluginMWForm *f = test->window->controls();
    for (int i = 0; i < settingsClicks; ++i)
        QTest::mouseClick(f->configCenter, Qt::LeftButton);
    ModalWatcher watcher;
    QTest::mouseClick(f->sendToCutter, Qt::LeftButton);
    QVERIFY(!watcher.texts.contains(Unreachable));
    QVERIFY(f->paintWidget->isVisible());
    QVERIFY(!f->configWidget->isVisible());
    QCOMPARE(test->window->height(), 621);
    QVERIFY(f->sendToCutter->isEnabled());
}

void WindowTest::stopAsksToWait()
{
    PluginMWForm *f = test->window->controls();
    QTest::mouseClick(f->configCenter, Qt::LeftButton);
    QTest::mouseClick(f->configCenter, Qt::LeftButton);
    ModalWatcher watcher;
    QTest::mouseClick(f->stopBtn, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(watcher.titles, QStringList{"提示"}, 10000); // opened, not awaited
    QCOMPARE(watcher.texts, QStringList{"将于本张切割结束后停止, 请等待..."});
}

void WindowTest::previewsFollowControls()
{
    PluginMWForm *f = test->window->controls();
    PaperView *paper = f->paperView;
    QCOMPARE(paper->topMargin, 22.5);
    QCOMPARE(paper->leftMargin, 8.5);
    QCOMPARE(paper->rightMargin, 8.5);
    QCOMPARE(paper->bottomMargin, 38.5);
    QCOMPARE(paper->markWidth, 9.0);
    QCOMPARE(paper->markWeight, 1.0);
    QCOMPARE(f->markView->crossWidth, 18.0);
    QCOMPARE(f->markView->crossHeight, 18.0);
    QCOMPARE(f->markView->crossPen, 2.0);
    const QVector<QLineF> strokes = paper->markStrokes();
    QCOMPARE(strokes[0], QLineF(8.5, 27, 17.5, 27));    // top-left cross centred at (13, 27)
    QCOMPARE(strokes[7], QLineF(13, 152.5, 13, 143.5)); // bottom-left centred at (13, 148)

    // A changed value reaches the views at once; un-checking the hidden horizontal-layout box
    // puts the margins back to their defaults.
    f->topDspbx->setValue(30);
    f->markWeightDspbx->setValue(1.5);
    QCOMPARE(paper->topMargin, 30.0);
    QCOMPARE(f->markView->crossPen, 3.0);
    f->horizontalMark->setChecked(true);
    f->horizontalMark->setChecked(false);
    QCOMPARE(f->topDspbx->value(), 22.5);
    QCOMPARE(paper->topMargin, 22.5);
}

void WindowTest::fixedFieldsRefuseTyping_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("topDspbx") << 22.5;
    QTest::newRow("leftDspbx") << 8.5;
    QTest::newRow("markWidthDspbx") << 9.0;
    QTest::newRow("markWeightDspbx") << 1.0;
}

void WindowTest::fixedFieldsRefuseTyping()
{
    QTest::mouseClick(test->window->controls()->configCenter, Qt::LeftButton);
    auto *spin = test->window->findChild<QDoubleSpinBox *>(QTest::currentDataTag());
    QVERIFY(spin);
    QTest::mouseClick(spin, Qt::LeftButton);
    QTest::keyClicks(spin, "12");
    QTest::keyClick(spin, Qt::Key_Up);
    QTest::keyClick(spin, Qt::Key_Enter);
    QTEST(spin->value(), "value");
}

void WindowTest::machineNamesAppendOnce()
{
    QComboBox *list = test->window->controls()->macName;
    test->window->addMachineNames({"SN-0001", "SN-0002"});
    test->window->addMachineNames({"SN-0002", "sn-0001", "SN-0003"});
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    QCOMPARE(items, (QStringList{"SN-0001", "SN-0002", "sn-0001", "SN-0003"}));
}

void WindowTest::dataFolderWithMissingParents()
{
    QTemporaryDir root;
    const QString folder = root.path() + "/fresh/account/VexaCommonPlugin";
    TestWindow fresh(folder);
    for (const char *sub : {"", "/QR Jobs", "/QR Pageinfo"})
        QVERIFY2(QFileInfo(folder + sub).isDir(), qPrintable(folder + QLatin1String(sub)));
    QCOMPARE(fresh.window->pltPath, folder + "/ABDOPQR.plt");
    QCOMPARE(fresh.window->configPath, folder + "/config.ini");
    QVERIFY(!QFileInfo::exists(fresh.window->configPath)); // written only at close
}

void WindowTest::versionLine()
{
    auto *label = test->window->controls()->versionLbl;
    // The version `cutjob --version` and the package carry.
    const QString line = QStringLiteral("^Vexa Print&Cut Plugin %1  Build \\d{8}$")
                             .arg(QRegularExpression::escape(QLatin1String(PROGRAM_VERSION)));
    QVERIFY(QRegularExpression(line).match(label->scrollingText()).hasMatch());
}

QTEST_MAIN(WindowTest)
