#pragma once

#include <QString>

class QFileDialog;
class QWidget;

// The open-file dialog as the program shows it: a title and the filters of `filter`
// (";;" between two of them), each shown with its caption exactly as given. "*.*" matches
// every file, also one without an extension, as it does on Windows; Qt's own dialog and
// GTK's would otherwise match it only to names with a dot.
namespace OpenFileDialog {

void configure(QFileDialog& dialog, const QString& title, const QString& filter);

// The chosen file's full path, or empty when the user cancelled.
QString run(QWidget* parent, const QString& title, const QString& filter);

} // namespace OpenFileDialog
