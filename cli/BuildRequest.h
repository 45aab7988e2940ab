#pragma once
// What `cutjob build` was asked to do, read from its command line and checked before any file is
// touched, so bad input stops the tool with a message and writes nothing.

#include "JobOptionParser.h"
#include "paths/JobPipelines.h"

#include <QString>
#include <QStringList>

struct BuildRequest
{
    QString cuttingFile;      // the cutting (or, blank-cut, printable-shapes) export
    QString creasingFile;     // mark job only; empty: no creasing paths
    QString outputFile;       // empty: standard output
    JobOptionValues job;      // millimetres, as typed
    double exportScale = 5.0; // > 0
    JobFrame frame;           // page size and marks (ordered by y, then x), plotter units
    bool helpAsked = false;
};

// Reads the arguments ("cutjob build" first). False with a message for the user on bad input.
bool parseBuildRequest(const QStringList &arguments, BuildRequest &request, QString &error);

// Reads "X,Y;X,Y;..." (whole numbers, plotter units); empty entries, as after a trailing ";",
// are skipped. The result is ordered by y, then x, as the mark read-back orders it.
bool parseMarkList(const QString &text, QVector<QPoint> &marks, QString &error);

// The whole usage text of `cutjob build`.
QString buildHelpText();
