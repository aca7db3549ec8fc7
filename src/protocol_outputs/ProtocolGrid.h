#pragma once

#include "app/RecordGrid.h"

class ProtocolRecord;

// The columns of the protocol summary and export grids, and a card as one of their rows.
namespace ProtocolGrid {

QList<RecordGridModel::Column> columns();
// Row `number` (from 1) showing the card's 18 fields, trimmed.
QStringList row(int number, const ProtocolRecord& record);

} // namespace ProtocolGrid
