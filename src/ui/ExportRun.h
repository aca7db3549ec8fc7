#pragma once

#include "core/Spreadsheet.h"

class QWidget;
class RecordGridModel;

// The export shared by the grid windows: asks, writes the grid's rows as they stand (all
// but the row-number column) to the target file in the program folder, and offers to open
// it. A failure leaves the previous file as it was and says so.
void runExport(QWidget* parent, const Spreadsheet::Target& target, const RecordGridModel& grid);
