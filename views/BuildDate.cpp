#include "BuildDate.h"

#include <QDate>
#include <QLocale>

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
    return QStringLiteral("Vexa Print&Cut Plugin  Build ") + buildDateDigits(compilerDate);
}
