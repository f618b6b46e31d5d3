#include "reasoner/explanation/prepared_ontology.h"

#include <gtest/gtest.h>

#include "explain_support.h"

namespace kelmon::explain {
namespace {

using kelmon::testing::load_ofn;

TEST(PreparedOntologyTests, SplitSendsDeclarationsAndAnnotationsAsideAndRulesToTheCandidates) {
  auto loaded = load_ofn(
      "Declaration(Class(:A)) Declaration(AnnotationProperty(:note)) "
      "AnnotationAssertion(:note :A \"x\") SubAnnotationPropertyOf(:note :note2) "
      "SubClassOf(Annotation(:note \"why\") :A :B) "
      "DLSafeRule(Body(ClassAtom(:A Variable(:v))) Head(ClassAtom(:B Variable(:v))))");
  const SplitAxioms split = split_logical_axioms(loaded.axioms);
  std::size_t declarations = 0, annotations = 0;
  for (const auto& a : split.non_logical) {
    declarations += owl::is_declaration(a) ? 1 : 0;
    annotations += owl::kind_of(a) == owl::AxiomKind::AnnotationAssertion ||
                   owl::kind_of(a) == owl::AxiomKind::SubAnnotationPropertyOf;
  }
  EXPECT_EQ(declarations, 2u);
  EXPECT_EQ(annotations, 2u);
  ASSERT_EQ(split.logical.size(), 2u);
  std::size_t rules = 0;
  for (const auto& a : split.logical) {
    rules += owl::kind_of(a) == owl::AxiomKind::Rule;
    EXPECT_TRUE(owl::kind_of(a) == owl::AxiomKind::Rule || owl::kind_of(a) == owl::AxiomKind::SubClassOf);
  }
  EXPECT_EQ(rules, 1u);
  // The logical copy carries no annotations any more: it equals the bare axiom.
  const owl::Axiom bare = testing::axiom("SubClassOf(:A :B)");
  bool found = false;
  for (const auto& a : split.logical) found = found || owl::structurally_equal(a, bare);
  EXPECT_TRUE(found);
}

TEST(PreparedOntologyTests, PrepareKeepsTheSplitAndTheFragmentKind) {
  const PreparedOntology el = PreparedOntology::prepare(load_ofn("SubClassOf(:A :B)").axioms);
  EXPECT_EQ(el.fragment_kind, 0);
  EXPECT_EQ(el.logical.size(), 1u);
  const PreparedOntology disjunctive =
      PreparedOntology::prepare(load_ofn("SubClassOf(:A ObjectUnionOf(:B :C))").axioms);
  EXPECT_EQ(disjunctive.fragment_kind, 2);
}

TEST(PreparedOntologyTests, JustificationsCarryTheFragmentKind) {
  PreparedOntology p = PreparedOntology::prepare(load_ofn("ClassAssertion(:A :i) ClassAssertion(:B :i)").axioms);
  testing::SetOracle oracle{{testing::axioms({"ClassAssertion(:A :i)"})}};
  auto found = p.find_all_justifications(oracle, JustifyQuery{QueryKind::Inconsistent, {}}, 10);
  ASSERT_TRUE(found.has_value());
  ASSERT_EQ(found->size(), 1u);
  EXPECT_EQ((*found)[0].second, p.fragment_kind);
  EXPECT_EQ((*found)[0].first.size(), 1u);
  auto again = p.find_all_justifications(oracle, JustifyQuery{QueryKind::Inconsistent, {}}, 10);
  ASSERT_TRUE(again.has_value());
  EXPECT_TRUE(owl::structurally_equal((*again)[0].first[0], (*found)[0].first[0]));
}

}  // namespace
}  // namespace kelmon::explain
