#include "BackupManifest.h"

#include <QSet>

#ifndef FALDORA_VERSION
#define FALDORA_VERSION "0"
#endif

namespace BackupManifest {
namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

bool isHexDigest(QByteArrayView text) {
    if (text.size() != 64)
        return false;
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

} // namespace

QString programVersion() {
    return QStringLiteral(FALDORA_VERSION);
}

QByteArray write(const Manifest& manifest) {
    QByteArray out = kHeader + '\n';
    out += "programma\t" + manifest.programVersion.toUtf8() + '\n';
    out += "formato\t" + QByteArray::number(manifest.format) + '\n';
    out += "data\t" + manifest.date.toString(kDateFormat).toUtf8() + '\n';
    for (const File& file : manifest.files)
        out += "file\t" + QByteArray::number(file.size) + '\t' + file.sha256 + '\t' +
               file.path.toUtf8() + '\n';
    return out;
}

std::optional<Manifest> parse(QByteArrayView bytes, QString* error) {
    const auto fail = [error](const QString& why) -> std::optional<Manifest> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const QList<QByteArrayView> lines = [&] {
        QList<QByteArrayView> out;
        qsizetype start = 0;
        while (start < bytes.size()) {
            qsizetype end = bytes.indexOf('\n', start);
            if (end < 0)
                end = bytes.size();
            out.append(bytes.sliced(start, end - start));
            start = end + 1;
        }
        return out;
    }();
    if (lines.isEmpty() || lines.first() != kHeader)
        return fail(QStringLiteral("l'elenco del contenuto non è quello di un backup di Faldora"));
    Manifest manifest;
    bool haveVersion = false, haveFormat = false, haveDate = false;
    QSet<QString> seen;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> columns = lines[i].toByteArray().split('\t');
        const QByteArray& key = columns.first();
        const QString where = QStringLiteral("la riga %1 dell'elenco del contenuto").arg(i + 1);
        if (key == "programma" && columns.size() == 2) {
            manifest.programVersion = QString::fromUtf8(columns[1]);
            haveVersion = true;
        } else if (key == "formato" && columns.size() == 2) {
            bool ok = false;
            manifest.format = columns[1].toInt(&ok);
            if (!ok)
                return fail(where + QStringLiteral(" non si legge"));
            if (manifest.format > kFormat)
                return fail(QStringLiteral("il backup è stato fatto da una versione più recente "
                                           "di Faldora (%1)")
                                .arg(manifest.programVersion));
            haveFormat = true;
        } else if (key == "data" && columns.size() == 2) {
            manifest.date = QDateTime::fromString(QString::fromUtf8(columns[1]), kDateFormat);
            if (!manifest.date.isValid())
                return fail(where + QStringLiteral(" non si legge"));
            haveDate = true;
        } else if (key == "file" && columns.size() == 4) {
            File file;
            bool ok = false;
            file.size = columns[1].toLongLong(&ok);
            file.sha256 = columns[2];
            file.path = QString::fromUtf8(columns[3]);
            if (!ok || file.size < 0 || !isHexDigest(file.sha256) || file.path.isEmpty() ||
                file.path.toUtf8() != columns[3])
                return fail(where + QStringLiteral(" non si legge"));
            if (seen.contains(file.path))
                return fail(QStringLiteral("il file %1 è elencato due volte").arg(file.path));
            seen.insert(file.path);
            manifest.files.append(file);
        } else {
            return fail(where + QStringLiteral(" non si legge"));
        }
    }
    if (!haveVersion || !haveFormat || !haveDate)
        return fail(QStringLiteral("l'elenco del contenuto è incompleto"));
    return manifest;
}

} // namespace BackupManifest
