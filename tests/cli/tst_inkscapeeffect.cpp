// What Inkscape's extensions run, without Inkscape: `cutjob inkscape-effect` resolving "as in
// the window" from the window's settings file, failing with the window's own text and nothing
// on standard output (so Inkscape keeps the drawing), the dialogs' ranges agreeing with the
// window's boxes, and `cutjob install-inkscape-extensions` taking away only what it put there.

#include "CutjobRunner.h"
#include "app/PluginMW.h"
#include "settings/WindowSettings.h"

#include <QDoubleSpinBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

const QString Sample = QStringLiteral(VX_SOURCE_DIR "/resources/sample-sheet.svg");
const QString Extensions = QStringLiteral(VX_INKSCAPE_DIR "/");

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// cutjob with a home of its own (settings file, extension folder).
Run runIn(const QString &home, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VX_CUTJOB_PATH), arguments);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished(10000);
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

} // namespace

class InkscapeEffectTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void resolves_data();
    void resolves();
    void fails_data();
    void fails();
    void dialogRangesAreTheWindows();
    void bleedFieldReachesTheDrawing();
    void uninstallTakesOnlyOurs();

private:
    QTemporaryDir home;
    QString marked;
};

void InkscapeEffectTest::initTestCase()
{
    QVERIFY(home.isValid());
    marked = home.filePath(QStringLiteral("marked.svg"));
    const CutjobRun run = runCutjob(
        {"sheet", Sample, "--add-marks", "--boundary", "--save-document", marked}, home.path());
    QVERIFY2(run.finished && run.exitCode == 0, run.err.constData());
}

void InkscapeEffectTest::resolves_data()
{
    QTest::addColumn<QByteArray>("config"); // the window's settings file; empty: none
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("sheetArguments");

    QTest::newRow("no settings file: the window's defaults")
        << QByteArray() << QStringList() << QStringList();
    QTest::newRow("settings file: checked boxes and their values")
        << QByteArray("[VX_Plugin]\ndirectCut=true\nautoSort=true\ncloseOffsetChx=true\n"
                      "closeOffsetDspbx=2.5\nposLen=20\nnegLen=0.5\n")
        << QStringList()
        << QStringList{"--blank", "--sort", "--overcut", "2.5", "--dash", "20", "--gap", "0.5"};
    QTest::newRow("settings file: values beyond the boxes fitted as the window fits them")
        << QByteArray("[VX_Plugin]\nknifeOffsetChx=true\nknifeOffsetDspbx=9\nposLen=0.04\n")
        << QStringList() << QStringList{"--knife", "1.5", "--dash", "1", "--gap", "0.1"};
    QTest::newRow("the dialog overrides the window")
        << QByteArray("[VX_Plugin]\nautoSort=true\nknifeOffsetChx=true\nknifeOffsetDspbx=1\n")
        << QStringList{"--sort=off",          "--knife=on",  "--knife_mm=0.4",
                       "--dash_window=false", "--dash_mm=3", "--gap_mm=0.2"}
        << QStringList{"--knife", "0.4", "--dash", "3", "--gap", "0.2"};
}

// "Save Cut Job" gives the bytes `cutjob sheet --job` gives with the settings spelt out.
void InkscapeEffectTest::resolves()
{
    QFETCH(QByteArray, config);
    QFETCH(QStringList, fields);
    QFETCH(QStringList, sheetArguments);
    const QString configPath = home.filePath(QStringLiteral("data/VexaCommonPlugin/config.ini"));
    QFile::remove(configPath);
    if (!config.isEmpty())
        QVERIFY(writeFile(configPath, config));
    const QString effectJob = home.filePath(QStringLiteral("effect.plt"));
    const Run effect = runIn(
        home.path(), QStringList{"inkscape-effect", "--action=job", "--job_file=" + effectJob} +
                         fields + QStringList{"--id=rect1", marked});
    QVERIFY2(effect.exitCode == 0, effect.err.constData());
    QVERIFY(effect.out.startsWith("<?xml") || effect.out.startsWith("<svg"));
    const CutjobRun sheet =
        runCutjob(QStringList{"sheet", marked, "--job", "-"} + sheetArguments, home.path());
    QVERIFY2(sheet.finished && sheet.exitCode == 0, sheet.err.constData());
    QCOMPARE(readFile(effectJob), sheet.out);
}

void InkscapeEffectTest::fails_data()
{
    QTest::addColumn<QStringList>("arguments"); // %MARKED, %SAMPLE, %DIR
    QTest::addColumn<QByteArray>("message");    // standard error, whole

    QTest::newRow("a mark job without marks: the window's warning alone")
        << QStringList{"--action=job", "--job_file=%DIR/no.plt", "%SAMPLE"}
        << QByteArray("未找到定位标记, 请先添加标记!\n");
    QTest::newRow("no USB cutter attached: the window's warning")
        << QStringList{"--action=send", "--transport=usb", "%MARKED"}
        << QByteArray("未连接切割机!\n");
    QTest::newRow("a malformed address: the window's warning first")
        << QStringList{"--action=send", "--transport=tcp", "--address=192.168.0.", "%MARKED"}
        << QByteArray("IP地址格式错误! (\"192.168.0.\" is no dotted IPv4 address such as "
                      "127.0.0.1)\n");
    QTest::newRow("a value beyond the window's range before a send")
        << QStringList{"--action=send", "--transport=tcp",     "--address=127.0.0.1",
                       "--gap_mm=0",    "--dash_window=false", "%MARKED"}
        << QByteArray("gap_mm must be 0.1 to 1 mm, not \"0\"\n");
    QTest::newRow("no PDF file chosen")
        << QStringList{"--action=pdf", "%MARKED"}
        << QByteArray("choose the PDF file in the extension's dialog first\n");
    QTest::newRow("a value beyond the window's range")
        << QStringList{"--action=job", "--job_file=%DIR/no.plt", "--knife=on", "--knife_mm=7",
                       "%MARKED"}
        << QByteArray("knife_mm must be 0.1 to 1.5 mm, not \"7\"\n");
    QTest::newRow("a drawing that cannot be read")
        << QStringList{"--action=add-marks", "%DIR/missing.svg"} << QByteArray("cannot open");
}

// A failed command prints nothing on standard output, so Inkscape keeps the drawing as it was.
void InkscapeEffectTest::fails()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    for (QString &arg : arguments)
        arg.replace(QLatin1String("%MARKED"), marked)
            .replace(QLatin1String("%SAMPLE"), Sample)
            .replace(QLatin1String("%DIR"), home.path());
    QFile::remove(home.filePath(QStringLiteral("data/VexaCommonPlugin/config.ini")));
    const Run run = runIn(home.path(), QStringList{"inkscape-effect"} + arguments);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
    if (message.endsWith('\n'))
        QCOMPARE(run.err, message);
    else
        QVERIFY2(run.err.startsWith(message), run.err.constData());
    QVERIFY(!QFile::exists(home.filePath(QStringLiteral("no.plt"))));
}

// Every millimetre field of the dialogs has the range and default of the window's box.
void InkscapeEffectTest::dialogRangesAreTheWindows()
{
    QTemporaryDir data;
    PluginMW window(nullptr, DataPaths::inFolder(data.path()));
    const QMap<QString, QPair<QString, NumberSetting>> fields{
        {"rmx", {"realM2X", Setting::RealM2X}},
        {"rmy", {"realM2Y", Setting::RealM2Y}},
        {"dash_mm", {"posLen", Setting::PosLen}},
        {"gap_mm", {"negLen", Setting::NegLen}},
        {"knife_mm", {"knifeOffsetDspbx", Setting::KnifeOffset}},
        {"overcut_mm", {"closeOffsetDspbx", Setting::CloseOffset}}};
    for (const auto &field : fields) {
        const auto *box = window.findChild<QDoubleSpinBox *>(field.first);
        QVERIFY2(box, qPrintable(field.first));
        QCOMPARE(box->minimum(), field.second.min);
        QCOMPARE(box->maximum(), field.second.max);
        QCOMPARE(box->singleStep(), field.second.step);
        QCOMPARE(box->value(), field.second.value);
    }
    int seen = 0;
    for (const char *inx : {"cut_job.inx", "send_to_cutter.inx"}) {
        QXmlStreamReader xml(readFile(Extensions + QLatin1String(inx)));
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement ||
                xml.name() != QLatin1String("param"))
                continue;
            const auto attrs = xml.attributes();
            const QString name = attrs.value("name").toString();
            if (!fields.contains(name))
                continue;
            const NumberSetting range = fields.value(name).second;
            QCOMPARE(attrs.value("min").toDouble(), range.min);
            QCOMPARE(attrs.value("max").toDouble(), range.max);
            QCOMPARE(xml.readElementText().toDouble(), range.value);
            ++seen;
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    }
    QCOMPARE(seen, 2 * fields.size());
}

void InkscapeEffectTest::uninstallTakesOnlyOurs()
{
    const QString folder =
        home.filePath(QStringLiteral("config/inkscape/extensions/vexa-print-cut"));
    const Run install = runIn(home.path(), {"install-inkscape-extensions"});
    QVERIFY2(install.exitCode == 0, install.err.constData());
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 6);
    QVERIFY(readFile(folder + "/print_and_cut.py").contains("CUTJOB = \"" VX_CUTJOB_PATH "\""));
    QCOMPARE(readFile(folder + "/add_mark.inx"), readFile(Extensions + "add_mark.inx"));

    QVERIFY(writeFile(folder + "/mine.inx", "kept"));
    QCOMPARE(runIn(home.path(), {"install-inkscape-extensions", "--uninstall"}).exitCode, 0);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"mine.inx"});
    QVERIFY(QFile::remove(folder + "/mine.inx"));
    QCOMPARE(runIn(home.path(), {"install-inkscape-extensions", "--uninstall"}).exitCode, 0);
    QVERIFY(!QFileInfo::exists(folder));
}

// "Create Cut Boundary" with a "Print bleed (mm)" hands Inkscape the drawing with its fringes.
void InkscapeEffectTest::bleedFieldReachesTheDrawing()
{
    const Run effect = runIn(home.path(), {"inkscape-effect", "--action=boundary",
                                           "--create_edge=on", "--bleed=1", "--id=rect1", marked});
    QVERIFY2(effect.exitCode == 0, effect.err.constData());
    QVERIFY(effect.out.contains("inkscape:label=\"Bleed Layer\""));
}

QTEST_MAIN(InkscapeEffectTest)
#include "tst_inkscapeeffect.moc"
