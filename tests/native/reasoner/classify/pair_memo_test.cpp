#include "reasoner/classify/pair_memo.h"

#include <gtest/gtest.h>

#include <chrono>

#include "core/convert/convert_support.h"
#include "reasoner/classify/pair_tasks.h"
#include "reasoner/classify/reportable.h"
#include "reasoner/classify/verify_pair.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::convert_ofn;

TEST(PairMemo, KeepsDefiniteVerdictsAndGivesAModelsRefutationOnlyToATrustingCaller) {
  PairMemo memo;
  const ClassId a{1}, b{2}, c{3};
  memo.record(a, b, PairVerdict::Subsumed, true);
  memo.record(a, c, PairVerdict::NotSubsumed, true);
  memo.record(b, c, PairVerdict::Undecided, true);
  memo.record(c, a, PairVerdict::NotSubsumed, false);
  EXPECT_EQ(memo.verdict(a, b, false), PairVerdict::Subsumed);
  EXPECT_EQ(memo.verdict(a, c, true), PairVerdict::NotSubsumed);
  EXPECT_EQ(memo.verdict(a, c, false), std::nullopt);
  EXPECT_EQ(memo.verdict(b, c, true), std::nullopt);
  EXPECT_EQ(memo.verdict(c, a, false), PairVerdict::NotSubsumed);
  EXPECT_EQ(memo.verdict(b, a, true), std::nullopt);
  // A later proof without a model serves every caller.
  memo.record(a, c, PairVerdict::NotSubsumed, false);
  EXPECT_EQ(memo.verdict(a, c, false), PairVerdict::NotSubsumed);
}

TEST(PairMemo, AModelRefutesEveryPairOfAClassItsRootHoldsAndAClassItLacks) {
  PairMemo memo;
  const ClassId a{1}, b{2}, c{3}, d{4};
  EXPECT_FALSE(memo.model_refutes(a, b));
  memo.add_model({3, 1, 1, 2});
  EXPECT_TRUE(memo.model_refutes(a, d));
  EXPECT_TRUE(memo.model_refutes(c, d));
  EXPECT_FALSE(memo.model_refutes(a, b));
  EXPECT_FALSE(memo.model_refutes(d, a));
  memo.add_model({2});
  EXPECT_TRUE(memo.model_refutes(b, a));
  EXPECT_FALSE(memo.model_refutes(a, c));
}

struct MemoCase {
  const char* name;
  const char* body;
};

class MemoDifferential : public ::testing::TestWithParam<MemoCase> {};

// Every ordered pair asked through one shared memo, in both orders, gets the
// verdict it gets alone: models of one class refute pairs of others only
// where the ontology agrees.
TEST_P(MemoDifferential, SharedMemoAnswersEveryPairAsASingleRunDoes) {
  const InternalOntology ir = convert_ofn(GetParam().body);
  auto prepared = prepare_without_deadline(ir, std::nullopt);
  ASSERT_TRUE(prepared.has_value());
  const ReportableClasses rep = reportable_classes(ir.vocabulary.classes);
  const ClassSet none;
  const PairQuery alone{**prepared, rep, std::nullopt, std::nullopt, none};
  const std::size_t n = rep.ids.size();
  std::vector<std::vector<PairVerdict>> expected(n, std::vector<PairVerdict>(n));
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < n; ++j) {
      if (i == j) continue;
      ClassifyStats stats;
      auto v = verify_pair(alone, rep.ids[i], rep.ids[j], true, stats);
      ASSERT_TRUE(v.has_value());
      expected[i][j] = *v;
    }
  for (bool reverse : {false, true}) {
    PairMemo memo;
    const PairQuery shared{**prepared, rep, std::nullopt, std::nullopt, none, &memo};
    ClassifyStats stats;
    for (std::size_t k = 0; k < n * n; ++k) {
      const std::size_t at = reverse ? n * n - 1 - k : k;
      const std::size_t i = at / n, j = at % n;
      if (i == j) continue;
      auto v = verify_pair(shared, rep.ids[i], rep.ids[j], true, stats);
      ASSERT_TRUE(v.has_value());
      EXPECT_EQ(*v, expected[i][j]) << i << " ⊑ " << j << (reverse ? " (reverse order)" : "");
      // Asked again, the memo answers the same.
      EXPECT_EQ(*verify_pair(shared, rep.ids[i], rep.ids[j], true, stats), expected[i][j]);
    }
  }
  // Every pair verified ahead, side by side: the memo then holds each pair's
  // own verdict for the later asker.
  PairMemo memo;
  const PairQuery shared{**prepared, rep, std::nullopt, std::nullopt, none, &memo};
  std::vector<std::pair<std::uint64_t, std::uint64_t>> pairs;
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < n; ++j)
      if (i != j) pairs.emplace_back(i, j);
  const ClassifyStats ahead = verify_ahead_task(pairs, shared);
  EXPECT_EQ(ahead.timed_out_pairs, 0u);
  for (auto [i, j] : pairs) {
    ClassifyStats stats;
    EXPECT_EQ(*verify_pair(shared, rep.ids[i], rep.ids[j], true, stats), expected[i][j]) << i << " ⊑ " << j;
    // Decided ahead (or refuted by a model found ahead): no run left to make.
    if (expected[i][j] != PairVerdict::Undecided) {
      EXPECT_TRUE(stats.hyper_runs_by_class.empty()) << i << " ⊑ " << j;
    }
  }
}

TEST(VerifyAhead, PastTheDeadlineNothingIsRunOrCounted) {
  const InternalOntology ir = convert_ofn("SubClassOf(:A ObjectUnionOf(:B :C)) SubClassOf(:B :G) SubClassOf(:C :G)");
  auto prepared = prepare_without_deadline(ir, std::nullopt);
  ASSERT_TRUE(prepared.has_value());
  const ReportableClasses rep = reportable_classes(ir.vocabulary.classes);
  const ClassSet none;
  PairMemo memo;
  const PairQuery late{**prepared, rep, std::nullopt, Clock::now() - std::chrono::seconds(1), none, &memo};
  const ClassifyStats stats = verify_ahead_task({{0, 1}, {1, 0}}, late);
  EXPECT_EQ(stats.timed_out_pairs, 0u);
  EXPECT_TRUE(stats.undecided_pairs.empty());
  EXPECT_EQ(memo.verdict(rep.ids[0], rep.ids[1], true), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, MemoDifferential,
    ::testing::Values(
        // A's models pick B or F: B's model holds D (the definition is met), A ⊑ D is not entailed.
        MemoCase{"Branching",
                 "EquivalentClasses(:D ObjectIntersectionOf(:B ObjectSomeValuesFrom(:r :C))) "
                 "SubClassOf(:A ObjectUnionOf(:B :F)) SubClassOf(:A ObjectSomeValuesFrom(:r :C)) "
                 "SubClassOf(:F :G) SubClassOf(:B :G) SubClassOf(:H :A) SubClassOf(:H ObjectAllValuesFrom(:r :E))"},
        // Unions whose every branch meets the same superclass: subsumptions no single model shows.
        MemoCase{"UnionCover",
                 "SubClassOf(:A ObjectUnionOf(:C :D)) SubClassOf(:C :B) SubClassOf(:D :B) SubClassOf(:B :X) "
                 "SubClassOf(:E ObjectIntersectionOf(:A ObjectComplementOf(:C))) "
                 "EquivalentClasses(:Y ObjectUnionOf(:C :D))"},
        // A nominal shared by two successors, and an unsatisfiable class.
        MemoCase{"Nominal",
                 "SubClassOf(:A ObjectSomeValuesFrom(:r ObjectOneOf(:a))) "
                 "SubClassOf(:A ObjectSomeValuesFrom(:s ObjectIntersectionOf(ObjectOneOf(:a) :B))) "
                 "EquivalentClasses(:D ObjectSomeValuesFrom(:r :B)) SubClassOf(:V ObjectSomeValuesFrom(:r :C)) "
                 "SubClassOf(:V ObjectAllValuesFrom(:r :E)) DisjointClasses(:C :E) Declaration(Class(:F))"},
        // Clauses that leave a data-value key out: their models refute nothing.
        MemoCase{"Inexact",
                 "SubClassOf(:A DataMaxCardinality(1 :d xsd:integer)) SubClassOf(:A ObjectUnionOf(:B :C)) "
                 "SubClassOf(:B :G) SubClassOf(:C :G)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelmon::reasoner
