#include <map>

#include "core/data_axioms/index_clash_checks.h"
#include "core/data_axioms/internal/told_types.h"

namespace kelmon {

void check_max_string_cardinalities(const DataAxiomIndex& index, ConceptId top, ConceptId bottom,
                                    std::vector<Axiom>& output) {
  if (index.class_assertions.empty() || index.max_literal_cardinalities.empty() || index.asserted_strings.empty())
    return;
  const ClosureSets class_closure = property_closure_sets(index.named_subclass_pairs);
  const ClosureSets property_closure = property_closure_sets(index.sub_property_pairs);
  const auto members = told_members(told_types(index.class_assertions, class_closure));

  // individual -> property -> its strings (views into the index).
  std::map<std::string, std::map<std::string, const IriSet*>> strings_of;
  for (const auto& [key, strings] : index.asserted_strings) strings_of[key.first][key.second] = &strings;

  for (const auto& [key, limit] : index.max_literal_cardinalities) {
    const auto& [cls, p] = key;
    const auto in_class = members.find(cls);
    if (in_class == members.end()) continue;
    for (const auto& individual : in_class->second) {
      const auto values = strings_of.find(individual);
      if (values == strings_of.end()) continue;
      IriSet distinct;
      for (const auto& [q, strings] : values->second)
        if (reaches(property_closure, q, p)) distinct.insert(strings->begin(), strings->end());
      if (distinct.size() > limit) {
        output.push_back(SubClassOf{top, bottom});
        return;
      }
    }
  }
}

}  // namespace kelmon
