#pragma once
// Numbers that mean one thing throughout the program: the units the window, the drawing host
// and the cutter speak, and the fixed settings of the host's plot export.
//
// Glossary: a plotter unit is 1/40 mm, the cutter's step and the path engine's unit; the host
// measures in inches.

constexpr double MM_PER_INCH = 25.4;
constexpr double UNITS_PER_MM = 40.0; // plotter units per millimetre
// An SVG user unit without a viewBox is a CSS pixel, as browsers, Inkscape and rsvg-convert
// take it; librsvg's own default of 90 dpi would print such a sheet 6.7 % too large.
constexpr double CSS_PX_PER_INCH = 96.0;

// The host's HPGL export filter, by its number in the host's filter table.
constexpr int HPGL_EXPORT_FILTER = 1281;
// The cutting export is enlarged five-fold so that the host's rounding to whole plotter units
// stays under a fifth of a unit; the pipelines scale it back.
constexpr double EXPORT_SCALE = 5.0;
// A hairline outline is drawn as the drawing application draws it, 0.003 inch wide, so that it
// shows (and a boundary counts that width as what is painted).
constexpr double HAIRLINE_INCHES = 0.003;
// The cutter reads at most four registration marks.
constexpr int MAX_MARKS = 4;

constexpr double mmToInches(double mm)
{
    return mm / MM_PER_INCH;
}
constexpr double inchesToMm(double inches)
{
    return inches * MM_PER_INCH;
}
