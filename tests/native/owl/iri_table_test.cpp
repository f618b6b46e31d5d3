#include <gtest/gtest.h>

#include <map>
#include <string>

#include "owl/iri.h"
#include "owl/load.h"

namespace kelmon::owl {
namespace {

TEST(IriTable, NumbersDistinctTextsInInterningOrder) {
  IriTable table;
  Iri a = table.intern("http://x/A");
  Iri b = table.intern("http://x/B");
  Iri a_again = table.intern("http://x/A");
  EXPECT_EQ(a.table_index(), 0u);
  EXPECT_EQ(b.table_index(), 1u);
  EXPECT_EQ(a_again.identity(), a.identity());
  EXPECT_EQ(a_again.table_index(), 0u);
  // Numbered without a lookup: a new IRI, even for a text the table holds.
  Iri c = table.numbered("http://x/A");
  EXPECT_NE(c.identity(), a.identity());
  EXPECT_EQ(c.table_index(), 2u);
  EXPECT_EQ(c, a);
  EXPECT_EQ(table.intern("http://x/D").table_index(), 3u);
  Iri copy = b;
  EXPECT_EQ(copy.table_index(), 1u);
  EXPECT_EQ(Iri("http://x/A").table_index(), Iri::kNoTableIndex);
  EXPECT_EQ(Iri().table_index(), Iri::kNoTableIndex);
}

struct Doc {
  const char* format;
  const char* text;
};

class ReaderNames : public ::testing::TestWithParam<Doc> {};

// Conversion caches ids by table index and identity: every use of a name in one
// document is the same numbered IRI (the functional reader keeps one per
// spelling, so its document spells each name one way).
TEST_P(ReaderNames, EachNameIsOneNumberedIri) {
  auto loaded = parse_ontology_text(GetParam().text, GetParam().format);
  ASSERT_TRUE(loaded) << loaded.error();
  std::map<std::string, const void*> seen;
  size_t uses = 0;
  for (const auto& a : loaded->axioms) {
    const auto* sub = std::get_if<SubClassOf>(&a.axiom);
    if (!sub) continue;
    for (const ClassExpression* e : {&sub->sub, &sub->sup}) {
      const auto& iri = std::get<Class>(e->data()).iri;
      EXPECT_NE(iri.table_index(), Iri::kNoTableIndex) << iri.str();
      auto [it, fresh] = seen.emplace(std::string(iri.str()), iri.identity());
      EXPECT_EQ(it->second, iri.identity()) << iri.str();
      ++uses;
    }
  }
  EXPECT_EQ(seen.size(), 3u);
  EXPECT_EQ(uses, 6u);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ReaderNames,
    ::testing::Values(
        Doc{"ofn",
            "Prefix(:=<http://x/>)\nOntology(<http://x/o>\nSubClassOf(:A :B)\nSubClassOf(:B <http://x/C>)\n"
            "SubClassOf(:A <http://x/C>)\n)"},
        Doc{"owx",
            "<?xml version=\"1.0\"?>\n<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" ontologyIRI=\"http://x/o\">\n"
            "<SubClassOf><Class IRI=\"http://x/A\"/><Class IRI=\"http://x/B\"/></SubClassOf>\n"
            "<SubClassOf><Class IRI=\"http://x/B\"/><Class IRI=\"http://x/C\"/></SubClassOf>\n"
            "<SubClassOf><Class IRI=\"http://x/A\"/><Class IRI=\"http://x/C\"/></SubClassOf>\n</Ontology>"},
        Doc{"rdf-xml",
            "<?xml version=\"1.0\"?>\n<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
            "xmlns:rdfs=\"http://www.w3.org/2000/01/rdf-schema#\" xmlns:owl=\"http://www.w3.org/2002/07/owl#\">\n"
            "<owl:Ontology rdf:about=\"http://x/o\"/>\n"
            "<owl:Class rdf:about=\"http://x/A\"><rdfs:subClassOf rdf:resource=\"http://x/B\"/>"
            "<rdfs:subClassOf rdf:resource=\"http://x/C\"/></owl:Class>\n"
            "<owl:Class rdf:about=\"http://x/B\"><rdfs:subClassOf rdf:resource=\"http://x/C\"/></owl:Class>\n"
            "<owl:Class rdf:about=\"http://x/C\"/>\n</rdf:RDF>"},
        Doc{"omn",
            "Prefix: : <http://x/>\nOntology: <http://x/o>\nClass: A\n  SubClassOf: B, <http://x/C>\n"
            "Class: <http://x/B>\n  SubClassOf: :C\nClass: C\n"}),
    [](const auto& info) { return std::string(info.param.format == std::string("rdf-xml") ? "rdf" : info.param.format); });

}  // namespace
}  // namespace kelmon::owl
