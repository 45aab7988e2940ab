#pragma once
// Waiting on the GUI thread without blocking it: the event loop keeps running (the window
// repaints, buttons click, sockets deliver, worker threads report), and the wait ends as soon as
// its condition holds. Nothing here sleeps.

#include <functional>

namespace EventWait {

// Processes events until `done` returns true, or `timeoutMs` milliseconds have passed
// (negative: no limit). Returns the last value of `done`. Blocks only while no event is pending.
bool until(const std::function<bool()> &done, int timeoutMs = -1);

// Lets `ms` milliseconds of elapsed time pass while processing events; returns early, false,
// once `interrupted` returns true.
bool pause(int ms, const std::function<bool()> &interrupted = {});

} // namespace EventWait
