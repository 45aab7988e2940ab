#include "HostSettings.h"

#include "common/SettingsFile.h"

#include <QStandardPaths>
#include <cmath>

namespace HostSettings {

namespace {

QString &overriddenPath()
{
    static QString path;
    return path;
}

const char *keyOf(Overlay overlay)
{
    switch (overlay) {
    case Overlay::CutLines:
        return "view/cutLines";
    case Overlay::CreaseLines:
        return "view/creaseLines";
    case Overlay::MarkZones:
        break;
    }
    return "view/markZones";
}

QVariant stored(const QString &key, const QVariant &fallback)
{
    return settingsFileValue(filePath(), key, fallback);
}

Result<> store(const QString &key, const QVariant &value)
{
    return editSettingsFile(filePath(),
                            [&](QSettings &settings) { settings.setValue(key, value); });
}

// A hand-edited file may hold anything: out of range or not a number reads as no margin.
double validMargin(double mm, double most = MaxCutMarginMm)
{
    if (!std::isfinite(mm) || mm < 0 || mm > most)
        return 0.0;
    return std::round(mm * 10) / 10;
}

} // namespace

QString filePath()
{
    if (!overriddenPath().isEmpty())
        return overriddenPath();
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/VexaCommonPlugin/drawing-host.ini");
}

void setFilePath(const QString &path)
{
    overriddenPath() = path;
}

double cutMarginMm()
{
    bool ok = false;
    const double mm = stored(QStringLiteral("boundary/cutMarginMm"), 0.0).toDouble(&ok);
    return ok ? validMargin(mm) : 0.0;
}

Result<> setCutMarginMm(double mm)
{
    return store(QStringLiteral("boundary/cutMarginMm"), validMargin(mm));
}

double bleedMm()
{
    bool ok = false;
    const double mm = stored(QStringLiteral("boundary/bleedMm"), 0.0).toDouble(&ok);
    return ok ? validMargin(mm, MaxBleedMm) : 0.0;
}

Result<> setBleedMm(double mm)
{
    return store(QStringLiteral("boundary/bleedMm"), validMargin(mm, MaxBleedMm));
}

bool shows(Overlay overlay)
{
    return stored(QLatin1String(keyOf(overlay)), true).toBool();
}

Result<> setShows(Overlay overlay, bool on)
{
    return store(QLatin1String(keyOf(overlay)), on);
}

} // namespace HostSettings
