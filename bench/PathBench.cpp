// Timings of the path engine on generated label sheets: reading, each transform of the cutting
// pipeline, the row sort of a shuffled grid, and writing. Run with
//   --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// for medians. Inputs are prepared (and deep-copied) outside the timed region, so each figure
// is the step alone, as the pipeline meets it with a list it owns.

#include "SheetGenerator.h"
#include "paths/PathProcessor.h"
#include "paths/ShortestOrder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>

namespace {

struct SheetCase
{
    const char *name;
    int paths;
    int segmentsPerPath;
};

const SheetCase sheetCases[] = {
    {"1k", 1000, 32}, {"10k", 10000, 32}, {"100k", 100000, 32}, {"100MB", 42000, 200}};

// Knife 0.3 mm and overcut 0.5 mm, as the whole-build timing uses; the first mark at 15 mm.
constexpr double knifeOffset = 12, overcut = 20, markX = 600, markY = 600;
constexpr double dash = 400, gap = 4;

CutPathList deepCopy(const CutPathList &in)
{
    CutPathList out;
    out.reserve(in.size());
    for (const CutPath &p : in) {
        CutPath copy = p;
        copy.segments = QVector<QLineF>(p.segments.constBegin(), p.segments.constEnd());
        out.append(std::move(copy));
    }
    return out;
}

// One sheet and its pipeline stages; only one sheet is held at a time to bound memory.
struct Stages
{
    const SheetCase *sheetCase = nullptr;
    Sheet sheet;
    QTemporaryDir dir;
    QString file;
    CutPathList parsed, placed, offset, clean;
};

Stages &stages(const SheetCase &c)
{
    static std::unique_ptr<Stages> held;
    if (held && held->sheetCase == &c)
        return *held;
    held.reset();
    held = std::make_unique<Stages>();
    Stages &s = *held;
    const PathProcessor p;
    s.sheetCase = &c;
    s.sheet = generateLabelSheet({c.paths, c.segmentsPerPath, EXPORT_SCALE});
    s.file = s.dir.filePath(QStringLiteral("sheet.plt"));
    QFile f(s.file);
    if (!f.open(QIODevice::WriteOnly) || f.write(s.sheet.plt) != s.sheet.plt.size())
        qFatal("cannot write the sheet file");
    f.close();
    s.parsed = p.parsePlt(s.sheet.plt);
    s.placed = p.translatePaths(
        p.mirrorY(p.scaleAboutMinCorner(s.parsed, EXPORT_SCALE), s.sheet.pageHeight), markX, markY);
    s.offset = p.offsetPaths(p.sortPaths(s.placed), knifeOffset, overcut);
    s.clean = p.removeDegenerateSegments(s.offset);
    return s;
}

using Step = std::function<CutPathList(const PathProcessor &, CutPathList)>;

// Times one transform on a private deep copy of `input(stages)`.
void timeTransform(benchmark::State &state, const SheetCase &c, CutPathList Stages::*input,
                   const Step &step)
{
    const Stages &s = stages(c);
    const PathProcessor p;
    qint64 segments = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CutPathList copy = deepCopy(s.*input);
        state.ResumeTiming();
        CutPathList out = step(p, std::move(copy));
        benchmark::DoNotOptimize(out);
        state.PauseTiming();
        out = CutPathList(); // freeing is not part of the step
        state.ResumeTiming();
        segments = s.sheet.segments;
    }
    state.counters["segments"] = double(segments);
}

void readText(benchmark::State &state, const SheetCase &c)
{
    const Stages &s = stages(c);
    const PathProcessor p;
    for (auto _ : state) {
        CutPathList paths = p.parsePlt(s.sheet.plt);
        benchmark::DoNotOptimize(paths);
        state.PauseTiming();
        paths = CutPathList(); // freeing the list is not reading
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * s.sheet.plt.size());
}

void readFile(benchmark::State &state, const SheetCase &c)
{
    const Stages &s = stages(c);
    const PathProcessor p;
    for (auto _ : state) {
        const Result<QByteArray> bytes = PathProcessor::readFileBytes(s.file);
        CutPathList paths = p.parsePlt(bytes.ok() ? *bytes : QByteArray());
        benchmark::DoNotOptimize(paths);
        state.PauseTiming();
        paths = CutPathList();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * s.sheet.plt.size());
}

void writeJob(benchmark::State &state, const SheetCase &c)
{
    const Stages &s = stages(c);
    const PathProcessor p;
    qint64 bytes = 0;
    for (auto _ : state) {
        QByteArray out;
        p.appendPen2Section(out, s.clean, dash, gap);
        bytes = out.size();
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

// The row sort of a label grid handed over in shuffled order.
void sortShuffled(benchmark::State &state, const SheetCase &c)
{
    const Stages &s = stages(c);
    const PathProcessor p;
    CutPathList shuffled = s.placed;
    std::mt19937 random(20261207);
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    for (auto _ : state) {
        state.PauseTiming();
        CutPathList copy = deepCopy(shuffled);
        state.ResumeTiming();
        CutPathList out = p.sortPaths(std::move(copy));
        benchmark::DoNotOptimize(out);
        state.PauseTiming();
        out = CutPathList();
        state.ResumeTiming();
    }
}

// The shortest cut order (nearest neighbour + 2-opt) of the same shuffled grid.
void orderShortestShuffled(benchmark::State &state, const SheetCase &c)
{
    CutPathList shuffled = stages(c).placed;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(20261207));
    for (auto _ : state) {
        CutPathList out = orderShortest(shuffled);
        benchmark::DoNotOptimize(out);
    }
}

void registerSheet(const SheetCase &c)
{
    const bool big = c.paths >= 42000;
    const auto reg = [&](const char *step, auto &&fn) {
        auto *b = benchmark::RegisterBenchmark((std::string(step) + "/" + c.name).c_str(), fn);
        b->Unit(benchmark::kMillisecond)->UseRealTime();
        if (big)
            b->Iterations(1);
    };
    reg("read_text", [&c](benchmark::State &st) { readText(st, c); });
    reg("read_file", [&c](benchmark::State &st) { readFile(st, c); });
    reg("scale", [&c](benchmark::State &st) {
        timeTransform(st, c, &Stages::parsed, [](const PathProcessor &p, CutPathList l) {
            return p.scaleAboutMinCorner(std::move(l), EXPORT_SCALE);
        });
    });
    reg("mirror", [&c](benchmark::State &st) {
        timeTransform(st, c, &Stages::parsed, [](const PathProcessor &p, CutPathList l) {
            return p.mirrorY(std::move(l), 11880);
        });
    });
    reg("translate", [&c](benchmark::State &st) {
        timeTransform(st, c, &Stages::parsed, [](const PathProcessor &p, CutPathList l) {
            return p.translatePaths(std::move(l), markX, markY);
        });
    });
    reg("sort", [&c](benchmark::State &st) {
        timeTransform(st, c, &Stages::placed, [](const PathProcessor &p, CutPathList l) {
            return p.sortPaths(std::move(l));
        });
    });
    if (c.paths == 100000)
        reg("sort_shuffled", [&c](benchmark::State &st) { sortShuffled(st, c); });
    if (c.paths == 10000)
        reg("order_shortest_shuffled",
            [&c](benchmark::State &st) { orderShortestShuffled(st, c); });
    reg("offset", [&c](benchmark::State &st) {
        timeTransform(st, c, &Stages::placed, [](const PathProcessor &p, CutPathList l) {
            return p.offsetPaths(std::move(l), knifeOffset, overcut);
        });
    });
    reg("remove_degenerate", [&c](benchmark::State &st) {
        timeTransform(st, c, &Stages::offset, [](const PathProcessor &p, CutPathList l) {
            return p.removeDegenerateSegments(std::move(l));
        });
    });
    reg("write", [&c](benchmark::State &st) { writeJob(st, c); });
}

} // namespace

int main(int argc, char **argv)
{
    for (const SheetCase &c : sheetCases)
        registerSheet(c);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
