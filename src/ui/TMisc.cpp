#include "TMisc.h"

#include "Services.h"

#include <QDir>

namespace {

QString unquoted(const QString& text) {
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        return text.mid(1, text.size() - 2);
    return text;
}

} // namespace

void TMisc::Open(const QString& target) {
    Services::shell().open(target);
}

QUrl TMisc::urlFor(const QString& target) {
    const QString bare = unquoted(target.trimmed());
    if (bare.isEmpty())
        return {};
    if (bare.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return QUrl(bare, QUrl::TolerantMode);
    if (bare.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
        bare.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        return QUrl(bare, QUrl::TolerantMode);
    // Anything else is a path of this machine.
    return QUrl::fromLocalFile(QDir::fromNativeSeparators(bare));
}
