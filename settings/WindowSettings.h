#pragma once
// The window's settings file read without the window: the values its controls would show after
// start-up, for `cutjob` to act "as in the window". The window itself reads the file through
// the same function, so both agree on keys and missing values.

#include "Settings.h"

#include <QString>

// The stored values as the controls hold them (millimetres already fitted to their boxes).
// `realM2X`, `realM2Y` and `sendCount` are not stored: they keep the control defaults.
struct WindowSettings
{
    QString ipAddress = Setting::IpAddress.text();
    bool blankCut = Setting::BlankCut.value;
    QString cdrVersion = Setting::CdrVersion.text();
    double posLenMm = Setting::PosLen.value;
    double negLenMm = Setting::NegLen.value;
    bool knifeOffsetOn = Setting::KnifeOffsetOn.value;
    double knifeOffsetMm = Setting::KnifeOffset.value;
    bool closeOffsetOn = Setting::CloseOffsetOn.value;
    double closeOffsetMm = Setting::CloseOffset.value;
    bool autoSort = Setting::AutoSort.value;
    bool conSend = Setting::ConSend.value;
    bool createEdge = Setting::CreateEdge.value;
    bool publishToPDF = Setting::PublishToPdf.value;
    bool useRJ45 = Setting::UseRj45.value;
    double realM2XMm = Setting::RealM2X.value;
    double realM2YMm = Setting::RealM2Y.value;
    int sendCount = int(Setting::SendCount.value);
};

// Without a file: the control defaults. With one: a missing key reads as the window reads it,
// empty text, unchecked, 0 raised to the box's minimum; an unknown version keeps the default.
WindowSettings readWindowSettings(const QString &configPath);
