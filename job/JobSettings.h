#pragma once
// The job settings of the window's settings panel, in millimetres as the user sets them, and
// their one conversion to the engine's options in plotter units. The window and `cutjob` both
// convert here, so the same settings make the same job.

#include "common/Units.h"
#include "paths/JobPipelines.h"
#include "settings/Settings.h"

struct JobSettings
{
    bool blankCut = false;                 // "Cut-Blank": a job without marks
    bool autoSort = false;                 // "Auto-Sort"
    bool shortestOrder = false;            // cutjob's --order shortest (the window has no such box)
    bool knifeOffsetOn = false;            // "Knife:" checked
    double knifeOffsetMm = 0.0;            // within Setting::KnifeOffset's range when on
    bool overcutOn = false;                // "Close:" checked
    double overcutMm = 0.0;                // within Setting::CloseOffset's range when on
    double dashMm = Setting::PosLen.value; // "Pos:"
    double gapMm = Setting::NegLen.value;  // "Neg:"
    double realM2XMm = Setting::RealM2X.value; // "RMX:", on its step; the header's A field
    double realM2YMm = Setting::RealM2Y.value; // "RMY:", on its step; the header's B field
};

// An unchecked offset becomes 0; `exportScale` is the enlargement of the cutting export to undo
// (> 0).
JobOptions toJobOptions(const JobSettings &settings, double exportScale = EXPORT_SCALE);
