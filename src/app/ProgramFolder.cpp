#include "ProgramFolder.h"

#include "Services.h"

namespace ProgramFolder {

QString path() {
    return Services::folder().programFolder();
}

QString file(const QString& bareName) {
    return path() + bareName;
}

} // namespace ProgramFolder
