#pragma once

#include <QString>
#include <QStringList>

class QProcess;

// Other users of a shared folder, and the rights a user's files get.

// Empty when a process can be started as the unprivileged user "nobody" here (that needs
// root and the account); otherwise why not.
QString otherUserUnavailable();

// Starts `program` as "nobody" when `otherUser`, else as this user; either way with `umask`
// as its file-creation mask. The other user runs a copy in a folder anyone may enter, since
// the build folder may lie where only its owner can reach (a checkout under /root). True once
// it runs.
bool startAs(QProcess& process, bool otherUser, int umask, const QString& program,
             const QStringList& arguments);

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
