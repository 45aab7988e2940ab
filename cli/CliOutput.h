#pragma once
// Output helpers of the cutjob subcommands: a message on standard error, bytes on standard
// output.

#include "common/Result.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

// Writes "cutjob: <message>" and a line break to standard error.
void printError(const QString &message);
// Replaces the "cutjob: " before every message; Inkscape shows standard error to the user as
// it is, and there the window's own texts read best alone.
void setErrorPrefix(const QByteArray &prefix);

// Writes the pieces, joined, to standard output exactly; false when the stream fails (a closed
// pipe).
bool writeStandardOutput(const QByteArrayList &pieces);
