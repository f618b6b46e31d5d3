#include "core/data_axioms/range_membership.h"

#include <algorithm>

#include "common/overload.h"
#include "core/data/datatype_iri.h"
#include "core/data/decimal_intervals.h"
#include "core/data/range_readers.h"
#include "core/data_axioms/internal/inside.h"
#include "core/data_axioms/internal/owl_views.h"
#include "owl/structural.h"

namespace kelmon {
namespace {

using interval_test::inside;

bool double_lies_in(double v, const owl::DataRange& range) {
  if (owl_views::is_datatype(range, datatype_iri::xsd_double)) return true;
  const auto* restriction = range ? std::get_if<owl::DatatypeRestriction>(&range.data()) : nullptr;
  if (!restriction || restriction->datatype.iri.str() != datatype_iri::xsd_double) return false;
  const auto interval = double_range_from_facets(restriction->restrictions);
  return interval && inside(v, *interval);
}

bool decimal_lies_in(const DecimalValue& v, const owl::DataRange& range) {
  if (const auto ints = int_range_of(range)) {
    const auto i = decimal_to_i64(v);
    return i && inside(*i, *ints);
  }
  const auto interval = decimal_range_of(range);
  return interval && decimal_interval_within(DecimalInterval{v, v, true, true}, *interval);
}

bool text_lies_in(const std::string& v, const owl::DataRange& range) {
  const auto strings = string_set_of(range);
  if (!strings) return false;
  return !strings->set || std::binary_search(strings->set->begin(), strings->set->end(), v);
}

bool int_interval_within(const IntInterval& inner, const IntInterval& outer) {
  if (is_empty(inner)) return true;
  const bool lower_ok = !outer.lower || (inner.lower && *inner.lower >= *outer.lower);
  const bool upper_ok = !outer.upper || (inner.upper && *inner.upper <= *outer.upper);
  return lower_ok && upper_ok;
}

}  // namespace

bool value_lies_in_range(const LiteralValue& value, const owl::DataRange& range) {
  using V = AssertedValue;
  return std::visit(Overload{
                        [&](const V::Double& d) { return double_lies_in(d.value, range); },
                        [&](const V::Decimal& d) { return decimal_lies_in(d.value, range); },
                        [&](const V::Date& d) {
                          const auto interval = date_range_of(range);
                          return interval && inside(d.value, *interval);
                        },
                        [&](const V::DateTime& d) {
                          const auto interval = date_time_range_of(range);
                          return interval && inside(d.value, *interval);
                        },
                        [&](const V::Text& t) { return text_lies_in(t.value, range); },
                        [](const V::Float&) { return false; },
                    },
                    value.kind);
}

bool data_range_within(const owl::DataRange& inner, const owl::DataRange& outer) {
  if (owl_views::is_datatype(outer, datatype_iri::rdfs_literal)) return true;
  if (!inner || !outer) return false;
  if (owl::structurally_equal(inner, outer)) return true;
  if (const auto outer_ints = int_range_of(outer)) {
    const auto inner_ints = int_range_of(inner);
    return inner_ints && int_interval_within(*inner_ints, *outer_ints);
  }
  if (const auto outer_strings = string_set_of(outer)) {
    const auto inner_strings = string_set_of(inner);
    if (!inner_strings) return false;
    if (!outer_strings->set) return true;
    return inner_strings->set && std::includes(outer_strings->set->begin(), outer_strings->set->end(),
                                               inner_strings->set->begin(), inner_strings->set->end());
  }
  return false;
}

bool literal_lies_in_range(const owl::Literal& literal, const owl::DataRange& range) {
  if (owl_views::is_datatype(range, datatype_iri::rdfs_literal)) return true;
  const auto value = literal_value_of(literal);
  return value && value_lies_in_range(*value, range);
}

}  // namespace kelmon
