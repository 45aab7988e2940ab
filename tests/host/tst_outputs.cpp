// What the built-in host puts out besides plot files: the PDF (settings by name, printable
// layers only), printing behind a dialog that tests answer, and its own window only where a
// screen is.
#include "HostTestSupport.h"
#include "builtin/HostWindow.h"

#include <QImage>
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
    const double w = doc->activePage->width, h = doc->activePage->height;
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
    if (!ok)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(name)));
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
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(errorPart));
    QVERIFY(!doc->dynamicCall(Member::PublishToPDF, {file}).isValid());
    QVERIFY2(doc->errorText().contains(errorPart), qPrintable(doc->errorText()));
    QVERIFY(file.isEmpty() || !QFile::exists(file));
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
    BuiltinHost::instance().printOutputFile = dir.filePath("printed.pdf");
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
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no screen"));
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

VX_REGISTER_HOST_TEST(TestOutputs)
#include "tst_outputs.moc"
