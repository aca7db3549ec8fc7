#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QThread>

// Starts `program` and waits until it runs. Now and then Wine's loader cannot set up a new
// process and CreateProcess answers "Internal error": such a start is tried again, since what
// the tests look at is what the program does once it runs. Any other failure is final.
inline bool startProgram(QProcess& process, const QString& program, const QStringList& arguments) {
    constexpr int kAttempts = 5;
    for (int attempt = 1;; ++attempt) {
        process.start(program, arguments);
        if (process.waitForStarted(30000))
            return true;
        const bool again = process.error() == QProcess::FailedToStart && attempt < kAttempts;
        qWarning("%s did not start, attempt %d: %s", qPrintable(program), attempt,
                 qPrintable(process.errorString()));
        if (!again)
            return false;
        QThread::msleep(200 * attempt);
    }
}

// The archive worker: the program's file code in a process of its own, which the tests start
// beside themselves, let die at a chosen step, or kill.
inline QString workerPath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/archive_worker");
}

inline bool startWorker(QProcess& process, const QStringList& arguments) {
    return startProgram(process, workerPath(), arguments);
}
