#pragma once
// Helpers shared by the built-in host's tests: a fresh host per test, and a short way to walk the
// automation objects the way a connection does.

#include "AutomationMembers.h"
#include "AutomationObject.h"
#include "builtin/BuiltinHost.h"

#include <QList>
#include <QObject>
#include <QPolygonF>

namespace HostTest {

constexpr double MmPerInch = MM_PER_INCH;
inline double inches(double mm)
{
    return mm / MmPerInch;
}

// Resets the host and opens a new A4 document; returns the application object.
AutomationHandle freshApplication();

// Convenience chains; every step must answer an object (asserted by the caller via isNull()).
AutomationHandle document(AutomationObject &app);
AutomationHandle page(AutomationObject &app);
AutomationHandle layers(AutomationObject &app);
AutomationHandle createLayer(AutomationObject &app, const QString &name);

// Draws a rectangle (inches, y up) as one closed curve on a layer of the active document.
HostShape::Ptr addRectangle(const HostLayer::Ptr &layer, const QRectF &box);

// A minimal HPGL reader for checking exports: PU/PD/SP/LT with absolute integer pairs. Each
// polyline starts at a pen-up position; `pens` holds each polyline's pen, `dashed` whether an LT
// with a pattern was in force.
struct PlotPolyline
{
    QPolygonF points;
    int pen = 0;
    bool dashed = false;
};
QList<PlotPolyline> readPlot(const QByteArray &text);

} // namespace HostTest
