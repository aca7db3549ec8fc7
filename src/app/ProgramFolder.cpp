#include "ProgramFolder.h"

#include "Services.h"
#include "core/Settings.h"

namespace ProgramFolder {

QString path() {
    return Services::folder().programFolder();
}

QString file(const QString& bareName) {
    return path() + bareName;
}

IniFile settings() {
    return IniFile(file(Settings::FileName));
}

} // namespace ProgramFolder
