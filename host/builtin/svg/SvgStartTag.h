#pragma once
// Edits one attribute of an element's start tag as it is written in a file, leaving every other
// character of the tag as it was: the other attributes, their order, quotes and line breaks.
// Attribute names are matched as written (qualified names, prefix included).

#include <QString>

namespace SvgStartTag {

// The attribute's raw value (entity references as written); `found` tells whether it is there.
QString value(const QString &tag, const QString &name, bool *found = nullptr);

// The tag with the attribute set: its value replaced where it stands, or the attribute added
// after the last one (on a line of its own when the attributes are written one per line).
QString set(const QString &tag, const QString &name, const QString &value);

// The tag without the attribute; unchanged when it has none.
QString remove(const QString &tag, const QString &name);

// A style attribute's text with one property set ("display", "none"), replacing it where it
// stands or appending it.
QString withStyleProperty(const QString &style, const QString &property, const QString &value);

// Text escaped for an attribute value between the given quotes.
QString escaped(const QString &text, QChar quote = QLatin1Char('"'));

} // namespace SvgStartTag
