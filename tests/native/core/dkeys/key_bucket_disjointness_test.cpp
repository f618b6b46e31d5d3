// Disjointness with a bucket context: which pairs a bucket, the direct keys
// and the cross-kind steps emit, how pairs are oriented, and what each switch
// of the disjointness step changes.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

#include "dkey_pass_fixture.h"
#include "common/scoped_switch.h"

namespace kelmon::testing {
namespace {

using Env = std::vector<std::pair<SwitchId, const char*>>;

std::vector<std::string> run_with(const Env& env, const std::function<void(KeyPassFixture&)>& build) {
  std::vector<std::unique_ptr<ScopedSwitch>> guards;
  for (const auto& [id, value] : env)
    guards.push_back(std::make_unique<ScopedSwitch>(id, value ? std::optional<std::string>(value) : std::nullopt));
  KeyPassFixture f;
  build(f);
  return f.run();
}

// Three pairwise disjoint keys of property p: R1 and R2 used existentially,
// U universally; U is interned last, so it comes last in key order.
void universal_and_two_rest(KeyPassFixture& f) {
  f.some(f.r("p"), f.K("1:1"));
  f.some(f.r("p"), f.K("2:2"));
  f.all(f.r("p"), f.K("3:3"));
}

TEST(KeyBucketDisjointness, functional_property_pairs_every_two_values) {
  const auto out = run_with({}, [](KeyPassFixture& f) {
    f.add(FunctionalRole{f.r("p")});
    for (const char* v : {"1:1", "2:2", "3:3"}) f.add(ClassAssertion{f.some(f.r("p"), f.K(v)), f.ind("a")});
  });
  EXPECT_EQ(out, sorted({"DisjointClasses(1:1 2:2)", "DisjointClasses(1:1 3:3)", "DisjointClasses(2:2 3:3)"}));
}

struct SwitchCase {
  const char* name;
  Env env;
  std::vector<std::string> expected;
};

const SwitchCase kUniversalCases[] = {
    {"split_mode_puts_the_universal_key_first", {}, {"DisjointClasses(3:3 1:1)", "DisjointClasses(3:3 2:2)"}},
    {"collapse_off_pairs_all_three_in_key_order",
     {{SwitchId::DkeyCollapseSplit, "0"}},
     {"DisjointClasses(1:1 2:2)", "DisjointClasses(1:1 3:3)", "DisjointClasses(2:2 3:3)"}},
    {"group_skip_off_keeps_the_pairs_in_key_order",
     {{SwitchId::DkeyGroupSkip, "0"}},
     {"DisjointClasses(1:1 3:3)", "DisjointClasses(2:2 3:3)"}},
    {"split_stats_changes_no_axiom", {{SwitchId::DkeySplitStats, ""}}, {"DisjointClasses(3:3 1:1)", "DisjointClasses(3:3 2:2)"}},
    {"no_context_pairs_all_three", {{SwitchId::BoundedDkeyDisjoint, "0"}},
     {"DisjointClasses(1:1 2:2)", "DisjointClasses(1:1 3:3)", "DisjointClasses(2:2 3:3)"}},
};

class UniversalBucket : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(UniversalBucket, emits) {
  EXPECT_EQ(run_with(GetParam().env, universal_and_two_rest), sorted(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Switches, UniversalBucket, ::testing::ValuesIn(kUniversalCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(KeyBucketDisjointness, split_stats_counts_without_changing_output) {
  const DkeySplitStats before = dkey_split_stats();
  run_with({{SwitchId::DkeySplitStats, "1"}, {SwitchId::DkeyGroupSkip, "0"}}, universal_and_two_rest);
  const DkeySplitStats after = dkey_split_stats();
  // Three disjoint pairs considered; the pair of the two existential keys left out.
  EXPECT_EQ(after.considered_pairs - before.considered_pairs, 3u);
  EXPECT_EQ(after.skipped_pairs - before.skipped_pairs, 1u);
  const DkeySplitStats unchanged = dkey_split_stats();
  run_with({{SwitchId::DkeySplitStats, "0"}}, universal_and_two_rest);
  EXPECT_EQ(dkey_split_stats().considered_pairs, unchanged.considered_pairs);
}

TEST(KeyBucketDisjointness, inverse_functional_super_property_makes_the_bucket_strict) {
  const auto out = run_with({}, [](KeyPassFixture& f) {
    f.some(f.r("p"), f.K("1:1"));
    f.some(f.r("p"), f.K("2:2"));
    f.add(InverseFunctionalRole{f.r("q")});
    f.add(SubObjectPropertyOf{Single{f.r("p")}, f.r("q")});
  });
  EXPECT_EQ(out, std::vector<std::string>{"DisjointClasses(1:1 2:2)"});
}

// p is bounded but not strict through an all-values restriction to a key class
// that does not decode: its integer bucket holds no universal key.
TEST(KeyBucketDisjointness, bucket_without_universal_key_emits_nothing) {
  for (const Env& env : {Env{}, Env{{SwitchId::DkeyGroupSkip, "0"}}}) {
    const auto out = run_with(env, [](KeyPassFixture& f) {
      f.all(f.r("p"), f.K("zzz"));
      f.some(f.r("p"), f.K("1:1"));
      f.some(f.r("p"), f.K("2:2"));
    });
    EXPECT_TRUE(out.empty()) << out.front();
  }
  const auto collapse_off = run_with({{SwitchId::DkeyCollapseSplit, "0"}}, [](KeyPassFixture& f) {
    f.all(f.r("p"), f.K("zzz"));
    f.some(f.r("p"), f.K("1:1"));
    f.some(f.r("p"), f.K("2:2"));
  });
  EXPECT_EQ(collapse_off, std::vector<std::string>{"DisjointClasses(1:1 2:2)"});
}

// R1 and R2 share the groups of p (first root) and q (second root); neither is
// universal under p, R1 is universal under q. The first bucket leaves the pair
// out; with emit order on the second bucket emits it, with it off it stays out.
void two_roots(KeyPassFixture& f) {
  f.all(f.r("p"), f.K("*:*"));  // bounds p without a strict mark; overlaps both keys
  f.some(f.r("p"), f.K("1:1"));
  f.some(f.r("p"), f.K("2:2"));
  f.all(f.r("q"), f.K("1:1"));
  f.some(f.r("q"), f.K("2:2"));
}

TEST(KeyBucketDisjointness, later_bucket_admits_a_pair_unless_emit_order_is_off) {
  const std::vector<std::string> subsumption{"SubClassOf(1:1 *:*)", "SubClassOf(2:2 *:*)"};
  auto with = [&](std::vector<std::string> extra) {
    extra.insert(extra.end(), subsumption.begin(), subsumption.end());
    return sorted(extra);
  };
  EXPECT_EQ(run_with({}, two_roots), with({"DisjointClasses(1:1 2:2)"}));
  EXPECT_EQ(run_with({{SwitchId::DkeyEmitOrder, "0"}}, two_roots), with({}));
}

TEST(KeyBucketDisjointness, direct_keys_meet_direct_and_grouped_keys_only) {
  const auto out = run_with({}, [](KeyPassFixture& f) {
    f.sub(f.A("A"), f.or_({f.K("1:1"), f.no(f.K("2:2"))}));  // direct
    f.add(FunctionalRole{f.r("p")});
    f.some(f.r("p"), f.K("3:3"));  // grouped
    f.some(f.r("q"), f.K("4:4"));  // q unbounded: in no table
  });
  EXPECT_EQ(out, sorted({"DisjointClasses(1:1 2:2)", "DisjointClasses(1:1 3:3)", "DisjointClasses(2:2 3:3)"}));
}

TEST(KeyBucketDisjointness, post_nnf_switch_decides_whether_a_negated_use_bounds) {
  auto build = [](KeyPassFixture& f) {
    f.no(f.some(f.r("p"), f.K("1:1")));
    f.some(f.r("p"), f.K("2:2"));
  };
  EXPECT_EQ(run_with({}, build), std::vector<std::string>{"DisjointClasses(1:1 2:2)"});
  EXPECT_TRUE(run_with({{SwitchId::DkeyPostNnf, "0"}}, build).empty());
}

TEST(KeyBucketDisjointness, merging_gate_off_groups_unbounded_uses) {
  auto build = [](KeyPassFixture& f) {
    f.sub(f.A("A"), f.K("1:1"));   // direct
    f.some(f.r("p"), f.K("2:2"));  // p not bounded
  };
  EXPECT_TRUE(run_with({}, build).empty());
  EXPECT_EQ(run_with({{SwitchId::DkeyMergingGate, "0"}}, build), std::vector<std::string>{"DisjointClasses(1:1 2:2)"});
}

TEST(KeyBucketDisjointness, one_of_seed_off_relates_no_one_of_key) {
  auto build = [](KeyPassFixture& f) {
    f.add(FunctionalRole{f.r("p")});
    f.some(f.r("p"), f.K("io:3"));
    f.some(f.r("p"), f.K("io:4"));
    f.some(f.r("p"), f.K("5:9"));
  };
  EXPECT_EQ(run_with({}, build),
            sorted({"DisjointClasses(io:3 io:4)", "DisjointClasses(5:9 io:3)", "DisjointClasses(5:9 io:4)"}));
  EXPECT_TRUE(run_with({{SwitchId::DkeyOneofSeed, "0"}}, build).empty());
}

TEST(KeyBucketDisjointness, cross_kind_partner_filter) {
  auto build = [](KeyPassFixture& f) {
    f.sub(f.A("A"), f.K("f:*:e:*:e"));  // direct float key
    f.add(FunctionalRole{f.r("p")});
    f.add(FunctionalRole{f.r("q")});
    f.some(f.r("p"), f.K("db:*:e:*:e"));  // grouped under p
    f.some(f.r("q"), f.K("1:1"));         // grouped under q
    f.some(f.r("s"), f.K("dec:*:e:*:e"));  // in no table
  };
  EXPECT_EQ(run_with({}, build), sorted({"DisjointClasses(f:*:e:*:e db:*:e:*:e)", "DisjointClasses(f:*:e:*:e 1:1)"}));
  EXPECT_TRUE(run_with({{SwitchId::DkeyCrossBucketDisjoint, "0"}}, build).empty());
}

TEST(KeyBucketDisjointness, range_and_one_of_need_a_common_group) {
  auto build = [](KeyPassFixture& f) {
    f.add(FunctionalRole{f.r("p")});
    f.add(FunctionalRole{f.r("q")});
    f.some(f.r("p"), f.K("1:3"));
    f.some(f.r("p"), f.K("io:7"));
    f.some(f.r("q"), f.K("io:8"));
  };
  EXPECT_EQ(run_with({}, build), std::vector<std::string>{"DisjointClasses(1:3 io:7)"});
}

}  // namespace
}  // namespace kelmon::testing
