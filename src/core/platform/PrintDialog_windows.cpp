#include "PrintDialog.h"

namespace PrintDialog {

bool opensWithoutPrinter() {
    return false;
}

} // namespace PrintDialog
