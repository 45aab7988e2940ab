// The streamed job text against the list pipelines' text, which it must match byte for byte, on
// exports other programs and our own tools made, and a sink that fails part way.

#include "paths/JobStream.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

class ByteArraySink : public JobSink
{
public:
    explicit ByteArraySink(qint64 failAfter = -1) : failAfter(failAfter) {}
    bool write(const char *data, qint64 size) override
    {
        if (failAfter >= 0 && text.size() + size > failAfter)
            return false;
        text.append(data, int(size));
        return true;
    }
    QString errorText() const override { return QStringLiteral("disk full"); }
    QByteArray text;
    qint64 failAfter;
};

QByteArray readData(const QString &name)
{
    QFile file(QStringLiteral(VX_TEST_DATA_DIR "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

JobFrame frame(bool blank)
{
    JobFrame f;
    f.pageHeight = 12000;
    f.pageWidth = 9000;
    if (!blank)
        f.marks = {QPoint(600, 600), QPoint(8000, 11000)};
    return f;
}

} // namespace

class JobStreamTest : public QObject
{
    Q_OBJECT

private slots:
    void sameTextAsTheListPipelines_data();
    void sameTextAsTheListPipelines();
    void failingSinkStopsTheJob();
};

void JobStreamTest::sameTextAsTheListPipelines_data()
{
    QTest::addColumn<QByteArray>("plt");
    const QStringList files = QDir(QStringLiteral(VX_TEST_DATA_DIR "/cutjob"))
                                  .entryList({QStringLiteral("*.plt")}, QDir::Files);
    for (const QString &name : files)
        QTest::newRow(qPrintable(name)) << readData(QStringLiteral("cutjob/") + name);
    QTest::newRow("pen and line type changes, lone X, spaces, closing pair lists")
        << QByteArray("IN;PD100;SP1;PU0,0;PD400,0,400,400,0,400,0,0;SP2;LT1,2,0;PD0,800 900,"
                      "900;PU5 5;PD6,6,5,5,5,5;LT;PA-40,7;PD-40,7,8,-2147483648,3,3;");
    QTest::newRow("empty") << QByteArray();
}

void JobStreamTest::sameTextAsTheListPipelines()
{
    QFETCH(QByteArray, plt);
    for (const bool blank : {true, false}) {
        for (int variant = 0; variant < 4; ++variant) {
            JobOptions options;
            options.autoSort = variant & 1;
            options.knifeOffsetUnits = variant & 2 ? 12 : 0;
            options.overcutUnits = variant & 2 ? 20 : 0;
            options.exportScale = variant == 3 ? 2.5 : EXPORT_SCALE;
            const JobFrame f = frame(blank);
            const QByteArray expected =
                blank ? blankCutJobText(blankCutPaths(plt, f.pageHeight, options), f, options)
                            ->joined()
                      : markJobText(markJobCreasing(plt, f.pageHeight, f.marks.first()),
                                    markJobCutting(plt, f.pageHeight, f.marks.first(), options), f,
                                    options)
                            ->joined();
            ByteArraySink sink;
            const Result<> streamed =
                blank ? streamBlankJob(PltText::of(plt), f, options, sink)
                      : streamMarkJob(PltText::of(plt), PltText::of(plt), f, options, sink);
            QVERIFY(streamed.ok());
            QCOMPARE(sink.text, expected);
        }
    }
}

void JobStreamTest::failingSinkStopsTheJob()
{
    const QByteArray plt = readData(QStringLiteral("cutjob/labels-cutting.plt"));
    ByteArraySink sink(100);
    const Result<> streamed = streamBlankJob(PltText::of(plt), frame(true), JobOptions(), sink);
    QVERIFY(!streamed.ok());
    QCOMPARE(streamed.error(), QStringLiteral("disk full"));
    QVERIFY(sink.text.size() <= 100);
}

QTEST_MAIN(JobStreamTest)
#include "tst_jobstream.moc"
