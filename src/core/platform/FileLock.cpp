#include "FileLock.h"

#include "FileLockPlatform.h"

#include <QDeadlineTimer>
#include <QFileDevice>
#include <QThread>

#include <algorithm>

namespace FileLock {
namespace {

// Polls `attempt` until it succeeds, fails for good or the time is up; the pauses grow
// from 1 ms to 10 ms, so a lock handed over between two copies changes hands at once.
template <typename Attempt> Result waitFor(Attempt attempt, const QDeadlineTimer& deadline) {
    for (int pause = 1;; pause = std::min(pause * 2, 10)) {
        if (attempt())
            return Result::Locked;
        const Result failure = Platform::lastFailure();
        if (failure != Result::Busy)
            return failure;
        if (deadline.hasExpired())
            return Result::Busy;
        QThread::msleep(static_cast<unsigned long>(pause));
    }
}

} // namespace

Result acquire(QFileDevice& file, Mode mode, int timeoutMs) {
    if (!Platform::hasHandle(file))
        return Result::Failed;
    const QDeadlineTimer deadline(timeoutMs);
    const bool writer = mode == Mode::Exclusive;
    // A reader passes through the gate; a writer keeps it until it has the data lock.
    const Result gate = waitFor([&] { return Platform::tryGate(file, writer); }, deadline);
    if (gate != Result::Locked)
        return gate;
    if (!writer)
        Platform::openGate(file);
    const Result data = waitFor([&] { return Platform::tryData(file, mode); }, deadline);
    if (writer)
        Platform::openGate(file);
    return data;
}

void release(QFileDevice& file) {
    if (Platform::hasHandle(file))
        Platform::releaseData(file);
}

} // namespace FileLock
