#pragma once

#include <QDate>
#include <QDateTime>

namespace Clock {

QDateTime now();
QDate today();

} // namespace Clock
