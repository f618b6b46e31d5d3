#include "core/data/decimal_intervals.h"

#include "core/data/internal/bounds.h"

namespace kelmon {

void tighten_decimal_lower(DecimalInterval& interval, DecimalValue value, bool inclusive) {
  bounds::tighten_lower(interval.lower, interval.lower_inclusive, std::move(value), inclusive);
}

void tighten_decimal_upper(DecimalInterval& interval, DecimalValue value, bool inclusive) {
  bounds::tighten_upper(interval.upper, interval.upper_inclusive, std::move(value), inclusive);
}

bool decimal_interval_within(const DecimalInterval& a, const DecimalInterval& b) {
  const bool lower_ok = [&] {
    if (!b.lower) return true;
    if (!a.lower) return false;
    const auto c = cmp_decimal(*a.lower, *b.lower);
    return c > 0 || (c == 0 && (b.lower_inclusive || !a.lower_inclusive));
  }();
  const bool upper_ok = [&] {
    if (!b.upper) return true;
    if (!a.upper) return false;
    const auto c = cmp_decimal(*a.upper, *b.upper);
    return c < 0 || (c == 0 && (b.upper_inclusive || !a.upper_inclusive));
  }();
  return lower_ok && upper_ok;
}

bool decimal_interval_below(const DecimalInterval& a, const DecimalInterval& b) {
  if (!a.upper || !b.lower) return false;
  const auto c = cmp_decimal(*a.upper, *b.lower);
  if (c < 0) return true;
  if (c == 0) return !(a.upper_inclusive && b.lower_inclusive);
  return false;
}

}  // namespace kelmon
