#pragma once

#include "core/Settings.h"

#include <QString>

// Every file of the program lies in the program folder, the executable's own folder.
namespace ProgramFolder {

// With its trailing separator, in the platform's own notation.
QString path();
// The program folder followed directly by a bare file name.
QString file(const QString& bareName);
// The settings file "Faldora_Pro.ini".
Settings settings();

} // namespace ProgramFolder
