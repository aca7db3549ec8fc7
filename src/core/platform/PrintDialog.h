#pragma once

// What the system's print dialog offers, which differs by platform.
namespace PrintDialog {

// False where the dialog cannot open with no printer installed: on Windows it closes at
// once, as if cancelled, so the user would see nothing happen. Qt's own dialog elsewhere
// still offers printing to a PDF file.
bool opensWithoutPrinter();

} // namespace PrintDialog
