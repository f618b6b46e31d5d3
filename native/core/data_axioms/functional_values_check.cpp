#include <map>
#include <set>
#include <string>

#include "core/data_axioms/asserted_value.h"
#include "core/data_axioms/internal/property_pairs.h"
#include "core/data_axioms/literal_checks.h"

namespace kelmon {

void check_functional_values(const owl::AxiomSet& axioms, ConceptId top, ConceptId bottom,
                             std::vector<Axiom>& output) {
  IriSet functional;
  // individual -> property -> values; the map of maps is the grouping by individual.
  std::map<std::string, std::map<std::string, std::set<LiteralValue>>> values;
  std::vector<IriPair> pairs;
  for (const auto& annotated : axioms) {
    const owl::Axiom& axiom = annotated.axiom;
    if (const auto* f = std::get_if<owl::FunctionalDataProperty>(&axiom)) {
      functional.insert(owl_views::text(f->property.iri));
    } else if (const auto* a = std::get_if<owl::DataPropertyAssertion>(&axiom)) {
      const owl::Iri* subject = owl_views::named_individual(a->subject);
      auto value = literal_value_of(a->value);
      if (subject && value)
        values[owl_views::text(*subject)][owl_views::text(a->property.iri)].insert(std::move(*value));
    } else {
      owl_views::append_property_pairs(axiom, pairs);
    }
  }
  if (functional.empty() || values.empty()) return;
  const ClosureSets closure = property_closure_sets(pairs);
  for (const auto& f : functional) {
    for (const auto& [individual, by_property] : values) {
      std::set<LiteralValue> distinct;
      for (const auto& [q, set] : by_property)
        if (reaches(closure, q, f)) distinct.insert(set.begin(), set.end());
      if (distinct.size() >= 2) {
        output.push_back(SubClassOf{top, bottom});
        return;
      }
    }
  }
}

}  // namespace kelmon
