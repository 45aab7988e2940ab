// The PLT exports and the failure paths of CdrConnection against the built-in host: the calls in
// the order the drawing application needs them, what the document looks like afterwards, and
// what happens when the host stops answering half-way.

#include "RecordingAutomation.h"
#include "TestDocument.h"
#include "host/CdrConnection.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace TestDocument;

namespace {
enum Operation
{
    AddMarks,
    ExportCutting,
    ExportCreasing,
    ExportPrintable,
    ReadMarks,
    ExtraMark,
    PageHeight
};

template <typename T> Result<> outcomeOf(const Result<T> &answer)
{
    if (!answer)
        return Failure{answer.error()};
    return {};
}

Result<> runOperation(CdrConnection &conn, int op, const QString &file)
{
    switch (op) {
    case AddMarks:
        return conn.addMarks();
    case ExportCutting:
        return conn.exportCuttingLayer(file);
    case ExportCreasing:
        return conn.exportCreasingLayer(file);
    case ExportPrintable:
        return conn.exportPrintableShapes(file);
    case ReadMarks:
        return outcomeOf(conn.readMarkCentres());
    case ExtraMark:
        return outcomeOf(conn.extraMarkPlacement());
    case PageHeight:
        return outcomeOf(conn.pageHeightUnits());
    }
    return Failure{QStringLiteral("no such operation")};
}

// A sheet with artwork, marks, a cut contour, a crease line and a locked printable layer.
struct Sheet
{
    HostDocument::Ptr doc;
    HostShape::Ptr art, cut, crease, locked;
};

Sheet makeSheet()
{
    Sheet s;
    s.doc = freshA4();
    s.art = addRectangle(s.doc, s.doc->activeLayer, 40, 60, 50, 30);
    const HostLayer::Ptr marks = addLayer(s.doc, CdrConnection::MarkLayer, true, false);
    for (const QPointF &c :
         {QPointF(8.5, 22.5), QPointF(201.5, 22.5), QPointF(8.5, 258.5), QPointF(201.5, 258.5)})
        addCross(s.doc, marks, c.x(), c.y());
    addCross(s.doc, addLayer(s.doc, CdrConnection::ExtraLayer, true, false), 201.5, 35.5);
    s.cut = addRectangle(s.doc, addLayer(s.doc, CdrConnection::CuttingLayer, false, false), 38, 58,
                         54, 34);
    s.crease = addLine(s.doc, addLayer(s.doc, CdrConnection::CreasingLayer, false, true),
                       {{40, 75}, {90, 75}});
    s.locked = addRectangle(s.doc, addLayer(s.doc, "Locked Art", true, false), 120, 60, 20, 20);
    return s;
}

const QStringList Closing{"SetOptimization(bool)[false]", "Refresh()[]", "Windows()[]",
                          "Refresh()[]"};
} // namespace

class ConnectionExportTest : public QObject
{
    Q_OBJECT

private slots:
    void filterSettingsInOrder_data();
    void filterSettingsInOrder();
    void layerStateAroundExport_data();
    void layerStateAroundExport();
    void workingFileRemovedBeforeExport_data();
    void workingFileRemovedBeforeExport();
    void noAnswerStopsAndCloses_data();
    void noAnswerStopsAndCloses();
    void refusedFilterProperty_data();
    void refusedFilterProperty();
    void pageSize_data();
    void pageSize();
    void noDocumentOpen_data();
    void noDocumentOpen();
};

void ConnectionExportTest::filterSettingsInOrder_data()
{
    QTest::addColumn<int>("op");
    QTest::newRow("cutting export") << int(ExportCutting);
    QTest::newRow("creasing export") << int(ExportCreasing);
    QTest::newRow("printable-shapes export") << int(ExportPrintable);
}

void ConnectionExportTest::filterSettingsInOrder()
{
    QFETCH(int, op);
    makeSheet();
    QTemporaryDir dir;
    const QString file = dir.filePath("ABDOPQR.plt");
    auto log = std::make_shared<CallLog>();
    CdrConnection conn(recordingApplication(HostId, log));
    QVERIFY(runOperation(conn, op, file));
    QStringList properties;
    for (const QString &t : log->texts()) {
        if (t.startsWith("property "))
            properties << t;
    }
    const QString w = QString::number(mmToInches(210.0), 'g', 12);
    const QString h = QString::number(mmToInches(297.0), 'g', 12);
    QCOMPARE(properties,
             (QStringList{"property PenLibIndex[0]", "property FitToPage[false]",
                          "property ScaleFactor[100]", "property PageWidth[" + w + "]",
                          "property PageHeight[" + h + "]", "property FillType[0]",
                          "property FillSpacing[0.005]", "property FillAngle[0]",
                          "property HatchAngle[90]", "property CurveResolution[0.00025]",
                          "property RemoveHiddenLines[false]", "property AutomaticWeld[false]",
                          "property ExcludeWVC[false]", "property PlotterUnits[1016]",
                          "property PlotterOrigin[1]"}));
    const auto exportCall = std::find_if(log->calls.begin(), log->calls.end(), [](const auto &c) {
        return c.signature.startsWith("ExportEx(");
    });
    QVERIFY(exportCall != log->calls.end());
    QCOMPARE(exportCall->args.size(), 5);
    QCOMPARE(exportCall->args.at(0).toString(), file);
    QCOMPARE(exportCall->args.at(1).toInt(), HPGL_EXPORT_FILTER);
    QCOMPARE(exportCall->args.at(2).toInt(), 0);
    QVERIFY(exportCall->args.at(3).isValid() && exportCall->args.at(4).isValid());
    QVERIFY(QFileInfo::exists(file));
}

void ConnectionExportTest::layerStateAroundExport_data()
{
    QTest::addColumn<int>("op");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QStringList>("printableAfter");
    QTest::addColumn<QStringList>("editableAfter");
    const QStringList f{"false"};
    QTest::newRow("cutting: all off, cutting layer on, selection emptied, stretch five and back")
        << int(ExportCutting)
        << QStringList{"SetPrintable(bool)[false]",
                       "SetPrintable(bool)[false]",
                       "SetPrintable(bool)[false]",
                       "SetPrintable(bool)[false]",
                       "SetPrintable(bool)[false]",
                       "SetPrintable(bool)[false]",
                       "SetEditable(bool)[true]",
                       "SetPrintable(bool)[true]",
                       "ClearSelection()[]",
                       "AddToSelection()[]",
                       "SetReferencePoint(enum)[5]",
                       "Stretch(double)[5]",
                       "Finish()[]",
                       "Stretch(double)[0.2]"}
        << QStringList{"Cutting Layer"}
        << QStringList{"Layer 1", "Cutting Layer", "Creasing Layer"};
    QTest::newRow("creasing: all off, creasing layer on, no selection, no stretch")
        << int(ExportCreasing)
        << QStringList{"SetPrintable(bool)[false]", "SetPrintable(bool)[false]",
                       "SetPrintable(bool)[false]", "SetPrintable(bool)[false]",
                       "SetPrintable(bool)[false]", "SetPrintable(bool)[false]",
                       "SetPrintable(bool)[true]",  "Finish()[]"}
        << QStringList{"Creasing Layer"} << QStringList{"Layer 1", "Creasing Layer"};
    QTest::newRow("printable shapes: printable layers unlocked, others locked, all as before after")
        << int(ExportPrintable)
        << QStringList{"SetEditable(bool)[true]",  "SetEditable(bool)[true]",
                       "SetEditable(bool)[true]",  "SetEditable(bool)[false]",
                       "SetEditable(bool)[true]",  "ClearSelection()[]",
                       "AddToSelection()[]",       "SetReferencePoint(enum)[5]",
                       "Stretch(double)[5]",       "Finish()[]",
                       "Stretch(double)[0.2]",     "SetEditable(bool)[false]",
                       "SetEditable(bool)[false]", "SetEditable(bool)[false]",
                       "SetEditable(bool)[true]"}
        << QStringList{"Layer 1", "Mark Layer", "Extra Layer", "Locked Art"}
        << QStringList{"Layer 1", "Creasing Layer"};
}

void ConnectionExportTest::layerStateAroundExport()
{
    QFETCH(int, op);
    QFETCH(QStringList, calls);
    QFETCH(QStringList, printableAfter);
    QFETCH(QStringList, editableAfter);
    Sheet sheet = makeSheet();
    sheet.doc->addToSelection(sheet.art); // the user's selection must not be stretched
    const QRectF artBefore = sheet.art->bounds(), cutBefore = sheet.cut->bounds();
    QTemporaryDir dir;
    auto log = std::make_shared<CallLog>();
    CdrConnection conn(recordingApplication(HostId, log));
    QVERIFY(runOperation(conn, op, dir.filePath("ABDOPQR.plt")));
    QCOMPARE(
        log->texts({"SetPrintable(bool)", "SetEditable(bool)", "ClearSelection()",
                    "AddToSelection()", "SetReferencePoint(enum)", "Stretch(double)", "Finish()"}),
        calls);
    QStringList printable, editable;
    for (const HostLayer::Ptr &layer : sheet.doc->activePage->layers) {
        if (layer->printable)
            printable << layer->name;
        if (layer->editable)
            editable << layer->name;
    }
    QCOMPARE(printable, printableAfter);
    QCOMPARE(editable, editableAfter);
    for (const auto &pair : {std::make_pair(sheet.art->bounds(), artBefore),
                             std::make_pair(sheet.cut->bounds(), cutBefore)}) {
        QVERIFY(qAbs(pair.first.width() - pair.second.width()) < 1e-9);
        QVERIFY((pair.first.topLeft() - pair.second.topLeft()).manhattanLength() < 1e-9);
    }
    QCOMPARE(log->texts().mid(log->texts().size() - 4), Closing);
}

void ConnectionExportTest::workingFileRemovedBeforeExport_data()
{
    QTest::addColumn<bool>("withCuttingLayer");
    QTest::addColumn<bool>("fileAfter");
    QTest::newRow("no Cutting Layer: no file, never the previous export") << false << false;
    QTest::newRow("with Cutting Layer: a fresh file") << true << true;
}

void ConnectionExportTest::workingFileRemovedBeforeExport()
{
    QFETCH(bool, withCuttingLayer);
    QFETCH(bool, fileAfter);
    HostDocument::Ptr doc = freshA4();
    if (withCuttingLayer)
        addRectangle(doc, addLayer(doc, CdrConnection::CuttingLayer), 20, 20, 10, 10);
    QTemporaryDir dir;
    const QString file = dir.filePath("ABDOPQR.plt");
    {
        QFile stale(file);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("IN;PU0,0;PD4000,0;PD4000,4000;");
    }
    CdrConnection conn(HostId);
    QVERIFY(conn.exportCuttingLayer(file));
    QCOMPARE(QFileInfo::exists(file), fileAfter);
    if (fileAfter) {
        QFile fresh(file);
        QVERIFY(fresh.open(QIODevice::ReadOnly));
        QVERIFY(!fresh.readAll().contains("PD4000,0;PD4000,4000;"));
    }
}

void ConnectionExportTest::noAnswerStopsAndCloses_data()
{
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("failing");
    QTest::addColumn<int>("occurrence");
    QTest::newRow("add marks: no page") << int(AddMarks) << "ActivePage()" << 1;
    QTest::newRow("add marks: a mark segment not made, mark layer locked again")
        << int(AddMarks) << "CreateLineSegment(double,double,double,double)" << 22;
    QTest::newRow("cutting export: no filter, shapes back to size")
        << int(ExportCutting) << "ExportEx(const QString&, enum, enum, QVariant, QVariant)" << 1;
    QTest::newRow("cutting export: Finish fails, shapes back to size")
        << int(ExportCutting) << "Finish()" << 1;
    QTest::newRow("cutting export: no selection") << int(ExportCutting) << "ActiveSelection()" << 1;
    QTest::newRow("printable export: Finish fails, layers locked again")
        << int(ExportPrintable) << "Finish()" << 1;
    QTest::newRow("creasing export: a layer's name unread") << int(ExportCreasing) << "Name()" << 3;
    QTest::newRow("read-back: a centre unread, mark layer locked again")
        << int(ReadMarks) << "CenterX()" << 2;
    QTest::newRow("extra mark: nested read-back fails") << int(ExtraMark) << "CenterY()" << 3;
    QTest::newRow("page height unread") << int(PageHeight) << "SizeHeight()" << 1;
}

void ConnectionExportTest::noAnswerStopsAndCloses()
{
    QFETCH(int, op);
    QFETCH(QString, failing);
    QFETCH(int, occurrence);
    Sheet sheet = makeSheet();
    QList<QRectF> before;
    for (const HostLayer::Ptr &layer : sheet.doc->activePage->layers)
        for (const HostShape::Ptr &shape : layer->shapes)
            before << shape->bounds();
    QTemporaryDir dir;
    auto log = std::make_shared<CallLog>();
    log->failSignature = failing;
    log->failOccurrence = occurrence;
    CdrConnection conn(recordingApplication(HostId, log));
    const Result<> done = runOperation(conn, op, dir.filePath("ABDOPQR.plt"));
    QVERIFY(!done);
    QCOMPARE(done.error(), failing == "Finish()"
                               ? "切割文件无法导出: injected: no answer"
                               : QStringLiteral("CorelDraw没有响应, 操作已取消."));
    QVERIFY(conn.detail().contains(failing));
    QCOMPARE(log->seen, occurrence);
    QCOMPARE(log->texts().mid(log->texts().size() - 4), Closing);
    QVERIFY(!BuiltinHost::instance().optimization());
    if (op != AddMarks) {
        QList<QRectF> after;
        for (const HostLayer::Ptr &layer : sheet.doc->activePage->layers)
            for (const HostShape::Ptr &shape : layer->shapes)
                after << shape->bounds();
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < before.size(); ++i)
            QVERIFY2(qAbs(after.at(i).width() - before.at(i).width()) < 1e-9,
                     "a shape kept the five-fold size");
    }
    for (const QString &name :
         {CdrConnection::MarkLayer, CdrConnection::ExtraLayer, QStringLiteral("Locked Art")})
        QVERIFY2(!sheet.doc->findLayer(name)->editable, qPrintable(name + " left unlocked"));
}

// A host version that lacks a filter property still exports, unless the property shapes the
// geometry; the refused names reach the operation's detail either way.
void ConnectionExportTest::refusedFilterProperty_data()
{
    QTest::addColumn<int>("op");
    QTest::addColumn<QStringList>("refused");
    QTest::addColumn<bool>("exported");
    QTest::newRow("cutting: fill settings refused, export goes on")
        << int(ExportCutting) << QStringList{"FillType", "ExcludeWVC"} << true;
    QTest::newRow("creasing: pen library refused, export goes on")
        << int(ExportCreasing) << QStringList{"PenLibIndex"} << true;
    QTest::newRow("cutting: plotter units refused, export stops")
        << int(ExportCutting) << QStringList{"PlotterUnits"} << false;
    QTest::newRow("printable: harmless and page height refused, export stops")
        << int(ExportPrintable) << QStringList{"HatchAngle", "PageHeight"} << false;
}

void ConnectionExportTest::refusedFilterProperty()
{
    QFETCH(int, op);
    QFETCH(QStringList, refused);
    QFETCH(bool, exported);
    makeSheet();
    QTemporaryDir dir;
    const QString file = dir.filePath("ABDOPQR.plt");
    auto log = std::make_shared<CallLog>();
    log->refusedProperties = refused;
    CdrConnection conn(recordingApplication(HostId, log));
    const Result<> done = runOperation(conn, op, file);
    QCOMPARE(done.ok(), exported);
    QCOMPARE(QFileInfo::exists(file), exported);
    QCOMPARE(done.error().isEmpty(), exported);
    for (const QString &name : refused)
        QVERIFY2(conn.detail().contains(name), qPrintable(conn.detail()));
    QCOMPARE(log->texts().mid(log->texts().size() - 4), Closing);
}

void ConnectionExportTest::pageSize_data()
{
    QTest::addColumn<double>("widthMm");
    QTest::addColumn<double>("heightMm");
    QTest::addColumn<int>("widthUnits");
    QTest::addColumn<int>("heightUnits");
    QTest::newRow("A4") << 210.0 << 297.0 << 8400 << 11880;
    QTest::newRow("a half unit rounds up") << 100.0125 << 50.0125 << 4001 << 2001;
}

void ConnectionExportTest::pageSize()
{
    QFETCH(double, widthMm);
    QFETCH(double, heightMm);
    QFETCH(int, widthUnits);
    QFETCH(int, heightUnits);
    BuiltinHost::instance().reset();
    HostDocument::Ptr doc =
        BuiltinHost::instance().createDocument(widthMm / MmPerInch, heightMm / MmPerInch);
    BuiltinHost::instance().setActiveDocument(doc);
    auto log = std::make_shared<CallLog>();
    CdrConnection conn(recordingApplication(HostId, log));
    const Result<int> width = conn.pageWidthUnits();
    const Result<int> height = conn.pageHeightUnits();
    QVERIFY(width && height);
    QCOMPARE(*width, widthUnits);
    QCOMPARE(*height, heightUnits);
    // No active layer and no layers are asked for, and no layer is activated.
    QVERIFY(log->texts({"ActiveLayer()", "Layers()", "Activate()"}).isEmpty());
}

void ConnectionExportTest::noDocumentOpen_data()
{
    QTest::addColumn<int>("op");
    QTest::newRow("add marks on a new document") << int(AddMarks);
    QTest::newRow("cutting export of a new document") << int(ExportCutting);
    QTest::newRow("creasing export of a new document") << int(ExportCreasing);
    QTest::newRow("printable export of a new document") << int(ExportPrintable);
    QTest::newRow("read-back on a new document") << int(ReadMarks);
    QTest::newRow("extra-mark code of a new document") << int(ExtraMark);
    QTest::newRow("page height of a new document") << int(PageHeight);
}

void ConnectionExportTest::noDocumentOpen()
{
    QFETCH(int, op);
    BuiltinHost::instance().reset();
    QVERIFY(!BuiltinHost::instance().activeDocument());
    QTemporaryDir dir;
    auto log = std::make_shared<CallLog>();
    CdrConnection conn(recordingApplication(HostId, log));
    const Result<> done = runOperation(conn, op, dir.filePath("ABDOPQR.plt"));
    QVERIFY2(done, qPrintable(done.error()));
    QVERIFY(BuiltinHost::instance().activeDocument());
    QCOMPARE(log->texts({"ActiveDocument()", "CreateDocument()"}).mid(0, 2),
             (QStringList{"ActiveDocument()[]", "CreateDocument()[]"}));
}

QTEST_GUILESS_MAIN(ConnectionExportTest)
#include "tst_connectionexport.moc"
