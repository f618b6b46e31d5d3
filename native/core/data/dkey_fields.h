// Readers of the single fields of a data-value key.
#pragma once

#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>

#include "core/data/date_time_value.h"
#include "core/data/decimal_value.h"

namespace kelmon {

struct InvalidKeyField {
  bool operator==(const InvalidKeyField&) const = default;
};

// A bound field: an error when the field is invalid, otherwise the bound,
// absent for "*" (unbounded).
template <class T>
using KeyBound = std::expected<std::optional<T>, InvalidKeyField>;

// Hex digits (either case, even count) of valid UTF-8; the empty text is the empty string.
std::optional<std::string> hex_decode_utf8(std::string_view text);

KeyBound<std::int64_t> parse_key_bound_i64(std::string_view text);    // integer lexical rule
KeyBound<std::uint64_t> parse_key_bound_u64(std::string_view text);   // optional "+", digits
KeyBound<DecimalValue> parse_key_bound_decimal(std::string_view text);
KeyBound<DateValue> parse_key_bound_date(std::string_view text);
KeyBound<DateTimeValue> parse_key_bound_date_time(std::string_view text);

// year "." month "." day; month and day are not range-tested (writers take
// them from values the XSD readers have bounded).
std::optional<DateValue> parse_key_date(std::string_view text);
// year "." month "." day "." hour "." minute "." second, likewise untested.
std::optional<DateTimeValue> parse_key_date_time(std::string_view text);

}  // namespace kelmon
