#pragma once
// The job options that every job-building subcommand of cutjob shares (build, sheet,
// send-dialog): the same choices the window offers in its settings panel, given in millimetres
// as the user types them, and refused where the window's boxes could not hold them.

#include "common/Result.h"
#include "job/JobSettings.h"

#include <QString>

class QCommandLineParser;

// Declares the shared options on a parser and reads them back, so each subcommand parses them
// the same way and with the same messages.
class JobOptionParser
{
public:
    static void addOptions(QCommandLineParser &parser);

    // Reads the options after a successful parse; fails with a message naming the option when a
    // value is malformed, not finite, outside the window's range or off its step.
    static Result<JobSettings> read(const QCommandLineParser &parser);

    // Help lines for the shared options, for subcommands that write their own usage text.
    static QString helpText();
};

// Number readers shared by the subcommands; `what` names the option in the message.
Result<double> parseFiniteNumber(const QString &text, const QString &what);
Result<int> parseInteger(const QString &text, const QString &what);
