#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

// A settings file in the private-profile (INI) form that existing installations keep:
// "[Section]" lines and "Key=Value" lines, Windows-1252 text, CR LF line ends. Section
// and key names match without regard to case; a missing file, section or key reads
// empty. Every call opens the file by name; nothing is cached.
class IniFile {
public:
    explicit IniFile(QString path);

    const QString& path() const { return m_path; }

    // The value, at most 2047 characters; empty when missing or unreadable.
    QString read(const QString& section, const QString& key) const;
    // Several values of one section, read with one opening of the file.
    QStringList read(const QString& section, const QStringList& keys) const;

    // Writes `key=value` into `section`, creating file, section and key as needed and
    // replacing an existing value in place; every other line stays as it was. The file is
    // replaced whole and atomically, so a failure leaves the previous file untouched.
    // On failure `error` holds "Unable to write to <full path>".
    bool write(const QString& section, const QString& key, const QString& value,
               QString* error = nullptr) const;
    // Several values of one section in one replacement of the file: all or none.
    bool write(const QString& section, const QList<std::pair<QString, QString>>& entries,
               QString* error = nullptr) const;

    static constexpr int kMaxValueLength = 2047;

private:
    QString m_path;
};
