// Writes the delivered credential file, holding the first-access password, with the
// program's own cipher: makecredential [--if-missing] [--password TEXT] PATH. Another
// password stands for a user's own, for the tests of an installation in use.
#include "core/Credential.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool ifMissing = args.removeAll(QStringLiteral("--if-missing")) > 0;
    QString password = QStringLiteral("lucernavolpina");
    if (const auto at = args.indexOf(QStringLiteral("--password"));
        at >= 0 && at + 1 < args.size()) {
        password = args.takeAt(at + 1);
        args.removeAt(at);
    }
    if (args.size() != 1 || args.first().startsWith(QStringLiteral("--"))) {
        std::fprintf(stderr, "usage: makecredential [--if-missing] [--password TEXT] PATH\n");
        return 2;
    }
    if (const auto refusal = Credential::refusal(password)) {
        std::fprintf(stderr, "%s\n", qPrintable(*refusal));
        return 2;
    }
    const QString path = args.first();
    // A user's own password is never overwritten.
    if (ifMissing && QFile::exists(path))
        return 0;
    QString error;
    if (!Credential::write(path, password, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
