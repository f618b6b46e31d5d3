#include "core/data/intervals.h"

#include "core/data/internal/bounds.h"

namespace kelmon {

bool is_empty(const IntInterval& i) { return i.lower && i.upper && *i.lower > *i.upper; }
bool is_empty(const FloatInterval& i) { return bounds::flagged_interval_empty(i); }
bool is_empty(const DecimalInterval& i) { return bounds::flagged_interval_empty(i); }
bool is_empty(const DateInterval& i) { return bounds::flagged_interval_empty(i); }
bool is_empty(const DateTimeInterval& i) { return bounds::flagged_interval_empty(i); }

}  // namespace kelmon
