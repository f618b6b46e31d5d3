#include "core/data_axioms/data_assertion_check.h"

#include <map>
#include <set>
#include <string>

#include "core/data_axioms/asserted_value.h"
#include "core/data_axioms/internal/property_pairs.h"
#include "core/data_axioms/internal/told_types.h"
#include "core/data_axioms/range_membership.h"

namespace kelmon {
namespace {

struct AtMostRecord {
  std::string cls;
  std::string property;
  std::uint32_t count = 0;
  owl::DataRange range;
};

struct Collected {
  std::vector<IriPair> property_pairs;
  std::vector<IriPair> class_pairs;
  std::vector<IriPair> class_assertions;
  std::vector<AtMostRecord> at_most;
  // individual -> property -> values; the map of maps is the grouping by individual.
  std::map<std::string, std::map<std::string, std::set<LiteralValue>>> values;
};

// Only a restriction that is the whole superclass gives a record.
void collect_sub_class_of(const owl::SubClassOf& a, Collected& c) {
  const owl::Iri* sub = owl_views::named_class(a.sub);
  if (!sub || !a.sup) return;
  if (const owl::Iri* sup = owl_views::named_class(a.sup)) {
    c.class_pairs.emplace_back(owl_views::text(*sub), owl_views::text(*sup));
  } else if (const auto* max = std::get_if<owl::DataMaxCardinality>(&a.sup.data())) {
    c.at_most.push_back({owl_views::text(*sub), owl_views::text(max->property.iri), max->cardinality, max->filler});
  } else if (const auto* exact = std::get_if<owl::DataExactCardinality>(&a.sup.data())) {
    c.at_most.push_back(
        {owl_views::text(*sub), owl_views::text(exact->property.iri), exact->cardinality, exact->filler});
  }
}

Collected collect(const owl::AxiomSet& axioms) {
  Collected c;
  for (const auto& annotated : axioms) {
    const owl::Axiom& axiom = annotated.axiom;
    if (const auto* sub = std::get_if<owl::SubClassOf>(&axiom)) {
      collect_sub_class_of(*sub, c);
    } else if (const auto* member = std::get_if<owl::ClassAssertion>(&axiom)) {
      const owl::Iri* cls = owl_views::named_class(member->class_expression);
      const owl::Iri* who = owl_views::named_individual(member->individual);
      if (cls && who) c.class_assertions.emplace_back(owl_views::text(*who), owl_views::text(*cls));
    } else if (const auto* a = std::get_if<owl::DataPropertyAssertion>(&axiom)) {
      const owl::Iri* subject = owl_views::named_individual(a->subject);
      auto value = literal_value_of(a->value);
      if (subject && value)
        c.values[owl_views::text(*subject)][owl_views::text(a->property.iri)].insert(std::move(*value));
    } else {
      owl_views::append_property_pairs(axiom, c.property_pairs);
    }
  }
  return c;
}

}  // namespace

void derive_data_assertion_axioms(const owl::AxiomSet& axioms, ConceptId top, ConceptId bottom,
                                  std::vector<Axiom>& output) {
  const Collected c = collect(axioms);
  if (c.at_most.empty() || c.class_assertions.empty() || c.values.empty()) return;
  const ClosureSets class_closure = property_closure_sets(c.class_pairs);
  const ClosureSets property_closure = property_closure_sets(c.property_pairs);
  const auto members = told_members(told_types(c.class_assertions, class_closure));
  for (const AtMostRecord& record : c.at_most) {
    const auto in_class = members.find(record.cls);
    if (in_class == members.end()) continue;
    for (const auto& individual : in_class->second) {
      const auto values = c.values.find(individual);
      if (values == c.values.end()) continue;
      std::set<LiteralValue> inside;
      for (const auto& [q, set] : values->second) {
        if (!reaches(property_closure, q, record.property)) continue;
        for (const LiteralValue& v : set)
          if (value_lies_in_range(v, record.range)) inside.insert(v);
      }
      if (inside.size() > record.count) {
        output.push_back(SubClassOf{top, bottom});
        return;
      }
    }
  }
}

}  // namespace kelmon
