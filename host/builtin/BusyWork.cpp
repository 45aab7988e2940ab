#include "BusyWork.h"

#include "BuiltinHost.h"

#include <QApplication>
#include <QEventLoop>
#include <QThread>

#include <atomic>
#include <memory>

namespace BusyWork {

namespace {

bool busy = false; // GUI thread only
std::atomic<int> doneSteps{0};
std::atomic<int> totalSteps{0};

bool onGuiThread()
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    return app && QThread::currentThread() == app->thread();
}

} // namespace

void run(const QString &step, const std::function<void()> &work)
{
    // Nested work (a boundary inside another command's work) is already off the GUI thread;
    // without a window (cutjob) nothing needs to keep painting.
    if (busy || !onGuiThread() || !BuiltinHost::windowAllowed()) {
        work();
        return;
    }
    busy = true;
    doneSteps = 0;
    totalSteps = 0;
    BuiltinHost &host = BuiltinHost::instance();
    emit host.workStarted(step);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    QEventLoop loop;
    std::unique_ptr<QThread> worker(QThread::create(work));
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    // The GUI thread comes first on a busy machine: a window that paints late looks frozen.
    worker->start(QThread::LowPriority);
    // Painting, timers and sockets go on; input waits in the queue until the work is done.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    QApplication::restoreOverrideCursor();
    busy = false;
    emit host.workFinished(step);
}

bool running()
{
    return busy;
}

void progress(int done, int total)
{
    totalSteps = total;
    doneSteps = done;
}

void currentProgress(int *done, int *total)
{
    *done = doneSteps;
    *total = totalSteps;
}

} // namespace BusyWork
