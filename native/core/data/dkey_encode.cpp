#include "core/data/dkey_encode.h"

#include "common/invariant.h"
#include "common/overload.h"

namespace kelmon {
namespace {

std::string int_bound_text(const std::optional<std::int64_t>& bound) {
  return bound ? std::to_string(*bound) : std::string("*");
}

char flag_text(bool inclusive) { return inclusive ? 'i' : 'e'; }

// prefix kind lo ":" X ":" hi ":" Y
template <class Interval, class BoundText>
std::string encode_flagged_interval(std::string_view kind, const Interval& interval, BoundText bound_text) {
  std::string out(dkey_prefix);
  out += kind;
  out += interval.lower ? bound_text(*interval.lower) : std::string("*");
  out += ':';
  out += flag_text(interval.lower_inclusive);
  out += ':';
  out += interval.upper ? bound_text(*interval.upper) : std::string("*");
  out += ':';
  out += flag_text(interval.upper_inclusive);
  return out;
}

// prefix kind items joined by `separator`.
template <class Set, class ItemText>
std::string encode_items(std::string_view kind, const Set& items, char separator, ItemText item_text) {
  std::string out(dkey_prefix);
  out += kind;
  bool first = true;
  for (const auto& item : items) {
    if (!first) out += separator;
    first = false;
    out += item_text(item);
  }
  return out;
}

}  // namespace

std::string hex_encode(std::string_view bytes) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 0xf];
  }
  return out;
}

std::string format_key_bound_u64(std::optional<std::uint64_t> bits) {
  return bits ? std::to_string(*bits) : std::string("*");
}

std::string date_key_text(const DateValue& d) {
  return std::to_string(d.year) + '.' + std::to_string(d.month) + '.' + std::to_string(d.day);
}

std::string date_time_key_text(const DateTimeValue& d) {
  return std::to_string(d.year) + '.' + std::to_string(d.month) + '.' + std::to_string(d.day) + '.' +
         std::to_string(d.hour) + '.' + std::to_string(d.minute) + '.' + std::to_string(d.second);
}

std::string encode_int_interval_key(const IntInterval& interval) {
  return std::string(dkey_prefix) + int_bound_text(interval.lower) + ':' + int_bound_text(interval.upper);
}

std::string encode_int_intervals_key(std::span<const IntInterval> intervals) {
  invariant(!intervals.empty(), "encode_int_intervals_key: empty interval list");
  if (intervals.size() == 1) return encode_int_interval_key(intervals.front());
  return encode_items("iset:", intervals, ';', [](const IntInterval& i) {
    return int_bound_text(i.lower) + ':' + int_bound_text(i.upper);
  });
}

std::string encode_bounded_range_key(std::string_view kind, const FloatInterval& interval) {
  return encode_flagged_interval(kind, interval, [](std::uint64_t bits) { return std::to_string(bits); });
}

std::string encode_decimal_range_key(const DecimalInterval& interval) {
  return encode_flagged_interval("dec:", interval, decimal_text);
}

std::string encode_date_range_key(const DateInterval& interval) {
  return encode_flagged_interval("date:", interval, date_key_text);
}

std::string encode_date_time_range_key(const DateTimeInterval& interval) {
  return encode_flagged_interval("dt:", interval, date_time_key_text);
}

std::string encode_value_range_key(const ValueRange& range) {
  return std::visit(Overload{
                        [](const ValueRange::Integer& r) { return encode_int_interval_key(r.interval); },
                        [](const ValueRange::Float& r) { return encode_bounded_range_key(float_range_kind, r.interval); },
                        [](const ValueRange::Double& r) { return encode_bounded_range_key(double_range_kind, r.interval); },
                        [](const ValueRange::Decimal& r) { return encode_decimal_range_key(r.interval); },
                        [](const ValueRange::Date& r) { return encode_date_range_key(r.interval); },
                        [](const ValueRange::DateTime& r) { return encode_date_time_range_key(r.interval); },
                        [](const ValueRange::Strings& r) { return encode_str_key(r.set); },
                    },
                    range.kind);
}

std::string encode_str_key(const std::optional<StringSet>& strings) {
  if (!strings) return std::string(dkey_prefix) + "str:*";
  return encode_items("str:", *strings, ':', [](const std::string& s) { return hex_encode(s); });
}

std::string encode_lang_key(const std::optional<LangStringSet>& pairs) {
  if (!pairs) return std::string(dkey_prefix) + "lang:*";
  return encode_items("lang:", *pairs, ':', [](const LangString& p) {
    return hex_encode(p.lexical_form) + '.' + hex_encode(p.tag);
  });
}

std::string encode_int_set_key(const IntValueSet& values) {
  return encode_items("io:", values, ';', [](std::int64_t v) { return std::to_string(v); });
}

std::string encode_float_set_key(std::string_view kind, const FloatValueSet& values) {
  return encode_items(kind, values, ';', [](double v) { return std::to_string(float_bits(v)); });
}

std::string encode_decimal_set_key(const DecimalValueSet& values) {
  return encode_items("deo:", values, ';', decimal_text);
}

std::string encode_date_set_key(const DateValueSet& values) {
  return encode_items("dao:", values, ';', date_key_text);
}

std::string encode_date_time_set_key(const DateTimeValueSet& values) {
  return encode_items("dto:", values, ';', date_time_key_text);
}

}  // namespace kelmon
