#include "PagePictureMaker.h"

#include "RsvgPageRenderer.h"

#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QThreadPool>

#include <atomic>

// What the worker and the GUI thread share: the generation wanted now, and the receiver of the
// picture, cleared under the lock when the maker goes so that nothing is posted to it after.
struct PagePictureMaker::Shared
{
    std::atomic<int> wanted{0};
    QMutex lock;
    PagePictureMaker *receiver = nullptr;
};

bool PagePictureMaker::Request::operator==(const Request &other) const
{
    return pixels == other.pixels && pageInches == other.pageInches && baseFile == other.baseFile &&
           svg == other.svg;
}

PagePictureMaker::PagePictureMaker(QObject *parent)
    : QObject(parent), shared(std::make_shared<Shared>())
{
    shared->receiver = this;
}

PagePictureMaker::~PagePictureMaker()
{
    QMutexLocker locked(&shared->lock);
    shared->receiver = nullptr;
    ++shared->wanted;
}

void PagePictureMaker::request(const Request &wanted)
{
    const Request &latest = hasWaiting ? waiting : running ? drawing : lastDelivered;
    if (wanted == latest)
        return;
    waiting = wanted;
    hasWaiting = true;
    // The drawing under way is for an older page or size: it stops at its next check.
    ++shared->wanted;
    if (!running)
        startNext();
}

bool PagePictureMaker::busy() const
{
    return running || hasWaiting;
}

void PagePictureMaker::startNext()
{
    drawing = waiting;
    hasWaiting = false;
    running = true;
    const int generation = shared->wanted;
    const std::shared_ptr<Shared> state = shared;
    const Request job = drawing;
    // The application waits for the pool's work as it ends, so no drawing outlives the libraries.
    QThreadPool::globalInstance()->start([state, job, generation] {
        const auto stillWanted = [&state, generation] { return state->wanted == generation; };
        const Result<QImage> picture =
            RsvgPageRenderer::image(job.svg, job.baseFile, job.pageInches, job.pixels, stillWanted);
        const QImage image = picture ? *picture : QImage();
        const QString failure = picture ? QString() : picture.error();
        QMutexLocker locked(&state->lock);
        if (PagePictureMaker *receiver = state->receiver)
            QMetaObject::invokeMethod(
                receiver,
                [receiver, generation, image, failure] {
                    receiver->delivered(generation, image, failure);
                },
                Qt::QueuedConnection);
    });
}

void PagePictureMaker::delivered(int generation, const QImage &picture, const QString &failure)
{
    running = false;
    if (hasWaiting) {
        startNext();
        return;
    }
    if (generation != shared->wanted)
        return;
    lastDelivered = drawing;
    emit finished(picture, failure);
}
