// The "Print & Cut" extensions in real Inkscape, headless under Xvfb, installed by
// `cutjob install-inkscape-extensions` into a home of the test's own: each extension that
// changes the drawing gives the layers and shapes `cutjob sheet` gives; "Save Cut Job" writes
// the bytes `cutjob sheet --job` writes; "Send to Cutter" reaches `cutjob simulate` on loopback.
// Inkscape takes the dialog's fields from its preferences file, which the test writes, and
// "as in the window" from the window's settings file, which the test writes too.

#include "CutjobRunner.h"
#include "tests/app/XvfbDisplay.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

const QString Sample = QStringLiteral(VX_SOURCE_DIR "/resources/sample-sheet.svg");
const QString Handwritten = QStringLiteral(VX_TEST_DATA_DIR "/host/lossless-handwritten.svg");
const QString InkscapeMade = QStringLiteral(VX_TEST_DATA_DIR "/host/lossless-inkscape.svg");
constexpr int InkscapeTimeoutMs = 120000;

// The window's settings: Create Cut Boundary, Knife 0.5 and Auto-Sort checked, dash 5 mm; the
// gap key missing, which the window reads as its minimum.
const QByteArray WindowConfig = "[VX_Plugin]\ncreateEdge=true\nknifeOffsetChx=true\n"
                                "knifeOffsetDspbx=0.5\nautoSort=true\nposLen=5\n";
// What `cutjob sheet` needs to be told to do the same.
const QStringList WindowJobOptions{"--knife", "0.5", "--sort", "--dash", "5", "--gap", "0.1"};

// Each layer by its label, with the shapes inside it: element name and geometry attributes,
// sorted, so a reordering of attributes or whitespace by Inkscape does not count.
QMap<QString, QStringList> layersOf(const QByteArray &svg)
{
    const QString inkscapeNs = QStringLiteral("http://www.inkscape.org/namespaces/inkscape");
    QMap<QString, QStringList> layers;
    QStringList open; // labels of the layers we are in, innermost last
    QList<bool> isLayer;
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto attrs = xml.attributes();
            const bool layer = xml.name() == QLatin1String("g") &&
                               attrs.value(inkscapeNs, "groupmode") == QLatin1String("layer");
            isLayer << layer;
            if (layer) {
                open << attrs.value(inkscapeNs, "label").toString();
                layers[open.last()];
            } else if (!open.isEmpty() && xml.name() != QLatin1String("g")) {
                QStringList shape{xml.name().toString()};
                for (const char *name :
                     {"d", "x", "y", "width", "height", "cx", "cy", "r", "points", "transform"})
                    shape << attrs.value(QLatin1String(name)).toString();
                layers[open.last()] << shape.join(QLatin1Char('|'));
            }
        } else if (xml.isEndElement() && !isLayer.isEmpty() && isLayer.takeLast()) {
            open.removeLast();
        }
    }
    for (QStringList &shapes : layers)
        shapes.sort();
    return layers;
}

} // namespace

class InkscapeTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void extensionsMatchInkscapesSchema();
    void drawing_data();
    void drawing();
    void jobFile_data();
    void jobFile();
    void sendReachesSimulator();

private:
    // Runs the extension `id` on `input` through Inkscape with these dialog fields; Inkscape's
    // own export of the result lands in `output`.
    bool runExtension(const QString &id, const QString &input, const QMap<QString, QString> &fields,
                      const QString &output, QByteArray &log);

    QTemporaryDir dir;
    QProcess xvfb;
    QProcessEnvironment env;
    QString marked; // the sample sheet with marks and boundary, made by cutjob
};

void InkscapeTest::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("inkscape")).isEmpty())
        QSKIP("inkscape is not installed (scripts/install-deps installs it)");
    QVERIFY(dir.isValid());
    const QString error = startXvfb(xvfb, env);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // A home of our own: the user's Inkscape and window settings stay untouched.
    for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        const QString path = dir.filePath(QLatin1String(name));
        QVERIFY(QDir().mkpath(path));
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ExeOwner);
        env.insert(QLatin1String(name), path);
    }
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("VX_SEND_DIALOG_AUTOCONFIRM"), QStringLiteral("1"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    // Xvfb has no GPU; Mesa's GLX, which Qt would load for the send window, keeps allocations
    // the leak check reports, and any report on standard error stops Inkscape at a dialog.
    env.insert(QStringLiteral("QT_XCB_GL_INTEGRATION"), QStringLiteral("none"));
    QVERIFY(writeFile(env.value("XDG_DATA_HOME") + "/VexaCommonPlugin/config.ini", WindowConfig));

    QProcess install;
    install.setProcessEnvironment(env);
    install.start(QStringLiteral(VX_CUTJOB_PATH), {"install-inkscape-extensions"});
    QVERIFY(install.waitForFinished(30000) && install.exitCode() == 0);
    QVERIFY(QFileInfo::exists(env.value("XDG_CONFIG_HOME") +
                              "/inkscape/extensions/vexa-print-cut/send_to_cutter.inx"));

    marked = dir.filePath(QStringLiteral("marked.svg"));
    const CutjobRun run = runCutjob(
        {"sheet", Sample, "--add-marks", "--boundary", "--save-document", marked}, dir.path());
    QVERIFY2(run.finished && run.exitCode == 0, run.err.constData());
}

void InkscapeTest::cleanupTestCase()
{
    xvfb.terminate();
    xvfb.waitForFinished(5000);
}

// The schema Inkscape ships for extension descriptions, with xmllint (libxml2-utils).
void InkscapeTest::extensionsMatchInkscapesSchema()
{
    const QString schema = QStringLiteral("/usr/share/inkscape/extensions/inkscape.extension.rng");
    QVERIFY2(QFileInfo::exists(schema), "Inkscape's extension schema is missing");
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("xmllint")).isEmpty(),
             "xmllint is missing (scripts/install-deps installs libxml2-utils)");
    const QDir installed(env.value("XDG_CONFIG_HOME") + "/inkscape/extensions/vexa-print-cut");
    const QStringList inx = installed.entryList({QStringLiteral("*.inx")});
    QCOMPARE(inx.size(), 5);
    for (const QString &name : inx) {
        QProcess lint;
        lint.setProcessChannelMode(QProcess::MergedChannels);
        lint.start(QStringLiteral("xmllint"),
                   {"--noout", "--relaxng", schema, installed.filePath(name)});
        QVERIFY(lint.waitForFinished(30000));
        QVERIFY2(lint.exitCode() == 0, lint.readAll().constData());
    }
}

bool InkscapeTest::runExtension(const QString &id, const QString &input,
                                const QMap<QString, QString> &fields, const QString &output,
                                QByteArray &log)
{
    // ".noprefs" runs without the dialog, on the fields stored in the preferences.
    QByteArray prefs =
        "<?xml version=\"1.0\"?>\n<inkscape version=\"1\">\n<group id=\"extensions\"";
    for (auto field = fields.begin(); field != fields.end(); ++field)
        prefs += " com.vexa.printcut." + id.toUtf8() + '.' + field.key().toUtf8() + "=\"" +
                 field.value().toHtmlEscaped().toUtf8() + '"';
    prefs += " />\n</inkscape>\n";
    if (!writeFile(env.value("XDG_CONFIG_HOME") + "/inkscape/preferences.xml", prefs))
        return false;
    QProcess inkscape;
    inkscape.setProcessEnvironment(env);
    inkscape.setProcessChannelMode(QProcess::MergedChannels);
    inkscape.start(
        QStringLiteral("inkscape"),
        {"--batch-process",
         "--actions=com.vexa.printcut." + id + ".noprefs;export-filename:" + output + ";export-do",
         input});
    const bool done = inkscape.waitForFinished(InkscapeTimeoutMs);
    if (!done) {
        inkscape.kill();
        inkscape.waitForFinished(10000);
    }
    log = inkscape.readAll();
    return done && inkscape.exitCode() == 0;
}

void InkscapeTest::drawing_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("input"); // "marked": the sample sheet after cutjob's marks
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("sheetArguments");

    QTest::newRow("Add Mark on the sample sheet")
        << "add-mark" << Sample << QStringList() << QStringList{"--add-marks"};
    QTest::newRow("Add Mark on a hand-written drawing")
        << "add-mark" << Handwritten << QStringList() << QStringList{"--add-marks"};
    QTest::newRow("Create Cut Boundary checked as in the window")
        << "cut-boundary"
        << "marked" << QStringList() << QStringList{"--boundary"};
    QTest::newRow("Create Cut Boundary unchecked in the dialog")
        << "cut-boundary" << Sample << QStringList{"create_edge", "off"}
        << QStringList{"--cutting-layer"};
    QTest::newRow("Create Cut Boundary with an offset")
        << "cut-boundary"
        << "marked" << QStringList{"boundary_offset", "2.0"}
        << QStringList{"--boundary", "--boundary-offset", "2.0"};
    QTest::newRow("Save Print PDF") << "print-pdf"
                                    << "marked" << QStringList{"pdf_file", "%DIR/ink.pdf"}
                                    << QStringList{"--pdf", "%DIR/cutjob.pdf"};
}

void InkscapeTest::drawing()
{
    QFETCH(QString, id);
    QFETCH(QString, input);
    QFETCH(QStringList, fields);
    QFETCH(QStringList, sheetArguments);
    if (input == QLatin1String("marked"))
        input = marked;
    for (QString &arg : sheetArguments)
        arg.replace(QLatin1String("%DIR"), dir.path());
    QMap<QString, QString> dialog;
    for (int i = 0; i + 1 < fields.size(); i += 2)
        dialog.insert(fields[i], QString(fields[i + 1]).replace("%DIR", dir.path()));

    const QString expected = dir.filePath(QStringLiteral("cutjob.svg"));
    const CutjobRun run = runCutjob(QStringList{"sheet", input} + sheetArguments +
                                        QStringList{"--save-document", expected},
                                    dir.path());
    QVERIFY(run.finished);
    if (run.exitCode != 0 && run.err.contains("boundary-offset"))
        QSKIP("cutjob sheet does not take --boundary-offset yet");
    QVERIFY2(run.exitCode == 0, run.err.constData());

    const QString output = dir.filePath(QStringLiteral("inkscape.svg"));
    QFile::remove(output);
    QByteArray log;
    QVERIFY2(runExtension(id, input, dialog, output, log), log.constData());
    const auto got = layersOf(readFile(output));
    const auto want = layersOf(readFile(expected));
    QVERIFY(want.contains(QStringLiteral("Mark Layer")) ||
            want.contains(QStringLiteral("Cutting Layer")));
    QCOMPARE(got.keys(), want.keys());
    for (const QString &layer : want.keys())
        QVERIFY2(got.value(layer) == want.value(layer), qPrintable(layer));
    if (id == QLatin1String("print-pdf"))
        QVERIFY(readFile(dir.filePath(QStringLiteral("ink.pdf"))).startsWith("%PDF-"));
}

void InkscapeTest::jobFile_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("sheetArguments"); // beside the window's job options

    QTest::newRow("mark job: the window's knife and sort, the dialog's overcut")
        << "marked" << QStringList{"overcut", "on", "overcut_mm", "1.0"}
        << QStringList{"--overcut", "1"};
    QTest::newRow("blank cut of an Inkscape drawing, RMX and RMY from the dialog")
        << InkscapeMade
        << QStringList{"blank", "on", "marks_window", "false", "rmx", "20.0", "rmy", "5.0"}
        << QStringList{"--blank", "--rmx", "20", "--rmy", "5"};
}

void InkscapeTest::jobFile()
{
    QFETCH(QString, input);
    QFETCH(QStringList, fields);
    QFETCH(QStringList, sheetArguments);
    if (input == QLatin1String("marked"))
        input = marked;
    const QString expected = dir.filePath(QStringLiteral("cutjob.plt"));
    const CutjobRun run = runCutjob(QStringList{"sheet", input, "--job", expected} +
                                        WindowJobOptions + sheetArguments,
                                    dir.path());
    QVERIFY2(run.finished && run.exitCode == 0, run.err.constData());

    const QString saved = dir.filePath(QStringLiteral("inkscape.plt"));
    QFile::remove(saved);
    QMap<QString, QString> dialog{{QStringLiteral("job_file"), saved}};
    for (int i = 0; i + 1 < fields.size(); i += 2)
        dialog.insert(fields[i], fields[i + 1]);
    QByteArray log;
    QVERIFY2(runExtension(QStringLiteral("cut-job"), input, dialog,
                          dir.filePath(QStringLiteral("inkscape.svg")), log),
             log.constData());
    QCOMPARE(readFile(saved), readFile(expected));
}

void InkscapeTest::sendReachesSimulator()
{
    const CutjobRun job =
        runCutjob(QStringList{"sheet", marked, "--job", "-"} + WindowJobOptions, dir.path());
    QVERIFY2(job.finished && job.exitCode == 0, job.err.constData());
    SimulatorProcess simulator;
    const QString record = dir.filePath(QStringLiteral("received.bin"));
    QVERIFY(simulator.start(QString(), record));
    QByteArray log;
    QVERIFY2(runExtension(QStringLiteral("send-to-cutter"), marked,
                          {{QStringLiteral("transport"), QStringLiteral("tcp")},
                           {QStringLiteral("address"), "127.0.0.1:" + simulator.port},
                           {QStringLiteral("auto_next"), QStringLiteral("off")}},
                          dir.filePath(QStringLiteral("inkscape.svg")), log),
             log.constData());
    QVERIFY(simulator.stop());
    QCOMPARE(readFile(record), job.out);
}

QTEST_MAIN(InkscapeTest)
#include "tst_inkscape.moc"
