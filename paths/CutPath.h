#pragma once
// Glossary: a plotter unit is 1/40 mm. A segment is a straight QLineF from p1 to p2. A path is
// what the knife cuts without lifting; a job's geometry is an ordered list of paths, cut in order.

#include <QLineF>
#include <QList>
#include <QVector>

struct CutPath
{
    int pen = 0;              // last SP number before the path's first segment
    int lineType = 0;         // LT pattern number in force; 0 solid
    double patternLength = 0; // LT pattern length in force
    int lineTypeMode = 0;     // LT mode in force
    QVector<QLineF> segments; // plotter units; consecutive segments join
};

using CutPathList = QList<CutPath>;
