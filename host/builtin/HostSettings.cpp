#include "HostSettings.h"

#include "common/SettingsFile.h"

#include <QHash>
#include <QStandardPaths>
#include <cmath>

namespace HostSettings {

namespace {

QString &overriddenPath()
{
    static QString path;
    return path;
}

const SwitchSetting &settingOf(Overlay overlay)
{
    switch (overlay) {
    case Overlay::CutLines:
        return Setting::ShowCutLines;
    case Overlay::CreaseLines:
        return Setting::ShowCreaseLines;
    case Overlay::MarkZones:
        break;
    }
    return Setting::ShowMarkZones;
}

// What was set during this run: a value the file could not take still holds until the end.
QHash<QString, QVariant> &setThisRun()
{
    static QHash<QString, QVariant> values;
    return values;
}

QVariant stored(const SettingKey &key, const QVariant &fallback)
{
    const auto set = setThisRun().constFind(key.path());
    return set != setThisRun().constEnd() ? *set
                                          : settingsFileValue(filePath(), key.path(), fallback);
}

Result<> store(const SettingKey &key, const QVariant &value)
{
    setThisRun().insert(key.path(), value);
    return editSettingsFile(filePath(),
                            [&](QSettings &settings) { settings.setValue(key.path(), value); });
}

// A hand-edited file may hold anything: out of range or not a number reads as the default (no
// margin); a value in range is held to the box's one decimal.
double validMargin(const NumberSetting &setting, double mm)
{
    if (!std::isfinite(mm) || mm < setting.min || mm > setting.max)
        return setting.value;
    return std::round(mm * 10) / 10;
}

double storedMargin(const NumberSetting &setting)
{
    bool ok = false;
    const double mm = stored(setting.key, setting.value).toDouble(&ok);
    return ok ? validMargin(setting, mm) : setting.value;
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
    setThisRun().clear();
}

double cutMarginMm()
{
    return storedMargin(Setting::CutMargin);
}

Result<> setCutMarginMm(double mm)
{
    return store(Setting::CutMargin.key, validMargin(Setting::CutMargin, mm));
}

double bleedMm()
{
    return storedMargin(Setting::Bleed);
}

Result<> setBleedMm(double mm)
{
    return store(Setting::Bleed.key, validMargin(Setting::Bleed, mm));
}

bool shows(Overlay overlay)
{
    const SwitchSetting &setting = settingOf(overlay);
    return stored(setting.key, setting.value).toBool();
}

Result<> setShows(Overlay overlay, bool on)
{
    return store(settingOf(overlay).key, on);
}

} // namespace HostSettings
