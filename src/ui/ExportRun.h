#pragma once

#include "core/Spreadsheet.h"

#include <functional>

class QWidget;
class RecordGridModel;

// The export shared by the grid windows: asks, writes the grid's rows as they stand (all
// but the row-number column) to the target's file of `format` in the program folder, and
// offers to open it. A failure leaves the previous file as it was and says so. `progress`,
// when given, hears how far the writing is, every few thousand rows.
void runExport(QWidget* parent, const Spreadsheet::Target& target, Spreadsheet::Format format,
               const RecordGridModel& grid, const Spreadsheet::Progress& progress = {});
