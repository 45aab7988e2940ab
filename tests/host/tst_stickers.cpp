// Sticker contours: "Create Boundary" around what images and text visibly cover, one contour per
// island and none around a hole, grown by the boundary offset.
#include "HostTestSupport.h"
#include "StickerSheet.h"
#include "builtin/render/RsvgPageRenderer.h"
#include "host/CdrConnection.h"
#include "host/InProcessHost.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <cmath>
#include <sys/stat.h>

using namespace HostTest;

namespace {

constexpr double PageHeightMm = 297;
const QString StickerData = QStringLiteral(VX_TEST_DATA_DIR "/host/stickers/");

double segmentDistance(const QPointF &p, const QPointF &a, const QPointF &b)
{
    const QPointF ab = b - a, ap = p - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double t = length2 > 0 ? std::clamp(QPointF::dotProduct(ap, ab) / length2, 0.0, 1.0) : 0;
    const QPointF d = ap - ab * t;
    return std::hypot(d.x(), d.y());
}

double distanceToOutlines(const QPointF &p, const QList<QPolygonF> &outlines)
{
    double best = 1e9;
    for (const QPolygonF &poly : outlines) {
        for (int k = 0; k + 1 < poly.size(); ++k)
            best = std::min(best, segmentDistance(p, poly.at(k), poly.at(k + 1)));
    }
    return best;
}

// Positive outside the area, negative inside.
double signedDistance(const QPointF &p, const QList<QPolygonF> &area)
{
    const double d = distanceToOutlines(p, area);
    bool inside = false;
    for (const QPolygonF &poly : area)
        inside ^= poly.containsPoint(p, Qt::OddEvenFill);
    return inside ? -d : d;
}

// The boundary curves on "Cutting Layer", in sheet millimetres (y down).
QList<QPolygonF> cuttingContours()
{
    QList<QPolygonF> contours;
    const HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    const HostLayer::Ptr layer = doc->findLayer(CdrConnection::CuttingLayer);
    if (!layer)
        return contours;
    const QTransform toSheet =
        QTransform::fromScale(MmPerInch, -MmPerInch) * QTransform::fromTranslate(0, PageHeightMm);
    for (const HostShape::Ptr &shape : layer->shapes) {
        for (const QPolygonF &poly : shape->path.toSubpathPolygons())
            contours << toSheet.map(poly);
    }
    return contours;
}

bool createBoundary(const QString &sheet, double offsetMm)
{
    BuiltinHost &host = BuiltinHost::instance();
    host.reset();
    if (!host.openDocument(sheet))
        return false;
    const InProcessHost::ScopedChoices margin({offsetMm / MmPerInch, {}, {}});
    return CdrConnection(QStringLiteral("CorelDraw.Application.14")).createCutBoundary().ok();
}

QString sheetWith(const QString &folder, const QString &images)
{
    const QString path = QDir(folder).filePath("one.svg");
    QFile file(path);
    const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' "
                           "xmlns:xlink='http://www.w3.org/1999/xlink' width='210mm' "
                           "height='297mm' viewBox='0 0 210 297'>" +
                           images.toUtf8() + "</svg>";
    return file.open(QIODevice::WriteOnly) && file.write(svg) == svg.size() ? path : QString();
}

} // namespace

class TestStickers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void contoursFollowStickers_data();
    void contoursFollowStickers();
    void otherProgramsPictures_data();
    void otherProgramsPictures();
    void unprintablePictureNeitherPrintedNorCut_data();
    void unprintablePictureNeitherPrintedNorCut();
    void heavySheetPublishes();

private:
    QTemporaryDir dir;
    StickerSheet sheet;
};

void TestStickers::initTestCase()
{
    BuiltinHost::setWindowAllowed(false);
    QVERIFY(dir.isValid());
    sheet = writeStickerSheet(dir.path());
    QCOMPARE(sheet.stickers.size(), 24);
}

void TestStickers::cleanupTestCase()
{
    BuiltinHost::instance().reset();
    BuiltinHost::useDefaultWindowPolicy();
}

void TestStickers::contoursFollowStickers_data()
{
    QTest::addColumn<double>("offsetMm");
    QTest::newRow("no offset: the outline itself") << 0.0;
    QTest::newRow("1.5 mm offset") << 1.5;
    QTest::newRow("2 mm offset") << 2.0;
    QTest::newRow("3 mm offset") << 3.0;
}

// Every vertex of each sticker's one contour lies the offset away from what it covers (within
// 0.1 mm), and the contour comes that near every point of its outline: holes, the dot inside a
// hole and the gaps between letters get no contour.
void TestStickers::contoursFollowStickers()
{
    QFETCH(double, offsetMm);
    QVERIFY(createBoundary(sheet.svgPath, offsetMm));
    const QList<QPolygonF> contours = cuttingContours();
    for (const Sticker &sticker : sheet.stickers) {
        const QList<QPolygonF> area = sticker.area.toSubpathPolygons();
        QList<QPolygonF> mine;
        for (const QPolygonF &contour : contours) {
            if (sticker.cell.contains(contour.boundingRect().center()))
                mine << contour;
        }
        QVERIFY2(mine.size() == 1,
                 qPrintable(QStringLiteral("%1: %2 contours").arg(sticker.name).arg(mine.size())));
        double worst = 0;
        for (const QPointF &p : mine.first())
            worst = std::max(worst, std::abs(signedDistance(p, area) - offsetMm));
        for (int k = 0; k < sticker.outerOutline.size(); k += 5) {
            const double d = distanceToOutlines(sticker.outerOutline.at(k), mine);
            worst = std::max(worst, offsetMm > 0 ? offsetMm - d : d);
        }
        // A disc's contour, its nodes and the middle of its chords, keeps within 0.05 mm of the
        // circle the offset makes, however few nodes its arcs have.
        const QPolygonF &contour = mine.first();
        for (int k = 1; sticker.name.startsWith("disc") && k < contour.size(); ++k) {
            const QPointF middle = (contour.at(k - 1) + contour.at(k)) / 2;
            for (const QPointF &p : {contour.at(k), middle})
                QVERIFY2(std::abs(signedDistance(p, area) - offsetMm) <= 0.05,
                         qPrintable(sticker.name));
        }
        // Text has no analytic outline: it is checked against Qt's layout of the same font,
        // which differs from librsvg's (what is printed) by up to about a tenth of a millimetre.
        QVERIFY2(worst <= (sticker.outerOutline.isEmpty() ? 0.15 : 0.1),
                 qPrintable(QStringLiteral("%1: %2 mm off").arg(sticker.name).arg(worst)));
    }
    QCOMPARE(contours.size(), sheet.stickers.size());
}

void TestStickers::otherProgramsPictures_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("pixels");
    QTest::newRow("full-colour icon with a soft shadow") << "user-trash.png" << 256;
    QTest::newRow("symbolic face whose eyes and mouth are holes") << "face-cool-symbolic.png" << 96;
}

// Pictures drawn by other programs: one contour that holds every pixel clearly opaque and keeps
// within a pixel and the simplification of those at least a quarter opaque.
void TestStickers::otherProgramsPictures()
{
    QFETCH(QString, file);
    QFETCH(int, pixels);
    const QRectF placed(50, 60, 40, 40); // mm
    const QString path = sheetWith(
        dir.path(), QStringLiteral("<image x='%1' y='%2' width='%3' height='%4' xlink:href='%5'/>")
                        .arg(placed.x())
                        .arg(placed.y())
                        .arg(placed.width())
                        .arg(placed.height())
                        .arg(QUrl::fromLocalFile(StickerData + file).toString()));
    QVERIFY(createBoundary(path, 0));
    const QList<QPolygonF> contours = cuttingContours();
    QCOMPARE(contours.size(), 1);
    QImage image(StickerData + file);
    image = image.convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.width(), pixels);
    const double mmPerPixel = placed.width() / pixels;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QPointF centre = placed.topLeft() + QPointF(x + 0.5, y + 0.5) * mmPerPixel;
            QVERIFY2(qAlpha(image.pixel(x, y)) < 192 ||
                         contours.first().containsPoint(centre, Qt::OddEvenFill),
                     qPrintable(QStringLiteral("pixel %1, %2 left out").arg(x).arg(y)));
        }
    }
    const double reach = std::sqrt(2.0) + 0.05 / mmPerPixel; // pixels
    for (const QPointF &p : contours.first()) {
        const QPointF at = (p - placed.topLeft()) / mmPerPixel - QPointF(0.5, 0.5);
        bool near = false;
        for (int y = int(at.y() - reach); y <= int(at.y() + reach) + 1 && !near; ++y) {
            for (int x = int(at.x() - reach); x <= int(at.x() + reach) + 1 && !near; ++x)
                near = image.valid(x, y) && qAlpha(image.pixel(x, y)) > 64 &&
                       std::hypot(x - at.x(), y - at.y()) <= reach;
        }
        QVERIFY2(
            near,
            qPrintable(QStringLiteral("the contour strays to %1, %2 mm").arg(p.x()).arg(p.y())));
    }
}

void TestStickers::unprintablePictureNeitherPrintedNorCut_data()
{
    QTest::addColumn<QString>("href");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("boxCut");
    QTest::newRow("missing file") << "no-such-picture.png"
                                  << "no-such-picture.png: no such file" << false;
    QTest::newRow("a FIFO beside the sheet is never waited on") << "fifo.png"
                                                                << "not a regular file" << false;
    QTest::newRow("data that is no picture") << "data:image/png;base64,bm90IGEgcGljdHVyZQ=="
                                             << "only PNG and JPEG" << false;
    QTest::newRow("a picture on the network is never fetched")
        << "http://127.0.0.1:9/x.png"
        << "nothing from the network" << false;
    QTest::newRow("a GIF librsvg could draw is left out of the print too")
        << "data:image/gif;base64,R0lGODlhAQABAIAAAAAAAP///ywAAAAAAQABAAACAUwAOw=="
        << "only PNG and JPEG" << false;
    QTest::newRow("a flat colour: its box is cut")
        << "data:image/"
           "png;base64,iVBORw0KGgoAAAANSUhEUgAAAAQAAAACCAIAAADwyuo0AAAAEElEQVR42mM4oaEBRw"
           "zIHAB22gjBHLtS3wAAAABJRU5ErkJggg=="
        << "outlined by its box" << true;
}

// A picture the host cannot take is left out of the print and of the cut, and the note names it.
void TestStickers::unprintablePictureNeitherPrintedNorCut()
{
    QFETCH(QString, href);
    QFETCH(QString, reason);
    QFETCH(bool, boxCut);
    QVERIFY(::mkfifo(qPrintable(dir.filePath("fifo.png")), 0600) == 0 || errno == EEXIST);
    const QString path = sheetWith(
        dir.path(),
        QStringLiteral("<image id='broken' x='10' y='20' width='30' height='15' xlink:href='%1'/>")
            .arg(href));
    QVERIFY(createBoundary(path, 0));
    const QList<QPolygonF> contours = cuttingContours();
    QCOMPARE(contours.size(), boxCut ? 1 : 0);
    if (boxCut)
        QVERIFY(std::abs(contours.first().boundingRect().width() - 30) < 0.01);
    const HostDocument &doc = *BuiltinHost::instance().activeDocument();
    const QString notes = doc.notes.join('\n');
    const QString note =
        boxCut ? "shows nothing but its border colour" : "is neither printed nor cut";
    QVERIFY2(notes.contains("1 picture " + note) && notes.contains(reason), qPrintable(notes));
    const Result<QImage> page = RsvgPageRenderer::image(doc, {105, 148}, true);
    QVERIFY(page && qAlpha(page->pixel(12, 12)) == (boxCut ? 255 : 0));
}

// Regression: a sheet of embedded photos over 10 MB made no PDF ("premature end of data").
void TestStickers::heavySheetPublishes()
{
    QImage photo(640, 640, QImage::Format_ARGB32);
    photo.fill(QColor(10, 120, 200, 200));
    QByteArray png;
    QBuffer buffer(&png);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && photo.save(&buffer, "PNG", 100)); // stored
    QString images;
    for (int i = 0; i < 6; ++i)
        images += QStringLiteral("<image x='%1' y='10' width='30' height='30' "
                                 "xlink:href='data:image/png;base64,%2'/>")
                      .arg(10 + 32 * i)
                      .arg(QString::fromLatin1(png.toBase64()));
    const QString path = sheetWith(dir.path(), images);
    QVERIFY(QFileInfo(path).size() > 10'000'000);
    BuiltinHost &host = BuiltinHost::instance();
    host.reset();
    const Result<HostDocument::Ptr> opened = host.openDocument(path);
    QVERIFY2(opened, qPrintable(opened.error()));
    const Result<QByteArray> pdf = RsvgPageRenderer::pdf(*host.activeDocument());
    QVERIFY2(pdf, qPrintable(pdf.error()));
    QVERIFY(pdf->startsWith("%PDF-"));
}

QTEST_MAIN(TestStickers)
#include "tst_stickers.moc"
