#pragma once

#include <QString>

// Ways to make writes fail as on a full disk, for the life of the object.

// Writes past `bytes` in any file fail (RLIMIT_FSIZE, with SIGXFSZ ignored so the process
// gets the error instead of the signal). Keep it around the action under test only.
class FileSizeLimit {
public:
    explicit FileSizeLimit(long long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return m_ok; }
    // Why not, when not ok().
    QString why() const { return m_why; }

private:
    bool m_ok = false;
    QString m_why;
    unsigned long long m_previous = 0;
};

// A tmpfs of `bytes` mounted over `folder` (which then looks empty); needs the right to
// mount, which root in a sandbox may lack: ok() tells, why() says why not.
class TinyDisk {
public:
    TinyDisk(const QString& folder, long long bytes);
    ~TinyDisk();
    TinyDisk(const TinyDisk&) = delete;
    TinyDisk& operator=(const TinyDisk&) = delete;
    bool ok() const { return m_ok; }
    QString why() const { return m_why; }
    // Takes up all the room left, so that the next byte written anywhere on it fails.
    bool fill();

private:
    QString m_folder;
    bool m_ok = false;
    QString m_why;
};
