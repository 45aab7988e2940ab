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
// offset as `cutjob sheet --boundary-offset 2` does; the goal is under a second.

#include "PictureSheets.h"
#include "common/Units.h"
#include "host/CdrConnection.h"
#include "host/builtin/BuiltinHost.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainterPath>
#include <QTemporaryDir>

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
            addPath(*doc, art, text)->outlineWidth = 0.8 / MM_PER_INCH;
        }
    }
}

// "Create Boundary" on the active document as the window runs it, once per iteration; the sheet
// must give `expected` contours.
void timeBoundary(benchmark::State &state, int expected)
{
    int contours = 0;
    for (auto _ : state) {
        CdrConnection connection(HostId);
        if (!connection.createCutBoundary().ok()) {
            state.SkipWithError(qPrintable(connection.detail()));
            break;
        }
        state.PauseTiming();
        const HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
        contours = doc->findLayer(CdrConnection::CuttingLayer)->shapes.size();
        state.ResumeTiming();
    }
    if (contours != expected)
        state.SkipWithError("not one contour per label");
    state.counters["contours"] = contours;
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
    host.setBoundaryOffset(2 / MM_PER_INCH);
    timeBoundary(state, Stickers);
}

BENCHMARK(createStickerBoundary)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
