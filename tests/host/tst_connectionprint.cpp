// "Setup Print" through CdrConnection against the built-in host: which layers print afterwards
// whatever the user answered, the publish settings as the host receives them, the print dialog's
// answer deciding whether anything prints, and a host that stops answering half-way.

#include "RecordingAutomation.h"
#include "TestDocument.h"
#include "host/CdrConnection.h"
#include "host/InProcessHost.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestDocument;

namespace {
enum Operation
{
    Prepare,
    Publish,
    PrintConfirmed,
    PrintCancelled
};

Result<> run(CdrConnection &conn, int op, const QString &pdf)
{
    BuiltinHost::instance().setPrintDialogAnswer([op] { return op == PrintConfirmed; });
    switch (op) {
    case Prepare:
        return conn.preparePrintLayers();
    case Publish:
        return conn.publishPdf(pdf);
    default:
        return conn.printDocument();
    }
}

// Every working layer, two layers of artwork (one not printing, one locked) and a layer whose
// name differs from a working layer's only in case; none of them in the printability the
// set-up gives.
HostDocument::Ptr mixedSheet()
{
    HostDocument::Ptr doc = freshA4();
    doc->activeLayer->printable = false;
    addRectangle(doc, doc->activeLayer, 40, 60, 50, 30);
    addLayer(doc, CdrConnection::AssistLayer, true, false);
    addLayer(doc, CdrConnection::MarkLayer, false, false);
    addLayer(doc, CdrConnection::ExtraLayer, false, false);
    addLayer(doc, CdrConnection::CuttingLayer, true, false);
    addLayer(doc, CdrConnection::CreasingLayer, true, true);
    addLayer(doc, "Locked Art", false, false);
    addLayer(doc, "cutting layer", false, true);
    return doc;
}

QStringList printingLayers(const HostDocument::Ptr &doc)
{
    QStringList names;
    for (const HostLayer::Ptr &layer : doc->activePage->layers) {
        if (layer->printable)
            names << layer->name;
    }
    return names;
}

// The first page of a PDF in grey at 100 dpi, through poppler's pdftoppm; null when missing.
QImage rasterise(const QString &pdf)
{
    QProcess p;
    p.start("pdftoppm", {"-r", "100", "-gray", "-png", "-singlefile", pdf, pdf + "-page"});
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return QImage(pdf + "-page.png");
}

// Whether anything is drawn within half a millimetre of a point (mm from the top-left corner);
// light colours such as the assist outline's magenta count too.
bool inked(const QImage &page, const QPointF &mm)
{
    const QPoint centre(qRound(mm.x() / MM_PER_INCH * 100), qRound(mm.y() / MM_PER_INCH * 100));
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            if (qGray(page.pixel(centre + QPoint(dx, dy))) < 220)
                return true;
        }
    }
    return false;
}

const QStringList Printing{"Layer 1", "Mark Layer", "Extra Layer", "Locked Art", "cutting layer"};
const QStringList Closing{"SetOptimization(bool)[false]", "Refresh()[]", "Windows()[]",
                          "Refresh()[]"};
} // namespace

class ConnectionPrintTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void printabilityAfterwards_data();
    void printabilityAfterwards();
    void setUpCallsInOrder_data();
    void setUpCallsInOrder();
    void publishSettings_data();
    void publishSettings();
    void sheetAsPublished_data();
    void sheetAsPublished();
    void noWorkingLayersPublishedWhole();
    void failureStopsAndCloses_data();
    void failureStopsAndCloses();
};

void ConnectionPrintTest::cleanup()
{
    BuiltinHost::instance().reset();
}

void ConnectionPrintTest::printabilityAfterwards_data()
{
    QTest::addColumn<int>("op");
    QTest::addColumn<bool>("printed");
    QTest::newRow("set-up alone (PDF dialog cancelled)") << int(Prepare) << false;
    QTest::newRow("PDF published") << int(Publish) << false;
    QTest::newRow("print dialog confirmed: page printed") << int(PrintConfirmed) << true;
    QTest::newRow("print dialog cancelled: nothing printed") << int(PrintCancelled) << false;
}

void ConnectionPrintTest::printabilityAfterwards()
{
    QFETCH(int, op);
    QFETCH(bool, printed);
    HostDocument::Ptr doc = mixedSheet();
    const HostLayer::Ptr active = doc->activeLayer;
    QTemporaryDir dir;
    const InProcessHost::ScopedChoices printTo({{}, {}, dir.filePath("printed.pdf")});
    CdrConnection conn(HostId);
    QVERIFY2(run(conn, op, dir.filePath("sheet.pdf")), qPrintable(conn.detail()));
    QCOMPARE(printingLayers(doc), Printing);
    QCOMPARE(QFileInfo::exists(dir.filePath("sheet.pdf")), op == Publish);
    QCOMPARE(QFileInfo::exists(dir.filePath("printed.pdf")), printed);
    QCOMPARE(doc->activeLayer, active);
}

void ConnectionPrintTest::setUpCallsInOrder_data()
{
    QTest::addColumn<int>("op");
    QTest::addColumn<QStringList>("tail"); // the calls after the set-up, closing steps included
    QTest::newRow("set-up alone") << int(Prepare) << Closing;
    QTest::newRow("print confirmed")
        << int(PrintConfirmed)
        << QStringList{"PrintSettings()[]", "ShowDialog()[]", "PrintOut()[]"} + Closing;
    QTest::newRow("print cancelled: no PrintOut")
        << int(PrintCancelled) << QStringList{"PrintSettings()[]", "ShowDialog()[]"} + Closing;
}

void ConnectionPrintTest::setUpCallsInOrder()
{
    QFETCH(int, op);
    QFETCH(QStringList, tail);
    HostDocument::Ptr doc = freshA4();
    addLayer(doc, CdrConnection::CuttingLayer, false, false);
    addLayer(doc, CdrConnection::AssistLayer, false, false);
    QTemporaryDir dir;
    const InProcessHost::ScopedChoices printTo({{}, {}, dir.filePath("printed.pdf")});
    auto log = std::make_shared<CallLog>();
    CdrConnection conn(recordingApplication(HostId, log));
    log->calls.clear();
    QVERIFY(run(conn, op, QString()));
    // The active layer is queried but its name never read: nothing is activated at the end.
    for (const CallRecord &call : log->calls)
        QVERIFY2(call.object != "ActiveLayer()", qPrintable(call.text()));
    const QStringList opening{"SetOptimization(bool)[true]",
                              "ActiveDocument()[]",
                              "ActivePage()[]",
                              "ActiveLayer()[]",
                              "Layers()[]",
                              "Count()[]"};
    // Three searches (assist, creasing, cutting) over the three layers, then every layer
    // printable, then the two found ones not, assist first.
    QStringList searches;
    for (int pass = 0; pass < 3; ++pass) {
        const int items = pass < 2 ? 3 : 2;
        for (int i = 1; i <= items; ++i)
            searches << QString("Item(int)[%1]").arg(i) << "Name()[]";
    }
    const QStringList printable{"Item(int)[1]",
                                "SetPrintable(bool)[true]",
                                "Item(int)[2]",
                                "SetPrintable(bool)[true]",
                                "Item(int)[3]",
                                "SetPrintable(bool)[true]",
                                "Find(QString)[Assist Layer]",
                                "SetPrintable(bool)[false]",
                                "Find(QString)[Cutting Layer]",
                                "SetPrintable(bool)[false]"};
    QCOMPARE(log->texts(), opening + searches + printable + tail);
}

void ConnectionPrintTest::publishSettings_data()
{
    QTest::addColumn<int>("position"); // 1-based among the 54 settings
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("range first, a number") << 1 << "PublishRange" << QVariant(0);
    QTest::newRow("page range an empty text") << 2 << "PageRange" << QVariant(QString(""));
    QTest::newRow("author overwrites the host's own")
        << 3 << "Author" << QVariant(QString("Administrator"));
    QTest::newRow("text kept as text, not curves") << 8 << "TextAsCurves" << QVariant(false);
    QTest::newRow("fonts embedded") << 9 << "EmbedFonts" << QVariant(true);
    QTest::newRow("PDF version") << 32 << "pdfVersion" << QVariant(6);
    QTest::newRow("bleed in the host's units") << 34 << "Bleed" << QVariant(31750);
    QTest::newRow("no open password") << 50 << "OpenPassword" << QVariant(QString(""));
    QTest::newRow("black limit last") << 54 << "OverprintBlackLimit" << QVariant(95);
}

void ConnectionPrintTest::publishSettings()
{
    QFETCH(int, position);
    QFETCH(QString, name);
    QFETCH(QVariant, value);
    HostDocument::Ptr doc = freshA4();
    doc->pdfSettings.insert("Author", "Someone Else");
    doc->pdfSettings.insert("OverprintBlackLimit", 50);
    QTemporaryDir dir;
    auto log = std::make_shared<CallLog>();
    CdrConnection conn(recordingApplication(HostId, log));
    QVERIFY2(conn.publishPdf(dir.filePath("sheet.pdf")), qPrintable(conn.detail()));
    QList<CallRecord> settings;
    int publishedAt = -1;
    for (int i = 0; i < log->calls.size(); ++i) {
        if (log->calls.at(i).signature.startsWith("property "))
            settings << log->calls.at(i);
        if (log->calls.at(i).signature == Member::PublishToPDF)
            publishedAt = i;
    }
    QCOMPARE(settings.size(), 54);
    QCOMPARE(log->calls.at(publishedAt - 1).signature, QString("property OverprintBlackLimit"));
    QCOMPARE(log->calls.at(publishedAt).args, QVariantList{dir.filePath("sheet.pdf")});
    const CallRecord &setting = settings.at(position - 1);
    QCOMPARE(setting.object, QString("PDFSettings()"));
    QCOMPARE(setting.signature, "property " + name);
    // Numbers go as integers, flags as booleans, texts as strings.
    QCOMPARE(setting.args.value(0).userType(), value.userType());
    QCOMPARE(setting.args.value(0), value);
    QCOMPARE(doc->pdfSettings.value(name), value);
}

void ConnectionPrintTest::sheetAsPublished_data()
{
    QTest::addColumn<QPointF>("atMm");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("artwork") << QPointF(65, 75) << true;
    QTest::newRow("top-left mark") << QPointF(8.5, 22.5) << true;
    QTest::newRow("bottom-right mark") << QPointF(201.5, 258.5) << true;
    QTest::newRow("extra mark") << QPointF(201.5, 35.5) << true;
    QTest::newRow("assist outline left out") << QPointF(105, 4) << false;
    QTest::newRow("cut contour left out") << QPointF(38, 75) << false;
    QTest::newRow("crease line left out") << QPointF(65, 100) << false;
}

// "Add Mark" on a sheet whose cut and crease layers were left printing, then the PDF.
void ConnectionPrintTest::sheetAsPublished()
{
    QFETCH(QPointF, atMm);
    QFETCH(bool, drawn);
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
        QSKIP("pdftoppm (poppler-utils) is not installed");
    HostDocument::Ptr doc = freshA4();
    addRectangle(doc, doc->activeLayer, 40, 60, 50, 30)->filled = true;
    addRectangle(doc, addLayer(doc, CdrConnection::CuttingLayer), 38, 58, 54, 34)
        ->outlineWidthInches = mmToInches(0.5);
    addLine(doc, addLayer(doc, CdrConnection::CreasingLayer), {{40, 100}, {90, 100}})
        ->outlineWidthInches = mmToInches(0.5);
    QTemporaryDir dir;
    CdrConnection conn(HostId);
    QVERIFY(conn.addMarks());
    QVERIFY2(conn.publishPdf(dir.filePath("sheet.pdf")), qPrintable(conn.detail()));
    const QImage page = rasterise(dir.filePath("sheet.pdf"));
    QCOMPARE(page.size(), QSize(827, 1170)); // A4 at 100 dpi, rounded up
    QCOMPARE(inked(page, atMm), drawn);
}

void ConnectionPrintTest::noWorkingLayersPublishedWhole()
{
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
        QSKIP("pdftoppm (poppler-utils) is not installed");
    HostDocument::Ptr doc = freshA4();
    doc->activeLayer->printable = false;
    addRectangle(doc, doc->activeLayer, 0, 0, 105, 297)->filled = true;
    addRectangle(doc, addLayer(doc, "Back", false), 105, 0, 105, 297)->filled = true;
    QTemporaryDir dir;
    CdrConnection conn(HostId);
    QVERIFY(conn.publishPdf(dir.filePath("sheet.pdf")));
    QCOMPARE(printingLayers(doc), (QStringList{"Layer 1", "Back"}));
    const QImage page = rasterise(dir.filePath("sheet.pdf"));
    QVERIFY(qGray(page.pixel(page.width() / 4, page.height() / 2)) < 128);
    QVERIFY(qGray(page.pixel(page.width() * 3 / 4, page.height() / 2)) < 128);
}

void ConnectionPrintTest::failureStopsAndCloses_data()
{
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("lastBeforeClosing");
    QTest::newRow("publish refused: no file name, and why")
        << int(Publish) << QString() << "PublishToPDF";
    QTest::newRow("no PDF settings object")
        << int(Publish) << QString(Member::PDFSettings) << "PDFSettings()";
    QTest::newRow("print dialog gives no answer")
        << int(PrintConfirmed) << QString(Member::ShowDialog) << "ShowDialog()";
    QTest::newRow("printing fails, and why")
        << int(PrintConfirmed) << QString(Member::PrintOut) << "PrintOut()";
}

void ConnectionPrintTest::failureStopsAndCloses()
{
    QFETCH(int, op);
    QFETCH(QString, failing);
    QFETCH(QString, lastBeforeClosing);
    HostDocument::Ptr doc = mixedSheet();
    QTemporaryDir dir;
    const InProcessHost::ScopedChoices printTo({{}, {}, dir.filePath("printed.pdf")});
    auto log = std::make_shared<CallLog>();
    log->failSignature = failing;
    log->failOccurrence = 1;
    CdrConnection conn(recordingApplication(HostId, log));
    const Result<> done = run(conn, op, QString());
    QVERIFY(!done);
    const QHash<QString, QString> explained{
        {"PublishToPDF", "PDF文件无法生成: no file name to publish to"},
        {"PrintOut()", "打印失败: injected: no answer"}};
    QCOMPARE(done.error(), explained.value(lastBeforeClosing, CdrConnection::noAnswerText()));
    QVERIFY(conn.detail().contains(lastBeforeClosing));
    const QStringList texts = log->texts();
    QCOMPARE(texts.mid(texts.size() - Closing.size()), Closing);
    QVERIFY(texts.at(texts.size() - Closing.size() - 1).startsWith(lastBeforeClosing));
    // The set-up done before the failure stays.
    QCOMPARE(printingLayers(doc), Printing);
    QVERIFY(!QFileInfo::exists(dir.filePath("printed.pdf")));
}

QTEST_MAIN(ConnectionPrintTest)
#include "tst_connectionprint.moc"
