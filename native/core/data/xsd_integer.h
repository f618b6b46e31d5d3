// The integer lexical rule shared by every reader of integer literals and
// integer facet values, and the small unsigned readers built on the same scan.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kelmon {

// Optional "+" or "-", then one or more ASCII digits (leading zeros allowed),
// within the signed 64-bit range. Anything else, including overflow, gives none.
std::optional<std::int64_t> parse_xsd_integer(std::string_view text);

// One or more ASCII digits, no sign, value at most `max`; none otherwise.
std::optional<std::uint64_t> parse_unsigned_digits(std::string_view text, std::uint64_t max);

// Optional "+", then one or more ASCII digits, value at most `max`.
std::optional<std::uint64_t> parse_plus_unsigned(std::string_view text, std::uint64_t max);

}  // namespace kelmon
