#pragma once
// What `cutjob build` was asked to do, read from its command line and checked before any file is
// touched, so bad input stops the tool with a message and writes nothing.

#include "JobOptionParser.h"
#include "common/Result.h"
#include "common/Units.h"
#include "paths/JobPipelines.h"

#include <QString>
#include <QStringList>

struct BuildRequest
{
    QString cuttingFile;               // the cutting (or, blank-cut, printable-shapes) export
    QString creasingFile;              // mark job only; empty: no creasing paths
    QString outputFile;                // empty: standard output
    JobSettings job;                   // millimetres, as typed
    double exportScale = EXPORT_SCALE; // > 0
    JobFrame frame;                    // page size and marks (ordered by y, then x), plotter units
    bool helpAsked = false;
};

// Reads the arguments ("cutjob build" first); fails with a message for the user on bad input.
Result<BuildRequest> parseBuildRequest(const QStringList &arguments);

// Reads "X,Y;X,Y;..." (whole numbers, plotter units); empty entries, as after a trailing ";",
// are skipped. The result is ordered by y, then x, as the mark read-back orders it.
Result<QVector<QPoint>> parseMarkList(const QString &text);

// The whole usage text of `cutjob build`.
QString buildHelpText();
