// Files in and out as a user meets them: whole or absent on a full disk, odd inputs refused at
// once, a large letter traced, pictures kept by a sheet saved elsewhere, short notes.

#include "CutjobRunner.h"
#include "app/PluginMWForm.h"
#include "app/SettingsStore.h"
#include "common/WholeFileWriter.h"
#include "host/CdrConnection.h"
#include "host/InProcessHost.h"
#include "host/builtin/BuiltinHost.h"
#include "host/builtin/HostSettings.h"

#include <QDir>
#include <QImage>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString SampleSheet = QStringLiteral(VX_SOURCE_DIR "/resources/sample-sheet.svg");
const QString Pictures = QStringLiteral(VX_TEST_DATA_DIR "/host/stickers/");

// Run as "tst_filesinout --write WRITER FILE" on the small disk: writes FILE as the window's
// settings, the host's settings or the print to file do, and says why it failed.
int writeAsChild(const QString &writer, const QString &path)
{
    ignoreFileSizeSignal();
    Result<> written;
    if (writer == "window-settings") {
        QMainWindow window;
        PluginMWForm form;
        form.setupForm(&window);
        written = saveSettings(form, path);
    } else if (writer == "host-settings") {
        HostSettings::setFilePath(path);
        written = HostSettings::setCutMarginMm(1.5);
    } else {
        BuiltinHost &host = BuiltinHost::instance();
        (void)host.openDocument(SampleSheet); // or the print fails
        const InProcessHost::ScopedChoices printTo({{}, {}, path});
        host.setPrintDialogAnswer([] { return true; });
        written = CdrConnection(QStringLiteral("CorelDraw.Application.14")).printDocument();
    }
    if (!written)
        std::fprintf(stderr, "%s\n", qPrintable(written.error()));
    return written ? 0 : 1;
}

// Runs cutjob in `folder` on a small disk/ holding stage/'s files: "ulimit" (a file-size limit
// of 4 KB) or "tmpfs" (a full tmpfs in a mount namespace of its own); disk/old and the list of
// disk/'s files are copied to after/ when cutjob ends. `arguments` may start with another program.
CutjobRun onSmallDisk(const QString &folder, const QString &limit, QStringList arguments)
{
    if (arguments.first() != "sh" && !arguments.first().startsWith('/'))
        arguments.prepend(QStringLiteral(VX_CUTJOB_PATH));
    const QString run =
        (limit == "ulimit"
             ? QStringLiteral("cp stage/* disk/; ulimit -f 4; ")
             : QStringLiteral("mount -t tmpfs -o size=256k tmpfs disk && cp stage/* "
                              "disk/ && { cat /dev/zero >disk/fill; } 2>/dev/null; ")) +
        QStringLiteral(
            "\"$@\"; rc=$?; cp disk/old after/; rm -f disk/fill; ls -A disk >after/list; "
            "exit $rc");
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(limit == "ulimit" ? "env" : "unshare",
                  QStringList{limit == "ulimit" ? "--" : "-rm", "sh", "-c", run, "cutjob"} +
                      arguments);
    CutjobRun out;
    out.finished = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    out.exitCode = process.exitCode();
    out.err = process.readAllStandardError();
    return out;
}

QByteArray svgSheet(const QByteArray &content)
{
    return "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
           "xmlns:inkscape='http://www.inkscape.org/namespaces/inkscape' width='420mm' "
           "height='420mm' viewBox='0 0 420 420'><g inkscape:groupmode='layer' "
           "inkscape:label='Artwork'>" +
           content + "</g></svg>";
}

} // namespace

class FilesInOutTest : public QObject
{
    Q_OBJECT

private slots:
    void fullDiskKeepsOldFile_data();
    void fullDiskKeepsOldFile();
    void oddInputRefusedAtOnce_data();
    void oddInputRefusedAtOnce();
    void bigLetterTracedAndPrinted();
    void savedElsewhereKeepsPictures();
    void manyElementsFewNotes_data();
    void manyElementsFewNotes();
};

void FilesInOutTest::fullDiskKeepsOldFile_data()
{
    QTest::addColumn<QString>("limit");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");
    const QStringList sheet{"sheet", SampleSheet, "--add-marks", "--boundary"};
    const QStringList marked = sheet + QStringList{"--save-document", "disk/old"};
    QTest::newRow("sheet, size limit") << "ulimit" << marked << "File too large";
    QTest::newRow("sheet, full disk") << "tmpfs" << marked << "No space left on device";
    QTest::newRow("PDF, size limit")
        << "ulimit" << sheet + QStringList{"--pdf", "disk/old"} << "File too large";
    QTest::newRow("PDF, full disk")
        << "tmpfs" << sheet + QStringList{"--pdf", "disk/old"} << "No space left on device";
    QTest::newRow("job, full disk") << "tmpfs" << sheet + QStringList{"--job", "disk/old"}
                                    << "文件保存失败! cannot write disk/old: No space left";
    QTest::newRow("HPGL working file, size limit: the export says why")
        << "ulimit" << sheet + QStringList{"--job", "disk/old"} << "切割文件无法导出: cannot write";
    const QString plt = QStringLiteral(VX_TEST_DATA_DIR "/cutjob/blank-row.plt");
    QTest::newRow("preview picture, size limit")
        << "ulimit" << QStringList{"preview", plt, "-o", "disk/old", "--size", "3000"}
        << "cannot write disk/old: File too large";
    QTest::newRow("simulator's record, full disk")
        << "tmpfs"
        << QStringList{"sh",
                       "-c",
                       "\"$1\" simulate --port 0 --record disk/old >port & for i in $(seq 100); do "
                       "[ -s port ] && break; sleep 0.1; done; \"$1\" send \"$2\" --tcp "
                       "127.0.0.1:$(head -n1 port) --reply-timeout 10 2>/dev/null; kill $!; wait "
                       "$!",
                       "sh",
                       VX_CUTJOB_PATH,
                       VX_TEST_DATA_DIR "/cutjob/mark-job.golden"}
        << "cannot write disk/old: No space left on device";
    const QString self = QCoreApplication::applicationFilePath();
    for (const char *writer : {"window-settings", "host-settings"})
        QTest::newRow(writer) << "tmpfs" << QStringList{self, "--write", writer, "disk/old"}
                              << "cannot write disk/old: No space left on device";
    QTest::newRow("print to file, size limit")
        << "ulimit" << QStringList{self, "--write", "print", "disk/old"}
        << "打印失败: cannot write disk/old: File too large";
}

void FilesInOutTest::fullDiskKeepsOldFile()
{
    QFETCH(QString, limit);
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    for (const char *sub : {"disk", "stage", "after"})
        QVERIFY(QDir(folder.path()).mkdir(sub));
    const QByteArray old("the old file, whole");
    QVERIFY(writeFile(folder.filePath("stage/old"), old));
    const CutjobRun run = onSmallDisk(folder.path(), limit, arguments);
    if (limit == "tmpfs" && run.err.contains("mount"))
        QSKIP("no tmpfs can be mounted here");
    QVERIFY2(run.finished, run.err.constData());
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(QString::fromUtf8(run.err).contains(reason), run.err.constData());
    QCOMPARE(readFile(folder.filePath("after/old")), old);
    QCOMPARE(readFile(folder.filePath("after/list")), QByteArray("old\n"));
}

void FilesInOutTest::oddInputRefusedAtOnce_data()
{
    QTest::addColumn<QStringList>("command"); // the input file is added last
    QTest::addColumn<QString>("input");       // "fifo", "big" (sparse, over every limit) or a path
    QTest::addColumn<QString>("message");
    const QList<QStringList> commands{{"send", "--tcp", "127.0.0.1:9"},
                                      {"preview", "-o", "out.png"},
                                      {"simulate", "--port", "0", "--script"}};
    for (const QStringList &command : commands) {
        const QByteArray name = command.first().toLatin1();
        QTest::newRow(name + ": a FIFO") << command << "fifo"
                                         << "fifo: not a regular file";
        QTest::newRow(name + ": /dev/zero") << command << "/dev/zero"
                                            << "not a regular file";
        QTest::newRow(name + ": a folder") << command << "."
                                           << ".: not a regular file";
        QTest::newRow(name + ": an oversized file") << command << "big"
                                                    << "big: larger than";
    }
}

void FilesInOutTest::oddInputRefusedAtOnce()
{
    QFETCH(QStringList, command);
    QFETCH(QString, input);
    QFETCH(QString, message);
    QTemporaryDir folder;
    if (input == "fifo")
        QCOMPARE(QProcess::execute("mkfifo", {folder.filePath(input)}), 0);
    QFile big(folder.filePath("big"));
    if (input == "big")
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(600LL * 1024 * 1024));
    const CutjobRun run = runCutjob(command << input, folder.path(), 10000);
    QVERIFY2(run.finished, "cutjob did not end on its own");
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
}

// A 300 mm letter FreeType refuses at the tracing resolution: the contour and then the PDF.
void FilesInOutTest::bigLetterTracedAndPrinted()
{
    QTemporaryDir folder;
    QVERIFY(writeFile(folder.filePath("in.svg"),
                      svgSheet("<text id='big' x='20' y='330' font-family='DejaVu Sans' "
                               "font-size='400'>A</text>")));
    const CutjobRun run = runCutjob(
        {"sheet", "in.svg", "--boundary", "--pdf", "out.pdf", "--save-document", "out.svg"},
        folder.path());
    QVERIFY2(run.finished && run.exitCode == 0, run.err.constData());
    QVERIFY2(!run.err.contains("box is outlined"), run.err.constData());
    QVERIFY(readFile(folder.filePath("out.pdf")).startsWith("%PDF-"));
    const QByteArray saved = readFile(folder.filePath("out.svg"));
    const QByteArray cut = saved.mid(saved.indexOf("Cutting Layer"));
    QCOMPARE(cut.count("<path"), 1);
    // The cut lies on the printed letter: its box against the PDF's dark pixels, one per mm.
    QRectF contour;
    const QByteArray d = cut.mid(cut.indexOf(" d=\"") + 4).split('"').first();
    const QRegularExpression pair(QStringLiteral("(-?[0-9.]+)[ ,]+(-?[0-9.]+)"));
    for (auto m = pair.globalMatch(QString::fromLatin1(d)); m.hasNext();) {
        const auto p = m.next();
        contour |= QRectF(p.captured(1).toDouble(), p.captured(2).toDouble(), 1e-9, 1e-9);
    }
    QCOMPARE(QProcess::execute("pdftoppm", {"-r", "25.4", "-gray", "-singlefile",
                                            folder.filePath("out.pdf"), folder.filePath("page")}),
             0);
    const QImage page(folder.filePath("page.pgm"));
    QRect printed;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 128)
                printed |= QRect(x, y, 1, 1);
    for (const double gap :
         {contour.left() - printed.left(), contour.top() - printed.top(),
          contour.right() - printed.right() - 1, contour.bottom() - printed.bottom() - 1})
        QVERIFY2(std::abs(gap) < 2,
                 qPrintable(QStringLiteral("cut %1 mm from the print").arg(gap)));
}

// Saved into the folder above (rsvg-convert follows links only downwards), the pictures are
// still found; the same commands again change no byte of the saved sheet.
void FilesInOutTest::savedElsewhereKeepsPictures()
{
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkpath("sheet/pics"));
    for (const char *picture : {"face-cool-symbolic.png", "user-trash.png"})
        QVERIFY(QFile::copy(Pictures + picture, folder.filePath("sheet/pics/") + picture));
    QVERIFY(writeFile(folder.filePath("sheet/in.svg"),
                      svgSheet("<image x='5' y='5' width='90' height='90' "
                               "xlink:href='pics/face-cool-symbolic.png'/><image x='100' y='5' "
                               "width='90' height='90' href='./pics/user-trash.png'/>")));
    const CutjobRun run =
        runCutjob({"sheet", "sheet/in.svg", "--save-document", "out.svg"}, folder.path());
    QVERIFY2(run.finished && run.exitCode == 0, run.err.constData());
    QVERIFY(readFile(folder.filePath("out.svg")).contains("href='sheet/pics/user-trash.png'"));
    for (const char *svg : {"sheet/in.svg", "out.svg"})
        QCOMPARE(QProcess::execute("rsvg-convert",
                                   {"-o", folder.filePath(svg) + ".png", folder.filePath(svg)}),
                 0);
    QImage drawn(folder.filePath("sheet/in.svg.png")), saved(folder.filePath("out.svg.png"));
    QVERIFY(!drawn.isNull() && drawn.pixel(200, 200) != 0);
    QCOMPARE(saved, drawn);

    const QStringList again{"sheet", "out.svg", "--add-marks", "--save-document", "out.svg"};
    QVERIFY(runCutjob(again, folder.path()).exitCode == 0);
    const QByteArray once = readFile(folder.filePath("out.svg"));
    for (int run = 0; run < 2; ++run)
        QVERIFY(runCutjob(again, folder.path()).exitCode == 0);
    QCOMPARE(readFile(folder.filePath("out.svg")), once);
}

void FilesInOutTest::manyElementsFewNotes_data()
{
    QTest::addColumn<QByteArray>("element"); // the sheet holds 10,000 of it, one a line
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("note");
    QTest::newRow("texts") << QByteArray("<text x='10' y='10' font-size='2'>t</text>")
                           << QStringList{}
                           << "10000 texts are printed and outlined as drawn: <text> on line 1, <";
    QTest::newRow("missing pictures, also outlined")
        << QByteArray("<image x='10' y='10' width='5' height='5' href='gone.png'/>")
        << QStringList{"--boundary"}
        << "10000 pictures are neither printed nor cut: <image> on line 1 (";
}

void FilesInOutTest::manyElementsFewNotes()
{
    QFETCH(QByteArray, element);
    QFETCH(QStringList, options);
    QFETCH(QString, note);
    QTemporaryDir folder;
    QVERIFY(writeFile(folder.filePath("in.svg"), svgSheet((element + '\n').repeated(10000))));
    const CutjobRun run =
        runCutjob(QStringList{"sheet", "in.svg", "--add-marks"} + options, folder.path(), 300000);
    QVERIFY2(run.finished && run.exitCode == 0, run.err.constData());
    QVERIFY2(run.err.count("cutjob: ") <= 3, run.err.constData());
    for (const char *raw : {"Pango", "qt.svg", "libpng", "QStandardPaths", "builtin host"})
        QVERIFY2(!run.err.contains(raw), run.err.constData());
    QVERIFY2(QString::fromUtf8(run.err).contains(note), run.err.constData());
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--write") == 0)
        return writeAsChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    FilesInOutTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_filesinout.moc"
