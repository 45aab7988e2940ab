// Timing of "Create Boundary" on a sheet of labels in the built-in host, the whole operation as
// the window runs it: "Cutting Layer" emptied, the union of the artwork's areas, the contours
// styled and broken apart. Each label is a filled rounded rectangle with a circle and three
// stroked text lines on it, so five shapes give one contour. Run with
//   --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// for medians; the goal for 1,000 labels is under a second.
//
// The 1,000-label sheet also comes from an SVG file, so that librsvg judges what its shapes draw.
//
// Stickers: an A4 sheet of 100 images (PNG with transparency, each a different irregular blob
// with a hole, 600 x 600 pixels for 17 mm, so no two share a trace), outlined with a 2 mm
// offset as `cutjob sheet --boundary-offset 2` does; the goal is under a second. With the
// argument 1, a 1 mm print bleed too (`--bleed 1`): the goal is under two seconds.

#include "PictureSheets.h"
#include "common/Units.h"
#include "host/CdrConnection.h"
#include "host/InProcessHost.h"
#include "host/builtin/BuiltinHost.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainterPath>
#include <QTemporaryDir>
#include <cmath>
#include <ctime>

#include <benchmark/benchmark.h>

namespace {

const QString HostId = QStringLiteral("CorelDraw.Application.17");
constexpr double LabelWidth = 30, LabelHeight = 20, Pitch = 34; // mm
constexpr int Columns = 40;

HostShape::Ptr addPath(HostDocument &doc, const HostLayer::Ptr &layer, const QPainterPath &mm)
{
    return doc.addShape(layer, QTransform::fromScale(1 / MM_PER_INCH, 1 / MM_PER_INCH).map(mm));
}

// A fresh host document of `labels` labels in a grid; only the artwork layer, as a user's sheet
// is before its first boundary.
void makeSheet(int labels)
{
    const int rows = (labels + Columns - 1) / Columns;
    BuiltinHost &host = BuiltinHost::instance();
    host.reset();
    HostDocument::Ptr doc =
        host.createDocument(Columns * Pitch / MM_PER_INCH, rows * Pitch / MM_PER_INCH);
    host.setActiveDocument(doc);
    const HostLayer::Ptr art = doc->activeLayer;
    for (int i = 0; i < labels; ++i) {
        const double x = (i % Columns) * Pitch + 2, y = (i / Columns) * Pitch + 2;
        QPainterPath label;
        label.addRoundedRect(x, y, LabelWidth, LabelHeight, 3, 3);
        addPath(*doc, art, label)->filled = true;
        QPainterPath circle;
        circle.addEllipse(QPointF(x + 8, y + 10), 5, 5);
        addPath(*doc, art, circle)->filled = true;
        for (int line = 0; line < 3; ++line) {
            QPainterPath text(QPointF(x + 15, y + 6 + 4 * line));
            text.lineTo(x + 27, y + 6 + 4 * line);
            addPath(*doc, art, text)->outlineWidthInches = 0.8 / MM_PER_INCH;
        }
    }
}

// "Create Boundary" on the active document as the window runs it, once per iteration; the sheet
// must give `expected` contours.
void timeBoundary(benchmark::State &state, int expected)
{
    int contours = 0, nodes = 0;
    double processCpu = 0; // on every thread, which the benchmark's CPU time (one thread) is not
    for (auto _ : state) {
        const std::clock_t start = std::clock();
        CdrConnection connection(HostId);
        if (!connection.createCutBoundary().ok()) {
            state.SkipWithError(qPrintable(connection.detail()));
            break;
        }
        processCpu += double(std::clock() - start) / CLOCKS_PER_SEC;
        state.PauseTiming();
        const HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
        const QList<HostShape::Ptr> cut = doc->findLayer(CdrConnection::CuttingLayer)->shapes;
        contours = cut.size();
        nodes = 0;
        for (const HostShape::Ptr &shape : cut)
            nodes += shape->path.elementCount();
        state.ResumeTiming();
    }
    if (contours != expected)
        state.SkipWithError("not one contour per label");
    state.counters["contours"] = contours;
    state.counters["nodes"] = nodes;
    state.counters["process_cpu_s"] =
        benchmark::Counter(processCpu, benchmark::Counter::kAvgIterations);
}

void createBoundary(benchmark::State &state)
{
    const int labels = static_cast<int>(state.range(0));
    makeSheet(labels);
    timeBoundary(state, labels);
}

BENCHMARK(createBoundary)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// The same sheet saved as SVG and opened again, as a user's sheet comes from a file: every shape
// read from it is judged by librsvg's drawing (once, coarsely, as all are plain).
void createBoundaryFromFile(benchmark::State &state)
{
    const int labels = static_cast<int>(state.range(0));
    makeSheet(labels);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("labels.svg"));
    BuiltinHost &host = BuiltinHost::instance();
    if (const Result<> saved = host.saveDocument(host.activeDocument(), path); !saved) {
        state.SkipWithError(qPrintable(saved.error()));
        return;
    }
    host.reset();
    if (const Result<HostDocument::Ptr> opened = host.openDocument(path); !opened) {
        state.SkipWithError(qPrintable(opened.error()));
        return;
    }
    timeBoundary(state, labels);
}

BENCHMARK(createBoundaryFromFile)->Arg(1000)->Unit(benchmark::kMillisecond);

// A sheet written as SVG (user units millimetres) and opened as a user's file.
bool openSheet(benchmark::State &state, const QTemporaryDir &dir, double widthMm, double heightMm,
               const QString &body)
{
    QFile file(dir.filePath(QStringLiteral("sheet.svg")));
    const QByteArray svg = QStringLiteral("<svg xmlns='http://www.w3.org/2000/svg' "
                                          "width='%1mm' height='%2mm' viewBox='0 0 %1 %2'>%3</svg>")
                               .arg(widthMm)
                               .arg(heightMm)
                               .arg(body)
                               .toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(svg) != svg.size()) {
        state.SkipWithError("cannot write the sheet");
        return false;
    }
    file.close();
    BuiltinHost &host = BuiltinHost::instance();
    host.reset();
    if (const Result<HostDocument::Ptr> opened = host.openDocument(file.fileName()); !opened) {
        state.SkipWithError(qPrintable(opened.error()));
        return false;
    }
    return true;
}

// A big sheet: small filled circles (1 mm across, 2 mm apart), each its own contour.
void createCircleBoundary(benchmark::State &state)
{
    const int circles = static_cast<int>(state.range(0)), across = 400;
    QString body;
    for (int i = 0; i < circles; ++i)
        body += QStringLiteral("<circle cx='%1' cy='%2' r='0.5'/>")
                    .arg((i % across) * 2 + 3)
                    .arg((i / across) * 2 + 3);
    QTemporaryDir dir;
    if (openSheet(state, dir, across * 2 + 6, (circles / across) * 2 + 8, body))
        timeBoundary(state, circles);
}

BENCHMARK(createCircleBoundary)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// A big sheet of text: short lines of 3 mm letters, each a contour with a 2 mm offset.
void createTextBoundary(benchmark::State &state)
{
    const int texts = static_cast<int>(state.range(0)), across = 50;
    QString body;
    for (int i = 0; i < texts; ++i)
        body += QStringLiteral("<text x='%1' y='%2' font-family='DejaVu Sans' font-size='4'>"
                               "Label %3</text>")
                    .arg((i % across) * 30 + 5)
                    .arg((i / across) * 10 + 8)
                    .arg(i);
    QTemporaryDir dir;
    if (!openSheet(state, dir, across * 30 + 10, (texts / across) * 10 + 10, body))
        return;
    const InProcessHost::ScopedChoices margin({2 / MM_PER_INCH, {}, {}});
    timeBoundary(state, texts);
}

BENCHMARK(createTextBoundary)->Arg(1000)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

void createStickerBoundary(benchmark::State &state)
{
    constexpr int Stickers = 100;
    QTemporaryDir dir;
    QFile file(dir.filePath("stickers.svg"));
    const QByteArray svg = stickerSheetSvg(Stickers);
    if (!file.open(QIODevice::WriteOnly) || file.write(svg) != svg.size()) {
        state.SkipWithError("cannot write the sheet");
        return;
    }
    file.close();
    BuiltinHost &host = BuiltinHost::instance();
    host.reset();
    if (const Result<HostDocument::Ptr> opened = host.openDocument(file.fileName()); !opened) {
        state.SkipWithError(qPrintable(opened.error()));
        return;
    }
    const InProcessHost::ScopedChoices marginAndBleed(
        {2 / MM_PER_INCH, static_cast<double>(state.range(0)) / MM_PER_INCH, {}});
    timeBoundary(state, Stickers);
}

BENCHMARK(createStickerBoundary)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // Text is laid out with Qt's fonts, which need a GUI application (without a screen).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
