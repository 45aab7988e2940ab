// cutjob as a user runs it: job files compared to golden files worked out by hand from the
// job-text rules, bad input refused without writing anything, the help, agreement with the
// engine's own pipelines, hostile files, and the preview picture.

#include "CutjobRunner.h"
#include "common/Units.h"
#include "paths/JobPipelines.h"
#include "paths/PathProcessor.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString dataDir = QStringLiteral(VX_TEST_DATA_DIR "/cutjob");
const QString fourMarks = QStringLiteral("7400,10400;400,400;7400,400;400,10400");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList markJob(const QStringList &more)
{
    return QStringList{QStringLiteral("build"),
                       QStringLiteral("--marks"),
                       fourMarks,
                       QStringLiteral("--page-height"),
                       QStringLiteral("11880"),
                       QStringLiteral("--page-width"),
                       QStringLiteral("8400")} +
           more;
}

QStringList blankJob(int height, int width, const QStringList &more)
{
    return QStringList{QStringLiteral("build"),         QStringLiteral("--blank"),
                       QStringLiteral("--page-height"), QString::number(height),
                       QStringLiteral("--page-width"),  QString::number(width)} +
           more;
}

int countPixels(const QImage &image, bool (*matches)(QRgb))
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += matches(image.pixel(x, y)) ? 1 : 0;
    }
    return count;
}

// Lines are one pixel wide and antialiased, so a pen's colour shows blended with the white.
bool isBlue(QRgb c)
{
    return qBlue(c) > qRed(c) + 60 && qBlue(c) > qGreen(c) + 60;
}
bool isRed(QRgb c)
{
    return qRed(c) > qBlue(c) + 60 && qRed(c) > qGreen(c) + 60;
}
bool isBlack(QRgb c)
{
    return qMax(qRed(c), qMax(qGreen(c), qBlue(c))) < 150 &&
           qMax(qRed(c), qMax(qGreen(c), qBlue(c))) - qMin(qRed(c), qMin(qGreen(c), qBlue(c))) < 30;
}

} // namespace

class CutjobTest : public QObject
{
    Q_OBJECT

private slots:
    void golden_data();
    void golden();
    void outputFile_data();
    void outputFile();
    void badInput_data();
    void badInput();
    void unwritableOutputLeavesNothing();
    void usage_data();
    void usage();
    void helpDocumentsEveryOption_data();
    void helpDocumentsEveryOption();
    void agreesWithEngine_data();
    void agreesWithEngine();
    void hostileFileFinishes_data();
    void hostileFileFinishes();
    void preview_data();
    void preview();
    void previewOfMissingJobWritesNothing();
    void previewSplitsPathsAtPenChange();
    void malformedInputRefused_data();
    void malformedInputRefused();
};

void CutjobTest::golden_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("golden");
    const QString crease = QStringLiteral("--creasing"), creasing = "mark-creasing.plt";
    QTest::newRow("mark job: the worked example as one exact line")
        << markJob({crease, creasing, "mark-cutting.plt"}) << "mark-job.golden";
    QTest::newRow("marks in read-back order give the same job")
        << QStringList{"build",
                       "--marks",
                       "400,400;7400,400;400,10400;7400,10400",
                       "--page-height",
                       "11880",
                       "--page-width",
                       "8400",
                       crease,
                       creasing,
                       "mark-cutting.plt"}
        << "mark-job.golden";
    QTest::newRow("first mark alone with the last one gives the same mark line")
        << QStringList{"build",
                       "--marks",
                       "7400,10400;400,400",
                       "--page-height=11880",
                       "--page-width=8400",
                       crease,
                       creasing,
                       "mark-cutting.plt"}
        << "mark-job.golden";
    QTest::newRow("no creasing file: empty pen-1 section")
        << markJob({"mark-cutting.plt"}) << "mark-job-no-creasing.golden";
    QTest::newRow("--scale 2 undoes a two-fold export")
        << markJob({"--scale", "2", crease, creasing, "mark-cutting-x2.plt"}) << "mark-job.golden";
    QTest::newRow("--rmx --rmy fill the header, --extra ends the mark line")
        << markJob({"--rmx", "17.5", "--rmy", "13.5", "--extra", "2", crease, creasing,
                    "mark-cutting.plt"})
        << "mark-job-rmx-rmy-extra.golden";
    QTest::newRow("blank job: line-type path dashed 0-40, 44-84, 88-100")
        << blankJob(1000, 2000, {"--dash", "1", "--gap", "0.1", "blank-dashed.plt"})
        << "blank-dashed.golden";
    QTest::newRow("blank job: closed square as it is")
        << blankJob(2000, 2000, {"blank-square.plt"}) << "blank-square.golden";
    QTest::newRow("--overcut 0.5 cuts 20 units of the first side again")
        << blankJob(2000, 2000, {"--overcut", "0.5", "blank-square.plt"})
        << "blank-square-overcut.golden";
    QTest::newRow("--knife 0.3 shifts a line 12 units along itself")
        << blankJob(1100, 1000, {"--knife", "0.3", "blank-line.plt"}) << "blank-line-knife.golden";
    QTest::newRow("without --sort the export's order stays")
        << blankJob(1000, 1000, {"blank-row.plt"}) << "blank-row.golden";
    QTest::newRow("--sort cuts a row left to right")
        << blankJob(1000, 1000, {"--sort", "blank-row.plt"}) << "blank-row-sorted.golden";
    QTest::newRow("--order serpentine is --sort")
        << blankJob(1000, 1000, {"--order", "serpentine", "blank-row.plt"})
        << "blank-row-sorted.golden";
    QTest::newRow("--order shortest starts at the square nearest the knife")
        << blankJob(1000, 1000, {"--order", "shortest", "blank-row.plt"})
        << "blank-row-sorted.golden";
}

void CutjobTest::golden()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, golden);
    const CutjobRun run = runCutjob(arguments, dataDir);
    QVERIFY(run.finished);
    QCOMPARE(QString::fromLocal8Bit(run.err), QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, readAll(dataDir + "/" + golden));
}

void CutjobTest::outputFile_data()
{
    QTest::addColumn<QByteArray>("earlierContent");
    QTest::newRow("a new file") << QByteArray();
    QTest::newRow("a longer file is replaced whole") << QByteArray(4000, 'x');
}

void CutjobTest::outputFile()
{
    QFETCH(QByteArray, earlierContent);
    QTemporaryDir dir;
    const QString job = dir.filePath("job.plt");
    if (!earlierContent.isEmpty())
        QVERIFY(writeAll(job, earlierContent));
    const CutjobRun run = runCutjob(
        markJob({"--creasing", "mark-creasing.plt", "mark-cutting.plt", "-o", job}), dataDir);
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(readAll(job), readAll(dataDir + "/mark-job.golden"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"job.plt"});
}

void CutjobTest::badInput_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    const QString square = "blank-square.plt";
    QTest::newRow("missing cutting file") << blankJob(2000, 2000, {"absent.plt"}) << "absent.plt";
    QTest::newRow("unknown order")
        << blankJob(2000, 2000, {"--order", "random", square}) << "--order";
    QTest::newRow("two orders at once")
        << blankJob(2000, 2000, {"--sort", "--order", "shortest", square}) << "--sort";
    QTest::newRow("cutting file is a folder")
        << blankJob(2000, 2000, {"."}) << "not a regular file";
    QTest::newRow("missing creasing file")
        << markJob({"--creasing", "absent.plt", square}) << "absent.plt";
    QTest::newRow("malformed knife")
        << blankJob(2000, 2000, {"--knife", "0,3", square}) << "--knife";
    QTest::newRow("infinite overcut")
        << blankJob(2000, 2000, {"--overcut", "inf", square}) << "--overcut";
    QTest::newRow("NaN dash") << blankJob(2000, 2000, {"--dash", "nan", square}) << "--dash";
    QTest::newRow("overflowing gap") << blankJob(2000, 2000, {"--gap", "1e999", square}) << "--gap";
    QTest::newRow("zero dash") << blankJob(2000, 2000, {"--dash", "0", square}) << "--dash";
    QTest::newRow("negative gap") << blankJob(2000, 2000, {"--gap", "-0.1", square}) << "--gap";
    QTest::newRow("zero scale") << blankJob(2000, 2000, {"--scale", "0", square}) << "--scale";
    QTest::newRow("negative knife")
        << blankJob(2000, 2000, {"--knife", "-0.3", square}) << "--knife";
    QTest::newRow("negative overcut")
        << blankJob(2000, 2000, {"--overcut", "-1", square}) << "--overcut";
    QTest::newRow("mark job without --marks")
        << QStringList{"build", "--page-height", "2000", "--page-width", "2000", square}
        << "--marks";
    QTest::newRow("mark job with an empty mark list")
        << QStringList{"build", "--marks",      ";",    "--page-height",
                       "2000",  "--page-width", "2000", square}
        << "mark";
    QTest::newRow("five marks") << QStringList{"build",         "--marks", "1,1;2,2;3,3;4,4;5,5",
                                               "--page-height", "2000",    "--page-width",
                                               "2000",          square}
                                << "4";
    QTest::newRow("mark with three numbers")
        << QStringList{"build", "--marks",      "1,2,3", "--page-height",
                       "2000",  "--page-width", "2000",  square}
        << "--marks";
    QTest::newRow("mark with a fraction")
        << QStringList{"build", "--marks",      "1.5,2", "--page-height",
                       "2000",  "--page-width", "2000",  square}
        << "--marks";
    QTest::newRow("marks too far apart for the mark line")
        << QStringList{"build",         "--marks", "2147483647,2147483647;-2147483648,-2147483648",
                       "--page-height", "2000",    "--page-width",
                       "2000",          square}
        << "--marks";
    QTest::newRow("rmx outside the window's range, which would print as 4e+301")
        << markJob({"--rmx", "1e300", square}) << "--rmx";
    QTest::newRow("rmy below the window's range") << markJob({"--rmy", "3", square}) << "--rmy";
    // Options the window's boxes could not hold.
    QTest::newRow("rmx off the 0.5 mm step, which would print as 1020.4")
        << markJob({"--rmx", "20.01", square}) << "--rmx must be 17.5 to 27.5 mm in steps of 0.5";
    QTest::newRow("rmy off the 0.5 mm step") << markJob({"--rmy", "8.2", square}) << "--rmy";
    QTest::newRow("knife beyond the window's range")
        << blankJob(2000, 2000, {"--knife", "1.6", square}) << "--knife must be 0 (off) or 0.1";
    QTest::newRow("knife between off and the smallest offset")
        << blankJob(2000, 2000, {"--knife", "0.05", square}) << "--knife";
    QTest::newRow("overcut the engine would cut short")
        << blankJob(2000, 2000, {"--overcut", "1000", square}) << "--overcut";
    QTest::newRow("dash below the window's range")
        << blankJob(2000, 2000, {"--dash", "0.5", square}) << "--dash must be 1 to 100 mm";
    QTest::newRow("dash beyond the window's range")
        << blankJob(2000, 2000, {"--dash", "101", square}) << "--dash";
    QTest::newRow("gap below the window's range")
        << blankJob(2000, 2000, {"--gap", "0.05", square}) << "--gap must be 0.1 to 1 mm";
    QTest::newRow("gap beyond the window's range")
        << blankJob(2000, 2000, {"--gap", "1.5", square}) << "--gap";
    QTest::newRow("page height missing")
        << QStringList{"build", "--blank", "--page-width", "2000", square} << "--page-height";
    QTest::newRow("page width not a whole number")
        << QStringList{"build",        "--blank", "--page-height", "2000",
                       "--page-width", "8400.5",  square}
        << "--page-width";
    QTest::newRow("zero page height") << blankJob(0, 2000, {square}) << "page size";
    QTest::newRow("extra-mark code 3") << markJob({"--extra", "3", square}) << "--extra";
    QTest::newRow("no cutting file") << blankJob(2000, 2000, {}) << "cutting file";
    QTest::newRow("two cutting files") << blankJob(2000, 2000, {square, square}) << "one";
    QTest::newRow("unknown option") << blankJob(2000, 2000, {"--speed", "3", square}) << "speed";
    QTest::newRow("marks in a blank job")
        << blankJob(2000, 2000, {"--marks", "1,1", square}) << "--marks";
    QTest::newRow("creasing file in a blank job")
        << blankJob(2000, 2000, {"--creasing", "mark-creasing.plt", square}) << "--creasing";
    QTest::newRow("extra-mark code in a blank job")
        << blankJob(2000, 2000, {"--extra", "1", square}) << "--extra";
    QTest::newRow("unknown subcommand") << QStringList{"bild", square} << "bild";
}

void CutjobTest::badInput()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString job = dir.filePath("job.plt");
    const QByteArray earlier = "an earlier job";
    QVERIFY(writeAll(job, earlier));
    const CutjobRun run = runCutjob(arguments + QStringList{"-o", job}, dataDir);
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.err.contains(message.toLocal8Bit()), run.err.constData());
    QCOMPARE(readAll(job), earlier);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"job.plt"});
}

void CutjobTest::unwritableOutputLeavesNothing()
{
    QTemporaryDir dir;
    const QString job = dir.filePath("missing-folder/job.plt");
    const CutjobRun run = runCutjob(blankJob(2000, 2000, {"blank-square.plt", "-o", job}), dataDir);
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("cannot write"), run.err.constData());
    QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

void CutjobTest::usage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("onStandardOutput");
    QTest::newRow("no subcommand: usage on stderr, failure") << QStringList() << 1 << false;
    QTest::newRow("--help: usage on stdout, success") << QStringList{"--help"} << 0 << true;
}

void CutjobTest::usage()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(bool, onStandardOutput);
    const CutjobRun run = runCutjob(arguments, dataDir);
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, exitCode);
    const QByteArray text = onStandardOutput ? run.out : run.err;
    for (const char *subcommand : {"build", "preview"})
        QVERIFY2(text.contains(subcommand), text.constData());
}

void CutjobTest::helpDocumentsEveryOption_data()
{
    QTest::addColumn<QString>("option");
    for (const char *option :
         {"--blank", "--creasing FILE", "--marks", "--page-height H", "--page-width W", "--extra N",
          "--rmx MM", "--rmy MM", "--sort", "--knife MM", "--overcut MM", "--dash MM", "--gap MM",
          "--scale S", "-o FILE"})
        QTest::newRow(option) << QString::fromLatin1(option);
}

void CutjobTest::helpDocumentsEveryOption()
{
    QFETCH(QString, option);
    const CutjobRun run = runCutjob({"build", "--help"}, dataDir);
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(option.toLatin1()), run.out.constData());
}

void CutjobTest::agreesWithEngine_data()
{
    // Options as typed, and the engine settings they must become (millimetres x 40).
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("blank");
    QTest::addColumn<bool>("sort");
    QTest::addColumn<double>("knife");
    QTest::addColumn<double>("overcut");
    QTest::addColumn<double>("dash");
    QTest::addColumn<double>("gap");
    QTest::addColumn<double>("rmx");
    QTest::addColumn<double>("rmy");
    QTest::addColumn<int>("extra");
    QTest::newRow("mark job, sort, knife 0.3, overcut 0.5")
        << QStringList{"--sort", "--knife", "0.3", "--overcut", "0.5"} << false << true << 12.0
        << 20.0 << 400.0 << 4.0 << 22.5 << 8.5 << 0;
    QTest::newRow("mark job, knife only, dash 2 gap 0.5, rmx 27.5 rmy 3.5 extra 1")
        << QStringList{"--knife", "0.25", "--dash", "2",   "--gap",   "0.5",
                       "--rmx",   "27.5", "--rmy",  "3.5", "--extra", "1"}
        << false << false << 10.0 << 0.0 << 80.0 << 20.0 << 27.5 << 3.5 << 1;
    QTest::newRow("mark job, overcut only, zero knife still on")
        << QStringList{"--overcut", "1", "--knife", "0"} << false << false << 0.0 << UNITS_PER_MM
        << 400.0 << 4.0 << 22.5 << 8.5 << 0;
    QTest::newRow("window's limits: knife 1.5, overcut 3, dash 100, gap 1, rmx 20.5, rmy 13")
        << QStringList{"--knife", "1.5", "--overcut", "3",    "--dash", "100",
                       "--gap",   "1",   "--rmx",     "20.5", "--rmy",  "13"}
        << false << false << 60.0 << 120.0 << 4000.0 << UNITS_PER_MM << 20.5 << 13.0 << 0;
    QTest::newRow("--knife 0 and --overcut 0 stay accepted as off")
        << QStringList{"--knife", "0", "--overcut", "0", "--dash", "1", "--gap", "0.1"} << false
        << false << 0.0 << 0.0 << UNITS_PER_MM << 4.0 << 22.5 << 8.5 << 0;
    QTest::newRow("blank job, sort, knife 0.5, overcut 0.25")
        << QStringList{"--blank", "--sort", "--knife", "0.5", "--overcut", "0.25"} << true << true
        << 20.0 << 10.0 << 400.0 << 4.0 << 22.5 << 8.5 << 0;
}

void CutjobTest::agreesWithEngine()
{
    QFETCH(QStringList, options);
    QFETCH(bool, blank);
    JobOptions o;
    QFETCH(bool, sort);
    o.autoSort = sort;
    QFETCH(double, knife);
    o.knifeOffsetUnits = knife;
    QFETCH(double, overcut);
    o.overcutUnits = overcut;
    QFETCH(double, dash);
    o.dashUnits = dash;
    QFETCH(double, gap);
    o.gapUnits = gap;
    QFETCH(double, rmx);
    o.realM2XMm = rmx;
    QFETCH(double, rmy);
    o.realM2YMm = rmy;
    QFETCH(int, extra);
    JobFrame frame{11880, 8400, {QPoint(400, 400), QPoint(8000, 400)}, extra};
    const QByteArray cutting = readAll(dataDir + "/labels-cutting.plt");
    const QByteArray creasing = readAll(dataDir + "/labels-creasing.plt");
    const QPointF first(400, 400);
    const Result<JobText> expected =
        blank ? blankCutJobText(blankCutPaths(cutting, 11880, o), frame, o)
              : markJobText(markJobCreasing(creasing, 11880, first),
                            markJobCutting(cutting, 11880, first, o), frame, o);
    QVERIFY(expected.ok());
    QStringList arguments = {"build", "--page-height", "11880", "--page-width", "8400"};
    if (!blank)
        arguments << "--marks"
                  << "8000,400;400,400"
                  << "--creasing"
                  << "labels-creasing.plt";
    const CutjobRun run =
        runCutjob(arguments + options + QStringList{"labels-cutting.plt"}, dataDir);
    QVERIFY(run.finished);
    QCOMPARE(QString::fromLocal8Bit(run.err), QString());
    QCOMPARE(run.out, expected->joined());
}

void CutjobTest::hostileFileFinishes_data()
{
    QTest::addColumn<QByteArray>("plt");
    QTest::addColumn<QByteArray>("expectedStart");
    QByteArray circle = "IN;SP1;PU1000000,0;PD";
    const int pieces = 1000000;
    const double pi = 4 * std::atan(1.0);
    for (int i = 1; i <= pieces; ++i) {
        const double a = 2 * pi * i / pieces;
        circle += QByteArray::number(qRound(1000000 * std::cos(a)) + 0) + ',' +
                  QByteArray::number(qRound(1000000 * std::sin(a))) + (i < pieces ? "," : ";");
    }
    QTest::newRow("one closed path of a million segments")
        << circle << QByteArray("CMD:20,3000000,3000000,0,0,1;SP2;PU");
    QByteArray separators;
    for (int i = 0; i < 2000000; ++i)
        separators += " ;\n\t"[i % 4];
    QTest::newRow("only separators")
        << separators << QByteArray("CMD:20,3000000,3000000,0,0,1;SP2;PU;!PG;;");
}

void CutjobTest::hostileFileFinishes()
{
    QFETCH(QByteArray, plt);
    QFETCH(QByteArray, expectedStart);
    QTemporaryDir dir;
    QVERIFY(writeAll(dir.filePath("hostile.plt"), plt));
    const CutjobRun run = runCutjob(
        blankJob(3000000, 3000000,
                 {"--sort", "--knife", "0.3", "--overcut", "0.5", "--scale", "1", "hostile.plt"}),
        dir.path(), 300000);
    QVERIFY2(run.finished, "cutjob did not finish within the bound");
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.startsWith(expectedStart));
    QVERIFY(run.out.endsWith("PU;!PG;;CMD:22,3000000,3000000;"));
}

void CutjobTest::preview_data()
{
    QTest::addColumn<QString>("job");
    QTest::addColumn<bool>("creases");
    QTest::addColumn<bool>("marks");
    QTest::newRow("mark job: creasing black, cutting blue, marks red")
        << "mark-job.golden" << true << true;
    QTest::newRow("blank job: cutting only, no marks")
        << "blank-row-sorted.golden" << false << false;
}

void CutjobTest::preview()
{
    QFETCH(QString, job);
    QFETCH(bool, creases);
    QFETCH(bool, marks);
    QTemporaryDir dir;
    const QString picture = dir.filePath("job.png");
    const CutjobRun run = runCutjob({"preview", job, "-o", picture, "--size", "2000"}, dataDir);
    QVERIFY(run.finished);
    QCOMPARE(QString::fromLocal8Bit(run.err), QString());
    QCOMPARE(run.exitCode, 0);
    const QImage image(picture);
    QVERIFY(!image.isNull());
    QVERIFY(qMax(image.width(), image.height()) <= 2000);
    QVERIFY(countPixels(image, isBlue) > 20);
    QCOMPARE(countPixels(image, isBlack) > 20, creases);
    QCOMPARE(countPixels(image, isRed) > 10, marks);
}

void CutjobTest::previewOfMissingJobWritesNothing()
{
    QTemporaryDir dir;
    const QString picture = dir.filePath("job.png");
    const CutjobRun run = runCutjob({"preview", "absent.plt", "-o", picture}, dataDir);
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("absent.plt"), run.err.constData());
    QVERIFY(!QFile::exists(picture));
}

// Regression: a cut that began where the last crease ended was drawn as part of the crease.
void CutjobTest::previewSplitsPathsAtPenChange()
{
    QTemporaryDir dir;
    QVERIFY(writeAll(dir.filePath("job.plt"),
                     "CMD:20,4000,4000,1100,200,0;MD0,0,0,0,0;IN;PA;SP1;PU400,400;PD400,2000;PU;"
                     "SP2;PU400,2000;PD2000,2000;PD2000,400;PU;!PG;;CMD:22,4000,4000;"));
    const QString picture = dir.filePath("job.png");
    const CutjobRun run = runCutjob({"preview", "job.plt", "-o", picture}, dir.path());
    QVERIFY(run.finished);
    QCOMPARE(QString::fromLocal8Bit(run.err), QString());
    const QImage image(picture);
    QVERIFY(countPixels(image, isBlack) > 20);
    QVERIFY(countPixels(image, isBlue) > 20);
}

void CutjobTest::malformedInputRefused_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("message");
    QByteArray noise(200 * 1024, '\0');
    QRandomGenerator rng(7);
    for (char &c : noise)
        c = char(rng.bounded(256));
    QTest::newRow("random bytes are no plot file")
        << "build" << noise << "in.plt: not a plot file: at offset ";
    QTest::newRow("PD coordinate beyond 32 bits is not read as 0")
        << "build" << QByteArray("IN;SP1;PU0,0;\nPD99999999999999999999,1;")
        << "in.plt: not a plot file: at offset 16 (line 2, column 3): the coordinate "
           "99999999999999999999 is out of range (-2147483648 to 2147483647)";
    QTest::newRow("a fractional coordinate is not read as digits run together")
        << "build" << QByteArray("PU0,0;PD100.5,1;") << "\".\" where \",\" and the pair's";
    QTest::newRow("an instruction the reader would skip")
        << "build" << QByteArray("IN;PR100,100;") << "\"PR\" is not an instruction";
    const QByteArray job = readAll(dataDir + "/mark-job.golden");
    const int body = job.indexOf("SP2;") + 4;
    QTest::newRow("NUL byte in a job's coordinates")
        << "preview" << QByteArray(job).insert(body + 5, '\0')
        << "in.plt: not a cutter job: at offset 90 (line 1, column 91): byte 0x00 where";
    QTest::newRow("negative pen") << "preview" << QByteArray(job).replace("SP2;", "SP-5;")
                                  << "pen -5 is out of range (1 to 2)";
    QTest::newRow("pen beyond 32 bits")
        << "preview" << QByteArray(job).replace("SP2;", "SP99999999999;")
        << "pen 99999999999 is out of range (1 to 2)";
    QTest::newRow("header with a 20-digit page height")
        << "preview" << QByteArray(job).replace("CMD:20,11880", "CMD:20,11880000000000000000")
        << "at offset 7 (line 1, column 8): the page height H 11880000000000000000 is out of range";
    QTest::newRow("trailer of another page size")
        << "preview" << QByteArray(job).replace("CMD:22,11880", "CMD:22,11881")
        << "the trailer must repeat the header's page size";
}

// A file outside the grammar is refused where its first fault lies, before any output exists.
void CutjobTest::malformedInputRefused()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, input);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(writeAll(dir.filePath("in.plt"), input));
    const QStringList arguments =
        command == "build" ? blankJob(2000, 2000, {"in.plt"}) : QStringList{"preview", "in.plt"};
    const CutjobRun run = runCutjob(arguments + QStringList{"-o", "out"}, dir.path());
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY(!QFile::exists(dir.filePath("out")));
}

QTEST_GUILESS_MAIN(CutjobTest)
#include "CutjobTest.moc"
