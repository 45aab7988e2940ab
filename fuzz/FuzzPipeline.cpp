// Fuzz target: the whole job road, parse -> pipeline -> job text. The first bytes choose the
// job's settings within the ranges the window allows; the rest is the plot file.

#include "FuzzChecks.h"
#include "common/Units.h"
#include "paths/JobPipelines.h"
#include "paths/PathProcessor.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

constexpr size_t settingsBytes = 8;

struct FuzzJob
{
    bool blankCut;
    JobOptions options;
    JobFrame frame;
};

// Byte 0: flags; 1: knife offset; 2: overcut; 3: dash; 4: gap (0.05 mm steps, as the boxes);
// 5-6: page height; 7: mark count (1 to 4) and extra-mark code.
FuzzJob readSettings(const uint8_t *d)
{
    FuzzJob job;
    job.blankCut = d[0] & 1;
    job.options.autoSort = d[0] & 2;
    job.options.knifeOffsetUnits = (d[0] & 4) ? d[1] * 0.05 * 40 : 0.0;
    job.options.overcutUnits = (d[0] & 8) ? d[2] * 0.05 * 40 : 0.0;
    job.options.dashUnits = (d[3] + 1) * 0.05 * 40;
    job.options.gapUnits = (d[4] + 1) * 0.05 * 40;
    job.options.exportScale = (d[0] & 16) ? 1.0 : EXPORT_SCALE;
    job.frame.pageHeight = 400 + ((d[5] << 8) | d[6]);
    job.frame.pageWidth = 8400;
    const int marks = 1 + (d[7] & 3);
    for (int i = 0; i < marks; ++i)
        job.frame.marks.append(QPoint(400 + 7000 * (i & 1), 400 + 10000 * (i >> 1)));
    job.frame.extraMark = (d[7] >> 2) % 3;
    return job;
}

// Dashes grow with length / dash: a line across a kilometre of coordinates cut into 0.05 mm
// dashes is millions of pieces of legitimate work. Such inputs only slow the fuzzer down, so
// they are skipped; a bound on the job's size is the engine's own affair and tested there.
bool makesHugeDashes(const QByteArray &plt, const JobOptions &options)
{
    double pieces = 0;
    for (const CutPath &path : PathProcessor().parsePlt(plt)) {
        if (path.lineType == 0 && path.patternLength == 0.0 && path.lineTypeMode == 0)
            continue;
        for (const QLineF &s : path.segments)
            pieces += s.length() / std::min(options.dashUnits, options.gapUnits);
    }
    return pieces > 200000;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < settingsBytes)
        return 0;
    const FuzzJob job = readSettings(data);
    const QByteArray plt = QByteArray::fromRawData(
        reinterpret_cast<const char *>(data) + settingsBytes, int(size - settingsBytes));
    if (makesHugeDashes(plt, job.options))
        return 0;
    const double height = job.frame.pageHeight;
    const QPointF first = job.frame.marks.value(0);
    const Result<JobText> text =
        job.blankCut
            ? blankCutJobText(blankCutPaths(plt, height, job.options), job.frame, job.options)
            : markJobText(markJobCreasing(plt, height, first),
                          markJobCutting(plt, height, first, job.options), job.frame, job.options);
    fuzzCheck(text.ok(), "a valid job was refused");
    fuzzCheck(isCleanJobText(text->joined()), "the job text holds a bad character or number");
    fuzzCheck(text->body.endsWith("PU;!PG;;"), "the body does not end with its closing text");
    return 0;
}
