// Inputs no exporter writes: random bytes, mangled plot files, extreme numbers, very long
// paths. Nothing may crash or hang, and the job text must stay well formed.

#include "PathText.h"
#include "paths/JobPipelines.h"
#include "paths/PathProcessor.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

namespace {

// Every character of a job body is one of these; "nan", "inf" or "e+" would mean a value that
// was never rounded reached the text.
bool wellFormedBody(const QByteArray &body)
{
    static const QRegularExpression re(QStringLiteral("^[0-9A-Z,;!-]*$"));
    return re.match(QString::fromLatin1(body)).hasMatch();
}

QByteArray buildBoth(const QByteArray &plt)
{
    JobOptions o;
    o.autoSort = true;
    o.knifeOffsetUnits = 12;
    o.overcutUnits = 20;
    JobFrame frame;
    frame.pageHeight = 11880;
    frame.pageWidth = 8400;
    frame.marks = {QPoint(400, 400), QPoint(8000, 11400)};
    const CutPathList creasing = markJobCreasing(plt, 11880, QPointF(400, 400));
    const CutPathList cutting = markJobCutting(plt, 11880, QPointF(400, 400), o);
    const Result<JobText> mark = markJobText(creasing, cutting, frame, o);
    const Result<JobText> blank = blankCutJobText(blankCutPaths(plt, 11880, o), frame, o);
    return mark->body + blank->body;
}

QByteArray mangled(QRandomGenerator &rng, int length)
{
    static const char alphabet[] = "PUDASLT0123456789-.,; \nIN";
    QByteArray out;
    for (int i = 0; i < length; ++i)
        out.append(alphabet[rng.bounded(int(sizeof(alphabet) - 1))]);
    return out;
}

} // namespace

class RobustnessTest : public QObject
{
    Q_OBJECT

private slots:
    void oddInputsGiveWellFormedText_data();
    void oddInputsGiveWellFormedText();
    void randomInputsGiveWellFormedText();
    void millionSegmentPath();
    void onlySeparators();
};

void RobustnessTest::oddInputsGiveWellFormedText_data()
{
    QTest::addColumn<QByteArray>("plt");
    QTest::newRow("extreme coordinates")
        << QByteArray("PU-2147483648,-2147483648;PD2147483647,2147483647,-2147483648,0;");
    QTest::newRow("coordinates beyond 32 bits") << QByteArray("PD99999999999,-99999999999;");
    QTest::newRow("closed path of a single point") << QByteArray("PU5,5;PD5,5,5,5,5,5;");
    QTest::newRow("tiny closed triangle, long overcut") << QByteArray("PU0,0;PD1,0,0,1,0,0;");
    QTest::newRow("zero-length segments at every corner")
        << QByteArray("PU0,0;PD500,0,500,0,500,500,500,500,0,500,0,0,0,0;");
    QTest::newRow("dashed path with a huge line type")
        << QByteArray("LT-99999,1e9,-.;PU0,0;PD5000,0,5000,5000;");
    QTest::newRow("binary bytes") << QByteArray("\x00\xffPD\x80\x01"
                                                "10,\xfe"
                                                "20;",
                                                12);
}

void RobustnessTest::oddInputsGiveWellFormedText()
{
    QFETCH(QByteArray, plt);
    const QByteArray body = buildBoth(plt);
    QVERIFY2(wellFormedBody(body), body.left(200).constData());
}

void RobustnessTest::randomInputsGiveWellFormedText()
{
    QRandomGenerator rng(20261207);
    for (int round = 0; round < 300; ++round) {
        const QByteArray plt = mangled(rng, 1 + int(rng.bounded(400)));
        const QByteArray body = buildBoth(plt);
        QVERIFY2(wellFormedBody(body), plt.constData());
        // The text road reads what the byte road reads.
        QCOMPARE(describe(PathProcessor().parsePlt(QString::fromLatin1(plt)), true),
                 describe(PathProcessor().parsePlt(plt), true));
    }
}

void RobustnessTest::millionSegmentPath()
{
    // One pen-down command of a million pairs in a shallow zig-zag: every step of the pipeline
    // must be linear in the path's length.
    QByteArray plt("PU0,0;PD");
    plt.reserve(12 * 1000000);
    for (int i = 1; i <= 1000000; ++i) {
        plt += QByteArray::number(i * 100);
        plt += (i % 2) ? ",5," : ",0,";
    }
    plt.chop(1);
    plt += ';';
    JobOptions o;
    o.autoSort = true;
    o.knifeOffsetUnits = 12;
    o.overcutUnits = 20;
    const CutPathList paths = markJobCutting(plt, 11880, QPointF(0, 0), o);
    QCOMPARE(paths.size(), 1);
    QVERIFY(paths.first().segments.size() >= 1000000);
    const QByteArray body = PathProcessor().blankJobBody(paths, 400, 4);
    QVERIFY(body.startsWith("SP2;PU"));
    QVERIFY(body.endsWith("PU;!PG;;"));
}

void RobustnessTest::onlySeparators()
{
    const QByteArray plt(8 * 1024 * 1024, ';');
    QVERIFY(PathProcessor().parsePlt(plt).isEmpty());
    QByteArray commas = QByteArray("PD") + QByteArray(8 * 1024 * 1024, ',');
    QVERIFY(PathProcessor().parsePlt(commas).isEmpty());
}

QTEST_MAIN(RobustnessTest)
#include "tst_robustness.moc"
