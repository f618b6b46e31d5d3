// The reverse mapping works in passes over the subject-indexed graph: typing triples
// give the entity kinds and declarations; every other triple is read as the main
// triple of at most one axiom; reification nodes (owl:Axiom) give annotated copies of
// those axioms, which replace the plain ones; the blank nodes of multi-triple axioms
// (owl:AllDisjointClasses, owl:AllDifferent, owl:AllDisjointProperties,
// owl:NegativePropertyAssertion) give their axioms with the node's own annotations.
// Blank-node class expressions, data ranges and annotation sets are built bottom-up
// with an explicit stack and memoised, so neither deep nesting nor cycles can exhaust
// the stack or loop.
#include "owl/internal/rdf_mapping.h"

#include <array>
#include <charconv>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include <tsl/robin_map.h>

#include "owl/facet.h"
#include "owl/structural.h"
#include "owl/vocabulary.h"

namespace kelmon::owl::rdf {

namespace {

// ---- Vocabulary ------------------------------------------------------------------
enum class V : uint8_t {
  RdfType, RdfFirst, RdfRest, RdfNil, RdfList, RdfProperty,
  RdfsSubClassOf, RdfsSubPropertyOf, RdfsDomain, RdfsRange, RdfsDatatype, RdfsClass,
  RdfsLiteral,
  OwlOntology, OwlImports, OwlVersionIri, OwlClass, OwlRestriction, OwlObjectProperty,
  OwlDatatypeProperty, OwlAnnotationProperty, OwlOntologyProperty, OwlNamedIndividual,
  OwlDataRange, OwlDeprecatedClass, OwlDeprecatedProperty, OwlDeprecated, OwlThing,
  OwlNothing, OwlTopObjectProperty, OwlBottomObjectProperty, OwlTopDataProperty,
  OwlBottomDataProperty,
  OwlIntersectionOf, OwlUnionOf, OwlComplementOf, OwlOneOf, OwlDatatypeComplementOf,
  OwlOnDatatype, OwlWithRestrictions, OwlOnProperty, OwlOnProperties, OwlSomeValuesFrom,
  OwlAllValuesFrom, OwlHasValue, OwlHasSelf, OwlMinCardinality, OwlMaxCardinality,
  OwlCardinality, OwlMinQualifiedCardinality, OwlMaxQualifiedCardinality,
  OwlQualifiedCardinality, OwlOnClass, OwlOnDataRange, OwlInverseOf,
  OwlEquivalentClass, OwlDisjointWith, OwlDisjointUnionOf, OwlAllDisjointClasses,
  OwlMembers, OwlDistinctMembers, OwlPropertyChainAxiom, OwlEquivalentProperty,
  OwlPropertyDisjointWith, OwlAllDisjointProperties, OwlHasKey, OwlSameAs,
  OwlDifferentFrom, OwlAllDifferent, OwlNegativePropertyAssertion, OwlSourceIndividual,
  OwlAssertionProperty, OwlTargetIndividual, OwlTargetValue, OwlFunctionalProperty,
  OwlInverseFunctionalProperty, OwlTransitiveProperty, OwlSymmetricProperty,
  OwlAsymmetricProperty, OwlReflexiveProperty, OwlIrreflexiveProperty, OwlAxiom,
  OwlAnnotation, OwlAnnotatedSource, OwlAnnotatedProperty, OwlAnnotatedTarget,
  XsdBoolean,
  Count,
};

#define KELMON_RDF "http://www.w3.org/1999/02/22-rdf-syntax-ns#"
#define KELMON_RDFS "http://www.w3.org/2000/01/rdf-schema#"
#define KELMON_OWL "http://www.w3.org/2002/07/owl#"
constexpr std::array<std::string_view, static_cast<size_t>(V::Count)> kVocab{
    KELMON_RDF "type", KELMON_RDF "first", KELMON_RDF "rest", KELMON_RDF "nil",
    KELMON_RDF "List", KELMON_RDF "Property",
    KELMON_RDFS "subClassOf", KELMON_RDFS "subPropertyOf", KELMON_RDFS "domain",
    KELMON_RDFS "range", KELMON_RDFS "Datatype", KELMON_RDFS "Class", KELMON_RDFS "Literal",
    KELMON_OWL "Ontology", KELMON_OWL "imports", KELMON_OWL "versionIRI", KELMON_OWL "Class",
    KELMON_OWL "Restriction", KELMON_OWL "ObjectProperty", KELMON_OWL "DatatypeProperty",
    KELMON_OWL "AnnotationProperty", KELMON_OWL "OntologyProperty",
    KELMON_OWL "NamedIndividual", KELMON_OWL "DataRange", KELMON_OWL "DeprecatedClass",
    KELMON_OWL "DeprecatedProperty", KELMON_OWL "deprecated", KELMON_OWL "Thing",
    KELMON_OWL "Nothing", KELMON_OWL "topObjectProperty", KELMON_OWL "bottomObjectProperty",
    KELMON_OWL "topDataProperty", KELMON_OWL "bottomDataProperty",
    KELMON_OWL "intersectionOf", KELMON_OWL "unionOf", KELMON_OWL "complementOf",
    KELMON_OWL "oneOf", KELMON_OWL "datatypeComplementOf", KELMON_OWL "onDatatype",
    KELMON_OWL "withRestrictions", KELMON_OWL "onProperty", KELMON_OWL "onProperties",
    KELMON_OWL "someValuesFrom", KELMON_OWL "allValuesFrom", KELMON_OWL "hasValue",
    KELMON_OWL "hasSelf", KELMON_OWL "minCardinality", KELMON_OWL "maxCardinality",
    KELMON_OWL "cardinality", KELMON_OWL "minQualifiedCardinality",
    KELMON_OWL "maxQualifiedCardinality", KELMON_OWL "qualifiedCardinality",
    KELMON_OWL "onClass", KELMON_OWL "onDataRange", KELMON_OWL "inverseOf",
    KELMON_OWL "equivalentClass", KELMON_OWL "disjointWith", KELMON_OWL "disjointUnionOf",
    KELMON_OWL "AllDisjointClasses", KELMON_OWL "members", KELMON_OWL "distinctMembers",
    KELMON_OWL "propertyChainAxiom", KELMON_OWL "equivalentProperty",
    KELMON_OWL "propertyDisjointWith", KELMON_OWL "AllDisjointProperties",
    KELMON_OWL "hasKey", KELMON_OWL "sameAs", KELMON_OWL "differentFrom",
    KELMON_OWL "AllDifferent", KELMON_OWL "NegativePropertyAssertion",
    KELMON_OWL "sourceIndividual", KELMON_OWL "assertionProperty",
    KELMON_OWL "targetIndividual", KELMON_OWL "targetValue", KELMON_OWL "FunctionalProperty",
    KELMON_OWL "InverseFunctionalProperty", KELMON_OWL "TransitiveProperty",
    KELMON_OWL "SymmetricProperty", KELMON_OWL "AsymmetricProperty",
    KELMON_OWL "ReflexiveProperty", KELMON_OWL "IrreflexiveProperty", KELMON_OWL "Axiom",
    KELMON_OWL "Annotation", KELMON_OWL "annotatedSource", KELMON_OWL "annotatedProperty",
    KELMON_OWL "annotatedTarget",
    "http://www.w3.org/2001/XMLSchema#boolean",
};

// Annotation properties every ontology has without declaring them.
constexpr std::array<std::string_view, 9> kBuiltInAnnotationProperties{
    KELMON_RDFS "label", KELMON_RDFS "comment", KELMON_RDFS "seeAlso",
    KELMON_RDFS "isDefinedBy", KELMON_OWL "deprecated", KELMON_OWL "versionInfo",
    KELMON_OWL "priorVersion", KELMON_OWL "backwardCompatibleWith",
    KELMON_OWL "incompatibleWith",
};
// Datatypes outside the XSD namespace that every ontology has.
constexpr std::array<std::string_view, 6> kBuiltInDatatypes{
    KELMON_RDFS "Literal", KELMON_RDF "PlainLiteral", KELMON_RDF "XMLLiteral",
    KELMON_RDF "langString", KELMON_OWL "real", KELMON_OWL "rational",
};
#undef KELMON_RDF
#undef KELMON_RDFS
#undef KELMON_OWL

// ---- Term flags ------------------------------------------------------------------
enum : uint16_t {
  kClassFlag = 1 << 0,
  kDatatypeFlag = 1 << 1,
  kObjectPropertyFlag = 1 << 2,
  kDataPropertyFlag = 1 << 3,
  kAnnotationPropertyFlag = 1 << 4,
  kIndividualFlag = 1 << 5,
  // A blank node that is part of the encoding (an expression, list, reification or
  // multi-triple axiom node), never an anonymous individual.
  kStructuralFlag = 1 << 6,
  // An IRI of the RDF, RDFS or OWL vocabulary.
  kReservedFlag = 1 << 7,
  kOntologyFlag = 1 << 8,
  kDataRangeNodeFlag = 1 << 9,  // a blank node typed rdfs:Datatype or owl:DataRange
  // How a predicate outside the reserved vocabulary is used: with literal objects, or
  // with IRI or blank-node objects.
  kUsedWithLiteralFlag = 1 << 10,
  kUsedWithNodeFlag = 1 << 11,
};

// What a memoised evaluation builds from a node.
enum class Want : uint8_t { Class, Range, Annotations };

struct Item {
  TermId node;
  Want want;
};

template <class T>
struct Memo {
  // nullopt: the node does not encode a T (or sits on a cycle).
  tsl::robin_map<uint32_t, std::optional<T>> done;
  const std::optional<T>* find(TermId t) const {
    auto it = done.find(t.v);
    return it == done.end() ? nullptr : &it->second;
  }
};

[[maybe_unused]] void set_node_id(std::string& out, IriTable&, std::string_view id) { out.assign(id); }
[[maybe_unused]] void set_node_id(Iri& out, IriTable& table, std::string_view id) { out = table.intern(id); }

bool is_xsd_or_builtin_datatype(std::string_view iri) {
  if (iri.starts_with(vocab::kXsd)) return true;
  for (auto d : kBuiltInDatatypes)
    if (iri == d) return true;
  return false;
}

std::optional<uint32_t> non_negative_int(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\n')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\n')) s.remove_suffix(1);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return std::nullopt;
  uint32_t v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

// Converts every node with fn; fails as soon as one node does not convert.
template <class T, class Fn>
bool convert_all(const std::vector<TermId>& nodes, std::vector<T>& out, Fn&& fn) {
  out.reserve(out.size() + nodes.size());
  for (TermId n : nodes) {
    auto v = fn(n);
    if (!v) return false;
    out.push_back(std::move(*v));
  }
  return true;
}

class Mapper {
 public:
  explicit Mapper(const Graph& g) : g_(g) {}

  std::expected<LoadedOntology, ParseError> run() {
    for (size_t i = 0; i < kVocab.size(); ++i) vocab_[i] = g_.find_iri(kVocab[i]);
    flags_.assign(g_.term_count(), 0);
    iris_.resize(g_.term_count());
    classify_terms();
    index_reifications();

    read_typing();
    read_main_triples();
    read_reified_axioms();
    read_multi_triple_axioms();
    read_ontology();
    if (too_deep_) {
      return std::unexpected(ParseError{
          0, 0, "nesting deeper than " + std::to_string(kMaxNestingDepth) + " levels"});
    }

    LoadedOntology out;
    std::vector<AnnotatedAxiom> all = std::move(annotated_);
    all.reserve(all.size() + plain_.size());
    for (auto& a : plain_) {
      // A reified axiom stands for its main triple: the plain reading is not kept.
      if (!reified_bare_.empty() && reified_bare_.contains(a)) continue;
      all.push_back(std::move(a));
    }
    plain_ = {};
    reified_bare_ = AxiomSet{};
    out.axioms.insert_all(std::move(all));
    return out;
  }

 private:
  // ---- Terms ---------------------------------------------------------------------
  TermId v(V which) const { return vocab_[static_cast<size_t>(which)]; }
  bool is(TermId t, V which) const { return !t.none() && t == v(which); }
  const Term& term(TermId t) const { return g_.term(t); }
  bool is_iri(TermId t) const { return term(t).kind == TermKind::Iri; }
  bool is_blank(TermId t) const { return term(t).kind == TermKind::Blank; }
  bool is_literal(TermId t) const { return term(t).kind == TermKind::Literal; }
  bool has(TermId t, uint16_t f) const { return (flags_[t.v] & f) != 0; }

  const Iri& iri(TermId t) {
    Iri& cached = iris_[t.v];
    if (cached.empty()) cached = table_.intern(term(t).text);
    return cached;
  }

  // The single object of (s, p, ?), or none when there is no such triple.
  TermId object(TermId s, V p) const {
    TermId want = v(p);
    if (want.none()) return {};
    for (const Triple& t : g_.about(s))
      if (t.p == want) return t.o;
    return {};
  }

  void classify_terms() {
    for (size_t i = 0; i < g_.term_count(); ++i) {
      const Term& t = g_.term(TermId{static_cast<uint32_t>(i)});
      if (t.kind != TermKind::Iri) continue;
      std::string_view s = t.text;
      if (s.starts_with(vocab::kOwl) || s.starts_with(vocab::kRdf) || s.starts_with(vocab::kRdfs))
        flags_[i] |= kReservedFlag;
      if (is_xsd_or_builtin_datatype(s)) flags_[i] |= kDatatypeFlag;
    }
    for (auto name : kBuiltInAnnotationProperties) {
      TermId t = g_.find_iri(name);
      if (!t.none()) flags_[t.v] |= kAnnotationPropertyFlag;
    }
    auto mark = [&](V which, uint16_t f) {
      if (!v(which).none()) flags_[v(which).v] |= f;
    };
    mark(V::OwlThing, kClassFlag);
    mark(V::OwlNothing, kClassFlag);
    mark(V::OwlTopObjectProperty, kObjectPropertyFlag);
    mark(V::OwlBottomObjectProperty, kObjectPropertyFlag);
    mark(V::OwlTopDataProperty, kDataPropertyFlag);
    mark(V::OwlBottomDataProperty, kDataPropertyFlag);

    // Blank nodes that carry the encoding's own predicates are structural.
    std::array<V, 19> structural_predicates{
        V::RdfFirst, V::RdfRest, V::OwlIntersectionOf, V::OwlUnionOf, V::OwlComplementOf,
        V::OwlOneOf, V::OwlDatatypeComplementOf, V::OwlOnDatatype, V::OwlWithRestrictions,
        V::OwlOnProperty, V::OwlOnProperties, V::OwlInverseOf, V::OwlMembers,
        V::OwlDistinctMembers, V::OwlAnnotatedSource, V::OwlAnnotatedProperty,
        V::OwlAnnotatedTarget, V::OwlSourceIndividual, V::OwlAssertionProperty};
    for (const Triple& t : g_.triples()) {
      if (is_iri(t.p)) flags_[t.p.v] |= is_literal(t.o) ? kUsedWithLiteralFlag : kUsedWithNodeFlag;
      if (!is_blank(t.s)) continue;
      for (V p : structural_predicates) {
        if (t.p == v(p)) {
          flags_[t.s.v] |= kStructuralFlag;
          break;
        }
      }
      // Facet restrictions: a blank node whose predicate is a facet IRI.
      if (is_iri(t.p) && facet_from_iri(term(t.p).text)) flags_[t.s.v] |= kStructuralFlag;
    }
  }

  // ---- Typing and declarations ------------------------------------------------------
  void read_typing() {
    TermId type = v(V::RdfType);
    if (type.none()) return;
    // Blank-node types first, then the typing of IRIs, so that every kind is known
    // before any axiom is read.
    for (const Triple& t : g_.triples()) {
      if (t.p != type) continue;
      if (is_blank(t.s)) {
        if (is_structural_type(t.o)) flags_[t.s.v] |= kStructuralFlag;
        if (is(t.o, V::RdfsDatatype) || is(t.o, V::OwlDataRange)) flags_[t.s.v] |= kDataRangeNodeFlag;
        if (is(t.o, V::OwlOntology)) flags_[t.s.v] |= kOntologyFlag | kStructuralFlag;
        continue;
      }
      if (!is_iri(t.s)) continue;
      uint16_t& f = flags_[t.s.v];
      if (is(t.o, V::OwlClass) || is(t.o, V::RdfsClass) || is(t.o, V::OwlDeprecatedClass)) {
        f |= kClassFlag;
      } else if (is(t.o, V::RdfsDatatype) || is(t.o, V::OwlDataRange)) {
        f |= kDatatypeFlag;
      } else if (is(t.o, V::OwlObjectProperty) || is(t.o, V::OwlInverseFunctionalProperty) ||
                 is(t.o, V::OwlTransitiveProperty) || is(t.o, V::OwlSymmetricProperty) ||
                 is(t.o, V::OwlAsymmetricProperty) || is(t.o, V::OwlReflexiveProperty) ||
                 is(t.o, V::OwlIrreflexiveProperty)) {
        f |= kObjectPropertyFlag;
      } else if (is(t.o, V::OwlDatatypeProperty)) {
        f |= kDataPropertyFlag;
      } else if (is(t.o, V::OwlAnnotationProperty) || is(t.o, V::OwlOntologyProperty)) {
        f |= kAnnotationPropertyFlag;
      } else if (is(t.o, V::OwlNamedIndividual)) {
        f |= kIndividualFlag;
      } else if (is(t.o, V::OwlOntology)) {
        f |= kOntologyFlag;
      } else if (!has(t.o, kReservedFlag) || is(t.o, V::OwlThing)) {
        f |= kIndividualFlag;
        if (is_iri(t.o)) flags_[t.o.v] |= kClassFlag;
      }
    }
  }

  bool is_structural_type(TermId o) const {
    for (V k : {V::OwlClass, V::OwlRestriction, V::RdfsDatatype, V::OwlDataRange, V::OwlAxiom,
                V::OwlAnnotation, V::OwlAllDisjointClasses, V::OwlAllDifferent,
                V::OwlAllDisjointProperties, V::OwlNegativePropertyAssertion, V::RdfList,
                V::RdfsClass})
      if (is(o, k)) return true;
    return false;
  }

  // ---- Lists ------------------------------------------------------------------------
  // The members of the rdf:List at head. Fails on a node that is not a blank list node
  // with exactly one rdf:first and one rdf:rest, and on cycles (two pointers, one
  // moving twice as fast).
  bool read_list(TermId head, std::vector<TermId>& out) {
    out.clear();
    TermId nil = v(V::RdfNil);
    TermId slow = head;
    TermId cur = head;
    size_t steps = 0;
    while (!(cur == nil)) {
      if (cur.none() || !is_blank(cur)) return false;
      TermId first, rest;
      for (const Triple& t : g_.about(cur)) {
        if (t.p == v(V::RdfFirst)) {
          if (!first.none()) return false;
          first = t.o;
        } else if (t.p == v(V::RdfRest)) {
          if (!rest.none()) return false;
          rest = t.o;
        }
      }
      if (first.none() || rest.none()) return false;
      out.push_back(first);
      cur = rest;
      if (++steps % 2 == 0) {
        slow = next_in_list(slow);
        if (slow == cur) return false;
      }
    }
    return true;
  }
  TermId next_in_list(TermId node) const {
    for (const Triple& t : g_.about(node))
      if (t.p == v(V::RdfRest)) return t.o;
    return {};
  }

  // ---- Entities and simple terms --------------------------------------------------------
  std::optional<Individual> individual(TermId t) {
    if (is_iri(t)) return NamedIndividual{iri(t)};
    if (is_blank(t) && !has(t, kStructuralFlag)) return anonymous(t);
    return std::nullopt;
  }
  AnonymousIndividual anonymous(TermId t) {
    AnonymousIndividual a;
    set_node_id(a.node_id, table_, term(t).text);
    return a;
  }
  std::optional<Literal> literal(TermId t) {
    if (!is_literal(t)) return std::nullopt;
    const Term& l = term(t);
    std::string lexical(l.text);
    if (!l.language.empty()) {
      Literal out;
      out.form = LiteralForm::LanguageTagged;
      out.lexical = std::move(lexical);
      set_node_id(out.language, table_, l.language);
      return out;
    }
    if (l.datatype.none()) return Literal::plain(std::move(lexical));
    return Literal::typed(std::move(lexical), Datatype{iri(l.datatype)});
  }
  std::optional<ObjectPropertyExpression> object_property(TermId t) {
    if (is_iri(t)) return ObjectProperty{iri(t)};
    if (is_blank(t)) {
      TermId inner = object(t, V::OwlInverseOf);
      if (!inner.none() && is_iri(inner)) return ObjectInverseOf{ObjectProperty{iri(inner)}};
    }
    return std::nullopt;
  }
  std::optional<DataProperty> data_property(TermId t) {
    if (is_iri(t)) return DataProperty{iri(t)};
    return std::nullopt;
  }
  std::optional<AnnotationValue> annotation_value(TermId t) {
    if (is_iri(t)) return AnnotationValue{iri(t)};
    if (is_literal(t)) return AnnotationValue{*literal(t)};
    if (is_blank(t)) return AnnotationValue{anonymous(t)};
    return std::nullopt;
  }
  // A declared data property, or an undeclared property used only with literals.
  bool is_data_property(TermId p) const {
    if (!is_iri(p)) return false;
    if (has(p, kDataPropertyFlag | kObjectPropertyFlag | kAnnotationPropertyFlag | kReservedFlag))
      return has(p, kDataPropertyFlag) && !has(p, kObjectPropertyFlag);
    return has(p, kUsedWithLiteralFlag) && !has(p, kUsedWithNodeFlag);
  }
  bool is_annotation_property(TermId p) const {
    return is_iri(p) && has(p, kAnnotationPropertyFlag) &&
           !has(p, kObjectPropertyFlag | kDataPropertyFlag);
  }
  // Whether t reads as a data range rather than a class expression.
  bool looks_like_data_range(TermId t) const {
    if (t.none()) return false;
    if (is_iri(t)) return has(t, kDatatypeFlag) && !has(t, kClassFlag);
    if (!is_blank(t)) return false;
    if (has(t, kDataRangeNodeFlag)) return true;
    for (const Triple& x : g_.about(t))
      if (x.p == v(V::OwlDatatypeComplementOf) || x.p == v(V::OwlOnDatatype)) return true;
    return false;
  }
  // A restriction on p with the given filler is a data restriction.
  bool data_restriction(TermId p, TermId filler) const {
    if (p.none() || !is_iri(p)) return false;
    if (is_data_property(p)) return true;
    if (has(p, kObjectPropertyFlag)) return false;
    return looks_like_data_range(filler);
  }

  // ---- Memoised evaluation of blank-node structures -----------------------------------
  std::optional<ClassExpression> class_expression(TermId t) {
    if (t.none()) return std::nullopt;
    if (is_iri(t)) return ClassExpression(Class{iri(t)});
    if (!is_blank(t)) return std::nullopt;
    evaluate(Item{t, Want::Class});
    const auto* r = classes_.find(t);
    return r ? *r : std::nullopt;
  }
  std::optional<DataRange> data_range(TermId t) {
    if (t.none()) return std::nullopt;
    if (is_iri(t)) return DataRange(Datatype{iri(t)});
    if (!is_blank(t)) return std::nullopt;
    evaluate(Item{t, Want::Range});
    const auto* r = ranges_.find(t);
    return r ? *r : std::nullopt;
  }
  AnnotationSet annotations_of(TermId t) {
    evaluate(Item{t, Want::Annotations});
    const auto* r = annotation_sets_.find(t);
    return r && *r ? **r : AnnotationSet{};
  }
  // The class expression of one OWL 1 defining triple "C owl:intersectionOf (...)"
  // (or unionOf, complementOf, oneOf) of a named class C.
  std::optional<ClassExpression> owl1_definition(TermId p, TermId o) {
    if (p == v(V::OwlComplementOf)) {
      auto c = class_expression(o);
      if (!c) return std::nullopt;
      return ClassExpression(ObjectComplementOf{std::move(*c)});
    }
    if (p == v(V::OwlOneOf)) {
      std::vector<TermId> nodes;
      ObjectOneOf e;
      if (!read_list(o, nodes) || !convert_all(nodes, e.individuals, [&](TermId n) { return individual(n); }))
        return std::nullopt;
      return ClassExpression(std::move(e));
    }
    auto members = class_list(o);
    if (!members) return std::nullopt;
    if (p == v(V::OwlIntersectionOf)) return ClassExpression(ObjectIntersectionOf{std::move(*members)});
    return ClassExpression(ObjectUnionOf{std::move(*members)});
  }

  bool done(const Item& it) const {
    switch (it.want) {
      case Want::Class: return classes_.find(it.node) != nullptr;
      case Want::Range: return ranges_.find(it.node) != nullptr;
      case Want::Annotations: return annotation_sets_.find(it.node) != nullptr;
    }
    return true;
  }
  static uint64_t key(const Item& it) { return (uint64_t{it.node.v} << 2) | static_cast<uint64_t>(it.want); }

  // Evaluates root after every blank node it depends on, deepest first.
  void evaluate(Item root) {
    if (done(root) || too_deep_) return;
    struct Frame {
      Item item;
      uint32_t depth;
      bool expanded;
    };
    std::vector<Frame> stack{Frame{root, 1, false}};
    std::vector<Item> deps;
    while (!stack.empty()) {
      Frame& f = stack.back();
      if (done(f.item)) {
        stack.pop_back();
        continue;
      }
      if (!f.expanded) {
        f.expanded = true;
        active_.emplace(key(f.item), true);
        deps.clear();
        dependencies(f.item, deps);
        uint32_t depth = f.depth;
        for (const Item& d : deps) {
          // A dependency already on the stack is a cycle: it stays unevaluated and the
          // node that needs it does not encode anything.
          if (done(d) || active_.contains(key(d))) continue;
          if (depth + 1 > kMaxNestingDepth) {
            too_deep_ = true;
            return;
          }
          stack.push_back(Frame{d, depth + 1, false});
        }
        continue;
      }
      Item it = f.item;
      stack.pop_back();
      build(it);
      active_.erase(key(it));
    }
  }

  // The shape of a class-expression or data-range node: what kind it is and which
  // nodes it refers to.
  enum class Shape : uint8_t {
    None, Intersection, Union, Complement, OneOf, Some, All, HasValue, HasSelf, MinCard,
    MaxCard, ExactCard, DataComplement, Restriction,
  };
  struct Parts {
    Shape shape = Shape::None;
    bool data = false;  // a data restriction (class expressions) or data-range kind
    TermId property, filler, value;
    uint32_t cardinality = 0;
    std::vector<TermId> operands;
  };

  Parts class_parts(TermId x) {
    Parts p;
    TermId onp, some, all, has_value, has_self, card, on_class, on_range;
    V card_kind = V::Count;
    for (const Triple& t : g_.about(x)) {
      if (t.p == v(V::OwlIntersectionOf)) {
        p.shape = Shape::Intersection;
        if (!read_list(t.o, p.operands)) p.shape = Shape::None;
        return p;
      }
      if (t.p == v(V::OwlUnionOf)) {
        p.shape = Shape::Union;
        if (!read_list(t.o, p.operands)) p.shape = Shape::None;
        return p;
      }
      if (t.p == v(V::OwlComplementOf)) {
        p.shape = Shape::Complement;
        p.filler = t.o;
        return p;
      }
      if (t.p == v(V::OwlOneOf)) {
        p.shape = Shape::OneOf;
        if (!read_list(t.o, p.operands)) p.shape = Shape::None;
        return p;
      }
      if (t.p == v(V::OwlOnProperty)) onp = t.o;
      else if (t.p == v(V::OwlOnProperties)) {
        std::vector<TermId> props;
        if (read_list(t.o, props) && props.size() == 1) onp = props[0];
      } else if (t.p == v(V::OwlSomeValuesFrom)) some = t.o;
      else if (t.p == v(V::OwlAllValuesFrom)) all = t.o;
      else if (t.p == v(V::OwlHasValue)) has_value = t.o;
      else if (t.p == v(V::OwlHasSelf)) has_self = t.o;
      else if (t.p == v(V::OwlOnClass)) on_class = t.o;
      else if (t.p == v(V::OwlOnDataRange)) on_range = t.o;
      else {
        for (V k : {V::OwlMinCardinality, V::OwlMaxCardinality, V::OwlCardinality,
                    V::OwlMinQualifiedCardinality, V::OwlMaxQualifiedCardinality,
                    V::OwlQualifiedCardinality}) {
          if (t.p == v(k)) {
            card = t.o;
            card_kind = k;
          }
        }
      }
    }
    if (onp.none()) return p;
    p.property = onp;
    if (!some.none()) {
      p.shape = Shape::Some;
      p.filler = some;
      p.data = data_restriction(onp, some);
    } else if (!all.none()) {
      p.shape = Shape::All;
      p.filler = all;
      p.data = data_restriction(onp, all);
    } else if (!has_value.none()) {
      p.shape = Shape::HasValue;
      p.value = has_value;
      p.data = is_literal(has_value);
    } else if (!has_self.none()) {
      if (!is_literal(has_self)) return p;
      std::string_view s = term(has_self).text;
      if (s == "true" || s == "1") p.shape = Shape::HasSelf;
    } else if (!card.none()) {
      if (!is_literal(card)) return p;
      auto n = non_negative_int(term(card).text);
      if (!n) return p;
      p.cardinality = *n;
      bool qualified = card_kind == V::OwlMinQualifiedCardinality ||
                       card_kind == V::OwlMaxQualifiedCardinality ||
                       card_kind == V::OwlQualifiedCardinality;
      if (qualified) {
        if (!on_class.none()) {
          p.filler = on_class;
        } else if (!on_range.none()) {
          p.filler = on_range;
          p.data = true;
        } else {
          return p;
        }
      } else {
        p.data = is_data_property(onp);
      }
      p.shape = (card_kind == V::OwlMinCardinality || card_kind == V::OwlMinQualifiedCardinality)
                    ? Shape::MinCard
                : (card_kind == V::OwlMaxCardinality || card_kind == V::OwlMaxQualifiedCardinality)
                    ? Shape::MaxCard
                    : Shape::ExactCard;
    }
    return p;
  }

  Parts range_parts(TermId x) {
    Parts p;
    TermId on_datatype, with;
    for (const Triple& t : g_.about(x)) {
      if (t.p == v(V::OwlIntersectionOf)) {
        p.shape = Shape::Intersection;
        if (!read_list(t.o, p.operands)) p.shape = Shape::None;
        return p;
      }
      if (t.p == v(V::OwlUnionOf)) {
        p.shape = Shape::Union;
        if (!read_list(t.o, p.operands)) p.shape = Shape::None;
        return p;
      }
      if (t.p == v(V::OwlDatatypeComplementOf) || t.p == v(V::OwlComplementOf)) {
        p.shape = Shape::DataComplement;
        p.filler = t.o;
        return p;
      }
      if (t.p == v(V::OwlOneOf)) {
        p.shape = Shape::OneOf;
        if (!read_list(t.o, p.operands)) p.shape = Shape::None;
        return p;
      }
      if (t.p == v(V::OwlOnDatatype)) on_datatype = t.o;
      if (t.p == v(V::OwlWithRestrictions)) with = t.o;
    }
    if (!on_datatype.none() && !with.none() && is_iri(on_datatype)) {
      p.shape = Shape::Restriction;
      p.filler = on_datatype;
      if (!read_list(with, p.operands)) p.shape = Shape::None;
    }
    return p;
  }

  void dependencies(const Item& it, std::vector<Item>& out) {
    auto need_class = [&](TermId t) {
      if (!t.none() && is_blank(t)) out.push_back(Item{t, Want::Class});
    };
    auto need_range = [&](TermId t) {
      if (!t.none() && is_blank(t)) out.push_back(Item{t, Want::Range});
    };
    switch (it.want) {
      case Want::Class: {
        Parts p = class_parts(it.node);
        switch (p.shape) {
          case Shape::Intersection:
          case Shape::Union:
            for (TermId o : p.operands) need_class(o);
            break;
          case Shape::Complement: need_class(p.filler); break;
          case Shape::Some:
          case Shape::All:
          case Shape::MinCard:
          case Shape::MaxCard:
          case Shape::ExactCard:
            if (p.data) need_range(p.filler);
            else need_class(p.filler);
            break;
          default: break;
        }
        break;
      }
      case Want::Range: {
        Parts p = range_parts(it.node);
        if (p.shape == Shape::Intersection || p.shape == Shape::Union)
          for (TermId o : p.operands) need_range(o);
        if (p.shape == Shape::DataComplement) need_range(p.filler);
        break;
      }
      case Want::Annotations:
        for (const Triple& t : g_.about(it.node)) {
          if (!annotation_predicate(t.p)) continue;
          for (TermId r : reifications(it.node, t.p, t.o)) out.push_back(Item{r, Want::Annotations});
        }
        break;
    }
  }

  void build(const Item& it) {
    switch (it.want) {
      case Want::Class: classes_.done[it.node.v] = build_class(it.node); break;
      case Want::Range: ranges_.done[it.node.v] = build_range(it.node); break;
      case Want::Annotations: annotation_sets_.done[it.node.v] = build_annotations(it.node); break;
    }
  }

  // A built operand: IRIs directly, blank nodes from the memo (never evaluated here).
  std::optional<ClassExpression> operand_class(TermId t) {
    if (t.none()) return std::nullopt;
    if (is_iri(t)) return ClassExpression(Class{iri(t)});
    const auto* r = classes_.find(t);
    return r ? *r : std::nullopt;
  }
  std::optional<DataRange> operand_range(TermId t) {
    if (t.none()) return std::nullopt;
    if (is_iri(t)) return DataRange(Datatype{iri(t)});
    const auto* r = ranges_.find(t);
    return r ? *r : std::nullopt;
  }

  std::optional<ClassExpression> build_class(TermId x) {
    // A node typed as a data range is never a class expression.
    if (is_blank(x) && has(x, kDataRangeNodeFlag)) return std::nullopt;
    Parts p = class_parts(x);
    auto classes = [&](std::vector<ClassExpression>& out) {
      return convert_all(p.operands, out, [&](TermId o) { return operand_class(o); });
    };
    switch (p.shape) {
      case Shape::Intersection: {
        ObjectIntersectionOf e;
        if (!classes(e.operands)) return std::nullopt;
        return ClassExpression(std::move(e));
      }
      case Shape::Union: {
        ObjectUnionOf e;
        if (!classes(e.operands)) return std::nullopt;
        return ClassExpression(std::move(e));
      }
      case Shape::Complement: {
        auto c = operand_class(p.filler);
        if (!c) return std::nullopt;
        return ClassExpression(ObjectComplementOf{std::move(*c)});
      }
      case Shape::OneOf: {
        ObjectOneOf e;
        if (!convert_all(p.operands, e.individuals, [&](TermId o) { return individual(o); }))
          return std::nullopt;
        return ClassExpression(std::move(e));
      }
      case Shape::HasSelf: {
        auto r = object_property(p.property);
        if (!r) return std::nullopt;
        return ClassExpression(ObjectHasSelf{std::move(*r)});
      }
      case Shape::HasValue: {
        if (p.data) {
          auto d = data_property(p.property);
          auto l = literal(p.value);
          if (!d || !l) return std::nullopt;
          return ClassExpression(DataHasValue{std::move(*d), std::move(*l)});
        }
        auto r = object_property(p.property);
        auto i = individual(p.value);
        if (!r || !i) return std::nullopt;
        return ClassExpression(ObjectHasValue{std::move(*r), std::move(*i)});
      }
      case Shape::Some:
      case Shape::All:
      case Shape::MinCard:
      case Shape::MaxCard:
      case Shape::ExactCard:
        return p.data ? build_data_restriction(p) : build_object_restriction(p);
      default:
        return std::nullopt;
    }
  }

  std::optional<ClassExpression> build_object_restriction(const Parts& p) {
    auto r = object_property(p.property);
    if (!r) return std::nullopt;
    std::optional<ClassExpression> c =
        p.filler.none() ? std::optional<ClassExpression>(Class{iri_of(V::OwlThing)})
                        : operand_class(p.filler);
    if (!c) return std::nullopt;
    switch (p.shape) {
      case Shape::Some: return ClassExpression(ObjectSomeValuesFrom{std::move(*r), std::move(*c)});
      case Shape::All: return ClassExpression(ObjectAllValuesFrom{std::move(*r), std::move(*c)});
      case Shape::MinCard:
        return ClassExpression(ObjectMinCardinality{p.cardinality, std::move(*r), std::move(*c)});
      case Shape::MaxCard:
        return ClassExpression(ObjectMaxCardinality{p.cardinality, std::move(*r), std::move(*c)});
      default:
        return ClassExpression(ObjectExactCardinality{p.cardinality, std::move(*r), std::move(*c)});
    }
  }

  std::optional<ClassExpression> build_data_restriction(const Parts& p) {
    auto d = data_property(p.property);
    if (!d) return std::nullopt;
    std::optional<DataRange> r =
        p.filler.none() ? std::optional<DataRange>(Datatype{table_.intern(vocab::kRdfsLiteral)})
                        : operand_range(p.filler);
    if (!r) return std::nullopt;
    switch (p.shape) {
      case Shape::Some: return ClassExpression(DataSomeValuesFrom{std::move(*d), std::move(*r)});
      case Shape::All: return ClassExpression(DataAllValuesFrom{std::move(*d), std::move(*r)});
      case Shape::MinCard:
        return ClassExpression(DataMinCardinality{p.cardinality, std::move(*d), std::move(*r)});
      case Shape::MaxCard:
        return ClassExpression(DataMaxCardinality{p.cardinality, std::move(*d), std::move(*r)});
      default:
        return ClassExpression(DataExactCardinality{p.cardinality, std::move(*d), std::move(*r)});
    }
  }

  Iri iri_of(V which) { return table_.intern(kVocab[static_cast<size_t>(which)]); }

  std::optional<DataRange> build_range(TermId x) {
    Parts p = range_parts(x);
    auto ranges = [&](std::vector<DataRange>& out) {
      return convert_all(p.operands, out, [&](TermId o) { return operand_range(o); });
    };
    switch (p.shape) {
      case Shape::Intersection: {
        DataIntersectionOf e;
        if (!ranges(e.operands)) return std::nullopt;
        return DataRange(std::move(e));
      }
      case Shape::Union: {
        DataUnionOf e;
        if (!ranges(e.operands)) return std::nullopt;
        return DataRange(std::move(e));
      }
      case Shape::DataComplement: {
        auto r = operand_range(p.filler);
        if (!r) return std::nullopt;
        return DataRange(DataComplementOf{std::move(*r)});
      }
      case Shape::OneOf: {
        DataOneOf e;
        if (!convert_all(p.operands, e.literals, [&](TermId o) { return literal(o); })) return std::nullopt;
        return DataRange(std::move(e));
      }
      case Shape::Restriction: {
        DatatypeRestriction e{Datatype{iri(p.filler)}, {}};
        for (TermId o : p.operands) {
          if (!is_blank(o)) return std::nullopt;
          std::optional<FacetRestriction> found;
          for (const Triple& t : g_.about(o)) {
            if (!is_iri(t.p)) continue;
            auto facet = facet_from_iri(term(t.p).text);
            auto l = literal(t.o);
            if (!facet || !l) continue;
            if (found) return std::nullopt;
            found = FacetRestriction{*facet, std::move(*l)};
          }
          if (!found) return std::nullopt;
          e.restrictions.push_back(std::move(*found));
        }
        return DataRange(std::move(e));
      }
      default:
        return std::nullopt;
    }
  }

  // ---- Annotations --------------------------------------------------------------------
  // Predicates read as annotation properties on annotated nodes: anything outside the
  // reserved vocabulary, and the built-in annotation properties.
  bool annotation_predicate(TermId p) const {
    if (!is_iri(p)) return false;
    if (has(p, kAnnotationPropertyFlag)) return true;
    return !has(p, kReservedFlag);
  }

  struct TripleKey {
    uint32_t s, p, o;
    friend bool operator==(const TripleKey&, const TripleKey&) = default;
  };
  struct TripleKeyHash {
    size_t operator()(const TripleKey& k) const noexcept {
      uint64_t h = k.s * 0x9E3779B97F4A7C15ULL;
      h ^= (k.p + 0x632BE59BD9B4E019ULL + (h << 6) + (h >> 2));
      h ^= (k.o * 0xBF58476D1CE4E5B9ULL + (h << 6) + (h >> 2));
      return static_cast<size_t>(h ^ (h >> 31));
    }
  };

  // owl:Annotation and owl:Axiom nodes by the triple they reify.
  void index_reifications() {
    TermId type = v(V::RdfType);
    if (type.none() || v(V::OwlAnnotatedSource).none()) return;
    for (const Triple& t : g_.triples()) {
      if (t.p != type || !(is(t.o, V::OwlAnnotation) || is(t.o, V::OwlAxiom))) continue;
      TermId s = object(t.s, V::OwlAnnotatedSource);
      TermId p = object(t.s, V::OwlAnnotatedProperty);
      TermId o = object(t.s, V::OwlAnnotatedTarget);
      if (s.none() || p.none() || o.none()) continue;
      auto& list = reifications_[TripleKey{s.v, p.v, o.v}];
      if (list.empty() || !(list.back() == t.s)) list.push_back(t.s);
      if (is(t.o, V::OwlAxiom)) axiom_nodes_.push_back(t.s);
    }
  }
  const std::vector<TermId>& reifications(TermId s, TermId p, TermId o) const {
    static const std::vector<TermId> kNone;
    auto it = reifications_.find(TripleKey{s.v, p.v, o.v});
    return it == reifications_.end() ? kNone : it->second;
  }

  std::optional<AnnotationSet> build_annotations(TermId x) {
    std::vector<Annotation> list;
    for (const Triple& t : g_.about(x)) {
      if (!annotation_predicate(t.p)) continue;
      auto value = annotation_value(t.o);
      if (!value) continue;
      AnnotationProperty ap{iri(t.p)};
      const auto& reifs = reifications(x, t.p, t.o);
      if (reifs.empty()) {
        list.push_back(Annotation{ap, *value, {}});
        continue;
      }
      for (TermId r : reifs) {
        const auto* nested = annotation_sets_.find(r);
        AnnotationSet set = nested && *nested ? **nested : AnnotationSet{};
        list.push_back(Annotation{ap, *value, std::move(set)});
      }
    }
    return AnnotationSet::from(std::move(list));
  }

  // ---- Axioms -------------------------------------------------------------------------
  void emit(std::optional<Axiom> a) {
    if (a) plain_.push_back(AnnotatedAxiom{std::move(*a), {}});
  }

  void read_main_triples() {
    for (const Triple& t : g_.triples()) {
      if (too_deep_) return;
      if (has(t.s, kOntologyFlag)) continue;
      emit(axiom_of_triple(t.s, t.p, t.o));
    }
  }

  std::optional<Axiom> declaration(TermId s, TermId o) {
    if (!is_iri(s)) return std::nullopt;
    if (is(o, V::OwlClass)) return DeclareClass{Class{iri(s)}};
    if (is(o, V::RdfsDatatype)) return DeclareDatatype{Datatype{iri(s)}};
    if (is(o, V::OwlObjectProperty)) return DeclareObjectProperty{ObjectProperty{iri(s)}};
    if (is(o, V::OwlDatatypeProperty)) return DeclareDataProperty{DataProperty{iri(s)}};
    if (is(o, V::OwlAnnotationProperty)) return DeclareAnnotationProperty{AnnotationProperty{iri(s)}};
    if (is(o, V::OwlNamedIndividual)) return DeclareNamedIndividual{NamedIndividual{iri(s)}};
    return std::nullopt;
  }

  // The axiom whose main triple is (s, p, o), if any.
  std::optional<Axiom> axiom_of_triple(TermId s, TermId p, TermId o) {
    if (p == v(V::RdfType)) return typing_axiom(s, o);
    if (p == v(V::RdfsSubClassOf)) {
      auto a = class_expression(s);
      auto b = class_expression(o);
      if (!a || !b) return std::nullopt;
      return SubClassOf{std::move(*a), std::move(*b)};
    }
    if (p == v(V::OwlEquivalentClass)) {
      if (is_iri(s) && has(s, kDatatypeFlag) && !has(s, kClassFlag)) {
        auto r = data_range(o);
        if (!r) return std::nullopt;
        return DatatypeDefinition{Datatype{iri(s)}, std::move(*r)};
      }
      auto a = class_expression(s);
      auto b = class_expression(o);
      if (!a || !b) return std::nullopt;
      return EquivalentClasses{{std::move(*a), std::move(*b)}};
    }
    if (p == v(V::OwlDisjointWith)) {
      auto a = class_expression(s);
      auto b = class_expression(o);
      if (!a || !b) return std::nullopt;
      return DisjointClasses{{std::move(*a), std::move(*b)}};
    }
    if (p == v(V::OwlDisjointUnionOf)) {
      if (!is_iri(s)) return std::nullopt;
      auto members = class_list(o);
      if (!members || members->size() < 2) return std::nullopt;
      return DisjointUnion{Class{iri(s)}, std::move(*members)};
    }
    if (p == v(V::OwlIntersectionOf) || p == v(V::OwlUnionOf) || p == v(V::OwlComplementOf) ||
        p == v(V::OwlOneOf)) {
      // OWL 1: a named class given by a boolean combination or an enumeration.
      // Each such triple defines the class on its own: a class may carry several.
      if (!is_iri(s) || looks_like_data_range(s)) return std::nullopt;
      auto c = owl1_definition(p, o);
      if (!c) return std::nullopt;
      return EquivalentClasses{{ClassExpression(Class{iri(s)}), std::move(*c)}};
    }
    if (p == v(V::RdfsSubPropertyOf)) return sub_property(s, o);
    if (p == v(V::OwlPropertyChainAxiom)) {
      auto sup = object_property(s);
      auto chain = property_list(o);
      if (!sup || !chain || chain->empty()) return std::nullopt;
      return SubObjectPropertyOf{ObjectPropertyChain{std::move(*chain)}, std::move(*sup)};
    }
    if (p == v(V::OwlEquivalentProperty) || p == v(V::OwlPropertyDisjointWith)) {
      bool equivalent = p == v(V::OwlEquivalentProperty);
      if (is_data_property(s) || is_data_property(o)) {
        auto a = data_property(s);
        auto b = data_property(o);
        if (!a || !b) return std::nullopt;
        if (equivalent) return EquivalentDataProperties{{std::move(*a), std::move(*b)}};
        return DisjointDataProperties{{std::move(*a), std::move(*b)}};
      }
      auto a = object_property(s);
      auto b = object_property(o);
      if (!a || !b) return std::nullopt;
      if (equivalent) return EquivalentObjectProperties{{std::move(*a), std::move(*b)}};
      return DisjointObjectProperties{{std::move(*a), std::move(*b)}};
    }
    if (p == v(V::RdfsDomain)) return domain_axiom(s, o);
    if (p == v(V::RdfsRange)) return range_axiom(s, o);
    if (p == v(V::OwlInverseOf)) {
      // A blank subject is the expression ObjectInverseOf, not an axiom.
      if (!is_iri(s)) return std::nullopt;
      auto a = object_property(s);
      auto b = object_property(o);
      if (!a || !b) return std::nullopt;
      return InverseObjectProperties{std::move(*a), std::move(*b)};
    }
    if (p == v(V::OwlHasKey)) {
      auto c = class_expression(s);
      std::vector<TermId> props;
      if (!c || !read_list(o, props)) return std::nullopt;
      HasKey k{std::move(*c), {}, {}};
      for (TermId q : props) {
        if (is_data_property(q)) {
          k.data_properties.push_back(DataProperty{iri(q)});
        } else {
          auto r = object_property(q);
          if (!r) return std::nullopt;
          k.object_properties.push_back(std::move(*r));
        }
      }
      return k;
    }
    if (p == v(V::OwlSameAs) || p == v(V::OwlDifferentFrom)) {
      auto a = individual(s);
      auto b = individual(o);
      if (!a || !b) return std::nullopt;
      if (p == v(V::OwlSameAs)) return SameIndividual{{std::move(*a), std::move(*b)}};
      return DifferentIndividuals{{std::move(*a), std::move(*b)}};
    }
    if (!is_iri(p)) return std::nullopt;
    if (has(p, kReservedFlag) && !has(p, kAnnotationPropertyFlag)) return std::nullopt;
    return assertion(s, p, o);
  }

  std::optional<Axiom> typing_axiom(TermId s, TermId o) {
    if (auto d = declaration(s, o)) return d;
    if (is(o, V::OwlFunctionalProperty)) {
      if (is_data_property(s)) return FunctionalDataProperty{DataProperty{iri(s)}};
      if (auto r = object_property(s)) return FunctionalObjectProperty{std::move(*r)};
      return std::nullopt;
    }
    auto characteristic = [&](auto tag) -> std::optional<Axiom> {
      auto r = object_property(s);
      if (!r) return std::nullopt;
      return decltype(tag){std::move(*r)};
    };
    if (is(o, V::OwlInverseFunctionalProperty)) return characteristic(InverseFunctionalObjectProperty{});
    if (is(o, V::OwlTransitiveProperty)) return characteristic(TransitiveObjectProperty{});
    if (is(o, V::OwlSymmetricProperty)) return characteristic(SymmetricObjectProperty{});
    if (is(o, V::OwlAsymmetricProperty)) return characteristic(AsymmetricObjectProperty{});
    if (is(o, V::OwlReflexiveProperty)) return characteristic(ReflexiveObjectProperty{});
    if (is(o, V::OwlIrreflexiveProperty)) return characteristic(IrreflexiveObjectProperty{});
    if (is(o, V::OwlDeprecatedClass)) {
      // OWL 1: a deprecated class is a class annotated as deprecated.
      if (!is_iri(s)) return std::nullopt;
      deprecated(s);
      return DeclareClass{Class{iri(s)}};
    }
    if (is(o, V::OwlDeprecatedProperty)) {
      if (is_iri(s)) deprecated(s);
      return std::nullopt;
    }
    if (is(o, V::OwlOntologyProperty)) {
      if (!is_iri(s)) return std::nullopt;
      return DeclareAnnotationProperty{AnnotationProperty{iri(s)}};
    }
    if (is(o, V::OwlDataRange)) {
      if (!is_iri(s)) return std::nullopt;
      return DeclareDatatype{Datatype{iri(s)}};
    }
    if (is_iri(o) && has(o, kReservedFlag) && !is(o, V::OwlThing) && !is(o, V::OwlNothing))
      return std::nullopt;
    auto i = individual(s);
    if (!i) return std::nullopt;
    auto c = class_expression(o);
    if (!c) return std::nullopt;
    return ClassAssertion{std::move(*c), std::move(*i)};
  }

  void deprecated(TermId s) {
    plain_.push_back(AnnotatedAxiom{
        AnnotationAssertion{AnnotationProperty{iri_of(V::OwlDeprecated)}, AnnotationSubject{iri(s)},
                            AnnotationValue{Literal::typed("true", Datatype{iri_of(V::XsdBoolean)})}},
        {}});
  }

  std::optional<Axiom> sub_property(TermId s, TermId o) {
    if (is_annotation_property(s) || is_annotation_property(o)) {
      if (!is_iri(s) || !is_iri(o)) return std::nullopt;
      return SubAnnotationPropertyOf{AnnotationProperty{iri(s)}, AnnotationProperty{iri(o)}};
    }
    if (is_data_property(s) || is_data_property(o)) {
      auto a = data_property(s);
      auto b = data_property(o);
      if (!a || !b) return std::nullopt;
      return SubDataPropertyOf{std::move(*a), std::move(*b)};
    }
    auto a = object_property(s);
    auto b = object_property(o);
    if (!a || !b) return std::nullopt;
    return SubObjectPropertyOf{SubObjectPropertyExpression{std::move(*a)}, std::move(*b)};
  }

  std::optional<Axiom> domain_axiom(TermId s, TermId o) {
    if (is_annotation_property(s)) {
      if (!is_iri(o)) return std::nullopt;
      return AnnotationPropertyDomain{AnnotationProperty{iri(s)}, iri(o)};
    }
    auto c = class_expression(o);
    if (!c) return std::nullopt;
    if (is_data_property(s)) return DataPropertyDomain{DataProperty{iri(s)}, std::move(*c)};
    auto r = object_property(s);
    if (!r) return std::nullopt;
    return ObjectPropertyDomain{std::move(*r), std::move(*c)};
  }

  std::optional<Axiom> range_axiom(TermId s, TermId o) {
    if (is_annotation_property(s)) {
      if (!is_iri(o)) return std::nullopt;
      return AnnotationPropertyRange{AnnotationProperty{iri(s)}, iri(o)};
    }
    if (is_data_property(s) || (is_iri(s) && !has(s, kObjectPropertyFlag) && looks_like_data_range(o))) {
      auto d = data_property(s);
      auto r = data_range(o);
      if (!d || !r) return std::nullopt;
      return DataPropertyRange{std::move(*d), std::move(*r)};
    }
    auto r = object_property(s);
    auto c = class_expression(o);
    if (!r || !c) return std::nullopt;
    return ObjectPropertyRange{std::move(*r), std::move(*c)};
  }

  bool is_entity_other_than_individual(TermId t) const {
    return has(t, kClassFlag | kDatatypeFlag | kObjectPropertyFlag | kDataPropertyFlag |
                      kAnnotationPropertyFlag | kOntologyFlag | kReservedFlag);
  }

  // A triple with a non-reserved predicate: a property or annotation assertion.
  std::optional<Axiom> assertion(TermId s, TermId p, TermId o) {
    if (is_blank(s) && has(s, kStructuralFlag)) return std::nullopt;
    bool op = has(p, kObjectPropertyFlag);
    bool dp = has(p, kDataPropertyFlag);
    bool ap = has(p, kAnnotationPropertyFlag);
    if (!op && !dp && !ap) {
      // An undeclared predicate: a property assertion when the subject (and an IRI
      // object) may be individuals, an annotation when either is a known class,
      // property, datatype or ontology.
      bool subject_individual = is_blank(s) || !is_entity_other_than_individual(s);
      if (is_literal(o)) dp = subject_individual;
      else op = subject_individual && (is_blank(o) || !is_entity_other_than_individual(o));
      ap = !op && !dp;
    }
    if (op && !is_literal(o)) {
      auto a = individual(s);
      auto b = individual(o);
      if (!a || !b) return std::nullopt;
      return ObjectPropertyAssertion{ObjectProperty{iri(p)}, std::move(*a), std::move(*b)};
    }
    if (dp && is_literal(o)) {
      auto a = individual(s);
      if (!a) return std::nullopt;
      return DataPropertyAssertion{DataProperty{iri(p)}, std::move(*a), *literal(o)};
    }
    if (ap) {
      if (is_blank(o) && has(o, kStructuralFlag)) return std::nullopt;
      auto value = annotation_value(o);
      if (!value) return std::nullopt;
      AnnotationSubject subject =
          is_iri(s) ? AnnotationSubject{iri(s)} : AnnotationSubject{anonymous(s)};
      return AnnotationAssertion{AnnotationProperty{iri(p)}, std::move(subject), std::move(*value)};
    }
    return std::nullopt;
  }

  std::optional<std::vector<ClassExpression>> class_list(TermId head) {
    std::vector<TermId> nodes;
    if (!read_list(head, nodes)) return std::nullopt;
    std::vector<ClassExpression> out;
    if (!convert_all(nodes, out, [&](TermId n) { return class_expression(n); })) return std::nullopt;
    return out;
  }
  std::optional<std::vector<ObjectPropertyExpression>> property_list(TermId head) {
    std::vector<TermId> nodes;
    if (!read_list(head, nodes)) return std::nullopt;
    std::vector<ObjectPropertyExpression> out;
    if (!convert_all(nodes, out, [&](TermId n) { return object_property(n); })) return std::nullopt;
    return out;
  }

  // ---- Reified and multi-triple axioms -------------------------------------------------
  void read_reified_axioms() {
    for (TermId r : axiom_nodes_) {
      if (too_deep_) return;
      TermId s = object(r, V::OwlAnnotatedSource);
      TermId p = object(r, V::OwlAnnotatedProperty);
      TermId o = object(r, V::OwlAnnotatedTarget);
      // A reification of an annotation (its source is another reification node or
      // the ontology) is read with the annotation it belongs to.
      if (is_blank(s) && has(s, kStructuralFlag) && !is_expression_node(s)) continue;
      if (has(s, kOntologyFlag)) continue;
      auto a = axiom_of_triple(s, p, o);
      if (!a) continue;
      reified_bare_.insert(AnnotatedAxiom{*a, {}});
      annotated_.push_back(AnnotatedAxiom{std::move(*a), annotations_of(r)});
    }
  }
  // A blank class expression or data range (as opposed to a reification node).
  bool is_expression_node(TermId t) const {
    for (const Triple& x : g_.about(t))
      if (x.p == v(V::OwlAnnotatedSource) || x.p == v(V::OwlMembers) ||
          x.p == v(V::OwlDistinctMembers) || x.p == v(V::OwlSourceIndividual))
        return false;
    return true;
  }

  void read_multi_triple_axioms() {
    TermId type = v(V::RdfType);
    if (type.none()) return;
    for (const Triple& t : g_.triples()) {
      if (too_deep_) return;
      if (t.p != type || !is_blank(t.s)) continue;
      std::optional<Axiom> a;
      if (is(t.o, V::OwlAllDisjointClasses)) a = all_disjoint_classes(t.s);
      else if (is(t.o, V::OwlAllDisjointProperties)) a = all_disjoint_properties(t.s);
      else if (is(t.o, V::OwlAllDifferent)) a = all_different(t.s);
      else if (is(t.o, V::OwlNegativePropertyAssertion)) a = negative_assertion(t.s);
      else continue;
      if (!a) continue;
      annotated_.push_back(AnnotatedAxiom{std::move(*a), annotations_of(t.s)});
    }
  }

  std::optional<Axiom> all_disjoint_classes(TermId x) {
    auto members = class_list(object(x, V::OwlMembers));
    if (!members || members->size() < 2) return std::nullopt;
    return DisjointClasses{std::move(*members)};
  }
  std::optional<Axiom> all_disjoint_properties(TermId x) {
    std::vector<TermId> nodes;
    if (!read_list(object(x, V::OwlMembers), nodes) || nodes.size() < 2) return std::nullopt;
    bool data = false;
    for (TermId n : nodes) data = data || is_data_property(n);
    if (data) {
      DisjointDataProperties d;
      if (!convert_all(nodes, d.members, [&](TermId n) { return data_property(n); })) return std::nullopt;
      return d;
    }
    DisjointObjectProperties d;
    if (!convert_all(nodes, d.members, [&](TermId n) { return object_property(n); })) return std::nullopt;
    return d;
  }
  std::optional<Axiom> all_different(TermId x) {
    TermId list = object(x, V::OwlMembers);
    if (list.none()) list = object(x, V::OwlDistinctMembers);  // OWL 1
    std::vector<TermId> nodes;
    if (!read_list(list, nodes) || nodes.size() < 2) return std::nullopt;
    DifferentIndividuals d;
    if (!convert_all(nodes, d.members, [&](TermId n) { return individual(n); })) return std::nullopt;
    return d;
  }
  std::optional<Axiom> negative_assertion(TermId x) {
    auto source = individual(object(x, V::OwlSourceIndividual));
    TermId p = object(x, V::OwlAssertionProperty);
    TermId target = object(x, V::OwlTargetIndividual);
    TermId value = object(x, V::OwlTargetValue);
    if (!source || p.none()) return std::nullopt;
    if (!value.none()) {
      auto d = data_property(p);
      auto l = literal(value);
      if (!d || !l) return std::nullopt;
      return NegativeDataPropertyAssertion{std::move(*d), std::move(*source), std::move(*l)};
    }
    auto r = object_property(p);
    auto b = target.none() ? std::nullopt : individual(target);
    if (!r || !b) return std::nullopt;
    return NegativeObjectPropertyAssertion{std::move(*r), std::move(*source), std::move(*b)};
  }

  // ---- The ontology header ------------------------------------------------------------
  void read_ontology() {
    TermId type = v(V::RdfType);
    if (type.none() || v(V::OwlOntology).none()) return;
    std::vector<TermId> ontologies;
    for (const Triple& t : g_.triples())
      if (t.p == type && is(t.o, V::OwlOntology)) ontologies.push_back(t.s);
    if (ontologies.empty()) return;
    // The document's own ontology: one that no other imports.
    TermId self = ontologies.front();
    for (TermId cand : ontologies) {
      bool imported = false;
      for (const Triple& t : g_.triples())
        if (t.p == v(V::OwlImports) && t.o == cand) imported = true;
      if (!imported) {
        self = cand;
        break;
      }
    }
    if (is_iri(self)) {
      OntologyHeader h{iri(self), {}};
      TermId version = object(self, V::OwlVersionIri);
      if (!version.none() && is_iri(version)) h.version_iri = iri(version);
      annotated_.push_back(AnnotatedAxiom{std::move(h), {}});
    }
    for (const Triple& t : g_.about(self))
      if (t.p == v(V::OwlImports) && is_iri(t.o)) annotated_.push_back(AnnotatedAxiom{Import{iri(t.o)}, {}});
    AnnotationSet set = annotations_of(self);
    for (const Annotation& a : set) annotated_.push_back(AnnotatedAxiom{OntologyAnnotation{a}, {}});
  }

  const Graph& g_;
  IriTable table_;
  std::array<TermId, static_cast<size_t>(V::Count)> vocab_{};
  std::vector<uint16_t> flags_;
  std::vector<Iri> iris_;
  tsl::robin_map<TripleKey, std::vector<TermId>, TripleKeyHash> reifications_;
  std::vector<TermId> axiom_nodes_;
  Memo<ClassExpression> classes_;
  Memo<DataRange> ranges_;
  Memo<AnnotationSet> annotation_sets_;
  tsl::robin_map<uint64_t, bool> active_;
  bool too_deep_ = false;
  std::vector<AnnotatedAxiom> plain_;
  std::vector<AnnotatedAxiom> annotated_;
  AxiomSet reified_bare_;
};

}  // namespace

std::expected<LoadedOntology, ParseError> map_graph(const Graph& graph) {
  Mapper m(graph);
  return m.run();
}

}  // namespace kelmon::owl::rdf
