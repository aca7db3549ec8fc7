#pragma once

#include <QString>

class QWidget;

namespace FileDialogs {

// The chosen file's full path, or empty when the user cancelled.
QString openFile(QWidget* parent, const QString& title, const QString& filter);
// The chosen folder's full path, or empty when the user cancelled.
QString chooseFolder(QWidget* parent, const QString& title, const QString& start);

} // namespace FileDialogs
