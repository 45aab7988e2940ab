#pragma once
// The settings table (SettingsTable.def) as C++ constants: Setting::PosLen is the window's "Pos:"
// box, its key in the settings file, its default and its range. The window's form, its load and
// save, cutjob's options and the built-in host read these, so a default or a range is written
// once.

#include <QString>
#include <QStringList>
#include <QVector>

// Where a setting is stored: an INI group and a key in it; both empty when it is never stored.
struct SettingKey
{
    const char *group;
    const char *name;

    bool isStored() const { return *name != '\0'; }
    // "group/name", as QSettings takes it.
    QString path() const;
};

// A number box: its default, range and keyboard step.
struct NumberSetting
{
    SettingKey key;
    double value;
    double min;
    double max;
    double step;

    // What a box of one decimal shows after setValue(v): rounded (through its text), then held
    // within the range.
    double fit(double v) const;
};

struct SwitchSetting
{
    SettingKey key;
    bool value;
};

struct TextSetting
{
    SettingKey key;
    const char *value;

    QString text() const { return QString::fromUtf8(value); }
};

// One of a numbered list of texts, pattern.arg(first) to pattern.arg(last).
struct ChoiceSetting
{
    SettingKey key;
    const char *pattern;
    int value;
    int first;
    int last;

    QString choice(int number) const;
    QString text() const { return choice(value); }
    QStringList choices() const;
};

namespace Setting {

#define VX_NUMBER(name, group, key, value, min, max, step)                                         \
    constexpr NumberSetting name{{group, key}, value, min, max, step};
#define VX_SWITCH(name, group, key, value) constexpr SwitchSetting name{{group, key}, value};
#define VX_TEXT(name, group, key, value) constexpr TextSetting name{{group, key}, value};
#define VX_CHOICE(name, group, key, pattern, value, first, last)                                   \
    constexpr ChoiceSetting name{{group, key}, pattern, value, first, last};
#include "SettingsTable.def"
#undef VX_NUMBER
#undef VX_SWITCH
#undef VX_TEXT
#undef VX_CHOICE

// The group of the window's settings file.
constexpr const char *WindowGroup = IpAddress.key.group;

// Every key of the table, stored or not, in the table's order.
QVector<SettingKey> allKeys();
// The keys stored in `group`, in the table's order.
QVector<SettingKey> keysOf(const char *group);

} // namespace Setting
