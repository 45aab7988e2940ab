// What the built-in host puts out besides plot files: the PDF (settings by name, printable
// layers only, at the sheet's size, drawn as rsvg-convert draws the drawing), printing behind a
// dialog that tests answer (the same page as the PDF), the window's page view, and its own
// window only where a screen is.
#include "HostTestSupport.h"
#include "builtin/HostWindow.h"
#include "builtin/render/PageRenderer.h"
#include "host/InProcessHost.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace HostTest;

namespace {

// A page with black artwork on its left half (printable) and a black cut area on its right half
// on "Cutting Layer", which the caller makes printable or not.
void paintHalves(bool cuttingPrintable)
{
    HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    const double w = doc->activePage->widthInches, h = doc->activePage->heightInches;
    addRectangle(doc->activeLayer, QRectF(0.5, 0.5, w / 2 - 1, h - 1))->filled = true;
    auto cutting = std::make_shared<HostLayer>();
    cutting->name = "Cutting Layer";
    cutting->printable = cuttingPrintable;
    doc->activePage->layers.append(cutting);
    addRectangle(cutting, QRectF(w / 2 + 0.5, 0.5, w / 2 - 1, h - 1))->filled = true;
}

// The first page of a PDF as a small grey image, through poppler's pdftoppm.
QImage rasterise(const QString &pdf, const QString &dir)
{
    QProcess p;
    p.start("pdftoppm", {"-r", "10", "-gray", "-png", "-singlefile", pdf, dir + "/page"});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QImage(dir + "/page.png");
}

bool isDark(const QImage &image, double fx, double fy)
{
    return qGray(image.pixel(int(image.width() * fx), int(image.height() * fy))) < 128;
}

// Runs a tool to its end; false when it failed or is missing.
bool runTool(const QString &program, const QStringList &args, QByteArray *output = nullptr)
{
    if (QStandardPaths::findExecutable(program).isEmpty())
        return false;
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return false;
    if (output)
        *output = p.readAllStandardOutput();
    return true;
}

// A PDF's first page in colour at `dpi`.
QImage rasterise(const QString &pdf, const QString &dir, int dpi)
{
    const QString stem = dir + "/colour";
    QFile::remove(stem + ".png");
    if (!runTool("pdftoppm", {"-png", "-singlefile", "-r", QString::number(dpi), pdf, stem}))
        return {};
    return QImage(stem + ".png").convertToFormat(QImage::Format_RGB32);
}

// A PDF's first page in colour at exactly `size` pixels.
QImage rasterise(const QString &pdf, const QString &dir, const QSize &size)
{
    const QString stem = dir + "/colour";
    QFile::remove(stem + ".png");
    if (!runTool("pdftoppm", {"-png", "-singlefile", "-scale-to-x", QString::number(size.width()),
                              "-scale-to-y", QString::number(size.height()), pdf, stem}))
        return {};
    return QImage(stem + ".png").convertToFormat(QImage::Format_RGB32);
}

bool alike(QRgb p, QRgb q)
{
    return qAbs(qRed(p) - qRed(q)) <= 40 && qAbs(qGreen(p) - qGreen(q)) <= 40 &&
           qAbs(qBlue(p) - qBlue(q)) <= 40;
}

// The share of pixels (0..1) of `a` with no pixel of like colour at or next to the same place in
// `b`: renderers may place an edge a pixel apart, which is no fault.
double differingShare(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return 1.0;
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            bool matched = false;
            for (int dy = -1; dy <= 1 && !matched; ++dy) {
                for (int dx = -1; dx <= 1 && !matched; ++dx) {
                    const QPoint q(x + dx, y + dy);
                    matched = b.rect().contains(q) && alike(a.pixel(x, y), b.pixel(q));
                }
            }
            differing += matched ? 0 : 1;
        }
    }
    return double(differing) / (a.width() * a.height());
}

// A 100 x 100 mm drawing that QtSvg would draw wrongly: a square clipped to a disc, a square
// masked to its left half, a yellow square a filter floods black, a square and a text filled by a
// CSS class; and a black strip on a "Cutting Layer" that must never print.
QByteArray richDrawing(bool withCuttingLayer)
{
    QByteArray svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" width=\"100mm\" "
        "height=\"100mm\" viewBox=\"0 0 100 100\">\n"
        "<style>.ink { fill: #000 }</style>\n"
        "<defs><clipPath id=\"disc\"><circle cx=\"25\" cy=\"25\" r=\"15\"/></clipPath>\n"
        "<mask id=\"left\"><rect x=\"50\" y=\"0\" width=\"25\" height=\"50\" "
        "fill=\"#fff\"/></mask>\n"
        "<filter id=\"flood\" x=\"0\" y=\"0\" width=\"1\" height=\"1\"><feFlood "
        "flood-color=\"#000\"/><feComposite in2=\"SourceGraphic\" operator=\"in\"/></filter>"
        "</defs>\n"
        "<g inkscape:groupmode=\"layer\" inkscape:label=\"Artwork\">\n"
        "<rect x=\"0\" y=\"0\" width=\"50\" height=\"50\" clip-path=\"url(#disc)\"/>\n"
        "<rect x=\"50\" y=\"0\" width=\"50\" height=\"50\" mask=\"url(#left)\"/>\n"
        "<rect x=\"10\" y=\"60\" width=\"30\" height=\"30\" fill=\"#ff0\" "
        "filter=\"url(#flood)\"/>\n"
        "<rect class=\"ink\" x=\"60\" y=\"60\" width=\"30\" height=\"30\" fill=\"#ff0\"/>\n"
        "<text class=\"ink\" x=\"5\" y=\"57\" style=\"font-family: DejaVu Sans; font-size: 6px\">"
        "Label 1</text>\n"
        "</g>\n";
    if (withCuttingLayer)
        svg += "<g inkscape:groupmode=\"layer\" inkscape:label=\"Cutting Layer\">"
               "<rect x=\"93\" y=\"2\" width=\"5\" height=\"96\"/></g>\n";
    return svg + "</svg>\n";
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// Opens an SVG file in the host, its "Cutting Layer" (if any) not printing, as "Setup Print"
// leaves it; returns the document's automation object.
AutomationHandle openForPrint(AutomationObject &app, const QString &svgPath)
{
    const Result<HostDocument::Ptr> doc = BuiltinHost::instance().openDocument(svgPath);
    if (!doc)
        qWarning("cannot open %s: %s", qPrintable(svgPath), qPrintable(doc.error()));
    else if (HostLayer::Ptr cutting = (*doc)->findLayer("Cutting Layer"))
        cutting->printable = false;
    return document(app);
}

} // namespace

class TestOutputs : public QObject
{
    Q_OBJECT
private slots:
    void pdfSettings_data();
    void pdfSettings();
    void pdfHoldsPrintableLayersOnly_data();
    void pdfHoldsPrintableLayersOnly();
    void pdfNeedsAWritableName_data();
    void pdfNeedsAWritableName();
    void pdfPageAtTheSheetsSize_data();
    void pdfPageAtTheSheetsSize();
    void pdfShowsWhatTheDrawingShows_data();
    void pdfShowsWhatTheDrawingShows();
    void pdfDrawnAsRsvgConvertDraws_data();
    void pdfDrawnAsRsvgConvertDraws();
    void pageViewDrawsFullSvg_data();
    void pageViewDrawsFullSvg();
    void printedPageMatchesThePdf_data();
    void printedPageMatchesThePdf();
    void printFollowsTheDialog_data();
    void printFollowsTheDialog();
    void noPrintDialogWithoutScreen();
    void windowOnlyWhereAScreenIs_data();
    void windowOnlyWhereAScreenIs();
};

void TestOutputs::pdfSettings_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("ok");
    QTest::newRow("author text") << "Author" << QVariant("Administrator") << true;
    QTest::newRow("empty password") << "OpenPassword" << QVariant(QString()) << true;
    QTest::newRow("version number") << "pdfVersion" << QVariant(6) << true;
    QTest::newRow("bleed number") << "Bleed" << QVariant(31750) << true;
    QTest::newRow("flag") << "TextAsCurves" << QVariant(false) << true;
    QTest::newRow("flag from a word") << "EmbedFonts" << QVariant("maybe") << false;
    QTest::newRow("number from a word") << "JPEGQualityFactor" << QVariant("high") << false;
    QTest::newRow("name in another case") << "author" << QVariant("x") << false;
    QTest::newRow("unknown name") << "Watermark" << QVariant("x") << false;
}

void TestOutputs::pdfSettings()
{
    QFETCH(QString, name);
    QFETCH(QVariant, value);
    QFETCH(bool, ok);
    AutomationHandle app = freshApplication();
    AutomationHandle settings = document(*app)->querySubObject(Member::PDFSettings);
    QVERIFY(!settings->isNull());
    QCOMPARE(settings->setProperty(name.toLatin1().constData(), value), ok);
    const QVariantMap kept = BuiltinHost::instance().activeDocument()->pdfSettings;
    QCOMPARE(kept.contains(name), ok);
    // A fresh settings object of the same document finds what was set.
    if (ok)
        QCOMPARE(kept.value(name).toString(), value.toString());
}

void TestOutputs::pdfHoldsPrintableLayersOnly_data()
{
    QTest::addColumn<bool>("cuttingPrintable");
    QTest::newRow("cutting layer not printing") << false;
    QTest::newRow("cutting layer printing") << true;
}

void TestOutputs::pdfHoldsPrintableLayersOnly()
{
    QFETCH(bool, cuttingPrintable);
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
        QSKIP("pdftoppm (poppler-utils) is not installed");
    AutomationHandle app = freshApplication();
    paintHalves(cuttingPrintable);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("sheet.pdf");
    AutomationHandle doc = document(*app);
    doc->dynamicCall(Member::PublishToPDF, {pdf});
    QCOMPARE(doc->errorText(), QString());
    const QImage page = rasterise(pdf, dir.path());
    QVERIFY(!page.isNull());
    // A4 at 10 dpi.
    QCOMPARE(page.width(), 83);
    QCOMPARE(page.height(), 117);
    QVERIFY(isDark(page, 0.25, 0.5));
    QCOMPARE(isDark(page, 0.75, 0.5), cuttingPrintable);
}

void TestOutputs::pdfNeedsAWritableName_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("errorPart");
    QTest::newRow("cancelled dialog gives no name") << ""
                                                    << "no file name";
    QTest::newRow("folder that does not exist") << "/no/such/folder/sheet.pdf"
                                                << "cannot write";
}

void TestOutputs::pdfNeedsAWritableName()
{
    QFETCH(QString, file);
    QFETCH(QString, errorPart);
    AutomationHandle app = freshApplication();
    AutomationHandle doc = document(*app);
    QVERIFY(!doc->dynamicCall(Member::PublishToPDF, {file}).isValid());
    QVERIFY2(doc->errorText().contains(errorPart), qPrintable(doc->errorText()));
    QVERIFY(file.isEmpty() || !QFile::exists(file));
}

void TestOutputs::pdfPageAtTheSheetsSize_data()
{
    QTest::addColumn<double>("widthMm");
    QTest::addColumn<double>("heightMm");
    QTest::newRow("A4 sheet") << 210.0 << 297.0;
    QTest::newRow("label sheet of its own size") << 100.0 << 150.0;
    QTest::newRow("landscape sheet") << 297.0 << 210.0;
}

void TestOutputs::pdfPageAtTheSheetsSize()
{
    QFETCH(double, widthMm);
    QFETCH(double, heightMm);
    if (QStandardPaths::findExecutable("pdfinfo").isEmpty())
        QSKIP("pdfinfo (poppler-utils) is not installed");
    AutomationHandle app = freshApplication();
    BuiltinHost &host = BuiltinHost::instance();
    host.setActiveDocument(host.createDocument(inches(widthMm), inches(heightMm)));
    addRectangle(host.activeDocument()->activeLayer, QRectF(0.2, 0.2, 1, 1))->filled = true;
    QTemporaryDir dir;
    const QString pdf = dir.filePath("sheet.pdf");
    AutomationHandle doc = document(*app);
    doc->dynamicCall(Member::PublishToPDF, {pdf});
    QCOMPARE(doc->errorText(), QString());
    QByteArray info;
    QVERIFY(runTool("pdfinfo", {pdf}, &info));
    const QRegularExpressionMatch size =
        QRegularExpression("Page size:\\s+([0-9.]+) x ([0-9.]+) pts").match(QString(info));
    QVERIFY2(size.hasMatch(), info.constData());
    QVERIFY(qAbs(size.captured(1).toDouble() - widthMm / MM_PER_INCH * 72) < 0.01);
    QVERIFY(qAbs(size.captured(2).toDouble() - heightMm / MM_PER_INCH * 72) < 0.01);
    QVERIFY(QRegularExpression("Pages:\\s+1\\n").match(QString(info)).hasMatch());
    // Vector: the artwork is paths, not a picture of them.
    QByteArray images;
    QVERIFY(runTool("pdfimages", {"-list", pdf}, &images));
    QCOMPARE(images.count('\n'), 2); // the list's two header lines
}

void TestOutputs::pdfShowsWhatTheDrawingShows_data()
{
    QTest::addColumn<QPointF>("atMm"); // from the drawing's top-left corner
    QTest::addColumn<bool>("dark");
    QTest::newRow("clip path keeps the disc") << QPointF(25, 25) << true;
    QTest::newRow("clip path cuts away the square's corner") << QPointF(13, 13) << false;
    QTest::newRow("mask keeps the left half") << QPointF(62, 25) << true;
    QTest::newRow("mask hides the right half") << QPointF(88, 25) << false;
    QTest::newRow("filter floods the yellow square black") << QPointF(25, 75) << true;
    QTest::newRow("CSS class outweighs the fill attribute") << QPointF(75, 75) << true;
    QTest::newRow("non-printing cutting layer left out") << QPointF(95.5, 50) << false;
}

void TestOutputs::pdfShowsWhatTheDrawingShows()
{
    QFETCH(QPointF, atMm);
    QFETCH(bool, dark);
    AutomationHandle app = freshApplication();
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("rich.svg"), richDrawing(true)));
    AutomationHandle doc = openForPrint(*app, dir.filePath("rich.svg"));
    doc->dynamicCall(Member::PublishToPDF, {dir.filePath("rich.pdf")});
    QCOMPARE(doc->errorText(), QString());
    const QImage page = rasterise(dir.filePath("rich.pdf"), dir.path(), QSize(200, 200));
    if (page.isNull())
        QSKIP("pdftoppm (poppler-utils) is not installed");
    QCOMPARE(qGray(page.pixel(int(atMm.x() * 2), int(atMm.y() * 2))) < 128, dark);
}

void TestOutputs::pdfDrawnAsRsvgConvertDraws_data()
{
    QTest::addColumn<QString>("file"); // empty: the drawing with filter, mask and clip path
    QTest::addColumn<int>("width");    // pixels the page is compared at
    QTest::newRow("filter, mask, clip path and CSS") << QString() << 300;
    QTest::newRow("Illustrator clip art with clip paths")
        << "openclipart-cesto_architetto_frances_01.svg" << 300;
    QTest::newRow("Inkscape icon with gradients") << "tango-emblem-favorite.svg" << 240;
    QTest::newRow("Inkscape clip art") << "openclipart-mucca.svg" << 300;
}

void TestOutputs::pdfDrawnAsRsvgConvertDraws()
{
    QFETCH(QString, file);
    QFETCH(int, width);
    if (QStandardPaths::findExecutable("rsvg-convert").isEmpty())
        QSKIP("rsvg-convert (librsvg2-bin) is not installed");
    AutomationHandle app = freshApplication();
    QTemporaryDir dir;
    // The reference is the drawing as printed: without its non-printing layer.
    QString opened = dir.filePath("drawing.svg"), reference = dir.filePath("reference.svg");
    if (file.isEmpty()) {
        QVERIFY(writeFile(opened, richDrawing(true)));
        QVERIFY(writeFile(reference, richDrawing(false)));
    } else {
        opened = reference = QStringLiteral(VX_TEST_DATA_DIR "/host/corpus/") + file;
    }
    AutomationHandle doc = openForPrint(*app, opened);
    const HostPage &sheet = *BuiltinHost::instance().activeDocument()->activePage;
    const QSize size(width, qRound(width * sheet.heightInches / sheet.widthInches));
    doc->dynamicCall(Member::PublishToPDF, {dir.filePath("drawing.pdf")});
    QCOMPARE(doc->errorText(), QString());
    const QImage published = rasterise(dir.filePath("drawing.pdf"), dir.path(), size);
    QVERIFY(runTool("rsvg-convert",
                    {"-w", QString::number(size.width()), "-h", QString::number(size.height()),
                     "-b", "white", "-o", dir.filePath("reference.png"), reference}));
    const QImage expected =
        QImage(dir.filePath("reference.png")).convertToFormat(QImage::Format_RGB32);
    const double share = differingShare(published, expected);
    QVERIFY2(share < 0.01, qPrintable(QString("%1% of the pixels differ").arg(share * 100)));
}

void TestOutputs::pageViewDrawsFullSvg_data()
{
    QTest::addColumn<bool>("printableOnly");
    QTest::addColumn<QPointF>("atMm");
    QTest::addColumn<bool>("dark");
    QTest::newRow("clip path cuts away the square's corner") << false << QPointF(13, 13) << false;
    QTest::newRow("filter floods the yellow square black") << false << QPointF(25, 75) << true;
    QTest::newRow("window shows the non-printing layer") << false << QPointF(95.5, 50) << true;
    QTest::newRow("printable only leaves it out") << true << QPointF(95.5, 50) << false;
}

// What the host window's page view draws through PageRenderer.
void TestOutputs::pageViewDrawsFullSvg()
{
    QFETCH(bool, printableOnly);
    QFETCH(QPointF, atMm);
    QFETCH(bool, dark);
    AutomationHandle app = freshApplication();
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("rich.svg"), richDrawing(true)));
    openForPrint(*app, dir.filePath("rich.svg"));
    QImage view(240, 240, QImage::Format_RGB32);
    view.fill(Qt::white);
    {
        QPainter painter(&view);
        PageRenderer::render(painter, *BuiltinHost::instance().activeDocument(),
                             QRectF(20, 20, 200, 200), printableOnly);
    }
    QCOMPARE(qGray(view.pixel(20 + int(atMm.x() * 2), 20 + int(atMm.y() * 2))) < 128, dark);
}

void TestOutputs::printedPageMatchesThePdf_data()
{
    QTest::addColumn<QString>("file"); // empty: the drawing with filter, mask and clip path
    QTest::newRow("filter, mask, clip path and CSS") << QString();
    QTest::newRow("Inkscape icon with gradients") << "tango-emblem-favorite.svg";
}

void TestOutputs::printedPageMatchesThePdf()
{
    QFETCH(QString, file);
    AutomationHandle app = freshApplication();
    QTemporaryDir dir;
    QString opened = QStringLiteral(VX_TEST_DATA_DIR "/host/corpus/") + file;
    if (file.isEmpty()) {
        opened = dir.filePath("drawing.svg");
        QVERIFY(writeFile(opened, richDrawing(true)));
    }
    AutomationHandle doc = openForPrint(*app, opened);
    doc->dynamicCall(Member::PublishToPDF, {dir.filePath("published.pdf")});
    QCOMPARE(doc->errorText(), QString());
    const InProcessHost::ScopedChoices printTo({{}, {}, dir.filePath("printed.pdf")});
    BuiltinHost::instance().setPrintDialogAnswer([] { return true; });
    AutomationHandle settings = doc->querySubObject(Member::PrintSettings);
    QVERIFY(settings->dynamicCall(Member::ShowDialog).toBool());
    settings->dynamicCall(Member::PrintOut);
    QCOMPARE(settings->errorText(), QString());
    // At true size: a printer's paper is whole points, so a page of its own size may come out
    // a fraction of a point smaller, cut at its far edges, never scaled.
    const double width = BuiltinHost::instance().activeDocument()->activePage->widthInches;
    const int dpi = qRound(300 / width); // some 300 pixels across
    QImage published = rasterise(dir.filePath("published.pdf"), dir.path(), dpi);
    if (published.isNull())
        QSKIP("pdftoppm (poppler-utils) is not installed");
    QImage printed = rasterise(dir.filePath("printed.pdf"), dir.path(), dpi);
    QVERIFY(qAbs(printed.width() - published.width()) <= 1);
    QVERIFY(qAbs(printed.height() - published.height()) <= 1);
    const QRect common = published.rect() & printed.rect();
    published = published.copy(common);
    printed = printed.copy(common);
    const double share = differingShare(published, printed);
    QVERIFY2(share < 0.01, qPrintable(QString("%1% of the pixels differ").arg(share * 100)));
    BuiltinHost::instance().reset();
}

void TestOutputs::printFollowsTheDialog_data()
{
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("user confirms") << true;
    QTest::newRow("user cancels") << false;
}

void TestOutputs::printFollowsTheDialog()
{
    QFETCH(bool, confirmed);
    AutomationHandle app = freshApplication();
    paintHalves(false);
    QTemporaryDir dir;
    const InProcessHost::ScopedChoices printTo({{}, {}, dir.filePath("printed.pdf")});
    int asked = 0;
    BuiltinHost::instance().setPrintDialogAnswer([&asked, confirmed] {
        ++asked;
        return confirmed;
    });
    AutomationHandle settings = document(*app)->querySubObject(Member::PrintSettings);
    const QVariant answer = settings->dynamicCall(Member::ShowDialog);
    QCOMPARE(asked, 1);
    QCOMPARE(answer.toBool(), confirmed);
    if (answer.toBool())
        settings->dynamicCall(Member::PrintOut);
    QCOMPARE(settings->errorText(), QString());
    QCOMPARE(QFile::exists(dir.filePath("printed.pdf")), confirmed);
    BuiltinHost::instance().reset();
}

void TestOutputs::noPrintDialogWithoutScreen()
{
    AutomationHandle app = freshApplication();
    AutomationHandle settings = document(*app)->querySubObject(Member::PrintSettings);
    const QVariant answer = settings->dynamicCall(Member::ShowDialog);
    QVERIFY(!answer.toBool());
    QVERIFY(settings->errorText().contains("no screen"));
}

void TestOutputs::windowOnlyWhereAScreenIs_data()
{
    QTest::addColumn<int>("policy"); // -1 default, 0 never (cutjob), 1 allowed
    QTest::addColumn<bool>("shown");
    QTest::newRow("offscreen platform by default") << -1 << false;
    QTest::newRow("batch tool turned it off") << 0 << false;
    QTest::newRow("allowed") << 1 << true;
}

void TestOutputs::windowOnlyWhereAScreenIs()
{
    QFETCH(int, policy);
    QFETCH(bool, shown);
    AutomationHandle app = freshApplication();
    paintHalves(false);
    if (policy < 0)
        BuiltinHost::useDefaultWindowPolicy();
    else
        BuiltinHost::setWindowAllowed(policy == 1);
    app->dynamicCall(Member::SetVisible, {true});
    QVERIFY(BuiltinHost::instance().visible());
    HostWindow *window = BuiltinHost::instance().window();
    QCOMPARE(window != nullptr && window->isVisible(), shown);
    if (window) {
        const QImage picture = window->grab().toImage();
        // The page is drawn white on a grey desk, the layer list beside it.
        const QRgb pageCentre = picture.pixel((picture.width() - 190) / 2, picture.height() / 2);
        QCOMPARE(qGray(pageCentre), 255);
        QCOMPARE(window->layerLines(),
                 (QStringList{"Cutting Layer: not printing, 1 shape(s)", "> Layer 1: 1 shape(s)"}));
        QVERIFY(qGray(picture.pixel(2, 2)) < 255);
        app->dynamicCall(Member::SetVisible, {false});
        QVERIFY(!window->isVisible());
    }
    BuiltinHost::useDefaultWindowPolicy();
    BuiltinHost::instance().reset();
}

QTEST_MAIN(TestOutputs)
#include "tst_outputs.moc"
