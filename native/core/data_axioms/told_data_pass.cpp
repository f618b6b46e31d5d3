#include "core/data_axioms/told_data_pass.h"

#include <algorithm>
#include <limits>
#include <map>
#include <string>

#include "core/data_axioms/conjunct_propagation.h"
#include "core/data_axioms/data_assertion_check.h"
#include "core/data_axioms/data_axiom_index.h"
#include "core/data_axioms/index_clash_checks.h"
#include "core/data_axioms/literal_checks.h"
#include "core/data_axioms/range_membership.h"

namespace kelmon {
namespace {

// Appends the pass's class axioms; names outside the vocabulary give nothing.
class Emitter {
 public:
  Emitter(InternalOntology& ontology, ConceptId bottom, std::vector<Axiom>& output)
      : ontology_(ontology), bottom_(bottom), output_(output) {}

  void bottom_axiom(const std::string& cls) {
    if (const auto a = atomic(cls)) output_.push_back(SubClassOf{*a, bottom_});
  }
  void class_axiom(const std::string& sub, const std::string& sup) {
    const auto x = ontology_.vocabulary.classes.get(sub);
    const auto y = ontology_.vocabulary.classes.get(sup);
    if (!x || !y) return;
    const ConceptId cx = ontology_.concepts.intern(Atomic{x->id});
    const ConceptId cy = ontology_.concepts.intern(Atomic{y->id});
    output_.push_back(SubClassOf{cx, cy});
  }

 private:
  std::optional<ConceptId> atomic(const std::string& cls) {
    const auto entry = ontology_.vocabulary.classes.get(cls);
    if (!entry) return std::nullopt;
    return ontology_.concepts.intern(Atomic{entry->id});
  }
  InternalOntology& ontology_;
  ConceptId bottom_;
  std::vector<Axiom>& output_;
};

bool any_count_at_least(const std::vector<CountedRange>& bounds, std::uint32_t n) {
  return std::any_of(bounds.begin(), bounds.end(), [&](const CountedRange& b) { return b.count >= n; });
}

// More values in R1 required than R2 allows, where R1 lies within R2; a bound
// over an unrelated range says nothing about the other.
bool bounds_conflict(const std::vector<CountedRange>& at_least, const std::vector<CountedRange>& at_most) {
  for (const auto& min : at_least)
    for (const auto& max : at_most)
      if (min.count > max.count && data_range_within(min.range, max.range)) return true;
  return false;
}

bool intervals_disjoint(const std::vector<IntInterval>& intervals) {
  std::optional<std::int64_t> greatest_lower, least_upper;
  for (const auto& i : intervals) {
    if (i.lower && (!greatest_lower || *i.lower > *greatest_lower)) greatest_lower = i.lower;
    if (i.upper && (!least_upper || *i.upper < *least_upper)) least_upper = i.upper;
  }
  return greatest_lower && least_upper && *greatest_lower > *least_upper;
}

bool same_literal_value(const owl::Literal& a, const owl::Literal& b) {
  if (a == b) return true;
  const auto x = literal_value_of(a);
  const auto y = literal_value_of(b);
  return x && y && *x == *y;
}

// Whether a class with these requirements on a property (or on a sub-property)
// provably satisfies the antecedent restriction on the property.
bool satisfies(const std::vector<ValueRestriction>& requirements, const ValueRestriction& antecedent) {
  if (const auto* need = std::get_if<AtLeastValues>(&antecedent)) {
    return std::any_of(requirements.begin(), requirements.end(), [&](const ValueRestriction& r) {
      if (const auto* have = std::get_if<AtLeastValues>(&r))
        return have->count >= need->count && data_range_within(have->range, need->range);
      if (const auto* value = std::get_if<HasLiteralValue>(&r))
        return need->count <= 1 && literal_lies_in_range(value->value, need->range);
      return false;
    });
  }
  if (const auto* need = std::get_if<HasLiteralValue>(&antecedent)) {
    return std::any_of(requirements.begin(), requirements.end(), [&](const ValueRestriction& r) {
      const auto* value = std::get_if<HasLiteralValue>(&r);
      return value && same_literal_value(value->value, need->value);
    });
  }
  // An exact count is never shown by lower bounds alone.
  return false;
}

// property -> classes X of (X, property) in required_value_pairs, ascending.
std::map<std::string, std::vector<std::string>> requirers_by_property(const DataAxiomIndex& index) {
  std::map<std::string, std::vector<std::string>> out;
  for (const auto& [cls, p] : index.required_value_pairs) out[p].push_back(cls);
  return out;
}

void derive_unsatisfiable_classes(const DataAxiomIndex& index, Emitter& emit) {
  for (const auto& [key, bounds] : index.min_cardinalities)
    if (index.functional_properties.contains(key.second) && any_count_at_least(bounds, 2)) emit.bottom_axiom(key.first);
  for (const auto& [key, bounds] : index.min_cardinalities) {
    const auto at_most = index.max_cardinalities.find(key);
    if (at_most != index.max_cardinalities.end() && bounds_conflict(bounds, at_most->second)) emit.bottom_axiom(key.first);
  }
  for (const auto& [key, intervals] : index.integer_ranges)
    if (intervals.size() >= 2 && index.functional_properties.contains(key.second) && intervals_disjoint(intervals))
      emit.bottom_axiom(key.first);
}

void derive_class_axioms(const DataAxiomIndex& index, Emitter& emit) {
  const auto requirers = requirers_by_property(index);
  for (const auto& [q, y] : index.domain_classes) {
    const auto it = requirers.find(q);
    if (it == requirers.end()) continue;
    for (const auto& x : it->second)
      if (x != y) emit.class_axiom(x, y);
  }

  const ClosureSets closure = property_closure_sets(index.sub_property_pairs);
  for (const auto& [x, q] : index.required_value_pairs) {
    const auto supers = closure.find(q);
    if (supers == closure.end()) continue;
    const auto requirements = index.value_requirements.find({x, q});
    if (requirements == index.value_requirements.end()) continue;
    for (const auto& r : supers->second) {
      const auto implied = index.value_implied_classes.find(r);
      if (implied == index.value_implied_classes.end()) continue;
      for (const auto& [d, antecedents] : implied->second) {
        if (d == x) continue;
        const bool fires = std::any_of(antecedents.begin(), antecedents.end(), [&](const ValueRestriction& a) {
          return satisfies(requirements->second, a);
        });
        if (fires) emit.class_axiom(x, d);
      }
    }
  }

  if (index.domain_classes.empty() || closure.empty() || index.required_value_pairs.empty()) return;
  for (const auto& [q, y] : index.domain_classes) {
    for (const auto& [k, supers] : closure) {
      if (k == q || !supers.contains(q)) continue;
      const auto it = requirers.find(k);
      if (it == requirers.end()) continue;
      for (const auto& x : it->second)
        if (x != y) emit.class_axiom(x, y);
    }
  }
}

}  // namespace

std::vector<Axiom> derive_told_data_axioms(const owl::AxiomSet& axioms, InternalOntology& ontology, ConceptId top,
                                           ConceptId bottom) {
  DataAxiomIndex index = build_data_axiom_index(axioms);
  propagate_conjunct_facts(collect_conjunct_supers(axioms), index);

  std::vector<Axiom> output;
  Emitter emit(ontology, bottom, output);
  derive_unsatisfiable_classes(index, emit);
  derive_class_axioms(index, emit);

  check_range_families(index, top, bottom, output);
  check_range_strings(index, top, bottom, output);
  check_max_string_cardinalities(index, top, bottom, output);
  check_asserted_literal_ranges(axioms, top, bottom, output);
  check_functional_values(axioms, top, bottom, output);
  derive_data_assertion_axioms(axioms, top, bottom, output);
  check_disjoint_property_values(index, top, bottom, output);
  return output;
}

}  // namespace kelmon
