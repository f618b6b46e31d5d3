#include "core/dkeys/key_lists.h"

#include "core/data/dkey_encode.h"
#include "core/data/int_interval_keys.h"

namespace kelmon {

bool is_key_class_name(std::string_view name) { return name.starts_with(dkey_prefix); }

namespace {

template <class Value, class Decoder>
bool take(KeyList<Value>& list, ClassId cls, std::string_view name, Decoder decode) {
  auto value = decode(name);
  if (!value) return false;
  list.push_back({cls, std::move(*value)});
  return true;
}

}  // namespace

KeyLists decode_key_lists(const Namespace<ClassId>& classes, bool one_of) {
  KeyLists out;
  IntIntervalKeys int_keys(classes);
  while (auto key = int_keys.next_int_interval_key()) out.ints.push_back({key->cls, std::move(key->intervals)});
  const auto& names = classes.names();
  for (std::uint32_t i = 0; i < names.size(); ++i) {
    const std::string_view name = *names[i];
    if (!is_key_class_name(name)) continue;
    const ClassId cls{i};
    // The kinds are prefix-free, so the first decoder that accepts is the only one.
    if (take(out.floats, cls, name, [](std::string_view n) { return decode_float_range_key(n, float_range_kind); }))
      continue;
    if (take(out.doubles, cls, name, [](std::string_view n) { return decode_float_range_key(n, double_range_kind); }))
      continue;
    if (take(out.decimals, cls, name, decode_decimal_range_key)) continue;
    if (take(out.dates, cls, name, decode_date_range_key)) continue;
    if (take(out.date_times, cls, name, decode_date_time_range_key)) continue;
    if (take(out.strings, cls, name, decode_str_key)) continue;
    if (take(out.langs, cls, name, decode_lang_key)) continue;
    if (!one_of) continue;
    if (take(out.int_sets, cls, name, decode_int_set_key)) continue;
    if (take(out.float_sets, cls, name, decode_float_set_key)) continue;
    if (take(out.double_sets, cls, name, decode_double_set_key)) continue;
    if (take(out.decimal_sets, cls, name, decode_decimal_set_key)) continue;
    if (take(out.date_sets, cls, name, decode_date_set_key)) continue;
    take(out.date_time_sets, cls, name, decode_date_time_set_key);
  }
  return out;
}

}  // namespace kelmon
