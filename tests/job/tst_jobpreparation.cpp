// Preparing a job from the built-in host: the whole job text for a known sheet, the warnings that
// stop a job before anything is exported, and the job file written whole or not at all.

#include "RecordingAutomation.h"
#include "TestDocument.h"
#include "job/JobFile.h"
#include "job/JobPreparation.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace TestDocument;

namespace {
// A4 sheet: the four default marks and the extra mark, a crease line and a cut rectangle.
HostDocument::Ptr markSheet(int markCount)
{
    HostDocument::Ptr doc = freshA4();
    const QList<QPointF> corners{
        {8.5, 22.5}, {201.5, 22.5}, {8.5, 258.5}, {201.5, 258.5}, {100, 258.5}};
    if (markCount >= 0) {
        const HostLayer::Ptr marks = addLayer(doc, "Mark Layer", true, false);
        for (int i = 0; i < markCount; ++i)
            addCross(doc, marks, corners.at(i).x(), corners.at(i).y());
        addCross(doc, addLayer(doc, "Extra Layer", true, false), 201.5, 35.5);
    }
    addLine(doc, addLayer(doc, "Creasing Layer", false, true), {{40, 75}, {90, 75}});
    addRectangle(doc, addLayer(doc, "Cutting Layer", false, false), 38, 58, 54, 34);
    return doc;
}

// A4 sheet without marks: one rectangle of artwork on a printable layer.
HostDocument::Ptr blankSheet()
{
    HostDocument::Ptr doc = freshA4();
    addRectangle(doc, doc->activeLayer, 38, 58, 54, 34);
    addLine(doc, addLayer(doc, "Notes", false, true), {{10, 10}, {20, 10}});
    return doc;
}
} // namespace

class JobPreparationTest : public QObject
{
    Q_OBJECT

private slots:
    void jobText_data();
    void jobText();
    void stopsWithWarning_data();
    void stopsWithWarning();
    void refusedFilterPropertyNoted();
    void saveJobFile_data();
    void saveJobFile();
};

void JobPreparationTest::jobText_data()
{
    QTest::addColumn<bool>("blank");
    QTest::addColumn<QByteArray>("expected");
    // First mark (8.5, 22.5) mm = (340, 900); last (201.5, 258.5) mm = (8060, 10340). The crease
    // runs 40..90 mm across at 75 mm, the cut rectangle spans 38..92 x 58..92 mm; coordinates
    // are written y first, relative to the first mark.
    QTest::newRow("mark job with creasing and cutting shapes")
        << false
        << QByteArray("CMD:20,11880,8400,1120,200,0;MD0,0,9440,7720,2;"
                      "IN;PA;SP1;PU2100,1260;PD2100,3260;PU;"
                      "SP2;PU1420,1180;PD1420,3340,2780,3340,2780,1180,1420,1180;PU;!PG;;"
                      "CMD:22,11880,8400;");
    QTest::newRow("blank-cut job: the artwork in place although a non-printing layer holds shapes")
        << true
        << QByteArray("CMD:20,11880,8400,0,0,1;"
                      "SP2;PU2320,1520;PD2320,3680,3680,3680,3680,1520,2320,1520;PU;!PG;;"
                      "CMD:22,11880,8400;");
}

void JobPreparationTest::jobText()
{
    QFETCH(bool, blank);
    QFETCH(QByteArray, expected);
    HostDocument::Ptr doc = blank ? blankSheet() : markSheet(4);
    QTemporaryDir dir;
    CdrConnection conn(HostId);
    const Result<PreparedJob> job =
        prepareJob(conn, blank, JobOptions(), dir.filePath("ABDOPQR.plt"));
    QVERIFY2(job.ok(), qPrintable(job.error() + " " + conn.detail()));
    QCOMPARE(job->text.joined(), expected);
}

void JobPreparationTest::stopsWithWarning_data()
{
    QTest::addColumn<int>("marks"); // -1: no Mark Layer at all
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<int>("exports");
    QTest::newRow("no Mark Layer: add marks first, nothing exported")
        << -1 << QString() << "未找到定位标记, 请先添加标记!" << 0;
    QTest::newRow("empty Mark Layer: add marks first, nothing exported")
        << 0 << QString() << "未找到定位标记, 请先添加标记!" << 0;
    QTest::newRow("five marks: check the Mark Layer, nothing exported")
        << 5 << QString() << "定位标记超过4个, 请检查Mark Layer!" << 0;
    QTest::newRow("the cutting export refused: its reason")
        << 4 << "Finish()"
        << "切割文件无法导出: injected: no answer" << 2;
}

void JobPreparationTest::stopsWithWarning()
{
    QFETCH(int, marks);
    QFETCH(QString, failing);
    QFETCH(QString, warning);
    QFETCH(int, exports);
    markSheet(marks);
    QTemporaryDir dir;
    auto log = std::make_shared<CallLog>();
    log->failSignature = failing;
    log->failOccurrence = failing.isEmpty() ? 0 : 2;
    CdrConnection conn(recordingApplication(HostId, log));
    const Result<PreparedJob> job =
        prepareJob(conn, false, JobOptions(), dir.filePath("ABDOPQR.plt"));
    QCOMPARE(job.error(), warning);
    QVERIFY(!job.ok());
    QCOMPARE(log->texts({"Finish()"}).size(), exports);
}

// An older host lacking a harmless filter property still gives the job, and says what it lacked.
void JobPreparationTest::refusedFilterPropertyNoted()
{
    markSheet(4);
    QTemporaryDir dir;
    auto log = std::make_shared<CallLog>();
    log->refusedProperties = QStringList{"FillType"};
    CdrConnection conn(recordingApplication(HostId, log));
    const Result<PreparedJob> job =
        prepareJob(conn, false, JobOptions(), dir.filePath("ABDOPQR.plt"));
    QVERIFY2(job.ok(), qPrintable(job.error()));
    QVERIFY(!job->text.joined().isEmpty());
    QCOMPARE(job->detail, QStringLiteral("export filter refused FillType"));
}

void JobPreparationTest::saveJobFile_data()
{
    QTest::addColumn<QString>("name");      // relative to a fresh folder; "" for no name
    QTest::addColumn<QByteArray>("before"); // earlier content; null: no file
    QTest::addColumn<QString>("error");
    QTest::addColumn<QByteArray>("after");
    const QByteArray job("CMD:20,1,2,0,0,1;SP2;PU;!PG;;CMD:22,1,2;");
    QTest::newRow("new file holds the text exactly, no line break added")
        << "job.plt" << QByteArray() << QString() << job;
    QTest::newRow("an earlier file is replaced whole")
        << "job.plt" << QByteArray(5000, 'x') << QString() << job;
    QTest::newRow("a folder that does not exist: nothing written, save failed and why")
        << "missing/job.plt" << QByteArray()
        << "文件保存失败! cannot write %DIR/missing/job.plt: No such file or directory"
        << QByteArray();
    QTest::newRow("no name: save failed") << "" << QByteArray() << "文件保存失败!" << QByteArray();
}

void JobPreparationTest::saveJobFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, before);
    QFETCH(QString, error);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    const QString path = name.isEmpty() ? QString() : dir.filePath(name);
    if (!before.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
    }
    QCOMPARE(::saveJobFile(path, "CMD:20,1,2,0,0,1;SP2;PU;!PG;;CMD:22,1,2;").error(),
             QString(error).replace("%DIR", dir.path()));
    if (after.isNull()) {
        QVERIFY(path.isEmpty() || !QFileInfo::exists(path));
        return;
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), after);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"job.plt"}); // no leftovers
}

QTEST_GUILESS_MAIN(JobPreparationTest)
#include "tst_jobpreparation.moc"
