#include "ProgramFolder.h"

#include "Services.h"

namespace ProgramFolder {

QString path() {
    return Services::folder().programFolder();
}

QString file(const QString& bareName) {
    return path() + bareName;
}

Settings settings() {
    return Settings(file(Settings::FileName));
}

} // namespace ProgramFolder
