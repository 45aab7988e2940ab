#pragma once
// Mark zones: the areas around the registration marks that must stay clear of art. The cutter's
// sensor looks for each mark in a small window around where it expects it; ink there is read as
// a mark or hides one. A zone is a mark's box grown by MarkClearanceMm on every side.
// Lengths are inches, page origin lower-left, y up.

#include "HostDocument.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace MarkZones {

// How far beyond a mark's own box its sensor window reaches (mm).
constexpr double MarkClearanceMm = 1.0;

struct Zone
{
    QString mark; // "top-left", "top-right", "bottom-left", "bottom-right" or "extra"
    QRectF area;  // inches, y up
    bool artUnder = false;
};

// The zone of every mark on "Mark Layer" and "Extra Layer" of the active page, and whether art
// (a visible, printing shape on any other layer but the working ones) reaches into it. Empty
// when the sheet has no marks.
QList<Zone> zones(const HostDocument &doc);

// One note per zone with art in it: "art under the top-left mark".
QStringList artNotes(const QList<Zone> &zones);

} // namespace MarkZones
