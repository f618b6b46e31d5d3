#include "tableau/completion/data_restrictions.h"

#include "core/data/interval_ops.h"

namespace kelmon::completion {

bool decimal_interval_is_empty(const DecimalInterval& i) { return kelmon::interval_empty(i); }
DecimalInterval decimal_interval_intersect(const DecimalInterval& a, const DecimalInterval& b) {
  return kelmon::interval_intersect(a, b);
}
DateInterval date_interval_intersect(const DateInterval& a, const DateInterval& b) {
  return kelmon::interval_intersect(a, b);
}
DateTimeInterval date_time_interval_intersect(const DateTimeInterval& a, const DateTimeInterval& b) {
  return kelmon::interval_intersect(a, b);
}
bool decimal_interval_within(const DecimalInterval& x, const DecimalInterval& y) {
  return kelmon::interval_within(x, y);
}
bool date_time_interval_within(const DateTimeInterval& x, const DateTimeInterval& y) {
  return kelmon::interval_within(x, y);
}
bool float_interval_is_empty(const FloatInterval& i) { return kelmon::interval_empty(i); }
FloatInterval float_interval_intersect(const FloatInterval& a, const FloatInterval& b) {
  return kelmon::interval_intersect(a, b);
}
bool float_interval_within(const FloatInterval& x, const FloatInterval& y) { return kelmon::interval_within(x, y); }
bool date_interval_is_empty(const DateInterval& i) { return kelmon::interval_empty(i); }
bool date_interval_within(const DateInterval& x, const DateInterval& y) { return kelmon::interval_within(x, y); }
bool date_time_interval_is_empty(const DateTimeInterval& i) { return kelmon::interval_empty(i); }

std::optional<std::uint64_t> interval_value_count(const IntInterval& i) {
  if (!i.lower || !i.upper) return std::nullopt;
  if (*i.upper < *i.lower) return 0;
  const auto span = static_cast<std::uint64_t>(*i.upper) - static_cast<std::uint64_t>(*i.lower);
  if (span == UINT64_MAX) return std::nullopt;  // the full 64-bit range
  return span + 1;
}
std::optional<std::uint64_t> interval_value_count(const FloatInterval& i) { return kelmon::dense_count(i); }
std::optional<std::uint64_t> interval_value_count(const DecimalInterval& i) { return kelmon::dense_count(i); }
std::optional<std::uint64_t> interval_value_count(const DateInterval& i) { return kelmon::dense_count(i); }
std::optional<std::uint64_t> interval_value_count(const DateTimeInterval& i) { return kelmon::dense_count(i); }

}  // namespace kelmon::completion
