#include "core/convert/data_axioms.h"

#include "core/data/dkey_encode.h"
#include "core/data/range_readers.h"
#include "core/dkeys/key_concepts.h"

namespace kelmon {

UnsupportedOr<Axiom> convert_data_property_range(const owl::DataPropertyRange& axiom, InternalOntology& onto) {
  const std::string_view p = axiom.property.iri.str();
  const RangeOutcome outcome = data_range_value_range(axiom.range);
  if (std::holds_alternative<RangeOutcome::Empty>(outcome.outcome))
    return std::unexpected(Unsupported(UnsupportedDataRange{}));
  if (const auto* r = std::get_if<RangeOutcome::Range>(&outcome.outcome)) {
    const Role role = Role::named(onto.vocabulary.roles.intern(p));
    const ClassId cls = onto.vocabulary.classes.intern(encode_value_range_key(r->range));
    return ObjectPropertyRange{role, onto.concepts.intern(Atomic{cls})};
  }
  const auto* complement = axiom.range ? std::get_if<owl::DataComplementOf>(&axiom.range.data()) : nullptr;
  auto k = data_range_concept(p, complement ? complement->operand : axiom.range, onto.vocabulary, onto.concepts);
  if (!k) return std::unexpected(k.error());
  if (complement) return ObjectPropertyRange{k->role, onto.concepts.intern(Not{k->key})};
  return ObjectPropertyRange{k->role, k->key};
}

UnsupportedOr<ConceptId> data_value_assertion_concept(const owl::DataProperty& property, const owl::Literal& value,
                                                      InternalOntology& onto, bool negated) {
  auto k = data_value_concept(property.iri.str(), value, onto.vocabulary, onto.concepts);
  if (!k) return std::unexpected(Unsupported(UnsupportedDataRange{}));
  if (negated) return onto.concepts.intern(Not{*k});
  return *k;
}

}  // namespace kelmon
