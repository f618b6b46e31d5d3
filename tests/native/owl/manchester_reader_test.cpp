#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "owl/functional_reader.h"
#include "owl/load.h"
#include "owl/manchester_reader.h"
#include "owl/reader_comparison.h"
#include "owl/vocabulary.h"

namespace kelmon::owl {
namespace {

std::string slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string fixture(const char* name) { return slurp(std::filesystem::path(KELMON_TEST_DATA_DIR) / name); }

std::filesystem::path corpus(const char* name) {
  return std::filesystem::path(KELMON_CORPUS_DIR) / "ontologies" / name;
}

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

TEST(ManchesterReader, FixtureHoldsEveryComponentKindButRules) {
  auto o = read_ok(fixture("owl/all_frames.omn"));
  std::set<size_t> kinds;
  for (const auto& a : o.axioms) kinds.insert(a.axiom.index());
  EXPECT_EQ(kinds.size(), std::variant_size_v<Axiom> - 1);
  EXPECT_FALSE(kinds.contains(static_cast<size_t>(AxiomKind::Rule)));
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

  // Beyond the logical axioms the documents themselves differ. The Manchester one has
  // frames, and so declarations, for owl:Thing, the annotation properties rdfs:comment,
  // rdfs:label and owl:versionInfo, the datatypes rdf:langString and xsd:string and the
  // five country individuals, which the functional one does not declare; and two of its
  // comments and the "version 1.5" ontology annotation are plain literals where the
  // functional one types them as xsd:string. (Its InverseOf: sections state each inverse
  // pair from both sides; the comparison orders the pair, as it orders the operands of
  // n-ary axioms.)
  const std::string pz = "http://www.co-ode.org/ontologies/pizza/pizza.owl#";
  const std::string xs = "http://www.w3.org/2001/XMLSchema#string";
  AxiomSet all_omn = canonical_axioms(omn.axioms), all_ofn = canonical_axioms(ofn.axioms);
  std::multiset<std::string> only_omn, only_ofn;
  auto declaration_key = [](Axiom a) { return key_of(AnnotatedAxiom{std::move(a), {}}); };
  only_omn.insert(declaration_key(DeclareClass{Class{Iri(vocab::kOwlThing)}}));
  for (auto p : {"http://www.w3.org/2000/01/rdf-schema#comment", "http://www.w3.org/2000/01/rdf-schema#label",
                 "http://www.w3.org/2002/07/owl#versionInfo"})
    only_omn.insert(declaration_key(DeclareAnnotationProperty{AnnotationProperty{Iri(p)}}));
  for (auto d : {"http://www.w3.org/1999/02/22-rdf-syntax-ns#langString", xs.c_str()})
    only_omn.insert(declaration_key(DeclareDatatype{Datatype{Iri(d)}}));
  for (const char* c : {"America", "England", "France", "Germany", "Italy"})
    only_omn.insert("Declaration(NamedIndividual(" + pz + c + "))");
  for (const char* c : {"UnclosedPizza", "ValuePartition"}) {
    only_omn.insert("AnnotationAssertion(" + pz + c + " plain)");
    only_ofn.insert("AnnotationAssertion(" + pz + c + " " + xs + ")");
  }
  const std::string version_info = "http://www.w3.org/2002/07/owl#versionInfo";
  only_omn.insert("OntologyAnnotation(" + version_info + " plain)");
  only_ofn.insert("OntologyAnnotation(" + version_info + " " + xs + ")");
  EXPECT_EQ(described_missing(all_omn, all_ofn), only_omn);
  EXPECT_EQ(described_missing(all_ofn, all_omn), only_ofn);
  EXPECT_EQ(omn.prefixes.at(""), "http://www.co-ode.org/ontologies/pizza/pizza.owl");
  EXPECT_EQ(omn.prefixes.at("skos"), "http://www.w3.org/2004/02/skos/core#");
}

}  // namespace
}  // namespace kelmon::owl
