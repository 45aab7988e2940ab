#include "WindowSettings.h"

#include <QFileInfo>
#include <QSettings>

#include <cmath>

double ControlRange::fit(double v) const
{
    // As a spin box of one decimal rounds (through its text) before it bounds.
    const double rounded = QString::number(v, 'f', 1).toDouble();
    return qBound(min, rounded, max);
}

WindowSettings readWindowSettings(const QString &configPath)
{
    WindowSettings s;
    if (!QFileInfo::exists(configPath))
        return s;
    const QSettings file(configPath, QSettings::IniFormat);
    const auto read = [&file](const char *key) {
        return file.value(QStringLiteral("VX_Plugin/") + QLatin1String(key), QString());
    };
    // The settings library reads "nan" and "inf" as numbers; a value that is not finite is no
    // number, which reads as 0 and so starts at the box's minimum, not at its maximum.
    const auto number = [&read](const char *key) {
        const double value = read(key).toDouble();
        return std::isfinite(value) ? value : 0.0;
    };
    s.ipAddress = read("ipAddress").toString();
    s.blankCut = read("directCut").toBool();
    const QString version = read("cdrVersion").toString();
    for (int number = 14; number <= 23; ++number) {
        if (version == QStringLiteral("CorelDraw.Application.%1").arg(number))
            s.cdrVersion = version;
    }
    s.posLen = WindowRange::PosLen.fit(number("posLen"));
    s.negLen = WindowRange::NegLen.fit(number("negLen"));
    s.knifeOffsetOn = read("knifeOffsetChx").toBool();
    s.knifeOffset = WindowRange::KnifeOffset.fit(number("knifeOffsetDspbx"));
    s.closeOffsetOn = read("closeOffsetChx").toBool();
    s.closeOffset = WindowRange::CloseOffset.fit(number("closeOffsetDspbx"));
    s.autoSort = read("autoSort").toBool();
    s.conSend = read("conSend").toBool();
    s.createEdge = read("createEdge").toBool();
    s.publishToPDF = read("publishToPDF").toBool();
    s.useRJ45 = read("useRJ45").toBool();
    return s;
}
