// Writers of data-value key IRIs: "urn:kelmon-dkey:" + kind + payload. The
// texts are compared as strings by later passes, so each value has exactly
// one key text. None of these can fail.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/data/intervals.h"
#include "core/data/value_range.h"
#include "core/data/value_sets.h"

namespace kelmon {

inline constexpr std::string_view dkey_prefix = "urn:kelmon-dkey:";

// Kind prefixes of float and double keys.
inline constexpr std::string_view float_range_kind = "f:";
inline constexpr std::string_view double_range_kind = "db:";
inline constexpr std::string_view float_set_kind = "fo:";
inline constexpr std::string_view double_set_kind = "dbo:";

// Two lowercase hex digits per byte, no separators.
std::string hex_encode(std::string_view bytes);

// Field texts.
std::string format_key_bound_u64(std::optional<std::uint64_t> bits);  // decimal, or "*"
std::string date_key_text(const DateValue& d);                        // "2020.1.5", "-44.3.15"
std::string date_time_key_text(const DateTimeValue& d);               // "2020.1.5.0.30.0"

// "urn:kelmon-dkey:" lo ":" hi, "*" for an absent bound.
std::string encode_int_interval_key(const IntInterval& interval);
// One interval: its bare key; more (normalised): "urn:kelmon-dkey:iset:" lo ":" hi items joined by ";".
// The list must not be empty (an invariant: normalisation never yields an empty list).
std::string encode_int_intervals_key(std::span<const IntInterval> intervals);
// `kind` is float_range_kind or double_range_kind; bounds as binary64 bit patterns.
std::string encode_bounded_range_key(std::string_view kind, const FloatInterval& interval);
std::string encode_decimal_range_key(const DecimalInterval& interval);
std::string encode_date_range_key(const DateInterval& interval);
std::string encode_date_time_range_key(const DateTimeInterval& interval);
std::string encode_value_range_key(const ValueRange& range);
// Absent: every string ("str:*").
std::string encode_str_key(const std::optional<StringSet>& strings);
// Absent: every language-tagged string ("lang:*").
std::string encode_lang_key(const std::optional<LangStringSet>& pairs);
std::string encode_int_set_key(const IntValueSet& values);
// `kind` is float_set_kind or double_set_kind; items are binary64 bit patterns.
std::string encode_float_set_key(std::string_view kind, const FloatValueSet& values);
std::string encode_decimal_set_key(const DecimalValueSet& values);
std::string encode_date_set_key(const DateValueSet& values);
std::string encode_date_time_set_key(const DateTimeValueSet& values);

}  // namespace kelmon
