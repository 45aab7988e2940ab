#pragma once
// Bounds on the work a hostile SVG file can cause, checked before QtSvg sees the file. QtSvg
// descends recursively through nesting and through <use> references, so a deep chain exhausts
// the stack; a huge file or element count exhausts memory and time.
// Glossary: <use> indirection is how many <use> elements stand between what is drawn and the
// shape finally painted; a <use> that points at a group containing <use> elements adds one
// level for each of those. A chain that comes back to itself is a circle: endlessly deep.

#include "common/Result.h"

#include <QByteArray>
#include <QString>

namespace SvgLimits {

constexpr qint64 MaxFileBytes = 100 * 1024 * 1024;
constexpr int MaxElements = 1000000;
constexpr int MaxUseDepth = 32;
// Far deeper than any drawing program nests its groups.
constexpr int MaxNesting = 256;

// Succeeds when the file stays within every limit; otherwise fails with a message for the
// user naming the limit it breaks. An XML error (including entity expansion beyond what Qt's reader
// allows) is reported too: such a file must not reach QtSvg either. Linear in the file's size.
Result<> check(const QByteArray &svg);
// The same for text already decoded (its size is not checked).
Result<> check(const QString &text);

// Succeeds when the file at path may be read whole: a regular file of at most MaxFileBytes.
// A missing file passes (opening it reports that).
Result<> checkFileSize(const QString &path);

} // namespace SvgLimits
