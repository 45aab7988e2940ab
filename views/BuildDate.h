#pragma once
// The build date as this program shows it in its version line.

#include <QString>

// Turns the compiler's build-date text ("Oct 28 2021", or "Oct  5 2021" with the single-digit
// day padded by a blank) into "yyyyMMdd", e.g. "20211005". Empty when the text is no such date.
QString buildDateDigits(const QString &compilerDate);

// "Vexa Print&Cut Plugin  Build " followed by buildDateDigits(compilerDate).
QString versionLine(const QString &compilerDate);
