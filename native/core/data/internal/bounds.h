// One ordering per bound type, and the tightening and emptiness rules shared
// by every interval kind with inclusive flags.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>

#include "core/data/intervals.h"

namespace kelmon::bounds {

inline std::partial_ordering compare(std::uint64_t a, std::uint64_t b) {
  return float_from_bits(a) <=> float_from_bits(b);
}
inline std::partial_ordering compare(const DecimalValue& a, const DecimalValue& b) { return cmp_decimal(a, b); }
inline std::partial_ordering compare(const DateValue& a, const DateValue& b) { return a <=> b; }
inline std::partial_ordering compare(const DateTimeValue& a, const DateTimeValue& b) { return a <=> b; }

// The value becomes the lower bound when there is none, when it is greater, or
// when it is equal, exclusive, and the present bound inclusive.
template <class T>
void tighten_lower(std::optional<T>& bound, bool& bound_inclusive, T value, bool inclusive) {
  if (bound) {
    const auto c = compare(value, *bound);
    const bool replace = c > 0 || (c == 0 && !inclusive && bound_inclusive);
    if (!replace) return;
  }
  bound = std::move(value);
  bound_inclusive = inclusive;
}

// Mirror image of tighten_lower.
template <class T>
void tighten_upper(std::optional<T>& bound, bool& bound_inclusive, T value, bool inclusive) {
  if (bound) {
    const auto c = compare(value, *bound);
    const bool replace = c < 0 || (c == 0 && !inclusive && bound_inclusive);
    if (!replace) return;
  }
  bound = std::move(value);
  bound_inclusive = inclusive;
}

// Empty when both bounds are present and upper < lower, or they are equal and not both inclusive.
template <class Interval>
bool flagged_interval_empty(const Interval& i) {
  if (!i.lower || !i.upper) return false;
  const auto c = compare(*i.upper, *i.lower);
  return c < 0 || (c == 0 && !(i.lower_inclusive && i.upper_inclusive));
}

// Narrows `acc` to its intersection with `other`.
template <class Interval>
void intersect_into(Interval& acc, const Interval& other) {
  if (other.lower) tighten_lower(acc.lower, acc.lower_inclusive, *other.lower, other.lower_inclusive);
  if (other.upper) tighten_upper(acc.upper, acc.upper_inclusive, *other.upper, other.upper_inclusive);
}

}  // namespace kelmon::bounds
