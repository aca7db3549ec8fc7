#pragma once

#include "IniFile.h"

#include <QString>

// The settings file "Faldora_Pro.ini" of the program folder, value by value. Every read
// and write goes to the file; nothing is kept in between.
class Settings {
public:
    static inline const QString FileName = QStringLiteral("Faldora_Pro.ini");
    // The two stored values of the year setting; only an exact "Sì" means yes.
    static inline const QString Yes = QStringLiteral("Sì");
    static inline const QString No = QStringLiteral("No");

    explicit Settings(const QString& path) : m_file(path) {}
    const QString& path() const { return m_file.path(); }

    // Section "Numerazione Protocollo", as stored (empty when missing).
    struct Numbering {
        QString start;           // "Inizio"
        QString yearAfterNumber; // "Indicazione Anno Solare"
    };
    Numbering numbering() const;
    // Both values, or neither; on failure `error` holds the writer's message.
    bool setNumbering(const QString& start, bool yearAfterNumber, QString* error) const;

    // Section "Protocollo Documenti": what the protocol card window remembers.
    struct ProtocolCard {
        QString office;       // "Ufficio"
        QString operatorName; // "Operatore"
    };
    ProtocolCard protocolCard() const;
    bool setProtocolCard(const ProtocolCard& values, QString* error) const;

    // Section "Esportazione", key "Formato": the format the exports were last written in,
    // as its file name's extension ("xls", "xlsx", "csv"); empty when never chosen.
    QString exportFormat() const;
    bool setExportFormat(const QString& key, QString* error) const;

    // Section "Backup", key "Cartella": the folder the last backup went to.
    QString backupFolder() const;
    bool setBackupFolder(const QString& folder, QString* error) const;

private:
    IniFile m_file;
};
