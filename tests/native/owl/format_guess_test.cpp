// Naming the syntax of a document read in the wrong format.
#include "owl/format_guess.h"

#include <gtest/gtest.h>

#include "owl/load.h"

namespace kelmon::owl {
namespace {

using F = DocumentFormat;

struct LookCase {
  const char* text;
  std::optional<DocumentFormat> seen;
};

class FormatByLook : public ::testing::TestWithParam<LookCase> {};

TEST_P(FormatByLook, FirstNonBlankTextNamesTheSyntax) {
  EXPECT_EQ(format_by_look(GetParam().text), GetParam().seen) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatByLook,
    ::testing::Values(
        LookCase{"Prefix(:=<http://x/>)\nOntology(<http://x/o>)", F::Functional},
        LookCase{"\n\t Ontology (<http://x/o>)", F::Functional},
        LookCase{"\xEF\xBB\xBFOntology(<http://x/o>)", F::Functional},
        LookCase{"<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\"/>", F::OwlXml},
        LookCase{"<?xml version=\"1.0\"?>\n<!-- made by hand -->\n<!DOCTYPE Ontology [\n <!ENTITY x \"http://x/\">\n]>\n"
                 "<Ontology>",
                 F::OwlXml},
        LookCase{"<?xml version=\"1.0\"?>\n<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"/>",
                 F::RdfXml},
        LookCase{"Prefix: : <http://x/>\nClass: A", F::Manchester},
        LookCase{"  Class: A", F::Manchester},
        LookCase{"Ontology: <http://x/o>", F::Manchester},
        // Nothing to go by, or words that only start like a keyword.
        LookCase{"", std::nullopt},
        LookCase{"   \n", std::nullopt},
        LookCase{"SubClassOf(:A :B)", std::nullopt},
        LookCase{"Prefixes(", std::nullopt},
        LookCase{"<OntologyDocument>", std::nullopt},
        LookCase{"<?xml version=\"1.0\"?>", std::nullopt},
        LookCase{"<!-- never closed <Ontology>", std::nullopt},
        LookCase{"Class :A", std::nullopt}));

struct NoteCase {
  const char* name;
  const char* text;
  const char* format;  // the format it is read in
  const char* note;    // the end of the message, or "" for none
};

class MislabelledDocuments : public ::testing::TestWithParam<NoteCase> {};

TEST_P(MislabelledDocuments, ParseErrorNamesTheSyntaxItLooksLike) {
  const auto& c = GetParam();
  auto loaded = parse_ontology_text(c.text, c.format);
  ASSERT_FALSE(loaded.has_value());
  const std::string& message = loaded.error();
  EXPECT_TRUE(message.starts_with("parse " + std::string(c.format) + ": ")) << message;
  const std::string note = c.note;
  if (note.empty()) {
    EXPECT_EQ(message.find("looks like"), std::string::npos) << message;
  } else {
    EXPECT_TRUE(message.ends_with(note)) << message;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MislabelledDocuments,
    ::testing::Values(
        NoteCase{"functional_as_rdf", "Prefix(:=<http://x/>)\nOntology(<http://x/o> SubClassOf(:A :B))", "rdf-xml",
                 " \u2014 the document looks like OWL functional syntax; classify_bytes(data, format=\"ofn\") reads it"},
        NoteCase{"owl_xml_as_functional", "<?xml version=\"1.0\"?>\n<Ontology ontologyIRI=\"http://x/o\"/>", "ofn",
                 " \u2014 the document looks like OWL/XML; classify_bytes(data, format=\"owx\") reads it"},
        NoteCase{"manchester_as_rdf", "Prefix: : <http://x/>\nClass: :A", "rdf-xml",
                 " \u2014 the document looks like Manchester syntax; classify_bytes(data, format=\"omn\") reads it"},
        NoteCase{"rdf_as_manchester", "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"/>", "omn",
                 " \u2014 the document looks like RDF/XML; classify_bytes(data, format=\"rdf-xml\") reads it"},
        // A broken document of the format it is read in, or one that shows no syntax: no note.
        NoteCase{"broken_functional", "Ontology(<http://x/o> SubClassOf(:A", "ofn", ""},
        NoteCase{"shapeless", "hello", "rdf-xml", ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelmon::owl
