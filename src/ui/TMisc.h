#pragma once

#include <QString>
#include <QUrl>

// Hands a file or an address to the desktop shell; reports nothing when the shell fails.
class TMisc {
public:
    // `target` is a file path in double quotes, a bare web address or a "mailto:" address
    // in double quotes.
    static void Open(const QString& target);

    // The URL that the desktop is asked to open for `target`.
    static QUrl urlFor(const QString& target);
};
