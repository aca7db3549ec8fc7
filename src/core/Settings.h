#pragma once

#include <QString>

// The settings file "Faldora_Pro.ini" in the program folder: its sections and keys.
namespace Settings {

inline const QString FileName = QStringLiteral("Faldora_Pro.ini");

inline const QString Numbering = QStringLiteral("Numerazione Protocollo");
inline const QString Start = QStringLiteral("Inizio");
inline const QString YearAfterNumber = QStringLiteral("Indicazione Anno Solare");

inline const QString ProtocolCard = QStringLiteral("Protocollo Documenti");
inline const QString Office = QStringLiteral("Ufficio");
inline const QString Operator = QStringLiteral("Operatore");

// The two values of YearAfterNumber; only an exact "Sì" means yes.
inline const QString Yes = QStringLiteral("Sì");
inline const QString No = QStringLiteral("No");

} // namespace Settings
