#include "saturation/internal/synthetic_ids.h"

#include <gtest/gtest.h>

#include <limits>

#include "common/invariant.h"

namespace kelmon::sat {
namespace {

TEST(SyntheticIds, ConjunctionsAreSortedDeduplicatedAndDefined) {
  RuleBase rules;
  SyntheticIds ids(10);
  u32 a = ids.intern_conjunction({5, 2, 5}, rules);
  EXPECT_EQ(a, 10u);
  EXPECT_EQ(ids.intern_conjunction({2, 5}, rules), a);
  EXPECT_EQ(ids.next_id, 11u);
  EXPECT_EQ(rules.told, (std::vector<std::pair<u32, u32>>{{10, 2}, {10, 5}}));
  ASSERT_EQ(rules.conjunction_rules.size(), 1u);
  EXPECT_EQ(rules.conjunction_rules[0].conjuncts, (std::vector<u32>{2, 5}));
  EXPECT_EQ(rules.conjunction_rules[0].result, a);
}

TEST(SyntheticIds, OneMemberAndEmptyConjunctionsGetIdsOfTheirOwn) {
  RuleBase rules;
  SyntheticIds ids(3);
  u32 one = ids.intern_conjunction({1}, rules);
  EXPECT_NE(one, 1u);
  EXPECT_EQ(rules.told.back(), (std::pair<u32, u32>{one, 1}));
  const auto told_before = rules.told.size();
  u32 none = ids.intern_conjunction({}, rules);
  EXPECT_EQ(rules.told.size(), told_before);
  EXPECT_TRUE(rules.conjunction_rules.back().conjuncts.empty());
  EXPECT_EQ(rules.conjunction_rules.back().result, none);
}

TEST(SyntheticIds, LinkedExistentialRepeatsOnlyItsLinkRule) {
  RuleBase rules;
  SyntheticIds ids(4);
  u32 e = ids.intern_exists_linked(0, 2, rules);
  EXPECT_EQ(ids.intern_exists_linked(0, 2, rules), e);
  EXPECT_EQ(rules.exists_left_rules, (std::vector<ExistsLeftRule>{{0, 2, e}}));
  EXPECT_EQ(rules.link_rules, (std::vector<LinkRule>{{e, 0, 2}, {e, 0, 2}}));
}

TEST(SyntheticIds, ForallNominalKeysAreSets) {
  SyntheticIds ids(0);
  EXPECT_EQ(ids.intern_forall_nominals(1, {7, 3, 3}), ids.intern_forall_nominals(1, {3, 7}));
  EXPECT_NE(ids.intern_forall_nominals(2, {3, 7}), ids.intern_forall_nominals(1, {3, 7}));
  EXPECT_EQ(ids.next_id, 2u);
}

TEST(SyntheticIds, AHitTakesNoId) {
  SyntheticIds ids(0);
  EXPECT_EQ(ids.intern_individual(4), 0u);
  EXPECT_EQ(ids.intern_individual(4), 0u);
  EXPECT_EQ(ids.intern_at_most(1, 2), 1u);
  EXPECT_EQ(ids.intern_at_most(1, 2), 1u);
  EXPECT_EQ(ids.intern_forall(2, 3), 2u);
  EXPECT_EQ(ids.intern_top(), 3u);
  EXPECT_EQ(ids.intern_top(), 3u);
  EXPECT_EQ(ids.next_id, 4u);
}

TEST(SyntheticIds, TheLastIdBeforeUint32MaxCanBeMadeThenOverflowStops) {
  RuleBase rules;
  SyntheticIds ids(std::numeric_limits<u32>::max() - 1);
  EXPECT_EQ(ids.intern_individual(0), 4294967294u);
  try {
    ids.intern_conjunction({1, 2}, rules);
    FAIL() << "expected an overflow";
  } catch (const InvariantFailure& e) {
    EXPECT_STREQ(e.what(), "synthetic id overflow");
  }
  // Nothing was appended before the overflow test.
  EXPECT_TRUE(rules.told.empty());
  EXPECT_TRUE(rules.conjunction_rules.empty());
  EXPECT_EQ(ids.intern_individual(0), 4294967294u);  // a hit still succeeds
}

}  // namespace
}  // namespace kelmon::sat
