#pragma once
// Long work of the built-in host (reading a sheet, its boundary, PDF, printing, export) run so
// that no window freezes: the work goes to a worker thread while the GUI thread keeps painting
// both windows, shows the busy cursor and the step in the host window's status bar, and holds
// back keystrokes and clicks until the work is done (they are delivered then, not lost).
//
// While work runs, the GUI thread must not touch the document the work uses: the host window
// paints from what it kept and refreshes once the work is done. Without a QApplication (cutjob)
// or when called off the GUI thread, the work simply runs where it is called.

#include <QString>

#include <functional>

namespace BusyWork {

// Runs `work` to its end; `step` names it for the user ("Creating the cut boundary").
void run(const QString &step, const std::function<void()> &work);

// Whether work is running now (the GUI thread waits for it).
bool running();

// Work with steps tells how far it is (done of total, total above 0); any thread may call it.
void progress(int done, int total);
// The last progress told for the running work: total 0 when none.
void currentProgress(int *done, int *total);

} // namespace BusyWork
