#include "core/data/dkey_value.h"

#include "core/data/dkey_decode.h"
#include "core/data/dkey_encode.h"

namespace kelmon {
namespace {

// The clash check compares zero bounds as one value, so both signs become +0.
FloatInterval with_positive_zero_bounds(FloatInterval interval) {
  constexpr std::uint64_t negative_zero = 0x8000000000000000ULL;
  if (interval.lower == negative_zero) interval.lower = 0;
  if (interval.upper == negative_zero) interval.upper = 0;
  return interval;
}

}  // namespace

std::optional<DKeyValue> decode_dkey_value(std::string_view class_name) {
  // The kinds are prefix-free, so the order of the tries changes no result.
  if (!class_name.starts_with(dkey_prefix)) return std::nullopt;
  if (auto v = decode_bare_int_key(class_name)) return DKeyValue{DKeyValue::IntRange{*v}};
  if (auto v = decode_str_key(class_name)) return DKeyValue{DKeyValue::Strings{std::move(v->set)}};
  if (auto v = decode_float_range_key(class_name, float_range_kind))
    return DKeyValue{DKeyValue::FloatRange{with_positive_zero_bounds(*v)}};
  if (auto v = decode_float_range_key(class_name, double_range_kind))
    return DKeyValue{DKeyValue::FloatRange{with_positive_zero_bounds(*v), true}};
  if (auto v = decode_decimal_range_key(class_name)) return DKeyValue{DKeyValue::DecimalRange{std::move(*v)}};
  if (auto v = decode_date_range_key(class_name)) return DKeyValue{DKeyValue::DateRange{*v}};
  if (auto v = decode_date_time_range_key(class_name)) return DKeyValue{DKeyValue::DateTimeRange{*v}};
  if (auto v = decode_int_set_key(class_name)) return DKeyValue{DKeyValue::IntSet{std::move(*v)}};
  if (auto v = decode_float_set_key(class_name)) return DKeyValue{DKeyValue::FloatSet{std::move(*v)}};
  if (auto v = decode_double_set_key(class_name)) return DKeyValue{DKeyValue::FloatSet{std::move(*v), true}};
  if (auto v = decode_decimal_set_key(class_name)) return DKeyValue{DKeyValue::DecimalSet{std::move(*v)}};
  if (auto v = decode_date_set_key(class_name)) return DKeyValue{DKeyValue::DateSet{std::move(*v)}};
  if (auto v = decode_date_time_set_key(class_name)) return DKeyValue{DKeyValue::DateTimeSet{std::move(*v)}};
  return std::nullopt;
}

}  // namespace kelmon
