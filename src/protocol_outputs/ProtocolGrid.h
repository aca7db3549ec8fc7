#pragma once

#include "ui/RecordGrid.h"

// The columns of the protocol summary and export grids: the row number, then 18 fields.
namespace ProtocolGrid {

QList<RecordGridModel::Column> columns();

} // namespace ProtocolGrid
