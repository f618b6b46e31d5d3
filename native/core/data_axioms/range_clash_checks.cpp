// The range checks over the index: datatype families and string enumerations.
#include <algorithm>

#include "core/data_axioms/index_clash_checks.h"

namespace kelmon {
namespace {

// Calls `visit` on the list of `by_property` for p and then for each told
// super-property of p in ascending order; stops when `visit` returns false.
template <class List, class Visit>
bool all_ranges_hold(const std::map<std::string, List>& by_property, const ClosureSets& closure,
                     const std::string& p, Visit visit) {
  if (const auto it = by_property.find(p); it != by_property.end() && !visit(it->second)) return false;
  const auto supers = closure.find(p);
  if (supers == closure.end()) return true;
  for (const auto& r : supers->second) {
    if (r == p) continue;
    if (const auto it = by_property.find(r); it != by_property.end() && !visit(it->second)) return false;
  }
  return true;
}

}  // namespace

void check_range_families(const DataAxiomIndex& index, ConceptId top, ConceptId bottom, std::vector<Axiom>& output) {
  if (index.assertion_families.empty() || index.range_families.empty()) return;
  const ClosureSets closure = property_closure_sets(index.sub_property_pairs);
  for (const auto& [p, family] : index.assertion_families) {
    const bool fits = all_ranges_hold(index.range_families, closure, p, [&](const std::vector<DatatypeFamily>& list) {
      return std::all_of(list.begin(), list.end(), [&](DatatypeFamily f) { return f == family; });
    });
    if (!fits) {
      output.push_back(SubClassOf{top, bottom});
      return;
    }
  }
}

void check_range_strings(const DataAxiomIndex& index, ConceptId top, ConceptId bottom, std::vector<Axiom>& output) {
  if (index.string_assertions.empty() || index.range_string_values.empty()) return;
  const ClosureSets closure = property_closure_sets(index.sub_property_pairs);
  for (const auto& [p, lexical] : index.string_assertions) {
    const bool fits = all_ranges_hold(index.range_string_values, closure, p, [&](const std::vector<StringSet>& sets) {
      return std::all_of(sets.begin(), sets.end(), [&](const StringSet& set) {
        return std::binary_search(set.begin(), set.end(), lexical);
      });
    });
    if (!fits) {
      output.push_back(SubClassOf{top, bottom});
      return;
    }
  }
}

}  // namespace kelmon
