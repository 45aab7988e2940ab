// The job-text writer: axis order, rounding, pen-up moves where rounded segments do not join,
// dashes, and that no unroundable coordinate reaches the text.

#include "PathText.h"
#include "paths/HpglWriter.h"
#include "paths/PathProcessor.h"

#include <QTest>

#include <climits>
#include <limits>

namespace {
// Dash and gap of most rows, in plotter units: 1 mm and 0.1 mm.
constexpr double Dash = 40, Gap = 4;
} // namespace

class WriterTest : public QObject
{
    Q_OBJECT

private slots:
    void pen1_data();
    void pen1();
    void pen2Dashing_data();
    void pen2Dashing();
    void dashSplit_data();
    void dashSplit();
    void formatInt_data();
    void formatInt();
};

void WriterTest::pen1_data()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::addColumn<CutPathList>("paths");
    QTest::addColumn<QString>("text");
    QTest::newRow("y first, joined segments in one PD")
        << pathsFrom("200,100>300,100 300,100>300,150")
        << "IN;PA;SP1;PU100,200;PD100,300,150,300;PU;";
    QTest::newRow("gap gives a pen-up move")
        << pathsFrom("0,0>10,0 20,0>30,0") << "IN;PA;SP1;PU0,0;PD0,10;PU0,20;PD0,30;PU;";
    QTest::newRow("empty list") << CutPathList() << "IN;PA;SP1;PU;";
    QTest::newRow("empty path is skipped")
        << pathsFrom("[0 0 0 0] | 1,2>3,4") << "IN;PA;SP1;PU2,1;PD4,3;PU;";
    QTest::newRow("two paths") << pathsFrom("1,2>3,4 | 5,6>7,8")
                               << "IN;PA;SP1;PU2,1;PD4,3;PU6,5;PD8,7;PU;";
    QTest::newRow("joined only after rounding")
        << pathsFrom("0,0>10.4,0 10.2,0>20,0") << "IN;PA;SP1;PU0,0;PD0,10,0,20;PU;";
    QTest::newRow("joined before but apart after rounding")
        << pathsFrom("0,0>10.5,0 10.5,0>20,0 20,0>20.49,0 20.51,0>30,0")
        << "IN;PA;SP1;PU0,0;PD0,11,0,20,0,20;PU0,21;PD0,30;PU;";
    QTest::newRow("halves round up, also below zero")
        << pathsFrom("0.5,-0.5>-1.5,2.5") << "IN;PA;SP1;PU0,1;PD3,-1;PU;";
    QTest::newRow("negative numbers")
        << pathsFrom("-5,-7>-100,0") << "IN;PA;SP1;PU-7,-5;PD0,-100;PU;";
    QTest::newRow("line types are ignored by pen 1")
        << pathsFrom("[1 2 5 1] 0,0>100,0") << "IN;PA;SP1;PU0,0;PD0,100;PU;";
    CutPath odd;
    odd.segments = {QLineF(0, 0, 10, 0), QLineF(10, 0, nan, 0), QLineF(nan, 0, 20, 0),
                    QLineF(20, 0, 30, 0)};
    QTest::newRow("NaN never reaches the text")
        << CutPathList{odd} << "IN;PA;SP1;PU0,0;PD0,10;PU0,20;PD0,30;PU;";
    odd.segments = {QLineF(inf, 0, 0, 0), QLineF(0, 0, 5, 5), QLineF(5, 5, 3e9, 0)};
    QTest::newRow("infinite and out-of-range coordinates are left out")
        << CutPathList{odd} << "IN;PA;SP1;PU0,0;PD5,5;PU;";
    odd.segments = {QLineF(nan, nan, nan, nan)};
    QTest::newRow("path with nothing writable is skipped") << CutPathList{odd} << "IN;PA;SP1;PU;";
    QTest::newRow("largest writable coordinates") << pathsFrom("2147483646,-2147483646>0,0")
                                                  << "IN;PA;SP1;PU-2147483646,2147483646;PD0,0;PU;";
}

void WriterTest::pen1()
{
    QFETCH(CutPathList, paths);
    QFETCH(QString, text);
    QCOMPARE(PathProcessor().writePen1Section(paths), text);
}

void WriterTest::pen2Dashing_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<double>("dash");
    QTest::addColumn<double>("gap");
    QTest::addColumn<QString>("text");
    QTest::newRow("solid path is never dashed")
        << "0,0>100,0" << Dash << Gap << "SP2;PU0,0;PD0,100;PU;!PG;";
    QTest::newRow("line type makes dashes")
        << "[0 1 0 0] 0,0>100,0" << Dash << Gap
        << "SP2;PU0,0;PD0,40;PU0,44;PD0,84;PU0,88;PD0,100;PU;!PG;";
    QTest::newRow("pattern length alone makes dashes")
        << "[0 0 7 0] 0,0>100,0" << Dash << Gap
        << "SP2;PU0,0;PD0,40;PU0,44;PD0,84;PU0,88;PD0,100;PU;!PG;";
    QTest::newRow("mode alone makes dashes")
        << "[0 0 0 1] 0,0>100,0" << Dash << Gap
        << "SP2;PU0,0;PD0,40;PU0,44;PD0,84;PU0,88;PD0,100;PU;!PG;";
    QTest::newRow("own pattern length is not used")
        << "[0 2 10 0] 0,0>100,0" << 50.0 << 10.0 << "SP2;PU0,0;PD0,50;PU0,60;PD0,100;PU;!PG;";
    QTest::newRow("each path starts with a dash")
        << "[0 1 0 0] 0,0>50,0 | [0 1 0 0] 0,10>50,10" << Dash << Gap
        << "SP2;PU0,0;PD0,40;PU0,44;PD0,50;PU10,0;PD10,40;PU10,44;PD10,50;PU;!PG;";
    QTest::newRow("empty list") << "" << Dash << Gap << "SP2;PU;!PG;";
}

void WriterTest::pen2Dashing()
{
    QFETCH(QString, path);
    QFETCH(double, dash);
    QFETCH(double, gap);
    QFETCH(QString, text);
    QCOMPARE(PathProcessor().writePen2Section(pathsFrom(path), dash, gap), text);
}

void WriterTest::dashSplit_data()
{
    QTest::addColumn<QString>("segments");
    QTest::addColumn<double>("dash");
    QTest::addColumn<double>("gap");
    QTest::addColumn<QString>("dashes");
    QTest::newRow("straight 100, dash 40, gap 4")
        << "0,0>100,0" << Dash << Gap << "0,0>40,0 44,0>84,0 88,0>100,0";
    QTest::newRow("dash across a corner")
        << "0,0>30,0 30,0>30,100" << Dash << Gap << "0,0>30,0 30,0>30,10 30,14>30,54 30,58>30,98";
    QTest::newRow("dash ending exactly at a joint")
        << "0,0>40,0 40,0>44,0 44,0>50,0" << Dash << Gap << "0,0>40,0 44,0>50,0";
    QTest::newRow("gap swallowing whole segments")
        << "0,0>10,0 10,0>12,0 12,0>13,0 13,0>30,0" << 10.0 << 5.0 << "0,0>10,0 15,0>25,0";
    // The first segment leaves about 1e-12 of the dash, too little to move a point near 1e6:
    // the dash ends where the second segment starts and the gap follows there.
    QTest::newRow("dash remainder below coordinate precision ends at the segment start")
        << "0,0>39.999999999999,0 1000000,0>1000100,0" << Dash << Gap
        << "0,0>40,0 1000000,0>1000000,0 1000004,0>1000044,0 1000048,0>1000088,0 "
           "1000092,0>1000100,0";
    // Near 1e9 neither 5e-8 moves a point: the first dash is a point, then it takes the rest.
    QTest::newRow("dash and gap both below coordinate precision still finish")
        << "1000000000,0>1000000002,0" << 5e-8 << 5e-8
        << "1000000000,0>1000000000,0 1000000000,0>1000000002,0";
    QTest::newRow("path shorter than a dash") << "0,0>5,0" << Dash << Gap << "0,0>5,0";
    QTest::newRow("empty") << "" << Dash << Gap << "";
    QTest::newRow("zero dash leaves the path whole") << "0,0>100,0" << 0.0 << 4.0 << "0,0>100,0";
    QTest::newRow("pattern far finer than the path leaves it whole")
        << "0,0>2000000000,0" << 1.0 << 1.0 << "0,0>2000000000,0";
    QTest::newRow("tiny gap after a long dash still dashes")
        << "0,0>1000,0" << 400.0 << 1e-5 << "0,0>400,0 400.00001,0>800.00001,0 800.00002,0>1000,0";
    QTest::newRow("negative gap leaves the path whole")
        << "0,0>100,0" << Dash << -Gap << "0,0>100,0";
}

void WriterTest::dashSplit()
{
    QFETCH(QString, segments);
    QFETCH(double, dash);
    QFETCH(double, gap);
    QFETCH(QString, dashes);
    QCOMPARE(describe(PathProcessor().dashSplit(segmentsFrom(segments), dash, gap)), dashes);
}

void WriterTest::formatInt_data()
{
    QTest::addColumn<int>("value");
    for (int v : {0, 7, -1, 10, -10, 1234567, INT_MAX, INT_MIN})
        QTest::addRow("%d", v) << v;
}

void WriterTest::formatInt()
{
    QFETCH(int, value);
    char buf[16];
    const int n = HpglWriter::formatInt(buf, value);
    QCOMPARE(QByteArray(buf, n), QByteArray::number(value));
}

QTEST_MAIN(WriterTest)
#include "tst_writer.moc"
