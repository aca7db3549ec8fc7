#include "Clock.h"

#include "Services.h"

namespace Clock {

QDateTime now() {
    return Services::clock().now();
}

QDate today() {
    return now().date();
}

} // namespace Clock
