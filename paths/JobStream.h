#pragma once
// The job pipelines of JobPipelines.h for files of any size: the job text is written as it is
// made, and nothing holds the file's paths. A first pass over the plot text keeps each path's
// start and box (PltReader::scan); the second reads the paths one at a time, in the order the
// job cuts them, as integer points, turns them into the placed segments of that one path,
// offsets and writes them. Memory grows with the largest path and the per-path records, not
// with the file. The text is the same, byte for byte, as the list pipelines' JobText::joined().
// The shortest order (JobOptions::shortestOrder) weighs all paths at once: it reads the whole
// file into paths and takes the list pipelines.

#include "JobPipelines.h"
#include "common/Result.h"

#include <QByteArray>

// Plot-file text in memory (a mapped file or a byte array); bytes taken as Latin-1.
struct PltText
{
    const char *data = nullptr;
    qint64 size = 0;

    static PltText of(const QByteArray &bytes) { return {bytes.constData(), bytes.size()}; }
};

// Where the job text goes, piece by piece, as it is made.
class JobSink
{
public:
    virtual ~JobSink() = default;
    // False when the bytes could not be taken; the build stops with the sink's error.
    virtual bool write(const char *data, qint64 size) = 0;
    virtual QString errorText() const = 0;
};

// The mark job of markJobCreasing/markJobCutting and markJobText; fails, writing nothing, where
// markJobText fails, and with the sink's error when a write fails.
Result<> streamMarkJob(PltText creasing, PltText cutting, const JobFrame &frame,
                       const JobOptions &options, JobSink &sink);
// The blank-cut job of blankCutPaths and blankCutJobText.
Result<> streamBlankJob(PltText cutting, const JobFrame &frame, const JobOptions &options,
                        JobSink &sink);
