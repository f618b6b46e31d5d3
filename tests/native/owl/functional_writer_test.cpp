#include <gtest/gtest.h>

#include "test_files.h"

#include <filesystem>
#include <sstream>

#include "owl/functional_reader.h"
#include "owl/functional_writer.h"
#include "owl/structural.h"

namespace kelmon::owl {
namespace {

// Writes every axiom on its own line inside one ontology document.
std::string rewrite(const LoadedOntology& o) {
  std::string header = "Ontology(";
  std::string body;
  for (const auto& a : o.axioms) {
    if (std::holds_alternative<OntologyHeader>(a.axiom)) {
      header = write_functional_axiom(a);
      header.pop_back();  // reopen "Ontology(<iri> <version>)"
      header += "\n";
      continue;
    }
    body += write_functional_axiom(a);
    body += "\n";
  }
  // Imports and ontology annotations must precede the axioms.
  std::string front, rest;
  std::istringstream lines(body);
  for (std::string line; std::getline(lines, line);) {
    ((line.rfind("Import(", 0) == 0 || line.rfind("Annotation(", 0) == 0) ? front : rest) += line + "\n";
  }
  return header + front + rest + ")\n";
}

void expect_same_sets(const AxiomSet& a, const AxiomSet& b) {
  EXPECT_EQ(a.size(), b.size());
  for (const auto& x : a) EXPECT_TRUE(b.contains(x)) << write_functional_axiom(x);
}

TEST(FunctionalWriter, RoundTripsEveryConstruct) {
  auto first = read_functional(fixture("owl/all_constructs.ofn"));
  ASSERT_TRUE(first.has_value()) << first.error().to_string();
  std::string text = rewrite(*first);
  auto second = read_functional(text);
  ASSERT_TRUE(second.has_value()) << second.error().to_string() << "\n" << text;
  expect_same_sets(first->axioms, second->axioms);
}

TEST(FunctionalWriter, RoundTripsTheCorpus) {
  for (const char* name : {"pizza.ofn", "wine.ofn", "bfo-core.ofn"}) {
    auto first = read_functional(slurp(corpus(name)));
    ASSERT_TRUE(first.has_value()) << name;
    auto second = read_functional(rewrite(*first));
    ASSERT_TRUE(second.has_value()) << name << ": " << second.error().to_string();
    expect_same_sets(first->axioms, second->axioms);
  }
}

struct WriteCase {
  const char* name;
  const char* input;
  const char* written;
};

class FunctionalWriterForms : public ::testing::TestWithParam<WriteCase> {};

TEST_P(FunctionalWriterForms, WritesFullIris) {
  const auto& c = GetParam();
  auto o = read_functional(std::string("Prefix(:=<http://x/>)\nOntology(") + c.input + ")");
  ASSERT_TRUE(o.has_value()) << o.error().to_string();
  ASSERT_EQ(o->axioms.size(), 1u);
  EXPECT_EQ(write_functional_axiom(o->axioms[0]), c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FunctionalWriterForms,
    ::testing::Values(
        WriteCase{"subclass", "SubClassOf(:A ObjectSomeValuesFrom(ObjectInverseOf(:r) :B))",
                  "SubClassOf(<http://x/A> ObjectSomeValuesFrom(ObjectInverseOf(<http://x/r>) <http://x/B>))"},
        WriteCase{"annotated", "SubClassOf(Annotation(Annotation(:q _:b) :p \"x\"@en) :A :B)",
                  "SubClassOf(Annotation(Annotation(<http://x/q> _:b) <http://x/p> \"x\"@en) <http://x/A> <http://x/B>)"},
        WriteCase{"literal_escapes", "DataPropertyAssertion(:p _:a \"q\\\"b\\\\\"^^:t)",
                  "DataPropertyAssertion(<http://x/p> _:a \"q\\\"b\\\\\"^^<http://x/t>)"},
        WriteCase{"has_key", "HasKey(:A () (:p :q))", "HasKey(<http://x/A> () (<http://x/p> <http://x/q>))"},
        WriteCase{"cardinality", "SubClassOf(:A DataMaxCardinality(3 :p DatatypeRestriction(:int <http://www.w3.org/2001/XMLSchema#minInclusive> \"1\")))",
                  "SubClassOf(<http://x/A> DataMaxCardinality(3 <http://x/p> DatatypeRestriction(<http://x/int> <http://www.w3.org/2001/XMLSchema#minInclusive> \"1\")))"},
        WriteCase{"rule", "DLSafeRule(Body(ClassAtom(:A Variable(:x))) Head())",
                  "DLSafeRule(Body(ClassAtom(<http://x/A> Variable(<http://x/x>))) Head())"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FunctionalWriter, WritesDeepNestingWithoutRecursion) {
  ClassExpression c = Class{Iri("http://x/A")};
  for (int i = 0; i < 200000; ++i) c = ObjectComplementOf{std::move(c)};
  std::string s = write_functional_axiom(Axiom(SubClassOf{c, c}));
  EXPECT_EQ(s.size(), std::string("SubClassOf( )").size() + 2 * (200000 * 20 + 12));
}

}  // namespace
}  // namespace kelmon::owl
