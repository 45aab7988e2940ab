#pragma once
// The job options that every job-building subcommand of cutjob shares (build, sheet): the same
// choices the window offers in its settings panel, given in millimetres as the user types them.

#include "paths/JobPipelines.h"

#include <QString>

class QCommandLineParser;

// Values in millimetres, as typed; the conversion to plotter units (x 40) is the engine's.
struct JobOptionValues
{
    bool blankCut = false;      // --blank: a blank-cut job without marks
    bool autoSort = false;      // --sort
    bool knifeOffsetOn = false; // --knife given
    double knifeOffsetMm = 0.0; // >= 0, finite
    bool overcutOn = false;     // --overcut given
    double overcutMm = 0.0;     // >= 0, finite
    double dashMm = 10.0;       // > 0, finite
    double gapMm = 0.1;         // > 0, finite
    double realM2XMm = 22.5;    // 17.5 to 27.5, as the window's RMX box; the header's A field
    double realM2YMm = 8.5;     // 3.5 to 13.5, as the window's RMY box; the header's B field
};

// Declares the shared options on a parser and reads them back, so each subcommand parses them
// the same way and with the same messages.
class JobOptionParser
{
public:
    static void addOptions(QCommandLineParser &parser);

    // Reads the options after a successful parse; false with a message naming the option when a
    // value is malformed, not finite or out of range.
    static bool read(const QCommandLineParser &parser, JobOptionValues &values, QString &error);

    // Help lines for the shared options, for subcommands that write their own usage text.
    static QString helpText();
};

// The engine's settings for these values (plotter units); `exportScale` is the enlargement of
// the cutting export to undo (> 0).
JobOptions toJobOptions(const JobOptionValues &values, double exportScale);

// Number readers shared by the subcommands; `what` names the option in the message.
bool parseFiniteNumber(const QString &text, const QString &what, double &value, QString &error);
bool parseInteger(const QString &text, const QString &what, int &value, QString &error);
