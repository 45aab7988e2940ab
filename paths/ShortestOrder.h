#pragma once
// An order of one pen's paths that keeps the pen-up travel short: nearest neighbour from the
// knife's position, improved by 2-opt. Open paths are cut as drawn, from their first point; a
// closed path may start at any of its vertices (it is only rotated), and starts at the one
// nearest the knife when the knife gets there. Plotter units throughout.
//
// Glossary: an "entry" is where the knife comes down on a path, its "exit" where it lifts; a
// closed path's exit is its entry.

#include "CutPath.h"

#include <QPointF>

// The same paths in the new order, each closed path rotated to its entry; `knife` is where the
// knife stands before the first.
CutPathList orderShortest(CutPathList paths, QPointF knife = QPointF(0, 0));

// Pen-up travel of cutting `paths` in list order from `knife` (the segments between paths).
double penUpTravel(const CutPathList &paths, QPointF knife = QPointF(0, 0));
