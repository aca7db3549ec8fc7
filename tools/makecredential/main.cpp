// Writes the delivered credential file, holding the first-access password, with the
// program's own cipher: makecredential [--if-missing] PATH.
#include "core/Credential.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool ifMissing = args.removeAll(QStringLiteral("--if-missing")) > 0;
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: makecredential [--if-missing] PATH\n");
        return 2;
    }
    const QString path = args.first();
    // A user's own password is never overwritten.
    if (ifMissing && QFile::exists(path))
        return 0;
    QString error;
    if (!Credential::write(path, QStringLiteral("lucernavolpina"), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
