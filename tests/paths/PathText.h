#pragma once
// Compact text forms of segments and path lists, so test tables read like the geometry.
// Segments: "x1,y1>x2,y2" separated by spaces; paths separated by " | "; a path may start with
// attributes in brackets, "[pen lineType patternLength mode]".

#include "paths/CutPath.h"

#include <QMetaType>
#include <QString>

Q_DECLARE_METATYPE(CutPath)

QVector<QLineF> segmentsFrom(const QString &text);
CutPathList pathsFrom(const QString &text);
QString describe(const QVector<QLineF> &segments);
// Attributes are written only when `withAttributes`.
QString describe(const CutPathList &paths, bool withAttributes = false);
// Total Euclidean length of the segments.
double totalLength(const QVector<QLineF> &segments);
