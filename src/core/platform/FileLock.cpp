#include "FileLock.h"

#include "FileLockPlatform.h"

#include <QDeadlineTimer>
#include <QFileDevice>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace FileLock {
namespace {

Faults g_faults;

// The platform's attempts, through the seams.
bool tryGate(QFileDevice& file, bool exclusive) {
    ++g_faults.lockAttempts;
    return !g_faults.noLocks && Platform::tryGate(file, exclusive);
}
bool tryData(QFileDevice& file, Mode mode) {
    ++g_faults.lockAttempts;
    return !g_faults.noLocks && Platform::tryData(file, mode);
}
Result lastFailure() {
    return g_faults.noLocks ? Result::Unsupported : Platform::lastFailure();
}

// Polls `attempt` until it succeeds, fails for good or the time is up; the pauses grow
// from 1 ms to 10 ms, so a lock handed over between two copies changes hands at once.
template <typename Attempt> Result waitFor(Attempt attempt, const QDeadlineTimer& deadline) {
    for (int pause = 1;; pause = std::min(pause * 2, 10)) {
        if (attempt())
            return Result::Locked;
        const Result failure = lastFailure();
        if (failure != Result::Busy)
            return failure;
        if (deadline.hasExpired())
            return Result::Busy;
        QThread::msleep(static_cast<unsigned long>(pause));
    }
}

} // namespace

bool take(QFileDevice& file, Mode mode, int timeoutMs, bool& held) {
    const Result result = acquire(file, mode, timeoutMs);
    held = result == Result::Locked;
    return held || result == Result::Unsupported;
}

Result acquire(QFileDevice& file, Mode mode, int timeoutMs) {
    if (!Platform::hasHandle(file))
        return Result::Failed;
    const QDeadlineTimer deadline(
        g_faults.longestWaitMs >= 0 ? std::min(timeoutMs, g_faults.longestWaitMs) : timeoutMs);
    const bool writer = mode == Mode::Exclusive;
    // A reader passes through the gate; a writer keeps it until it has the data lock.
    const Result gate = waitFor([&] { return tryGate(file, writer); }, deadline);
    if (gate != Result::Locked)
        return gate;
    if (!writer)
        Platform::openGate(file);
    const Result data = waitFor([&] { return tryData(file, mode); }, deadline);
    if (writer)
        Platform::openGate(file);
    return data;
}

Faults& faults() {
    return g_faults;
}

bool rename(const QString& from, const QString& to) {
    std::error_code error;
    std::filesystem::rename(QFileInfo(from).filesystemAbsoluteFilePath(),
                            QFileInfo(to).filesystemAbsoluteFilePath(), error);
    return !error;
}

bool sync(QFileDevice& file) {
    if (g_faults.syncsBeforeDeath == 0)
        std::_Exit(86);
    if (g_faults.syncsBeforeDeath > 0)
        --g_faults.syncsBeforeDeath;
    if (g_faults.syncsBeforeFailure == 0) {
        g_faults.syncsBeforeFailure = -1;
        return false;
    }
    if (g_faults.syncsBeforeFailure > 0)
        --g_faults.syncsBeforeFailure;
    return Platform::sync(file);
}

void release(QFileDevice& file) {
    if (Platform::hasHandle(file))
        Platform::releaseData(file);
}

} // namespace FileLock
