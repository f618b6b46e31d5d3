// A broken invariant inside a reader, in the middle of a parser library's
// callbacks included, reaches the caller as the invariant failure itself and
// never as a parse error.
#include <gtest/gtest.h>

#include "common/invariant.h"
#include "owl/load.h"
#include "owl/reader_fault.h"

namespace kelmon::owl {
namespace {

struct ReaderCase {
  const char* name;
  const char* format;
  const char* text;  // one subclass axiom
};

class ReaderFaults : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(ReaderFaults, InvariantFailurePassesThroughUnchanged) {
  const auto& c = GetParam();
  auto plain = parse_ontology_text(c.text, c.format);
  ASSERT_TRUE(plain.has_value()) << plain.error();
  EXPECT_FALSE(plain->axioms.empty());
  try {
    ReaderFault fault;
    auto broken = parse_ontology_text(c.text, c.format);
    ADD_FAILURE() << "no failure; " << (broken ? std::string("read") : "parse error: " + broken.error());
  } catch (const InvariantFailure& failure) {
    EXPECT_EQ(failure.message(), "reader fault set by a test");
  }
  // The fault fired once; the next read is a normal one.
  EXPECT_TRUE(parse_ontology_text(c.text, c.format).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    EveryReader, ReaderFaults,
    ::testing::Values(
        ReaderCase{"functional", "ofn", "Ontology(<http://x/o> SubClassOf(<http://x/A> <http://x/B>))"},
        ReaderCase{"owl_xml", "owx",
                   "<?xml version=\"1.0\"?>\n<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" "
                   "ontologyIRI=\"http://x/o\"><SubClassOf><Class IRI=\"http://x/A\"/><Class "
                   "IRI=\"http://x/B\"/></SubClassOf></Ontology>"},
        ReaderCase{"rdf_xml", "rdf-xml",
                   "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
                   "xmlns:rdfs=\"http://www.w3.org/2000/01/rdf-schema#\" "
                   "xmlns:owl=\"http://www.w3.org/2002/07/owl#\"><owl:Class rdf:about=\"http://x/A\">"
                   "<rdfs:subClassOf rdf:resource=\"http://x/B\"/></owl:Class></rdf:RDF>"},
        ReaderCase{"manchester", "omn", "Ontology: <http://x/o>\nClass: <http://x/A>\n  SubClassOf: <http://x/B>\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelmon::owl
