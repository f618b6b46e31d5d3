#include "reasoner/explanation/justification_search.h"

#include <gtest/gtest.h>

#include "explain_support.h"
#include "reasoner/explanation/candidates.h"
#include "reasoner/explanation/oracle_mode.h"

namespace kelmon::explain {
namespace {

using testing::axiom;
using testing::axioms;
using testing::ScopedSwitch;
using testing::iri;
using testing::SetOracle;

const JustifyQuery kAZ{QueryKind::Subclass, {iri("A"), iri("Z")}};
const JustifyQuery kInconsistent{QueryKind::Inconsistent, {}};

void expect_axioms(const std::vector<owl::Axiom>& got, const std::vector<std::string>& want) {
  const auto expected = axioms(want);
  ASSERT_EQ(got.size(), expected.size());
  for (std::size_t i = 0; i < got.size(); ++i) EXPECT_TRUE(owl::structurally_equal(got[i], expected[i])) << i;
}

// Two justifications of A ⊑ Z: the direct axiom and the chain through B.
struct TwoWays : ::testing::Test {
  ScopedSwitch no_module{SwitchId::JustifyNoModule, std::nullopt};
  ScopedSwitch debug{SwitchId::JustifyDebug, std::nullopt};
  std::vector<owl::Axiom> non_logical;
  std::vector<owl::Axiom> logical =
      axioms({"SubClassOf(:B :Z)", "SubClassOf(:X :Y)", "SubClassOf(:A :Z)", "SubClassOf(:A :B)"});
  SetOracle oracle{{axioms({"SubClassOf(:A :B)", "SubClassOf(:B :Z)"}), axioms({"SubClassOf(:A :Z)"})}};
};

TEST_F(TwoWays, OneJustificationInAxiomOrder) {
  auto j = find_justification(oracle, non_logical, logical, kAZ);
  ASSERT_TRUE(j.has_value());
  ASSERT_TRUE(j->has_value());
  expect_axioms(**j, {"SubClassOf(:A :Z)"});
}

TEST_F(TwoWays, AllJustificationsInTheOrderFound) {
  auto all = find_all_justifications(oracle, non_logical, logical, kAZ, 10);
  ASSERT_TRUE(all.has_value());
  ASSERT_EQ(all->size(), 2u);
  expect_axioms((*all)[0], {"SubClassOf(:A :Z)"});
  expect_axioms((*all)[1], {"SubClassOf(:A :B)", "SubClassOf(:B :Z)"});
}

TEST_F(TwoWays, CapStopsTheTreeAndZeroMakesNoSearch) {
  auto one = find_all_justifications(oracle, non_logical, logical, kAZ, 1);
  ASSERT_TRUE(one.has_value());
  ASSERT_EQ(one->size(), 1u);
  SetOracle counting = oracle;
  counting.calls = 0;
  auto none = find_all_justifications(counting, non_logical, logical, kAZ, 0);
  ASSERT_TRUE(none.has_value());
  EXPECT_TRUE(none->empty());
  EXPECT_EQ(counting.calls, 1u);  // the module's entailment check only
}

TEST_F(TwoWays, ModuleLeavesOutAxiomsOfOtherNames) {
  ASSERT_TRUE(find_justification(oracle, non_logical, logical, kAZ).has_value());
  EXPECT_EQ(oracle.sizes.front(), 2u + 3u);  // declarations of A and Z; X ⊑ Y is not in the module
}

TEST_F(TwoWays, NoModuleSwitchSetEvenEmptyAsksAllAxioms) {
  ScopedSwitch off{SwitchId::JustifyNoModule, ""};
  ASSERT_TRUE(find_justification(oracle, non_logical, logical, kAZ).has_value());
  EXPECT_EQ(oracle.sizes.front(), 2u + 4u);
}

TEST_F(TwoWays, ModuleThatMissesTheEntailmentFallsBackToAllAxiomsWithOneDebugLine) {
  ScopedSwitch on{SwitchId::JustifyDebug, ""};
  SetOracle outside{{axioms({"SubClassOf(:X :Y)"})}};
  ::testing::internal::CaptureStderr();
  auto j = find_justification(outside, non_logical, logical, kAZ);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "# justify ⊥-module: 3 of 4 logical axioms\n");
  ASSERT_TRUE(j.has_value() && j->has_value());
  expect_axioms(**j, {"SubClassOf(:X :Y)"});
}

TEST_F(TwoWays, NotEntailedGivesNoneAndEmptyLists) {
  const JustifyQuery query{QueryKind::Subclass, {iri("Z"), iri("A")}};
  SetOracle never{{axioms({"SubClassOf(:Z :A)"})}};
  auto j = find_justification(never, non_logical, logical, query);
  ASSERT_TRUE(j.has_value());
  EXPECT_FALSE(j->has_value());
  EXPECT_EQ(never.calls, 2u);  // module, then all axioms
  auto all = find_all_justifications(never, non_logical, logical, query, 10);
  ASSERT_TRUE(all.has_value());
  EXPECT_TRUE(all->empty());
}

TEST_F(TwoWays, FirstOracleErrorEndsTheSearch) {
  for (std::uint64_t at : {1u, 2u, 4u}) {
    SetOracle failing = oracle;
    failing.fail_at = at;
    auto j = find_justification(failing, non_logical, logical, kAZ);
    ASSERT_FALSE(j.has_value()) << at;
    EXPECT_TRUE(std::holds_alternative<NoVerdict>(j.error()));
    SetOracle failing_all = oracle;
    failing_all.fail_at = at;
    auto all = find_all_justifications(failing_all, non_logical, logical, kAZ, 10);
    ASSERT_FALSE(all.has_value()) << at;
    EXPECT_EQ(failing_all.calls, at);
  }
}

TEST(JustificationSearchTests, NonLogicalAxiomsAloneGiveOneEmptyJustification) {
  SetOracle always{{{}}};
  const auto logical = axioms({"SubClassOf(:A :B)"});
  auto j = find_justification(always, {}, logical, kAZ);
  ASSERT_TRUE(j.has_value() && j->has_value());
  EXPECT_TRUE((*j)->empty());
  auto all = find_all_justifications(always, {}, logical, kAZ, 10);
  ASSERT_TRUE(all.has_value());
  ASSERT_EQ(all->size(), 1u);
  EXPECT_TRUE((*all)[0].empty());
}

TEST(JustificationSearchTests, SingleCandidateNeedsNoQuickXplain) {
  SetOracle oracle{{axioms({"SubClassOf(:A :Z)"})}};
  auto j = find_justification(oracle, {}, axioms({"SubClassOf(:A :Z)"}), kAZ);
  ASSERT_TRUE(j.has_value() && j->has_value());
  expect_axioms(**j, {"SubClassOf(:A :Z)"});
  EXPECT_EQ(oracle.calls, 2u);  // module, then the background alone
}

TEST(JustificationSearchTests, TwoDisjointJustificationsBothFoundAndTheGrandchildIsNotEntailed) {
  const auto logical = axioms({"ClassAssertion(:A :a)", "ClassAssertion(:B :a)", "ClassAssertion(:C :a)"});
  SetOracle oracle{{axioms({"ClassAssertion(:A :a)"}), axioms({"ClassAssertion(:B :a)"})}};
  auto all = find_all_justifications(oracle, {}, logical, kInconsistent, 5);
  ASSERT_TRUE(all.has_value());
  ASSERT_EQ(all->size(), 2u);
  expect_axioms((*all)[0], {"ClassAssertion(:A :a)"});
  expect_axioms((*all)[1], {"ClassAssertion(:B :a)"});
}

TEST(JustificationSearchTests, CopiesOfOneAxiomCountAsOne) {
  const auto logical = axioms({"SubClassOf(:A :Z)", "SubClassOf(:A :Z)", "SubClassOf(:A :B)", "SubClassOf(:B :Z)"});
  SetOracle oracle{{axioms({"SubClassOf(:A :B)", "SubClassOf(:B :Z)"}), axioms({"SubClassOf(:A :Z)"})}};
  auto all = find_all_justifications(oracle, {}, logical, kAZ, 10);
  ASSERT_TRUE(all.has_value());
  ASSERT_EQ(all->size(), 2u);
  expect_axioms((*all)[1], {"SubClassOf(:A :B)", "SubClassOf(:B :Z)"});
}

TEST(JustificationSearchTests, SaturationModeHoldsDuringAnInconsistencySearchAndIsPutBack) {
  ScopedSwitch sat{SwitchId::JustifySatOracle, std::nullopt};
  ScopedSwitch trace{SwitchId::JustifyTrace, std::nullopt};
  const auto logical = axioms({"ClassAssertion(:A :a)", "ClassAssertion(:B :a)"});
  SetOracle oracle{{logical}};
  oracle.saturation_inconsistent = true;
  ASSERT_EQ(saturation_oracle_mode(), 0);
  auto all = find_all_justifications(oracle, {}, logical, kInconsistent, 10);
  ASSERT_TRUE(all.has_value());
  EXPECT_EQ(all->size(), 1u);
  EXPECT_EQ(oracle.saturation_calls, 1u);
  for (auto m : oracle.modes) EXPECT_EQ(m, 1);
  EXPECT_EQ(saturation_oracle_mode(), 0);

  SetOracle failing{{logical}};
  failing.saturation_inconsistent = true;
  failing.fail_at = 2;
  EXPECT_FALSE(find_justification(failing, {}, logical, kInconsistent).has_value());
  EXPECT_EQ(saturation_oracle_mode(), 0);  // also after an error
}

TEST(JustificationSearchTests, SaturationModeNeedsAnInconsistencyQueryAndTheSwitch) {
  ScopedSwitch trace{SwitchId::JustifyTrace, "1"};
  const auto logical = axioms({"SubClassOf(:A :Z)"});
  SetOracle oracle{{logical}};
  oracle.saturation_inconsistent = true;
  {
    ScopedSwitch off{SwitchId::JustifySatOracle, "0"};
    ASSERT_TRUE(find_justification(oracle, {}, logical, kInconsistent).has_value());
    EXPECT_EQ(oracle.saturation_calls, 0u);
  }
  ASSERT_TRUE(find_justification(oracle, {}, logical, kAZ).has_value());
  EXPECT_EQ(oracle.saturation_calls, 0u);
  for (auto m : oracle.modes) EXPECT_EQ(m, 0);
  ::testing::internal::CaptureStderr();
  ASSERT_TRUE(find_justification(oracle, {}, logical, kInconsistent).has_value());
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "[justify-trace] saturation oracle ENABLED (full inconsistency is saturation-detected)\n");
  EXPECT_EQ(oracle.modes.back(), 1);
  EXPECT_EQ(saturation_oracle_mode(), 0);
}

TEST(JustificationSearchTests, PreviousModeIsWhatComesBack) {
  const auto logical = axioms({"ClassAssertion(:A :a)"});
  SetOracle oracle{{logical}};
  oracle.saturation_inconsistent = true;
  set_saturation_oracle_mode(1);
  ASSERT_TRUE(find_justification(oracle, {}, logical, kInconsistent).has_value());
  EXPECT_EQ(saturation_oracle_mode(), 1);
  set_saturation_oracle_mode(0);
}

// The kernel's behaviour for names a candidate does not know.
std::optional<ReasonerError> unknown_class(const owl::AxiomSet& candidate, const JustifyQuery& query) {
  for (const std::string& name : query.names) {
    if (name == "http://www.w3.org/2002/07/owl#Thing") continue;
    const owl::AnnotatedAxiom declared{owl::DeclareClass{owl::Class{owl::Iri(name)}}, {}};
    if (!candidate.contains(declared)) return UnknownClass{name};
  }
  return std::nullopt;
}

TEST(JustificationSearchTests, UndeclaredQueryClassesAreDeclaredForEveryCandidate) {
  const auto logical = axioms({"SubClassOf(:A :B)", "SubClassOf(:B :C)"});
  SetOracle oracle{{logical}};
  oracle.check = unknown_class;
  const JustifyQuery ac{QueryKind::Subclass, {iri("A"), iri("C")}};
  auto j = find_justification(oracle, {}, logical, ac);
  ASSERT_TRUE(j.has_value() && j->has_value());
  expect_axioms(**j, {"SubClassOf(:A :B)", "SubClassOf(:B :C)"});

  const JustifyQuery unused{QueryKind::Subclass, {iri("A"), iri("Nowhere")}};
  auto missing = find_justification(oracle, {}, logical, unused);
  ASSERT_FALSE(missing.has_value());
  EXPECT_EQ(missing.error(), ReasonerError(UnknownClass{iri("Nowhere")}));

  const JustifyQuery top{QueryKind::Subclass, {iri("A"), "http://www.w3.org/2002/07/owl#Thing"}};
  SetOracle never{{}};
  never.check = unknown_class;
  auto through_top = find_justification(never, {}, logical, top);
  ASSERT_TRUE(through_top.has_value());
  EXPECT_FALSE(through_top->has_value());
  EXPECT_EQ(never.sizes.front(), 3u);  // A declared, owl:Thing not
}

}  // namespace
}  // namespace kelmon::explain
