#include "FileDialogs.h"

#include "Services.h"

namespace FileDialogs {

QString openFile(QWidget* parent, const QString& title, const QString& filter) {
    return Services::fileDialogs().openFileName(parent, title, filter);
}

} // namespace FileDialogs
