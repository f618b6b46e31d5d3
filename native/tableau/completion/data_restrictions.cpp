#include "tableau/completion/data_restrictions.h"

#include "tableau/completion/internal/interval_ops.h"

namespace kelmon::completion {

std::strong_ordering float_bits_order(std::uint64_t a, std::uint64_t b) {
  auto key = [](std::uint64_t x) {
    const auto s = static_cast<std::int64_t>(x);
    const auto mask = static_cast<std::uint64_t>(s >> 63) >> 1;
    return static_cast<std::int64_t>(x ^ mask);
  };
  return key(a) <=> key(b);
}

bool decimal_interval_is_empty(const DecimalInterval& i) { return internal::interval_empty(i); }
DecimalInterval decimal_interval_intersect(const DecimalInterval& a, const DecimalInterval& b) {
  return internal::interval_intersect(a, b);
}
DateInterval date_interval_intersect(const DateInterval& a, const DateInterval& b) {
  return internal::interval_intersect(a, b);
}
DateTimeInterval date_time_interval_intersect(const DateTimeInterval& a, const DateTimeInterval& b) {
  return internal::interval_intersect(a, b);
}
bool decimal_interval_within(const DecimalInterval& x, const DecimalInterval& y) {
  return internal::interval_within(x, y);
}
bool date_time_interval_within(const DateTimeInterval& x, const DateTimeInterval& y) {
  return internal::interval_within(x, y);
}
bool float_interval_is_empty(const FloatInterval& i) { return internal::interval_empty(i); }
FloatInterval float_interval_intersect(const FloatInterval& a, const FloatInterval& b) {
  return internal::interval_intersect(a, b);
}
bool float_interval_within(const FloatInterval& x, const FloatInterval& y) { return internal::interval_within(x, y); }
bool date_interval_is_empty(const DateInterval& i) { return internal::interval_empty(i); }
bool date_interval_within(const DateInterval& x, const DateInterval& y) { return internal::interval_within(x, y); }
bool date_time_interval_is_empty(const DateTimeInterval& i) { return internal::interval_empty(i); }

std::optional<std::uint64_t> interval_value_count(const IntInterval& i) {
  if (!i.lower || !i.upper) return std::nullopt;
  if (*i.upper < *i.lower) return 0;
  const auto span = static_cast<std::uint64_t>(*i.upper) - static_cast<std::uint64_t>(*i.lower);
  if (span == UINT64_MAX) return std::nullopt;  // the full 64-bit range
  return span + 1;
}
std::optional<std::uint64_t> interval_value_count(const FloatInterval& i) { return internal::dense_count(i); }
std::optional<std::uint64_t> interval_value_count(const DecimalInterval& i) { return internal::dense_count(i); }
std::optional<std::uint64_t> interval_value_count(const DateInterval& i) { return internal::dense_count(i); }
std::optional<std::uint64_t> interval_value_count(const DateTimeInterval& i) { return internal::dense_count(i); }

}  // namespace kelmon::completion
