#pragma once
// The build date as this program shows it in its version line.

#include <QDate>
#include <QString>

// Turns the compiler's build-date text ("Oct 28 2021", or "Oct  5 2021" with the single-digit
// day padded by a blank) into "yyyyMMdd", e.g. "20211005". Empty when the text is no such date.
QString buildDateDigits(const QString &compilerDate);

// "Vexa Print&Cut Plugin <version>  Build " followed by buildDateDigits(compilerDate), the
// version being PROGRAM_VERSION (common/Version.h), the one `cutjob --version` prints.
QString versionLine(const QString &compilerDate);

// The day the program was built. The executable sets it at start-up from a stamp made each time
// it is linked, so an incremental build shows the day of the build, not the day some source
// file was last compiled. A null date goes back to the default: the day this library was
// compiled, for programs (tests) that set none.
void setBuildDay(const QDate &day);

// The version line for the day set by setBuildDay().
QString programVersionLine();
