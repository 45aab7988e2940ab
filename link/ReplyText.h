#pragma once
// A cutter's reply made fit for a terminal or a log line: the peer decides what it sends, so
// nothing of it may reach a terminal as a control sequence, hide what follows behind a NUL, or
// fill a screen.

#include <QByteArray>
#include <QString>

namespace ReplyText {

// Bytes of a reply shown at most; the rest is only counted.
constexpr int ShownBytes = 200;

// The reply in double quotes, printable ASCII as it is and every other byte escaped (\n, \r, \t,
// \", \\, else \xHH), cut after ShownBytes with the count of the rest, `notKept` (bytes the
// port did not keep) included: "MD_OK;" or "xxxx"... (and 1234 more bytes).
QString quoted(const QByteArray &reply, qint64 notKept = 0);

} // namespace ReplyText
