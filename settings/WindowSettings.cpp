#include "WindowSettings.h"

#include <QFileInfo>
#include <QSettings>

#include <cmath>

WindowSettings readWindowSettings(const QString &configPath)
{
    WindowSettings s;
    if (!QFileInfo::exists(configPath))
        return s;
    const QSettings file(configPath, QSettings::IniFormat);
    const auto read = [&file](const SettingKey &key) { return file.value(key.path(), QString()); };
    const auto flag = [&read](const SwitchSetting &setting) { return read(setting.key).toBool(); };
    // The settings library reads "nan" and "inf" as numbers; a value that is not finite is no
    // number, which reads as 0 and so starts at the box's minimum, not at its maximum.
    const auto number = [&read](const NumberSetting &setting) {
        const double value = read(setting.key).toDouble();
        return setting.fit(std::isfinite(value) ? value : 0.0);
    };
    s.ipAddress = read(Setting::IpAddress.key).toString();
    s.blankCut = flag(Setting::BlankCut);
    const QString version = read(Setting::CdrVersion.key).toString();
    if (Setting::CdrVersion.choices().contains(version))
        s.cdrVersion = version;
    s.posLenMm = number(Setting::PosLen);
    s.negLenMm = number(Setting::NegLen);
    s.knifeOffsetOn = flag(Setting::KnifeOffsetOn);
    s.knifeOffsetMm = number(Setting::KnifeOffset);
    s.closeOffsetOn = flag(Setting::CloseOffsetOn);
    s.closeOffsetMm = number(Setting::CloseOffset);
    s.autoSort = flag(Setting::AutoSort);
    s.conSend = flag(Setting::ConSend);
    s.createEdge = flag(Setting::CreateEdge);
    s.publishToPDF = flag(Setting::PublishToPdf);
    s.useRJ45 = flag(Setting::UseRj45);
    return s;
}
