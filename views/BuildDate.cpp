#include "BuildDate.h"
#include "common/Version.h"

#include <QLocale>

namespace {
QDate givenBuildDay;

QString versionPrefix()
{
    return QStringLiteral("Vexa Print&Cut Plugin ") + QLatin1String(PROGRAM_VERSION) +
           QStringLiteral("  Build ");
}
} // namespace

QString buildDateDigits(const QString &compilerDate)
{
    // The month abbreviations are English whatever the user's locale.
    const QLocale english(QLocale::English, QLocale::AnyCountry);
    QString digits = english.toDate(compilerDate, QStringLiteral("MMM dd yyyy"))
                         .toString(QStringLiteral("yyyyMMdd"));
    if (digits.isEmpty()) {
        digits = english.toDate(compilerDate, QStringLiteral("MMM  d yyyy"))
                     .toString(QStringLiteral("yyyyMMdd"));
    }
    return digits;
}

QString versionLine(const QString &compilerDate)
{
    return versionPrefix() + buildDateDigits(compilerDate);
}

void setBuildDay(const QDate &day)
{
    givenBuildDay = day;
}

QString programVersionLine()
{
    if (givenBuildDay.isValid())
        return versionPrefix() + givenBuildDay.toString(QStringLiteral("yyyyMMdd"));
    return versionLine(QStringLiteral(__DATE__));
}
