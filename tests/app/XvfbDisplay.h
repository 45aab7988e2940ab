#pragma once
// A virtual X server for the tests that run the real program on a real display: Xvfb on a free
// display number, and the environment an X client of it needs.

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

// Starts `xvfb` and fills `env`; an empty result on success, else why it failed. Waits at most
// 15 s in all.
inline QString startXvfb(QProcess &xvfb, QProcessEnvironment &env)
{
    // Xvfb picks a free display and tells its number on the descriptor given.
    xvfb.start("Xvfb",
               {"-displayfd", "1", "-screen", "0", "1920x1080x24", "-nolisten", "tcp", "-noreset"});
    if (!xvfb.waitForStarted(5000))
        return QStringLiteral("Xvfb does not start");
    const QDeadlineTimer deadline(10000);
    while (!xvfb.canReadLine() && !deadline.hasExpired())
        xvfb.waitForReadyRead(100);
    const QString display = QString::fromLatin1(xvfb.readLine()).trimmed();
    if (display.isEmpty())
        return QStringLiteral("Xvfb told no display");
    env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", ":" + display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    // The X keyboard library reads its strings with strndup past their terminators, which the
    // strict string check reports although it is allowed; the check is for our code.
    if (env.contains("ASAN_OPTIONS"))
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":strict_string_checks=0");
    return QString();
}
