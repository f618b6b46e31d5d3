// Intervals over one datatype's value space. An absent bound is unbounded on
// that side; emptiness is never normalised away on construction.
#pragma once

#include <bit>
#include <cstdint>
#include <optional>

#include "core/data/date_time_value.h"
#include "core/data/decimal_value.h"

namespace kelmon {

// Closed interval of signed 64-bit integers.
struct IntInterval {
  std::optional<std::int64_t> lower;
  std::optional<std::int64_t> upper;

  bool operator==(const IntInterval&) const = default;
};

// Interval of binary64 values. Bounds are kept as their IEEE 754 bit patterns
// (also the payload of their key) and compared as numbers, so -0 equals +0.
// An xsd:float bound is the binary32 value widened exactly.
struct FloatInterval {
  std::optional<std::uint64_t> lower;
  std::optional<std::uint64_t> upper;
  bool lower_inclusive = false;
  bool upper_inclusive = false;

  bool operator==(const FloatInterval&) const = default;
};

struct DecimalInterval {
  std::optional<DecimalValue> lower;
  std::optional<DecimalValue> upper;
  bool lower_inclusive = false;
  bool upper_inclusive = false;

  bool operator==(const DecimalInterval&) const = default;
};

struct DateInterval {
  std::optional<DateValue> lower;
  std::optional<DateValue> upper;
  bool lower_inclusive = false;
  bool upper_inclusive = false;

  bool operator==(const DateInterval&) const = default;
};

struct DateTimeInterval {
  std::optional<DateTimeValue> lower;
  std::optional<DateTimeValue> upper;
  bool lower_inclusive = false;
  bool upper_inclusive = false;

  bool operator==(const DateTimeInterval&) const = default;
};

inline std::uint64_t float_bits(double value) { return std::bit_cast<std::uint64_t>(value); }
inline double float_from_bits(std::uint64_t bits) { return std::bit_cast<double>(bits); }

// Empty when lower > upper.
bool is_empty(const IntInterval& i);
// Empty when upper < lower, or they are equal and not both inclusive.
bool is_empty(const FloatInterval& i);
bool is_empty(const DecimalInterval& i);
bool is_empty(const DateInterval& i);
bool is_empty(const DateTimeInterval& i);

}  // namespace kelmon
