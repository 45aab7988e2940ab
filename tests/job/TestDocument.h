#pragma once
// Building documents in the built-in host for tests, in the units a user thinks in: millimetres
// measured from the page's left and top edges. The host itself works in inches, y up.

#include "common/Units.h"
#include "host/builtin/BuiltinHost.h"

#include <QPointF>
#include <QRectF>
#include <QString>

namespace TestDocument {

constexpr double MmPerInch = MM_PER_INCH;
constexpr double A4Width = 210.0;
constexpr double A4Height = 297.0;
inline const QString HostId = QStringLiteral("CorelDraw.Application.17");

// A fresh host with one active A4 document holding "Layer 1" (active).
HostDocument::Ptr freshA4();

HostLayer::Ptr addLayer(const HostDocument::Ptr &doc, const QString &name, bool printable = true,
                        bool editable = true);

// A page point from millimetres (x from the left, y from the top) to host inches.
QPointF hostPoint(const HostDocument::Ptr &doc, double xMm, double yFromTopMm);

// A cross of two lines centred on the point; one curve of two subpaths.
HostShape::Ptr addCross(const HostDocument::Ptr &doc, const HostLayer::Ptr &layer, double xMm,
                        double yFromTopMm, double sizeMm = 9.0);
// A closed rectangle, left/top/width/height in millimetres from the top-left page corner.
HostShape::Ptr addRectangle(const HostDocument::Ptr &doc, const HostLayer::Ptr &layer,
                            double leftMm, double topMm, double widthMm, double heightMm);
// An open polyline through the points (mm, from the top-left page corner).
HostShape::Ptr addLine(const HostDocument::Ptr &doc, const HostLayer::Ptr &layer,
                       const QList<QPointF> &pointsMm);

// An A4 label sheet: a crease line, a cut rectangle and, when `marks` > 0, that many marks
// where "Add Mark" draws them (up to five) and the extra mark.
HostDocument::Ptr labelSheet(int marks);

// A shape's box in millimetres from the top-left page corner (y down).
QRectF boxMm(const HostDocument::Ptr &doc, const HostShape::Ptr &shape);

} // namespace TestDocument
