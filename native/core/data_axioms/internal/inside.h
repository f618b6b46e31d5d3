// Whether one value lies inside an interval with inclusive flags.
#pragma once

#include <compare>
#include <cstdint>

#include "core/data/intervals.h"

namespace kelmon::interval_test {

inline std::partial_ordering order(double a, std::uint64_t bound_bits) { return a <=> float_from_bits(bound_bits); }
inline std::partial_ordering order(const DecimalValue& a, const DecimalValue& b) { return cmp_decimal(a, b); }
inline std::partial_ordering order(const DateValue& a, const DateValue& b) { return a <=> b; }
inline std::partial_ordering order(const DateTimeValue& a, const DateTimeValue& b) { return a <=> b; }

// An absent bound does not limit; a present one is passed when the value lies
// beyond it, or equals it and the bound is inclusive.
template <class Value, class Interval>
bool inside(const Value& v, const Interval& interval) {
  if (interval.lower) {
    const auto c = order(v, *interval.lower);
    if (!(c > 0 || (c == 0 && interval.lower_inclusive))) return false;
  }
  if (interval.upper) {
    const auto c = order(v, *interval.upper);
    if (!(c < 0 || (c == 0 && interval.upper_inclusive))) return false;
  }
  return true;
}

inline bool inside(std::int64_t v, const IntInterval& interval) {
  return (!interval.lower || v >= *interval.lower) && (!interval.upper || v <= *interval.upper);
}

}  // namespace kelmon::interval_test
