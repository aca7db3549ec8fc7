#pragma once

#include <QString>

// Makes a file or folder refuse writes for the life of the object, also for root (who
// ignores permission bits): the immutable attribute then, where the file system has it.
class ReadOnly {
public:
    explicit ReadOnly(const QString& path);
    ~ReadOnly();
    // False when this machine offers no way to make `path` refuse writes.
    bool ok() const { return m_ok; }

private:
    QString m_path;
    bool m_immutable = false;
    bool m_ok = false;
};
