#include <algorithm>

#include "common/switches.h"
#include "core/data_axioms/index_clash_checks.h"

namespace kelmon {
namespace {

// A zero float or double is stored without its sign, but +0 and -0 are two data
// values, so a shared zero does not show a shared value.
bool is_signed_zero(const AssertedValue& v) {
  if (const auto* f = std::get_if<AssertedValue::Float>(&v.kind)) return f->value == 0;
  if (const auto* d = std::get_if<AssertedValue::Double>(&v.kind)) return d->value == 0;
  return false;
}

bool share_a_value(const std::set<AssertedValue>& a, const std::set<AssertedValue>& b) {
  return std::any_of(a.begin(), a.end(), [&](const AssertedValue& v) { return !is_signed_zero(v) && b.contains(v); });
}

}  // namespace

void check_disjoint_property_values(const DataAxiomIndex& index, ConceptId top, ConceptId bottom,
                                    std::vector<Axiom>& output) {
  if (!switch_flag(SwitchId::DataProperties)) return;
  if (index.disjoint_property_pairs.empty() || index.asserted_values.empty()) return;
  for (const auto& [a, b] : index.disjoint_property_pairs) {
    for (const auto& [key, values_a] : index.asserted_values) {
      if (key.second != a) continue;
      const auto other = index.asserted_values.find({key.first, b});
      if (other != index.asserted_values.end() && share_a_value(values_a, other->second)) {
        output.push_back(SubClassOf{top, bottom});
        return;
      }
    }
  }
}

}  // namespace kelmon
