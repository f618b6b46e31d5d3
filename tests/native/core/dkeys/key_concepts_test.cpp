// Key concepts of data ranges, literals and data restrictions, read from
// functional-syntax fixtures and converted through the conversion driver.
#include "core/dkeys/key_concepts.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "core/convert/class_expression.h"
#include "core/convert/data_restrictions.h"
#include "core/convert/convert_support.h"
#include "common/scoped_switch.h"
#include "core/ir_fixture.h"

namespace kelmon::testing {
namespace {

const std::string kLangString = "<http://www.w3.org/1999/02/22-rdf-syntax-ns#langString>";
const std::string kLiteral = "<http://www.w3.org/2000/01/rdf-schema#Literal>";

std::string strip(std::string text) {
  for (const std::string prefix : {"urn:kelmon-dkey:", "http://x/"})
    for (auto at = text.find(prefix); at != std::string::npos; at = text.find(prefix)) text.erase(at, prefix.size());
  return text;
}

// The fixture's one axiom of this kind (the reader may add declarations).
template <class Axiom>
const Axiom& only_axiom(const owl::LoadedOntology& loaded) {
  const Axiom* found = nullptr;
  for (const auto& annotated : loaded.axioms)
    if (const auto* a = std::get_if<Axiom>(&annotated.axiom)) {
      EXPECT_EQ(found, nullptr);
      found = a;
    }
  if (!found) throw std::logic_error("fixture axiom missing");
  return *found;
}

// The key class of DataPropertyRange(:p R)'s range, or "unsupported".
std::string range_key(const std::string& range) {
  const auto loaded = load_ofn("DataPropertyRange(:p " + range + ")");
  InternalOntology o;
  auto k = data_range_concept("http://x/p", only_axiom<owl::DataPropertyRange>(loaded).range, o.vocabulary, o.concepts);
  if (!k) {
    EXPECT_EQ(o.vocabulary.roles.size() + o.vocabulary.classes.size() + o.concepts.size(), 0u) << "interned on failure";
    return "unsupported";
  }
  EXPECT_EQ(k->role, Role::named(RoleId{0}));
  return strip(render(o, k->key));
}

// The concept of DataPropertyAssertion(:p :a v)'s literal, or "not keyable".
std::string value_concept(const std::string& literal) {
  const auto loaded = load_ofn("DataPropertyAssertion(:p :a " + literal + ")");
  InternalOntology o;
  auto c = data_value_concept("http://x/p", only_axiom<owl::DataPropertyAssertion>(loaded).value, o.vocabulary,
                              o.concepts);
  if (!c) {
    EXPECT_EQ(o.vocabulary.roles.size() + o.vocabulary.classes.size() + o.concepts.size(), 0u) << "interned on failure";
    return "not keyable";
  }
  return strip(render(o, *c));
}

struct TextCase {
  std::string input;
  std::string expected;
};

class ValueConcepts : public ::testing::TestWithParam<TextCase> {};
TEST_P(ValueConcepts, key) { EXPECT_EQ(value_concept(GetParam().input), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(
    Literals, ValueConcepts,
    ::testing::Values(TextCase{"\"5\"^^xsd:integer", "Some(p 5:5)"}, TextCase{"\"+05\"^^xsd:integer", "Some(p 5:5)"},
                      TextCase{"\"5\"^^xsd:int", "Some(p 5:5)"}, TextCase{"\"-3\"^^xsd:byte", "Some(p -3:-3)"},
                      TextCase{"\"7\"^^xsd:unsignedLong", "Some(p 7:7)"},
                      TextCase{"\"300\"^^xsd:byte", "not keyable"},
                      TextCase{"\"-1\"^^xsd:nonNegativeInteger", "not keyable"},
                      TextCase{"\"0\"^^xsd:positiveInteger", "not keyable"},
                      TextCase{"\"99999999999999999999\"^^xsd:integer", "not keyable"},
                      TextCase{"\"x\"^^xsd:integer", "not keyable"}, TextCase{"\"abc\"", "Some(p str:616263)"},
                      TextCase{"\"abc\"^^xsd:string", "Some(p str:616263)"},
                      TextCase{"\"Chat\"@FR", "Some(p lang:43686174.6672)"},
                      TextCase{"\"-0.0\"^^xsd:double",
                               "Some(p db:9223372036854775808:i:9223372036854775808:i)"},
                      TextCase{"\"0.0\"^^xsd:double", "Some(p db:0:i:0:i)"},
                      TextCase{"\"1.5\"^^xsd:float", "Some(p f:4609434218613702656:i:4609434218613702656:i)"},
                      TextCase{"\"INF\"^^xsd:float", "not keyable"}, TextCase{"\"1e400\"^^xsd:double", "not keyable"},
                      TextCase{"\"1.50\"^^xsd:decimal", "Some(p dec:1.5:i:1.5:i)"},
                      TextCase{"\"2020-01-05\"^^xsd:date", "Some(p date:2020.1.5:i:2020.1.5:i)"},
                      TextCase{"\"2020-01-05T00:30:00\"^^xsd:dateTime",
                               "Some(p dt:2020.1.5.0.30.0:i:2020.1.5.0.30.0:i)"},
                      TextCase{"\"2020-13-05\"^^xsd:date", "not keyable"},
                      TextCase{"\"true\"^^xsd:boolean", "not keyable"}));

class RangeKeys : public ::testing::TestWithParam<TextCase> {};
TEST_P(RangeKeys, key) { EXPECT_EQ(range_key(GetParam().input), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(
    Ranges, RangeKeys,
    ::testing::Values(
        TextCase{"xsd:double", "db:*:e:*:e"}, TextCase{"xsd:integer", "*:*"}, TextCase{"xsd:float", "f:*:e:*:e"},
        TextCase{"DatatypeRestriction(xsd:double xsd:minInclusive \"1.5\"^^xsd:double)",
                 "db:4609434218613702656:i:*:e"},
        TextCase{"DataUnionOf(DataOneOf(\"a\") DataOneOf(\"b\"))", "str:61:62"},
        TextCase{"DataUnionOf(DatatypeRestriction(xsd:integer xsd:minInclusive \"1\"^^xsd:integer xsd:maxInclusive "
                 "\"3\"^^xsd:integer) DatatypeRestriction(xsd:integer xsd:minInclusive \"5\"^^xsd:integer "
                 "xsd:maxInclusive \"9\"^^xsd:integer))",
                 "iset:1:3;5:9"},
        TextCase{"DataUnionOf(DatatypeRestriction(xsd:integer xsd:minInclusive \"1\"^^xsd:integer xsd:maxInclusive "
                 "\"3\"^^xsd:integer) DatatypeRestriction(xsd:integer xsd:minInclusive \"4\"^^xsd:integer "
                 "xsd:maxInclusive \"9\"^^xsd:integer))",
                 "1:9"},
        TextCase{"DataUnionOf(xsd:integer xsd:string)", "unsupported"}, TextCase{kLangString, "lang:*"},
        TextCase{"xsd:string", "str:*"}, TextCase{"DataOneOf(\"3\"^^xsd:integer \"-1\"^^xsd:integer)", "io:-1;3"},
        TextCase{"DataIntersectionOf(xsd:integer xsd:integer)", "unsupported"},
        TextCase{"DataComplementOf(xsd:integer)", "unsupported"}, TextCase{"xsd:boolean", "unsupported"},
        TextCase{"xsd:decimal", "dec:*:e:*:e"}, TextCase{"xsd:date", "date:*:e:*:e"}));

// SubClassOf(:A E) converted whole: E's concept, or the dropped-axiom text.
std::string class_expression(const std::string& expression) {
  InternalOntology o = convert_ofn("SubClassOf(:A " + expression + ")");
  if (!o.dropped.empty()) return o.dropped.begin()->first;
  const ConceptId a = o.concepts.intern(Atomic{class_id(o, "A")});
  for (const Axiom& axiom : o.axioms)
    if (const auto* s = std::get_if<SubClassOf>(&axiom); s && s->sub == a) return strip(render(o, s->sup));
  return "no axiom";
}

struct ExpressionCase {
  std::string expression;
  std::string expected;
  const char* data_properties = nullptr;  // KELMON_DATA_PROPERTIES, unset when null
};

class DataRestrictions : public ::testing::TestWithParam<ExpressionCase> {};
TEST_P(DataRestrictions, concept_id) {
  ScopedSwitch env(SwitchId::DataProperties,
               GetParam().data_properties ? std::optional<std::string>(GetParam().data_properties) : std::nullopt);
  EXPECT_EQ(class_expression(GetParam().expression), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Expressions, DataRestrictions,
    ::testing::Values(
        ExpressionCase{"DataHasValue(:p \"5\"^^xsd:integer)", "Some(p 5:5)"},
        ExpressionCase{"DataHasValue(:p \"5\"^^xsd:int)", "Some(p 5:5)"},
        ExpressionCase{"DataMinCardinality(0 :p xsd:integer)", "Top"},
        ExpressionCase{"DataMinCardinality(2 :p xsd:integer)", "Min(2 p *:*)"},
        ExpressionCase{"DataExactCardinality(0 :p xsd:string)", "Max(0 p str:*)"},
        ExpressionCase{"DataExactCardinality(2 :p xsd:double)", "And(Max(2 p db:*:e:*:e) Min(2 p db:*:e:*:e))"},
        ExpressionCase{"DataMaxCardinality(2 :p " + kLiteral + ")", "Max(2 p Top)"},
        ExpressionCase{"DataMaxCardinality(2 :p " + kLiteral + ")", "SubClassOf: unsupported data range", "0"},
        ExpressionCase{"DataMinCardinality(1 :p " + kLangString + ")", "SubClassOf: unsupported data range"},
        ExpressionCase{"DataSomeValuesFrom(:p " + kLangString + ")", "Some(p lang:*)"},
        ExpressionCase{"DataMinCardinality(2 :p DataUnionOf(DataOneOf(\"1\"^^xsd:integer) "
                       "DataOneOf(\"2\"^^xsd:integer)))",
                       "Min(2 p io:1;2)"},
        ExpressionCase{"DataMaxCardinality(1 :p xsd:date)", "Max(1 p date:*:e:*:e)"},
        ExpressionCase{"DataMinCardinality(1 :p DataOneOf(\"2020-01-05\"^^xsd:date))",
                       "Min(1 p dao:2020.1.5)"},
        ExpressionCase{"DataMinCardinality(1 :p DataUnionOf(xsd:integer xsd:string))",
                       "SubClassOf: unsupported data range"},
        ExpressionCase{"DataSomeValuesFrom(:p DataUnionOf(xsd:integer xsd:string))", "Or(Some(p *:*) Some(p str:*))"},
        ExpressionCase{"DataSomeValuesFrom(:p DataComplementOf(xsd:integer))", "Some(p Not(*:*))"},
        ExpressionCase{"DataAllValuesFrom(:p DataComplementOf(xsd:string))", "All(p Not(str:*))"},
        ExpressionCase{"DataAllValuesFrom(:p xsd:decimal)", "All(p dec:*:e:*:e)"},
        ExpressionCase{"DataSomeValuesFrom(:p DataIntersectionOf(xsd:string xsd:integer))", "Bottom"},
        ExpressionCase{"DataAllValuesFrom(:p DataIntersectionOf(xsd:string xsd:integer))",
                       "SubClassOf: unsupported data range"},
        ExpressionCase{"DataSomeValuesFrom(:p DataIntersectionOf(xsd:integer DatatypeRestriction(xsd:integer "
                       "xsd:maxInclusive \"4\"^^xsd:integer)))",
                       "Some(p *:4)"},
        ExpressionCase{"DataSomeValuesFrom(:p DataComplementOf(xsd:integer))", "SubClassOf: unsupported data range",
                       "0"}));

TEST(DataRestrictions, equal_restrictions_share_one_key_class_and_concept) {
  InternalOntology o = convert_ofn(
      "SubClassOf(:A DataSomeValuesFrom(:p xsd:integer)) SubClassOf(:B DataSomeValuesFrom(:p xsd:integer))");
  const auto key = o.vocabulary.classes.get("urn:kelmon-dkey:*:*");
  ASSERT_TRUE(key);
  const ConceptId some = pooled(o, Some{pooled(o, Atomic{key->id}), Role::named(role_id(o, "p"))});
  EXPECT_TRUE(has_axiom(o, SubClassOf{atomic(o, "A"), some}));
  EXPECT_TRUE(has_axiom(o, SubClassOf{atomic(o, "B"), some}));
  EXPECT_EQ(o.vocabulary.classes.size(), 3u);  // A, the key, B
}

// The readers require two operands; the model does not, and an empty union has no value.
TEST(DataRestrictions, some_values_from_an_empty_union_is_bottom) {
  InternalOntology o;
  const auto c = convert_data_some(owl::DataSomeValuesFrom{owl::DataProperty{owl::Iri("http://x/p")},
                                                           owl::DataRange(owl::DataUnionOf{})},
                                   o);
  ASSERT_TRUE(c);
  EXPECT_EQ(o.concepts.get(*c), Concept(Bottom{}));
}

TEST(DataRestrictions, property_is_interned_before_the_key_class) {
  InternalOntology o;
  const auto loaded = load_ofn("DataPropertyAssertion(:p :a \"7\"^^xsd:integer)");
  ASSERT_TRUE(data_value_concept("http://x/p", only_axiom<owl::DataPropertyAssertion>(loaded).value, o.vocabulary,
                                 o.concepts));
  EXPECT_EQ(o.vocabulary.roles.size(), 1u);
  ASSERT_EQ(o.concepts.size(), 2u);  // Atomic(key), then Some
  EXPECT_EQ(o.concepts.get(ConceptId{0}), Concept(Atomic{ClassId{0}}));
}

TEST(DataRestrictions, asking_for_no_part_is_an_invariant_failure) {
  const auto loaded = load_ofn("DataPropertyRange(:p xsd:string)");
  InternalOntology o;
  EXPECT_THROW(encode_data_cardinality(CountedRange::Strings, 1, "http://x/p",
                                       only_axiom<owl::DataPropertyRange>(loaded).range, o.vocabulary, o.concepts,
                                       false, false),
               InvariantFailure);
}

TEST(DataAxioms, ranges_and_assertions_become_key_axioms) {
  InternalOntology o = convert_ofn(
      "DataPropertyRange(:p DataComplementOf(xsd:integer))\n"
      "DataPropertyRange(:q DataIntersectionOf(xsd:integer DatatypeRestriction(xsd:integer xsd:minInclusive "
      "\"0\"^^xsd:integer)))\n"
      "DataPropertyRange(:r DataIntersectionOf(xsd:string xsd:integer))\n"
      "DataPropertyAssertion(:p :a \"5\"^^xsd:integer)\n"
      "NegativeDataPropertyAssertion(:p :a \"6\"^^xsd:integer)\n"
      "DataPropertyAssertion(:p :a \"300\"^^xsd:byte)");
  std::vector<std::string> rendered;
  for (const Axiom& a : o.axioms) rendered.push_back(strip(render(o, a)));
  std::sort(rendered.begin(), rendered.end());
  const std::vector<std::string> expected = {
      "ClassAssertion(Not(Some(p 6:6)) a)", "ClassAssertion(Some(p 5:5) a)",
      "DisjointClasses(6:6 5:5)",                    "ObjectPropertyRange(p Not(*:*))",
      "ObjectPropertyRange(q 0:*)",                  "SubClassOf(0:* *:*)",
      "SubClassOf(5:5 *:*)",                         "SubClassOf(5:5 0:*)",
      "SubClassOf(6:6 *:*)",                         "SubClassOf(6:6 0:*)"};
  EXPECT_EQ(rendered, expected);
  const std::map<std::string, std::uint64_t> dropped = {{"DataPropertyAssertion: unsupported data range", 1},
                                                        {"DataPropertyRange: unsupported data range", 1}};
  EXPECT_EQ(o.dropped, dropped);
}

TEST(DataAxioms, functional_property_values_are_told_apart) {
  InternalOntology o = convert_ofn(
      "FunctionalDataProperty(:p)\n"
      "DataPropertyAssertion(:p :a \"1\"^^xsd:integer)\n"
      "DataPropertyAssertion(:p :b \"2\"^^xsd:integer)");
  std::vector<std::string> disjoint;
  for (const Axiom& a : o.axioms)
    if (std::holds_alternative<DisjointClasses>(a)) disjoint.push_back(strip(render(o, a)));
  EXPECT_EQ(disjoint, std::vector<std::string>{"DisjointClasses(1:1 2:2)"});
}

}  // namespace
}  // namespace kelmon::testing

namespace kelmon::testing {
namespace {

// The told data pass runs before the key pass: a class whose told data
// restriction cannot be met is unsatisfiable, and the keys still get their axioms.
TEST(DataPasses, told_axioms_then_key_axioms) {
  InternalOntology o = convert_ofn(
      "SubClassOf(:A DataMinCardinality(3 :p)) SubClassOf(:A DataMaxCardinality(2 :p))\n"
      "FunctionalDataProperty(:q)\n"
      "SubClassOf(:B DataHasValue(:q \"1\"^^xsd:integer))\n"
      "SubClassOf(:C DataHasValue(:q \"2\"^^xsd:integer))");
  const ConceptId bottom = pooled(o, Bottom{});
  EXPECT_TRUE(has_axiom(o, SubClassOf{atomic(o, "A"), bottom}));
  std::vector<std::string> disjoint;
  for (const Axiom& a : o.axioms)
    if (std::holds_alternative<DisjointClasses>(a)) disjoint.push_back(strip(render(o, a)));
  EXPECT_EQ(disjoint, std::vector<std::string>{"DisjointClasses(1:1 2:2)"});
}

}  // namespace
}  // namespace kelmon::testing
