#pragma once
// The notes a reader of a sheet gets about elements the host keeps as they are: one line per
// kind, with a count and the first few names, however many elements there are. An element is
// named by its id, a picture by its file, and an element with neither by its tag and line.

#include "SvgElementScanner.h"

#include <QString>
#include <QStringList>

namespace SvgNotes {

// How an element is named in a note; `text` is the file's text its span points into.
QString nameOf(const ScannedElement &element, const QString &text);

// "12 texts and 3 pictures are printed and outlined as drawn: logo.png, title, ..." for the
// texts and pictures of the scanned layers; empty when there are none.
QStringList keptAsDrawn(const QList<ScannedLayer> &layers, const QString &text);

// "<count> <what>: <first names>, ...", or nothing for no names.
QStringList summary(const QString &what, const QStringList &names);

} // namespace SvgNotes
