#include <gtest/gtest.h>

#include "test_files.h"

#include <filesystem>
#include <set>

#include "owl/functional_reader.h"
#include "owl/load.h"
#include "owl/manchester_reader.h"
#include "owl/reader_comparison.h"
#include "owl/vocabulary.h"

namespace kelmon::owl {
namespace {

LoadedOntology read_ok(std::string_view text) {
  auto r = read_manchester(text);
  EXPECT_TRUE(r.has_value()) << (r ? "" : r.error().to_string());
  return r ? std::move(*r) : LoadedOntology{};
}

LoadedOntology functional_ok(std::string_view text) {
  auto r = read_functional(text);
  EXPECT_TRUE(r.has_value()) << (r ? "" : r.error().to_string());
  return r ? std::move(*r) : LoadedOntology{};
}

// ---- the same model as the functional-syntax reader -------------------------------------

TEST(ManchesterReader, FixtureEqualsTheFunctionalFixtureAxiomForAxiom) {
  auto omn = read_ok(fixture("owl/all_frames.omn"));
  auto ofn = functional_ok(fixture("owl/all_frames.ofn"));
  EXPECT_EQ(missing_from(omn.axioms, ofn.axioms), std::vector<std::string>{});
  EXPECT_EQ(missing_from(ofn.axioms, omn.axioms), std::vector<std::string>{});
  EXPECT_EQ(omn.axioms.size(), ofn.axioms.size());
  EXPECT_EQ(omn.prefixes, ofn.prefixes);
}

TEST(ManchesterReader, FixtureHoldsEveryComponentKind) {
  auto o = read_ok(fixture("owl/all_frames.omn"));
  std::set<size_t> kinds;
  for (const auto& a : o.axioms) kinds.insert(a.axiom.index());
  EXPECT_EQ(kinds.size(), std::variant_size_v<Axiom>);
}

TEST(ManchesterReader, FamilyFixtureHasTheAxiomsOfItsFunctionalVersion) {
  auto omn = read_ok(fixture("family_small.omn"));
  auto ofn = functional_ok(fixture("family_small.ofn"));
  AxiomSet a = logical_axioms(omn.axioms), b = logical_axioms(ofn.axioms);
  EXPECT_EQ(a.size(), 7u);
  EXPECT_EQ(missing_from(a, b), std::vector<std::string>{});
  EXPECT_EQ(missing_from(b, a), std::vector<std::string>{});
}

class ManchesterCorpus : public ::testing::TestWithParam<const char*> {};

TEST_P(ManchesterCorpus, Reads) {
  auto r = read_manchester(slurp(corpus(GetParam())));
  ASSERT_TRUE(r.has_value()) << GetParam() << ": " << r.error().to_string();
  EXPECT_GT(logical_axioms(r->axioms).size(), 20u);
}

INSTANTIATE_TEST_SUITE_P(Corpus, ManchesterCorpus, ::testing::Values("pizza.omn", "koala.omn", "family.omn"));

TEST(ManchesterReader, PizzaHasTheLogicalAxiomsOfItsFunctionalSyntaxVersion) {
  auto omn = read_ok(slurp(corpus("pizza.omn")));
  auto ofn = functional_ok(slurp(corpus("pizza.ofn")));
  AxiomSet a = logical_axioms(omn.axioms), b = logical_axioms(ofn.axioms);
  EXPECT_GT(a.size(), 500u);
  EXPECT_EQ(missing_from(a, b), std::vector<std::string>{});
  EXPECT_EQ(missing_from(b, a), std::vector<std::string>{});

  // Beyond the logical axioms the documents themselves differ as the OWL/XML one does
  // (pizza_differences_from_functional), and the Manchester one also has frames, and so
  // declarations, for owl:Thing, the annotation properties rdfs:comment, rdfs:label and
  // owl:versionInfo and the datatypes rdf:langString and xsd:string, which the functional
  // one does not declare. (Its InverseOf: sections state each inverse pair from both
  // sides; the comparison orders the pair, as it orders the operands of n-ary axioms.)
  AxiomSet all_omn = canonical_axioms(omn.axioms), all_ofn = canonical_axioms(ofn.axioms);
  auto expected = pizza_differences_from_functional();
  auto declaration_key = [](Axiom a) { return key_of(AnnotatedAxiom{std::move(a), {}}); };
  expected.only_other.insert(declaration_key(DeclareClass{Class{Iri(vocab::kOwlThing)}}));
  for (auto p : {"http://www.w3.org/2000/01/rdf-schema#comment", "http://www.w3.org/2000/01/rdf-schema#label",
                 "http://www.w3.org/2002/07/owl#versionInfo"})
    expected.only_other.insert(declaration_key(DeclareAnnotationProperty{AnnotationProperty{Iri(p)}}));
  for (auto d : {"http://www.w3.org/1999/02/22-rdf-syntax-ns#langString", vocab::kXsdString.data()})
    expected.only_other.insert(declaration_key(DeclareDatatype{Datatype{Iri(d)}}));
  EXPECT_EQ(described_missing(all_omn, all_ofn), expected.only_other);
  EXPECT_EQ(described_missing(all_ofn, all_omn), expected.only_functional);
  EXPECT_EQ(omn.prefixes.at(""), "http://www.co-ode.org/ontologies/pizza/pizza.owl");
  EXPECT_EQ(omn.prefixes.at("skos"), "http://www.w3.org/2004/02/skos/core#");
}

}  // namespace
}  // namespace kelmon::owl

namespace kelmon::owl {
namespace {

constexpr std::string_view kX = "http://x/";

// The one logical axiom of a small document about http://x/ names.
Axiom only_logical_axiom(std::string_view body) {
  auto o = read_ok("Prefix: : <http://x/>\nOntology: <http://x/o>\n" + std::string(body));
  AxiomSet l = logical_axioms(o.axioms);
  EXPECT_EQ(l.size(), 1u) << body;
  return l.empty() ? Axiom{} : l[0].axiom;
}

Iri x(std::string_view local) { return Iri(std::string(kX) + std::string(local)); }

// ---- object or data property ----------------------------------------------------------

TEST(ManchesterReader, AFrameLaterInTheDocumentMakesARestrictionADataRestriction) {
  Axiom with_frame = only_logical_axiom("Class: :A SubClassOf: :p min 1\nDataProperty: :p");
  EXPECT_EQ(key_of({with_frame, {}}),
            key_of({SubClassOf{Class{x("A")}, DataMinCardinality{1, DataProperty{x("p")},
                                                                  Datatype{Iri(vocab::kRdfsLiteral)}}},
                    {}}));
  Axiom without = only_logical_axiom("Class: :A SubClassOf: :p min 1");
  EXPECT_EQ(key_of({without, {}}),
            key_of({SubClassOf{Class{x("A")}, ObjectMinCardinality{1, ObjectProperty{x("p")},
                                                                    Class{Iri(vocab::kOwlThing)}}},
                    {}}));
}

struct KindCase {
  const char* body;
  AxiomKind kind;
};

class ManchesterPropertyKind : public ::testing::TestWithParam<KindCase> {};

TEST_P(ManchesterPropertyKind, FollowsTheFramesThenTheValue) {
  EXPECT_EQ(kind_of(only_logical_axiom(GetParam().body)), GetParam().kind) << GetParam().body;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ManchesterPropertyKind,
    ::testing::Values(
        KindCase{"Individual: :a Facts: :p 5", AxiomKind::DataPropertyAssertion},
        KindCase{"Individual: :a Facts: :p true", AxiomKind::DataPropertyAssertion},
        KindCase{"Individual: :a Facts: :p :b", AxiomKind::ObjectPropertyAssertion},
        KindCase{"Individual: :a Facts: not :p \"x\"", AxiomKind::NegativeDataPropertyAssertion},
        KindCase{"Individual: :a Facts: not :p _:b", AxiomKind::NegativeObjectPropertyAssertion},
        KindCase{"EquivalentProperties: :p, :q", AxiomKind::EquivalentObjectProperties},
        KindCase{"EquivalentProperties: :p, :q\nDataProperty: :p", AxiomKind::EquivalentDataProperties},
        KindCase{"DisjointProperties: :p, :q\nDataProperty: :p", AxiomKind::DisjointDataProperties},
        KindCase{"DisjointProperties: inverse :p, :q", AxiomKind::DisjointObjectProperties},
        KindCase{"Class: :A SubClassOf: :p value false", AxiomKind::SubClassOf}));

TEST(ManchesterReader, HasKeySortsItsKeysByTheirFrames) {
  auto o = read_ok("Prefix: : <http://x/>\nOntology:\nClass: :A HasKey: :r, :p inverse :s\nDataProperty: :p");
  const HasKey* found = nullptr;
  for (const auto& a : o.axioms)
    if (auto* k = std::get_if<HasKey>(&a.axiom)) found = k;
  ASSERT_NE(found, nullptr);
  const auto& k = *found;
  ASSERT_EQ(k.object_properties.size(), 2u);
  EXPECT_EQ(named_property(k.object_properties[0]).iri, x("r"));
  EXPECT_TRUE(is_inverse(k.object_properties[1]));
  ASSERT_EQ(k.data_properties.size(), 1u);
  EXPECT_EQ(k.data_properties[0].iri, x("p"));
}

TEST(ManchesterReader, AFrameDeclaresItsEntityButAnAnonymousIndividualIsNotDeclared) {
  auto o = read_ok("Prefix: : <http://x/>\nOntology:\nIndividual: _:n Types: :A\nIndividual: :a\nClass: :A");
  std::multiset<std::string> declared;
  for (const auto& a : o.axioms)
    if (is_declaration(a.axiom)) declared.insert(key_of(a));
  EXPECT_EQ(declared, (std::multiset<std::string>{key_of({DeclareNamedIndividual{NamedIndividual{x("a")}}, {}}),
                                                  key_of({DeclareClass{Class{x("A")}}, {}})}));
  EXPECT_FALSE(o.axioms.contains({OntologyHeader{}, {}}));
}

TEST(ManchesterReader, PrefixesAreReturnedAndALaterDeclarationWins) {
  auto o = read_ok("Prefix: : <http://x/>\nPrefix: : <http://y/>\nPrefix: owl: <http://not-owl/>\nOntology:");
  EXPECT_EQ(o.prefixes.at(""), "http://y/");
  EXPECT_EQ(o.prefixes.at("owl"), "http://not-owl/");
  EXPECT_EQ(o.prefixes.at("xsd"), std::string(vocab::kXsd));
}

TEST(ManchesterReader, LoadsThroughBothFormatNamesAndTheExtension) {
  for (const char* name : {"omn", "manchester"}) {
    auto r = parse_ontology_text("Ontology: <http://x/o> Class: <http://x/A>", name);
    ASSERT_TRUE(r.has_value()) << name << ": " << r.error();
    EXPECT_EQ(r->axioms.size(), 2u);
  }
  auto path = (std::filesystem::path(KELMON_TEST_DATA_DIR) / "family_small.omn").string();
  auto loaded = load_ontology_with_prefixes(path);
  ASSERT_TRUE(loaded.has_value()) << loaded.error();
  EXPECT_EQ(loaded->prefixes.at(""), "http://example.org/family#");
  auto bad = parse_ontology_text("Ontology: Class:", "omn");
  ASSERT_FALSE(bad.has_value());
  EXPECT_EQ(bad.error(), "parse omn: line 1, column 17: expected a class IRI, found end of input");
}

// ---- malformed documents ----------------------------------------------------------------

struct BadCase {
  const char* text;
  uint32_t line, column;
  const char* message;
};

class ManchesterBad : public ::testing::TestWithParam<BadCase> {};

TEST_P(ManchesterBad, GivesAnErrorWithItsPlace) {
  const auto& c = GetParam();
  auto r = read_manchester(c.text);
  ASSERT_FALSE(r.has_value()) << c.text;
  EXPECT_EQ(r.error().message, c.message) << c.text;
  EXPECT_EQ(r.error().line, c.line) << c.text;
  EXPECT_EQ(r.error().column, c.column) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ManchesterBad,
    ::testing::Values(
        BadCase{"", 1, 1, "expected 'Prefix:' or 'Ontology:', found end of input"},
        BadCase{"Prefix: x <http://a/>\nOntology:", 1, 9, "expected a prefix name ending in ':', found 'x'"},
        BadCase{"Prefix: x: http:a\nOntology:", 1, 12, "expected a full IRI in angle brackets, found 'http:a'"},
        BadCase{"Ontology: <http://x/o>\nClass: A", 2, 8, "no default prefix to resolve the name 'A'"},
        BadCase{"Ontology:\nClass: foo:A", 2, 8, "unknown prefix 'foo:'"},
        BadCase{"Ontology:\nClass: <http://x/A>\n  SubClassOf: <http://x/B> and", 3, 31,
                "expected a class expression, found end of input"},
        BadCase{"Ontology:\nClass: <http://x/A>\n  Domain: <http://x/B>", 3, 3,
                "expected a section of the Class frame or a new frame, found 'Domain:'"},
        BadCase{"Ontology:\nClass: <http://x/A> SubClassOf: Types: <http://x/B>", 2, 33,
                "expected a class expression, found 'Types:'"},
        BadCase{"Ontology:\nObjectProperty: <http://x/r>\n Characteristics: Funky", 3, 19,
                "expected a characteristic (Functional, InverseFunctional, Reflexive, Irreflexive, Symmetric, "
                "Asymmetric, Transitive), found 'Funky'"},
        BadCase{"Ontology:\nDataProperty: <http://x/p>\n Characteristics: Transitive", 3, 19,
                "expected 'Functional', the one characteristic of a data property, found 'Transitive'"},
        BadCase{"Ontology:\nObjectProperty: <http://x/r>\n SubPropertyChain: <http://x/r>", 3, 32,
                "expected 'o' and the next property of the chain, found end of input"},
        BadCase{"Ontology:\nEquivalentClasses: <http://x/A>", 2, 32,
                "expected ',' and a second class expression, found end of input"},
        BadCase{"Ontology:\nClass: <http://x/A>\n Annotations: <http://x/note>", 3, 30,
                "expected an annotation value (a literal, an IRI or an anonymous individual), found end of input"},
        BadCase{"Ontology:\nClass: <http://x/A> Annotations: rdfs:label \"open", 2, 45, "unterminated string"},
        BadCase{"Ontology: <http://x/o> <http://x/v>\nFoo: <http://x/A>", 2, 1,
                "expected a frame (Class:, ObjectProperty:, DataProperty:, AnnotationProperty:, Individual:, "
                "Datatype:, ...), found 'Foo:'"},
        BadCase{"Ontology:\nRule: <http://x/A>(?x) <http://x/B>(?x)", 2, 24,
                "expected ',' and an atom, or '->', found <http://x/B>"},
        BadCase{"Ontology:\nRule: <http://x/A>(\"x\") -> <http://x/B>(?x)", 2, 20,
                "expected an individual or a variable, found a literal"},
        BadCase{"Ontology:\nRule: xsd:integer(<http://x/a>) -> <http://x/B>(?x)", 2, 19,
                "expected a literal or a variable, found an individual"},
        BadCase{"Ontology:\nRule: <http://x/A>(?x) -> SameAs(?x)", 2, 34, "this atom takes two arguments"},
        BadCase{"Ontology:\nClass: <http://x/A> SubClassOf: <http://x/r> min -1 <http://x/B>", 2, 50,
                "expected a non-negative integer below 2^32, found '-1'"},
        BadCase{"Ontology:\nObjectProperty: <http://x/r>\nIndividual: <http://x/a> Facts: <http://x/r> 5", 3, 46,
                "expected an individual, found '5'"},
        BadCase{"Ontology:\nDatatype: <http://x/d> EquivalentTo: <http://x/d>[foo 1]", 2, 51,
                "expected a facet (length, minLength, maxLength, pattern, >=, >, <=, <, ...), found 'foo'"},
        BadCase{"Ontology:\nIndividual: <http://x/a> SameAs: Annotations: <http://x/n> \"v\"", 2, 63,
                "expected an individual, found end of input"}));

// ---- nesting -------------------------------------------------------------------------------

std::string repeat(std::string_view s, size_t n) {
  std::string out;
  out.reserve(s.size() * n);
  for (size_t i = 0; i < n; ++i) out += s;
  return out;
}

class ManchesterDeep : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(ManchesterDeep, BeyondTheBoundIsACleanError) {
  auto [open, rest] = GetParam();
  std::string text = "Prefix: : <http://x/>\nOntology:\n" + std::string(open) + repeat(rest, 200000);
  auto r = read_manchester(text);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().message, "nesting deeper than " + std::to_string(kMaxNestingDepth) + " levels");
}

INSTANTIATE_TEST_SUITE_P(Cases, ManchesterDeep,
                         ::testing::Values(std::pair{"Class: :A SubClassOf: ", "("},
                                           std::pair{"Class: :A SubClassOf: ", "not "},
                                           std::pair{"Class: :A SubClassOf: ", ":r some "},
                                           std::pair{"DataProperty: :p Range: ", "("},
                                           std::pair{"Datatype: :d EquivalentTo: ", "not "},
                                           std::pair{"Class: :A Annotations: ", "Annotations: "},
                                           std::pair{"", "Annotations: "}));

TEST(ManchesterReader, NestingWithinTheBoundIsRead) {
  // A group and a restriction are two levels each.
  const size_t n = kMaxNestingDepth / 2 - 10, m = kMaxNestingDepth - 10;
  std::string text = "Prefix: : <http://x/>\nOntology:\nClass: :A SubClassOf: " + repeat("(:r some ", n) + ":B" +
                     repeat(")", n) + "\nClass: :C Annotations: " + repeat("Annotations: ", m) + repeat(":n \"v\" ", m) + ":n \"w\"";
  auto o = read_ok(text);
  EXPECT_EQ(o.axioms.size(), 4u);  // two declarations, the subclass axiom, the annotation
  for (const auto& a : o.axioms) {
    if (auto* s = std::get_if<SubClassOf>(&a.axiom)) {
      size_t depth = 0;
      const ClassExpression* c = &s->sup;
      while (auto* some = std::get_if<ObjectSomeValuesFrom>(&c->data())) {
        ++depth;
        c = &some->filler;
      }
      EXPECT_EQ(depth, n);
    }
    if (std::holds_alternative<AnnotationAssertion>(a.axiom)) {
      size_t depth = 0;
      const AnnotationSet* set = &a.annotations;
      while (!set->empty()) {
        ++depth;
        set = &set->begin()->annotations;
      }
      EXPECT_EQ(depth, m);
    }
  }
}

}  // namespace
}  // namespace kelmon::owl
