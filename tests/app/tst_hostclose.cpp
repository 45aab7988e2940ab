// The companion's close bar while the built-in host's document window is open: an unsaved
// document is asked about first, and only a Cancel keeps the program running.
#include "AppTestSupport.h"
#include "app/PluginMWForm.h"
#include "builtin/BuiltinHost.h"
#include "builtin/HostWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

class TestHostClose : public QObject
{
    Q_OBJECT

private slots:
    void closeBarAsksAboutTheDrawing_data();
    void closeBarAsksAboutTheDrawing();
};

void TestHostClose::closeBarAsksAboutTheDrawing_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("exits");
    QTest::addColumn<bool>("written");
    const int save = QMessageBox::Save;
    QTest::newRow("nothing unsaved: ends at once") << false << save << false << true << false;
    QTest::newRow("Cancel: both windows stay, no exit")
        << true << int(QMessageBox::Cancel) << true << false << false;
    QTest::newRow("Discard: exits 0 unwritten")
        << true << int(QMessageBox::Discard) << true << true << false;
    QTest::newRow("Save: written, exits 0") << true << save << true << true << true;
}

void TestHostClose::closeBarAsksAboutTheDrawing()
{
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, exits);
    QFETCH(bool, written);
    QTemporaryDir dir;
    BuiltinHost &host = BuiltinHost::instance();
    host.reset();
    BuiltinHost::setWindowAllowed(true);
    const QString sheet = dir.filePath("sheet.svg");
    QVERIFY(QFile::copy(VX_TEST_DATA_DIR "/job/label-sheet.svg", sheet));
    const Result<HostDocument::Ptr> opened = host.openDocument(sheet);
    QVERIFY2(opened, qPrintable(opened.error()));
    host.setVisible(true);
    if (changed)
        host.activeDocument()->activePage->layers.last()->printable = false;
    TestWindow test(dir.filePath("data"));
    test.window->show();

    QStringList texts;
    QTimer answerer; // bounded: stops after ten seconds
    QElapsedTimer clock;
    clock.start();
    connect(&answerer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box) {
            texts << box->text();
            box->button(QMessageBox::StandardButton(answer))->click();
        } else if (clock.elapsed() > 10000) {
            answerer.stop();
        }
    });
    answerer.start(10);
    QTest::mouseClick(test.window->controls()->exitBtn, Qt::LeftButton);
    answerer.stop();

    QCOMPARE(texts, asked ? QStringList{"Save the changes to sheet.svg?"} : QStringList());
    QCOMPARE(test.exitStatuses, exits ? QList<int>{0} : QList<int>());
    QCOMPARE(test.window->isVisible(), !exits);
    QCOMPARE(host.window()->isVisible(), !exits);
    QFile file(sheet);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().contains("vexa:printable"), written);
    BuiltinHost::instance().reset();
    BuiltinHost::useDefaultWindowPolicy();
}

QTEST_MAIN(TestHostClose)
#include "tst_hostclose.moc"
