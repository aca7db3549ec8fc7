#include "Report.h"
// Placeholder: the engine is being written.
namespace Report {
Object* Template::findObject(const QString&) { return nullptr; }
Band* Template::findBand(const QString&) { return nullptr; }
bool Template::setText(const QString&, const QString&) { return false; }
bool Template::setHeight(const QString&, double) { return false; }
bool Template::setBandHeight(const QString&, double) { return false; }
QSizeF Template::printableSize() const { return {}; }
Prepared prepare(const Template&, const QDateTime&) { return {}; }
bool paint(const Prepared&, QPagedPaintDevice&) { return false; }
} // namespace Report
