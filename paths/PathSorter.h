#pragma once
// Auto sort behind PathProcessor::sortPaths: rows by the top of each path's box, left to right
// within a row, then every second row reversed so the knife travels in a serpentine.

#include "CutPath.h"

#include <QPointF>
#include <vector>

class PathSorter
{
public:
    // The box of each path, computed once: the sweeps compare boxes many times.
    struct Entry
    {
        double minX;
        double minY;
        double maxY;
        int index; // position in the input list
    };

    static CutPathList sort(CutPathList paths);

    // The three passes on the boxes alone (exposed for the tests and the benchmark).
    static void rowsByHeight(std::vector<Entry> &entries);
    static void orderWithinRows(std::vector<Entry> &entries);
    static void serpentine(std::vector<Entry> &entries);
};
