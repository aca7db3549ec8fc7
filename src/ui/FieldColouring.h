#pragma once

class QLineEdit;

// The document card's focus look: instead of a halo, the field recolours its own background,
// alice blue (#F0F8FF) with a sky blue (#87CEEB) border while it waits, yellow (#FFFF00)
// with the same border while it has the focus.
namespace FieldColouring {

void attach(QLineEdit* field);

} // namespace FieldColouring
