#include "reasoner/explanation/query.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelmon::explain {
namespace {

const std::string kXsd = "http://www.w3.org/2001/XMLSchema#";

struct ParseCase {
  const char* name;
  std::vector<std::string> tokens;
  bool ok;
  QueryKind kind;
  std::vector<std::string> names;
};

class ParseQueryTests : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseQueryTests, ParsesOrGivesTheUsageMessage) {
  const ParseCase& c = GetParam();
  auto q = parse_query(c.tokens);
  if (!c.ok) {
    ASSERT_FALSE(q.has_value());
    EXPECT_EQ(q.error(), kQueryUsage);
    return;
  }
  ASSERT_TRUE(q.has_value()) << q.error();
  EXPECT_EQ(q->kind, c.kind);
  EXPECT_EQ(q->names, c.names);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseQueryTests,
    ::testing::Values(
        ParseCase{"empty", {}, false, {}, {}},
        ParseCase{"unsat_alone", {"unsat"}, false, {}, {}},
        ParseCase{"unsat_two_names", {"unsat", "A", "B"}, false, {}, {}},
        ParseCase{"capital_keyword", {"Subclass", "A", "B"}, false, {}, {}},
        ParseCase{"blank_keyword", {" subclass", "A", "B"}, false, {}, {}},
        ParseCase{"inconsistent_extra", {"inconsistent", "x"}, false, {}, {}},
        ParseCase{"data_value_short", {"data-value", "a", "dp"}, false, {}, {}},
        ParseCase{"subclass", {"subclass", "S", "T"}, true, QueryKind::Subclass, {"S", "T"}},
        ParseCase{"equivalent", {"equivalent", "A", "B"}, true, QueryKind::Equivalent, {"A", "B"}},
        ParseCase{"disjoint", {"disjoint", "A", "B"}, true, QueryKind::Disjoint, {"A", "B"}},
        ParseCase{"unsat", {"unsat", " C "}, true, QueryKind::Unsat, {" C "}},
        ParseCase{"instance", {"instance", "i", "C"}, true, QueryKind::Instance, {"i", "C"}},
        ParseCase{"inconsistent", {"inconsistent"}, true, QueryKind::Inconsistent, {}},
        ParseCase{"subproperty", {"subproperty", "p", "q"}, true, QueryKind::SubProperty, {"p", "q"}},
        ParseCase{"equiv_property", {"equiv-property", "p", "q"}, true, QueryKind::EquivProperty, {"p", "q"}},
        ParseCase{"disjoint_property", {"disjoint-property", "p", "q"}, true, QueryKind::DisjointProperty,
                  {"p", "q"}},
        ParseCase{"property", {"property", "a", "p", "b"}, true, QueryKind::Property, {"a", "p", "b"}},
        ParseCase{"same", {"same", "a", "b"}, true, QueryKind::Same, {"a", "b"}},
        ParseCase{"different", {"different", "a", "b"}, true, QueryKind::Different, {"a", "b"}},
        ParseCase{"subdata_property", {"subdata-property", "d", "e"}, true, QueryKind::SubDataProperty, {"d", "e"}},
        ParseCase{"equiv_data_property", {"equiv-data-property", "d", "e"}, true, QueryKind::EquivDataProperty,
                  {"d", "e"}},
        ParseCase{"disjoint_data_property", {"disjoint-data-property", "d", "e"}, true,
                  QueryKind::DisjointDataProperty, {"d", "e"}},
        ParseCase{"data_value", {"data-value", "a", "dp", "5^^xsd:integer"}, true, QueryKind::DataValue,
                  {"a", "dp", "5", kXsd + "integer"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct LiteralCase {
  const char* name;
  const char* token;
  const char* lexical;
  std::string datatype;
};

class DataLiteralTests : public ::testing::TestWithParam<LiteralCase> {};

TEST_P(DataLiteralTests, SplitsAtTheFirstDoubleCaret) {
  auto [lexical, datatype] = parse_data_literal(GetParam().token);
  EXPECT_EQ(lexical, GetParam().lexical);
  EXPECT_EQ(datatype, GetParam().datatype);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DataLiteralTests,
    ::testing::Values(LiteralCase{"plain", "5", "5", kXsd + "string"},
                      LiteralCase{"xsd_prefix", "5^^xsd:integer", "5", kXsd + "integer"},
                      LiteralCase{"bracketed", "5^^<http://d/t>", "5", "http://d/t"},
                      LiteralCase{"bare_iri", "5^^http://d/t", "5", "http://d/t"},
                      LiteralCase{"other_prefix", "5^^ex:t", "5", "ex:t"},
                      LiteralCase{"first_split", "a^^b^^c", "a", "b^^c"},
                      LiteralCase{"ends_with_carets", "7^^", "7", ""},
                      LiteralCase{"xsd_alone", "7^^xsd:", "7", kXsd},
                      LiteralCase{"quotes_kept", "\"5\"^^xsd:integer", "\"5\"", kXsd + "integer"},
                      LiteralCase{"empty_brackets", "x^^<>", "x", ""},
                      LiteralCase{"open_bracket_only", "x^^<a", "x", "<a"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseQueryTests, QuotedDataValueKeepsThreeCharacterLexicalForm) {
  auto q = parse_query(std::vector<std::string>{"data-value", "a", "dp", "\"5\"^^xsd:integer"});
  ASSERT_TRUE(q.has_value());
  EXPECT_EQ(q->name(2).size(), 3u);
}

}  // namespace
}  // namespace kelmon::explain
