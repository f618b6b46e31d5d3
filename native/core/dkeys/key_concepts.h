// Data restrictions, data property ranges and data values as concepts over
// data-value key classes: a data property is a role, a data range or literal
// becomes a key class, and a restriction a concept over both. Callers wrap,
// negate and combine the results; which key, which text and which role is
// decided here.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "common/reasoner_error.h"
#include "core/concept_pool.h"
#include "core/data/intervals.h"
#include "core/data/value_sets.h"
#include "core/vocab.h"
#include "owl/model.h"

namespace kelmon {

// The role of a data property and the Atomic concept of a key class.
struct KeyConcept {
  Role role;
  ConceptId key;
  bool operator==(const KeyConcept&) const = default;
};

// False exactly when KELMON_DATA_PROPERTIES is "0"; read at every call.
bool data_properties_enabled();

// The key of a data range. Fails, interning nothing, when no reader takes it.
UnsupportedOr<KeyConcept> data_range_concept(std::string_view property, const owl::DataRange& range,
                                             Vocabulary& vocabulary, ConceptPool& pool);

// Some(Atomic(key of the literal's value), property), or none (nothing
// interned) for a literal that cannot be keyed.
std::optional<ConceptId> data_value_concept(std::string_view property, const owl::Literal& literal,
                                            Vocabulary& vocabulary, ConceptPool& pool);

// Some(Atomic(key), property) for the key written from each kind of value.
ConceptId intern_dkey_exists_int(const IntInterval& interval, std::string_view property, Vocabulary& vocabulary,
                                 ConceptPool& pool);
ConceptId intern_dkey_exists_str(const std::optional<StringSet>& strings, std::string_view property,
                                 Vocabulary& vocabulary, ConceptPool& pool);
ConceptId intern_dkey_exists_lang(const std::optional<LangStringSet>& pairs, std::string_view property,
                                  Vocabulary& vocabulary, ConceptPool& pool);
// `kind` is float_range_kind or double_range_kind.
ConceptId intern_dkey_exists_range(std::string_view kind, const FloatInterval& interval, std::string_view property,
                                   Vocabulary& vocabulary, ConceptPool& pool);

// The kinds of range a counting restriction can be keyed for, in the order
// in which the class-expression converter tries them after integer ranges.
enum class CountedRange : std::uint8_t {
  Strings,
  FloatOrDouble,
  Decimal,
  Date,
  DateTime,
  IntSet,
  FloatOrDoubleSet,
  DecimalSet,
  DateSet,
  DateTimeSet,
  Literal,  // rdfs:Literal itself: counts without a key
};
inline constexpr CountedRange kCountedRanges[] = {
    CountedRange::Strings,    CountedRange::FloatOrDouble,    CountedRange::Decimal,    CountedRange::Date,
    CountedRange::DateTime,   CountedRange::IntSet,           CountedRange::FloatOrDoubleSet,
    CountedRange::DecimalSet, CountedRange::DateSet,          CountedRange::DateTimeSet, CountedRange::Literal};

// One member of the counting encoders: at-least part Min(n, key, role) (Top
// for n = 0), at-most part Max(n, key, role), both joined by mk_and_pair.
// UnsupportedDataRange means this member does not apply. Asking for neither
// part is an invariant failure.
UnsupportedOr<ConceptId> encode_data_cardinality(CountedRange kind, std::uint32_t n, std::string_view property,
                                                 const owl::DataRange& range, Vocabulary& vocabulary,
                                                 ConceptPool& pool, bool at_least, bool at_most);

// The members in converter order; the first concept wins, UnsupportedDataRange when none applies.
UnsupportedOr<ConceptId> encode_data_restriction(std::uint32_t n, std::string_view property,
                                                 const owl::DataRange& range, Vocabulary& vocabulary,
                                                 ConceptPool& pool, bool at_least, bool at_most);

}  // namespace kelmon
