// Readers of data-value key IRIs. A text that does not follow the grammar of a
// kind is simply not a key of that kind (nothing is reported); each decoder
// compares the fixed prefixes before it allocates anything.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/data/intervals.h"
#include "core/data/value_range.h"
#include "core/data/value_sets.h"

namespace kelmon {

// A bare integer key "lo:hi", as written (it may be empty).
std::optional<IntInterval> decode_bare_int_key(std::string_view key);
// A bare integer key as one interval, or an "iset:" key of at least two items
// as its normalised list; an "iset:" key whose union is empty gives none.
std::optional<std::vector<IntInterval>> decode_int_intervals_key(std::string_view key);

std::optional<ValueRange::Strings> decode_str_key(std::string_view key);
std::optional<LangStrings> decode_lang_key(std::string_view key);
// `kind` is float_range_kind or double_range_kind; bit patterns exactly as written.
std::optional<FloatInterval> decode_float_range_key(std::string_view key, std::string_view kind);
std::optional<DecimalInterval> decode_decimal_range_key(std::string_view key);
std::optional<DateInterval> decode_date_range_key(std::string_view key);
std::optional<DateTimeInterval> decode_date_time_range_key(std::string_view key);
std::optional<IntValueSet> decode_int_set_key(std::string_view key);
// Items must encode finite values; a zero of either sign is stored as +0.
std::optional<FloatValueSet> decode_float_set_key(std::string_view key);
std::optional<FloatValueSet> decode_double_set_key(std::string_view key);
std::optional<DecimalValueSet> decode_decimal_set_key(std::string_view key);
std::optional<DateValueSet> decode_date_set_key(std::string_view key);
std::optional<DateTimeValueSet> decode_date_time_set_key(std::string_view key);

}  // namespace kelmon
