// Counterexamples that once made the engine answer wrongly or run away.
#include <gtest/gtest.h>

#include <memory>

#include "hyper_fixture.h"

namespace kelmon {
namespace {

using hyper_testing::HyperTbox;

// S ⊑ ∃R.S, S ⊑ ∀R⁻.D, D ⊑ ∀R⁻.(M ⊔ M′), M ⊑ ∀R⁻.⊥, M′ ⊑ ∀R⁻.⊥: S is unsatisfiable,
// but a subset test blocks the third node before its constraint reaches back.
class InverseBlocking : public ::testing::TestWithParam<bool> {};

TEST_P(InverseBlocking, SubsetBlockingDoesNotHideABackwardClash) {
  HyperTbox t;
  auto s = t.A("S"), d = t.A("D"), m = t.A("M"), m2 = t.A("M2");
  auto r = t.r("R"), ri = t.inv("R");
  t.sub(s, t.some(r, s));
  t.sub(s, t.all(ri, d));
  t.sub(d, t.all(ri, t.or_({m, m2})));
  t.sub(m, t.all(ri, t.bot()));
  t.sub(m2, t.all(ri, t.bot()));
  const bool pairwise = GetParam();
  EXPECT_EQ(t.satisfiable("S", [&](HyperEngine& e) { if (pairwise) e.enable_double_blocking(); }),
            HyperOutcome::Unsat);
}

TEST_P(InverseBlocking, CyclicModelsStillTerminate) {
  HyperTbox t;
  auto a = t.A("A"), b = t.A("B");
  auto r = t.r("R");
  t.sub(a, t.some(r, a));
  t.sub(a, t.all(t.inv("R"), t.or_({a, b})));
  const bool pairwise = GetParam();
  EXPECT_EQ(t.satisfiable("A", [&](HyperEngine& e) { if (pairwise) e.enable_double_blocking(); }),
            HyperOutcome::Sat);
}

INSTANTIATE_TEST_SUITE_P(Modes, InverseBlocking, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "pairwise" : "subset"; });

// A ⊑ C ⊔ E: the model chose C, so a snapshot would hand that choice on as a fact.
TEST(Snapshots, NoSnapshotOfAModelThatBranched) {
  HyperTbox t;
  t.sub(t.A("A"), t.or_({t.A("C"), t.A("E")}));
  HyperEngine e = t.engine("A");
  ASSERT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
  EXPECT_GT(e.stats().branches, 0u);
  EXPECT_FALSE(e.snapshot_root(t.id("A")).has_value());
  EXPECT_TRUE(e.matching_definitions(0, {DefinitionPattern{{t.id("A")}, {}, 7}}).empty());
}

TEST(Snapshots, NoSnapshotAfterAForcedDisjunct) {
  HyperTbox t;
  auto a = t.A("A"), c = t.A("C"), e_ = t.A("E");
  t.sub(a, t.or_({c, e_}));
  t.disjoint({a, c});
  HyperEngine e = t.engine("A");
  e.semantic_branching = true;
  ASSERT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
  EXPECT_EQ(e.stats().branches, 0u);
  EXPECT_EQ(e.stats().forced_disjuncts, 1u);
  EXPECT_FALSE(e.snapshot_root(t.id("A")).has_value());
}

// Z ⊑ ∃S.W, W ⊑ C ⊔ E, W ⊑ P ⊔ Q, C ⊓ P ⊑ ⊥, C ⊓ Q ⊑ ⊥, E ⊓ P ⊑ ⊥: Z is satisfiable
// (W ⊓ E ⊓ Q), under every renaming C↔E, P↔Q.
struct Renaming {
  bool swap_ce;
  bool swap_pq;
};

class LookaheadPruning : public ::testing::TestWithParam<Renaming> {};

TEST_P(LookaheadPruning, PrunedDisjunctsKeepWhatThePruningRestedOn) {
  HyperTbox t;
  const Renaming r = GetParam();
  auto z = t.A("Z"), w = t.A("W");
  auto c = t.A(r.swap_ce ? "E" : "C"), e_ = t.A(r.swap_ce ? "C" : "E");
  auto p = t.A(r.swap_pq ? "Q" : "P"), q = t.A(r.swap_pq ? "P" : "Q");
  t.sub(z, t.some(t.r("S"), w));
  t.sub(w, t.or_({c, e_}));
  t.sub(w, t.or_({p, q}));
  t.sub(t.and_({c, p}), t.bot());
  t.sub(t.and_({c, q}), t.bot());
  t.sub(t.and_({e_, p}), t.bot());
  sort_axioms(t.o.axioms);
  auto look = std::make_shared<const sat::LookaheadEngine>(sat::build_lookahead_engine(t.o));
  for (bool semantic : {false, true}) {
    HyperEngine e = t.engine("Z");
    e.lookahead = look;
    e.semantic_branching = semantic;
    EXPECT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat) << "semantic " << semantic;
    EXPECT_EQ(t.satisfiable("W", [&](HyperEngine& en) { en.lookahead = look; }), HyperOutcome::Sat);
  }
}

INSTANTIATE_TEST_SUITE_P(Renamings, LookaheadPruning,
                         ::testing::Values(Renaming{false, false}, Renaming{true, false}, Renaming{false, true},
                                           Renaming{true, true}));

ConceptId some_chain(HyperTbox& t, Role r, int n, ConceptId filler) {
  ConceptId c = filler;
  for (int i = 0; i < n; ++i) c = t.some(r, c);
  return c;
}

// X ⊑ ∃R⁸.(B ⊔ C), ∃R⁸.B ⊑ Y, ∃R⁸.C ⊑ Y, Y ⊑ ⊥: the two bodies bind nine variables.
TEST(WideBodies, ABodyPastTheCapStillFires) {
  HyperTbox t;
  auto x = t.A("X"), b = t.A("B"), c = t.A("C"), y = t.A("Y");
  auto r = t.r("R");
  t.sub(x, some_chain(t, r, 8, t.or_({b, c})));
  t.sub(some_chain(t, r, 8, b), y);
  t.sub(some_chain(t, r, 8, c), y);
  HyperEngine probe = t.engine("X");
  ASSERT_EQ(probe.run(256, std::nullopt), HyperOutcome::Sat);
  EXPECT_TRUE(probe.root_labels_containing(t.id("Y")).has_value());
  t.sub(y, t.bot());
  EXPECT_EQ(t.satisfiable("X"), HyperOutcome::Unsat);
}

TEST(WideBodies, NineVariableBodyMatchesAChainOfEightEdges) {
  std::vector<DlClause> clauses;
  DlClause wide;
  for (std::uint32_t i = 0; i < 8; ++i) wide.body.push_back(hyper_testing::ra(i, i + 1, 0));
  wide.body.push_back(hyper_testing::ca(2, 8));
  wide.head.push_back(hyper_testing::ca(3, 0));
  ASSERT_FALSE(compile_body(wide.body).body.has_value());
  // 0: A(0) → ∃R.B1, Bk(0) → ∃R.Bk+1, …, B8 carries 2.
  clauses.push_back({{hyper_testing::ca(10, 0)}, {hyper_testing::ea(11, 0, 0)}});
  for (std::uint32_t k = 11; k < 18; ++k) clauses.push_back({{hyper_testing::ca(k, 0)}, {hyper_testing::ea(k + 1, 0, 0)}});
  clauses.push_back({{hyper_testing::ca(18, 0)}, {hyper_testing::ca(2, 0)}});
  clauses.push_back(wide);
  HyperEngine e(clauses, 10);
  ASSERT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
  EXPECT_TRUE(e.root_labels_containing(3).has_value());
}

// X ⊑ C ⊔ E, X ⊑ ∃R.A, A ⊑ ∃R⁻.X, A ⊑ ≤1 R⁻.⊤: after the inverse-functional merge the
// merged-away node must stop offering its disjunction.
TEST(MergedNodes, MergedAwayNodesAreNoCandidates) {
  HyperTbox t;
  auto x = t.A("X"), a = t.A("A");
  t.sub(x, t.or_({t.A("C"), t.A("E")}));
  t.sub(x, t.some(t.r("R"), a));
  t.sub(a, t.some(t.inv("R"), x));
  t.sub(a, t.max(1, t.inv("R"), t.top()));
  HyperEngine e = t.engine("X");
  e.adaptive_budget = false;
  EXPECT_EQ(e.run(8, std::nullopt), HyperOutcome::Sat);
}

// C3 → ∃r2⁻.X2, X2 ⊓ C6 ⊑ ⊥, C7 ⊑ C6, ⊤ ⊑ C7 ⊔ ≤0 r2.C3: the predecessor must
// take ≤0 r2.C3, which its C3 successor (reached over the inverse edge) breaks.
TEST(NumberRestrictions, NeighboursOverInverseEdgesCountInEveryMode) {
  std::vector<DlClause> clauses{{{hyper_testing::ca(3, 0)}, {hyper_testing::ea(2, 0, 2, true)}},
                                {{hyper_testing::ca(2, 0), hyper_testing::ca(6, 0)}, {}},
                                {{hyper_testing::ca(7, 0)}, {hyper_testing::ca(6, 0)}},
                                {{}, {hyper_testing::ca(7, 0), at_most_atom(0, 0, Role::named(RoleId{2}), 3)}}};
  for (bool merge_eagerly : {true, false}) {
    HyperEngine e(clauses, 3);
    e.inverse_func_merge = merge_eagerly;
    EXPECT_EQ(e.run(64, std::nullopt), HyperOutcome::Unsat) << merge_eagerly;
  }
}

}  // namespace
}  // namespace kelmon
