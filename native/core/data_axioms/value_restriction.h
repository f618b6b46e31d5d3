// A told data restriction kept with its range or value, so that the told data
// pass compares restrictions only where one provably implies the other.
#pragma once

#include <cstdint>
#include <variant>

#include "owl/model.h"

namespace kelmon {

// DataSomeValuesFrom(p, R) is AtLeast{1, R}; DataMinCardinality(n, p, R) is AtLeast{n, R}.
struct AtLeastValues {
  std::uint32_t count = 0;
  owl::DataRange range;
};
struct ExactlyValues {
  std::uint32_t count = 0;
  owl::DataRange range;
};
struct HasLiteralValue {
  owl::Literal value;
};
using ValueRestriction = std::variant<AtLeastValues, ExactlyValues, HasLiteralValue>;

// Structural equality (ranges by the structural order, literals field by field).
bool same_restriction(const ValueRestriction& a, const ValueRestriction& b);

// A cardinality bound of one class and property, with the range it counts in.
struct CountedRange {
  std::uint32_t count = 0;
  owl::DataRange range;
};

}  // namespace kelmon
