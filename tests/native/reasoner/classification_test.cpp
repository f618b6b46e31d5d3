#include "reasoner/classify/classification.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "common/scoped_switch.h"
#include "reasoner/classify/reportable.h"
#include "reasoner/classify/taxonomy.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::ScopedSwitch;

// A store of n rows made while the dense limit switch holds `limit`.
SubsumerStore store_under_limit(std::uint64_t n, std::optional<std::string> limit) {
  ScopedSwitch dense_max(SwitchId::ClassifyDenseMax, std::move(limit));
  return SubsumerStore(n);
}

// Rows: 0 A, 1 B, 2 C, 3 D, 4 U (unsatisfiable), 5 E. A ≡ B ⊑ C; D ⊑ A, B, C; E alone.
Classification sample(bool sparse) {
  SubsumerStore store = store_under_limit(6, sparse ? std::optional<std::string>("+5") : std::nullopt);
  EXPECT_EQ(store.is_dense(), !sparse);
  auto add = [&](int r, std::initializer_list<int> cs) {
    for (int c : cs) store.insert(r, c);
  };
  add(0, {0, 1, 2});
  add(1, {1, 0, 2});
  add(2, {2});
  add(3, {3, 0, 1, 2});
  add(5, {5});
  std::vector<std::string> classes = {"A", "B", "C", "D", "U", "E"};
  tsl::robin_map<std::string, std::uint64_t> rows;
  for (std::uint64_t i = 0; i < classes.size(); ++i) rows.emplace(classes[i], i);
  return Classification(std::move(store), classes, ClassifyStats{}, rows, {4});
}

using Views = std::vector<std::string_view>;

class Queries : public ::testing::TestWithParam<std::tuple<bool, bool>> {
 protected:
  void SetUp() override {
    if (std::get<1>(GetParam())) slow_form_ = std::make_unique<ScopedSwitch>(SwitchId::FastDirectSubsumers, "0");
  }
  void TearDown() override { slow_form_.reset(); }
  std::unique_ptr<ScopedSwitch> slow_form_;
};

TEST_P(Queries, AnswerTheSameInEveryStoreAndForm) {
  Classification c = sample(std::get<0>(GetParam()));
  EXPECT_TRUE(c.is_subclass("D", "C"));
  EXPECT_TRUE(c.is_subclass("A", "B"));
  EXPECT_FALSE(c.is_subclass("C", "A"));
  EXPECT_TRUE(c.is_subclass("U", "E"));
  EXPECT_TRUE(c.is_subclass("U", "U"));
  EXPECT_FALSE(c.is_subclass("A", "nope"));
  EXPECT_FALSE(c.is_subclass("nope", "A"));
  EXPECT_EQ(c.direct_subsumers("A"), (Views{"C"}));
  EXPECT_EQ(c.direct_subsumers("D"), (Views{"A", "B"}));
  EXPECT_EQ(c.direct_subsumers("C"), Views{});
  EXPECT_EQ(c.direct_subsumers("U"), (Views{"D", "E"}));  // the leaves
  EXPECT_EQ(c.direct_subsumers("nope"), Views{});
  EXPECT_EQ(c.equivalent_classes("B"), (Views{"A", "B"}));
  EXPECT_EQ(c.equivalent_classes("E"), (Views{"E"}));
  EXPECT_EQ(c.equivalent_classes("U"), (Views{"U"}));
  EXPECT_EQ(c.unsatisfiable(), (Views{"U"}));
}

INSTANTIATE_TEST_SUITE_P(StoresAndForms, Queries,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()));

TEST(SubsumerStoreTest, DenseLimitParsing) {
  struct Case {
    const char* value;
    bool dense_for_6;
  };
  for (Case c : {Case{"+5", false}, Case{"5", false}, Case{"6", true}, Case{"5x", true}, Case{"-5", true},
                 Case{"+", true}, Case{"", true}, Case{"0", false}}) {
    EXPECT_EQ(store_under_limit(6, c.value).is_dense(), c.dense_for_6) << c.value;
  }
  EXPECT_TRUE(SubsumerStore(60000).is_dense());
  EXPECT_TRUE(SubsumerStore(0).is_dense());
}

TEST(SubsumerStoreTest, SparseRowsStaySortedAndUnique) {
  SubsumerStore s = store_under_limit(3, "0");
  for (int c : {2, 0, 2, 1, 0}) s.insert(1, c);
  EXPECT_EQ(s.columns(1), (std::vector<std::uint64_t>{0, 1, 2}));
  EXPECT_FALSE(s.contains(1, std::uint64_t{1} << 33));
}

// Rows long enough to get a bit row answer like the short ones, in both kinds
// of store, whatever the order of insertion.
TEST(SubsumerStoreTest, LongRowsAnswerLikeShortOnes) {
  const std::uint64_t n = 500;
  for (const char* limit : {"60000", "0"}) {
    SubsumerStore s = store_under_limit(n, limit);
    std::vector<std::uint64_t> expected;
    for (std::uint64_t k = 0; k < 200; ++k) {
      const std::uint64_t c = (k * 37) % n;  // scattered, not ascending
      s.insert(7, c);
      s.insert(7, c);
      expected.push_back(c);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(s.columns(7), expected) << limit;
    for (std::uint64_t c = 0; c < n; ++c)
      EXPECT_EQ(s.contains(7, c), std::binary_search(expected.begin(), expected.end(), c)) << limit << " " << c;
    EXPECT_FALSE(s.contains(7, n + 3)) << limit;
    EXPECT_TRUE(s.columns(8).empty()) << limit;
  }
}

TEST(ClassificationTest, InconsistentResultMakesEveryClassUnsatisfiable) {
  std::vector<std::string> classes = {"C", "A", "B"};
  tsl::robin_map<std::string, std::uint64_t> rows = {{"C", 0}, {"A", 1}, {"B", 2}};
  Classification c = inconsistent_classification(classes, rows, 0);
  EXPECT_EQ(c.unsatisfiable(), (Views{"A", "B", "C"}));
  EXPECT_EQ(c.equivalent_classes("A"), (Views{"C", "A", "B"}));
  EXPECT_EQ(c.direct_subsumers("A"), Views{});
  EXPECT_TRUE(c.stats().inconsistent);
  EXPECT_TRUE(c.is_subclass("A", "B"));
}

TEST(ClassificationTest, UnsatisfiablePutsPrefixesFirst) {
  SubsumerStore store(3);
  std::vector<std::string> classes = {"ab", "a", "b"};
  tsl::robin_map<std::string, std::uint64_t> rows = {{"ab", 0}, {"a", 1}, {"b", 2}};
  Classification c(std::move(store), classes, ClassifyStats{}, rows, {0, 1, 2});
  EXPECT_EQ(c.unsatisfiable(), (Views{"a", "ab", "b"}));
}

TEST(ReportableClassesTest, KeyClassesGetNoRow) {
  Namespace<ClassId> ns;
  ns.intern("http://x/A");
  ns.intern("urn:kelmon-dkey:int:1");
  ns.intern("http://x/B");
  ReportableClasses r = reportable_classes(ns);
  EXPECT_EQ(r.iris, (std::vector<std::string>{"http://x/A", "http://x/B"}));
  ASSERT_EQ(r.row_of.size(), 3u);
  EXPECT_EQ(r.row_of[0], 0u);
  EXPECT_FALSE(r.row_of[1].has_value());
  EXPECT_EQ(r.row_of[2], 1u);
}

TEST(ClassifyStatsTest, MergeAddsCountersAndRunsPerClass) {
  ClassifyStats a, b;
  a.timed_out_pairs = 2;
  a.hyper_runs_by_class[7] = 1;
  a.undecided_pairs = {{1, 2}};
  b.timed_out_pairs = 3;
  b.hyper_runs_by_class[7] = 4;
  b.hyper_runs_by_class[9] = 1;
  b.undecided_pairs = {{3, 4}};
  b.label_ms = 50;
  b.class_test_shortcut = 5;
  a.merge(b);
  EXPECT_EQ(a.timed_out_pairs, 5u);
  EXPECT_EQ(a.hyper_runs_by_class[7], 5u);
  EXPECT_EQ(a.hyper_runs_by_class[9], 1u);
  EXPECT_EQ(a.undecided_pairs, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{1, 2}, {3, 4}}));
  EXPECT_EQ(a.label_ms, 0u);  // timings are the run's own
  EXPECT_EQ(a.class_test_shortcut, 0u);
  EXPECT_EQ(ClassifyStats{}.fragment_kind, 2);
}

}  // namespace
}  // namespace kelmon::reasoner
