#include "Settings.h"

namespace {

const QString kNumbering = QStringLiteral("Numerazione Protocollo");
const QString kStart = QStringLiteral("Inizio");
const QString kYearAfterNumber = QStringLiteral("Indicazione Anno Solare");

const QString kProtocolCard = QStringLiteral("Protocollo Documenti");
const QString kOffice = QStringLiteral("Ufficio");
const QString kOperator = QStringLiteral("Operatore");

const QString kExport = QStringLiteral("Esportazione");
const QString kFormat = QStringLiteral("Formato");
const QString kBackup = QStringLiteral("Backup");
const QString kBackupFolder = QStringLiteral("Cartella");

} // namespace

Settings::Numbering Settings::numbering() const {
    const QStringList values = m_file.read(kNumbering, {kStart, kYearAfterNumber});
    return {values[0], values[1]};
}

bool Settings::setNumbering(const QString& start, bool yearAfterNumber, QString* error) const {
    return m_file.write(kNumbering,
                        {{kStart, start}, {kYearAfterNumber, yearAfterNumber ? Yes : No}}, error);
}

Settings::ProtocolCard Settings::protocolCard() const {
    const QStringList values = m_file.read(kProtocolCard, {kOffice, kOperator});
    return {values[0], values[1]};
}

bool Settings::setProtocolCard(const ProtocolCard& values, QString* error) const {
    return m_file.write(kProtocolCard, {{kOffice, values.office}, {kOperator, values.operatorName}},
                        error);
}

QString Settings::exportFormat() const {
    return m_file.read(kExport, kFormat);
}

bool Settings::setExportFormat(const QString& key, QString* error) const {
    return m_file.write(kExport, {{kFormat, key}}, error);
}

QString Settings::backupFolder() const {
    return m_file.read(kBackup, kBackupFolder);
}

bool Settings::setBackupFolder(const QString& folder, QString* error) const {
    return m_file.write(kBackup, kBackupFolder, folder, error);
}
