#pragma once
// The notes a reader of a sheet gets about elements the host keeps as they are: one line per
// kind, with a count and the first few names, however many elements there are. An element is
// named by its id, a picture by its file, and an element with neither by its tag and line.

#include "SvgElementScanner.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace SvgNotes {

// How an element is named in a note; `text` is the file's text its span points into.
QString nameOf(const ScannedElement &element, const QString &text);
// An element by its id, or else by its tag and the line of `text` that `offset` (its start) is
// on; by its tag alone where it has no place in the text (offset < 0).
QString nameOf(const QString &id, const QString &tag, int offset, const QString &text);
// The tag name an element's text starts with ("image" for "<svg:image x=...").
QString tagOf(const QString &elementText);

// Notes about elements, one line per kind however many elements there are:
// "3 pictures are neither printed nor cut: logo (no such file), <image> on line 9 (...), ...".
class Grouped
{
public:
    struct Kind
    {
        const char *one;  // "picture is neither printed nor cut"
        const char *many; // "pictures are neither printed nor cut"
    };
    // `describe` names the element (and says why); it is called only for the first few of a
    // kind, as naming by line counts the text before the element.
    void add(const Kind &kind, const std::function<QString()> &describe);
    QStringList lines() const;

private:
    struct Group
    {
        Kind kind;
        int count = 0;
        QStringList names;
    };
    QList<Group> groups;
};

// A picture the host cannot take: the print and the cut leave it out alike, so reading the sheet
// and outlining it say the same line.
extern const Grouped::Kind PictureNotPrinted;

// "12 texts and 3 pictures are printed and outlined as drawn: logo.png, title, ..." for the
// texts and pictures of the scanned layers; empty when there are none.
QStringList keptAsDrawn(const QList<ScannedLayer> &layers, const QString &text);

// "<count> <what>: <first names>, ...", or nothing for no names.
QStringList summary(const QString &what, const QStringList &names);

} // namespace SvgNotes
