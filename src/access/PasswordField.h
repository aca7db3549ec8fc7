#pragma once

#include <QRect>

class QLineEdit;
class QWidget;

// The masked password fields of the access windows: Verdana 14 bold, dots for letters,
// and the focus halo.
namespace PasswordField {

QLineEdit* create(QWidget* parent, const char* name, const QRect& geometry);

} // namespace PasswordField
