#pragma once
// A sheet opened in the built-in drawing host for one subcommand, and the job prepared from it
// as the window's "Save As *.plt" prepares it. `cutjob sheet` and `cutjob send-dialog` share
// these steps, so a sheet saved and a sheet sent make the same job.

#include "JobOptionParser.h"
#include "host/CdrConnection.h"
#include "job/JobPreparation.h"

#include <QString>

#include <memory>

class QCommandLineParser;

// Declares --version N (the host's version, 14 to 23) and reads it; false with a message.
void addHostVersionOption(QCommandLineParser &parser);
bool readHostVersion(const QCommandLineParser &parser, int &version, QString &error);

// Opens `sheet` as the active document (its reading notes go to standard error) and connects
// to it; null with the message for the user when either fails.
std::unique_ptr<CdrConnection> openSheet(const QString &sheet, int version, QString &error);

// Runs the job's host operations and pipelines through a working file of its own; false with
// the window's warning (and the failing call, when the host names one) in `error`.
bool prepareSheetJob(CdrConnection &connection, const JobOptionValues &options, PreparedJob &job,
                     QString &error);

// A host failure names the call for whoever reads the log, after the user's message.
QString hostMessage(const QString &text, const QString &detail);
