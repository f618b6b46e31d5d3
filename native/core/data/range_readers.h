// Readers of OWL data ranges and literals into exact values. A reader either
// understands its input completely or gives none; it never approximates.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "core/data/intervals.h"
#include "core/data/value_range.h"
#include "core/data/value_sets.h"
#include "owl/model.h"

namespace kelmon {

// Intervals of one datatype: the plain datatype or a restriction of it by
// minInclusive, minExclusive, maxInclusive and maxExclusive (any other facet
// gives none). An empty result is still a result.
std::optional<IntInterval> int_range_of(const owl::DataRange& range);      // integer datatypes
std::optional<FloatInterval> float_range_of(const owl::DataRange& range);  // xsd:float, widened
// The facets of a restriction of xsd:double; an empty list is the whole space.
std::optional<FloatInterval> double_range_from_facets(std::span<const owl::FacetRestriction> facets);
std::optional<DecimalInterval> decimal_range_of(const owl::DataRange& range);
std::optional<DateInterval> date_range_of(const owl::DataRange& range);
std::optional<DateTimeInterval> date_time_range_of(const owl::DataRange& range);

// xsd:string itself (absent set), or a DataOneOf of plain and xsd:string literals.
std::optional<ValueRange::Strings> string_set_of(const owl::DataRange& range);
// rdf:langString itself (absent set), or a DataOneOf of language-tagged literals.
std::optional<LangStrings> lang_string_set_of(const owl::DataRange& range);
// The lexical form and the ASCII-lowercased tag of a language-tagged literal.
std::optional<LangString> lang_literal_of(const owl::Literal& literal);

// The integer a literal of xsd:integer or a datatype derived from it (xsd:int,
// xsd:nonNegativeInteger, ...) denotes: "0"^^xsd:int is the integer 0. None when
// the lexical form does not read, leaves the signed 64-bit range or lies outside
// the datatype's value space.
std::optional<std::int64_t> integer_literal_value(const owl::Literal& literal);

// Enumerations: a non-empty DataOneOf whose literals are all typed with exactly
// the reader's datatype and all parse. Float and double zeros are stored as +0.
std::optional<IntValueSet> int_set_of(const owl::DataRange& range);  // any integer datatype
std::optional<FloatValueSet> float_set_of(const owl::DataRange& range);
std::optional<FloatValueSet> double_set_of(const owl::DataRange& range);
std::optional<DecimalValueSet> decimal_set_of(const owl::DataRange& range);
std::optional<DateValueSet> date_set_of(const owl::DataRange& range);
std::optional<DateTimeValueSet> date_time_set_of(const owl::DataRange& range);

// Appends the integer intervals of an integer range, an integer enumeration or
// a non-empty union of these; false (with the list partly filled) otherwise.
bool collect_int_intervals(const owl::DataRange& range, std::vector<IntInterval>& out);

// A non-empty union of enumerations (nested unions included) as one DataOneOf
// of all their literals in order, duplicates kept; none otherwise.
std::optional<owl::DataRange> collect_enumeration_literals(const owl::DataRange& range);

// One step over the operands of a DataIntersectionOf: the next operand's value
// range, or none at the end or when no reader takes it (which sets `error`).
std::optional<ValueRange> next_value_range(std::span<const owl::DataRange> operands, std::size_t& position,
                                           bool& error);

// A DataIntersectionOf as a value range; Empty when its kinds cannot meet;
// Unhandled for anything these readers do not compute.
RangeOutcome data_range_value_range(const owl::DataRange& range);

}  // namespace kelmon
