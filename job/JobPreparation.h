#pragma once
// Preparing a cutting job from the drawing host: the mark read-back, the exports through the
// working PLT file, the engine's pipelines and the four pieces of the job text. The window's
// "Save As *.plt", its send command and `cutjob sheet` all call prepareJob, so the job they make
// cannot drift apart.

#include "common/Result.h"
#include "host/CdrConnection.h"
#include "paths/JobPipelines.h"

#include <QByteArray>
#include <QString>

// Warnings for the user (shown under the title "警告"); the window and cutjob only show them.
// Each is looked up in the translation in force (context "JobMessage") when asked for.
namespace JobMessage {
QString noMarks();      // a mark job found no mark on "Mark Layer"
QString tooManyMarks(); // more than four marks on "Mark Layer"
QString saveFailed();   // the job file could not be written
QString emptyCut();     // the job cuts nothing although the sheet holds artwork
} // namespace JobMessage

struct PreparedJob
{
    QString detail; // what the host refused without harm (export filter properties), for logs
    QByteArray creasingExport; // the working file after the creasing export (mark job)
    QByteArray cuttingExport;  // after the cutting export, or the printable-shapes export
    JobFrame frame;            // page size, marks (sorted), extra-mark code; plotter units
    CutPathList creasing;      // pen 1, ready to write (mark job only)
    CutPathList cutting;       // pen 2, ready to write
    JobText text;              // the four pieces
    bool emptyCut = false;     // nothing to cut although the sheet holds artwork: say so
};

// Runs the job's host operations in order on a connected `connection`, reading `workingFile`
// after each export. A mark job stops before any export when the read-back finds no mark or
// more than four. `options` are plotter units (JobOptions, exportScale the export's enlargement).
// Fails with the warning for the user (JobMessage or the host's); which host call failed stays
// in connection.detail() for logs.
Result<PreparedJob> prepareJob(CdrConnection &connection, bool blankCut, const JobOptions &options,
                               const QString &workingFile);

// Reads the page size again and rebuilds the header and trailer from it: the send command asks
// once the user has confirmed the preview, since the page may have changed meanwhile. Fails with
// the host's warning.
Result<> rereadPageSize(PreparedJob &job, CdrConnection &connection, bool blankCut,
                        const JobOptions &options);
