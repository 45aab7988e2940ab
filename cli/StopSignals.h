#pragma once
// SIGINT and SIGTERM turned into calls on the event loop, so a long-running subcommand (a send,
// the simulated cutter) can stop cleanly: a signal handler may do next to nothing, so it only
// wakes the loop, which then calls `onSignal`.

#include <QObject>
#include <functional>

class QSocketNotifier;

class StopSignals : public QObject
{
    Q_OBJECT

public:
    // At most one instance at a time; the previous handlers come back when it goes.
    explicit StopSignals(std::function<void(int signal)> onSignal, QObject *parent = nullptr);
    ~StopSignals() override;

private:
    void deliver();

    std::function<void(int)> onSignal;
    QSocketNotifier *notifier = nullptr;
};
