#include <algorithm>
#include <map>
#include <string>

#include "core/data/datatype_iri.h"
#include "core/data/range_readers.h"
#include "core/data/xsd_float.h"
#include "core/data/xsd_integer.h"
#include "core/data_axioms/internal/inside.h"
#include "core/data_axioms/internal/property_pairs.h"
#include "core/data_axioms/literal_checks.h"

namespace kelmon {
namespace {

using interval_test::inside;

bool typed_as(const owl::Literal& literal, std::string_view datatype) {
  return literal.form == owl::LiteralForm::Typed && literal.datatype.iri.str() == datatype;
}

// The interval of xsd:double or of a facet restriction of it.
std::optional<FloatInterval> double_range_of(const owl::DataRange& range) {
  if (owl_views::is_datatype(range, datatype_iri::xsd_double)) return FloatInterval{};
  const auto* restriction = range ? std::get_if<owl::DatatypeRestriction>(&range.data()) : nullptr;
  if (!restriction || restriction->datatype.iri.str() != datatype_iri::xsd_double) return std::nullopt;
  return double_range_from_facets(restriction->restrictions);
}

// Only a literal of the range's own datatype is tested; one that does not read is not.
template <class Parse, class Interval>
bool outside(const owl::Literal& literal, std::string_view datatype, Parse parse, const Interval& interval) {
  if (!typed_as(literal, datatype)) return false;
  const auto v = parse(literal.lexical);
  return v && !inside(*v, interval);
}

// The first reader that takes the range decides; a literal of another kind is
// not tested against it.
bool violates(const owl::Literal& literal, const owl::DataRange& range) {
  if (const auto ints = int_range_of(range)) return outside(literal, datatype_iri::xsd_integer, parse_xsd_integer, *ints);
  if (const auto doubles = double_range_of(range))
    return outside(literal, datatype_iri::xsd_double, parse_xsd_double, *doubles);
  if (const auto decimals = decimal_range_of(range))
    return outside(literal, datatype_iri::xsd_decimal, parse_xsd_decimal, *decimals);
  if (const auto dates = date_range_of(range)) return outside(literal, datatype_iri::xsd_date, parse_xsd_date, *dates);
  if (const auto date_times = date_time_range_of(range))
    return outside(literal, datatype_iri::xsd_date_time, parse_xsd_date_time, *date_times);
  if (const auto strings = string_set_of(range)) {
    const bool string_literal =
        literal.form == owl::LiteralForm::Plain || typed_as(literal, datatype_iri::xsd_string);
    if (!string_literal || !strings->set) return false;
    return !std::binary_search(strings->set->begin(), strings->set->end(), literal.lexical);
  }
  return false;
}

bool violates_any(const owl::Literal& literal, const std::vector<owl::DataRange>& ranges) {
  return std::any_of(ranges.begin(), ranges.end(), [&](const owl::DataRange& r) { return violates(literal, r); });
}

}  // namespace

void check_asserted_literal_ranges(const owl::AxiomSet& axioms, ConceptId top, ConceptId bottom,
                                   std::vector<Axiom>& output) {
  std::map<std::string, std::vector<owl::DataRange>> ranges;
  std::vector<std::pair<std::string, const owl::Literal*>> assertions;
  std::vector<IriPair> pairs;
  for (const auto& annotated : axioms) {
    const owl::Axiom& axiom = annotated.axiom;
    if (const auto* range = std::get_if<owl::DataPropertyRange>(&axiom))
      ranges[owl_views::text(range->property.iri)].push_back(range->range);
    else if (const auto* assertion = std::get_if<owl::DataPropertyAssertion>(&axiom))
      assertions.emplace_back(owl_views::text(assertion->property.iri), &assertion->value);
    else
      owl_views::append_property_pairs(axiom, pairs);
  }
  if (ranges.empty() || assertions.empty()) return;
  const ClosureSets closure = property_closure_sets(pairs);
  for (const auto& [p, literal] : assertions) {
    bool violated = false;
    if (const auto own = ranges.find(p); own != ranges.end()) violated = violates_any(*literal, own->second);
    if (const auto supers = closure.find(p); !violated && supers != closure.end()) {
      for (const auto& r : supers->second) {
        if (r == p) continue;
        const auto inherited = ranges.find(r);
        if (inherited != ranges.end() && violates_any(*literal, inherited->second)) {
          violated = true;
          break;
        }
      }
    }
    if (violated) {
      output.push_back(SubClassOf{top, bottom});
      return;
    }
  }
}

}  // namespace kelmon
