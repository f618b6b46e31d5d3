// The interval kinds of the key lists in the one shape the sweeps read.
#pragma once

#include <cmath>
#include <compare>
#include <cstdint>

#include "core/data/intervals.h"
#include "core/dkeys/internal/interval_sweep.h"

namespace kelmon::dkeys {

// Bit patterns compare as binary64 numbers: -0 equals +0, a NaN equals nothing.
inline Bound<double> float_bound(std::uint64_t bits, bool inclusive) {
  const double v = float_from_bits(bits);
  return {v == 0.0 ? 0.0 : v, inclusive, std::isnan(v)};
}

inline FlatInterval<double> flat(const FloatInterval& i) {
  FlatInterval<double> out;
  if (i.lower) out.lower = float_bound(*i.lower, i.lower_inclusive);
  if (i.upper) out.upper = float_bound(*i.upper, i.upper_inclusive);
  return out;
}

inline FlatInterval<const DecimalValue*> flat(const DecimalInterval& i) {
  FlatInterval<const DecimalValue*> out;
  if (i.lower) out.lower = Bound<const DecimalValue*>{&*i.lower, i.lower_inclusive, false};
  if (i.upper) out.upper = Bound<const DecimalValue*>{&*i.upper, i.upper_inclusive, false};
  return out;
}

template <class Interval>
auto flat(const Interval& i) -> FlatInterval<std::decay_t<decltype(*i.lower)>> {
  using V = std::decay_t<decltype(*i.lower)>;
  FlatInterval<V> out;
  if (i.lower) out.lower = Bound<V>{*i.lower, i.lower_inclusive, false};
  if (i.upper) out.upper = Bound<V>{*i.upper, i.upper_inclusive, false};
  return out;
}

// Integer intervals are closed on both sides.
inline FlatInterval<std::int64_t> flat_int(const IntInterval& i) {
  FlatInterval<std::int64_t> out;
  if (i.lower) out.lower = Bound<std::int64_t>{*i.lower, true, false};
  if (i.upper) out.upper = Bound<std::int64_t>{*i.upper, true, false};
  return out;
}

struct ValueCmp {
  std::partial_ordering operator()(double a, double b) const { return a <=> b; }
  std::partial_ordering operator()(std::int64_t a, std::int64_t b) const { return a <=> b; }
  std::partial_ordering operator()(const DecimalValue* a, const DecimalValue* b) const { return cmp_decimal(*a, *b); }
  std::partial_ordering operator()(const DateValue& a, const DateValue& b) const { return a <=> b; }
  std::partial_ordering operator()(const DateTimeValue& a, const DateTimeValue& b) const { return a <=> b; }
};

}  // namespace kelmon::dkeys
