#pragma once

#include "core/Spreadsheet.h"

#include <functional>

class QWidget;
class RecordGridModel;

// The export shared by the grid windows: asks, writes the grid's rows as they stand (all
// but the row-number column) to the target file in the program folder, and offers to open
// it. A failure leaves the previous file as it was and says so. `progress`, when given,
// hears the rows written and the rows in all, every few thousand rows.
void runExport(QWidget* parent, const Spreadsheet::Target& target, const RecordGridModel& grid,
               const std::function<void(int done, int total)>& progress = {});
