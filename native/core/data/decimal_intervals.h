// Small operations on decimal intervals used by the key pass and the told data pass.
#pragma once

#include "core/data/intervals.h"

namespace kelmon {

// The value replaces the lower bound when there is none, when it is greater,
// or when it is equal, exclusive, and the present bound inclusive.
void tighten_decimal_lower(DecimalInterval& interval, DecimalValue value, bool inclusive);
// Mirror image for the upper bound.
void tighten_decimal_upper(DecimalInterval& interval, DecimalValue value, bool inclusive);

// True when every value of a lies in b.
bool decimal_interval_within(const DecimalInterval& a, const DecimalInterval& b);
// True when every value of a lies below every value of b (a's upper and b's lower bound present).
bool decimal_interval_below(const DecimalInterval& a, const DecimalInterval& b);

}  // namespace kelmon
