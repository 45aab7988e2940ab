#pragma once
// Draws cut paths with a painter already set up in plotter units (1/40 mm, x right, y down).
// Shared by the window's preview panel and the command-line preview so both show a job alike.

#include "paths/CutPath.h"

#include <QColor>
#include <QPen>

class QPainter;

// Colour of a plotter pen number: 0 and 1 black, 2 blue, 3 red, 4 green, 5 magenta, 6 yellow,
// 7 cyan, 8 gray; any other number black.
QColor cutPathColour(int pen);

// Pen for one path: one screen pixel wide at `scale` (screen pixels per plotter unit, > 0),
// square cap, bevel join, dashed when the path's line type is not 0, else solid.
QPen cutPathPen(const CutPath &path, double scale);

// Draws every segment of every path in list order, each between its ends rounded to integers.
void drawCutPaths(QPainter &painter, const CutPathList &paths, double scale);
