#pragma once
// The window's settings file read without the window: the values its controls would show after
// start-up, for `cutjob` to act "as in the window". The window itself reads the file through
// the same function, so both agree on keys and missing values.

#include <QString>

// Range, keyboard step and default of one millimetre box of the settings panel.
struct ControlRange
{
    double min;
    double max;
    double step;
    double value;

    // What the box shows after setValue(v): one decimal, held within the range.
    double fit(double v) const;
};

namespace WindowRange {
constexpr ControlRange RealM2X{17.5, 27.5, 0.5, 22.5};
constexpr ControlRange RealM2Y{3.5, 13.5, 0.5, 8.5};
constexpr ControlRange PosLen{1.0, 100.0, 1.0, 10.0};
constexpr ControlRange NegLen{0.1, 1.0, 0.1, 0.1};
constexpr ControlRange KnifeOffset{0.1, 1.5, 0.1, 0.3};
constexpr ControlRange CloseOffset{0.1, 3.0, 0.1, 0.5};
constexpr int SendCountDefault = 50;
} // namespace WindowRange

// The stored values as the controls hold them (millimetres already fitted to their boxes).
// `realM2X`, `realM2Y` and `sendCount` are not stored: they keep the control defaults.
struct WindowSettings
{
    QString ipAddress = QStringLiteral("192.168.0.200");
    bool blankCut = false; // key "directCut"
    QString cdrVersion = QStringLiteral("CorelDraw.Application.14");
    double posLen = WindowRange::PosLen.value;
    double negLen = WindowRange::NegLen.value;
    bool knifeOffsetOn = false;
    double knifeOffset = WindowRange::KnifeOffset.value;
    bool closeOffsetOn = false;
    double closeOffset = WindowRange::CloseOffset.value;
    bool autoSort = false;
    bool conSend = false;
    bool createEdge = false;
    bool publishToPDF = false;
    bool useRJ45 = false;
    double realM2X = WindowRange::RealM2X.value;
    double realM2Y = WindowRange::RealM2Y.value;
    int sendCount = WindowRange::SendCountDefault;
};

// Without a file: the control defaults. With one: a missing key reads as the window reads it,
// empty text, unchecked, 0 raised to the box's minimum; an unknown version keeps the default.
WindowSettings readWindowSettings(const QString &configPath);
