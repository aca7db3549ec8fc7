#include "FileDialogs.h"

#include "Services.h"

namespace FileDialogs {

QString openFile(QWidget* parent, const QString& title, const QString& filter) {
    return Services::fileDialogs().openFileName(parent, title, filter);
}

QString chooseFolder(QWidget* parent, const QString& title, const QString& start) {
    return Services::fileDialogs().folderName(parent, title, start);
}

} // namespace FileDialogs
