#pragma once

#include "ui/RecordGrid.h"

// The columns of the protocol summary and export grids: the row number, then 18 fields.
namespace ProtocolGrid {

QList<RecordGridModel::Column> columns();

// The column where an annulled card's mark follows its number, and the marks of a
// register's annulled cards by position.
int markColumn();
QHash<int, QString> annulmentMarks(const QString& registerPath);

} // namespace ProtocolGrid
