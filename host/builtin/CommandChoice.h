#pragma once
// The choices the running command holds (InProcessHost::ScopedChoices), else the host's own:
// what the automation objects read where the drawing application's members take no argument.

#include <QString>

namespace CommandChoice {

// Inches, 0 or more: the command's, else the host window's "Cut margin (mm)".
double boundaryOffsetInches();
// Inches, 0 for none: the command's, else the host window's "Print bleed (mm)".
double bleedInches();
// The PDF PrintOut writes instead of printing; empty prints.
QString printFile();

} // namespace CommandChoice
