#include "FieldColouring.h"

#include <QLineEdit>

namespace FieldColouring {

void attach(QLineEdit* field) {
    // The style sheet covers the whole background, border included, and follows the
    // focus by itself.
    field->setStyleSheet(QStringLiteral("QLineEdit { background-color: #F0F8FF; "
                                        "border: 1px solid #87CEEB; }"
                                        "QLineEdit:focus { background-color: #FFFF00; }"));
}

} // namespace FieldColouring
