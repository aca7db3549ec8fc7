#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

// A settings file in the private-profile (INI) form that existing installations keep:
// "[Section]" lines and "Key=Value" lines, Windows-1252 text, CR LF line ends. A file that
// a text editor saved with a byte-order mark (UTF-8, UTF-16 LE or BE) is read and rewritten
// in that encoding. Section and key names match without regard to case; a missing file,
// section or key reads empty. Every call opens the file by name; nothing is cached.
//
// A write reads, changes and replaces the file under a lock (a file beside it named after
// it with ".lock", which every user of the folder can lock), so two copies of the program
// writing at once keep each other's values; a write that cannot take the lock fails. The
// file is replaced whole, so a failure leaves the previous one untouched.
class IniFile {
public:
    explicit IniFile(QString path);

    const QString& path() const { return m_path; }

    // The value, at most 2047 characters; empty when missing or unreadable.
    QString read(const QString& section, const QString& key) const;
    // Several values of one section, read with one opening of the file.
    QStringList read(const QString& section, const QStringList& keys) const;

    // The same reading rule over a file's bytes.
    static QStringList valuesIn(QByteArrayView bytes, const QString& section,
                                const QStringList& keys);

    // The file `before` with the entries written into `section`, as write() replaces it.
    static QByteArray merged(QByteArrayView before, const QString& section,
                             const QList<std::pair<QString, QString>>& entries);
    // Every key of the bytes with its section, in file order (keys before any section are
    // in none and left out).
    static QList<std::pair<QString, QString>> keysIn(QByteArrayView bytes);

    // Writes `key=value` into `section`, creating file, section and key as needed and
    // replacing an existing value in place; every other line stays as it was.
    // On failure `error` holds "Unable to write to <full path>".
    bool write(const QString& section, const QString& key, const QString& value,
               QString* error = nullptr) const;
    // Several values of one section in one replacement of the file: all or none.
    bool write(const QString& section, const QList<std::pair<QString, QString>>& entries,
               QString* error = nullptr) const;

    static constexpr int kMaxValueLength = 2047;
    // A settings file is a few lines; a larger file is read only this far and never
    // rewritten (that would cut it).
    static constexpr qint64 kMaxFileSize = 1024 * 1024;

private:
    QString m_path;
};
