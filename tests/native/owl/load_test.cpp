#include "owl/load.h"

#include <gtest/gtest.h>

namespace kelmon::owl {
namespace {

const std::string kDash = "\u2014";
const std::string kDoc = "Ontology(<http://x/o> SubClassOf(<http://x/A> <http://x/B>))";

TEST(ParseBytes, Utf8IsCheckedBeforeTheFormatName) {
  auto bad = parse_ontology_bytes("Ontology(\xC3(", "RDF");
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error(), "ontology bytes are not valid UTF-8: invalid utf-8 sequence of 1 bytes from index 9");
  auto truncated = parse_ontology_bytes("Ontology(\xE2\x82", "ofn");
  ASSERT_FALSE(truncated);
  EXPECT_EQ(truncated.error(), "ontology bytes are not valid UTF-8: incomplete utf-8 byte sequence from index 9");
}

TEST(ParseBytes, FormatNamesAreExact) {
  auto upper = parse_ontology_bytes(kDoc, "RDF");
  ASSERT_FALSE(upper);
  EXPECT_EQ(upper.error(), "unknown format `RDF` " + kDash + " expected one of: ofn, owx, rdf-xml, omn");
  auto ok = parse_ontology_bytes(kDoc, "ofn");
  ASSERT_TRUE(ok) << ok.error();
  EXPECT_EQ(ok->axioms.size(), 2u);  // the ontology header and the SubClassOf
  EXPECT_TRUE(ok->prefixes.empty());  // bytes drop the prefix mapping
}

TEST(ParseText, ReaderFailureNamesTheFormatAsGiven) {
  auto broken = parse_ontology_text("Ontology(<http://x/o> SubClassOf(<http://x/A>))", "ofn");
  ASSERT_FALSE(broken);
  EXPECT_EQ(broken.error().rfind("parse ofn: line 1, column ", 0), 0u) << broken.error();
}

TEST(ParseText, KeepsThePrefixMapping) {
  auto ok = parse_ontology_text("Prefix(:=<http://x/>) Ontology(<http://x/o> SubClassOf(:A :B))", "ofn");
  ASSERT_TRUE(ok) << ok.error();
  ASSERT_TRUE(ok->prefixes.count(""));
  EXPECT_EQ(ok->prefixes.at(""), "http://x/");
}

}  // namespace
}  // namespace kelmon::owl
