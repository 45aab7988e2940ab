// The simulated cutter without a transport: which pieces it recognises in bytes arriving in any
// chunking, what it answers as its script says, and the script lines it refuses.

#include "link/sim/SimulatedCutter.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// One USB sheet as the program sends it, marks not found on the way (a lone "!PG;").
const QByteArray UsbSheet = "CMD:14;CMD:20,8000,6000,1120,200,0;MD0,0,7000,5000,0;"
                            "IN;PA;SP1;PU1,1;PD2,2;PU;SP2;PU3,3;PD4,4;PU;!PG;;CMD:22,8000,6000;";
const QByteArray UsbSheetAdvanced = "CMD:14;CMD:20,8000,6000,1120,200,0;MD0,0,7000,5000,0;"
                                    "!PG;CMD:22,8000,6000;";

QByteArrayList chunks(const QByteArray &bytes, int size)
{
    QByteArrayList out;
    for (int i = 0; i < bytes.size(); i += size)
        out << bytes.mid(i, size);
    return out;
}

} // namespace

class SimulatedCutterTest : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void badScript_data();
    void badScript();
    void exampleScriptsParse();
};

void SimulatedCutterTest::answers_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("chunkSize");
    QTest::addColumn<QByteArrayList>("replies");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<bool>("closes");

    const QByteArrayList usual{"S3:1;", "FEED_OK;", "MD_OK;", "DONE;"};
    const QStringList sheet1{"sheet 1: paper check", "sheet 1: header", "sheet 1: mark line",
                             "sheet 1: body", "sheet 1: trailer"};
    QTest::newRow("empty script: a healthy cutter, whole sheet in one chunk")
        << QByteArray() << UsbSheet << UsbSheet.size() << usual << sheet1 << false;
    QTest::newRow("one byte at a time: same pieces")
        << QByteArray() << UsbSheet << 1 << usual << sheet1 << false;
    QTest::newRow("lone !PG; is a sheet advance, not a body")
        << QByteArray("# marks lost\nreply marks MD_NG;\n") << UsbSheetAdvanced << 5
        << QByteArrayList{"S3:1;", "FEED_OK;", "MD_NG;", "DONE;"}
        << QStringList{"sheet 1: paper check", "sheet 1: header", "sheet 1: mark line",
                       "sheet 1: sheet advance", "sheet 1: trailer"}
        << false;
    QTest::newRow("sheet rule applies to its sheet only")
        << QByteArray("sheet 2 reply paper xxS3:0;yy") << (UsbSheet + "CMD:14;") << 7
        << (usual + QByteArrayList{"xxS3:0;yy"}) << (sheet1 + QStringList{"sheet 2: paper check"})
        << false;
    QTest::newRow("busy polls, quoted trailing blank")
        << QByteArray("busy header 2 BUSY;\nreply header \"FEED_OK; \"") << UsbSheet << 9
        << QByteArrayList{"S3:1;", "BUSY;", "BUSY;", "FEED_OK; ", "MD_OK;", "DONE;"} << sheet1
        << false;
    QTest::newRow("silent trailer, close after marks")
        << QByteArray("silent trailer\nreply marks MD_NG; close") << UsbSheetAdvanced << 64
        << QByteArrayList{"S3:1;", "FEED_OK;", "MD_NG;"}
        << QStringList{"sheet 1: paper check", "sheet 1: header", "sheet 1: mark line",
                       "sheet 1: sheet advance", "sheet 1: trailer"}
        << true;
    QTest::newRow("unknown text skipped up to its ';'")
        << QByteArray() << QByteArray("HELLO;CMD:14;") << 3 << QByteArrayList{"S3:1;"}
        << QStringList{"sheet 1: unknown \"HELLO;\"", "sheet 1: paper check"} << false;
    QTest::newRow("close-after 10: the header is not answered")
        << QByteArray("close-after 10") << UsbSheet << 4 << QByteArrayList{"S3:1;"}
        << QStringList{"sheet 1: paper check"} << true;
}

void SimulatedCutterTest::answers()
{
    QFETCH(QByteArray, script);
    QFETCH(QByteArray, input);
    QFETCH(int, chunkSize);
    QFETCH(QByteArrayList, replies);
    QFETCH(QStringList, log);
    QFETCH(bool, closes);

    const Result<CutterScript> parsed = CutterScript::parse(script);
    QVERIFY2(parsed, qPrintable(parsed.error()));
    SimulatedCutter cutter(*parsed);
    QSignalSpy replySpy(&cutter, &SimulatedCutter::reply);
    QSignalSpy closeSpy(&cutter, &SimulatedCutter::closeRequested);
    for (const QByteArray &chunk : chunks(input, chunkSize))
        cutter.receive(chunk);

    QByteArrayList got;
    for (const QList<QVariant> &args : replySpy)
        got << args.at(0).toByteArray();
    QCOMPARE(got, replies);
    QCOMPARE(cutter.log(), log);
    QCOMPARE(!closeSpy.isEmpty(), closes);
    const QByteArray expectedReceived = script.startsWith("close-after") ? input.left(10) : input;
    QCOMPARE(cutter.received(), expectedReceived);
}

void SimulatedCutterTest::badScript_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QString>("error");
    QTest::newRow("reply without its text")
        << QByteArray("reply header") << QStringLiteral("line 1: reply needs 1 non-empty text(s)");
    QTest::newRow("unknown event")
        << QByteArray("\nreply feed FEED_OK;")
        << QStringLiteral("line 2: expected an event (paper, header, marks, body, advance, "
                          "trailer) after \"reply\"");
    QTest::newRow("sheet 0") << QByteArray("sheet 0 reply paper S3:0;")
                             << QStringLiteral(
                                    "line 1: sheet needs a sheet number from 1 and a rule");
    QTest::newRow("split with one piece")
        << QByteArray("split marks MD_")
        << QStringLiteral("line 1: split needs 2 non-empty text(s)");
    QTest::newRow("quote not closed")
        << QByteArray("reply header \"FEED_OK;")
        << QStringLiteral("line 1: quoted text without its closing '\"'");
    QTest::newRow("close-after not a number")
        << QByteArray("close-after ten")
        << QStringLiteral("line 1: close-after needs one whole number");
    QTest::newRow("unknown rule") << QByteArray("dance header")
                                  << QStringLiteral("line 1: unknown rule \"dance\"");
}

void SimulatedCutterTest::badScript()
{
    QFETCH(QByteArray, script);
    QFETCH(QString, error);
    const Result<CutterScript> parsed = CutterScript::parse(script);
    QVERIFY(!parsed);
    QCOMPARE(parsed.error(), error);
}

// The examples README.md points to must stay valid as the format grows.
void SimulatedCutterTest::exampleScriptsParse()
{
    const QDir folder(QStringLiteral(VX_TEST_DATA_DIR "/link"));
    const QStringList scripts = folder.entryList({QStringLiteral("*.script")}, QDir::Files);
    QVERIFY(!scripts.isEmpty());
    for (const QString &name : scripts) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const Result<CutterScript> parsed = CutterScript::parse(file.readAll());
        QVERIFY2(parsed, qPrintable(name + QStringLiteral(": ") + parsed.error()));
    }
}

QTEST_MAIN(SimulatedCutterTest)
#include "tst_simulatedcutter.moc"
