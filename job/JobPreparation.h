#pragma once
// Preparing a cutting job from the drawing host: the mark read-back, the exports through the
// working PLT file, the engine's pipelines and the four pieces of the job text. The window's
// "Save As *.plt", its send command and `cutjob sheet` all call prepareJob, so the job they make
// cannot drift apart.

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
} // namespace JobMessage

struct PreparedJob
{
    QString error;  // empty on success; else the warning for the user (JobMessage or host)
    QString detail; // for logs: which host call failed, or what the host refused without harm
    QByteArray creasingExport; // the working file after the creasing export (mark job)
    QByteArray cuttingExport;  // after the cutting export, or the printable-shapes export
    JobFrame frame;            // page size, marks (sorted), extra-mark code; plotter units
    CutPathList creasing;      // pen 1, ready to write (mark job only)
    CutPathList cutting;       // pen 2, ready to write
    JobText text;              // the four pieces

    bool ok() const { return error.isEmpty(); }
};

// Runs the job's host operations in order on a connected `connection`, reading `workingFile`
// after each export. A mark job stops before any export when the read-back finds no mark or
// more than four. `options` are plotter units (JobOptions, exportScale the export's enlargement).
PreparedJob prepareJob(CdrConnection &connection, bool blankCut, const JobOptions &options,
                       const QString &workingFile);

// Reads the page size again and rebuilds the header and trailer from it: the send command asks
// once the user has confirmed the preview, since the page may have changed meanwhile. False,
// with job.error set, when the host failed.
bool rereadPageSize(PreparedJob &job, CdrConnection &connection, bool blankCut,
                    const JobOptions &options);
