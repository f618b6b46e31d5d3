// The entry points: empty ontologies, the deadline loop, the proof switch,
// and the dense/sparse boundary of the result table.
#include <gtest/gtest.h>

#include <string>

#include "saturation/internal/pipeline.h"
#include "saturation/proof_store.h"
#include "saturation/saturation.h"
#include "common/switches.h"
#include "tbox.h"

namespace kelmon::sat {
namespace {

using kelmon::testing::ScopedSwitch;
using testing::Tbox;

TEST(ElSaturate, EmptyOntologyGivesReflexiveRowsOnly) {
  Tbox t;
  t.A("A");
  t.A("B");
  ElResult r = el_saturate(t.o, false).first;
  EXPECT_EQ(r.subsumers.row_sorted(0), std::vector<std::uint32_t>{0});
  EXPECT_EQ(r.subsumers.row_sorted(1), std::vector<std::uint32_t>{1});
  EXPECT_EQ(r.unsat.count(), 0u);
  EXPECT_FALSE(r.top_is_bottom);
  EXPECT_FALSE(r.inconsistent);
}

struct ProofSwitch {
  std::optional<std::string> value;
  bool on;
};

class ProofFlag : public ::testing::TestWithParam<ProofSwitch> {};

// el_saturate_from_env records proofs only for exactly "1"; the store is
// dropped, so the visible effect is checked through el_saturate with the same rule.
TEST_P(ProofFlag, ProofStoreOnlyForExactlyOne) {
  ScopedSwitch env(SwitchId::Proof, GetParam().value);
  Tbox t;
  t.sub(t.A("A"), t.A("B"));
  const bool on = switch_flag(SwitchId::Proof);
  EXPECT_EQ(on, GetParam().on);
  auto [result, store] = el_saturate(t.o, on);
  EXPECT_EQ(store != nullptr, GetParam().on);
  if (store) {
    // The told pair A ⊑ B rests on axiom 0.
    auto it = store->derivations.find(Fact::sub(t.id("A"), t.id("B")));
    ASSERT_NE(it, store->derivations.end());
    EXPECT_EQ(it->second.rule, ProofRule::Told);
    EXPECT_EQ(it->second.axioms, std::vector<std::uint32_t>{0});
  }
  EXPECT_TRUE(el_saturate_from_env(t.o).subsumers.contains(t.id("A"), t.id("B")));
}

INSTANTIATE_TEST_SUITE_P(Values, ProofFlag,
                         ::testing::Values(ProofSwitch{std::nullopt, false}, ProofSwitch{"1", true},
                                           ProofSwitch{"1 ", false}, ProofSwitch{"true", false},
                                           ProofSwitch{"0", false}));

TEST(ElSaturate, ProofRecordsDerivationsWithTheirRules) {
  Tbox t;
  t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));  // axiom order after this: as written
  t.sub(t.some(t.r("r"), t.A("B")), t.A("C"));
  auto [result, store] = el_saturate(t.o, true);
  ASSERT_NE(store, nullptr);
  auto it = store->derivations.find(Fact::sub(t.id("A"), t.id("C")));
  ASSERT_NE(it, store->derivations.end());
  // An ∃-left rule over the link, reached from the link or from the pair side.
  const ProofRule rule = it->second.rule;
  EXPECT_TRUE(rule == ProofRule::ExistsLeftInto || rule == ProofRule::ExistsLeftOwn || rule == ProofRule::ExistsLeft)
      << static_cast<std::uint32_t>(rule);
  EXPECT_EQ(it->second.axioms, std::vector<std::uint32_t>{1});
}

// Counts the items a full run processes, through the same engine.
std::uint64_t items_of(const InternalOntology& o) {
  ElEngine e = make_engine(o, false);
  std::uint64_t n = 0;
  while (e.step()) ++n;
  return n;
}

Tbox chain_of(int length) {
  Tbox t;
  for (int i = 0; i + 1 < length; ++i)
    t.sub(t.A("C" + std::to_string(i)), t.A("C" + std::to_string(i + 1)));
  return t;
}

// The clock is first read at the head of the 4096th pass: a run of at most
// 4094 items ends before that with timed_out false; one of 4095 or more
// stops there with timed_out true, even when that pass would find the queues empty.
TEST(ElSaturateWithDeadline, PastDeadlineStopsAtThe4096thPass) {
  int below = 0, at_or_above = 0;
  for (int len = 2; len < 200 && (below == 0 || at_or_above == 0); ++len) {
    Tbox t = chain_of(len);
    const std::uint64_t items = items_of(t.o);
    if (items <= 4094) below = len;
    if (items >= 4095 && at_or_above == 0) at_or_above = len;
  }
  ASSERT_GT(below, 0);
  ASSERT_GT(at_or_above, 0);
  const Deadline past = Clock::now() - std::chrono::seconds(1);
  {
    Tbox t = chain_of(below);
    auto [r, timed_out] = el_saturate_with_deadline(t.o, past);
    EXPECT_FALSE(timed_out);
    EXPECT_TRUE(r.subsumers.contains(t.id("C0"), t.id("C" + std::to_string(below - 1))));
  }
  {
    Tbox t = chain_of(at_or_above);
    auto [r, timed_out] = el_saturate_with_deadline(t.o, past);
    EXPECT_TRUE(timed_out);
  }
}

// A small TBox padded with isolated classes, each of which adds exactly one
// item (its reflexive pair), to take exactly `items` items.
Tbox padded_to(std::uint64_t items) {
  Tbox t;
  t.sub(t.A("A"), t.A("B"));
  const std::uint64_t base = items_of(t.o);
  for (std::uint64_t i = base; i < items; ++i) t.A("pad" + std::to_string(i));
  return t;
}

TEST(ElSaturateWithDeadline, ExactlyAtTheBoundaryOf4095Items) {
  const Deadline past = Clock::now() - std::chrono::seconds(1);
  Tbox at = padded_to(4095);
  ASSERT_EQ(items_of(at.o), 4095u);
  EXPECT_TRUE(el_saturate_with_deadline(at.o, past).second);
  Tbox below = padded_to(4094);
  ASSERT_EQ(items_of(below.o), 4094u);
  auto [r, timed_out] = el_saturate_with_deadline(below.o, past);
  EXPECT_FALSE(timed_out);
  EXPECT_TRUE(r.subsumers.contains(below.id("A"), below.id("B")));
}

TEST(ElSaturateWithDeadline, FutureOrNoDeadlineCompletesAndIgnoresProofWithDeadline) {
  ScopedSwitch env(SwitchId::Proof, "1");
  Tbox t = chain_of(120);
  auto [r1, t1] = el_saturate_with_deadline(t.o, Clock::now() + std::chrono::hours(1));
  auto [r2, t2] = el_saturate_with_deadline(t.o, std::nullopt);
  EXPECT_FALSE(t1);
  EXPECT_FALSE(t2);
  const std::uint32_t c0 = t.id("C0");
  EXPECT_EQ(r1.subsumers.row_sorted(c0), r2.subsumers.row_sorted(c0));
  EXPECT_EQ(r1.subsumers.row_sorted(c0).size(), 120u);
}

// 50,000 ids is the last dense table, 50,001 the first sparse one; both give
// the same rows.
class DenseSparseBoundary : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(DenseSparseBoundary, SameAnswersEitherSide) {
  Tbox t;
  t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
  t.sub(t.some(t.r("r"), t.A("B")), t.A("C"));  // no synthetic ids: rows = classes
  t.sub(t.A("C"), t.A("D"));
  while (t.o.vocabulary.classes.size() < GetParam()) t.A("pad" + std::to_string(t.o.vocabulary.classes.size()));
  ElResult r = el_saturate(t.o, false).first;
  EXPECT_EQ(r.subsumers.rows(), GetParam());
  EXPECT_EQ(r.subsumers.mode(),
            GetParam() <= 50000 ? SubsumerTable::Mode::Dense : SubsumerTable::Mode::Sparse);
  EXPECT_TRUE(r.subsumers.contains(t.id("A"), t.id("D")));
  EXPECT_FALSE(r.subsumers.contains(t.id("D"), t.id("A")));
  const std::uint32_t last_pad = static_cast<std::uint32_t>(t.o.vocabulary.classes.size() - 1);
  EXPECT_EQ(r.subsumers.row_sorted(last_pad), std::vector<std::uint32_t>{last_pad});
}

INSTANTIATE_TEST_SUITE_P(Rows, DenseSparseBoundary, ::testing::Values(50000u, 50001u));

}  // namespace
}  // namespace kelmon::sat
