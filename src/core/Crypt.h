#pragma once

#include <QString>
#include <optional>

// The cipher of the stored password. Each character takes part by its code modulo 256;
// the result is two upper-case hexadecimal digits per character.
namespace Crypt {

QString Encrypt(const QString& plain);

// Nothing when a digit pair is not a hexadecimal number; a last unpaired digit is ignored.
std::optional<QString> Decrypt(const QString& stored);

} // namespace Crypt
