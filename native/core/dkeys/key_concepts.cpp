#include "core/dkeys/key_concepts.h"

#include <string>
#include <variant>

#include "common/invariant.h"
#include "common/switches.h"
#include "core/data/datatype_iri.h"
#include "core/data/date_time_value.h"
#include "core/data/decimal_value.h"
#include "core/data/dkey_encode.h"
#include "core/data/integer_intervals.h"
#include "core/data/range_readers.h"
#include "core/data/xsd_float.h"
#include "core/data/xsd_integer.h"

namespace kelmon {

bool data_properties_enabled() { return switch_flag(SwitchId::DataProperties); }

namespace {

UnsupportedOr<KeyConcept> unsupported() { return std::unexpected(Unsupported(UnsupportedDataRange{})); }

bool is_datatype(const owl::DataRange& range, std::string_view iri) {
  if (!range) return false;
  const auto* datatype = std::get_if<owl::Datatype>(&range.data());
  return datatype && datatype->iri.str() == iri;
}

// xsd:double itself, or a facet restriction of it that the double reader takes.
std::optional<FloatInterval> double_range_of(const owl::DataRange& range) {
  if (is_datatype(range, datatype_iri::xsd_double)) return FloatInterval{};
  if (!range) return std::nullopt;
  const auto* restriction = std::get_if<owl::DatatypeRestriction>(&range.data());
  if (!restriction || restriction->datatype.iri.str() != datatype_iri::xsd_double) return std::nullopt;
  return double_range_from_facets(restriction->restrictions);
}

// The key text of a range, by the readers in their fixed order.
std::optional<std::string> range_key(const owl::DataRange& range) {
  if (auto v = int_range_of(range)) return encode_int_interval_key(*v);
  if (auto v = float_range_of(range)) return encode_bounded_range_key(float_range_kind, *v);
  if (auto v = double_range_of(range)) return encode_bounded_range_key(double_range_kind, *v);
  if (auto v = decimal_range_of(range)) return encode_decimal_range_key(*v);
  if (auto v = date_range_of(range)) return encode_date_range_key(*v);
  if (auto v = date_time_range_of(range)) return encode_date_time_range_key(*v);
  if (auto v = string_set_of(range)) return encode_str_key(v->set);
  if (auto v = lang_string_set_of(range)) return encode_lang_key(v->set);
  if (auto v = int_set_of(range)) return encode_int_set_key(*v);
  if (auto v = float_set_of(range)) return encode_float_set_key(float_set_kind, *v);
  if (auto v = double_set_of(range)) return encode_float_set_key(double_set_kind, *v);
  if (auto v = decimal_set_of(range)) return encode_decimal_set_key(*v);
  if (auto v = date_set_of(range)) return encode_date_set_key(*v);
  if (auto v = date_time_set_of(range)) return encode_date_time_set_key(*v);
  return std::nullopt;
}

// A union of integer ranges and enumerations as one bare or "iset:" key.
std::optional<std::string> int_union_key(const owl::DataRange& range) {
  if (!range) return std::nullopt;
  const auto* u = std::get_if<owl::DataUnionOf>(&range.data());
  if (!u || u->operands.empty()) return std::nullopt;
  std::vector<IntInterval> intervals;
  if (!collect_int_intervals(range, intervals)) return std::nullopt;
  auto normal = normalize_int_intervals(std::move(intervals));
  if (!normal || normal->empty()) return std::nullopt;
  return encode_int_intervals_key(*normal);
}

KeyConcept intern_key(std::string_view property, std::string_view key, Vocabulary& vocabulary, ConceptPool& pool) {
  const Role role = Role::named(vocabulary.roles.intern(property));
  const ClassId cls = vocabulary.classes.intern(key);
  return {role, pool.intern(Atomic{cls})};
}

ConceptId intern_exists(std::string_view property, const std::string& key, Vocabulary& vocabulary,
                        ConceptPool& pool) {
  const KeyConcept k = intern_key(property, key, vocabulary, pool);
  return pool.intern(Some{k.key, k.role});
}

FloatInterval float_point(double value) {
  const std::uint64_t bits = float_bits(value);
  return FloatInterval{bits, bits, true, true};
}

}  // namespace

UnsupportedOr<KeyConcept> data_range_concept(std::string_view property, const owl::DataRange& range,
                                             Vocabulary& vocabulary, ConceptPool& pool) {
  if (auto enumeration = collect_enumeration_literals(range))
    return data_range_concept(property, *enumeration, vocabulary, pool);
  std::optional<std::string> key = int_union_key(range);
  if (!key) key = range_key(range);
  if (!key) return unsupported();
  return intern_key(property, *key, vocabulary, pool);
}

std::optional<ConceptId> data_value_concept(std::string_view property, const owl::Literal& literal,
                                            Vocabulary& vocabulary, ConceptPool& pool) {
  const std::string_view lexical = literal.lexical;
  switch (literal.form) {
    case owl::LiteralForm::Plain: return intern_dkey_exists_str(StringSet{std::string(lexical)}, property, vocabulary, pool);
    case owl::LiteralForm::LanguageTagged: {
      auto pair = lang_literal_of(literal);
      if (!pair) return std::nullopt;
      return intern_dkey_exists_lang(LangStringSet{std::move(*pair)}, property, vocabulary, pool);
    }
    case owl::LiteralForm::Typed: break;
  }
  const std::string_view datatype = literal.datatype.iri.str();
  if (const auto v = integer_literal_value(literal))
    return intern_dkey_exists_int(IntInterval{*v, *v}, property, vocabulary, pool);
  if (datatype == datatype_iri::xsd_double) {
    const auto v = parse_xsd_double(lexical);
    if (!v) return std::nullopt;
    return intern_dkey_exists_range(double_range_kind, float_point(*v), property, vocabulary, pool);
  }
  if (datatype == datatype_iri::xsd_float) {
    const auto v = parse_xsd_float(lexical);
    if (!v) return std::nullopt;
    return intern_dkey_exists_range(float_range_kind, float_point(static_cast<double>(*v)), property, vocabulary,
                                    pool);
  }
  if (datatype == datatype_iri::xsd_decimal) {
    const auto v = parse_xsd_decimal(lexical);
    if (!v) return std::nullopt;
    return intern_exists(property, encode_decimal_range_key(DecimalInterval{*v, *v, true, true}), vocabulary, pool);
  }
  if (datatype == datatype_iri::xsd_date) {
    const auto v = parse_xsd_date(lexical);
    if (!v) return std::nullopt;
    return intern_exists(property, encode_date_range_key(DateInterval{*v, *v, true, true}), vocabulary, pool);
  }
  if (datatype == datatype_iri::xsd_date_time) {
    const auto v = parse_xsd_date_time(lexical);
    if (!v) return std::nullopt;
    return intern_exists(property, encode_date_time_range_key(DateTimeInterval{*v, *v, true, true}), vocabulary,
                         pool);
  }
  if (datatype == datatype_iri::xsd_string)
    return intern_dkey_exists_str(StringSet{std::string(lexical)}, property, vocabulary, pool);
  return std::nullopt;
}

ConceptId intern_dkey_exists_int(const IntInterval& interval, std::string_view property, Vocabulary& vocabulary,
                                 ConceptPool& pool) {
  // The role is interned before the key class, as for every key concept.
  const Role role = Role::named(vocabulary.roles.intern(property));
  const ClassId cls = vocabulary.classes.intern(encode_int_interval_key(interval));
  return pool.intern(Some{pool.intern(Atomic{cls}), role});
}

ConceptId intern_dkey_exists_str(const std::optional<StringSet>& strings, std::string_view property,
                                 Vocabulary& vocabulary, ConceptPool& pool) {
  const Role role = Role::named(vocabulary.roles.intern(property));
  const ClassId cls = vocabulary.classes.intern(encode_str_key(strings));
  return pool.intern(Some{pool.intern(Atomic{cls}), role});
}

ConceptId intern_dkey_exists_lang(const std::optional<LangStringSet>& pairs, std::string_view property,
                                  Vocabulary& vocabulary, ConceptPool& pool) {
  const Role role = Role::named(vocabulary.roles.intern(property));
  const ClassId cls = vocabulary.classes.intern(encode_lang_key(pairs));
  return pool.intern(Some{pool.intern(Atomic{cls}), role});
}

ConceptId intern_dkey_exists_range(std::string_view kind, const FloatInterval& interval, std::string_view property,
                                   Vocabulary& vocabulary, ConceptPool& pool) {
  const Role role = Role::named(vocabulary.roles.intern(property));
  const ClassId cls = vocabulary.classes.intern(encode_bounded_range_key(kind, interval));
  return pool.intern(Some{pool.intern(Atomic{cls}), role});
}

namespace {

bool accepts(CountedRange kind, const owl::DataRange& range) {
  switch (kind) {
    case CountedRange::Strings: return string_set_of(range).has_value();
    case CountedRange::FloatOrDouble: return float_range_of(range) || double_range_of(range);
    case CountedRange::Decimal: return decimal_range_of(range).has_value();
    case CountedRange::Date: return date_range_of(range).has_value();
    case CountedRange::DateTime: return date_time_range_of(range).has_value();
    case CountedRange::IntSet: return int_set_of(range).has_value();
    case CountedRange::FloatOrDoubleSet: return float_set_of(range) || double_set_of(range);
    case CountedRange::DecimalSet: return decimal_set_of(range).has_value();
    case CountedRange::DateSet: return date_set_of(range).has_value();
    case CountedRange::DateTimeSet: return date_time_set_of(range).has_value();
    case CountedRange::Literal: return data_properties_enabled() && is_datatype(range, datatype_iri::rdfs_literal);
  }
  return false;
}

ConceptId counted(std::uint32_t n, Role role, ConceptId filler, ConceptPool& pool, bool at_least, bool at_most) {
  invariant(at_least || at_most, "at least one of min/max requested");
  if (!at_least) return pool.intern(Max{n, filler, role});
  const ConceptId lower = n == 0 ? pool.intern(Top{}) : pool.intern(Min{n, filler, role});
  if (!at_most) return lower;
  const ConceptId upper = pool.intern(Max{n, filler, role});
  return pool.mk_and_pair(lower, upper);
}

}  // namespace

UnsupportedOr<ConceptId> encode_data_cardinality(CountedRange kind, std::uint32_t n, std::string_view property,
                                                 const owl::DataRange& range, Vocabulary& vocabulary,
                                                 ConceptPool& pool, bool at_least, bool at_most) {
  if (!accepts(kind, range)) return std::unexpected(Unsupported(UnsupportedDataRange{}));
  if (kind == CountedRange::Literal) {
    // Every value counts: the filler is Top and no key class is made.
    const Role role = Role::named(vocabulary.roles.intern(property));
    return counted(n, role, pool.intern(Top{}), pool, at_least, at_most);
  }
  auto key = data_range_concept(property, range, vocabulary, pool);
  if (!key) return std::unexpected(key.error());
  return counted(n, key->role, key->key, pool, at_least, at_most);
}

UnsupportedOr<ConceptId> encode_data_restriction(std::uint32_t n, std::string_view property,
                                                 const owl::DataRange& range, Vocabulary& vocabulary,
                                                 ConceptPool& pool, bool at_least, bool at_most) {
  for (CountedRange kind : kCountedRanges) {
    auto concept_id = encode_data_cardinality(kind, n, property, range, vocabulary, pool, at_least, at_most);
    if (concept_id) return concept_id;
  }
  return std::unexpected(Unsupported(UnsupportedDataRange{}));
}

}  // namespace kelmon
