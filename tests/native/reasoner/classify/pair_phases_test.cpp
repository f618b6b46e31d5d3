#include <gtest/gtest.h>

#include <chrono>

#include "common/scoped_switch.h"
#include "core/convert/convert_support.h"
#include "reasoner/classify/reportable_rows.h"
#include "reasoner/classify/label_cache.h"
#include "reasoner/classify/pair_phases.h"
#include "reasoner/classify/pair_tasks.h"
#include "reasoner/classify/verify_pair.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::ScopedSwitch;

using testing::reportable_rows;

// Rows 0 E, 1 F, 2 G, 3 H: E ≡ F known through parents, E ⊑ G through saturation.
TEST(DirectAmongFound, KeepsBothMembersOfAnEquivalencePairAndDropsWhatLiesAboveThem) {
  ReportableClasses rep = reportable_rows(4);
  sat::SubsumerTable table(4);
  for (std::uint32_t i = 0; i < 4; ++i) table.insert(i, i);
  table.insert(0, 2);
  table.insert(1, 2);
  RowLists parents{{1, 2}, {0, 2}, {}, {}};
  EXPECT_EQ(direct_among_found({2, 0, 1}, rep, table, parents), (std::vector<std::uint64_t>{0, 1}));
  // Without the equivalence only the lower row stays.
  RowLists one_way{{2}, {}, {}, {}};
  EXPECT_EQ(direct_among_found({2, 0}, rep, table, one_way), (std::vector<std::uint64_t>{0}));
  EXPECT_EQ(direct_among_found({}, rep, table, parents), (std::vector<std::uint64_t>{}));
}

TEST(SubsumerTiers, OrderLiveRowsBySaturationRowSizeAndSkipUnsatisfiableOnes) {
  ReportableClasses rep = reportable_rows(5);
  sat::SubsumerTable table(5);
  for (std::uint32_t i = 0; i < 5; ++i) table.insert(i, i);
  table.insert(0, 1);  // row 0: 2 entries
  table.insert(3, 1);  // row 3: 2 entries
  table.insert(3, 2);  // row 3: 3 entries
  tsl::robin_set<std::uint64_t> unsat{4};
  auto tiers = subsumer_tiers(rep, table, unsat);
  EXPECT_EQ(tiers, (std::vector<std::vector<std::uint64_t>>{{1, 2}, {0}, {3}}));
  EXPECT_TRUE(subsumer_tiers(reportable_rows(0), sat::SubsumerTable(0), {}).empty());
}

struct BudgetCase {
  std::optional<std::uint64_t> per_pair_ms;
  std::uint64_t n;
  std::optional<std::string> switch_value;
  std::uint64_t budget;
};

class LabelBudget : public ::testing::TestWithParam<BudgetCase> {};

TEST_P(LabelBudget, FollowsThePerPairTimeoutWithinBounds) {
  const BudgetCase& c = GetParam();
  ScopedSwitch timeout(SwitchId::LabelCacheTimeoutMs, c.switch_value);
  EXPECT_EQ(label_budget_ms(timeout_from_ms(c.per_pair_ms), c.n), c.budget);
}

INSTANTIATE_TEST_SUITE_P(Cases, LabelBudget,
                         ::testing::Values(BudgetCase{100, 3, std::nullopt, 100}, BudgetCase{100, 1000, std::nullopt, 100},
                                           BudgetCase{10, 1000, std::nullopt, 50}, BudgetCase{60000, 2, std::nullopt, 30000},
                                           BudgetCase{std::nullopt, 7, std::nullopt, 30000},
                                           BudgetCase{100, 3, "0", 0}, BudgetCase{100, 3, "+75", 75},
                                           BudgetCase{100, 3, "abc", 100}));

struct TailCase {
  const char* name;
  std::optional<std::string> bound;
  std::uint64_t s, d, ticket;
  bool tail;
  std::uint64_t ticket_after;
};

class StallTail : public ::testing::TestWithParam<TailCase> {};

TEST_P(StallTail, SamplingOnlyWhenBoundedAndTailsRarelyPay) {
  const TailCase& c = GetParam();
  ScopedSwitch bound(SwitchId::BoundStallTail, c.bound);
  auto prepared = *prepare_without_deadline(kelmon::testing::convert_ofn("SubClassOf(:A :B)"), std::nullopt);
  prepared->stall_counters[0] = c.s;
  prepared->stall_counters[1] = c.d;
  prepared->stall_counters[2] = c.ticket;
  EXPECT_EQ(stalled_pair_gets_tail(*prepared), c.tail);
  EXPECT_EQ(prepared->stall_counters[2].load(), c.ticket_after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StallTail,
    ::testing::Values(TailCase{"unset", std::nullopt, 1000, 1, 1, true, 1}, TailCase{"zero", "0", 1000, 1, 1, true, 1},
                      TailCase{"empty", "", 1000, 1, 1, true, 1}, TailCase{"few_tails", "1", 63, 0, 1, true, 1},
                      TailCase{"rare_success_ticket_32", "1", 1000, 1, 32, true, 33},
                      TailCase{"rare_success_other_ticket", "1", 1000, 1, 33, false, 34},
                      TailCase{"enough_success", "1", 1000, 2, 33, true, 33}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HyperHistogram, BucketsFollowTheStatedBounds) {
  const std::vector<std::pair<std::uint64_t, std::size_t>> cases = {
      {0, 0}, {1, 1}, {2, 2}, {4, 2}, {5, 3}, {9, 3}, {10, 4}, {19, 4}, {20, 5}, {49, 5}, {50, 6}, {99, 6},
      {100, 7}, {999, 7}, {1000, 8}, {UINT64_MAX, 8}};
  for (auto [ms, bucket] : cases) EXPECT_EQ(hyper_ms_bucket(ms), bucket) << ms;
}

TEST(LabelPhaseDeadline, IsTwoSecondsAheadOrTheEarlierGlobalDeadline) {
  const Instant before = Clock::now();
  const Instant d = label_phase_deadline(std::nullopt);
  EXPECT_GE(d - before, std::chrono::seconds(2));
  EXPECT_LT(d - before, std::chrono::seconds(3));
  const Instant soon = before + std::chrono::milliseconds(10);
  EXPECT_EQ(label_phase_deadline(soon), soon);
}

TEST(LabelDump, WritesLabelsTaintedTimesAndClosure) {
  ReportableClasses rep = reportable_rows(3);
  sat::ElResult saturation;
  saturation.subsumers = sat::SubsumerTable(3);
  for (std::uint32_t i = 0; i < 3; ++i) saturation.subsumers.insert(i, i);
  saturation.subsumers.insert(2, 0);
  LabelSat sat;
  sat.label = {7, 2, 5};
  std::vector<ClassLabel> labels{sat, LabelUnsat{}, LabelNoVerdict{}};
  const std::string text = label_dump_text(labels, saturation, {11, 0, 3}, {false, true, true}, rep);
  EXPECT_EQ(text,
            "0 sat 2 5 7\n1 unsat\n2 noverdict\n#tainted\n1\n2\n#times\n0 11\n1 0\n2 3\n#closure\n0 0\n1 1\n2 0 2\n");
}

}  // namespace
}  // namespace kelmon::reasoner
