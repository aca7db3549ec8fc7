#include "Users.h"

#include "Processes.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_UNIX

namespace {

const passwd* nobody() {
    return ::getpwnam("nobody");
}

} // namespace

QString otherUserUnavailable() {
    if (::geteuid() != 0)
        return QStringLiteral("only root can start a process as another user");
    if (!nobody())
        return QStringLiteral("this machine has no user \"nobody\"");
    return {};
}

namespace {

// A copy of `program` that every user may run, made once per test program.
QString reachableCopy(const QString& program) {
    static QTemporaryDir folder;
    const QString copy = folder.filePath(QFileInfo(program).fileName());
    if (!QFile::exists(copy)) {
        ::chmod(QFile::encodeName(folder.path()).constData(), 0755);
        if (!QFile::copy(program, copy))
            return program; // the start then fails, and the test with it
        ::chmod(QFile::encodeName(copy).constData(), 0755);
    }
    return copy;
}

} // namespace

bool startAs(QProcess& process, bool otherUser, int umask, const QString& program,
             const QStringList& arguments) {
    // Looked up here: between fork and exec only plain system calls are safe.
    const passwd* user = otherUser ? nobody() : nullptr;
    const uid_t uid = user ? user->pw_uid : ::geteuid();
    const gid_t gid = user ? user->pw_gid : ::getegid();
    process.setChildProcessModifier([otherUser, uid, gid, umask] {
        ::umask(mode_t(umask));
        if (otherUser && (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0))
            ::_exit(126);
    });
    return startProgram(process, otherUser ? reachableCopy(program) : program, arguments);
}

Umask::Umask(int mask) : m_previous(int(::umask(mode_t(mask)))) {}

Umask::~Umask() {
    ::umask(mode_t(m_previous));
}

#else

QString otherUserUnavailable() {
    return QStringLiteral("starting a process as another user needs a second account here");
}

bool startAs(QProcess& process, bool, int, const QString& program, const QStringList& arguments) {
    return startProgram(process, program, arguments);
}

Umask::Umask(int) {}
Umask::~Umask() = default;

#endif
