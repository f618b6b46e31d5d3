#pragma once
// The OWL 2 structural model: entities, literals, property expressions, data ranges,
// class expressions, annotations and axioms. Nested parts (class expressions, data
// ranges, annotation sets) are shared immutable nodes, so copying an axiom is cheap
// and freeing a deeply nested one never recurses on the C stack.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "owl/iri.h"
#include "owl/node_ref.h"

namespace kelmon::owl {

// Node ids and language tags repeat across a document, so they are stored as the
// model's shared strings too.
using InternedString = Iri;

// ---- Entities -------------------------------------------------------------------
struct Class {
  Iri iri;
  friend bool operator==(const Class&, const Class&) = default;
};
struct Datatype {
  Iri iri;
  friend bool operator==(const Datatype&, const Datatype&) = default;
};
struct ObjectProperty {
  Iri iri;
  friend bool operator==(const ObjectProperty&, const ObjectProperty&) = default;
};
struct DataProperty {
  Iri iri;
  friend bool operator==(const DataProperty&, const DataProperty&) = default;
};
struct AnnotationProperty {
  Iri iri;
  friend bool operator==(const AnnotationProperty&, const AnnotationProperty&) = default;
};
struct NamedIndividual {
  Iri iri;
  friend bool operator==(const NamedIndividual&, const NamedIndividual&) = default;
};

// ---- Individuals ----------------------------------------------------------------
// The node id is kept without the "_:" of the documents.
struct AnonymousIndividual {
  InternedString node_id;
  friend bool operator==(const AnonymousIndividual&, const AnonymousIndividual&) = default;
};
using Individual = std::variant<NamedIndividual, AnonymousIndividual>;

// ---- Literals -------------------------------------------------------------------
enum class LiteralForm : uint8_t { Plain, LanguageTagged, Typed };

// "abc" (plain), "abc"@en (language-tagged) and "abc"^^xsd:string (typed) are three
// distinct literals of the model.
struct Literal {
  LiteralForm form = LiteralForm::Plain;
  std::string lexical;
  InternedString language;  // LanguageTagged only
  Datatype datatype;        // Typed only

  static Literal plain(std::string lexical) {
    return Literal{LiteralForm::Plain, std::move(lexical), {}, {}};
  }
  static Literal language_tagged(std::string lexical, InternedString language) {
    return Literal{LiteralForm::LanguageTagged, std::move(lexical), std::move(language), {}};
  }
  static Literal language_tagged(std::string lexical, std::string_view language) {
    return language_tagged(std::move(lexical), InternedString(language));
  }
  static Literal typed(std::string lexical, Datatype datatype) {
    return Literal{LiteralForm::Typed, std::move(lexical), {}, std::move(datatype)};
  }
  friend bool operator==(const Literal&, const Literal&) = default;
};

// ---- Object property expressions ------------------------------------------------
struct ObjectInverseOf {
  ObjectProperty property;
  friend bool operator==(const ObjectInverseOf&, const ObjectInverseOf&) = default;
};
using ObjectPropertyExpression = std::variant<ObjectProperty, ObjectInverseOf>;

inline const ObjectProperty& named_property(const ObjectPropertyExpression& p) {
  if (auto* inv = std::get_if<ObjectInverseOf>(&p)) return inv->property;
  return std::get<ObjectProperty>(p);
}
inline bool is_inverse(const ObjectPropertyExpression& p) {
  return std::holds_alternative<ObjectInverseOf>(p);
}

struct ObjectPropertyChain { std::vector<ObjectPropertyExpression> properties; };
using SubObjectPropertyExpression = std::variant<ObjectPropertyExpression, ObjectPropertyChain>;

// ---- Data ranges ----------------------------------------------------------------
// In the order in which Manchester syntax lists the facet symbols.
enum class Facet : uint8_t {
  Length, MinLength, MaxLength, Pattern, MinInclusive, MinExclusive, MaxInclusive,
  MaxExclusive, TotalDigits, FractionDigits, LangRange,
};

struct FacetRestriction {
  Facet facet;
  Literal value;
};

struct DataRangeNode;
// A shared immutable data range; converts implicitly from any of its kinds.
class DataRange {
 public:
  DataRange() = default;
  template <class Kind>
    requires(!std::is_same_v<std::remove_cvref_t<Kind>, DataRange>)
  DataRange(Kind&& kind);  // NOLINT: implicit from each kind
  const auto& data() const;
  size_t kind() const;
  const DataRangeNode* node() const noexcept { return ref_.get(); }
  explicit operator bool() const noexcept { return bool(ref_); }

 private:
  NodeRef<DataRangeNode> ref_;
};

struct DataIntersectionOf { std::vector<DataRange> operands; };
struct DataUnionOf { std::vector<DataRange> operands; };
struct DataComplementOf { DataRange operand; };
struct DataOneOf { std::vector<Literal> literals; };
struct DatatypeRestriction {
  Datatype datatype;
  std::vector<FacetRestriction> restrictions;
};

using DataRangeData = std::variant<Datatype, DataIntersectionOf, DataUnionOf, DataComplementOf,
                                   DataOneOf, DatatypeRestriction>;
enum class DataRangeKind : uint8_t {
  Datatype, DataIntersectionOf, DataUnionOf, DataComplementOf, DataOneOf, DatatypeRestriction,
};

struct DataRangeNode : NodeBase {
  explicit DataRangeNode(DataRangeData d) : data(std::move(d)) {}
  DataRangeData data;
};

template <class Kind>
  requires(!std::is_same_v<std::remove_cvref_t<Kind>, DataRange>)
DataRange::DataRange(Kind&& kind)
    : ref_(new DataRangeNode(DataRangeData(std::forward<Kind>(kind)))) {}
inline const auto& DataRange::data() const { return ref_->data; }
inline size_t DataRange::kind() const { return ref_->data.index(); }

// ---- Class expressions ----------------------------------------------------------
struct ClassExpressionNode;
// A shared immutable class expression; converts implicitly from any of its 18 kinds.
class ClassExpression {
 public:
  ClassExpression() = default;
  template <class Kind>
    requires(!std::is_same_v<std::remove_cvref_t<Kind>, ClassExpression>)
  ClassExpression(Kind&& kind);  // NOLINT: implicit from each kind
  const auto& data() const;
  size_t kind() const;
  const ClassExpressionNode* node() const noexcept { return ref_.get(); }
  explicit operator bool() const noexcept { return bool(ref_); }

 private:
  NodeRef<ClassExpressionNode> ref_;
};

struct ObjectIntersectionOf { std::vector<ClassExpression> operands; };
struct ObjectUnionOf { std::vector<ClassExpression> operands; };
struct ObjectComplementOf { ClassExpression operand; };
struct ObjectOneOf { std::vector<Individual> individuals; };
struct ObjectSomeValuesFrom { ObjectPropertyExpression property; ClassExpression filler; };
struct ObjectAllValuesFrom { ObjectPropertyExpression property; ClassExpression filler; };
struct ObjectHasValue { ObjectPropertyExpression property; Individual individual; };
struct ObjectHasSelf { ObjectPropertyExpression property; };
// An unqualified cardinality is read with the filler owl:Thing (rdfs:Literal for data).
struct ObjectMinCardinality { uint32_t cardinality; ObjectPropertyExpression property; ClassExpression filler; };
struct ObjectMaxCardinality { uint32_t cardinality; ObjectPropertyExpression property; ClassExpression filler; };
struct ObjectExactCardinality { uint32_t cardinality; ObjectPropertyExpression property; ClassExpression filler; };
struct DataSomeValuesFrom { DataProperty property; DataRange filler; };
struct DataAllValuesFrom { DataProperty property; DataRange filler; };
struct DataHasValue { DataProperty property; Literal value; };
struct DataMinCardinality { uint32_t cardinality; DataProperty property; DataRange filler; };
struct DataMaxCardinality { uint32_t cardinality; DataProperty property; DataRange filler; };
struct DataExactCardinality { uint32_t cardinality; DataProperty property; DataRange filler; };

using ClassExpressionData = std::variant<
    Class, ObjectIntersectionOf, ObjectUnionOf, ObjectComplementOf, ObjectOneOf,
    ObjectSomeValuesFrom, ObjectAllValuesFrom, ObjectHasValue, ObjectHasSelf,
    ObjectMinCardinality, ObjectMaxCardinality, ObjectExactCardinality, DataSomeValuesFrom,
    DataAllValuesFrom, DataHasValue, DataMinCardinality, DataMaxCardinality, DataExactCardinality>;

enum class ClassExpressionKind : uint8_t {
  Class, ObjectIntersectionOf, ObjectUnionOf, ObjectComplementOf, ObjectOneOf,
  ObjectSomeValuesFrom, ObjectAllValuesFrom, ObjectHasValue, ObjectHasSelf,
  ObjectMinCardinality, ObjectMaxCardinality, ObjectExactCardinality, DataSomeValuesFrom,
  DataAllValuesFrom, DataHasValue, DataMinCardinality, DataMaxCardinality, DataExactCardinality,
};

struct ClassExpressionNode : NodeBase {
  explicit ClassExpressionNode(ClassExpressionData d) : data(std::move(d)) {}
  ClassExpressionData data;
};

template <class Kind>
  requires(!std::is_same_v<std::remove_cvref_t<Kind>, ClassExpression>)
ClassExpression::ClassExpression(Kind&& kind)
    : ref_(new ClassExpressionNode(ClassExpressionData(std::forward<Kind>(kind)))) {}
inline const auto& ClassExpression::data() const { return ref_->data; }
inline size_t ClassExpression::kind() const { return ref_->data.index(); }

inline ClassExpressionKind kind_of(const ClassExpression& c) {
  return static_cast<ClassExpressionKind>(c.kind());
}
inline DataRangeKind kind_of(const DataRange& d) { return static_cast<DataRangeKind>(d.kind()); }

// ---- Annotations ----------------------------------------------------------------
using AnnotationSubject = std::variant<Iri, AnonymousIndividual>;
using AnnotationValue = std::variant<Iri, AnonymousIndividual, Literal>;

struct Annotation;
struct AnnotationSetNode;

// A set of annotations: sorted by the structural order and free of duplicates, so
// equal sets hold equal sequences. Build it with `AnnotationSet::from`.
class AnnotationSet {
 public:
  AnnotationSet() = default;
  static AnnotationSet from(std::vector<Annotation> annotations);
  const Annotation* begin() const;
  const Annotation* end() const;
  size_t size() const;
  bool empty() const { return size() == 0; }

 private:
  NodeRef<AnnotationSetNode> ref_;
};

struct Annotation {
  AnnotationProperty property;
  AnnotationValue value;
  AnnotationSet annotations;  // annotations of this annotation
};

struct AnnotationSetNode : NodeBase {
  std::vector<Annotation> items;
};

inline const Annotation* AnnotationSet::begin() const {
  return ref_ ? ref_->items.data() : nullptr;
}
inline const Annotation* AnnotationSet::end() const {
  return ref_ ? ref_->items.data() + ref_->items.size() : nullptr;
}
inline size_t AnnotationSet::size() const { return ref_ ? ref_->items.size() : 0; }

// ---- DL-safe rules ----------------------------------------------------------------
struct Variable {
  Iri iri;
  friend bool operator==(const Variable&, const Variable&) = default;
};
using IndividualArgument = std::variant<Individual, Variable>;
using DataArgument = std::variant<Literal, Variable>;

struct ClassAtom { ClassExpression class_expression; IndividualArgument argument; };
struct DataRangeAtom { DataRange data_range; DataArgument argument; };
struct ObjectPropertyAtom { ObjectPropertyExpression property; IndividualArgument first; IndividualArgument second; };
struct DataPropertyAtom { DataProperty property; IndividualArgument first; DataArgument second; };
struct BuiltInAtom { Iri predicate; std::vector<DataArgument> arguments; };
struct SameIndividualAtom { IndividualArgument first; IndividualArgument second; };
struct DifferentIndividualsAtom { IndividualArgument first; IndividualArgument second; };
using Atom = std::variant<ClassAtom, DataRangeAtom, ObjectPropertyAtom, DataPropertyAtom,
                          BuiltInAtom, SameIndividualAtom, DifferentIndividualsAtom>;

// ---- Axioms and ontology-level components ---------------------------------------
// The ontology's own IRI and version IRI (both optional).
struct OntologyHeader { Iri ontology_iri; Iri version_iri; };
struct OntologyAnnotation { Annotation annotation; };
// Imports are recorded and never fetched.
struct Import { Iri iri; };

struct DeclareClass { Class entity; };
struct DeclareObjectProperty { ObjectProperty entity; };
struct DeclareAnnotationProperty { AnnotationProperty entity; };
struct DeclareDataProperty { DataProperty entity; };
struct DeclareNamedIndividual { NamedIndividual entity; };
struct DeclareDatatype { Datatype entity; };

struct SubClassOf { ClassExpression sub; ClassExpression sup; };
struct EquivalentClasses { std::vector<ClassExpression> members; };
struct DisjointClasses { std::vector<ClassExpression> members; };
struct DisjointUnion { Class cls; std::vector<ClassExpression> members; };
struct SubObjectPropertyOf { SubObjectPropertyExpression sub; ObjectPropertyExpression sup; };
struct EquivalentObjectProperties { std::vector<ObjectPropertyExpression> members; };
struct DisjointObjectProperties { std::vector<ObjectPropertyExpression> members; };
struct InverseObjectProperties { ObjectPropertyExpression first; ObjectPropertyExpression second; };
struct ObjectPropertyDomain { ObjectPropertyExpression property; ClassExpression domain; };
struct ObjectPropertyRange { ObjectPropertyExpression property; ClassExpression range; };
struct FunctionalObjectProperty { ObjectPropertyExpression property; };
struct InverseFunctionalObjectProperty { ObjectPropertyExpression property; };
struct ReflexiveObjectProperty { ObjectPropertyExpression property; };
struct IrreflexiveObjectProperty { ObjectPropertyExpression property; };
struct SymmetricObjectProperty { ObjectPropertyExpression property; };
struct AsymmetricObjectProperty { ObjectPropertyExpression property; };
struct TransitiveObjectProperty { ObjectPropertyExpression property; };
struct SubDataPropertyOf { DataProperty sub; DataProperty sup; };
struct EquivalentDataProperties { std::vector<DataProperty> members; };
struct DisjointDataProperties { std::vector<DataProperty> members; };
struct DataPropertyDomain { DataProperty property; ClassExpression domain; };
struct DataPropertyRange { DataProperty property; DataRange range; };
struct FunctionalDataProperty { DataProperty property; };
struct DatatypeDefinition { Datatype datatype; DataRange range; };
struct HasKey {
  ClassExpression class_expression;
  std::vector<ObjectPropertyExpression> object_properties;
  std::vector<DataProperty> data_properties;
};
struct SameIndividual { std::vector<Individual> members; };
struct DifferentIndividuals { std::vector<Individual> members; };
struct ClassAssertion { ClassExpression class_expression; Individual individual; };
struct ObjectPropertyAssertion { ObjectPropertyExpression property; Individual subject; Individual object; };
struct NegativeObjectPropertyAssertion { ObjectPropertyExpression property; Individual subject; Individual object; };
struct DataPropertyAssertion { DataProperty property; Individual subject; Literal value; };
struct NegativeDataPropertyAssertion { DataProperty property; Individual subject; Literal value; };
struct AnnotationAssertion { AnnotationProperty property; AnnotationSubject subject; AnnotationValue value; };
struct SubAnnotationPropertyOf { AnnotationProperty sub; AnnotationProperty sup; };
struct AnnotationPropertyDomain { AnnotationProperty property; Iri domain; };
struct AnnotationPropertyRange { AnnotationProperty property; Iri range; };
struct Rule { std::vector<Atom> body; std::vector<Atom> head; };

// Every component of an ontology, in the kind order of the structural order.
using Axiom = std::variant<
    OntologyHeader, OntologyAnnotation, Import,
    DeclareClass, DeclareObjectProperty, DeclareAnnotationProperty, DeclareDataProperty,
    DeclareNamedIndividual, DeclareDatatype,
    SubClassOf, EquivalentClasses, DisjointClasses, DisjointUnion, SubObjectPropertyOf,
    EquivalentObjectProperties, DisjointObjectProperties, InverseObjectProperties,
    ObjectPropertyDomain, ObjectPropertyRange, FunctionalObjectProperty,
    InverseFunctionalObjectProperty, ReflexiveObjectProperty, IrreflexiveObjectProperty,
    SymmetricObjectProperty, AsymmetricObjectProperty, TransitiveObjectProperty,
    SubDataPropertyOf, EquivalentDataProperties, DisjointDataProperties, DataPropertyDomain,
    DataPropertyRange, FunctionalDataProperty, DatatypeDefinition, HasKey, SameIndividual,
    DifferentIndividuals, ClassAssertion, ObjectPropertyAssertion,
    NegativeObjectPropertyAssertion, DataPropertyAssertion, NegativeDataPropertyAssertion,
    AnnotationAssertion, SubAnnotationPropertyOf, AnnotationPropertyDomain,
    AnnotationPropertyRange, Rule>;

enum class AxiomKind : uint8_t {
  OntologyHeader, OntologyAnnotation, Import,
  DeclareClass, DeclareObjectProperty, DeclareAnnotationProperty, DeclareDataProperty,
  DeclareNamedIndividual, DeclareDatatype,
  SubClassOf, EquivalentClasses, DisjointClasses, DisjointUnion, SubObjectPropertyOf,
  EquivalentObjectProperties, DisjointObjectProperties, InverseObjectProperties,
  ObjectPropertyDomain, ObjectPropertyRange, FunctionalObjectProperty,
  InverseFunctionalObjectProperty, ReflexiveObjectProperty, IrreflexiveObjectProperty,
  SymmetricObjectProperty, AsymmetricObjectProperty, TransitiveObjectProperty,
  SubDataPropertyOf, EquivalentDataProperties, DisjointDataProperties, DataPropertyDomain,
  DataPropertyRange, FunctionalDataProperty, DatatypeDefinition, HasKey, SameIndividual,
  DifferentIndividuals, ClassAssertion, ObjectPropertyAssertion,
  NegativeObjectPropertyAssertion, DataPropertyAssertion, NegativeDataPropertyAssertion,
  AnnotationAssertion, SubAnnotationPropertyOf, AnnotationPropertyDomain,
  AnnotationPropertyRange, Rule,
};

inline AxiomKind kind_of(const Axiom& a) { return static_cast<AxiomKind>(a.index()); }

// True for the ontology header, ontology annotations and imports.
inline bool is_ontology_level(const Axiom& a) { return a.index() <= 2; }
inline bool is_declaration(const Axiom& a) { return a.index() >= 3 && a.index() <= 8; }

struct AnnotatedAxiom {
  Axiom axiom;
  AnnotationSet annotations;
};

// The same axiom with an empty annotation set.
inline AnnotatedAxiom without_annotations(const AnnotatedAxiom& a) { return AnnotatedAxiom{a.axiom, {}}; }

}  // namespace kelmon::owl
