#include "reasoner/properties/property_values.h"

#include <gtest/gtest.h>

#include <string>

#include "core/convert/convert.h"
#include "reasoner/properties/data_values.h"
#include "reasoner/properties/property_test_support.h"
#include "reasoner/properties/simple_tbox.h"

namespace kelmon::reasoner {
namespace {

using testing::load_axioms;

struct SimpleCase {
  const char* name;
  const char* axioms;
  bool simple;
};

class SimpleTbox : public ::testing::TestWithParam<SimpleCase> {};

TEST_P(SimpleTbox, FollowsTheRuleOfEachAxiomKind) {
  const InternalOntology ir = convert_ontology(load_axioms(GetParam().axioms).axioms);
  EXPECT_EQ(simple_tbox(ir), GetParam().simple);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SimpleTbox,
    ::testing::Values(
        SimpleCase{"Empty", "", true},
        SimpleCase{"ExistentialOverNamedRole", "SubClassOf(:A ObjectSomeValuesFrom(:r :B))", true},
        SimpleCase{"ExistentialOverInverse", "SubClassOf(:A ObjectSomeValuesFrom(ObjectInverseOf(:r) :B))", false},
        SimpleCase{"NominalFillerOverInverse",
                   "SubClassOf(:A ObjectSomeValuesFrom(ObjectInverseOf(:r) ObjectOneOf(:b)))", true},
        SimpleCase{"ConjunctionOfSimple",
                   "SubClassOf(:A ObjectIntersectionOf(:B ObjectSomeValuesFrom(:r :C)))", true},
        SimpleCase{"Universal", "SubClassOf(:A ObjectAllValuesFrom(:r :B))", false},
        SimpleCase{"ComplexSubClass", "SubClassOf(ObjectSomeValuesFrom(:r :B) :A)", false},
        SimpleCase{"EquivalentNames", "EquivalentClasses(:A :B)", true},
        SimpleCase{"EquivalentDefinition", "EquivalentClasses(:A ObjectSomeValuesFrom(:r :B))", false},
        SimpleCase{"ConjunctiveRange", "ObjectPropertyRange(:r ObjectIntersectionOf(:A :B))", true},
        SimpleCase{"ExistentialDomain", "ObjectPropertyDomain(:r ObjectSomeValuesFrom(:r :B))", false},
        SimpleCase{"Functional", "FunctionalObjectProperty(:r)", false},
        SimpleCase{"Reflexive", "ReflexiveObjectProperty(:r)", false},
        SimpleCase{"Disjointness", "DisjointClasses(:A :B) DisjointObjectProperties(:r :s)", true},
        SimpleCase{"NominalAssertion", "ClassAssertion(ObjectOneOf(:b) :a)", false},
        SimpleCase{"ChainAlone", "SubObjectPropertyOf(ObjectPropertyChain(:r :s) :t)", true},
        SimpleCase{"TransitiveWithFacts", "TransitiveObjectProperty(:r) ObjectPropertyAssertion(:r :a :b)", true},
        SimpleCase{"TransitiveWithNominalExistential",
                   "TransitiveObjectProperty(:r) SubClassOf(:A ObjectSomeValuesFrom(:r ObjectOneOf(:b)))", true},
        // A witness of ∃r.B can link named individuals through the composed role.
        SimpleCase{"TransitiveWithExistential",
                   "TransitiveObjectProperty(:r) SubClassOf(:A ObjectSomeValuesFrom(:s :B))", false},
        SimpleCase{"ChainWithExistentialUnderConjunction",
                   "SubObjectPropertyOf(ObjectPropertyChain(:r :s) :t) "
                   "SubClassOf(:A ObjectIntersectionOf(:C ObjectSomeValuesFrom(:s :B)))",
                   false},
        SimpleCase{"TransitiveWithExistentialAssertion",
                   "TransitiveObjectProperty(:r) ClassAssertion(ObjectSomeValuesFrom(:r :B) :a)", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConnectedIndividualPairs, EachPairOnceBothWaysAtItsFirstTriple) {
  const IndividualId a{0}, b{1}, c{2};
  const RoleId p{0}, q{1};
  const std::vector<IdTriple> triples = {{a, p, b}, {b, q, a}, {c, p, c}, {b, p, c}, {a, q, b}};
  const std::vector<std::pair<IndividualId, IndividualId>> expected = {{a, b}, {b, a}, {c, c}, {b, c}, {c, b}};
  EXPECT_EQ(connected_individual_pairs(triples), expected);
  EXPECT_TRUE(connected_individual_pairs({}).empty());
}

TEST(DeclaredObjectProperties, AscendingWithoutRepeats) {
  const InternalOntology ir = convert_ontology(
      load_axioms("Declaration(ObjectProperty(:q)) ObjectPropertyAssertion(:u :a :b) Declaration(ObjectProperty(:p)) "
                  "Declaration(Class(:A))")
          .axioms);
  std::vector<std::string> names;
  for (RoleId r : declared_object_properties(ir)) names.push_back(testing::short_name(ir.vocabulary.roles.name(r)));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"p", "q"}));
  const auto ids = declared_object_properties(ir);
  EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
}

TEST(InferredObjectPropertyAssertions, RefusesFactsThatClash) {
  auto answer = inferred_object_property_assertions(
      load_axioms("DisjointClasses(:A :B) ClassAssertion(:A :a) ClassAssertion(:B :a)"));
  ASSERT_FALSE(answer);
  EXPECT_TRUE(std::holds_alternative<Inconsistent>(answer.error()));
}

TEST(CanonicalName, FindsTheRootAndPointsThePathAtIt) {
  SameIndividualParents parents = {{"a", "b"}, {"b", "c"}, {"c", "d"}, {"x", "x"}};
  EXPECT_EQ(canonical_name(parents, "a"), "d");
  EXPECT_EQ(parents["a"], "d");
  EXPECT_EQ(parents["b"], "d");
  EXPECT_EQ(parents["c"], "d");
  EXPECT_FALSE(parents.contains("d"));
  EXPECT_EQ(canonical_name(parents, "x"), "x");
  EXPECT_EQ(canonical_name(parents, "unknown"), "unknown");
  EXPECT_FALSE(parents.contains("unknown"));
}

TEST(RenderLiteral, KeepsTheLexicalFormAndTagAsWritten) {
  using Rendered = std::array<std::string, 3>;
  EXPECT_EQ(render_literal(owl::Literal::plain(" 5 ")),
            (Rendered{" 5 ", "http://www.w3.org/2001/XMLSchema#string", ""}));
  EXPECT_EQ(render_literal(owl::Literal::typed("05", owl::Datatype{owl::Iri("http://www.w3.org/2001/XMLSchema#int")})),
            (Rendered{"05", "http://www.w3.org/2001/XMLSchema#int", ""}));
  EXPECT_EQ(render_literal(owl::Literal::language_tagged("Hi", std::string_view("EN-gb"))),
            (Rendered{"Hi", "http://www.w3.org/1999/02/22-rdf-syntax-ns#langString", "EN-gb"}));
}

}  // namespace
}  // namespace kelmon::reasoner
