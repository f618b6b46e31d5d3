#include "core/convert/data_restrictions.h"

#include "core/data/dkey_encode.h"
#include "core/data/range_readers.h"
#include "core/dkeys/key_concepts.h"

namespace kelmon {

namespace {

std::unexpected<Unsupported> unsupported() { return std::unexpected(Unsupported(UnsupportedDataRange{})); }

template <class Kind>
const Kind* as(const owl::DataRange& range) {
  return range ? std::get_if<Kind>(&range.data()) : nullptr;
}

// The key of a computed data intersection: the property first, then the key class.
KeyConcept value_range_key(std::string_view property, const ValueRange& range, InternalOntology& onto) {
  const Role role = Role::named(onto.vocabulary.roles.intern(property));
  const ClassId cls = onto.vocabulary.classes.intern(encode_value_range_key(range));
  return {role, onto.concepts.intern(Atomic{cls})};
}

}  // namespace

UnsupportedOr<ConceptId> convert_data_some(const owl::DataSomeValuesFrom& e, InternalOntology& onto) {
  const std::string_view p = e.property.iri.str();
  ConceptPool& pool = onto.concepts;
  if (data_properties_enabled()) {
    const RangeOutcome outcome = data_range_value_range(e.filler);
    if (std::holds_alternative<RangeOutcome::Empty>(outcome.outcome)) return pool.intern(Bottom{});
    if (const auto* r = std::get_if<RangeOutcome::Range>(&outcome.outcome)) {
      const KeyConcept k = value_range_key(p, r->range, onto);
      return pool.intern(Some{k.key, k.role});
    }
  }
  if (const auto* u = as<owl::DataUnionOf>(e.filler); u && data_properties_enabled()) {
    std::vector<ConceptId> members;
    for (const owl::DataRange& member : u->operands) {
      auto k = data_range_concept(p, member, onto.vocabulary, pool);
      if (!k) return std::unexpected(k.error());
      members.push_back(pool.intern(Some{k->key, k->role}));
    }
    return pool.mk_or(std::move(members));
  }
  if (const auto* c = as<owl::DataComplementOf>(e.filler); c && data_properties_enabled()) {
    auto k = data_range_concept(p, c->operand, onto.vocabulary, pool);
    if (!k) return std::unexpected(k.error());
    const ConceptId negated = pool.intern(Not{k->key});
    return pool.intern(Some{negated, k->role});
  }
  auto k = data_range_concept(p, e.filler, onto.vocabulary, pool);
  if (!k) return std::unexpected(k.error());
  return pool.intern(Some{k->key, k->role});
}

UnsupportedOr<ConceptId> convert_data_all(const owl::DataAllValuesFrom& e, InternalOntology& onto) {
  const std::string_view p = e.property.iri.str();
  ConceptPool& pool = onto.concepts;
  if (data_properties_enabled()) {
    const RangeOutcome outcome = data_range_value_range(e.filler);
    if (std::holds_alternative<RangeOutcome::Empty>(outcome.outcome)) return unsupported();
    if (const auto* r = std::get_if<RangeOutcome::Range>(&outcome.outcome)) {
      const KeyConcept k = value_range_key(p, r->range, onto);
      return pool.intern(All{k.key, k.role});
    }
  }
  if (const auto* c = as<owl::DataComplementOf>(e.filler); c && data_properties_enabled()) {
    auto k = data_range_concept(p, c->operand, onto.vocabulary, pool);
    if (!k) return std::unexpected(k.error());
    const ConceptId negated = pool.intern(Not{k->key});
    return pool.intern(All{negated, k->role});
  }
  auto k = data_range_concept(p, e.filler, onto.vocabulary, pool);
  if (!k) return std::unexpected(k.error());
  return pool.intern(All{k->key, k->role});
}

UnsupportedOr<ConceptId> convert_data_has_value(const owl::DataHasValue& e, InternalOntology& onto) {
  auto c = data_value_concept(e.property.iri.str(), e.value, onto.vocabulary, onto.concepts);
  if (!c) return unsupported();
  return *c;
}

UnsupportedOr<ConceptId> convert_data_cardinality(std::uint32_t n, const owl::DataProperty& property,
                                                  const owl::DataRange& range, CardinalityMode mode,
                                                  InternalOntology& onto) {
  const std::string_view p = property.iri.str();
  ConceptPool& pool = onto.concepts;
  const owl::DataRange counted = collect_enumeration_literals(range).value_or(range);
  const bool at_least = mode != CardinalityMode::AtMost;
  const bool at_most = mode != CardinalityMode::AtLeast;
  if (int_range_of(counted)) {
    auto k = data_range_concept(p, counted, onto.vocabulary, pool);
    if (!k) return std::unexpected(k.error());
    if (!at_most) return pool.mk_min(n, k->role, k->key);
    if (!at_least) return pool.intern(Max{n, k->key, k->role});
    const ConceptId lower = pool.mk_min(n, k->role, k->key);
    return pool.mk_and_pair(lower, pool.intern(Max{n, k->key, k->role}));
  }
  return encode_data_restriction(n, p, counted, onto.vocabulary, pool, at_least, at_most);
}

}  // namespace kelmon
