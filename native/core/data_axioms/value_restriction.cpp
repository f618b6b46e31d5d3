#include "core/data_axioms/value_restriction.h"

#include "owl/structural.h"

namespace kelmon {

bool same_restriction(const ValueRestriction& a, const ValueRestriction& b) {
  if (a.index() != b.index()) return false;
  if (const auto* x = std::get_if<AtLeastValues>(&a)) {
    const auto& y = std::get<AtLeastValues>(b);
    return x->count == y.count && owl::structurally_equal(x->range, y.range);
  }
  if (const auto* x = std::get_if<ExactlyValues>(&a)) {
    const auto& y = std::get<ExactlyValues>(b);
    return x->count == y.count && owl::structurally_equal(x->range, y.range);
  }
  return std::get<HasLiteralValue>(a).value == std::get<HasLiteralValue>(b).value;
}

}  // namespace kelmon
