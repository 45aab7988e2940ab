#include "Settings.h"

#include <QVector>

#include <cstring>

QString SettingKey::path() const
{
    return QLatin1String(group) + QLatin1Char('/') + QLatin1String(name);
}

double NumberSetting::fit(double v) const
{
    const double rounded = QString::number(v, 'f', 1).toDouble();
    return qBound(min, rounded, max);
}

QString ChoiceSetting::choice(int number) const
{
    return QString::fromLatin1(pattern).arg(number);
}

QStringList ChoiceSetting::choices() const
{
    QStringList all;
    for (int number = first; number <= last; ++number)
        all << choice(number);
    return all;
}

namespace Setting {

QVector<SettingKey> allKeys()
{
    return {
#define VX_NUMBER(name, ...) name.key,
#define VX_SWITCH(name, ...) name.key,
#define VX_TEXT(name, ...) name.key,
#define VX_CHOICE(name, ...) name.key,
#include "SettingsTable.def"
#undef VX_NUMBER
#undef VX_SWITCH
#undef VX_TEXT
#undef VX_CHOICE
    };
}

QVector<SettingKey> keysOf(const char *group)
{
    QVector<SettingKey> keys;
    for (const SettingKey &key : allKeys()) {
        if (key.isStored() && std::strcmp(key.group, group) == 0)
            keys << key;
    }
    return keys;
}

} // namespace Setting
