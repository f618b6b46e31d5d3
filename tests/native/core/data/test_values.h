// Short builders for data-value tests.
#pragma once

#include <gtest/gtest.h>

#include <optional>

#include "core/data/decimal_value.h"
#include "core/data/intervals.h"
#include "core/data/xsd_float.h"

namespace kelmon::test {

inline constexpr std::optional<std::int64_t> open = std::nullopt;

inline DecimalValue dec(const char* text) {
  auto v = parse_xsd_decimal(text);
  if (!v) ADD_FAILURE() << "not a decimal: " << text;
  return v.value_or(DecimalValue{});
}

// A decimal interval; nullptr is an absent bound.
inline DecimalInterval dec_interval(const char* lower, bool lower_inclusive, const char* upper, bool upper_inclusive) {
  DecimalInterval out;
  if (lower) out.lower = dec(lower);
  if (upper) out.upper = dec(upper);
  out.lower_inclusive = lower_inclusive;
  out.upper_inclusive = upper_inclusive;
  return out;
}

inline FloatInterval double_interval(std::optional<double> lower, bool lower_inclusive, std::optional<double> upper,
                                     bool upper_inclusive) {
  FloatInterval out;
  if (lower) out.lower = float_bits(*lower);
  if (upper) out.upper = float_bits(*upper);
  out.lower_inclusive = lower_inclusive;
  out.upper_inclusive = upper_inclusive;
  return out;
}

}  // namespace kelmon::test
