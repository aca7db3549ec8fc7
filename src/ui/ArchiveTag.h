#pragma once

#include <QString>

// The words an opener puts into a dialog's lblMemory to say which card window called it.
namespace ArchiveTag {

inline const QString Protocol = QStringLiteral("protocollo");
inline const QString Documents = QStringLiteral("altri");

} // namespace ArchiveTag
