// `cutjob sheet` end to end: an SVG sheet drawn in Inkscape's layer structure gets its marks, is
// saved and reopened, and its job's contours lie where the drawing has them, relative to the
// first mark. The job equals what `cutjob build` makes from the same exports and settings.

#include "StickerSheet.h"
#include "TestDocument.h"
#include "common/Units.h"
#include "host/CdrConnection.h"
#include "job/JobPreparation.h"
#include "paths/PathProcessor.h"

#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {
const QString Sheet = QStringLiteral(VX_TEST_DATA_DIR "/job/label-sheet.svg");
constexpr double UnitsPerMm = UNITS_PER_MM;
const QPointF FirstMarkMm(8.5, 22.5); // default margins: left 8.5 mm, top 22.5 mm
constexpr int ProcessTimeoutMs = 60000;

struct Run
{
    int exitCode = -1;
    QByteArray out, err;
};

Run cutjob(const QStringList &args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ASAN_OPTIONS", "detect_leaks=1:fast_unwind_on_malloc=0");
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VX_CUTJOB), args);
    Run run;
    if (!process.waitForFinished(ProcessTimeoutMs)) {
        process.kill();
        process.waitForFinished(ProcessTimeoutMs);
        run.err = "cutjob did not finish in time";
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A pen section of a job text as paths in the page frame: the job writes y before x.
CutPathList section(const QByteArray &job, const QByteArray &from, const QByteArray &to)
{
    const int start = job.indexOf(from);
    const int end = job.indexOf(to, start + from.size());
    if (start < 0 || end < 0)
        return {};
    CutPathList paths = PathProcessor().parsePlt(job.mid(start, end - start));
    for (CutPath &path : paths)
        for (QLineF &s : path.segments)
            s = QLineF(s.y1(), s.x1(), s.y2(), s.x2());
    return paths;
}

QList<QPointF> vertices(const CutPath &path)
{
    QList<QPointF> points{path.segments.first().p1()};
    for (const QLineF &s : path.segments)
        points << s.p2();
    return points;
}

// A drawing position (mm from the page's top-left corner) in the job's frame.
QPointF jobPoint(const QPointF &mm)
{
    return (mm - FirstMarkMm) * UnitsPerMm;
}

double distance(const QPointF &a, const QPointF &b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}
} // namespace

class SheetCommandTest : public QObject
{
    Q_OBJECT

private slots:
    void sampleSheetWholeWorkflow();
    void initTestCase();
    void contoursWhereDrawn_data();
    void contoursWhereDrawn();
    void savedDocumentReopens_data();
    void savedDocumentReopens();
    void sameAsCutjobBuild_data();
    void sameAsCutjobBuild();
    void refusesWithMessage_data();
    void refusesWithMessage();
    void openDocument_data();
    void openDocument();
    void keptElementsReported_data();
    void keptElementsReported();
    void stickerJobCutsTheirContours();
    void linkedPicturesPrintWhereCut_data();
    void linkedPicturesPrintWhereCut();
    void longCutPathExportsWhole();

private:
    QTemporaryDir dir;
    QByteArray job;
    QByteArray boundaryJob; // the boundary made from the artwork, options given out of order
};

void SheetCommandTest::initTestCase()
{
    QVERIFY(dir.isValid());
    const Run run = cutjob({"sheet", Sheet, "--add-marks", "--job", dir.filePath("sheet.plt"),
                            "--save-document", dir.filePath("sheet.svg")});
    QVERIFY2(run.exitCode == 0, run.err.constData());
    job = readAll(dir.filePath("sheet.plt"));
    QVERIFY(job.startsWith("CMD:20,11880,8400,1120,200,0;MD0,0,9440,7720,2;IN;PA;SP1;"));
    QVERIFY(job.endsWith("CMD:22,11880,8400;"));
    const Run boundary = cutjob({"sheet", Sheet, "--job", dir.filePath("boundary.plt"), "--pdf",
                                 dir.filePath("boundary.pdf"), "--boundary", "--add-marks"});
    QVERIFY2(boundary.exitCode == 0, boundary.err.constData());
    boundaryJob = readAll(dir.filePath("boundary.plt"));
    QVERIFY(readAll(dir.filePath("boundary.pdf")).startsWith("%PDF-"));
}

void SheetCommandTest::contoursWhereDrawn_data()
{
    QTest::addColumn<QByteArray>("pen");
    QTest::addColumn<QList<QPointF>>("cornersMm"); // polygon corners; empty for the circle
    QTest::addColumn<QPointF>("centreMm");
    QTest::addColumn<double>("radiusMm");
    QTest::newRow("cut rectangle: its four corners")
        << QByteArray("SP2;") << QList<QPointF>{{30, 50}, {90, 50}, {90, 90}, {30, 90}}
        << QPointF(60, 70) << 0.0;
    QTest::newRow("cut triangle inside a translated group: its three corners")
        << QByteArray("SP2;") << QList<QPointF>{{30, 160}, {90, 160}, {60, 210}} << QPointF(60, 185)
        << 0.0;
    QTest::newRow("cut circle: every flattened point on the circle")
        << QByteArray("SP2;") << QList<QPointF>{} << QPointF(150, 100) << 20.0;
    QTest::newRow("crease line: both ends")
        << QByteArray("SP1;") << QList<QPointF>{{30, 70}, {90, 70}} << QPointF(60, 70) << 0.0;
    QTest::newRow("--boundary: artwork rectangle's corners, not the crease line across it")
        << QByteArray("boundary") << QList<QPointF>{{32, 52}, {88, 52}, {88, 88}, {32, 88}}
        << QPointF(60, 70) << 0.0;
    QTest::newRow("--boundary: artwork triangle's three corners")
        << QByteArray("boundary") << QList<QPointF>{{40, 165}, {80, 165}, {60, 200}}
        << QPointF(60, 182.5) << 0.0;
    QTest::newRow("--boundary: artwork circle, every point on it")
        << QByteArray("boundary") << QList<QPointF>{} << QPointF(150, 100) << 18.0;
}

void SheetCommandTest::contoursWhereDrawn()
{
    QFETCH(QByteArray, pen);
    QFETCH(QList<QPointF>, cornersMm);
    QFETCH(QPointF, centreMm);
    QFETCH(double, radiusMm);
    const QByteArray &text = pen == "boundary" ? boundaryJob : job;
    const CutPathList paths =
        pen == "SP1;" ? section(text, "SP1;", "PU;SP2;") : section(text, "SP2;", "PU;!PG;");
    QCOMPARE(paths.size(), pen == "SP1;" ? 1 : 3);
    const QPointF centre = jobPoint(centreMm);
    const CutPath *match = nullptr;
    for (const CutPath &path : paths) {
        QPolygonF polygon(QVector<QPointF>::fromList(vertices(path)));
        if (distance(polygon.boundingRect().center(), centre) < 40)
            match = &path;
    }
    QVERIFY2(match, "no contour at the drawn place");
    const QList<QPointF> points = vertices(*match);
    if (radiusMm > 0) {
        for (const QPointF &p : points)
            QVERIFY2(qAbs(distance(p, centre) - radiusMm * UnitsPerMm) <= 1.0,
                     qPrintable(QStringLiteral("(%1, %2) off the circle").arg(p.x()).arg(p.y())));
        QVERIFY(points.size() > 16);
        return;
    }
    for (const QPointF &corner : cornersMm) {
        const bool found = std::any_of(points.begin(), points.end(), [&](const QPointF &p) {
            return distance(p, jobPoint(corner)) <= 1.0;
        });
        QVERIFY2(found,
                 qPrintable(
                     QStringLiteral("corner (%1, %2) mm missing").arg(corner.x()).arg(corner.y())));
    }
    for (const QPointF &p : points) {
        const bool onCorner =
            std::any_of(cornersMm.begin(), cornersMm.end(),
                        [&](const QPointF &c) { return distance(p, jobPoint(c)) <= 1.0; });
        QVERIFY2(onCorner,
                 qPrintable(QStringLiteral("stray point (%1, %2)").arg(p.x()).arg(p.y())));
    }
}

void SheetCommandTest::savedDocumentReopens_data()
{
    QTest::addColumn<QString>("layer");
    QTest::addColumn<int>("shapes"); // -1: as many as in the sheet, with the same boxes
    QTest::addColumn<bool>("printable");
    QTest::newRow("Artwork keeps its shapes and boxes") << "Artwork" << -1 << true;
    QTest::newRow("Cutting Layer keeps its shapes and boxes") << "Cutting Layer" << -1 << true;
    QTest::newRow("Creasing Layer keeps its shapes and boxes") << "Creasing Layer" << -1 << true;
    QTest::newRow("Assist Layer: one outline, not printing") << "Assist Layer" << 1 << false;
    QTest::newRow("Mark Layer: four marks") << "Mark Layer" << 4 << true;
    QTest::newRow("Extra Layer: one mark") << "Extra Layer" << 1 << true;
}

void SheetCommandTest::savedDocumentReopens()
{
    QFETCH(QString, layer);
    QFETCH(int, shapes);
    QFETCH(bool, printable);
    BuiltinHost &host = BuiltinHost::instance();
    host.reset();
    const Result<HostDocument::Ptr> originalRead = host.openDocument(Sheet);
    QVERIFY2(originalRead, qPrintable(originalRead.error()));
    const HostDocument::Ptr original = *originalRead;
    const Result<HostDocument::Ptr> savedRead = host.openDocument(dir.filePath("sheet.svg"));
    QVERIFY2(savedRead, qPrintable(savedRead.error()));
    const HostDocument::Ptr saved = *savedRead;
    QStringList names;
    for (const HostLayer::Ptr &l : saved->activePage->layers)
        names << l->name;
    QCOMPARE(names, (QStringList{"Artwork", "Cutting Layer", "Creasing Layer", "Assist Layer",
                                 "Mark Layer", "Extra Layer"}));
    const HostLayer::Ptr reopened = saved->findLayer(layer);
    QCOMPARE(reopened->printable, printable);
    if (shapes >= 0) {
        QCOMPARE(reopened->shapes.size(), shapes);
        return;
    }
    const HostLayer::Ptr drawn = original->findLayer(layer);
    QCOMPARE(reopened->shapes.size(), drawn->shapes.size());
    for (int i = 0; i < drawn->shapes.size(); ++i) {
        const QRectF a = drawn->shapes.at(i)->bounds(), b = reopened->shapes.at(i)->bounds();
        QVERIFY2(qAbs(a.left() - b.left()) + qAbs(a.top() - b.top()) + qAbs(a.width() - b.width()) +
                         qAbs(a.height() - b.height()) <
                     1e-4,
                 qPrintable(QStringLiteral("shape %1 moved").arg(i)));
    }
}

void SheetCommandTest::sameAsCutjobBuild_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("default settings") << QStringList{};
    QTest::newRow("sort, knife offset and overcut")
        << QStringList{"--sort", "--knife", "0.3", "--overcut", "0.5"};
    QTest::newRow("dash, gap and mark distances")
        << QStringList{"--dash", "5", "--gap", "0.5", "--rmx", "20", "--rmy", "10"};
    QTest::newRow("blank-cut job") << QStringList{"--blank", "--sort"};
}

void SheetCommandTest::sameAsCutjobBuild()
{
    QFETCH(QStringList, options);
    const QString sheetJob = dir.filePath("same-sheet.plt");
    const Run sheet =
        cutjob(QStringList{"sheet", dir.filePath("sheet.svg"), "--job", sheetJob} + options);
    QVERIFY2(sheet.exitCode == 0, sheet.err.constData());
    // The same exports, made in this process from the same saved sheet.
    QString error;
    BuiltinHost::instance().reset();
    const Result<HostDocument::Ptr> opened =
        BuiltinHost::instance().openDocument(dir.filePath("sheet.svg"));
    QVERIFY2(opened, qPrintable(opened.error()));
    CdrConnection conn(TestDocument::HostId);
    const bool blank = options.contains("--blank");
    const Result<PreparedJob> job =
        prepareJob(conn, blank, JobOptions(), dir.filePath("ABDOPQR.plt"));
    QVERIFY2(job.ok(), qPrintable(job.error()));
    const PreparedJob &prepared = *job;
    QVERIFY(writeAll(dir.filePath("cutting.plt"), prepared.cuttingExport));
    QVERIFY(writeAll(dir.filePath("creasing.plt"), prepared.creasingExport));
    QStringList build{"build",
                      dir.filePath("cutting.plt"),
                      "-o",
                      dir.filePath("same-build.plt"),
                      "--page-height",
                      QString::number(prepared.frame.pageHeight),
                      "--page-width",
                      QString::number(prepared.frame.pageWidth)};
    if (!blank) {
        QStringList marks;
        for (const QPoint &m : prepared.frame.marks)
            marks << QStringLiteral("%1,%2").arg(m.x()).arg(m.y());
        build << "--creasing" << dir.filePath("creasing.plt") << "--marks" << marks.join(';')
              << "--extra" << QString::number(prepared.frame.extraMark);
    }
    const Run built = cutjob(build + options);
    QVERIFY2(built.exitCode == 0, built.err.constData());
    const QByteArray fromSheet = readAll(sheetJob);
    QVERIFY(!fromSheet.isEmpty());
    QCOMPARE(fromSheet, readAll(dir.filePath("same-build.plt")));
    if (options.isEmpty())
        QCOMPARE(prepared.text.joined(), fromSheet);
}

void SheetCommandTest::refusesWithMessage_data()
{
    QTest::addColumn<QByteArray>("svg"); // written to the sheet file; null: no file
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    const QByteArray fiveMarks =
        "<svg xmlns='http://www.w3.org/2000/svg' "
        "xmlns:inkscape='http://www.inkscape.org/namespaces/inkscape' width='210mm' "
        "height='297mm' viewBox='0 0 210 297'><g inkscape:groupmode='layer' "
        "inkscape:label='Mark Layer'>"
        "<path d='M 4,22.5 H 13 M 8.5,18 V 27' stroke='black' fill='none'/>"
        "<path d='M 197,22.5 H 206 M 201.5,18 V 27' stroke='black' fill='none'/>"
        "<path d='M 4,258.5 H 13 M 8.5,254 V 263' stroke='black' fill='none'/>"
        "<path d='M 197,258.5 H 206 M 201.5,254 V 263' stroke='black' fill='none'/>"
        "<path d='M 96,258.5 H 105 M 100.5,254 V 263' stroke='black' fill='none'/>"
        "</g></svg>";
    QTest::newRow("a sheet that does not exist")
        << QByteArray() << QStringList{"--job"} << "cannot open";
    QTest::newRow("a file that is no SVG")
        << QByteArray("PK\x03\x04 not a drawing") << QStringList{"--job"} << "cannot open";
    QTest::newRow("a mark job on a sheet without marks")
        << readAll(Sheet) << QStringList{"--job"} << "未找到定位标记, 请先添加标记!";
    QTest::newRow("more than four marks")
        << fiveMarks << QStringList{"--job"} << "定位标记超过4个, 请检查Mark Layer!";
    QTest::newRow("a boundary offset above 10 mm")
        << readAll(Sheet) << QStringList{"--boundary", "--boundary-offset", "10.5", "--job"}
        << "--boundary-offset must be 0 to 10 mm, not 10.5";
    QTest::newRow("a negative boundary offset")
        << readAll(Sheet) << QStringList{"--boundary", "--boundary-offset=-1", "--job"}
        << "--boundary-offset must be 0 to 10 mm, not -1";
    QTest::newRow("a bleed above 5 mm")
        << readAll(Sheet) << QStringList{"--boundary", "--bleed", "5.5", "--job"}
        << "--bleed must be 0 to 5 mm, not 5.5";
    QTest::newRow("a bleed without a boundary")
        << readAll(Sheet) << QStringList{"--bleed", "1", "--job"} << "--bleed goes with --boundary";
    QTest::newRow("a boundary offset that is no number")
        << readAll(Sheet) << QStringList{"--boundary", "--boundary-offset", "2mm", "--job"}
        << "--boundary-offset needs a finite number, not \"2mm\"";
    QTest::newRow("a host version outside 14..23")
        << readAll(Sheet) << QStringList{"--add-marks", "--version", "24", "--job"}
        << "--version must be 14 to 23";
}

void SheetCommandTest::refusesWithMessage()
{
    QFETCH(QByteArray, svg);
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QTemporaryDir local;
    const QString sheet = local.filePath("input.svg");
    if (!svg.isNull())
        QVERIFY(writeAll(sheet, svg));
    const QString out = local.filePath("job.plt");
    const Run run = cutjob(QStringList{"sheet", sheet} + args + QStringList{out});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
    QVERIFY(!QFileInfo::exists(out));
}

void SheetCommandTest::openDocument_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("layers"); // empty: the open fails
    QTest::newRow("an Inkscape sheet becomes the active document with its layers")
        << Sheet << QStringList{"Artwork", "Cutting Layer", "Creasing Layer"};
    QTest::newRow("a missing file: refused, the path named")
        << QStringLiteral("/nonexistent/sheet.svg") << QStringList{};
}

void SheetCommandTest::openDocument()
{
    QFETCH(QString, path);
    QFETCH(QStringList, layers);
    BuiltinHost::instance().reset();
    CdrConnection conn(TestDocument::HostId);
    const Result<> opened = conn.openDocument(path);
    QCOMPARE(opened.ok(), !layers.isEmpty());
    if (layers.isEmpty()) {
        QVERIFY(opened.error().contains(path));
        QVERIFY(!BuiltinHost::instance().activeDocument());
        return;
    }
    QStringList names;
    for (const HostLayer::Ptr &layer : BuiltinHost::instance().activeDocument()->activePage->layers)
        names << layer->name;
    QCOMPARE(names, layers);
}

void SheetCommandTest::keptElementsReported_data()
{
    QTest::addColumn<QByteArray>("element");
    QTest::addColumn<QString>("note");
    QTest::newRow("text not converted to paths")
        << QByteArray("<text id='title' x='40' y='40' style='font-size:10px'>Lemon</text>")
        << "1 text is printed and outlined as drawn: title";
    QTest::newRow("an embedded image")
        << QByteArray("<image id='photo' x='100' y='150' width='20' height='20' "
                      "xlink:href='data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAIAAACQ"
                      "d1PeAAAADElEQVR4nGP4z8AAAAMBAQDJ/pLvAAAAAElFTkSuQmCC'/>")
        << "1 picture is printed and outlined as drawn: photo";
    QTest::newRow("art where --add-marks puts the top-left mark")
        << QByteArray("<rect id='band' x='0' y='15' width='20' height='15' fill='#800'/>")
        << "art under the top-left mark";
}

// Elements that cannot become contours are reported, kept in the saved sheet, and never cut.
void SheetCommandTest::keptElementsReported()
{
    QFETCH(QByteArray, element);
    QFETCH(QString, note);
    QTemporaryDir local;
    const QByteArray svg =
        "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
        "xmlns:inkscape='http://www.inkscape.org/namespaces/inkscape' width='210mm' "
        "height='297mm' viewBox='0 0 210 297'><g inkscape:groupmode='layer' "
        "inkscape:label='Artwork'>" +
        element +
        "</g><g inkscape:groupmode='layer' inkscape:label='Cutting Layer'>"
        "<rect x='30' y='50' width='60' height='40' fill='none' stroke='red'/></g></svg>";
    QVERIFY(writeAll(local.filePath("in.svg"), svg));
    const Run run = cutjob({"sheet", local.filePath("in.svg"), "--add-marks", "--save-document",
                            local.filePath("out.svg"), "--job", local.filePath("job.plt")});
    QVERIFY2(run.exitCode == 0, run.err.constData());
    QVERIFY2(QString::fromUtf8(run.err).contains(note), run.err.constData());
    const QByteArray saved = readAll(local.filePath("out.svg"));
    QVERIFY(saved.contains(element.mid(1, element.indexOf(' ') - 1)));
    QVERIFY(saved.contains(
        element.contains("title") ? "Lemon" : element.mid(element.indexOf("id='") + 4, 5)));
    QCOMPARE(section(readAll(local.filePath("job.plt")), "SP2;", "PU;!PG;").size(), 1);
}

// The sample sheet the run command opens, through every step at once: 12 labels give 12 cut
// contours, its 4 fold lines stay crease lines, and the PDF and the marked sheet are written.
void SheetCommandTest::sampleSheetWholeWorkflow()
{
    QTemporaryDir out;
    const Run run =
        cutjob({"sheet", QStringLiteral(VX_SOURCE_DIR "/resources/sample-sheet.svg"), "--add-marks",
                "--boundary", "--pdf", out.filePath("sheet.pdf"), "--save-document",
                out.filePath("marked.svg"), "--job", out.filePath("job.plt")});
    QVERIFY2(run.exitCode == 0, run.err.constData());
    QVERIFY(readAll(out.filePath("sheet.pdf")).startsWith("%PDF-"));
    QVERIFY(readAll(out.filePath("marked.svg")).contains("Mark Layer"));
    const QByteArray job = readAll(out.filePath("job.plt"));
    const int cut = job.indexOf("SP2;");
    QVERIFY(job.startsWith("CMD:20,") && cut > 0);
    QCOMPARE(job.mid(cut).count("PD"), 12);
    QCOMPARE(job.left(cut).count("PD"), 4);
}

// The page of a PDF in grey at 100 dpi, through poppler's pdftoppm; empty when it fails.
QByteArray pdfPage(const QString &pdf)
{
    QProcess p;
    p.start("pdftoppm", {"-r", "100", "-gray", "-singlefile", pdf, pdf + "-page"});
    if (!p.waitForFinished(ProcessTimeoutMs) || p.exitCode() != 0)
        return {};
    return readAll(pdf + "-page.pgm");
}

// Stickers through the whole command with a margin: the job cuts one contour per sticker where
// the sticker is, grown by the margin, and the PDF is the same with or without the boundary.
void SheetCommandTest::stickerJobCutsTheirContours()
{
    QTemporaryDir out;
    const StickerSheet stickers = writeStickerSheet(out.path());
    QVERIFY(!stickers.svgPath.isEmpty());
    const Run run =
        cutjob({"sheet", stickers.svgPath, "--add-marks", "--boundary", "--boundary-offset", "1.5",
                "--pdf", out.filePath("cut.pdf"), "--job", out.filePath("job.plt")});
    QVERIFY2(run.exitCode == 0, run.err.right(300).constData());
    const CutPathList cuts = section(readAll(out.filePath("job.plt")), "SP2;", "PU;!PG;");
    QCOMPARE(cuts.size(), stickers.stickers.size());
    for (const Sticker &sticker : stickers.stickers) {
        if (sticker.outerOutline.isEmpty())
            continue; // text: its box depends on the font's layout
        const QRectF expected = sticker.outerOutline.boundingRect().adjusted(-1.5, -1.5, 1.5, 1.5);
        const bool cut = std::any_of(cuts.begin(), cuts.end(), [&](const CutPath &path) {
            const QRectF box = QPolygonF(QVector<QPointF>::fromList(vertices(path))).boundingRect();
            const QRectF wanted(jobPoint(expected.topLeft()), jobPoint(expected.bottomRight()));
            return distance(box.topLeft(), wanted.topLeft()) <= 0.15 * UnitsPerMm &&
                   distance(box.bottomRight(), wanted.bottomRight()) <= 0.15 * UnitsPerMm;
        });
        QVERIFY2(cut, qPrintable(sticker.name));
    }
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
        QSKIP("pdftoppm (poppler-utils) is not installed");
    const Run plain =
        cutjob({"sheet", stickers.svgPath, "--add-marks", "--pdf", out.filePath("plain.pdf")});
    QVERIFY2(plain.exitCode == 0, plain.err.constData());
    const QByteArray page = pdfPage(out.filePath("plain.pdf"));
    QVERIFY(!page.isEmpty());
    QVERIFY2(pdfPage(out.filePath("cut.pdf")) == page, "the boundary shows in the PDF");
}

void SheetCommandTest::linkedPicturesPrintWhereCut_data()
{
    QTest::addColumn<QString>("href"); // %1: the folder above the sheet's
    QTest::addColumn<int>("pictures"); // printed, and cut
    QTest::addColumn<QString>("note");
    QTest::newRow("absolute path") << "%1/pictures/box.png" << 1 << "";
    QTest::newRow("file: URL") << "file://%1/pictures/box.png" << 1 << "";
    QTest::newRow("../ from the sheet's folder") << "../pictures/box.png" << 1 << "";
    QTest::newRow("a WebP picture: named, neither printed nor cut")
        << "../pictures/box.webp" << 0 << "neither printed nor cut: box (only PNG";
    QTest::newRow("a missing picture: named, neither printed nor cut")
        << "../pictures/gone.png" << 0 << "gone.png: no such file";
}

// Pictures Inkscape links from outside the sheet's folder print and are cut; those that cannot
// print are named. The sheet's "Cutting Layer" is hidden: "Create Boundary" shows it again.
void SheetCommandTest::linkedPicturesPrintWhereCut()
{
    QFETCH(QString, href);
    QFETCH(int, pictures);
    QFETCH(QString, note);
    if (QStandardPaths::findExecutable("pdfimages").isEmpty())
        QSKIP("pdfimages (poppler-utils) is not installed");
    QTemporaryDir top;
    QVERIFY(QDir(top.path()).mkpath("pictures") && QDir(top.path()).mkpath("sheets"));
    QImage box(60, 40, QImage::Format_RGB32);
    box.fill(Qt::white);
    QPainter(&box).fillRect(10, 10, 40, 20, Qt::darkBlue);
    QVERIFY(box.save(top.filePath("pictures/box.png")));
    QVERIFY(writeAll(top.filePath("pictures/box.webp"), "RIFF0000WEBPVP8L"));
    const QByteArray svg =
        "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
        "xmlns:inkscape='http://www.inkscape.org/namespaces/inkscape' width='210mm' "
        "height='297mm' viewBox='0 0 210 297'><g inkscape:groupmode='layer' inkscape:label='Art'>"
        "<image id='box' x='60' y='80' width='60' height='40' xlink:href='" +
        href.arg(top.path()).toUtf8() +
        "'/></g><g inkscape:groupmode='layer' inkscape:label='Cutting Layer' "
        "style='display:none'/></svg>";
    const QString sheet = top.filePath("sheets/sheet.svg");
    QVERIFY(writeAll(sheet, svg));
    const Run run =
        cutjob({"sheet", sheet, "--add-marks", "--boundary", "--pdf", top.filePath("out.pdf"),
                "--job", top.filePath("job.plt"), "--lang", "zh"});
    QVERIFY2(run.exitCode == 0, run.err.constData());
    QCOMPARE(section(readAll(top.filePath("job.plt")), "SP2;", "PU;!PG;").size(), pictures);
    QVERIFY2(run.err.contains(note.toUtf8()), run.err.constData());
    QCOMPARE(run.err.contains("neither printed nor cut"), pictures == 0);
    QCOMPARE(run.err.contains(JobMessage::emptyCut().toUtf8()), pictures == 0);
    QProcess list;
    list.start("pdfimages", {"-list", top.filePath("out.pdf")});
    QVERIFY(list.waitForFinished(ProcessTimeoutMs));
    QCOMPARE(list.readAllStandardOutput().count("\n") - 2, pictures);
}

// A traced cut line of 40,000 vertices, beyond QtSvg's 32,767 segments: every vertex is cut.
void SheetCommandTest::longCutPathExportsWhole()
{
    QString d = QStringLiteral("M");
    for (int i = 0; i < 40000; ++i) {
        const int row = i / 400, k = row % 2 ? 399 - i % 400 : i % 400;
        d += QStringLiteral(" %1,%2").arg(10 + k * 0.45).arg(40 + row * 2.5 + (i % 2));
    }
    const QString svg = QStringLiteral(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" width=\"210mm\" "
        "height=\"297mm\" viewBox=\"0 0 210 297\"><g inkscape:groupmode=\"layer\" "
        "inkscape:label=\"Cutting Layer\"><path d=\"%1\" fill=\"none\" "
        "stroke=\"#000\"/></g></svg>");
    QTemporaryDir out;
    QVERIFY(writeAll(out.filePath("long.svg"), svg.arg(d).toUtf8()));
    const Run run = cutjob(
        {"sheet", out.filePath("long.svg"), "--add-marks", "--job", out.filePath("job.plt")});
    QVERIFY2(run.exitCode == 0, run.err.right(300).constData());
    const CutPathList cuts = section(readAll(out.filePath("job.plt")), "SP2;", "PU;!PG;");
    QCOMPARE(cuts.size(), 1);
    QCOMPARE(vertices(cuts.first()).size(), 40000);
}

QTEST_MAIN(SheetCommandTest)
#include "tst_sheetcommand.moc"
