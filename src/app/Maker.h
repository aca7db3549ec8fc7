#pragma once

#include <QString>

// Who makes the program: set here once, so that a distributor can put in the real ones.
namespace Maker {

inline const QString WebAddress = QStringLiteral("https://www.faldora.example");
inline const QString Email = QStringLiteral("info@faldora.example");

} // namespace Maker
