// The told facts about data properties of a loaded ontology, keyed by IRI
// strings. Lists follow the iteration order of the axiom set; ordered maps and
// sets compare IRIs bytewise, pairs by the first IRI and then the second.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/data/datatype_family.h"
#include "core/data/intervals.h"
#include "core/data/value_sets.h"
#include "core/data_axioms/asserted_value.h"
#include "core/data_axioms/property_closure.h"
#include "core/data_axioms/value_restriction.h"
#include "owl/axiom_set.h"

namespace kelmon {

struct DataAxiomIndex {
  IriSet functional_properties;
  // (class, property) -> per distinct range the largest told at-least count
  // (DataMinCardinality, DataExactCardinality) in the class's superclasses.
  std::map<IriPair, std::vector<CountedRange>> min_cardinalities;
  // (class, property) -> per distinct range the smallest told at-most count
  // (DataMaxCardinality, DataExactCardinality).
  std::map<IriPair, std::vector<CountedRange>> max_cardinalities;
  std::vector<IriPair> domain_classes;                                    // (property, named domain)
  std::vector<std::pair<std::string, std::vector<std::string>>> domain_unions;  // (property, union operands)
  std::vector<IriPair> sub_property_pairs;                                // (sub, super)
  std::set<IriPair> required_value_pairs;                                 // (class, property)
  // (class, property) -> the restrictions behind `required_value_pairs`.
  std::map<IriPair, std::vector<ValueRestriction>> value_requirements;
  // property -> class C of SubClassOf(R, C) -> the restrictions R on the property.
  std::map<std::string, std::map<std::string, std::vector<ValueRestriction>>> value_implied_classes;
  std::map<IriPair, std::vector<IntInterval>> integer_ranges;             // (class, property)
  std::map<std::string, std::vector<DatatypeFamily>> range_families;
  std::vector<std::pair<std::string, DatatypeFamily>> assertion_families;
  std::map<std::string, std::vector<StringSet>> range_string_values;
  std::vector<IriPair> string_assertions;                                 // (property, lexical form)
  std::vector<IriPair> class_assertions;                                  // (individual, class)
  std::vector<IriPair> named_subclass_pairs;                              // (sub, super)
  std::map<IriPair, IriSet> asserted_strings;                             // (individual, property)
  // (class, property) -> the smallest told at-most count over rdfs:Literal or xsd:string.
  std::map<IriPair, std::uint32_t> max_literal_cardinalities;
  std::vector<IriPair> disjoint_property_pairs;                           // smaller IRI first
  std::map<IriPair, std::set<AssertedValue>> asserted_values;             // (individual, property)
};

// One pass over the set in its iteration order; annotations are not read.
DataAxiomIndex build_data_axiom_index(const owl::AxiomSet& axioms);
// What one axiom adds to the index.
void index_data_component(const owl::Axiom& axiom, DataAxiomIndex& index);
// The walks over a superclass X of the named class A (nested intersections included).
void record_cardinality_restrictions(const std::string& cls, const owl::ClassExpression& x, DataAxiomIndex& index);
void record_value_restrictions(const std::string& cls, const owl::ClassExpression& x, DataAxiomIndex& index);

// Adds a restriction unless an equal one is listed; true when it was added.
bool add_restriction(std::vector<ValueRestriction>& list, ValueRestriction restriction);
// Keeps the largest (at_least) or smallest (at most) count per distinct range;
// true when the list changed.
bool merge_counted_range(std::vector<CountedRange>& list, const CountedRange& bound, bool at_least);

}  // namespace kelmon
