// `cutjob sheet --boundary` judged from the files a user gets, against what rsvg-convert prints
// from the original file: the saved sheet's "Cutting Layer" drawn by rsvg-convert must hold all
// the print (half coverage or more) and little else, the PDF drawn by pdftoppm must print where
// rsvg-convert prints, and the job must cut as wide as the print. Nothing here shares code with
// the program: the outputs are read as text and pictures.

#include "CutjobRunner.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

namespace {

const QString Ns = QStringLiteral("xmlns=\"http://www.w3.org/2000/svg\" "
                                  "xmlns:xlink=\"http://www.w3.org/1999/xlink\"");

bool tool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// rsvg-convert's drawing of `svg` at `dpi`, its alpha kept. Zoomed, not given as its dpi, which
// would scale only lengths with physical units.
QImage rsvg(const QString &svg, double dpi)
{
    const QString png = svg + QString::number(dpi) + ".png";
    if (!tool("rsvg-convert", {"-z", QString::number(dpi / 96, 'g', 10), svg, "-o", png}))
        return {};
    return QImage(png).convertToFormat(QImage::Format_ARGB32);
}

// The saved sheet with only its "Cutting Layer", every contour filled black.
QByteArray contoursOnly(const QByteArray &saved)
{
    const QString text = QString::fromUtf8(saved);
    const QRegularExpression root("<svg\\b[^>]*>");
    const QRegularExpression layer("<g\\b[^>]*inkscape:label=\"Cutting Layer\"[^>]*>");
    const QRegularExpressionMatch r = root.match(text), l = layer.match(text);
    if (!r.hasMatch() || !l.hasMatch())
        return {};
    const int end = text.indexOf("</g>", l.capturedEnd());
    return (r.captured(0) +
            "<style>*{display:inline!important;visibility:visible!important}"
            "path{fill:#000!important;stroke:none!important;fill-rule:nonzero!important}</style>" +
            text.mid(l.capturedStart(), end + 4 - l.capturedStart()) + "</svg>")
        .toUtf8();
}

int subpaths(const QByteArray &contours)
{
    int count = 0;
    const QRegularExpression d(" d=\"([^\"]*)\"");
    for (auto m = d.globalMatch(QString::fromUtf8(contours)); m.hasNext();)
        count += m.next().captured(1).count('M');
    return count;
}

// The box of what prints (alpha, or darker than white on a page without alpha), in pixels.
QRect inkBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const bool ink = image.hasAlphaChannel() ? qAlpha(row[x]) >= 128 : qGray(row[x]) < 250;
            if (ink)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// The x extent of the job's cut (pen 2), in plotter units.
int cutWidth(const QByteArray &job)
{
    const int pen = job.indexOf("SP2;");
    int lo = INT_MAX, hi = INT_MIN;
    const QRegularExpression pd("PD([-0-9,]+)");
    for (auto m = pd.globalMatch(QString::fromLatin1(job.mid(pen))); m.hasNext();) {
        const QStringList numbers = m.next().captured(1).split(',', Qt::SkipEmptyParts);
        for (int i = 0; i + 1 < numbers.size(); i += 2) {
            lo = std::min(lo, numbers.at(i).toInt());
            hi = std::max(hi, numbers.at(i).toInt());
        }
    }
    return hi >= lo ? hi - lo : -1;
}

QString square(const QString &size)
{
    return QStringLiteral("<svg %1 width=\"%2\" height=\"%2\"><rect x=\"200\" y=\"200\" "
                          "width=\"200\" height=\"200\" fill=\"#00f\"/></svg>")
        .arg(Ns, size);
}

} // namespace

class PrintCutFidelityTest : public QObject
{
    Q_OBJECT

private slots:
    void contoursHoldThePrint_data();
    void contoursHoldThePrint();
    void declaredSizePrintedAndCut_data();
    void declaredSizePrintedAndCut();
};

void PrintCutFidelityTest::contoursHoldThePrint_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("islands"); // -1: any number
    QTest::newRow("clone far from its original") << "clone-far-from-original.svg" << 2;
    QTest::newRow("clone of a picture") << "clone-of-picture.svg" << 2;
    // Letters without counters: a contour takes no holes.
    QTest::newRow("two lines of text") << "two-lines-of-text.svg" << -1;
    // Black over green over a blue band, without alpha: no plain ground round its border.
    QTest::newRow("picture banded in its border's colours")
        << "picture-banded-to-its-border.svg" << 1;
    // A card across the edge of the fine tiles (every 655.36 px at 600 dpi) that only the drawing
    // places: a filter moves it away from its geometry.
    QTest::newRow("card across a tile seam") << "card-across-tile-seam.svg" << 1;
    // A shadow fading out right at half coverage leaves a speck no knife cuts.
    QTest::newRow("no speck where a gradient fades at half") << "gradient-fading-at-half.svg" << 1;
    QTest::newRow("page 13,000 px wide with a blur") << "page-13000px-with-blur.svg" << 1;
}

// Print at half coverage or more outside every contour, and contour where nothing prints at all,
// each at most 1 % (of the print, of the contours) at about 1,200 pixels on the longer side.
void PrintCutFidelityTest::contoursHoldThePrint()
{
    QFETCH(QString, file);
    QFETCH(int, islands);
    QTemporaryDir dir;
    QVERIFY(
        QFile::copy(QStringLiteral(VX_TEST_DATA_DIR "/fidelity/") + file, dir.filePath("in.svg")));
    const CutjobRun run = runCutjob(
        {"sheet", "in.svg", "--boundary", "--boundary-offset", "0", "--save-document", "out.svg"},
        dir.path(), 300000);
    QVERIFY2(run.finished && run.exitCode == 0, run.err.constData());
    QVERIFY2(!run.err.contains("cannot be drawn"), run.err.constData());
    const QByteArray contours = contoursOnly(readFile(dir.filePath("out.svg")));
    QVERIFY(!contours.isEmpty());
    if (islands >= 0)
        QCOMPARE(subpaths(contours), islands);
    QVERIFY(writeFile(dir.filePath("cut.svg"), contours));
    const QImage probe = rsvg(dir.filePath("in.svg"), 96);
    QVERIFY(!probe.isNull());
    const double dpi = 96 * 1200.0 / std::max(probe.width(), probe.height());
    const QImage print = rsvg(dir.filePath("in.svg"), dpi),
                 cut = rsvg(dir.filePath("cut.svg"), dpi);
    QCOMPARE(cut.size(), print.size());
    // The contours are simplified to within 0.05 mm: a pixel that near the other side counts.
    const int near = std::max(1, int(std::lround(0.05 / 25.4 * dpi)));
    const auto anyNear = [&](const QImage &image, int x, int y, auto test) {
        for (int v = std::max(0, y - near); v <= std::min(image.height() - 1, y + near); ++v)
            for (int u = std::max(0, x - near); u <= std::min(image.width() - 1, x + near); ++u)
                if (test(qAlpha(image.pixel(u, v))))
                    return true;
        return false;
    };
    qint64 printed = 0, uncut = 0, cutArea = 0, cutBlank = 0;
    for (int y = 0; y < print.height(); ++y) {
        for (int x = 0; x < print.width(); ++x) {
            const int ink = qAlpha(print.pixel(x, y)), inside = qAlpha(cut.pixel(x, y));
            printed += ink >= 128;
            cutArea += inside >= 128;
            uncut +=
                ink >= 128 && inside < 128 && !anyNear(cut, x, y, [](int a) { return a >= 128; });
            cutBlank +=
                inside >= 128 && ink == 0 && !anyNear(print, x, y, [](int a) { return a > 0; });
        }
    }
    QVERIFY(printed > 0);
    QVERIFY2(uncut <= printed / 100,
             qPrintable(QString("%1 of %2 printed pixels uncut").arg(uncut).arg(printed)));
    QVERIFY2(cutBlank <= cutArea / 100,
             qPrintable(QString("%1 of %2 cut pixels blank").arg(cutBlank).arg(cutArea)));
}

void PrintCutFidelityTest::declaredSizePrintedAndCut_data()
{
    QTest::addColumn<QString>("size");
    QTest::newRow("mm") << "200mm";
    QTest::newRow("pt") << "567pt";
    QTest::newRow("in") << "7.875in";
}

// A root with a physical size and no viewBox counts its user units as CSS pixels: the square of
// 200 user units is 52.9 mm wide from 52.9 mm, in the PDF and in the job.
void PrintCutFidelityTest::declaredSizePrintedAndCut()
{
    QFETCH(QString, size);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("in.svg"), square(size).toUtf8()));
    CutjobRun run = runCutjob({"sheet", "in.svg", "--boundary", "--boundary-offset", "0", "--pdf",
                               "out.pdf", "--save-document", "out.svg"},
                              dir.path());
    QVERIFY2(run.finished && run.exitCode == 0, run.err.constData());
    constexpr double Dpi = 150, MmPerPixel = 25.4 / Dpi;
    QVERIFY(tool("pdftoppm", {"-r", QString::number(Dpi), "-singlefile", "-png",
                              dir.filePath("out.pdf"), dir.filePath("pdf")}));
    const QRect printed =
        inkBox(QImage(dir.filePath("pdf.png")).convertToFormat(QImage::Format_RGB32));
    const QRect drawn = inkBox(rsvg(dir.filePath("in.svg"), Dpi));
    QVERIFY(!drawn.isEmpty());
    for (const auto &[ours, theirs] : {std::pair{printed.left(), drawn.left()},
                                       {printed.right(), drawn.right()},
                                       {printed.top(), drawn.top()},
                                       {printed.bottom(), drawn.bottom()}})
        QVERIFY2(std::abs(ours - theirs) * MmPerPixel <= 0.2,
                 qPrintable(
                     QString("PDF edge at %1 px, rsvg-convert's at %2 px").arg(ours).arg(theirs)));
    // The saved contour lies on the art in the file's own user units.
    const QRegularExpression d(" d=\"M ([-0-9.]+) ([-0-9.]+)");
    const QByteArray contours = contoursOnly(readFile(dir.filePath("out.svg")));
    const QRegularExpressionMatch first = d.match(QString::fromUtf8(contours));
    QVERIFY(first.hasMatch());
    QVERIFY(std::abs(first.captured(1).toDouble() - 200) < 0.1 ||
            std::abs(first.captured(1).toDouble() - 400) < 0.1);
    run = runCutjob({"sheet", "out.svg", "--add-marks", "--job", "job.plt"}, dir.path());
    QVERIFY2(run.finished && run.exitCode == 0, run.err.constData());
    QCOMPARE(cutWidth(readFile(dir.filePath("job.plt"))), 2117);
}

QTEST_MAIN(PrintCutFidelityTest)
#include "tst_printcutfidelity.moc"
