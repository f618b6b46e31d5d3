// Exact xsd:decimal values in one canonical form, so that field-wise equality
// is numeric equality, and their two orders.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelmon {

struct DecimalValue {
  std::string int_digits;   // no leading zeros; empty when the integer part is zero
  std::string frac_digits;  // no trailing zeros; empty when the fraction is zero
  bool negative = false;    // never true for zero

  bool operator==(const DecimalValue&) const = default;
};

// Optional sign, digits with at most one point, at least one digit; none otherwise.
std::optional<DecimalValue> parse_xsd_decimal(std::string_view text);

// Orders absolute values; relies on the canonical form (no leading zeros).
std::strong_ordering cmp_decimal_magnitude(const DecimalValue& a, const DecimalValue& b);
// Orders signed values.
std::strong_ordering cmp_decimal(const DecimalValue& a, const DecimalValue& b);

inline std::strong_ordering operator<=>(const DecimalValue& a, const DecimalValue& b) { return cmp_decimal(a, b); }

// The digits followed by zeros up to `width` (width is at least the length).
std::string pad_digits_right(std::string_view digits, std::size_t width);

// The integer value when there is no fraction and it fits the signed 64-bit range.
std::optional<std::int64_t> decimal_to_i64(const DecimalValue& d);

// The canonical text: "-3.25", "0.5", "12", "0" (never "-0").
std::string decimal_text(const DecimalValue& d);

}  // namespace kelmon
