#include "PasswordField.h"

#include "ui/FocusHalo.h"
#include "ui/Widgets.h"

#include <QLineEdit>

namespace PasswordField {

QLineEdit* create(QWidget* parent, const char* name, const QRect& geometry) {
    auto* field = named(new QLineEdit(parent), name);
    field->setEchoMode(QLineEdit::Password);
    field->setFont(uiFont(QStringLiteral("Verdana"), 14, true));
    field->setGeometry(geometry);
    FocusHalo::attach(field);
    return field;
}

} // namespace PasswordField
