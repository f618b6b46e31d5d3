#pragma once
// The elements of the OWL 2 XML serialization, by local name in the OWL namespace.
#include <cstdint>
#include <optional>
#include <string_view>

namespace kelmon::owl::internal {

#define KELMON_OWX_ELEMENTS(X)                                                              \
  X(Ontology) X(Prefix) X(Import) X(Annotation) X(Declaration)                              \
  /* entities, individuals, literals and IRIs */                                            \
  X(Class) X(Datatype) X(ObjectProperty) X(DataProperty) X(AnnotationProperty)              \
  X(NamedIndividual) X(AnonymousIndividual) X(Literal) X(IRI) X(AbbreviatedIRI)             \
  X(ObjectInverseOf) X(ObjectPropertyChain) X(FacetRestriction)                             \
  /* class expressions */                                                                   \
  X(ObjectIntersectionOf) X(ObjectUnionOf) X(ObjectComplementOf) X(ObjectOneOf)             \
  X(ObjectSomeValuesFrom) X(ObjectAllValuesFrom) X(ObjectHasValue) X(ObjectHasSelf)         \
  X(ObjectMinCardinality) X(ObjectMaxCardinality) X(ObjectExactCardinality)                 \
  X(DataSomeValuesFrom) X(DataAllValuesFrom) X(DataHasValue) X(DataMinCardinality)          \
  X(DataMaxCardinality) X(DataExactCardinality)                                             \
  /* data ranges */                                                                         \
  X(DataIntersectionOf) X(DataUnionOf) X(DataComplementOf) X(DataOneOf)                     \
  X(DatatypeRestriction)                                                                    \
  /* axioms */                                                                              \
  X(SubClassOf) X(EquivalentClasses) X(DisjointClasses) X(DisjointUnion)                    \
  X(SubObjectPropertyOf) X(EquivalentObjectProperties) X(DisjointObjectProperties)          \
  X(InverseObjectProperties) X(ObjectPropertyDomain) X(ObjectPropertyRange)                 \
  X(FunctionalObjectProperty) X(InverseFunctionalObjectProperty)                            \
  X(ReflexiveObjectProperty) X(IrreflexiveObjectProperty) X(SymmetricObjectProperty)        \
  X(AsymmetricObjectProperty) X(TransitiveObjectProperty) X(SubDataPropertyOf)              \
  X(EquivalentDataProperties) X(DisjointDataProperties) X(DataPropertyDomain)               \
  X(DataPropertyRange) X(FunctionalDataProperty) X(DatatypeDefinition) X(HasKey)            \
  X(SameIndividual) X(DifferentIndividuals) X(ClassAssertion) X(ObjectPropertyAssertion)    \
  X(NegativeObjectPropertyAssertion) X(DataPropertyAssertion)                               \
  X(NegativeDataPropertyAssertion) X(AnnotationAssertion) X(SubAnnotationPropertyOf)        \
  X(AnnotationPropertyDomain) X(AnnotationPropertyRange) X(DLSafeRule)                      \
  /* rules */                                                                               \
  X(Body) X(Head) X(Variable) X(ClassAtom) X(DataRangeAtom) X(ObjectPropertyAtom)           \
  X(DataPropertyAtom) X(BuiltInAtom) X(SameIndividualAtom) X(DifferentIndividualsAtom)

enum class OwxElement : uint8_t {
#define KELMON_OWX_ENUM(name) name,
  KELMON_OWX_ELEMENTS(KELMON_OWX_ENUM)
#undef KELMON_OWX_ENUM
};

std::optional<OwxElement> owx_element(std::string_view local_name);
std::string_view owx_name(OwxElement e);

// Axioms appear only as children of <Ontology>.
inline bool is_owx_axiom(OwxElement e) {
  return e == OwxElement::Declaration ||
         (e >= OwxElement::SubClassOf && e <= OwxElement::DLSafeRule);
}
// Elements whose content is text, never child elements.
inline bool is_owx_text_element(OwxElement e) {
  return e == OwxElement::Literal || e == OwxElement::IRI || e == OwxElement::AbbreviatedIRI ||
         e == OwxElement::Import;
}
// Elements with neither child elements nor text.
inline bool is_owx_empty_element(OwxElement e) {
  return (e >= OwxElement::Class && e <= OwxElement::AnonymousIndividual) ||
         e == OwxElement::Prefix || e == OwxElement::Variable;
}

}  // namespace kelmon::owl::internal
