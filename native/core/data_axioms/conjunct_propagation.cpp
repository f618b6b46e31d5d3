#include "core/data_axioms/conjunct_propagation.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/data_axioms/internal/owl_views.h"

namespace kelmon {
namespace {

using owl_views::named_class;
using owl_views::text;

const owl::ObjectIntersectionOf* intersection(const owl::ClassExpression& x) {
  return x ? std::get_if<owl::ObjectIntersectionOf>(&x.data()) : nullptr;
}

// The entries of a (class, property)-keyed map whose class is `cls`, copied, so
// that writing entries of another class cannot disturb them.
template <class Value>
std::vector<std::pair<std::string, Value>> entries_of(const std::map<IriPair, Value>& map, const std::string& cls) {
  std::vector<std::pair<std::string, Value>> out;
  for (auto it = map.lower_bound({cls, std::string()}); it != map.end() && it->first.first == cls; ++it)
    out.emplace_back(it->first.second, it->second);
  return out;
}

bool same_interval(const IntInterval& a, const IntInterval& b) { return a == b; }

bool propagate_pair(const std::string& a, const std::string& b, DataAxiomIndex& index) {
  bool changed = false;
  for (const auto& [p, bounds] : entries_of(index.min_cardinalities, b)) {
    auto& into = index.min_cardinalities[{a, p}];
    for (const auto& bound : bounds) changed = merge_counted_range(into, bound, true) || changed;
  }
  for (const auto& [p, bounds] : entries_of(index.max_cardinalities, b)) {
    auto& into = index.max_cardinalities[{a, p}];
    for (const auto& bound : bounds) changed = merge_counted_range(into, bound, false) || changed;
  }
  std::vector<std::string> required;
  for (auto it = index.required_value_pairs.lower_bound({b, std::string()});
       it != index.required_value_pairs.end() && it->first == b; ++it)
    required.push_back(it->second);
  for (const auto& p : required) changed = index.required_value_pairs.insert({a, p}).second || changed;
  for (const auto& [p, restrictions] : entries_of(index.value_requirements, b)) {
    auto& into = index.value_requirements[{a, p}];
    for (const auto& r : restrictions) changed = add_restriction(into, r) || changed;
  }
  for (const auto& [p, intervals] : entries_of(index.integer_ranges, b)) {
    auto& into = index.integer_ranges[{a, p}];
    for (const auto& interval : intervals) {
      const bool held = std::any_of(into.begin(), into.end(), [&](const IntInterval& i) { return same_interval(i, interval); });
      if (held) continue;
      into.push_back(interval);
      changed = true;
    }
  }
  return changed;
}

}  // namespace

ConjunctSupers collect_conjunct_supers(const owl::AxiomSet& axioms) {
  ConjunctSupers supers;
  for (const auto& annotated : axioms) {
    if (const auto* sub = std::get_if<owl::SubClassOf>(&annotated.axiom)) {
      const owl::Iri* a = named_class(sub->sub);
      const auto* both = intersection(sub->sup);
      if (!a || !both) continue;
      for (const auto& operand : both->operands)
        if (const owl::Iri* b = named_class(operand); b && *b != *a) supers[text(*a)].insert(text(*b));
    } else if (const auto* eq = std::get_if<owl::EquivalentClasses>(&annotated.axiom)) {
      for (const auto& member : eq->members) {
        const auto* both = intersection(member);
        if (!both) continue;
        for (const auto& operand : both->operands) {
          const owl::Iri* b = named_class(operand);
          if (!b) continue;
          for (const auto& other : eq->members)
            if (const owl::Iri* a = named_class(other); a && *a != *b) supers[text(*a)].insert(text(*b));
        }
      }
    }
  }
  return supers;
}

void propagate_conjunct_facts(const ConjunctSupers& supers, DataAxiomIndex& index) {
  for (bool changed = !supers.empty(); changed;) {
    changed = false;
    for (const auto& [a, bs] : supers)
      for (const auto& b : bs) changed = propagate_pair(a, b, index) || changed;
  }
}

}  // namespace kelmon
