#include <gtest/gtest.h>

#include "test_files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "owl/functional_reader.h"
#include "owl/functional_writer.h"
#include "owl/load.h"
#include "owl/rdf_xml_reader.h"
#include "owl/structural.h"
#include "reader_comparison.h"

namespace kelmon::owl {
namespace {

LoadedOntology read_ok(std::string_view text) {
  auto r = read_rdf_xml(text);
  EXPECT_TRUE(r.has_value()) << (r ? "" : r.error().to_string());
  return r ? std::move(*r) : LoadedOntology{};
}

constexpr std::string_view kHead =
    "<?xml version=\"1.0\"?>\n"
    "<rdf:RDF xmlns=\"http://x/\" xml:base=\"http://x/\"\n"
    "  xmlns:owl=\"http://www.w3.org/2002/07/owl#\"\n"
    "  xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"\n"
    "  xmlns:rdfs=\"http://www.w3.org/2000/01/rdf-schema#\"\n"
    "  xmlns:xsd=\"http://www.w3.org/2001/XMLSchema#\">\n";

std::string wrap(std::string_view body) {
  return std::string(kHead) + std::string(body) + "\n</rdf:RDF>\n";
}

// Axioms in functional syntax, read with the functional reader ("Prefix(:=<http://x/>)").
AxiomSet functional(std::string_view axioms, std::string_view base = "http://x/") {
  std::string doc = "Prefix(:=<" + std::string(base) + ">)\nPrefix(xsd:=<http://www.w3.org/2001/XMLSchema#>)\n"
                    "Prefix(owl:=<http://www.w3.org/2002/07/owl#>)\n"
                    "Prefix(rdfs:=<http://www.w3.org/2000/01/rdf-schema#>)\nOntology(\n" +
                    std::string(axioms) + "\n)\n";
  auto r = read_functional(doc);
  EXPECT_TRUE(r.has_value()) << (r ? "" : r.error().to_string());
  return r ? std::move(r->axioms) : AxiomSet{};
}

// The axioms of `a` missing from `b`, in functional syntax.
std::vector<std::string> written_missing(const AxiomSet& a, const AxiomSet& b) {
  std::vector<std::string> out;
  for (const auto& ax : a)
    if (!b.contains(ax)) out.push_back(write_functional_axiom(ax));
  return out;
}

// ---- The same model as the functional-syntax reader ----------------------------------------

constexpr std::string_view kAll = "http://example.org/all#";

TEST(RdfXmlReader, FixtureEqualsTheFunctionalFixtureBeyondWhatRdfCannotCarry) {
  auto rdf = read_ok(fixture("owl/all_constructs.rdf"));
  auto ofn = read_functional(fixture("owl/all_constructs.ofn"));
  ASSERT_TRUE(ofn.has_value()) << ofn.error().to_string();
  AxiomSet expected = canonical_axioms(ofn->axioms);
  // What an RDF graph cannot hold as the functional document writes it:
  // - SubClassOf(:A :B) is there plain and annotated: both have the one main triple, and
  //   its reification makes it the annotated axiom only;
  // - EquivalentClasses(:A :B :C) has no n-ary form in RDF: the document gives two pairs;
  // - ObjectPropertyAssertion(ObjectInverseOf(:r) :b _:n1) is the triple _:n1 :r :b;
  // - DL-safe rules have no mapping to RDF graphs.
  AxiomSet differences = canonical_axioms(functional(
      "SubClassOf(:A :B)\n"
      "EquivalentClasses(:A :B :C)\n"
      "ObjectPropertyAssertion(ObjectInverseOf(:r) :b _:n1)\n",
      kAll));
  AxiomSet adjusted;
  for (const auto& a : expected) {
    if (differences.contains(a) || kind_of(a.axiom) == AxiomKind::Rule) continue;
    adjusted.insert(a);
  }
  for (const auto& a : canonical_axioms(functional("EquivalentClasses(:A :B)\nEquivalentClasses(:B :C)\n"
                                                "ObjectPropertyAssertion(:r _:n1 :b)\n",
                                                kAll)))
    adjusted.insert(a);
  AxiomSet got = canonical_axioms(rdf.axioms);
  EXPECT_EQ(written_missing(got, adjusted), std::vector<std::string>{});
  EXPECT_EQ(written_missing(adjusted, got), std::vector<std::string>{});
  EXPECT_TRUE(rdf.prefixes.empty());
}

struct CorpusPair {
  const char* rdf;
  const char* ofn;
};

class RdfXmlCorpusPair : public ::testing::TestWithParam<CorpusPair> {};

// The logical axioms agree exactly. pizza also agrees in declarations and annotations;
// wine's RDF document (OWL 1) types its individuals only by their classes, so the
// functional version's NamedIndividual declarations are not in it; bfo-core's two
// documents name different version IRIs.
TEST_P(RdfXmlCorpusPair, HasTheLogicalAxiomsOfTheFunctionalSyntaxVersion) {
  auto rdf = read_ok(slurp(corpus(GetParam().rdf)));
  auto ofn = read_functional(slurp(corpus(GetParam().ofn)));
  ASSERT_TRUE(ofn.has_value()) << ofn.error().to_string();
  AxiomSet a = logical_axioms(rdf.axioms), b = logical_axioms(ofn->axioms);
  EXPECT_GT(a.size(), 150u);
  EXPECT_EQ(written_missing(a, b), std::vector<std::string>{});
  EXPECT_EQ(written_missing(b, a), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Corpus, RdfXmlCorpusPair,
                         ::testing::Values(CorpusPair{"pizza.rdf", "pizza.ofn"},
                                           CorpusPair{"wine.rdf", "wine.ofn"},
                                           CorpusPair{"bfo-core.rdf", "bfo-core.ofn"}));

TEST(RdfXmlReader, PizzaAgreesInEverythingButTheOntologyHeader) {
  auto rdf = read_ok(slurp(corpus("pizza.rdf")));
  auto ofn = read_functional(slurp(corpus("pizza.ofn")));
  ASSERT_TRUE(ofn.has_value());
  AxiomSet a = canonical_axioms(rdf.axioms), b = canonical_axioms(ofn->axioms);
  EXPECT_EQ(written_missing(a, b), std::vector<std::string>{});
  EXPECT_EQ(written_missing(b, a), std::vector<std::string>{});
}

TEST(RdfXmlReader, WineDiffersOnlyInIndividualDeclarations) {
  auto rdf = read_ok(slurp(corpus("wine.rdf")));
  auto ofn = read_functional(slurp(corpus("wine.ofn")));
  ASSERT_TRUE(ofn.has_value());
  AxiomSet a = canonical_axioms(rdf.axioms), b = canonical_axioms(ofn->axioms);
  EXPECT_EQ(written_missing(a, b), std::vector<std::string>{});
  auto only_ofn = written_missing(b, a);
  EXPECT_FALSE(only_ofn.empty());
  for (const auto& s : only_ofn) EXPECT_TRUE(s.starts_with("Declaration(NamedIndividual(")) << s;
}

TEST(RdfXmlReader, ReadsEveryCorpusDocument) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus(""))) {
    auto ext = entry.path().extension();
    if (ext != ".rdf" && ext != ".owl") continue;
    ++files;
    auto r = read_rdf_xml(slurp(entry.path()));
    ASSERT_TRUE(r.has_value()) << entry.path() << ": " << r.error().to_string();
    EXPECT_GT(r->axioms.size(), 50u) << entry.path();
  }
  EXPECT_GE(files, 9);
}

std::filesystem::path conformance() {
  return std::filesystem::path(KELMON_CORPUS_DIR).parent_path() / "owl2-conformance";
}

// Every RDF/XML document of the conformance cases reads; where a case has the same
// document in functional syntax too, the logical axioms agree, except for n-ary
// SameIndividual, which RDF graphs carry as pairs (FS2RDF-no-builtin-prefixes-ar).
TEST(RdfXmlReader, ReadsEveryConformanceDocumentAndAgreesWithItsFunctionalTwin) {
  int files = 0, pairs = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(conformance())) {
    if (entry.path().extension() != ".rdf") continue;
    ++files;
    auto r = read_rdf_xml(slurp(entry.path()));
    ASSERT_TRUE(r.has_value()) << entry.path() << ": " << r.error().to_string();
    auto twin = entry.path();
    twin.replace_extension(".ofn");
    if (!std::filesystem::exists(twin) ||
        entry.path().parent_path().filename() == "FS2RDF-no-builtin-prefixes-ar")
      continue;
    auto ofn = read_functional(slurp(twin));
    ASSERT_TRUE(ofn.has_value()) << twin << ": " << ofn.error().to_string();
    ++pairs;
    AxiomSet a = logical_axioms(r->axioms), b = logical_axioms(ofn->axioms);
    EXPECT_EQ(written_missing(a, b), std::vector<std::string>{}) << entry.path();
    EXPECT_EQ(written_missing(b, a), std::vector<std::string>{}) << entry.path();
  }
  EXPECT_GE(files, 200);
  EXPECT_GE(pairs, 10);
}

TEST(RdfXmlReader, LoadsThroughTheFormatNamesAndExtensions) {
  for (const char* format : {"rdf-xml", "rdf"}) {
    auto r = parse_ontology_text(wrap("<owl:Class rdf:about=\"A\"/>"), format);
    ASSERT_TRUE(r.has_value()) << r.error();
    EXPECT_EQ(r->axioms.size(), 1u);
  }
  auto bad = parse_ontology_text("<rdf:RDF", "rdf");
  ASSERT_FALSE(bad.has_value());
  EXPECT_TRUE(bad.error().starts_with("parse rdf: ")) << bad.error();
  auto loaded = load_ontology_with_prefixes(corpus("koala.rdf").string());
  ASSERT_TRUE(loaded.has_value()) << loaded.error();
  EXPECT_TRUE(loaded->prefixes.empty());
}

// ---- Single constructs: the RDF snippet and the axioms it must give --------------------------

struct MappingCase {
  const char* name;
  const char* rdf;
  const char* expected;  // functional syntax, exactly the axioms read (declarations included)
};

class RdfXmlMapping : public ::testing::TestWithParam<MappingCase> {};

TEST_P(RdfXmlMapping, GivesExactlyTheExpectedAxioms) {
  auto got = canonical_axioms(read_ok(wrap(GetParam().rdf)).axioms);
  auto want = canonical_axioms(functional(GetParam().expected));
  EXPECT_EQ(written_missing(got, want), std::vector<std::string>{});
  EXPECT_EQ(written_missing(want, got), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Constructs, RdfXmlMapping,
    ::testing::Values(
        MappingCase{"AllDisjointClassesWithAnnotation",
                    R"(<owl:AllDisjointClasses><rdfs:comment>d</rdfs:comment>
                       <owl:members rdf:parseType="Collection">
                         <rdf:Description rdf:about="A"/><rdf:Description rdf:about="B"/>
                         <owl:Restriction><owl:onProperty rdf:resource="r"/><owl:someValuesFrom rdf:resource="C"/></owl:Restriction>
                       </owl:members></owl:AllDisjointClasses>)",
                    "DisjointClasses(Annotation(rdfs:comment \"d\") :A :B ObjectSomeValuesFrom(:r :C))"},
        MappingCase{"AllDisjointDataProperties",
                    R"(<owl:DatatypeProperty rdf:about="p"/>
                       <owl:AllDisjointProperties><owl:members rdf:parseType="Collection">
                         <rdf:Description rdf:about="p"/><rdf:Description rdf:about="q"/>
                       </owl:members></owl:AllDisjointProperties>)",
                    "Declaration(DataProperty(:p)) DisjointDataProperties(:p :q)"},
        MappingCase{"AllDisjointObjectProperties",
                    R"(<owl:AllDisjointProperties><owl:members rdf:parseType="Collection">
                         <rdf:Description rdf:about="r"/><rdf:Description rdf:about="s"/><rdf:Description rdf:about="t"/>
                       </owl:members></owl:AllDisjointProperties>)",
                    "DisjointObjectProperties(:r :s :t)"},
        MappingCase{"AllDifferentWithOwl1DistinctMembers",
                    R"(<owl:AllDifferent><owl:distinctMembers rdf:parseType="Collection">
                         <rdf:Description rdf:about="a"/><rdf:Description rdf:about="b"/>
                       </owl:distinctMembers></owl:AllDifferent>)",
                    "DifferentIndividuals(:a :b)"},
        MappingCase{"NegativeAssertionWithAnnotation",
                    R"(<owl:NegativePropertyAssertion><rdfs:label>n</rdfs:label>
                         <owl:sourceIndividual rdf:resource="a"/><owl:assertionProperty rdf:resource="r"/>
                         <owl:targetIndividual rdf:nodeID="x1"/></owl:NegativePropertyAssertion>)",
                    "NegativeObjectPropertyAssertion(Annotation(rdfs:label \"n\") :r :a _:x1)"},
        MappingCase{"ReifiedAxiomWithNestedAnnotation",
                    R"(<rdf:Description rdf:about="A"><rdfs:subClassOf rdf:resource="B"/></rdf:Description>
                       <owl:Axiom rdf:nodeID="ax"><owl:annotatedSource rdf:resource="A"/>
                         <owl:annotatedProperty rdf:resource="http://www.w3.org/2000/01/rdf-schema#subClassOf"/>
                         <owl:annotatedTarget rdf:resource="B"/><rdfs:comment>c</rdfs:comment></owl:Axiom>
                       <owl:Annotation><owl:annotatedSource rdf:nodeID="ax"/>
                         <owl:annotatedProperty rdf:resource="http://www.w3.org/2000/01/rdf-schema#comment"/>
                         <owl:annotatedTarget>c</owl:annotatedTarget><rdfs:label>inner</rdfs:label></owl:Annotation>)",
                    "SubClassOf(Annotation(Annotation(rdfs:label \"inner\") rdfs:comment \"c\") :A :B)"},
        MappingCase{"ReifiedAxiomWithACopiedBlankTarget",
                    R"(<rdf:Description rdf:about="A"><rdfs:subClassOf><owl:Restriction>
                         <owl:onProperty rdf:resource="r"/><owl:someValuesFrom rdf:resource="B"/></owl:Restriction>
                       </rdfs:subClassOf></rdf:Description>
                       <owl:Axiom><owl:annotatedSource rdf:resource="A"/>
                         <owl:annotatedProperty rdf:resource="http://www.w3.org/2000/01/rdf-schema#subClassOf"/>
                         <owl:annotatedTarget><owl:Restriction><owl:onProperty rdf:resource="r"/>
                           <owl:someValuesFrom rdf:resource="B"/></owl:Restriction></owl:annotatedTarget>
                         <rdfs:comment>c</rdfs:comment></owl:Axiom>)",
                    "SubClassOf(Annotation(rdfs:comment \"c\") :A ObjectSomeValuesFrom(:r :B))"},
        MappingCase{"AnnotatedDeclaration",
                    R"(<owl:Class rdf:about="A"/>
                       <owl:Axiom><owl:annotatedSource rdf:resource="A"/>
                         <owl:annotatedProperty rdf:resource="http://www.w3.org/1999/02/22-rdf-syntax-ns#type"/>
                         <owl:annotatedTarget rdf:resource="http://www.w3.org/2002/07/owl#Class"/>
                         <rdfs:comment>c</rdfs:comment></owl:Axiom>)",
                    "Declaration(Annotation(rdfs:comment \"c\") Class(:A))"},
        MappingCase{"Owl1NamedBooleanClasses",
                    R"(<owl:Class rdf:about="A"><owl:intersectionOf rdf:parseType="Collection">
                         <rdf:Description rdf:about="B"/><rdf:Description rdf:about="C"/></owl:intersectionOf></owl:Class>
                       <owl:Class rdf:about="D"><owl:oneOf rdf:parseType="Collection">
                         <rdf:Description rdf:about="a"/></owl:oneOf></owl:Class>
                       <owl:Class rdf:about="E"><owl:complementOf rdf:resource="B"/></owl:Class>)",
                    "Declaration(Class(:A)) Declaration(Class(:D)) Declaration(Class(:E))"
                    "EquivalentClasses(:A ObjectIntersectionOf(:B :C)) EquivalentClasses(:D ObjectOneOf(:a))"
                    "EquivalentClasses(:E ObjectComplementOf(:B))"},
        MappingCase{"Owl1NamedClassWithSeveralDefinitions",
                    R"(<owl:Class rdf:about="A"><owl:oneOf rdf:parseType="Collection">
                         <rdf:Description rdf:about="a"/><rdf:Description rdf:about="b"/></owl:oneOf>
                       <owl:oneOf rdf:parseType="Collection">
                         <rdf:Description rdf:about="c"/><rdf:Description rdf:about="d"/></owl:oneOf></owl:Class>
                       <owl:Class rdf:about="E"><owl:intersectionOf rdf:parseType="Collection">
                         <rdf:Description rdf:about="B"/><rdf:Description rdf:about="C"/></owl:intersectionOf>
                       <owl:unionOf rdf:parseType="Collection">
                         <owl:Class><owl:complementOf rdf:resource="B"/></owl:Class><rdf:Description rdf:about="C"/>
                       </owl:unionOf></owl:Class>)",
                    "Declaration(Class(:A)) Declaration(Class(:E))"
                    "EquivalentClasses(:A ObjectOneOf(:a :b)) EquivalentClasses(:A ObjectOneOf(:c :d))"
                    "EquivalentClasses(:E ObjectIntersectionOf(:B :C))"
                    "EquivalentClasses(:E ObjectUnionOf(ObjectComplementOf(:B) :C))"},
        MappingCase{"Owl1DataRangeAndDeprecatedClass",
                    R"(<owl:DatatypeProperty rdf:about="p"><rdfs:range><owl:DataRange><owl:oneOf>
                         <rdf:Description><rdf:first>x</rdf:first>
                           <rdf:rest rdf:resource="http://www.w3.org/1999/02/22-rdf-syntax-ns#nil"/></rdf:Description>
                       </owl:oneOf></owl:DataRange></rdfs:range></owl:DatatypeProperty>
                       <owl:DeprecatedClass rdf:about="Old"/>)",
                    "Declaration(DataProperty(:p)) DataPropertyRange(:p DataOneOf(\"x\"))"
                    "Declaration(Class(:Old)) AnnotationAssertion(owl:deprecated :Old \"true\"^^xsd:boolean)"},
        MappingCase{"UnqualifiedCardinalities",
                    R"(<owl:DatatypeProperty rdf:about="p"/>
                       <owl:Restriction><owl:onProperty rdf:resource="r"/>
                         <owl:cardinality rdf:datatype="http://www.w3.org/2001/XMLSchema#nonNegativeInteger">2</owl:cardinality>
                         <rdfs:subClassOf><owl:Restriction><owl:onProperty rdf:resource="p"/>
                           <owl:minCardinality rdf:datatype="http://www.w3.org/2001/XMLSchema#nonNegativeInteger">1</owl:minCardinality>
                         </owl:Restriction></rdfs:subClassOf></owl:Restriction>)",
                    "Declaration(DataProperty(:p))"
                    "SubClassOf(ObjectExactCardinality(2 :r owl:Thing) DataMinCardinality(1 :p rdfs:Literal))"},
        MappingCase{"UndeclaredPropertiesFollowTheirUse",
                    R"(<rdf:Description rdf:about="a"><rdf:type rdf:resource="A"/>
                         <u rdf:resource="b"/><v>7</v></rdf:Description>
                       <rdf:Description rdf:about="b"><rdf:type rdf:resource="A"/></rdf:Description>
                       <rdf:Description rdf:about="A"><w>note</w></rdf:Description>
                       <rdf:Description rdf:about="d"><rdfs:range rdf:resource="http://www.w3.org/2001/XMLSchema#string"/></rdf:Description>)",
                    "ClassAssertion(:A :a) ClassAssertion(:A :b) ObjectPropertyAssertion(:u :a :b)"
                    "DataPropertyAssertion(:v :a \"7\") AnnotationAssertion(:w :A \"note\")"
                    "DataPropertyRange(:d xsd:string)"},
        MappingCase{"UndeclaredKeyPropertiesFollowTheirUse",
                    R"(<rdf:Description rdf:about="A"><owl:hasKey rdf:parseType="Collection">
                         <rdf:Description rdf:about="ssn"/><rdf:Description rdf:about="boss"/></owl:hasKey></rdf:Description>
                       <rdf:Description rdf:about="a"><rdf:type rdf:resource="A"/><ssn>1</ssn>
                         <boss rdf:resource="b"/></rdf:Description>)",
                    "HasKey(:A (:boss) (:ssn)) ClassAssertion(:A :a) DataPropertyAssertion(:ssn :a \"1\")"
                    "ObjectPropertyAssertion(:boss :a :b)"},
        MappingCase{"AnonymousIndividualsKeepTheirNodeId",
                    R"(<owl:ObjectProperty rdf:about="r"/>
                       <rdf:Description rdf:nodeID="x7"><rdf:type rdf:resource="A"/><r rdf:nodeID="x8"/></rdf:Description>)",
                    "Declaration(ObjectProperty(:r)) ClassAssertion(:A _:x7) ObjectPropertyAssertion(:r _:x7 _:x8)"},
        MappingCase{"TriplesNoPatternReadsAreLeftOut",
                    R"(<rdf:Description rdf:about="A"><rdfs:subClassOf>literal</rdfs:subClassOf>
                         <owl:onProperty rdf:resource="r"/><rdfs:member rdf:resource="B"/></rdf:Description>
                       <owl:Restriction><owl:onProperty rdf:resource="r"/><rdfs:subClassOf rdf:resource="B"/></owl:Restriction>
                       <owl:Class rdf:about="C"/>)",
                    "Declaration(Class(:C))"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Malformed lists and structures: the axiom is dropped, the rest is read -------------

class RdfXmlDroppedStructure : public ::testing::TestWithParam<MappingCase> {};

TEST_P(RdfXmlDroppedStructure, DropsOnlyTheUnreadableAxiom) {
  std::string body = std::string(GetParam().rdf) + "<owl:Class rdf:about=\"Kept\"/>";
  auto got = canonical_axioms(read_ok(wrap(body)).axioms);
  auto want = canonical_axioms(functional(std::string(GetParam().expected) + " Declaration(Class(:Kept))"));
  EXPECT_EQ(written_missing(got, want), std::vector<std::string>{});
  EXPECT_EQ(written_missing(want, got), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, RdfXmlDroppedStructure,
    ::testing::Values(
        MappingCase{"CyclicList",
                    R"(<rdf:Description rdf:about="A"><owl:disjointUnionOf rdf:nodeID="l1"/></rdf:Description>
                       <rdf:Description rdf:nodeID="l1"><rdf:first rdf:resource="B"/><rdf:rest rdf:nodeID="l2"/></rdf:Description>
                       <rdf:Description rdf:nodeID="l2"><rdf:first rdf:resource="C"/><rdf:rest rdf:nodeID="l1"/></rdf:Description>)",
                    ""},
        MappingCase{"SelfLoopList",
                    R"(<owl:AllDifferent><owl:members rdf:nodeID="l1"/></owl:AllDifferent>
                       <rdf:Description rdf:nodeID="l1"><rdf:first rdf:resource="a"/><rdf:rest rdf:nodeID="l1"/></rdf:Description>)",
                    ""},
        MappingCase{"ListWithTwoFirsts",
                    R"(<rdf:Description rdf:about="A"><owl:disjointUnionOf rdf:nodeID="l1"/></rdf:Description>
                       <rdf:Description rdf:nodeID="l1"><rdf:first rdf:resource="B"/><rdf:first rdf:resource="C"/>
                         <rdf:rest rdf:resource="http://www.w3.org/1999/02/22-rdf-syntax-ns#nil"/></rdf:Description>)",
                    ""},
        MappingCase{"ListWithoutNil",
                    R"(<rdf:Description rdf:about="A"><owl:disjointUnionOf rdf:nodeID="l1"/></rdf:Description>
                       <rdf:Description rdf:nodeID="l1"><rdf:first rdf:resource="B"/></rdf:Description>)",
                    ""},
        MappingCase{"CyclicComplements",
                    R"(<rdf:Description rdf:about="A"><rdfs:subClassOf rdf:nodeID="c1"/></rdf:Description>
                       <owl:Class rdf:nodeID="c1"><owl:complementOf rdf:nodeID="c2"/></owl:Class>
                       <owl:Class rdf:nodeID="c2"><owl:complementOf rdf:nodeID="c1"/></owl:Class>)",
                    ""},
        MappingCase{"ReificationLoop",
                    R"(<rdf:Description rdf:about="A"><rdfs:subClassOf rdf:resource="B"/></rdf:Description>
                       <owl:Axiom rdf:nodeID="ax"><owl:annotatedSource rdf:resource="A"/>
                         <owl:annotatedProperty rdf:resource="http://www.w3.org/2000/01/rdf-schema#subClassOf"/>
                         <owl:annotatedTarget rdf:resource="B"/><rdfs:seeAlso rdf:nodeID="an"/></owl:Axiom>
                       <owl:Annotation rdf:nodeID="an"><owl:annotatedSource rdf:nodeID="ax"/>
                         <owl:annotatedProperty rdf:resource="http://www.w3.org/2000/01/rdf-schema#seeAlso"/>
                         <owl:annotatedTarget rdf:nodeID="an"/><rdfs:seeAlso rdf:nodeID="an"/></owl:Annotation>)",
                    "SubClassOf(Annotation(Annotation(rdfs:seeAlso _:an) rdfs:seeAlso _:an) :A :B)"},
        MappingCase{"BadCardinality",
                    R"(<owl:Restriction><owl:onProperty rdf:resource="r"/>
                         <owl:minCardinality>-1</owl:minCardinality><rdfs:subClassOf rdf:resource="B"/></owl:Restriction>
                       <owl:Restriction><owl:onProperty rdf:resource="r"/>
                         <owl:minCardinality>99999999999</owl:minCardinality><rdfs:subClassOf rdf:resource="B"/></owl:Restriction>)",
                    ""}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Bad documents: a clean error naming the place ------------------------------------------

struct BadDocument {
  const char* name;
  std::string text;
  uint32_t line;  // 0: any line
};

class RdfXmlBadDocument : public ::testing::TestWithParam<BadDocument> {};

TEST_P(RdfXmlBadDocument, FailsWithAMessage) {
  auto r = read_rdf_xml(GetParam().text);
  ASSERT_FALSE(r.has_value());
  EXPECT_FALSE(r.error().message.empty());
  if (GetParam().line) {
    EXPECT_EQ(r.error().line, GetParam().line) << r.error().to_string();
  }
}

std::string truncated_pizza() {
  std::string s = slurp(corpus("pizza.rdf"));
  return s.substr(0, s.size() / 2);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, RdfXmlBadDocument,
    ::testing::Values(BadDocument{"Empty", "", 0}, BadDocument{"NotXml", "hello world", 0},
                      BadDocument{"Truncated", truncated_pizza(), 0},
                      BadDocument{"UnclosedElement", wrap("<owl:Class rdf:about=\"A\">\n<rdfs:label>x</rdfs:label>"), 0},
                      BadDocument{"MismatchedTag", wrap("<owl:Class rdf:about=\"A\">\n</owl:Restriction>"), 8},
                      BadDocument{"BadRdfAttribute", wrap("<owl:Class rdf:about=\"A\" rdf:nodeID=\"n\"/>"), 0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Limits and security ---------------------------------------------------------------------

std::string nested_complements_flat(int depth) {
  std::string body = "<owl:Class rdf:about=\"A\"><rdfs:subClassOf rdf:nodeID=\"n0\"/></owl:Class>\n";
  for (int i = 0; i < depth; ++i)
    body += "<owl:Class rdf:nodeID=\"n" + std::to_string(i) + "\"><owl:complementOf rdf:nodeID=\"n" +
            std::to_string(i + 1) + "\"/></owl:Class>\n";
  body += "<owl:Class rdf:nodeID=\"n" + std::to_string(depth) + "\"><owl:complementOf rdf:resource=\"B\"/></owl:Class>\n";
  return wrap(body);
}

size_t complement_depth(const ClassExpression& c) {
  size_t d = 0;
  const ClassExpression* at = &c;
  while (auto* n = std::get_if<ObjectComplementOf>(&at->data())) {
    ++d;
    at = &n->operand;
  }
  return d;
}

TEST(RdfXmlReader, DeepBlankNodeChainsWithinTheLimitAreRead) {
  auto o = read_ok(nested_complements_flat(5000));
  size_t found = 0;
  for (const auto& a : o.axioms)
    if (auto* s = std::get_if<SubClassOf>(&a.axiom)) found = complement_depth(s->sup);
  EXPECT_EQ(found, 5001u);
}

TEST(RdfXmlReader, BlankNodeChainsDeeperThanTheLimitFailCleanly) {
  auto r = read_rdf_xml(nested_complements_flat(100000));
  ASSERT_FALSE(r.has_value());
  EXPECT_NE(r.error().message.find("nesting deeper than"), std::string::npos) << r.error().message;
}

TEST(RdfXmlReader, DeeplyNestedElementsFailCleanly) {
  const int depth = 100000;
  std::string body = "<owl:Class rdf:about=\"A\"><rdfs:subClassOf>";
  for (int i = 0; i < depth; ++i) body += "<owl:Class><owl:complementOf>";
  body += "<owl:Class rdf:about=\"B\"/>";
  for (int i = 0; i < depth; ++i) body += "</owl:complementOf></owl:Class>";
  body += "</rdfs:subClassOf></owl:Class>";
  auto r = read_rdf_xml(wrap(body));
  ASSERT_FALSE(r.has_value());
  EXPECT_NE(r.error().message.find("nested deeper than"), std::string::npos) << r.error().message;
  EXPECT_EQ(r.error().line, 7u);
}

TEST(RdfXmlReader, NestedElementsInCommentsAndValuesDoNotCount) {
  std::string many(30000, 'x');
  std::string opens;
  for (int i = 0; i < 12000; ++i) opens += "<a>";
  auto o = read_ok(wrap("<!-- " + opens + " -->\n<owl:Class rdf:about=\"A\"><rdfs:label>" + many +
                        "</rdfs:label><rdfs:comment><![CDATA[" + opens + "]]></rdfs:comment></owl:Class>"));
  EXPECT_EQ(o.axioms.size(), 3u);
}

TEST(RdfXmlReader, ExternalEntitiesAreNeverRead) {
  auto secret = std::filesystem::temp_directory_path() / "kelmon_rdf_secret.txt";
  {
    std::ofstream out(secret);
    out << "TOPSECRET-42";
  }
  std::string doc = "<?xml version=\"1.0\"?>\n<!DOCTYPE rdf:RDF [ <!ENTITY s SYSTEM \"file://" + secret.string() +
                    "\"> ]>\n" + wrap("<rdf:Description rdf:about=\"A\"><rdfs:label>v=&s;</rdfs:label></rdf:Description>")
                                       .substr(22);
  auto r = read_rdf_xml(doc);
  std::filesystem::remove(secret);
  if (!r) return;  // refusing the document is as good as not reading the file
  for (const auto& a : r->axioms) {
    std::string text = write_functional_axiom(a);
    EXPECT_EQ(text.find("TOPSECRET"), std::string::npos) << text;
  }
}

TEST(RdfXmlReader, EntityExpansionIsBounded) {
  std::string doc = "<?xml version=\"1.0\"?>\n<!DOCTYPE rdf:RDF [\n<!ENTITY l0 \"lol\">\n";
  for (int i = 1; i < 10; ++i) {
    doc += "<!ENTITY l" + std::to_string(i) + " \"";
    for (int j = 0; j < 10; ++j) doc += "&l" + std::to_string(i - 1) + ";";
    doc += "\">\n";
  }
  doc += "]>\n" + wrap("<rdf:Description rdf:about=\"A\"><rdfs:label>&l9;</rdfs:label></rdf:Description>").substr(22);
  auto r = read_rdf_xml(doc);
  if (!r) return;
  for (const auto& a : r->axioms) {
    auto* an = std::get_if<AnnotationAssertion>(&a.axiom);
    if (!an) continue;
    auto* l = std::get_if<Literal>(&an->value);
    ASSERT_NE(l, nullptr);
    EXPECT_LT(l->lexical.size(), 10'000'000u);
  }
}

TEST(RdfXmlReader, LanguageTagsKeepTheirCaseAndLiteralsTheirForm) {
  auto o = read_ok(wrap(R"(<owl:DatatypeProperty rdf:about="q"/>
      <rdf:Description rdf:about="a"><q xml:lang="en-GB">t</q><q>p</q>
      <q rdf:datatype="http://www.w3.org/2001/XMLSchema#string">p</q></rdf:Description>)"));
  auto want = canonical_axioms(functional(
      "Declaration(DataProperty(:q)) DataPropertyAssertion(:q :a \"t\"@en-GB)"
      "DataPropertyAssertion(:q :a \"p\") DataPropertyAssertion(:q :a \"p\"^^xsd:string)"));
  EXPECT_EQ(written_missing(canonical_axioms(o.axioms), want), std::vector<std::string>{});
  EXPECT_EQ(written_missing(want, canonical_axioms(o.axioms)), std::vector<std::string>{});
}

TEST(RdfXmlReader, OntologyHeaderImportsAndAnnotations) {
  auto o = read_ok(wrap(R"(<owl:Ontology rdf:about="http://x/o"><owl:versionIRI rdf:resource="http://x/o/2"/>
      <owl:imports rdf:resource="http://x/i"/><rdfs:comment>c</rdfs:comment></owl:Ontology>
      <owl:Ontology rdf:about="http://x/i"/>)"));
  auto want = canonical_axioms(read_functional(
                                "Ontology(<http://x/o> <http://x/o/2> Import(<http://x/i>) "
                                "Annotation(<http://www.w3.org/2000/01/rdf-schema#comment> \"c\"))")
                                ->axioms);
  EXPECT_EQ(written_missing(canonical_axioms(o.axioms), want), std::vector<std::string>{});
  EXPECT_EQ(written_missing(want, canonical_axioms(o.axioms)), std::vector<std::string>{});
}

}  // namespace
}  // namespace kelmon::owl
