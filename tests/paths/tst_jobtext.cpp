// The job text as the cutter receives it, and the pipelines that feed it, from plot-file text to
// the last character.

#include "PathText.h"
#include "paths/JobPipelines.h"
#include "paths/PathProcessor.h"

#include <QTest>
#include <climits>

class JobTextTest : public QObject
{
    Q_OBJECT

private slots:
    void markJobExampleIsOneExactLine();
    void markHeader_data();
    void markHeader();
    void markLine_data();
    void markLine();
    void markJobNeedsOneToFourMarks_data();
    void markJobNeedsOneToFourMarks();
    void markDistanceMustFitTheMarkLine_data();
    void markDistanceMustFitTheMarkLine();
    void blankJob_data();
    void blankJob();
    void pipelines_data();
    void pipelines();
    void pipelinesLeaveTheirInputAlone();
};

void JobTextTest::markJobExampleIsOneExactLine()
{
    JobFrame frame;
    frame.pageHeight = 11880;
    frame.pageWidth = 8400;
    frame.marks = {QPoint(500, 300), QPoint(7500, 10300)};
    frame.extraMark = 0;
    JobOptions options; // defaults: RMX 22.5, RMY 8.5
    const Result<JobText> job =
        markJobText(pathsFrom("100,200>300,200"), pathsFrom("400,500>600,500"), frame, options);
    QVERIFY(job.ok());
    QCOMPARE(job->joined(), QByteArray("CMD:20,11880,8400,1120,200,0;MD0,0,10000,7000,0;"
                                       "IN;PA;SP1;PU200,100;PD200,300;PU;"
                                       "SP2;PU500,400;PD500,600;PU;!PG;;CMD:22,11880,8400;"));
    QCOMPARE(job->header, QByteArray("CMD:20,11880,8400,1120,200,0;"));
    QCOMPARE(job->markLine, QByteArray("MD0,0,10000,7000,0;"));
    QVERIFY(job->body.endsWith("PU;!PG;;"));
    QCOMPARE(job->trailer, QByteArray("CMD:22,11880,8400;"));
}

void JobTextTest::markHeader_data()
{
    QTest::addColumn<double>("rmx");
    QTest::addColumn<double>("rmy");
    QTest::addColumn<QByteArray>("header");
    QTest::newRow("defaults") << 22.5 << 8.5 << QByteArray("CMD:20,100,50,1120,200,0;");
    QTest::newRow("smallest") << 17.5 << 3.5 << QByteArray("CMD:20,100,50,920,0,0;");
    QTest::newRow("largest") << 27.5 << 13.5 << QByteArray("CMD:20,100,50,1320,400,0;");
    QTest::newRow("off the step prints six digits")
        << 22.51 << 8.5 << QByteArray("CMD:20,100,50,1120.4,200,0;");
}

void JobTextTest::markHeader()
{
    QFETCH(double, rmx);
    QFETCH(double, rmy);
    QFETCH(QByteArray, header);
    QCOMPARE(PathProcessor().markHeaderLine(100, 50, rmx, rmy), header);
}

void JobTextTest::markLine_data()
{
    QTest::addColumn<QVector<QPoint>>("marks");
    QTest::addColumn<int>("extra");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("single mark gives zero distances")
        << QVector<QPoint>{QPoint(400, 400)} << 2 << QByteArray("MD0,0,0,0,2;");
    QTest::newRow("first and last of four, y first")
        << QVector<QPoint>{QPoint(100, 200), QPoint(900, 200), QPoint(100, 5000), QPoint(900, 5200)}
        << 1 << QByteArray("MD0,0,5000,800,1;");
    QTest::newRow("negative distances") << QVector<QPoint>{QPoint(900, 900), QPoint(100, 800)} << 0
                                        << QByteArray("MD0,0,-100,-800,0;");
}

void JobTextTest::markLine()
{
    QFETCH(QVector<QPoint>, marks);
    QFETCH(int, extra);
    QFETCH(QByteArray, line);
    JobFrame frame;
    frame.pageHeight = 10;
    frame.pageWidth = 20;
    frame.marks = marks;
    frame.extraMark = extra;
    const Result<JobText> job = markJobText({}, {}, frame, JobOptions());
    QVERIFY(job.ok());
    QCOMPARE(job->markLine, line);
    QCOMPARE(job->body, QByteArray("IN;PA;SP1;PU;SP2;PU;!PG;;"));
}

void JobTextTest::markJobNeedsOneToFourMarks_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("ok");
    QTest::newRow("none") << 0 << false;
    QTest::newRow("one") << 1 << true;
    QTest::newRow("four") << 4 << true;
    QTest::newRow("five") << 5 << false;
}

void JobTextTest::markJobNeedsOneToFourMarks()
{
    QFETCH(int, count);
    QFETCH(bool, ok);
    JobFrame frame;
    for (int i = 0; i < count; ++i)
        frame.marks.append(QPoint(i * 100, i * 100));
    const Result<JobText> job =
        markJobText(pathsFrom("0,0>10,0"), pathsFrom("0,0>10,0"), frame, {});
    QCOMPARE(job.ok(), ok);
    QCOMPARE(job.error().isEmpty(), ok);
}

void JobTextTest::markDistanceMustFitTheMarkLine_data()
{
    QTest::addColumn<QPoint>("first");
    QTest::addColumn<QPoint>("last");
    QTest::addColumn<bool>("ok");
    QTest::newRow("ordinary sheet") << QPoint(340, 900) << QPoint(8060, 10340) << true;
    QTest::newRow("largest distance that fits") << QPoint(0, 0) << QPoint(INT_MAX, INT_MAX) << true;
    QTest::newRow("y distance overflows int") << QPoint(0, INT_MIN) << QPoint(0, INT_MAX) << false;
    QTest::newRow("x distance overflows int") << QPoint(INT_MAX, 0) << QPoint(INT_MIN, 0) << false;
}

void JobTextTest::markDistanceMustFitTheMarkLine()
{
    QFETCH(QPoint, first);
    QFETCH(QPoint, last);
    QFETCH(bool, ok);
    JobFrame frame;
    frame.marks = {first, last};
    const Result<JobText> job =
        markJobText(pathsFrom("0,0>10,0"), pathsFrom("0,0>10,0"), frame, {});
    QCOMPARE(job.ok(), ok);
    QCOMPARE(job.error().isEmpty(), ok);
}

void JobTextTest::blankJob_data()
{
    QTest::addColumn<QString>("paths");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("one solid path")
        << "400,500>600,500"
        << QByteArray("CMD:20,11880,8400,0,0,1;SP2;PU500,400;PD500,600;PU;!PG;;CMD:22,11880,8400;");
    QTest::newRow("no paths") << ""
                              << QByteArray(
                                     "CMD:20,11880,8400,0,0,1;SP2;PU;!PG;;CMD:22,11880,8400;");
}

void JobTextTest::blankJob()
{
    QFETCH(QString, paths);
    QFETCH(QByteArray, text);
    JobFrame frame;
    frame.pageHeight = 11880;
    frame.pageWidth = 8400;
    frame.marks = {QPoint(1, 1), QPoint(2, 2)}; // ignored
    const Result<JobText> job = blankCutJobText(pathsFrom(paths), frame, JobOptions());
    QVERIFY(job.ok());
    QVERIFY(job->markLine.isEmpty());
    QCOMPARE(job->joined(), text);
}

void JobTextTest::pipelines_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("plt");
    QTest::addColumn<bool>("autoSort");
    QTest::addColumn<double>("knife");
    QTest::addColumn<double>("overcut");
    QTest::addColumn<QString>("paths");
    // Page height 11880, first mark (100, 200).
    QTest::newRow("creasing: mirror and place only")
        << "creasing" << QByteArray("IN;PU2000,5000;PD4000,5000;") << true << 12.0 << 20.0
        << "1900,6680>3900,6680";
    QTest::newRow("cutting: undo the export scale, mirror, place")
        << "cutting" << QByteArray("IN;PU2000,5000;PD4000,5000;") << false << 0.0 << 0.0
        << "1900,6680>2300,6680";
    QTest::newRow("cutting: sorted, rows from the top of the page")
        << "cutting" << QByteArray("PU0,0;PD500,0;PU0,2500;PD500,2500;") << true << 0.0 << 0.0
        << "-100,11180>0,11180 | -100,11680>0,11680";
    QTest::newRow("cutting: knife shifts forward, clean-up drops the vanished")
        << "cutting" << QByteArray("PU0,0;PD500,0;PD500,0;") << false << 12.0 << 0.0
        << "-88,11680>12,11680";
    QTest::newRow("blank: no placement against a mark")
        << "blank" << QByteArray("IN;PU2000,5000;PD4000,5000;") << false << 0.0 << 0.0
        << "2000,6880>2400,6880";
    QTest::newRow("blank: overcut of a closed square")
        << "blank" << QByteArray("PU0,0;PD2000,0,2000,2000,0,2000,0,0;") << false << 0.0 << 20.0
        << "0,11880>400,11880 400,11880>400,11480 400,11480>0,11480 0,11480>0,11880 "
           "0,11880>20,11880";
    QTest::newRow("empty export") << "blank" << QByteArray() << true << 12.0 << 20.0 << "";
}

void JobTextTest::pipelines()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, plt);
    QFETCH(bool, autoSort);
    QFETCH(double, knife);
    QFETCH(double, overcut);
    QFETCH(QString, paths);
    JobOptions o;
    o.autoSort = autoSort;
    o.knifeOffsetUnits = knife;
    o.overcutUnits = overcut;
    const QPointF mark(100, 200);
    CutPathList out;
    if (kind == "creasing")
        out = markJobCreasing(plt, 11880, mark);
    else if (kind == "cutting")
        out = markJobCutting(plt, 11880, mark, o);
    else
        out = blankCutPaths(plt, 11880, o);
    QCOMPARE(describe(out), paths);
    // The list road gives the same as the text road.
    const CutPathList parsed = PathProcessor().parsePlt(plt);
    if (kind == "creasing")
        QCOMPARE(describe(markJobCreasing(parsed, 11880, mark)), paths);
    else if (kind == "cutting")
        QCOMPARE(describe(markJobCutting(parsed, 11880, mark, o)), paths);
    else
        QCOMPARE(describe(blankCutPaths(parsed, 11880, o)), paths);
}

void JobTextTest::pipelinesLeaveTheirInputAlone()
{
    const CutPathList parsed = PathProcessor().parsePlt(QByteArray("PU0,0;PD500,0,500,500,0,0;"));
    const QString before = describe(parsed);
    JobOptions o;
    o.autoSort = true;
    o.knifeOffsetUnits = 12;
    o.overcutUnits = 20;
    markJobCutting(parsed, 1000, QPointF(5, 5), o);
    blankCutPaths(parsed, 1000, o);
    markJobCreasing(parsed, 1000, QPointF(5, 5));
    QCOMPARE(describe(parsed), before);
}

QTEST_MAIN(JobTextTest)
#include "tst_jobtext.moc"
