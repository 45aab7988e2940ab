// Timing of "Create Boundary" on a sheet of labels in the built-in host, the whole operation as
// the window runs it: "Cutting Layer" emptied, the union of the artwork's areas, the contours
// styled and broken apart. Each label is a filled rounded rectangle with a circle and three
// stroked text lines on it, so five shapes give one contour. Run with
//   --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// for medians; the goal for 1,000 labels is under a second.

#include "host/CdrConnection.h"
#include "host/builtin/BuiltinHost.h"

#include <QCoreApplication>
#include <QPainterPath>

#include <benchmark/benchmark.h>

namespace {

const QString HostId = QStringLiteral("CorelDraw.Application.17");
constexpr double MmPerInch = 25.4;
constexpr double LabelWidth = 30, LabelHeight = 20, Pitch = 34; // mm
constexpr int Columns = 40;

HostShape::Ptr addPath(HostDocument &doc, const HostLayer::Ptr &layer, const QPainterPath &mm)
{
    return doc.addShape(layer, QTransform::fromScale(1 / MmPerInch, 1 / MmPerInch).map(mm));
}

// A fresh host document of `labels` labels in a grid; only the artwork layer, as a user's sheet
// is before its first boundary.
void makeSheet(int labels)
{
    const int rows = (labels + Columns - 1) / Columns;
    BuiltinHost &host = BuiltinHost::instance();
    host.reset();
    HostDocument::Ptr doc =
        host.createDocument(Columns * Pitch / MmPerInch, rows * Pitch / MmPerInch);
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
            addPath(*doc, art, text)->outlineWidth = 0.8 / MmPerInch;
        }
    }
}

void createBoundary(benchmark::State &state)
{
    const int labels = static_cast<int>(state.range(0));
    makeSheet(labels);
    int contours = 0;
    for (auto _ : state) {
        CdrConnection connection(HostId);
        if (!connection.createCutBoundary()) {
            state.SkipWithError(qPrintable(connection.failureDetail()));
            break;
        }
        state.PauseTiming();
        const HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
        contours = doc->findLayer(CdrConnection::CuttingLayer)->shapes.size();
        state.ResumeTiming();
    }
    if (contours != labels)
        state.SkipWithError("not one contour per label");
    state.counters["contours"] = contours;
}

BENCHMARK(createBoundary)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
