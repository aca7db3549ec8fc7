#include "PrintDialog.h"

namespace PrintDialog {

bool opensWithoutPrinter() {
    return true;
}

} // namespace PrintDialog
