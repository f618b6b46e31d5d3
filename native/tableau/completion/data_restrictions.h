// Operations on the value restrictions of data-value keys, per value family:
// intersection, emptiness, containment and value counts. Pure functions.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/data/interval_ops.h"
#include "core/data/intervals.h"

namespace kelmon::completion {

using kelmon::float_bits_order;

bool decimal_interval_is_empty(const DecimalInterval& i);
DecimalInterval decimal_interval_intersect(const DecimalInterval& a, const DecimalInterval& b);
DateInterval date_interval_intersect(const DateInterval& a, const DateInterval& b);
DateTimeInterval date_time_interval_intersect(const DateTimeInterval& a, const DateTimeInterval& b);
// X empty or X ⊆ Y.
bool decimal_interval_within(const DecimalInterval& x, const DecimalInterval& y);
bool date_time_interval_within(const DateTimeInterval& x, const DateTimeInterval& y);

// The other families' operations, used by the clash check.
bool float_interval_is_empty(const FloatInterval& i);
FloatInterval float_interval_intersect(const FloatInterval& a, const FloatInterval& b);
bool float_interval_within(const FloatInterval& x, const FloatInterval& y);
bool date_interval_is_empty(const DateInterval& i);
bool date_interval_within(const DateInterval& x, const DateInterval& y);
bool date_time_interval_is_empty(const DateTimeInterval& i);

// Number of values: none means unbounded. Intervals of dense types count
// only when empty (0) or a single closed point (1).
std::optional<std::uint64_t> interval_value_count(const IntInterval& i);
std::optional<std::uint64_t> interval_value_count(const FloatInterval& i);
std::optional<std::uint64_t> interval_value_count(const DecimalInterval& i);
std::optional<std::uint64_t> interval_value_count(const DateInterval& i);
std::optional<std::uint64_t> interval_value_count(const DateTimeInterval& i);

}  // namespace kelmon::completion
