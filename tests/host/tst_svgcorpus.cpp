// Drawings made by other programs (tests/data/host/corpus: public clip art and icons) through the
// built-in host: opened and saved they come back byte for byte (a root without a namespace
// declaration gains only that); with marks added and jobs built, whose exports stretch the
// artwork and back, the saved sheet with its working layers taken out looks like the original
// under librsvg, a renderer independent of the host's reading.

#include "host/CdrConnection.h"
#include "host/builtin/BuiltinHost.h"
#include "job/JobPreparation.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <algorithm>
#include <cstdlib>

namespace {

const QString HostId = QStringLiteral("CorelDraw.Application.17");
const QString CorpusDir = QStringLiteral(VX_TEST_DATA_DIR "/host/corpus");
const QString InkscapeNs = QStringLiteral("http://www.inkscape.org/namespaces/inkscape");
const QStringList WorkingLayers{"Assist Layer", "Mark Layer", "Extra Layer", "Cutting Layer",
                                "Creasing Layer"};

// Rendering: a fixed size, so that both renders compare pixel for pixel. A pixel differs when a
// channel moves by more than a step that anti-aliasing of the same edge does not reach, and a
// sheet looks the same while at most a sliver of its pixels differ.
constexpr int RenderSize = 256;
constexpr int ChannelStep = 32;
constexpr double DifferingShare = 0.002;
constexpr int RenderTimeoutMs = 30000;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Where two texts first differ, with a little of each side, for a failure message.
QString firstDifference(const QByteArray &a, const QByteArray &b)
{
    const auto at = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    const int offset = int(at.first - a.begin());
    const auto excerpt = [offset](const QByteArray &text) {
        return QString::fromUtf8(text.mid(qMax(0, offset - 20), 80)).replace('\n', "\\n");
    };
    return QStringLiteral("first difference at byte %1 of %2/%3:\n  original: %4\n  saved:    %5")
        .arg(offset)
        .arg(a.size())
        .arg(b.size())
        .arg(excerpt(a), excerpt(b));
}

// What saving an unchanged document must write: the file's own text, except that a root <svg>
// without a namespace declaration gains the SVG one (other renderers read such a file as SVG,
// and the saved file must say so).
QByteArray expectedAfterSave(const QByteArray &original)
{
    const QString text = QString::fromUtf8(original);
    QXmlStreamReader reader(text);
    while (!reader.atEnd() && reader.readNext() != QXmlStreamReader::StartElement) {
    }
    if (!reader.isStartElement() || !reader.namespaceUri().isEmpty())
        return original;
    const int tag = text.lastIndexOf('<', int(reader.characterOffset()) - 1);
    const int afterName = text.left(tag).toUtf8().size() + int(qstrlen("<svg"));
    return QByteArray(original).insert(afterName, " xmlns=\"http://www.w3.org/2000/svg\"");
}

// The SVG text without the layers (Inkscape layer groups) of the given names; empty with an
// error when the text is not well-formed.
QByteArray withoutLayers(const QByteArray &svg, const QStringList &names, QString *error)
{
    const QString text = QString::fromUtf8(svg);
    QXmlStreamReader reader(text);
    QList<QPair<qint64, qint64>> cuts;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = reader.attributes();
        if (reader.name() == QLatin1String("g") &&
            a.value(InkscapeNs, "groupmode") == QLatin1String("layer") &&
            names.contains(a.value(InkscapeNs, "label").toString())) {
            // The reader stands after the start tag; no '<' can occur inside a tag.
            const qint64 start = text.lastIndexOf('<', int(reader.characterOffset()) - 1);
            reader.skipCurrentElement();
            cuts.append({start, reader.characterOffset()});
        }
    }
    if (reader.hasError()) {
        *error = reader.errorString();
        return {};
    }
    QString kept = text;
    for (int i = cuts.size() - 1; i >= 0; --i)
        kept.remove(int(cuts.at(i).first), int(cuts.at(i).second - cuts.at(i).first));
    return kept.toUtf8();
}

// The SVG file rendered by rsvg-convert; a null image with the reason on failure.
QImage render(const QString &svgPath, QString *error)
{
    const QString program = QStandardPaths::findExecutable("rsvg-convert");
    if (program.isEmpty()) {
        *error = "rsvg-convert is not installed (Debian package librsvg2-bin)";
        return {};
    }
    const QString png = svgPath + ".png";
    QProcess process;
    process.start(program, {"-w", QString::number(RenderSize), "-h", QString::number(RenderSize),
                            "-f", "png", "-o", png, svgPath});
    if (!process.waitForFinished(RenderTimeoutMs)) {
        process.kill();
        process.waitForFinished(RenderTimeoutMs);
        *error = "rsvg-convert did not finish on " + svgPath;
        return {};
    }
    if (process.exitCode() != 0) {
        *error = "rsvg-convert failed: " + QString::fromUtf8(process.readAllStandardError());
        return {};
    }
    return QImage(png).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// How many pixels differ by more than ChannelStep in any channel.
int differingPixels(const QImage &a, const QImage &b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto *pa = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *pb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int d = qMax(
                qMax(std::abs(qRed(pa[x]) - qRed(pb[x])), std::abs(qGreen(pa[x]) - qGreen(pb[x]))),
                qMax(std::abs(qBlue(pa[x]) - qBlue(pb[x])),
                     std::abs(qAlpha(pa[x]) - qAlpha(pb[x]))));
            if (d > ChannelStep)
                ++count;
        }
    }
    return count;
}

void corpusRows()
{
    QTest::addColumn<QString>("path");
    const QDir dir(CorpusDir);
    const QStringList files = dir.entryList({"*.svg"}, QDir::Files, QDir::Name);
    QVERIFY2(files.size() >= 24, qPrintable("too few drawings in " + CorpusDir));
    for (const QString &name : files)
        QTest::newRow(qPrintable(name)) << dir.filePath(name);
}

// The drawing alone in a fresh built-in host, as the window's --document opens it.
Result<HostDocument::Ptr> openInFreshHost(const QString &path)
{
    BuiltinHost::instance().reset();
    return BuiltinHost::instance().openDocument(path);
}

} // namespace

class SvgCorpusTest : public QObject
{
    Q_OBJECT

private slots:
    void openThenSaveIsIdentical_data() { corpusRows(); }
    void openThenSaveIsIdentical();
    void markedJobLeavesArtworkAsDrawn_data() { corpusRows(); }
    void markedJobLeavesArtworkAsDrawn();
};

void SvgCorpusTest::openThenSaveIsIdentical()
{
    QFETCH(QString, path);
    BuiltinHost &host = BuiltinHost::instance();
    const Result<HostDocument::Ptr> docRead = openInFreshHost(path);
    QVERIFY2(docRead, qPrintable(docRead.error()));
    const HostDocument::Ptr doc = *docRead;
    QTemporaryDir dir;
    const QString saved = dir.filePath("saved.svg");
    const Result<> stored = host.saveDocument(doc, saved);
    QVERIFY2(stored, qPrintable(stored.error()));
    const QByteArray expected = expectedAfterSave(readFile(path));
    const QByteArray written = readFile(saved);
    QVERIFY2(written == expected, qPrintable(firstDifference(expected, written)));
}

void SvgCorpusTest::markedJobLeavesArtworkAsDrawn()
{
    QFETCH(QString, path);
    BuiltinHost &host = BuiltinHost::instance();
    QString error;
    const Result<HostDocument::Ptr> docRead = openInFreshHost(path);
    QVERIFY2(docRead, qPrintable(docRead.error()));
    const HostDocument::Ptr doc = *docRead;
    QTemporaryDir dir;
    {
        CdrConnection conn(HostId);
        const Result<> withMarks = conn.addMarks();
        QVERIFY2(withMarks, qPrintable(withMarks.error()));
        // The blank-cut job stretches the printable artwork itself (so it must have exported
        // some), the mark job the working layers.
        const Result<PreparedJob> blank =
            prepareJob(conn, true, JobOptions(), dir.filePath("b.plt"));
        QVERIFY2(blank.ok(), qPrintable(blank.error() + " " + conn.detail()));
        QVERIFY(blank->cuttingExport.contains("PD"));
        const Result<PreparedJob> marked =
            prepareJob(conn, false, JobOptions(), dir.filePath("m.plt"));
        QVERIFY2(marked.ok(), qPrintable(marked.error() + " " + conn.detail()));
    }
    const QString saved = dir.filePath("saved.svg");
    const Result<> stored = host.saveDocument(doc, saved);
    QVERIFY2(stored, qPrintable(stored.error()));
    const QByteArray stripped = withoutLayers(readFile(saved), WorkingLayers, &error);
    QVERIFY2(!stripped.isEmpty(), qPrintable("the saved file is not well-formed: " + error));
    const QString strippedPath = dir.filePath("stripped.svg");
    const QString originalPath = dir.filePath("original.svg");
    QVERIFY(writeFile(strippedPath, stripped));
    QVERIFY(QFile::copy(path, originalPath));

    const QImage before = render(originalPath, &error);
    QVERIFY2(!before.isNull(), qPrintable(error));
    const QImage after = render(strippedPath, &error);
    QVERIFY2(!after.isNull(), qPrintable(error));
    QCOMPARE(after.size(), before.size());
    const int differing = differingPixels(before, after);
    QVERIFY2(differing <= DifferingShare * RenderSize * RenderSize,
             qPrintable(QStringLiteral("%1 of %2 pixels differ; %3")
                            .arg(differing)
                            .arg(RenderSize * RenderSize)
                            .arg(firstDifference(readFile(path), stripped))));
}

int main(int argc, char **argv)
{
    // The host reads text through QtSvg, which needs a GUI application for its fonts.
    QApplication app(argc, argv);
    SvgCorpusTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_svgcorpus.moc"
