#include "reasoner/explanation/repairs.h"

#include <gtest/gtest.h>

#include "explain_support.h"

namespace kelmon::explain {
namespace {

using testing::axioms;
using testing::ScopedSwitch;
using testing::iri;
using testing::SetOracle;

const JustifyQuery kInconsistent{QueryKind::Inconsistent, {}};

void expect_repairs(const std::vector<std::vector<owl::Axiom>>& got,
                    const std::vector<std::vector<std::string>>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t r = 0; r < got.size(); ++r) {
    const auto expected = axioms(want[r]);
    ASSERT_EQ(got[r].size(), expected.size()) << r;
    for (std::size_t i = 0; i < expected.size(); ++i)
      EXPECT_TRUE(owl::structurally_equal(got[r][i], expected[i])) << r << "/" << i;
  }
}

PreparedOntology prepared(std::vector<owl::Axiom> logical) { return PreparedOntology{{}, std::move(logical), 2}; }

TEST(RepairTests, SmallestHittingSetFirstAndEveryConfirmedOneKept) {
  // Justifications {a, b} and {b, c}: minimal hitting sets {b} and {a, c}.
  const std::string a = "ClassAssertion(:A :i)", b = "ClassAssertion(:B :i)", c = "ClassAssertion(:C :i)";
  SetOracle oracle{{axioms({a, b}), axioms({b, c})}};
  auto result = find_repairs(oracle, prepared(axioms({a, b, c})), kInconsistent, 10);
  ASSERT_TRUE(result.has_value());
  expect_repairs(result->repairs, {{b}, {a, c}});
  EXPECT_EQ(result->rejected, 0u);
}

TEST(RepairTests, EqualSizesComeInAxiomOrderAndTheCapHolds) {
  const auto logical = axioms({"SubClassOf(:B :Z)", "SubClassOf(:A :Z)", "SubClassOf(:A :B)"});
  SetOracle oracle{{axioms({"SubClassOf(:A :B)", "SubClassOf(:B :Z)"}), axioms({"SubClassOf(:A :Z)"})}};
  const JustifyQuery az{QueryKind::Subclass, {iri("A"), iri("Z")}};
  auto result = find_repairs(oracle, prepared(logical), az, 10);
  ASSERT_TRUE(result.has_value());
  expect_repairs(result->repairs,
                 {{"SubClassOf(:A :B)", "SubClassOf(:A :Z)"}, {"SubClassOf(:A :Z)", "SubClassOf(:B :Z)"}});
  auto capped = find_repairs(oracle, prepared(logical), az, 1);
  ASSERT_TRUE(capped.has_value());
  EXPECT_EQ(capped->repairs.size(), 1u);
}

TEST(RepairTests, ZeroMaxMakesNoConfirmationCall) {
  const auto logical = axioms({"ClassAssertion(:A :i)"});
  SetOracle oracle{{logical}};
  auto result = find_repairs(oracle, prepared(logical), kInconsistent, 0);
  ASSERT_TRUE(result.has_value());
  EXPECT_TRUE(result->repairs.empty());
  const std::uint64_t search_calls = oracle.calls;
  SetOracle again{{logical}};
  ASSERT_TRUE(find_repairs(again, prepared(logical), kInconsistent, 1).has_value());
  EXPECT_EQ(again.calls, search_calls + 1);
}

TEST(RepairTests, HittingSetThatLeavesTheQueryEntailedIsRejected) {
  // 101 one-axiom justifications: the search stops at 100, so the one hitting
  // set of those leaves the 101st in place and the confirmation rejects it.
  std::vector<std::string> texts;
  for (std::uint64_t i = 0; i <= kRepairJustificationCap; ++i) texts.push_back("ClassAssertion(:C" + std::to_string(i) + " :i)");
  std::vector<std::vector<owl::Axiom>> each;
  for (const auto& t : texts) each.push_back(axioms({t}));
  SetOracle oracle{each};
  auto result = find_repairs(oracle, prepared(axioms(texts)), kInconsistent, 10);
  ASSERT_TRUE(result.has_value());
  EXPECT_TRUE(result->repairs.empty());
  EXPECT_EQ(result->rejected, 1u);
}

TEST(RepairTests, NotEntailedAndTriviallyEntailedGiveNoRepairs) {
  const auto logical = axioms({"ClassAssertion(:A :i)"});
  SetOracle never{{axioms({"ClassAssertion(:B :i)"})}};
  auto none = find_repairs(never, prepared(logical), kInconsistent, 10);
  ASSERT_TRUE(none.has_value());
  EXPECT_TRUE(none->repairs.empty());
  SetOracle always{{{}}};
  auto trivial = find_repairs(always, prepared(logical), kInconsistent, 10);
  ASSERT_TRUE(trivial.has_value());
  EXPECT_TRUE(trivial->repairs.empty());
  EXPECT_EQ(trivial->rejected, 0u);
}

TEST(RepairTests, ConfirmationErrorEndsTheSearch) {
  const auto logical = axioms({"ClassAssertion(:A :i)"});
  SetOracle counting{{logical}};
  ASSERT_TRUE(find_repairs(counting, prepared(logical), kInconsistent, 10).has_value());
  SetOracle failing{{logical}};
  failing.fail_at = counting.calls;  // the confirmation
  auto result = find_repairs(failing, prepared(logical), kInconsistent, 10);
  ASSERT_FALSE(result.has_value());
}

TEST(RepairTests, UndeclaredQueryClassesGetRepairs) {
  const auto logical = axioms({"SubClassOf(:A :B)", "SubClassOf(:B :C)"});
  SetOracle oracle{{logical}};
  oracle.check = [](const owl::AxiomSet& candidate, const JustifyQuery& query) -> std::optional<ReasonerError> {
    for (const std::string& name : query.names)
      if (!candidate.contains(owl::AnnotatedAxiom{owl::DeclareClass{owl::Class{owl::Iri(name)}}, {}}))
        return UnknownClass{name};
    return std::nullopt;
  };
  auto result = find_repairs(oracle, prepared(logical), JustifyQuery{QueryKind::Subclass, {iri("A"), iri("C")}}, 10);
  ASSERT_TRUE(result.has_value());
  expect_repairs(result->repairs, {{"SubClassOf(:A :B)"}, {"SubClassOf(:B :C)"}});
}

TEST(RepairTests, RepairOrderComparesSizeThenAxiomsPositionByPosition) {
  const auto ab = axioms({"SubClassOf(:A :B)"});
  const auto ab_az = axioms({"SubClassOf(:A :B)", "SubClassOf(:A :Z)"});
  const auto az_bz = axioms({"SubClassOf(:A :Z)", "SubClassOf(:B :Z)"});
  EXPECT_TRUE(repair_order(ab, ab_az));
  EXPECT_FALSE(repair_order(ab_az, ab));
  EXPECT_TRUE(repair_order(ab_az, az_bz));
  EXPECT_FALSE(repair_order(az_bz, ab_az));
  EXPECT_FALSE(repair_order(ab_az, ab_az));
}

}  // namespace
}  // namespace kelmon::explain
