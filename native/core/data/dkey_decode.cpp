#include "core/data/dkey_decode.h"

#include <array>
#include <limits>

#include "core/data/dkey_encode.h"
#include "core/data/dkey_fields.h"
#include "core/data/integer_intervals.h"
#include "core/data/internal/split.h"
#include "core/data/xsd_integer.h"

namespace kelmon {
namespace {

// The payload after the fixed prefix and `kind`, or none when either differs.
std::optional<std::string_view> payload_of(std::string_view key, std::string_view kind) {
  if (!key.starts_with(dkey_prefix)) return std::nullopt;
  key.remove_prefix(dkey_prefix.size());
  if (!key.starts_with(kind)) return std::nullopt;
  key.remove_prefix(kind.size());
  return key;
}

std::optional<bool> read_flag(std::string_view text) {
  if (text == "i") return true;
  if (text == "e") return false;
  return std::nullopt;
}

// lo ":" X ":" hi ":" Y, the last field taking the rest of the text.
template <class Interval, class BoundReader>
std::optional<Interval> decode_flagged_interval(std::string_view key, std::string_view kind, BoundReader read_bound) {
  auto payload = payload_of(key, kind);
  if (!payload) return std::nullopt;
  std::array<std::string_view, 4> fields;
  std::string_view rest = *payload;
  for (std::size_t i = 0; i < 3; ++i) {
    const auto colon = rest.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    fields[i] = rest.substr(0, colon);
    rest.remove_prefix(colon + 1);
  }
  fields[3] = rest;
  auto lower = read_bound(fields[0]);
  auto upper = read_bound(fields[2]);
  const auto lower_inclusive = read_flag(fields[1]);
  const auto upper_inclusive = read_flag(fields[3]);
  if (!lower || !upper || !lower_inclusive || !upper_inclusive) return std::nullopt;
  Interval out;
  out.lower = std::move(*lower);
  out.upper = std::move(*upper);
  out.lower_inclusive = *lower_inclusive;
  out.upper_inclusive = *upper_inclusive;
  return out;
}

// Items joined by ";", each read by `read_item`; any failing item fails the key.
template <class T, class ItemReader>
std::optional<std::vector<T>> decode_items(std::string_view key, std::string_view kind, ItemReader read_item) {
  const auto payload = payload_of(key, kind);
  if (!payload) return std::nullopt;
  std::vector<T> values;
  const bool ok = for_each_piece(*payload, ';', [&](std::string_view item) {
    auto value = read_item(item);
    if (!value) return false;
    values.push_back(std::move(*value));
    return true;
  });
  if (!ok) return std::nullopt;
  make_value_set(values);
  return values;
}

// An unsigned bit pattern that encodes a finite binary64 value; zeros become +0.
std::optional<double> read_float_item(std::string_view item) {
  const auto bits = parse_plus_unsigned(item, std::numeric_limits<std::uint64_t>::max());
  if (!bits) return std::nullopt;
  constexpr std::uint64_t exponent_mask = 0x7ff0000000000000ULL;
  if ((*bits & exponent_mask) == exponent_mask) return std::nullopt;
  const double value = float_from_bits(*bits);
  return value == 0.0 ? 0.0 : value;
}

std::optional<std::vector<IntInterval>> decode_iset_payload(std::string_view payload) {
  std::vector<IntInterval> items;
  const bool ok = for_each_piece(payload, ';', [&](std::string_view item) {
    const auto colon = item.find(':');
    if (colon == std::string_view::npos) return false;
    const auto lower = parse_key_bound_i64(item.substr(0, colon));
    const auto upper = parse_key_bound_i64(item.substr(colon + 1));
    if (!lower || !upper) return false;
    items.push_back({*lower, *upper});
    return true;
  });
  if (!ok || items.size() < 2) return std::nullopt;
  return normalize_int_intervals(std::move(items));
}

}  // namespace

std::optional<IntInterval> decode_bare_int_key(std::string_view key) {
  const auto payload = payload_of(key, "");
  if (!payload) return std::nullopt;
  const auto colon = payload->find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const auto lower = parse_key_bound_i64(payload->substr(0, colon));
  const auto upper = parse_key_bound_i64(payload->substr(colon + 1));
  if (!lower || !upper) return std::nullopt;
  return IntInterval{*lower, *upper};
}

std::optional<std::vector<IntInterval>> decode_int_intervals_key(std::string_view key) {
  if (const auto payload = payload_of(key, "iset:")) return decode_iset_payload(*payload);
  if (auto single = decode_bare_int_key(key)) return std::vector<IntInterval>{*single};
  return std::nullopt;
}

std::optional<ValueRange::Strings> decode_str_key(std::string_view key) {
  const auto payload = payload_of(key, "str:");
  if (!payload) return std::nullopt;
  if (*payload == "*") return ValueRange::Strings{std::nullopt};
  std::vector<std::string> strings;
  const bool ok = for_each_piece(*payload, ':', [&](std::string_view item) {
    auto s = hex_decode_utf8(item);
    if (!s) return false;
    strings.push_back(std::move(*s));
    return true;
  });
  if (!ok) return std::nullopt;
  make_value_set(strings);
  return ValueRange::Strings{std::move(strings)};
}

std::optional<LangStrings> decode_lang_key(std::string_view key) {
  const auto payload = payload_of(key, "lang:");
  if (!payload) return std::nullopt;
  if (*payload == "*") return LangStrings{std::nullopt};
  LangStringSet pairs;
  const bool ok = for_each_piece(*payload, ':', [&](std::string_view item) {
    const auto dot = item.find('.');
    if (dot == std::string_view::npos) return false;
    auto lexical_form = hex_decode_utf8(item.substr(0, dot));
    auto tag = hex_decode_utf8(item.substr(dot + 1));
    if (!lexical_form || !tag) return false;
    pairs.push_back({std::move(*lexical_form), std::move(*tag)});
    return true;
  });
  if (!ok) return std::nullopt;
  make_value_set(pairs);
  return LangStrings{std::move(pairs)};
}

std::optional<FloatInterval> decode_float_range_key(std::string_view key, std::string_view kind) {
  return decode_flagged_interval<FloatInterval>(key, kind, parse_key_bound_u64);
}

std::optional<DecimalInterval> decode_decimal_range_key(std::string_view key) {
  return decode_flagged_interval<DecimalInterval>(key, "dec:", parse_key_bound_decimal);
}

std::optional<DateInterval> decode_date_range_key(std::string_view key) {
  return decode_flagged_interval<DateInterval>(key, "date:", parse_key_bound_date);
}

std::optional<DateTimeInterval> decode_date_time_range_key(std::string_view key) {
  return decode_flagged_interval<DateTimeInterval>(key, "dt:", parse_key_bound_date_time);
}

std::optional<IntValueSet> decode_int_set_key(std::string_view key) {
  return decode_items<std::int64_t>(key, "io:", parse_xsd_integer);
}

std::optional<FloatValueSet> decode_float_set_key(std::string_view key) {
  return decode_items<double>(key, float_set_kind, read_float_item);
}

std::optional<FloatValueSet> decode_double_set_key(std::string_view key) {
  return decode_items<double>(key, double_set_kind, read_float_item);
}

std::optional<DecimalValueSet> decode_decimal_set_key(std::string_view key) {
  return decode_items<DecimalValue>(key, "deo:", parse_xsd_decimal);
}

std::optional<DateValueSet> decode_date_set_key(std::string_view key) {
  return decode_items<DateValue>(key, "dao:", parse_key_date);
}

std::optional<DateTimeValueSet> decode_date_time_set_key(std::string_view key) {
  return decode_items<DateTimeValue>(key, "dto:", parse_key_date_time);
}

}  // namespace kelmon
