#include "MarkZones.h"

#include "WorkingLayers.h"
#include "common/Units.h"

#include <QCoreApplication>
#include <QPainterPathStroker>

namespace MarkZones {

namespace {

// The working layers hold no art: marks, their assist outline and the contours.
bool holdsArt(const HostLayer &layer)
{
    for (const char *working : WorkingLayers::All) {
        if (layer.name == QLatin1String(working))
            return false;
    }
    return layer.visible && layer.printable;
}

// Whether a shape's ink reaches into `area`: a curve by its fill and its stroke, text and
// pictures by their box (what they show inside it is not known here).
bool reaches(const HostShape &shape, const QRectF &area)
{
    // A hairline still prints a line.
    const double stroke = shape.outlined ? qMax(shape.outlineWidthInches, mmToInches(0.1)) : 0.0;
    const QRectF box = shape.bounds().adjusted(-stroke / 2, -stroke / 2, stroke / 2, stroke / 2);
    if (!box.intersects(area))
        return false;
    if (shape.kind != ShapeKind::Curve)
        return true;
    if (shape.filled && shape.path.intersects(area))
        return true;
    if (!shape.outlined)
        return false;
    QPainterPathStroker stroker;
    stroker.setWidth(stroke);
    return stroker.createStroke(shape.path).intersects(area);
}

QString cornerName(const QPointF &centre, const HostPage &page)
{
    const bool top = centre.y() > page.heightInches / 2;
    const bool left = centre.x() < page.widthInches / 2;
    return QStringLiteral("%1-%2").arg(top ? QStringLiteral("top") : QStringLiteral("bottom"),
                                       left ? QStringLiteral("left") : QStringLiteral("right"));
}

} // namespace

QList<Zone> zones(const HostDocument &doc)
{
    const HostPage &page = *doc.activePage;
    const double clearance = mmToInches(MarkClearanceMm);
    QList<Zone> found;
    for (const HostLayer::Ptr &layer : page.layers) {
        const bool marks = layer->name == QLatin1String(WorkingLayers::Mark);
        if (!marks && layer->name != QLatin1String(WorkingLayers::Extra))
            continue;
        for (const HostShape::Ptr &shape : HostDocument::drawnShapes(layer->shapes)) {
            const QRectF box = shape->bounds();
            found.append({marks ? cornerName(box.center(), page) : QStringLiteral("extra"),
                          box.adjusted(-clearance, -clearance, clearance, clearance)});
        }
    }
    if (found.isEmpty())
        return found;
    for (const HostLayer::Ptr &layer : page.layers) {
        if (!holdsArt(*layer))
            continue;
        for (const HostShape::Ptr &shape : HostDocument::drawnShapes(layer->shapes)) {
            for (Zone &zone : found)
                zone.artUnder = zone.artUnder || reaches(*shape, zone.area);
        }
    }
    return found;
}

QStringList artNotes(const QList<Zone> &zones)
{
    QStringList notes;
    for (const Zone &zone : zones) {
        if (zone.artUnder)
            notes
                << QCoreApplication::translate("MarkZones", "art under the %1 mark").arg(zone.mark);
    }
    // A mark drawn as several shapes has a zone for each: the corner is named once.
    notes.removeDuplicates();
    return notes;
}

} // namespace MarkZones
