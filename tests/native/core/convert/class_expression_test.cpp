#include "core/convert/class_expression.h"

#include <gtest/gtest.h>

#include "core/convert/convert_support.h"

namespace kelmon {
namespace {

using namespace kelmon::testing;

TEST(ClassExpressionConversion, OwlThingAndNothingAreTopAndBottomNeverClassNames) {
  auto o = convert_ofn(
      "Declaration(Class(owl:Thing)) Declaration(Class(owl:Nothing))\n"
      "SubClassOf(:A owl:Thing) SubClassOf(:B owl:Nothing) SubClassOf(owl:Thing :C)");
  EXPECT_FALSE(o.vocabulary.classes.get("http://www.w3.org/2002/07/owl#Thing"));
  EXPECT_FALSE(o.vocabulary.classes.get("http://www.w3.org/2002/07/owl#Nothing"));
  ConceptId top = pooled(o, Top{}), bottom = pooled(o, Bottom{});
  EXPECT_TRUE(has_axiom(o, SubClassOf{atomic(o, "A"), top}));
  EXPECT_TRUE(has_axiom(o, SubClassOf{atomic(o, "B"), bottom}));
  EXPECT_TRUE(has_axiom(o, SubClassOf{top, atomic(o, "C")}));
  for (const auto& a : o.axioms) EXPECT_FALSE(std::holds_alternative<DeclareClass>(a));
}

TEST(ClassExpressionConversion, DisjointUnionOfOwlThingStatesTheSameOverTop) {
  auto o = convert_ofn("DisjointUnion(owl:Thing :A :B)");
  ConceptId a = atomic(o, "A"), b = atomic(o, "B");
  ConceptId top = pooled(o, Top{});
  ConceptId a_or_b = pooled(o, Or{{std::min(a, b), std::max(a, b)}});
  EXPECT_TRUE(has_axiom(o, EquivalentClasses{{top, a_or_b}}));
  EXPECT_TRUE(has_axiom(o, DisjointClasses{{a, b}}));
  EXPECT_FALSE(o.vocabulary.classes.get("http://www.w3.org/2002/07/owl#Thing"));
}

struct SameConceptCase {
  const char* name;
  const char* left;   // class expressions in functional syntax
  const char* right;
};

class SameConcept : public ::testing::TestWithParam<SameConceptCase> {};

// Two expressions that must become one pooled concept (hash-consing plus the canonical builders).
TEST_P(SameConcept, GiveOneConceptId) {
  auto o = convert_ofn(std::string("SubClassOf(:L ") + GetParam().left + ")\nSubClassOf(:R " + GetParam().right + ")");
  ConceptId l{~0u}, r{~0u};
  for (const auto& a : o.axioms) {
    if (const auto* s = std::get_if<SubClassOf>(&a)) {
      if (s->sub == pooled(o, Atomic{class_id(o, "L")})) l = s->sup;
      if (s->sub == pooled(o, Atomic{class_id(o, "R")})) r = s->sup;
    }
  }
  EXPECT_EQ(l, r);
  EXPECT_NE(l.v, ~0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SameConcept,
    ::testing::Values(SameConceptCase{"has_value", "ObjectHasValue(:r :a)", "ObjectSomeValuesFrom(:r ObjectOneOf(:a))"},
                      SameConceptCase{"intersection_order", "ObjectIntersectionOf(:B :C)", "ObjectIntersectionOf(:C :B :C)"},
                      SameConceptCase{"min_zero", "ObjectMinCardinality(0 :r :B)", "owl:Thing"},
                      SameConceptCase{"exact_zero", "ObjectExactCardinality(0 :r :B)", "ObjectMaxCardinality(0 :r :B)"}),
    [](const auto& info) { return std::string(info.param.name); });

// The readers refuse empty operand lists, but the model allows them.
TEST(ClassExpressionConversion, EmptyListsGiveTopOrBottom) {
  InternalOntology o;
  auto top = convert_class_expression(owl::ObjectIntersectionOf{}, o);
  auto bottom_union = convert_class_expression(owl::ObjectUnionOf{}, o);
  auto bottom_one_of = convert_class_expression(owl::ObjectOneOf{}, o);
  ASSERT_TRUE(top && bottom_union && bottom_one_of);
  EXPECT_TRUE(std::holds_alternative<Top>(o.concepts.get(*top)));
  EXPECT_TRUE(std::holds_alternative<Bottom>(o.concepts.get(*bottom_union)));
  EXPECT_EQ(*bottom_union, *bottom_one_of);
}

TEST(ClassExpressionConversion, ShapesOfEachKind) {
  auto o = convert_ofn(
      "SubClassOf(:A ObjectOneOf(:a))\n"
      "ClassAssertion(ObjectComplementOf(ObjectComplementOf(:C)) :b)\n"
      "SubClassOf(:D ObjectAllValuesFrom(ObjectInverseOf(:r) :C))\n"
      "SubClassOf(:E ObjectHasSelf(:s))\n"
      "SubClassOf(:F ObjectExactCardinality(2 :r :C))\n"
      "SubClassOf(:G ObjectMinCardinality(0 :t :Fresh))");
  ConceptId c = atomic(o, "C");
  Role r = Role::named(role_id(o, "r"));
  EXPECT_TRUE(has_axiom(o, SubClassOf{atomic(o, "A"), pooled(o, Nominal{individual(o, "http://x/a")})}));
  ConceptId not_not_c = pooled(o, Not{pooled(o, Not{c})});  // unsimplified
  EXPECT_TRUE(has_axiom(o, ClassAssertion{not_not_c, individual(o, "http://x/b")}));
  EXPECT_TRUE(has_axiom(o, SubClassOf{atomic(o, "D"), pooled(o, All{c, inverse_role(r)})}));
  EXPECT_TRUE(has_axiom(o, SubClassOf{atomic(o, "E"), pooled(o, Self{Role::named(role_id(o, "s"))})}));
  ConceptId exact = pooled(o, Min{2, c, r});
  ConceptId at_most = pooled(o, Max{2, c, r});
  EXPECT_TRUE(has_axiom(o, SubClassOf{atomic(o, "F"), pooled(o, And{{std::min(exact, at_most), std::max(exact, at_most)}})}));
  // the filler of a zero minimum is still interned
  EXPECT_TRUE(o.vocabulary.classes.get("http://x/Fresh"));
  EXPECT_TRUE(o.vocabulary.roles.get("http://x/t"));
}

TEST(ClassExpressionConversion, RoleIsInternedBeforeItsFiller) {
  auto o = convert_ofn("SubClassOf(ObjectSomeValuesFrom(:r :B) ObjectAllValuesFrom(:s :C))");
  EXPECT_EQ(role_id(o, "r").v, 0u);
  EXPECT_EQ(role_id(o, "s").v, 1u);
  EXPECT_EQ(class_id(o, "B").v, 0u);
  EXPECT_EQ(class_id(o, "C").v, 1u);
}

TEST(ClassExpressionConversion, AnonymousIndividualsGetSyntheticNames) {
  auto o = convert_ofn("ClassAssertion(:A _:node7)");
  EXPECT_TRUE(has_axiom(o, ClassAssertion{atomic(o, "A"), individual(o, "urn:kelmon-anon:node7")}));
}

TEST(ClassExpressionConversion, NestingFarBeyondTheStackIsConvertedIteratively) {
  // Built by hand: the readers stop at a smaller depth.
  owl::ClassExpression e = owl::Class{owl::Iri("http://x/A")};
  owl::ObjectProperty r{owl::Iri("http://x/r")};
  const int depth = 100000;
  for (int i = 0; i < depth; ++i) {
    e = i % 2 ? owl::ClassExpression(owl::ObjectSomeValuesFrom{r, e})
              : owl::ClassExpression(owl::ObjectIntersectionOf{{e, owl::Class{owl::Iri("http://x/B")}}});
  }
  InternalOntology o;
  auto c = convert_class_expression(e, o);
  ASSERT_TRUE(c.has_value());
  EXPECT_GT(o.concepts.size(), static_cast<size_t>(depth));
}

}  // namespace
}  // namespace kelmon
