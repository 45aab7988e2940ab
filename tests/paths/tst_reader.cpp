// The plot-file reader: the state table's examples, the closure rule, line types, malformed
// numbers, and that the byte road and the text road read the same.

#include "PathText.h"
#include "paths/IntField.h"
#include "paths/PathProcessor.h"

#include <QTemporaryDir>
#include <QTest>

class ReaderTest : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void intFieldReadsLikeToInt_data();
    void intFieldReadsLikeToInt();
    void nonLatin1CharactersAreSkipped();
    void readTextFile_data();
    void readTextFile();
    void readFileBytesReportsMissingFile();
};

void ReaderTest::parse_data()
{
    QTest::addColumn<QString>("plt");
    QTest::addColumn<QString>("paths");
    const char *a0 = "[0 0 0 0] ";
    QTest::newRow("two segments, pen 0") << "IN;PU100,200;PD300,200;PD300,400;PU;"
                                         << QString(a0) + "100,200>300,200 300,200>300,400";
    QTest::newRow("SP sets the pen") << "SP1;PU5,5;PD10,5;"
                                     << "[1 0 0 0] 5,5>10,5";
    QTest::newRow("first segment from the origin begins a path")
        << "PD10,0;" << QString(a0) + "0,0>10,0";
    QTest::newRow("last pair closing a square starts a new path")
        << "PU0,0;PD100,0;PD100,100;PD0,100;PD0,0;PD50,0;"
        << QString(a0) + "0,0>100,0 100,0>100,100 100,100>0,100 0,100>0,0 | " + a0 + "0,0>50,0";
    QTest::newRow("inner pairs get no closure test")
        << "PD100,0,100,100,0,100,0,0,50,0,60,0;"
        << QString(a0) + "0,0>100,0 100,0>100,100 100,100>0,100 0,100>0,0 0,0>50,0 50,0>60,0";
    QTest::newRow("pen up between paths") << "PU10,10;PD20,10;PU30,30;PD40,30;"
                                          << QString(a0) + "10,10>20,10 | " + a0 + "30,30>40,30";
    QTest::newRow("pen up to the last end continues the path")
        << "PU0,0;PD10,0;PU10,0;PD20,0;" << QString(a0) + "0,0>10,0 10,0>20,0";
    QTest::newRow("PA keeps the pen down")
        << "PD10,0;PA20,0;" << QString(a0) + "0,0>10,0 10,0>20,0";
    QTest::newRow("PA keeps the pen up") << "PU10,0;PA20,0;PD30,0;" << QString(a0) + "20,0>30,0";
    QTest::newRow("LT sets all three, LT; resets") << "LT2,5.5,1;PU0,0;PD10,0;LT;PU0,50;PD10,50;"
                                                   << "[0 2 5.5 1] 0,0>10,0 | [0 0 0 0] 0,50>10,50";
    QTest::newRow("LT with a pattern number keeps length and mode") << "LT2,5.5,1;LT3;PU0,0;PD10,0;"
                                                                    << "[0 3 5.5 1] 0,0>10,0";
    QTest::newRow("LT attributes are those in force when the path begins")
        << "PU0,0;PD10,0;LT4,2,1;PD20,0;" << QString(a0) + "0,0>10,0 10,0>20,0";
    QTest::newRow("LT pattern number that is not an integer reads 0") << "LT2.5,3;PD10,0;"
                                                                      << "[0 0 3 0] 0,0>10,0";
    QTest::newRow("LT fourth field is ignored") << "LT1,2,3,9;PD10,0;"
                                                << "[0 1 2 39] 0,0>10,0";
    QTest::newRow("dot inside X is dropped") << "PD100.5,7;" << QString(a0) + "0,0>1005,7";
    QTest::newRow("space inside Y does not end it") << "PD10,2 3;" << QString(a0) + "0,0>10,23";
    QTest::newRow("leading separators are skipped") << "PD ,10,20;" << QString(a0) + "0,0>10,20";
    QTest::newRow("space separates X and Y") << "PD10 20;" << QString(a0) + "0,0>10,20";
    QTest::newRow("negative coordinates") << "PD-5,-7;" << QString(a0) + "0,0>-5,-7";
    QTest::newRow("inner minus makes X read 0") << "PU5,5;PD1-2,3;" << QString(a0) + "5,5>0,3";
    QTest::newRow("X beyond 32 bits reads 0")
        << "PU5,5;PD99999999999,3;" << QString(a0) + "5,5>0,3";
    QTest::newRow("lone minus reads 0") << "PU5,5;PD-,3;" << QString(a0) + "5,5>0,3";
    QTest::newRow("lone X leaves no digits for the next pair")
        << "PU;PD100;PD20,30;" << QString(a0) + "0,0>20,30";
    QTest::newRow("lone X after a pair")
        << "PD10,10,100;PD20,30;" << QString(a0) + "0,0>10,10 10,10>20,30";
    QTest::newRow("relative moves are skipped") << "PR50,50;PD10,0;" << QString(a0) + "0,0>10,0";
    QTest::newRow("other commands are skipped")
        << "IN;VS10;WU0;PW0.35;PD10,0;PG;" << QString(a0) + "0,0>10,0";
    QTest::newRow("SP without digits is pen 0") << "SP3;SP;PD10,0;" << QString(a0) + "0,0>10,0";
    QTest::newRow("SP beyond 32 bits is pen 0")
        << "SP99999999999;PD10,0;" << QString(a0) + "0,0>10,0";
    QTest::newRow("line breaks are ignored") << "PU0,0;\r\nPD10,\n0;\n" << QString(a0) + "0,0>10,0";
    QTest::newRow("empty text") << ""
                                << "";
    QTest::newRow("only separators") << ";;;,,, ,;;"
                                     << "";
    QTest::newRow("only pen-up moves") << "PU10,10;PU20,20,30,30;"
                                       << "";
    QTest::newRow("unterminated last command draws its complete pairs")
        << "PD10,0,20" << QString(a0) + "0,0>10,0";
}

void ReaderTest::parse()
{
    QFETCH(QString, plt);
    QFETCH(QString, paths);
    PathProcessor pp;
    QCOMPARE(describe(pp.parsePlt(plt), true), paths);
    QCOMPARE(describe(pp.parsePlt(plt.toLatin1()), true), paths);
}

void ReaderTest::intFieldReadsLikeToInt_data()
{
    QTest::addColumn<QString>("text");
    for (const char *t :
         {"", "-", "0", "-0", "007", "42", "-42", "1-2", "--1", "-1-", "2147483647", "2147483648",
          "-2147483648", "-2147483649", "99999999999999999999999", "000000000000000000000000012"})
        QTest::newRow(*t ? t : "(empty)") << QString::fromLatin1(t);
}

void ReaderTest::intFieldReadsLikeToInt()
{
    QFETCH(QString, text);
    IntField f;
    for (const QChar c : text)
        f.add(c.toLatin1());
    QCOMPARE(f.isEmpty(), text.isEmpty());
    QCOMPARE(f.toInt(), text.toInt(nullptr, 10));
}

void ReaderTest::nonLatin1CharactersAreSkipped()
{
    // U+0130 is not a Latin-1 character; cut to its low byte it would be the digit 0.
    const QString text = QString::fromUtf8("PD1\u01302,3;");
    QCOMPARE(describe(PathProcessor().parsePlt(text)), QStringLiteral("0,0>12,3"));
}

void ReaderTest::readTextFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("plain") << QByteArray("IN;PD10,0;");
    QTest::newRow("CRLF lines") << QByteArray("IN;\r\nPD10,0;\r\n");
    QTest::newRow("empty file") << QByteArray();
}

void ReaderTest::readTextFile()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("export.plt");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    PathProcessor pp;
    const Result<QByteArray> bytes = PathProcessor::readFileBytes(path);
    QVERIFY(bytes.ok());
    QCOMPARE(*bytes, content);
    QCOMPARE(describe(pp.parsePlt(pp.readTextFile(path))), describe(pp.parsePlt(*bytes)));
    QCOMPARE(pp.readTextFile(path).remove('\r'), QString::fromLatin1(content).remove('\r'));
}

void ReaderTest::readFileBytesReportsMissingFile()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("absent.plt");
    const Result<QByteArray> bytes = PathProcessor::readFileBytes(missing);
    QVERIFY(!bytes.ok());
    QVERIFY(bytes.error().contains(missing));
    QVERIFY(PathProcessor().readTextFile(missing).isEmpty());
    QVERIFY(PathProcessor().readTextFile(QString()).isEmpty());
    QVERIFY(!PathProcessor::readFileBytes(QString()).ok());
}

QTEST_MAIN(ReaderTest)
#include "tst_reader.moc"
