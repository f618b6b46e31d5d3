#include <gtest/gtest.h>

#include "owl/class_expression_parser.h"
#include "owl/functional_reader.h"
#include "owl/functional_writer.h"
#include "owl/manchester_writer.h"
#include "owl/structural.h"

namespace kelmon::owl {
namespace {

// The ontology the expressions are read against: p is a data property, r, s object
// properties; "u" is unknown to it.
const LoadedOntology& ontology() {
  static const LoadedOntology o = [] {
    auto r = read_functional(
        "Prefix(:=<http://x/>)\nPrefix(ex:=<http://ex/>)\nPrefix(xsd:=<http://www.w3.org/2001/XMLSchema#>)\n"
        "Ontology(Declaration(DataProperty(:p)) Declaration(ObjectProperty(:r)) SubObjectPropertyOf(:s :r)\n"
        "Declaration(Datatype(:myType)) DataPropertyAssertion(:q :a \"1\"))");
    return std::move(*r);
  }();
  return o;
}

// Functional syntax of the parsed expression (as the class of a ClassAssertion).
std::string parse_to_functional(std::string_view text) {
  static const BuildContext ctx = build_context(ontology().axioms);
  auto r = parse_class_expression(text, ontology().prefixes, ctx);
  if (!r) return "error: " + r.error().to_string();
  std::string s = write_functional_axiom(Axiom(ClassAssertion{*r, NamedIndividual{Iri("i")}}));
  // "ClassAssertion(" + expression + " <i>)"
  return s.substr(15, s.size() - 15 - 5);
}

struct ParseCase {
  const char* name;
  const char* text;
  const char* functional;
};

class ClassExpressionParsing : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ClassExpressionParsing, BuildsTheExpression) {
  EXPECT_EQ(parse_to_functional(GetParam().text), GetParam().functional);
}

#define X(s) "<http://x/" s ">"
INSTANTIATE_TEST_SUITE_P(
    Cases, ClassExpressionParsing,
    ::testing::Values(
        ParseCase{"simple_name", "A", X("A")},
        ParseCase{"prefixed_and_full", "ex:B or <http://y/C>", "ObjectUnionOf(<http://ex/B> <http://y/C>)"},
        ParseCase{"and_binds_tighter_than_or", "A or B and not C",
                  "ObjectUnionOf(" X("A") " ObjectIntersectionOf(" X("B") " ObjectComplementOf(" X("C") ")))"},
        ParseCase{"not_binds_tighter_than_and", "not A and B",
                  "ObjectIntersectionOf(ObjectComplementOf(" X("A") ") " X("B") ")"},
        ParseCase{"restriction_filler_is_a_primary", "r some A and B",
                  "ObjectIntersectionOf(ObjectSomeValuesFrom(" X("r") " " X("A") ") " X("B") ")"},
        ParseCase{"parentheses_group", "r some (A or B)",
                  "ObjectSomeValuesFrom(" X("r") " ObjectUnionOf(" X("A") " " X("B") "))"},
        ParseCase{"nested_groups_stay_nested", "(A and B) and C",
                  "ObjectIntersectionOf(ObjectIntersectionOf(" X("A") " " X("B") ") " X("C") ")"},
        ParseCase{"n_ary_chains", "A and B and C", "ObjectIntersectionOf(" X("A") " " X("B") " " X("C") ")"},
        ParseCase{"nested_restrictions", "r only s some not A",
                  "ObjectAllValuesFrom(" X("r") " ObjectSomeValuesFrom(" X("s") " ObjectComplementOf(" X("A") ")))"},
        ParseCase{"value_and_self", "r value a and s Self",
                  "ObjectIntersectionOf(ObjectHasValue(" X("r") " " X("a") ") ObjectHasSelf(" X("s") "))"},
        ParseCase{"cardinalities", "r min 2 A or r max 1 or r exactly 3 (A and B)",
                  "ObjectUnionOf(ObjectMinCardinality(2 " X("r") " " X("A") ") ObjectMaxCardinality(1 " X("r")
                  " <http://www.w3.org/2002/07/owl#Thing>) ObjectExactCardinality(3 " X("r") " ObjectIntersectionOf(" X("A") " " X("B") ")))"},
        ParseCase{"one_of", "{a, _:b, ex:c}", "ObjectOneOf(" X("a") " _:b <http://ex/c>)"},
        ParseCase{"inverse", "inverse r some A and inverse (s) only B",
                  "ObjectIntersectionOf(ObjectSomeValuesFrom(ObjectInverseOf(" X("r") ") " X("A")
                  ") ObjectAllValuesFrom(ObjectInverseOf(" X("s") ") " X("B") "))"},
        ParseCase{"that", "A that r some B", "ObjectIntersectionOf(" X("A") " ObjectSomeValuesFrom(" X("r") " " X("B") "))"},
        ParseCase{"declared_data_property_with_unknown_filler", "p some T", "DataSomeValuesFrom(" X("p") " " X("T") ")"},
        ParseCase{"used_data_property", "q some T", "DataSomeValuesFrom(" X("q") " " X("T") ")"},
        ParseCase{"object_property_with_class_filler", "r some T", "ObjectSomeValuesFrom(" X("r") " " X("T") ")"},
        ParseCase{"unknown_property_with_datatype_filler", "u some xsd:integer",
                  "DataSomeValuesFrom(" X("u") " <http://www.w3.org/2001/XMLSchema#integer>)"},
        ParseCase{"unknown_property_with_declared_datatype", "u only myType",
                  "DataAllValuesFrom(" X("u") " " X("myType") ")"},
        ParseCase{"unknown_property_with_class_filler", "u some A", "ObjectSomeValuesFrom(" X("u") " " X("A") ")"},
        ParseCase{"unknown_property_with_literal_value", "u value 5",
                  "DataHasValue(" X("u") " \"5\"^^<http://www.w3.org/2001/XMLSchema#integer>)"},
        ParseCase{"facets", "p some xsd:integer[>= 5, < 10]",
                  "DataSomeValuesFrom(" X("p") " DatatypeRestriction(<http://www.w3.org/2001/XMLSchema#integer> "
                  "<http://www.w3.org/2001/XMLSchema#minInclusive> \"5\"^^<http://www.w3.org/2001/XMLSchema#integer> "
                  "<http://www.w3.org/2001/XMLSchema#maxExclusive> \"10\"^^<http://www.w3.org/2001/XMLSchema#integer>))"},
        ParseCase{"literal_forms", "p value \"x\"@en or p value \"y\" or p value \"1.5\"^^xsd:decimal or p value 2.5 or p value -1.5e3f",
                  "ObjectUnionOf(DataHasValue(" X("p") " \"x\"@en) DataHasValue(" X("p") " \"y\") DataHasValue(" X("p")
                  " \"1.5\"^^<http://www.w3.org/2001/XMLSchema#decimal>) DataHasValue(" X("p")
                  " \"2.5\"^^<http://www.w3.org/2001/XMLSchema#decimal>) DataHasValue(" X("p")
                  " \"-1.5e3\"^^<http://www.w3.org/2001/XMLSchema#float>))"},
        ParseCase{"data_range_groups", "p only (integer or not (string and xsd:boolean))",
                  "DataAllValuesFrom(" X("p") " DataUnionOf(<http://www.w3.org/2001/XMLSchema#integer> "
                  "DataComplementOf(DataIntersectionOf(<http://www.w3.org/2001/XMLSchema#string> "
                  "<http://www.w3.org/2001/XMLSchema#boolean>))))"},
        ParseCase{"literal_enumeration", "p some {1, \"a\"}",
                  "DataSomeValuesFrom(" X("p") " DataOneOf(\"1\"^^<http://www.w3.org/2001/XMLSchema#integer> \"a\"))"},
        ParseCase{"data_cardinalities", "p min 1 and p exactly 2 integer",
                  "ObjectIntersectionOf(DataMinCardinality(1 " X("p")
                  " <http://www.w3.org/2000/01/rdf-schema#Literal>) DataExactCardinality(2 " X("p")
                  " <http://www.w3.org/2001/XMLSchema#integer>))"},
        ParseCase{"data_filler_then_class_conjunct", "p some integer and A",
                  "ObjectIntersectionOf(DataSomeValuesFrom(" X("p") " <http://www.w3.org/2001/XMLSchema#integer>) " X("A") ")"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ErrorCase {
  const char* name;
  std::string text;
  uint32_t column;
  const char* message_part;
};

class ClassExpressionErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ClassExpressionErrors, ReportsWhereAndWhat) {
  const auto& c = GetParam();
  BuildContext ctx = build_context(ontology().axioms);
  auto r = parse_class_expression(c.text, ontology().prefixes, ctx);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().line, 1u);
  if (c.column) {
    EXPECT_EQ(r.error().column, c.column) << r.error().to_string();
  }
  EXPECT_NE(r.error().message.find(c.message_part), std::string::npos) << r.error().to_string();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClassExpressionErrors,
    ::testing::Values(
        ErrorCase{"empty", "", 1, "empty class expression"},
        ErrorCase{"blank", "   ", 4, "empty class expression"},
        ErrorCase{"dangling_and", "A and", 6, "expected a class expression, found end of input"},
        ErrorCase{"unclosed_group", "(A or B", 8, "expected 'and', 'or' or ')'"},
        ErrorCase{"extra_close", "A)", 2, "end of input"},
        ErrorCase{"juxtaposed", "A B", 3, "expected 'and', 'or' or end of input"},
        ErrorCase{"unknown_prefix", "zz:A", 1, "unknown prefix 'zz:'"},
        ErrorCase{"bad_cardinality", "r min x A", 7, "non-negative integer"},
        ErrorCase{"negative_cardinality", "r min -1 A", 7, "non-negative integer"},
        ErrorCase{"unterminated_string", "p value \"abc", 9, "unterminated string"},
        ErrorCase{"bad_iri", "<http://x/a b>", 12, "malformed IRI"},
        ErrorCase{"bad_facet", "p some integer[foo 1]", 16, "expected a facet"},
        ErrorCase{"self_on_data", "p Self", 0, "object property for 'Self'"},
        ErrorCase{"missing_filler", "r some", 7, "expected a class expression"},
        ErrorCase{"deep_groups", std::string(100000, '(') + "A" + std::string(100000, ')'), 0, "nesting deeper than 10000"},
        ErrorCase{"deep_negation", [] {
                    std::string s;
                    for (int i = 0; i < 100000; ++i) s += "not ";
                    return s + "A";
                  }(), 0, "nesting deeper than 10000"},
        ErrorCase{"deep_restrictions", [] {
                    std::string s;
                    for (int i = 0; i < 100000; ++i) s += "r some ";
                    return s + "A";
                  }(), 0, "nesting deeper than 10000"},
        ErrorCase{"deep_data_groups", "p some " + std::string(100000, '(') + "integer", 0, "nesting deeper than 10000"}),
    [](const auto& info) { return std::string(info.param.name); });

// Rendering a parsed expression and parsing the line again gives the same expression.
TEST(ClassExpressionParser, ReadsBackRenderedExpressions) {
  BuildContext ctx = build_context(ontology().axioms);
  for (const char* text :
       {"A or B and not C", "r some (A or B) and r only (r value a)", "inverse r min 2 (A and {a, b})",
        "r max 0 and r exactly 1 A", "p some xsd:integer[>= 5, < 10] or p value \"x\"@en",
        "p only {1, 2} and p max 1 not integer", "not (s Self or (A and B))"}) {
    auto first = parse_class_expression(text, ontology().prefixes, ctx);
    ASSERT_TRUE(first.has_value()) << text << ": " << first.error().to_string();
    std::string line = render_manchester_axiom(Axiom(ClassAssertion{*first, NamedIndividual{Iri("i")}}));
    std::string rendered = line.substr(std::string("<i> Type ").size());
    auto second = parse_class_expression(rendered, ontology().prefixes, ctx);
    ASSERT_TRUE(second.has_value()) << rendered << ": " << second.error().to_string();
    EXPECT_TRUE(*first == *second) << text << " -> " << rendered;
  }
}

TEST(ClassExpressionParser, NestingUpToTheLimitIsRead) {
  BuildContext ctx;
  PrefixMapping prefixes{{"", "http://x/"}};
  auto r = parse_class_expression(std::string(9999, '(') + "A" + std::string(9999, ')'), prefixes, ctx);
  ASSERT_TRUE(r.has_value()) << r.error().to_string();
  EXPECT_EQ(kind_of(*r), ClassExpressionKind::Class);
}

}  // namespace
}  // namespace kelmon::owl
