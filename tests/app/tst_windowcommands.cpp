// The window's "Add Mark" and "Save As *.plt" buttons against the built-in host, clicked as a
// user clicks them, offscreen: what the document holds afterwards, the job file on disk, and
// the warnings the user sees.

#include "ModalAnswerer.h"
#include "RecordingAutomation.h"
#include "TestDocument.h"
#include "app/PluginMW.h"
#include "app/PluginMWForm.h"
#include "host/AutomationMembers.h"
#include "host/CdrConnection.h"
#include "host/InProcessHost.h"
#include "job/JobPreparation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestDocument;

namespace {
QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString NoHost = QStringLiteral("警告|请确认CorelDraw安装并选择正确的CorelDraw版本...");
} // namespace

class WindowCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void addMarkButton_data();
    void addMarkButton();
    void boundaryButton_data();
    void boundaryButton();
    void saveButton_data();
    void saveButton();
    void emptyCutSaid();
    void printButton_data();
    void printButton();

private:
    QTemporaryDir *data = nullptr;
    PluginMW *window = nullptr;
    ModalAnswerer *answerer = nullptr;
};

void WindowCommandsTest::init()
{
    data = new QTemporaryDir;
    window = new PluginMW(nullptr, DataPaths::inFolder(data->path()));
    window->setExitFunction([](int) {});
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    answerer = new ModalAnswerer;
}

void WindowCommandsTest::cleanup()
{
    delete answerer;
    delete window;
    delete data;
}

void WindowCommandsTest::addMarkButton_data()
{
    QTest::addColumn<bool>("available");
    QTest::addColumn<int>("version"); // index in cdrVersion
    QTest::addColumn<int>("marks");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("host answers: four marks, the earlier layer active again")
        << true << 3 << 4 << QStringList{};
    QTest::newRow("chosen version missing: the warning, no marks")
        << false << 9 << 0 << QStringList{NoHost};
}

void WindowCommandsTest::addMarkButton()
{
    QFETCH(bool, available);
    QFETCH(int, version);
    QFETCH(int, marks);
    QFETCH(QStringList, messages);
    HostDocument::Ptr doc = freshA4();
    const HostLayer::Ptr active = doc->activeLayer;
    PluginMWForm *form = window->controls();
    form->cdrVersion->setCurrentIndex(version);
    BuiltinHost::instance().setProgramIdAvailable(form->cdrVersion->currentText(), available);
    QTest::mouseClick(form->generateMark, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(answerer->messages, messages, 5000);
    QVERIFY(form->generateMark->isEnabled());
    const HostLayer::Ptr markLayer = doc->findLayer("Mark Layer");
    QCOMPARE(markLayer ? markLayer->shapes.size() : 0, marks);
    QCOMPARE(doc->activeLayer, active);
    if (marks) {
        // The window's margins reach the host in inches: the top-left mark at 8.5, 22.5 mm.
        const QRectF box = boxMm(doc, markLayer->shapes.first());
        QVERIFY(qAbs(box.center().x() - 8.5) < 1e-9 && qAbs(box.center().y() - 22.5) < 1e-9);
        QCOMPARE(doc->findLayer("Extra Layer")->shapes.size(), 1);
        QVERIFY(!doc->findLayer("Assist Layer")->printable);
    }
}

// The page holds a label on "Layer 1" and an earlier contour elsewhere on a locked "Cutting Layer".
void WindowCommandsTest::boundaryButton_data()
{
    QTest::addColumn<bool>("available");
    QTest::addColumn<bool>("createEdge");
    QTest::addColumn<QRectF>("contour"); // mm from the top-left corner, the one curve left
    QTest::addColumn<QStringList>("messages");
    const QRectF label(40, 50, 60, 30), earlier(150, 150, 10, 10);
    QTest::newRow("Create Cut Boundary checked: the earlier contour replaced by the label's")
        << true << true << label << QStringList{};
    QTest::newRow("unchecked: the layer kept as it is")
        << true << false << earlier << QStringList{};
    QTest::newRow("chosen version missing: the warning, nothing changed")
        << false << true << earlier << QStringList{NoHost};
}

void WindowCommandsTest::boundaryButton()
{
    QFETCH(bool, available);
    QFETCH(bool, createEdge);
    QFETCH(QRectF, contour);
    QFETCH(QStringList, messages);
    HostDocument::Ptr doc = freshA4();
    const HostLayer::Ptr active = doc->activeLayer;
    addRectangle(doc, active, 40, 50, 60, 30);
    addRectangle(doc, addLayer(doc, "Cutting Layer", false, false), 150, 150, 10, 10);
    PluginMWForm *form = window->controls();
    form->createEdge->setChecked(createEdge);
    BuiltinHost::instance().setProgramIdAvailable(form->cdrVersion->currentText(), available);
    QTest::mouseClick(form->generateBoundary, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(answerer->messages, messages, 5000);
    QVERIFY(form->generateBoundary->isEnabled());
    const HostLayer::Ptr cutting = doc->findLayer("Cutting Layer");
    QCOMPARE(cutting->shapes.size(), 1);
    const QRectF box = boxMm(doc, cutting->shapes.first());
    QVERIFY2(qAbs(box.left() - contour.left()) < 0.01 && qAbs(box.top() - contour.top()) < 0.01 &&
                 qAbs(box.width() - contour.width()) < 0.01 &&
                 qAbs(box.height() - contour.height()) < 0.01,
             qPrintable(QStringLiteral("contour at %1,%2").arg(box.left()).arg(box.top())));
    QVERIFY(!cutting->editable);
    QCOMPARE(doc->activeLayer, active);
}

void WindowCommandsTest::saveButton_data()
{
    QTest::addColumn<int>("marks");
    QTest::addColumn<bool>("blank");
    QTest::addColumn<bool>("offsets");
    QTest::addColumn<QString>("fileName"); // relative to the test folder; empty: cancel
    QTest::addColumn<QByteArray>("saved"); // null: no file; empty: as prepareJob makes it
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("mark job saved as one exact line")
        << 4 << false << false << "job.plt"
        << QByteArray("CMD:20,11880,8400,1120,200,0;MD0,0,9440,7720,2;"
                      "IN;PA;SP1;PU2100,1260;PD2100,3260;PU;"
                      "SP2;PU1420,1180;PD1420,3340,2780,3340,2780,1180,1420,1180;PU;!PG;;"
                      "CMD:22,11880,8400;")
        << QStringList{};
    QTest::newRow("knife and close offsets from the settings panel")
        << 4 << true << true << "offsets.plt" << QByteArray("") << QStringList{};
    QTest::newRow("cancelled dialog writes nothing")
        << 4 << false << false << "" << QByteArray() << QStringList{};
    QTest::newRow("no marks: add marks first, no dialog")
        << 0 << false << false << "job.plt" << QByteArray()
        << QStringList{"警告|未找到定位标记, 请先添加标记!"};
    QTest::newRow("five marks: check the Mark Layer, no dialog")
        << 5 << false << false << "job.plt" << QByteArray()
        << QStringList{"警告|定位标记超过4个, 请检查Mark Layer!"};
    QTest::newRow("a folder that does not exist: save failed and why, nothing written")
        << 4 << false << false << "missing/job.plt" << QByteArray()
        << QStringList{"警告|文件保存失败! cannot write %DIR/missing/job.plt: No such file or "
                       "directory"};
    QTest::newRow("a name typed without a suffix is saved with .plt")
        << 4 << true << true << "typed" << QByteArray("") << QStringList{};
}

void WindowCommandsTest::saveButton()
{
    QFETCH(int, marks);
    QFETCH(bool, blank);
    QFETCH(bool, offsets);
    QFETCH(QString, fileName);
    QFETCH(QByteArray, saved);
    QFETCH(QStringList, messages);
    labelSheet(marks);
    PluginMWForm *form = window->controls();
    form->blankCut->setChecked(blank);
    form->knifeOffsetChx->setChecked(offsets);
    form->closeOffsetChx->setChecked(offsets);
    form->autoSort->setChecked(offsets);
    QTemporaryDir out;
    QString path = fileName.isEmpty() ? QString() : out.filePath(fileName);
    answerer->saveName = path;
    messages.replaceInStrings("%DIR", out.path());
    QTest::mouseClick(form->saveAsFile, Qt::LeftButton);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += ".plt";
    QTRY_COMPARE_WITH_TIMEOUT(answerer->messages, messages, 5000);
    QVERIFY(form->saveAsFile->isEnabled());
    const bool dialogShown = messages.isEmpty() || messages.first().contains("文件保存失败");
    QCOMPARE(answerer->dialogs, dialogShown ? QStringList{"SavePlt"} : QStringList{});
    if (dialogShown)
        QCOMPARE(answerer->filters, QStringList{"HPGL File(*.plt);;All File(*.*)"});
    if (saved.isNull()) {
        QVERIFY(path.isEmpty() || !QFileInfo::exists(path));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{});
        return;
    }
    if (saved.isEmpty()) {
        // The window's 0.3 mm knife and 0.5 mm overcut (defaults) reach the engine as 12 and
        // 20 plotter units.
        JobOptions options;
        options.autoSort = true;
        options.knifeOffsetUnits = 0.3 * UNITS_PER_MM;
        options.overcutUnits = 0.5 * UNITS_PER_MM;
        CdrConnection conn(form->cdrVersion->currentText());
        QTemporaryDir work;
        saved = prepareJob(conn, blank, options, work.filePath("w.plt"))->text.joined();
        QVERIFY(saved.startsWith("CMD:20,11880,8400,0,0,1;SP2;"));
    }
    QCOMPARE(readAll(path), saved);
}

// A label sheet whose cut contours were never made: the user is told the job cuts nothing, and
// may still save it.
void WindowCommandsTest::emptyCutSaid()
{
    HostDocument::Ptr doc = labelSheet(4);
    const HostShape::Ptr cut = doc->findLayer("Cutting Layer")->shapes.first();
    doc->removeShape(cut);
    addRectangle(doc, doc->activePage->layers.first(), 38, 58, 54, 34);
    QTemporaryDir out;
    answerer->saveName = out.filePath("job.plt");
    QTest::mouseClick(window->controls()->saveAsFile, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(answerer->messages, QStringList{"警告|" + JobMessage::emptyCut()},
                              5000);
    QVERIFY(QFileInfo::exists(answerer->saveName));
}

// "Setup Print" on a label sheet whose artwork layer was left not printing: afterwards every
// layer prints but the assist, creasing and cutting layers, whatever the user answered.
void WindowCommandsTest::printButton_data()
{
    QTest::addColumn<bool>("pdf");         // "Save PDF instead of Print" checked
    QTest::addColumn<QString>("fileName"); // the PDF dialog's answer; empty: cancel
    QTest::addColumn<bool>("confirmed");   // the print dialog's answer
    QTest::addColumn<QString>("written");  // the file that must exist afterwards; empty: none
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("PDF confirmed: the file written")
        << true << "sheet.pdf" << false << "sheet.pdf" << QStringList{};
    QTest::newRow("PDF cancelled: nothing written, nothing published")
        << true << "" << false << "" << QStringList{};
    QTest::newRow("PDF typed without a suffix: saved with .pdf")
        << true << "sheet" << false << "sheet.pdf" << QStringList{};
    QTest::newRow("PDF into a folder that does not exist: the warning says why")
        << true << "missing/sheet.pdf" << false << ""
        << QStringList{"警告|PDF文件无法生成: cannot write %DIR/missing/sheet.pdf: No such file "
                       "or directory"};
    QTest::newRow("print confirmed: the page printed")
        << false << "" << true << "printed.pdf" << QStringList{};
    QTest::newRow("print cancelled: nothing printed")
        << false << "" << false << "" << QStringList{};
}

void WindowCommandsTest::printButton()
{
    QFETCH(bool, pdf);
    QFETCH(QString, fileName);
    QFETCH(bool, confirmed);
    QFETCH(QString, written);
    QFETCH(QStringList, messages);
    HostDocument::Ptr doc = labelSheet(4);
    doc->activeLayer->printable = false;
    BuiltinHost &host = BuiltinHost::instance();
    auto log = std::make_shared<CallLog>();
    host.setApplicationWrapper([log](AutomationHandle app) {
        return std::make_unique<RecordingObject>(std::move(app), QStringLiteral("Application"),
                                                 log);
    });
    QTemporaryDir out;
    const InProcessHost::ScopedChoices printTo({{}, {}, out.filePath("printed.pdf")});
    host.setPrintDialogAnswer([confirmed] { return confirmed; });
    PluginMWForm *form = window->controls();
    form->publishToPDF->setChecked(pdf);
    answerer->saveName = fileName.isEmpty() ? QString() : out.filePath(fileName);
    messages.replaceInStrings("%DIR", out.path());
    QTest::mouseClick(form->printOut, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(answerer->messages, messages, 5000);
    QVERIFY(form->printOut->isEnabled());
    QCOMPARE(answerer->dialogs, pdf ? QStringList{"SavePDF"} : QStringList{});
    if (pdf)
        QCOMPARE(answerer->filters, QStringList{"PDF File(*.pdf);;All File(*.*)"});
    QCOMPARE(QDir(out.path()).entryList(QDir::Files),
             written.isEmpty() ? QStringList{} : QStringList{written});
    for (const HostLayer::Ptr &layer : doc->activePage->layers)
        QCOMPARE(layer->printable,
                 layer->name != "Cutting Layer" && layer->name != "Creasing Layer");
    // A cancelled PDF dialog leaves the set-up done and asks nothing more of the host.
    QStringList published;
    for (const CallRecord &call : log->calls) {
        if (call.signature == Member::PDFSettings || call.signature == Member::PublishToPDF)
            published << call.signature;
    }
    const QStringList publishing{"PDFSettings()", "PublishToPDF(QString)"};
    QCOMPARE(published, pdf && !fileName.isEmpty() ? publishing : QStringList{});
    if (pdf && fileName.isEmpty()) {
        QStringList afterSetUp;
        for (const CallRecord &call : log->calls) {
            afterSetUp << call.signature;
            if (call.signature == Member::SetPrintable)
                afterSetUp.clear();
        }
        QCOMPARE(afterSetUp,
                 (QStringList{"SetOptimization(bool)", "Refresh()", "Windows()", "Refresh()"}));
    }
}

QTEST_MAIN(WindowCommandsTest)
#include "tst_windowcommands.moc"
