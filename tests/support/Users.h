#pragma once

#include <QString>

class QProcess;

// Other users of a shared folder, and the rights a user's files get.

// Empty when a process can be started as the unprivileged user "nobody" here (that needs
// root and the account); otherwise why not.
QString otherUserUnavailable();

// Makes `process` start as "nobody" when `otherUser`, else as this user; either way with
// `umask` as its file-creation mask.
void startAs(QProcess& process, bool otherUser, int umask);

// This process's file-creation mask, for the life of the object.
class Umask {
public:
    explicit Umask(int mask);
    ~Umask();
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;

private:
    int m_previous = 0;
};
