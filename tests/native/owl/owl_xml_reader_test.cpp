#include <gtest/gtest.h>

#include "test_files.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "owl/functional_reader.h"
#include "owl/load.h"
#include "owl/owl_xml_reader.h"
#include "owl/reader_comparison.h"
#include "owl/structural.h"
#include "owl/vocabulary.h"

namespace kelmon::owl {
namespace {

LoadedOntology read_ok(std::string_view text) {
  auto r = read_owl_xml(text);
  EXPECT_TRUE(r.has_value()) << (r ? "" : r.error().to_string());
  return r ? std::move(*r) : LoadedOntology{};
}

constexpr std::string_view kHead =
    "<?xml version=\"1.0\"?>\n"
    "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" xml:base=\"http://x/o\">\n"
    "<Prefix name=\"\" IRI=\"http://x/\"/>\n";

std::string wrap(std::string_view body) {
  return std::string(kHead) + std::string(body) + "\n</Ontology>\n";
}

const Axiom* only_axiom_of(const LoadedOntology& o, AxiomKind kind) {
  const Axiom* found = nullptr;
  for (const auto& a : o.axioms) {
    if (kind_of(a.axiom) != kind) continue;
    EXPECT_EQ(found, nullptr) << "more than one axiom of the kind";
    found = &a.axiom;
  }
  return found;
}

// ---- the same model as the functional-syntax reader -------------------------------------

TEST(OwlXmlReader, FixtureEqualsTheFunctionalFixtureAxiomForAxiom) {
  auto xml = read_ok(fixture("owl/all_constructs.owx"));
  auto ofn = read_functional(fixture("owl/all_constructs.ofn"));
  ASSERT_TRUE(ofn.has_value()) << ofn.error().to_string();
  EXPECT_EQ(missing_from(xml.axioms, ofn->axioms), std::vector<std::string>{});
  EXPECT_EQ(missing_from(ofn->axioms, xml.axioms), std::vector<std::string>{});
  EXPECT_EQ(xml.axioms.size(), ofn->axioms.size());
  EXPECT_EQ(xml.prefixes, ofn->prefixes);
}

TEST(OwlXmlReader, FixtureHoldsEveryComponentKind) {
  auto o = read_ok(fixture("owl/all_constructs.owx"));
  std::set<size_t> kinds;
  for (const auto& a : o.axioms) kinds.insert(a.axiom.index());
  EXPECT_EQ(kinds.size(), std::variant_size_v<Axiom>);
}

TEST(OwlXmlReader, PizzaHasTheLogicalAxiomsOfItsFunctionalSyntaxVersion) {
  auto xml = read_ok(slurp(corpus("pizza.owx")));
  auto ofn = read_functional(slurp(corpus("pizza.ofn")));
  ASSERT_TRUE(ofn.has_value()) << ofn.error().to_string();
  AxiomSet a = logical_axioms(xml.axioms), b = logical_axioms(ofn->axioms);
  EXPECT_GT(a.size(), 500u);
  EXPECT_EQ(missing_from(a, b), std::vector<std::string>{});
  EXPECT_EQ(missing_from(b, a), std::vector<std::string>{});

  // Beyond the logical axioms the two documents themselves differ (see
  // pizza_differences_from_functional).
  AxiomSet all_xml = canonical_axioms(xml.axioms), all_ofn = canonical_axioms(ofn->axioms);
  auto expected = pizza_differences_from_functional();
  EXPECT_EQ(described_missing(all_xml, all_ofn), expected.only_other);
  EXPECT_EQ(described_missing(all_ofn, all_xml), expected.only_functional);
  EXPECT_EQ(xml.prefixes, ofn->prefixes);
}

TEST(OwlXmlReader, ReadsEveryCorpusDocument) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus(""))) {
    if (entry.path().extension() != ".owx") continue;
    ++files;
    auto r = read_owl_xml(slurp(entry.path()));
    ASSERT_TRUE(r.has_value()) << entry.path() << ": " << r.error().to_string();
    EXPECT_GT(r->axioms.size(), 100u) << entry.path();
  }
  EXPECT_GE(files, 5);
}

TEST(OwlXmlReader, LoadingChoosesItForOwxAndNamesTheFormatInErrors) {
  auto ok = parse_ontology_text(wrap("<Declaration><Class IRI=\"#A\"/></Declaration>"), "owx");
  ASSERT_TRUE(ok) << ok.error();
  EXPECT_EQ(ok->prefixes.at(""), "http://x/");
  auto path = corpus("primer.owx");
  auto loaded = load_ontology(path.string());
  ASSERT_TRUE(loaded) << loaded.error();
  EXPECT_GT(loaded->axioms.size(), 100u);
  auto bad = parse_ontology_text(wrap("<SubClassOf/>"), "owx");
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error(),
            "parse owx: line 4, column 14: expected a class expression in <SubClassOf>, found its end");
}

// ---- IRIs, prefixes and literals ------------------------------------------------------

TEST(OwlXmlReader, RelativeIrisResolveAgainstTheInnermostXmlBase) {
  auto o = read_ok(
      "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" xml:base=\"http://x/dir/o\">\n"
      "<SubClassOf xml:base=\"http://y/other/\"><Class IRI=\"A\"/><Class IRI=\"../B\"/></SubClassOf>\n"
      "<SubClassOf><Class IRI=\"C\"/><Class IRI=\"#D\"/></SubClassOf>\n"
      "<SubClassOf><Class IRI=\"urn:e:E\"/><Class IRI=\"http://z/./F\"/></SubClassOf>\n"
      "</Ontology>");
  std::set<std::pair<std::string, std::string>> got;
  for (const auto& a : o.axioms) {
    const auto& s = std::get<SubClassOf>(a.axiom);
    got.emplace(std::get<Class>(s.sub.data()).iri.str(), std::get<Class>(s.sup.data()).iri.str());
  }
  std::set<std::pair<std::string, std::string>> want = {
      {"http://y/other/A", "http://y/B"},
      // The base of the first axiom ends with it: its sibling uses the document's again.
      {"http://x/dir/C", "http://x/dir/o#D"},
      // IRIs with a scheme are taken as written.
      {"urn:e:E", "http://z/./F"}};
  EXPECT_EQ(got, want);
}

TEST(OwlXmlReader, WithoutXmlBaseRelativeIrisAreKeptAsWritten) {
  auto o = read_ok(
      "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\">"
      "<Declaration><Class IRI=\"#A\"/></Declaration></Ontology>");
  auto* d = only_axiom_of(o, AxiomKind::DeclareClass);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(std::get<DeclareClass>(*d).entity.iri.str(), "#A");
}

TEST(OwlXmlReader, PrefixesAreReturnedAndExpandAbbreviatedIris) {
  auto o = read_ok(
      "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" xml:base=\"http://x/o\">\n"
      "<Prefix name=\"\" IRI=\"http://x/default#\"/>\n"
      "<Prefix name=\"rdfs\" IRI=\"http://not-rdfs/\"/>\n"
      "<Prefix name=\"rel\" IRI=\"relative/\"/>\n"
      "<AnnotationAssertion><AnnotationProperty abbreviatedIRI=\"rdfs:label\"/>"
      "<AbbreviatedIRI>:A</AbbreviatedIRI><AbbreviatedIRI>rel:v</AbbreviatedIRI></AnnotationAssertion>\n"
      "</Ontology>");
  EXPECT_EQ(o.prefixes.at(""), "http://x/default#");
  EXPECT_EQ(o.prefixes.at("rdfs"), "http://not-rdfs/");  // a declaration overrides the standard one
  EXPECT_EQ(o.prefixes.at("rel"), "http://x/relative/");
  EXPECT_EQ(o.prefixes.at("owl"), std::string(vocab::kOwl));
  EXPECT_EQ(o.prefixes.at("xsd"), std::string(vocab::kXsd));
  auto* a = only_axiom_of(o, AxiomKind::AnnotationAssertion);
  ASSERT_NE(a, nullptr);
  const auto& aa = std::get<AnnotationAssertion>(*a);
  EXPECT_EQ(aa.property.iri.str(), "http://not-rdfs/label");
  EXPECT_EQ(std::get<Iri>(aa.subject).str(), "http://x/default#A");
  EXPECT_EQ(std::get<Iri>(aa.value).str(), "http://x/relative/v");
}

TEST(OwlXmlReader, APrefixRedeclaredLaterAppliesFromThereOn) {
  auto o = read_ok(
      "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\">"
      "<Prefix name=\"p\" IRI=\"http://a/\"/><Declaration><Class abbreviatedIRI=\"p:A\"/></Declaration>"
      "<Prefix name=\"p\" IRI=\"http://b/\"/><Declaration><Class abbreviatedIRI=\"p:A\"/></Declaration>"
      "</Ontology>");
  std::set<std::string> got;
  for (const auto& a : o.axioms) got.insert(std::string(std::get<DeclareClass>(a.axiom).entity.iri.str()));
  EXPECT_EQ(got, (std::set<std::string>{"http://a/A", "http://b/A"}));
  EXPECT_EQ(o.prefixes.at("p"), "http://b/");
}

struct LiteralCase {
  const char* name;
  const char* xml;
  LiteralForm form;
  const char* lexical;
  const char* language_or_datatype;
};

class OwlXmlLiteral : public ::testing::TestWithParam<LiteralCase> {};

TEST_P(OwlXmlLiteral, KeepsPlainTaggedAndTypedLiteralsApart) {
  const auto& c = GetParam();
  auto o = read_ok(wrap(std::string("<DataPropertyAssertion><DataProperty IRI=\"#p\"/>"
                                    "<NamedIndividual IRI=\"#a\"/>") + c.xml +
                        "</DataPropertyAssertion>"));
  auto* a = only_axiom_of(o, AxiomKind::DataPropertyAssertion);
  ASSERT_NE(a, nullptr);
  const Literal& l = std::get<DataPropertyAssertion>(*a).value;
  EXPECT_EQ(l.form, c.form);
  EXPECT_EQ(l.lexical, c.lexical);
  if (c.form == LiteralForm::LanguageTagged) {
    EXPECT_EQ(l.language.str(), c.language_or_datatype);
  }
  if (c.form == LiteralForm::Typed) {
    EXPECT_EQ(l.datatype.iri.str(), c.language_or_datatype);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OwlXmlLiteral,
    ::testing::Values(
        LiteralCase{"plain", "<Literal>abc</Literal>", LiteralForm::Plain, "abc", ""},
        LiteralCase{"tagged", "<Literal xml:lang=\"en-GB\">abc</Literal>",
                    LiteralForm::LanguageTagged, "abc", "en-GB"},
        LiteralCase{"typed_string",
                    "<Literal datatypeIRI=\"http://www.w3.org/2001/XMLSchema#string\">abc</Literal>",
                    LiteralForm::Typed, "abc", "http://www.w3.org/2001/XMLSchema#string"},
        // rdf:PlainLiteral is the attribute's default value, so naming it changes nothing.
        LiteralCase{"explicit_plain_literal",
                    "<Literal datatypeIRI=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#PlainLiteral\">abc</Literal>",
                    LiteralForm::Plain, "abc", ""},
        LiteralCase{"explicit_plain_literal_tagged",
                    "<Literal xml:lang=\"pt\" datatypeIRI=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#PlainLiteral\">abc</Literal>",
                    LiteralForm::LanguageTagged, "abc", "pt"},
        LiteralCase{"empty_language_is_plain", "<Literal xml:lang=\"\">abc</Literal>",
                    LiteralForm::Plain, "abc", ""},
        LiteralCase{"relative_datatype", "<Literal datatypeIRI=\"dt\">1</Literal>",
                    LiteralForm::Typed, "1", "http://x/dt"},
        LiteralCase{"whitespace_and_references_kept",
                    "<Literal>  a &lt;b&gt; &amp; &#x41;\n c  </Literal>", LiteralForm::Plain,
                    "  a <b> & A\n c  ", ""},
        LiteralCase{"cdata", "<Literal><![CDATA[<x>]]></Literal>", LiteralForm::Plain, "<x>", ""},
        LiteralCase{"empty", "<Literal/>", LiteralForm::Plain, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OwlXmlReader, AnonymousIndividualsDropTheNodeIdPrefix) {
  auto o = read_ok(wrap(
      "<SameIndividual><AnonymousIndividual nodeID=\"_:x1\"/><AnonymousIndividual nodeID=\"y2\"/>"
      "</SameIndividual>"));
  auto* a = only_axiom_of(o, AxiomKind::SameIndividual);
  ASSERT_NE(a, nullptr);
  const auto& m = std::get<SameIndividual>(*a).members;
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(std::get<AnonymousIndividual>(m[0]).node_id.str(), "x1");
  EXPECT_EQ(std::get<AnonymousIndividual>(m[1]).node_id.str(), "y2");
}

TEST(OwlXmlReader, UnqualifiedCardinalitiesTakeThingAndLiteralAsFillers) {
  auto o = read_ok(wrap(
      "<SubClassOf><ObjectMinCardinality cardinality=\" 4294967295 \"><ObjectProperty IRI=\"#r\"/>"
      "</ObjectMinCardinality><DataMaxCardinality cardinality=\"0\"><DataProperty IRI=\"#p\"/>"
      "</DataMaxCardinality></SubClassOf>"));
  auto* a = only_axiom_of(o, AxiomKind::SubClassOf);
  ASSERT_NE(a, nullptr);
  const auto& s = std::get<SubClassOf>(*a);
  const auto& min = std::get<ObjectMinCardinality>(s.sub.data());
  EXPECT_EQ(min.cardinality, 4294967295u);
  EXPECT_EQ(std::get<Class>(min.filler.data()).iri.str(), vocab::kOwlThing);
  const auto& max = std::get<DataMaxCardinality>(s.sup.data());
  EXPECT_EQ(max.cardinality, 0u);
  EXPECT_EQ(std::get<Datatype>(max.filler.data()).iri.str(), vocab::kRdfsLiteral);
}

TEST(OwlXmlReader, ImportsAreRecordedAndAnAnonymousOntologyHasNoHeader) {
  auto o = read_ok(wrap("<Import> other.owl </Import>"));
  auto* i = only_axiom_of(o, AxiomKind::Import);
  ASSERT_NE(i, nullptr);
  EXPECT_EQ(std::get<Import>(*i).iri.str(), "http://x/other.owl");
  EXPECT_EQ(only_axiom_of(o, AxiomKind::OntologyHeader), nullptr);
}

// ---- malformed documents ------------------------------------------------------------------

struct BadCase {
  const char* name;
  std::string text;
  uint32_t line;
  uint32_t column;
  const char* message;  // a part of the message
};

class OwlXmlBad : public ::testing::TestWithParam<BadCase> {};

TEST_P(OwlXmlBad, GivesAnErrorWithItsPlace) {
  const auto& c = GetParam();
  auto r = read_owl_xml(c.text);
  ASSERT_FALSE(r.has_value()) << "read without error";
  EXPECT_EQ(r.error().line, c.line) << r.error().to_string();
  EXPECT_EQ(r.error().column, c.column) << r.error().to_string();
  EXPECT_NE(r.error().message.find(c.message), std::string::npos) << r.error().to_string();
}

std::vector<BadCase> bad_cases() {
  const char* sub_ab = "<SubClassOf><Class IRI=\"#A\"/><Class IRI=\"#B\"/>";
  return {
      {"mismatched_tag", wrap(std::string(sub_ab) + "</SubClass>"), 4, 49, "malformed XML: mismatched tag"},
      {"truncated", std::string(kHead) + sub_ab, 4, 47, "malformed XML: no element found"},
      {"truncated_in_tag", std::string(kHead) + "<SubClassOf><Cla", 4, 13, "malformed XML"},
      {"empty_document", "", 1, 1, "malformed XML: no element found"},
      {"not_xml", "Ontology(<http://x/o>)", 1, 9, "malformed XML: not well-formed"},
      {"two_roots", wrap("") + "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\"/>", 6, 1,
       "malformed XML: junk after document element"},
      {"unknown_element", wrap("<SubClassOf><Klass IRI=\"#A\"/></SubClassOf>"), 4, 13,
       "unknown element <Klass>"},
      {"foreign_namespace", wrap("<x:Class xmlns:x=\"urn:x\" IRI=\"#A\"/>"), 4, 1,
       "unknown element <Class> in namespace urn:x"},
      {"no_namespace", "<Ontology/>", 1, 1, "unknown element <Ontology> (not in the OWL namespace)"},
      {"root_not_ontology", "<Class xmlns=\"http://www.w3.org/2002/07/owl#\" IRI=\"x\"/>", 1, 1,
       "expected <Ontology> as the document element, found <Class>"},
      {"too_few_operands", wrap("<SubClassOf><Class IRI=\"#A\"/></SubClassOf>"), 4, 30,
       "expected a class expression in <SubClassOf>, found its end"},
      {"too_many_operands", wrap(std::string(sub_ab) + "<Class IRI=\"#C\"/></SubClassOf>"), 4, 47,
       "unexpected <Class> in <SubClassOf>"},
      {"wrong_operand_kind",
       wrap("<SubClassOf><Class IRI=\"#A\"/><ObjectSomeValuesFrom><DataProperty IRI=\"#p\"/>"
            "<Class IRI=\"#B\"/></ObjectSomeValuesFrom></SubClassOf>"),
       4, 52, "expected an object property expression in <ObjectSomeValuesFrom>, found <DataProperty>"},
      {"one_class_in_intersection",
       wrap("<SubClassOf><ObjectIntersectionOf><Class IRI=\"#A\"/></ObjectIntersectionOf>"
            "<Class IRI=\"#B\"/></SubClassOf>"),
       4, 52, "expected at least 2 class expressions in <ObjectIntersectionOf>"},
      {"axiom_inside_expression", wrap("<SubClassOf><SubClassOf/></SubClassOf>"), 4, 13,
       "unexpected <SubClassOf> inside <SubClassOf>"},
      {"class_expression_at_top", wrap("<Class IRI=\"#A\"/>"), 4, 1,
       "expected an axiom, <Prefix>, <Import> or <Annotation> in <Ontology>, found <Class>"},
      {"child_of_entity", wrap("<Declaration><Class IRI=\"#A\"><Class IRI=\"#B\"/></Class></Declaration>"),
       4, 30, "<Class> takes no child elements"},
      {"text_in_axiom", wrap("<SubClassOf>A <Class IRI=\"#A\"/></SubClassOf>"), 4, 13,
       "unexpected text in <SubClassOf>"},
      {"no_iri", wrap("<Declaration><Class/></Declaration>"), 4, 14,
       "<Class> needs exactly one of the attributes IRI and abbreviatedIRI"},
      {"two_iris", wrap("<Declaration><Class IRI=\"#A\" abbreviatedIRI=\":A\"/></Declaration>"), 4, 14,
       "<Class> needs exactly one of the attributes IRI and abbreviatedIRI"},
      {"unknown_prefix", wrap("<Declaration><Class abbreviatedIRI=\"nope:A\"/></Declaration>"), 4, 14,
       "unknown prefix 'nope:'"},
      {"abbreviated_without_colon", wrap("<Declaration><Class abbreviatedIRI=\"A\"/></Declaration>"), 4, 14,
       "expected an abbreviated IRI 'prefix:name', found 'A'"},
      {"negative_cardinality",
       wrap("<SubClassOf><ObjectMinCardinality cardinality=\"-1\"><ObjectProperty IRI=\"#r\"/>"
            "</ObjectMinCardinality><Class IRI=\"#B\"/></SubClassOf>"),
       4, 13, "expected a non-negative integer below 2^32 as cardinality, found '-1'"},
      {"huge_cardinality",
       wrap("<SubClassOf><ObjectMinCardinality cardinality=\"4294967296\"><ObjectProperty IRI=\"#r\"/>"
            "</ObjectMinCardinality><Class IRI=\"#B\"/></SubClassOf>"),
       4, 13, "found '4294967296'"},
      {"missing_cardinality",
       wrap("<SubClassOf><ObjectMinCardinality><ObjectProperty IRI=\"#r\"/>"
            "</ObjectMinCardinality><Class IRI=\"#B\"/></SubClassOf>"),
       4, 13, "<ObjectMinCardinality> needs a cardinality attribute"},
      {"unknown_facet",
       wrap("<DatatypeDefinition><Datatype IRI=\"#d\"/><DatatypeRestriction><Datatype IRI=\"#e\"/>"
            "<FacetRestriction facet=\"http://x/size\"><Literal>1</Literal></FacetRestriction>"
            "</DatatypeRestriction></DatatypeDefinition>"),
       4, 82, "unknown facet 'http://x/size'"},
      {"tagged_literal_with_datatype",
       wrap("<DataPropertyAssertion><DataProperty IRI=\"#p\"/><NamedIndividual IRI=\"#a\"/>"
            "<Literal xml:lang=\"en\" datatypeIRI=\"http://www.w3.org/2001/XMLSchema#integer\">1</Literal>"
            "</DataPropertyAssertion>"),
       4, 75, "a <Literal> with xml:lang cannot have the datatype"},
      {"anonymous_without_node_id",
       wrap("<ClassAssertion><Class IRI=\"#A\"/><AnonymousIndividual/></ClassAssertion>"), 4, 34,
       "<AnonymousIndividual> needs a nodeID"},
      {"has_key_without_properties", wrap("<HasKey><Class IRI=\"#A\"/></HasKey>"), 4, 26,
       "expected at least one key property in <HasKey>"},
      {"rule_without_head", wrap("<DLSafeRule><Body/></DLSafeRule>"), 4, 20,
       "expected <Head> in <DLSafeRule>, found its end"},
      {"version_without_ontology_iri",
       "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" versionIRI=\"http://v\"/>", 1, 1,
       "<Ontology> has a versionIRI but no ontologyIRI"},
      {"empty_import", wrap("<Import> </Import>"), 4, 10, "empty <Import>"},
      {"prefix_without_iri", wrap("<Prefix name=\"p\"/>"), 4, 1, "<Prefix> needs the attributes name and IRI"},
  };
}

INSTANTIATE_TEST_SUITE_P(Cases, OwlXmlBad, ::testing::ValuesIn(bad_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- nesting and entities -----------------------------------------------------------------

std::string nested_complements(int depth) {
  std::string s(kHead);
  s += "<SubClassOf><Class IRI=\"#A\"/>";
  for (int i = 0; i < depth; ++i) s += "<ObjectComplementOf>";
  s += "<Class IRI=\"#B\"/>";
  for (int i = 0; i < depth; ++i) s += "</ObjectComplementOf>";
  return s + "</SubClassOf></Ontology>";
}

TEST(OwlXmlReader, NestingBeyondTheBoundIsAnError) {
  for (int depth : {100000, static_cast<int>(kMaxNestingDepth)}) {
    auto r = read_owl_xml(nested_complements(depth));
    ASSERT_FALSE(r.has_value()) << depth;
    EXPECT_NE(r.error().message.find("nested deeper than 10000 levels"), std::string::npos)
        << r.error().to_string();
  }
  // Deep nesting of annotations, and of elements that are never closed.
  std::string annotations = wrap("<Declaration>");
  annotations.resize(annotations.size() - std::string("\n</Ontology>\n").size());
  for (int i = 0; i < 100000; ++i) annotations += "<Annotation>";
  auto r = read_owl_xml(annotations);
  ASSERT_FALSE(r.has_value());
  EXPECT_NE(r.error().message.find("nested deeper"), std::string::npos) << r.error().to_string();
}

TEST(OwlXmlReader, NestingWithinTheBoundIsReadAndFreed) {
  const int depth = static_cast<int>(kMaxNestingDepth) - 4;  // Ontology, SubClassOf, the leaf
  auto o = read_ok(nested_complements(depth));
  auto* a = only_axiom_of(o, AxiomKind::SubClassOf);
  ASSERT_NE(a, nullptr);
  const ClassExpression* c = &std::get<SubClassOf>(*a).sup;
  int seen = 0;
  while (auto* n = std::get_if<ObjectComplementOf>(&c->data())) {
    c = &n->operand;
    ++seen;
  }
  EXPECT_EQ(seen, depth);
  EXPECT_EQ(std::get<Class>(c->data()).iri.str(), "http://x/o#B");
}

TEST(OwlXmlReader, ExternalEntitiesAreNeverRead) {
  auto dir = std::filesystem::temp_directory_path() / "kelmon_owx_entity_test";
  std::filesystem::create_directories(dir);
  const std::string secret = "SECRET-FILE-CONTENT-41";
  { std::ofstream(dir / "secret.txt") << secret; }
  { std::ofstream(dir / "secret.dtd") << "<!ENTITY s \"" << secret << "\">"; }
  const std::string uri = "file://" + (dir / "secret.txt").string();
  const std::string dtd = "file://" + (dir / "secret.dtd").string();
  const std::string body =
      "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" xml:base=\"http://x/o\">"
      "<DataPropertyAssertion><DataProperty IRI=\"#p\"/><NamedIndividual IRI=\"#a\"/>"
      "<Literal>&s;</Literal></DataPropertyAssertion></Ontology>";
  const std::vector<std::string> docs = {
      "<!DOCTYPE Ontology [<!ENTITY s SYSTEM \"" + uri + "\">]>" + body,
      "<!DOCTYPE Ontology SYSTEM \"" + dtd + "\">" + body,
      "<!DOCTYPE Ontology [<!ENTITY % p SYSTEM \"" + dtd + "\"> %p;]>" + body,
  };
  for (const auto& doc : docs) {
    auto r = read_owl_xml(doc);
    ASSERT_FALSE(r.has_value()) << doc;
    EXPECT_EQ(r.error().message.find(secret), std::string::npos);
    EXPECT_NE(r.error().message.find("external"), std::string::npos) << r.error().to_string();
  }
  std::filesystem::remove_all(dir);
}

TEST(OwlXmlReader, EntityExpansionIsBounded) {
  std::string doc = "<!DOCTYPE Ontology [<!ENTITY e0 \"lollollollollollollollollollol\">";
  for (int i = 1; i <= 9; ++i) {
    doc += "<!ENTITY e" + std::to_string(i) + " \"";
    for (int j = 0; j < 10; ++j) doc += "&e" + std::to_string(i - 1) + ";";
    doc += "\">";
  }
  doc += "]><Ontology xmlns=\"http://www.w3.org/2002/07/owl#\"><DataPropertyAssertion>"
         "<DataProperty IRI=\"urn:p\"/><NamedIndividual IRI=\"urn:a\"/><Literal>&e9;</Literal>"
         "</DataPropertyAssertion></Ontology>";
  auto r = read_owl_xml(doc);
  ASSERT_FALSE(r.has_value());
  EXPECT_NE(r.error().message.find("malformed XML"), std::string::npos) << r.error().to_string();
}

TEST(OwlXmlReader, InternalEntitiesExpand) {
  auto o = read_ok(
      "<!DOCTYPE Ontology [<!ENTITY ex \"http://example.org/e#\">]>"
      "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\">"
      "<Declaration><Class IRI=\"&ex;A\"/></Declaration></Ontology>");
  auto* d = only_axiom_of(o, AxiomKind::DeclareClass);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(std::get<DeclareClass>(*d).entity.iri.str(), "http://example.org/e#A");
}

}  // namespace
}  // namespace kelmon::owl
