#pragma once
// The job settings of the window's settings panel, in millimetres as the user sets them, and
// their one conversion to the engine's options in plotter units. The window and `cutjob` both
// convert here, so the same settings make the same job.

#include "common/Units.h"
#include "paths/JobPipelines.h"

struct JobSettings
{
    bool blankCut = false;      // "Cut-Blank": a job without marks
    bool autoSort = false;      // "Auto-Sort"
    bool shortestOrder = false; // cutjob's --order shortest (the window has no such box)
    bool knifeOffsetOn = false; // "Knife:" checked
    double knifeOffsetMm = 0.0; // the window allows 0.1 to 1.5
    bool overcutOn = false;     // "Close:" checked
    double overcutMm = 0.0;     // the window allows 0.1 to 3.0
    double dashMm = 10.0;       // "Pos:", 1 to 100
    double gapMm = 0.1;         // "Neg:", 0.1 to 1
    double realM2XMm = 22.5;    // "RMX:", 17.5 to 27.5 in steps of 0.5; the header's A field
    double realM2YMm = 8.5;     // "RMY:", 3.5 to 13.5 in steps of 0.5; the header's B field
};

// An unchecked offset becomes 0; `exportScale` is the enlargement of the cutting export to undo
// (> 0).
JobOptions toJobOptions(const JobSettings &settings, double exportScale = EXPORT_SCALE);
