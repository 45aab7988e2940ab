// `cutjob sheet --boundary --bleed 1` on the generated 24-sticker sheet: the PDF drawn at 300 dpi
// carries a fringe in the colours of each sticker's edge out to the grown contour and nothing
// changes inside a contour; the job does not change; the saved sheet keeps its "Bleed Layer"
// and a boundary made again without bleed removes it.

#include "CutjobRunner.h"
#include "StickerSheet.h"
#include "host/CdrConnection.h"
#include "host/builtin/BuiltinHost.h"

#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <tuple>

namespace {

constexpr double Dpi = 300, CheckedMm = 0.9;
constexpr uchar Outside = 0, Inside = 100, Ring = 200;

QImage pdfAt300Dpi(const QString &pdf)
{
    QProcess p;
    p.start("pdftoppm", {"-r", QString::number(Dpi), "-singlefile", pdf, pdf + "-page"});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        return {};
    return QImage(pdf + "-page.ppm").convertToFormat(QImage::Format_RGB32);
}

// Each pixel of the page: inside a contour (its centre 1.5 px or more inside), in the ring out to
// the contour grown by CheckedMm (1.5 px or more from the contour), or neither.
QImage labels(const QSize &size, const QPainterPath &contours)
{
    QImage image(size, QImage::Format_Grayscale8);
    image.fill(Outside);
    QPainter painter(&image);
    const double grown = 2 * CheckedMm / MM_PER_INCH * Dpi;
    painter.strokePath(contours, QPen(QColor(Ring, Ring, Ring), grown, Qt::SolidLine, Qt::RoundCap,
                                      Qt::RoundJoin));
    painter.fillPath(contours, QColor(Inside, Inside, Inside));
    painter.strokePath(contours, QPen(QColor(Outside, Outside, Outside), 3.0));
    return image;
}

bool white(QRgb c)
{
    return qRed(c) >= 245 && qGreen(c) >= 245 && qBlue(c) >= 245;
}

double difference(QRgb a, QRgb b)
{
    return (std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
            std::abs(qBlue(a) - qBlue(b))) /
           3.0;
}

// The colour of the nearest art pixel inside a contour (the print without bleed); 0 for none.
QRgb nearestArt(const QImage &plain, const QImage &label, int x, int y)
{
    const int reach = int(std::ceil(CheckedMm / MM_PER_INCH * Dpi)) + 4;
    int best = reach * reach + 1;
    QRgb nearest = 0;
    for (int v = std::max(0, y - reach); v <= std::min(label.height() - 1, y + reach); ++v)
        for (int u = std::max(0, x - reach); u <= std::min(label.width() - 1, x + reach); ++u) {
            const int d = (u - x) * (u - x) + (v - y) * (v - y);
            if (d < best && label.constScanLine(v)[u] == Inside && !white(plain.pixel(u, v)))
                std::tie(best, nearest) = std::make_pair(d, plain.pixel(u, v));
        }
    return nearest;
}

} // namespace

class SheetBleedTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void fringeOnThePrint_data();
    void fringeOnThePrint();
    void jobAndSheet_data();
    void jobAndSheet();

private:
    QTemporaryDir dir;
    QImage bleed, plain, label;
};

void SheetBleedTest::initTestCase()
{
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
        QSKIP("pdftoppm (poppler-utils) is not installed");
    const StickerSheet sheet = writeStickerSheet(dir.path());
    QVERIFY(!sheet.svgPath.isEmpty());
    const QStringList common{"sheet", sheet.svgPath, "--add-marks", "--boundary"};
    for (const QString &name : {QStringLiteral("bleed"), QStringLiteral("plain")}) {
        const QStringList bleedArgs = name == "bleed" ? QStringList{"--bleed", "1"} : QStringList();
        const CutjobRun run =
            runCutjob(common + bleedArgs +
                          QStringList{"--pdf", dir.filePath(name + ".pdf"), "--job",
                                      dir.filePath(name + ".plt"), "--save-document",
                                      dir.filePath(name + ".svg")},
                      dir.path(), 300000);
        QVERIFY2(run.finished && run.exitCode == 0, run.err.right(400).constData());
    }
    bleed = pdfAt300Dpi(dir.filePath("bleed.pdf"));
    plain = pdfAt300Dpi(dir.filePath("plain.pdf"));
    QVERIFY(!bleed.isNull() && bleed.size() == plain.size());
    BuiltinHost &host = BuiltinHost::instance();
    QVERIFY(host.openDocument(dir.filePath("bleed.svg")));
    const HostDocument &doc = *host.activeDocument();
    QPainterPath contours;
    for (const HostShape::Ptr &shape : doc.findLayer(CdrConnection::CuttingLayer)->shapes)
        contours.addPath(shape->path);
    QCOMPARE(contours.toSubpathPolygons().size(), sheet.stickers.size());
    contours = QTransform(Dpi, 0, 0, -Dpi, 0, doc.activePage->heightInches * Dpi).map(contours);
    label = labels(bleed.size(), contours);
}

void SheetBleedTest::fringeOnThePrint_data()
{
    QTest::addColumn<QString>("measure");
    QTest::addColumn<double>("limit");
    QTest::newRow("ring to +0.9 mm: white pixels, %") << "white" << 0.5;
    QTest::newRow("ring colour against the nearest art edge, of 255") << "colour" << 10.0;
    QTest::newRow("pixels inside contours changed") << "inside" << 0.0;
}

void SheetBleedTest::fringeOnThePrint()
{
    QFETCH(QString, measure);
    QFETCH(double, limit);
    const uchar where = measure == "inside" ? Inside : Ring;
    double all = 0, found = 0;
    for (int y = 0; y < label.height(); ++y)
        for (int x = 0; x < label.width(); ++x) {
            // A search each for the colours: every fifth ring pixel of a row.
            if (label.constScanLine(y)[x] != where || (measure == "colour" && x % 5))
                continue;
            const QRgb c = bleed.pixel(x, y);
            if (measure == "colour")
                found += difference(c, nearestArt(plain, label, x, y));
            else
                found += measure == "white" ? white(c) : c != plain.pixel(x, y);
            ++all;
        }
    QVERIFY(all > 0);
    const double value = measure == "inside" ? found : (measure == "white" ? 100 : 1) * found / all;
    qInfo("%s: %g", qPrintable(measure), value);
    QVERIFY2(value <= limit, qPrintable(QStringLiteral("%1: %2").arg(measure).arg(value)));
}

void SheetBleedTest::jobAndSheet_data()
{
    QTest::addColumn<QString>("check");
    QTest::newRow("the job is byte-identical") << "job";
    QTest::newRow("the saved sheet reopens with a locked, printable Bleed Layer") << "reopen";
    QTest::newRow("a boundary made again without bleed removes it") << "removed";
}

void SheetBleedTest::jobAndSheet()
{
    QFETCH(QString, check);
    BuiltinHost &host = BuiltinHost::instance();
    if (check == "job") {
        const QByteArray job = readFile(dir.filePath("bleed.plt"));
        QVERIFY(!job.isEmpty());
        QCOMPARE(job, readFile(dir.filePath("plain.plt")));
    } else if (check == "reopen") {
        QVERIFY(host.openDocument(dir.filePath("bleed.svg")));
        const HostLayer::Ptr layer = host.activeDocument()->findLayer("Bleed Layer");
        QVERIFY(layer && layer->printable && !layer->editable);
        QCOMPARE(layer->shapes.size(), 2 * 24); // each sticker's picture, and its clip kept
    } else {
        const QString again = dir.filePath("again.svg");
        const CutjobRun run =
            runCutjob({"sheet", dir.filePath("bleed.svg"), "--boundary", "--save-document", again},
                      dir.path(), 300000);
        QVERIFY2(run.finished && run.exitCode == 0, run.err.right(400).constData());
        QVERIFY(host.openDocument(again));
        QVERIFY(!host.activeDocument()->findLayer("Bleed Layer"));
        QVERIFY(!readFile(again).contains("Bleed Layer"));
    }
}

QTEST_MAIN(SheetBleedTest)
#include "tst_sheetbleed.moc"
