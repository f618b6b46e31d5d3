// Single data values as the key checks tell them apart, the values of a key
// that holds few, and whether a key holds a value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/data/dkey_value.h"

namespace kelmon {

// A float or double value: the value-space flag and the binary64 bit pattern.
struct FloatBits {
  bool is_double = false;
  std::uint64_t bits = 0;
  bool operator==(const FloatBits&) const = default;
};

// An integer (an integral decimal is one too: 1.0 and 1 are one value), a
// string, a float or double, a non-integral decimal, a date, a date-time.
using KeyValue = std::variant<std::int64_t, std::string, FloatBits, DecimalValue, DateValue, DateTimeValue>;

// The values of a key that holds finitely many (at most 256); none otherwise.
std::optional<std::vector<KeyValue>> finite_key_values(const DKeyValue& key);

// Whether the key holds the value: none when it cannot be told (a date or
// date-time against a range of them).
std::optional<bool> key_holds(const DKeyValue& key, const KeyValue& value);

// The value spaces a value can lie in; integers and decimals share one.
enum class ValueSpace : std::uint8_t { Exact, Float, Double, String, Date, DateTime };

ValueSpace value_space(const KeyValue& value);
ValueSpace value_space(const DKeyValue& key);

// A decimal as a key value: an integer when it has no fraction and fits.
KeyValue exact_key_value(const DecimalValue& d);

}  // namespace kelmon
