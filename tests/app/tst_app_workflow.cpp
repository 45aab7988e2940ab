// A new user's first run, on a real X server (Xvfb) with xdotool: the program opens the sample
// sheet, the user clicks Add Mark, ticks "Create Cut Boundary" and "Save PDF instead of Print",
// clicks Create Boundary, Setup Print (PDF) and Save As *.plt, tries to close with the sheet
// unsaved (and cancels), saves the sheet in the drawing host's window and closes. The files it
// leaves are then checked: the PDF, the cut job and the marked sheet.
#include "XvfbDisplay.h"
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <QtTest>

namespace {

const QString SampleSheet = QStringLiteral(VX_SOURCE_DIR "/resources/sample-sheet.svg");

// Where the companion opens on a 1920 x 1080 screen, and its controls within it.
const QPoint Companion(1549, 30);
const QPoint AddMark(30, 60), CreateBoundary(80, 60), SetupPrint(130, 60), SavePlt(180, 60);
const QPoint Settings(230, 60), CloseBar(326, 5);
// Check boxes of the settings panel (panel at 10, 90; each box 8 px into its row).
const QPoint CutBoundaryBox(18, 510), PdfBox(18, 540);

QString runTool(const QString &program, const QStringList &args, const QProcessEnvironment &env)
{
    QProcess tool;
    tool.setProcessEnvironment(env);
    tool.start(program, args);
    if (!tool.waitForFinished(10000)) {
        tool.kill();
        tool.waitForFinished(1000);
        return QString();
    }
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

// The paths in each layer of an SVG sheet, by layer label.
QMap<QString, int> pathsPerLayer(const QString &file)
{
    QMap<QString, int> counts;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return counts;
    QXmlStreamReader xml(&in);
    const QString inkscape = "http://www.inkscape.org/namespaces/inkscape";
    QString layer;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.attributes().value(inkscape, "groupmode") == QLatin1String("layer"))
            counts[layer = xml.attributes().value(inkscape, "label").toString()] += 0;
        else if (xml.name() == QLatin1String("path"))
            ++counts[layer];
    }
    return counts;
}

} // namespace

class TestAppWorkflow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void newUserMarksCutsPrintsAndSavesTheSampleSheet();

private:
    QString xdotool(const QStringList &args) { return runTool("xdotool", args, env); }
    QString visibleWindow(const QString &name);
    void click(QPoint at);
    void answerFileDialog(const QString &title, const QString &path);

    QProcess xvfb;
    QProcessEnvironment env;
    QTemporaryDir dir;
    QProcess app;
};

void TestAppWorkflow::initTestCase()
{
    QVERIFY(dir.isValid());
    const QString failure = startXvfb(xvfb, env);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

void TestAppWorkflow::cleanupTestCase()
{
    if (app.state() != QProcess::NotRunning) {
        app.kill();
        app.waitForFinished(5000);
    }
    xvfb.terminate();
    if (!xvfb.waitForFinished(5000))
        xvfb.kill();
}

QString TestAppWorkflow::visibleWindow(const QString &name)
{
    return xdotool({"search", "--onlyvisible", "--name", name}).section('\n', 0, 0);
}

void TestAppWorkflow::click(QPoint at)
{
    const QPoint screen = Companion + at;
    xdotool({"mousemove", QString::number(screen.x()), QString::number(screen.y()), "click", "1"});
}

// Types the file name into the program's own file dialog, as a user does, and presses Return.
void TestAppWorkflow::answerFileDialog(const QString &title, const QString &path)
{
    QString dialog;
    QTRY_VERIFY_WITH_TIMEOUT(!(dialog = visibleWindow("^" + title + "$")).isEmpty(), 20000);
    xdotool({"windowfocus", "--sync", dialog});
    xdotool({"type", "--delay", "5", path});
    xdotool({"key", "Return"});
    // The name field's completion list, when the folder's listing arrives while the path is
    // typed, takes the first Return; the dialog then needs another.
    for (int again = 0;
         again < 3 &&
         !QTest::qWaitFor([&] { return visibleWindow("^" + title + "$").isEmpty(); }, 3000);
         ++again) {
        xdotool({"windowfocus", "--sync", dialog});
        xdotool({"key", "Return"});
    }
    QTRY_VERIFY_WITH_TIMEOUT(visibleWindow("^" + title + "$").isEmpty(), 10000);
}

void TestAppWorkflow::newUserMarksCutsPrintsAndSavesTheSampleSheet()
{
    const QString sheet = dir.filePath("sample-sheet.svg");
    const QString pdf = dir.filePath("sheet.pdf");
    const QString plt = dir.filePath("sheet.plt");
    QVERIFY(QFile::copy(SampleSheet, sheet));
    QProcessEnvironment appEnv = env;
    appEnv.insert("XDG_DATA_HOME", dir.filePath("data"));
    app.setProcessEnvironment(appEnv);
    app.start(VX_APP_PATH, {"--document", sheet});
    QVERIFY(app.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(!visibleWindow("^sample-sheet.svg - Drawing$").isEmpty() ||
                                 app.state() == QProcess::NotRunning,
                             30000);
    QVERIFY2(app.state() == QProcess::Running, app.readAllStandardError().constData());
    // The companion's own window (it has no plain X name to search by): the other one shown.
    const QStringList pidArgs{"search", "--onlyvisible", "--pid", QString::number(app.processId())};
    QTRY_COMPARE_WITH_TIMEOUT(xdotool(pidArgs).split('\n').size(), 2, 10000);
    QString companion;
    for (const QString &id : xdotool(pidArgs).split('\n'))
        if (!xdotool({"getwindowname", id}).endsWith(" - Drawing"))
            companion = id;
    const auto companionHeight = [&] {
        const QString shell = xdotool({"getwindowgeometry", "--shell", companion});
        return shell.section("HEIGHT=", 1).section('\n', 0, 0).toInt();
    };

    click(AddMark);
    // The host's window shows the change at once: its title gains the unsaved mark.
    QTRY_VERIFY_WITH_TIMEOUT(!visibleWindow("^sample-sheet.svg\\* - Drawing$").isEmpty(), 20000);
    click(Settings);
    // The check boxes can be clicked once the settings panel has opened.
    QTRY_COMPARE_WITH_TIMEOUT(companionHeight(), 621, 10000);
    click(CutBoundaryBox);
    click(PdfBox);
    click(CreateBoundary);
    click(SetupPrint);
    answerFileDialog("SavePDF", pdf);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(pdf).size() > 0, 20000);
    click(SavePlt);
    answerFileDialog("SavePlt", plt);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(plt).size() > 0, 20000);

    // Closing with the marked sheet unsaved asks first; Cancel keeps the program running.
    click(CloseBar);
    QString question;
    QTRY_VERIFY_WITH_TIMEOUT(!(question = visibleWindow("^Drawing$")).isEmpty(), 20000);
    xdotool({"key", "--window", question, "Escape"});
    QTRY_VERIFY_WITH_TIMEOUT(visibleWindow("^Drawing$").isEmpty(), 10000);
    QVERIFY(app.state() == QProcess::Running);

    const QString host = visibleWindow("^sample-sheet.svg\\* - Drawing$");
    QVERIFY(!host.isEmpty());
    xdotool({"windowfocus", "--sync", host});
    xdotool({"key", "ctrl+s"});
    QTRY_VERIFY_WITH_TIMEOUT(!visibleWindow("^sample-sheet.svg - Drawing$").isEmpty(), 20000);
    click(CloseBar);
    QVERIFY2(app.waitForFinished(20000), "the close bar did not end the program");
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 0);

    // The marked sheet: marks and their layers added, one cut boundary per label, the artwork
    // and the fold lines as they were.
    const QMap<QString, int> paths = pathsPerLayer(sheet);
    QCOMPARE(paths.value("Artwork"), pathsPerLayer(SampleSheet).value("Artwork"));
    QCOMPARE(paths.value("Creasing Layer"), 4);
    QCOMPARE(paths.value("Cutting Layer"), 12);
    QCOMPARE(paths.value("Mark Layer"), 4);
    QVERIFY(paths.contains("Assist Layer") && paths.contains("Extra Layer"));

    // The job: the four fold lines as pen 1, the twelve boundaries as pen 2.
    QFile job(plt);
    QVERIFY(job.open(QIODevice::ReadOnly));
    const QByteArray text = job.readAll();
    QVERIFY(text.startsWith("CMD:"));
    const int creasing = text.indexOf("SP1;"), cutting = text.indexOf("SP2;");
    QVERIFY(creasing > 0 && cutting > creasing);
    QCOMPARE(text.mid(creasing, cutting - creasing).count("PD"), 4);
    QCOMPARE(text.mid(cutting).count("PD"), 12);

    // The PDF: one A4 page with the marks and the artwork.
    const QString info = runTool("pdfinfo", {pdf}, env);
    QVERIFY2(info.contains("595.276 x 841.89 pts"), qPrintable(info));
    runTool("pdftoppm", {"-r", "30", "-gray", "-png", "-singlefile", pdf, dir.filePath("page")},
            env);
    const QImage page(dir.filePath("page.png"));
    QVERIFY(!page.isNull());
    const auto grey = [&](double xMm, double yMm) {
        return qGray(page.pixel(int(xMm / 210 * page.width()), int(yMm / 297 * page.height())));
    };
    int darkInCorner = 0; // the top-left mark: a cross within 8.5..17.5 x 22.5..31.5 mm
    for (double x = 8.5; x <= 17.5; x += 0.5)
        for (double y = 22.5; y <= 31.5; y += 0.5)
            darkInCorner += grey(x, y) < 100;
    QVERIFY(darkInCorner > 0);
    QVERIFY(grey(47, 59) < 250);  // the first label's card
    QCOMPARE(grey(105, 15), 255); // above the labels: white paper
}

QTEST_GUILESS_MAIN(TestAppWorkflow)
#include "tst_app_workflow.moc"
