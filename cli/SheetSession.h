#pragma once
// A sheet opened in the built-in drawing host for one subcommand, and the job prepared from it
// as the window's "Save As *.plt" prepares it. `cutjob sheet` and `cutjob send-dialog` share
// these steps, so a sheet saved and a sheet sent make the same job.

#include "common/Result.h"
#include "host/CdrConnection.h"
#include "job/JobPreparation.h"
#include "job/JobSettings.h"

#include <QString>

#include <memory>

class QCommandLineParser;

// Declares --version N (the host's version, one of Setting::CdrVersion's) and reads it (its
// default when absent).
void addHostVersionOption(QCommandLineParser &parser);
Result<int> readHostVersion(const QCommandLineParser &parser);

// Opens `sheet` as the active document (its reading notes go to standard error) and connects
// to it; fails with the message for the user when either fails.
Result<std::unique_ptr<CdrConnection>> openSheet(const QString &sheet, int version);

// Runs the job's host operations and pipelines through a working file of its own; fails with
// the window's warning (and the failing call, when the host names one).
Result<PreparedJob> prepareSheetJob(CdrConnection &connection, const JobSettings &settings);

// A host failure names the call for whoever reads the log, after the user's message.
QString hostMessage(const QString &text, const QString &detail);
