// The two walks over a superclass of a named class.
#include <limits>

#include "core/data/datatype_iri.h"
#include "core/data/range_readers.h"
#include "core/data_axioms/data_axiom_index.h"
#include "core/data_axioms/internal/owl_views.h"
#include "owl/structural.h"

namespace kelmon {
namespace {

constexpr std::uint32_t kNoLimit = std::numeric_limits<std::uint32_t>::max();

void record_at_least(const IriPair& key, std::uint32_t n, const owl::DataRange& range, DataAxiomIndex& index) {
  merge_counted_range(index.min_cardinalities[key], CountedRange{n, range}, true);
}

// Only an unrestricted range counts every string: a restricted one (a length
// facet, a narrower string type) may leave asserted strings outside it.
bool counts_every_string(const owl::DataRange& range) {
  return owl_views::is_datatype(range, datatype_iri::rdfs_literal) ||
         owl_views::is_datatype(range, datatype_iri::xsd_string);
}

void record_at_most(const IriPair& key, std::uint32_t n, const owl::DataRange& range, DataAxiomIndex& index) {
  merge_counted_range(index.max_cardinalities[key], CountedRange{n, range}, false);
  if (!counts_every_string(range)) return;
  auto [it, fresh] = index.max_literal_cardinalities.try_emplace(key, kNoLimit);
  if (n < it->second) it->second = n;
}

void require(const std::string& cls, const owl::DataProperty& p, ValueRestriction r, DataAxiomIndex& index) {
  IriPair key{cls, owl_views::text(p.iri)};
  index.required_value_pairs.insert(key);
  add_restriction(index.value_requirements[key], std::move(r));
}

}  // namespace

bool add_restriction(std::vector<ValueRestriction>& list, ValueRestriction restriction) {
  for (const auto& r : list)
    if (same_restriction(r, restriction)) return false;
  list.push_back(std::move(restriction));
  return true;
}

bool merge_counted_range(std::vector<CountedRange>& list, const CountedRange& bound, bool at_least) {
  for (auto& held : list) {
    if (!owl::structurally_equal(held.range, bound.range)) continue;
    const bool tighter = at_least ? bound.count > held.count : bound.count < held.count;
    if (tighter) held.count = bound.count;
    return tighter;
  }
  list.push_back(bound);
  return true;
}

void record_cardinality_restrictions(const std::string& cls, const owl::ClassExpression& x, DataAxiomIndex& index) {
  owl_views::for_each_conjunct(x, [&](const owl::ClassExpression& y) {
    const auto& data = y.data();
    if (const auto* min = std::get_if<owl::DataMinCardinality>(&data)) {
      record_at_least({cls, owl_views::text(min->property.iri)}, min->cardinality, min->filler, index);
    } else if (const auto* max = std::get_if<owl::DataMaxCardinality>(&data)) {
      record_at_most({cls, owl_views::text(max->property.iri)}, max->cardinality, max->filler, index);
    } else if (const auto* exact = std::get_if<owl::DataExactCardinality>(&data)) {
      const IriPair key{cls, owl_views::text(exact->property.iri)};
      record_at_least(key, exact->cardinality, exact->filler, index);
      record_at_most(key, exact->cardinality, exact->filler, index);
    }
  });
}

void record_value_restrictions(const std::string& cls, const owl::ClassExpression& x, DataAxiomIndex& index) {
  owl_views::for_each_conjunct(x, [&](const owl::ClassExpression& y) {
    const auto& data = y.data();
    if (const auto* some = std::get_if<owl::DataSomeValuesFrom>(&data)) {
      require(cls, some->property, AtLeastValues{1, some->filler}, index);
      if (auto interval = int_range_of(some->filler))
        index.integer_ranges[{cls, owl_views::text(some->property.iri)}].push_back(*interval);
    } else if (const auto* has = std::get_if<owl::DataHasValue>(&data)) {
      require(cls, has->property, HasLiteralValue{has->value}, index);
    } else if (const auto* min = std::get_if<owl::DataMinCardinality>(&data)) {
      if (min->cardinality >= 1) require(cls, min->property, AtLeastValues{min->cardinality, min->filler}, index);
    } else if (const auto* exact = std::get_if<owl::DataExactCardinality>(&data)) {
      // As a requirement only its lower bound is of use.
      if (exact->cardinality >= 1)
        require(cls, exact->property, AtLeastValues{exact->cardinality, exact->filler}, index);
    }
  });
}

}  // namespace kelmon
