// Graph growth under blocking with inverse roles: a node's labels grow with
// what its successors send back, so blocking (equal labels, node and
// parent) holds only once they settle, and every subtree built before that
// is thrown away. Successors are generated one node at a time, oldest first;
// a class's entailed subsumers join a node with the class; merges keep one
// edge per neighbour class. Answers must not change with any of it.
#include <gtest/gtest.h>

#include <algorithm>

#include "hyper_fixture.h"

namespace kelmon {
namespace {

using hyper_testing::ca;
using hyper_testing::ea;
using hyper_testing::ra;

constexpr std::uint32_t kA = 0, kB = 1, kC = 2, kD = 3, kE = 4;
constexpr std::uint32_t kR = 0, kS = 1;

ClauseAtom at_most_one(std::uint32_t var, std::uint32_t role, bool inverse) {
  return at_most_atom(1, var, inverse ? Role::inverse_of(RoleId{role}) : Role::named(RoleId{role}), std::nullopt);
}

// A binary tree of B-nodes: a node gains C once its R-child exists (∃R.B ⊑
// C), D once its S-child has C (∃S.C ⊑ D), and its S-parent gains E through
// the inverse role once it has C. B ⊑ C and B ⊑ D are entailed.
std::vector<DlClause> growing_tree() {
  return {{{ca(kA, 0)}, {ea(kB, 0, kR)}},
          {{ca(kB, 0)}, {ea(kB, 0, kR)}},
          {{ca(kB, 0)}, {ea(kB, 0, kS)}},
          {{ra(0, 1, kR), ca(kB, 1)}, {ca(kC, 0)}},
          {{ra(0, 1, kS), ca(kC, 1)}, {ca(kD, 0)}},
          {{ca(kC, 0), ra(0, 1, kS, true)}, {ca(kE, 1)}}};
}

std::size_t below_blocked(HyperEngine& e) {
  std::size_t n = 0;
  for (std::uint32_t x = 0; x < e.nodes.size(); ++x)
    if (e.find(x) == x && e.indirectly_blocked(x)) ++n;
  return n;
}

TEST(GraphGrowth, ImpliedSubsumersLetBlockingHoldBeforeSubtreesGrow) {
  const auto clauses = growing_tree();
  const std::vector<std::vector<std::uint32_t>> implied{{}, {kC, kD}};
  for (bool incremental : {false, true}) {
    HyperEngine plain(clauses, kA);
    plain.incremental_fixpoint = incremental;
    ASSERT_TRUE(plain.inverse_roles);
    ASSERT_EQ(plain.run(256, std::nullopt), HyperOutcome::Sat);
    HyperEngine told(clauses, kA);
    told.incremental_fixpoint = incremental;
    told.implied_subsumers = implied;
    ASSERT_EQ(told.run(256, std::nullopt), HyperOutcome::Sat);
    // Without the subsumers every blocked node carries levels built before
    // its labels settled (28 nodes, most of them below a blocked one).
    EXPECT_GE(plain.nodes.size(), 24u) << incremental;
    EXPECT_LE(told.nodes.size(), 16u) << incremental;
    EXPECT_LT(below_blocked(told), below_blocked(plain)) << incremental;
    // The same model facts at the root and at its child.
    EXPECT_EQ(told.nodes[0].labels, plain.nodes[0].labels) << incremental;
    EXPECT_EQ(told.nodes[1].labels, plain.nodes[1].labels) << incremental;
  }
}

struct AnswerCase {
  const char* name;
  std::vector<DlClause> clauses;
  std::vector<std::vector<std::uint32_t>> implied;
  HyperOutcome expected;
};

std::vector<AnswerCase> answer_cases() {
  std::vector<AnswerCase> out;
  // E is derived only two levels down (a B whose R-parent is a B) and climbs
  // back to the root through the inverse role: the clash needs the labels
  // of nodes that blocking would stand in for.
  std::vector<DlClause> climb{{{ca(kA, 0)}, {ea(kB, 0, kR)}},
                              {{ca(kB, 0)}, {ea(kB, 0, kR)}},
                              {{ca(kB, 0), ra(0, 1, kR, true), ca(kB, 1)}, {ca(kE, 0)}},
                              {{ca(kE, 0), ra(0, 1, kR, true)}, {ca(kE, 1)}}};
  out.push_back({"climb_sat", climb, {{}, {}}, HyperOutcome::Sat});
  auto climb_clash = climb;
  climb_clash.push_back({{ca(kA, 0), ca(kE, 0)}, {}});
  out.push_back({"climb_unsat", climb_clash, {}, HyperOutcome::Unsat});
  // B ⊑ ∃R⁻.D with R inverse-functional: the D-predecessor is the root.
  std::vector<DlClause> back{{{ca(kA, 0)}, {ea(kB, 0, kR)}},
                             {{ca(kB, 0)}, {ea(kD, 0, kR, true)}},
                             {{ca(kB, 0)}, {ea(kB, 0, kR)}},
                             {{ca(kB, 0)}, {at_most_one(0, kR, true)}}};
  out.push_back({"inverse_functional_sat", back, {}, HyperOutcome::Sat});
  auto back_clash = back;
  back_clash.push_back({{ca(kA, 0), ca(kD, 0)}, {}});
  out.push_back({"inverse_functional_unsat", back_clash, {}, HyperOutcome::Unsat});
  // Without the at-most the D-predecessor is a new node: no clash.
  auto loose = back_clash;
  loose.erase(loose.begin() + 3);
  out.push_back({"inverse_not_functional_sat", loose, {}, HyperOutcome::Sat});
  // Functional R: the B- and C-successors of a B merge, and B ⊓ C is empty
  // only below the root, where an implied subsumer (B ⊑ D, entailed by
  // B → ∃S.C, ∃S.C ⊑ D) is what the clash rests on.
  std::vector<DlClause> fun{{{ca(kA, 0)}, {ea(kB, 0, kR)}},
                            {{ca(kB, 0)}, {ea(kC, 0, kS)}},
                            {{ra(0, 1, kS), ca(kC, 1)}, {ca(kD, 0)}},
                            {{ca(kD, 0)}, {ea(kE, 0, kR)}},
                            {{ca(kB, 0)}, {at_most_one(0, kR, false)}},
                            {{ca(kB, 0)}, {ea(kB, 0, kR)}}};
  out.push_back({"functional_merge_sat", fun, {{}, {kD}}, HyperOutcome::Sat});
  auto fun_clash = fun;
  fun_clash.push_back({{ca(kB, 0), ca(kE, 0)}, {}});
  out.push_back({"functional_merge_unsat", fun_clash, {{}, {kD}}, HyperOutcome::Unsat});
  return out;
}

class GraphGrowthAnswers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(GraphGrowthAnswers, SameWithAndWithoutImpliedSubsumers) {
  const AnswerCase& c = GetParam();
  for (bool with_implied : {false, true}) {
    for (bool incremental : {false, true}) {
      HyperEngine e(c.clauses, kA);
      e.incremental_fixpoint = incremental;
      if (with_implied) e.implied_subsumers = c.implied;
      EXPECT_EQ(e.run(256, std::nullopt), c.expected) << with_implied << incremental;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, GraphGrowthAnswers, ::testing::ValuesIn(answer_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Two nodes with an edge to the same class merge: the survivor keeps one
// such edge, and still finds the neighbour through it.
TEST(GraphGrowth, MergeKeepsOneEdgePerNeighbourClass) {
  std::vector<DlClause> clauses{{{ca(kA, 0)}, {ea(kB, 0, kR)}}};
  HyperEngine e(clauses, kA);
  const std::uint32_t x = e.new_node(), y = e.new_node(), t = e.new_node(), u = e.new_node();
  e.nodes.mut(x).out_edges.push_back({0, kR, t});
  e.nodes.mut(t).in_edges.push_back({0, kR, x});
  e.nodes.mut(y).out_edges.push_back({0, kR, u});
  e.nodes.mut(u).in_edges.push_back({0, kR, y});
  e.nodes.mut(y).out_edges.push_back({0, kS, u});
  e.nodes.mut(u).in_edges.push_back({0, kS, y});
  ASSERT_TRUE(e.merge(t, u, LevelMask{}));
  ASSERT_TRUE(e.merge(x, y, LevelMask{}));
  const std::uint32_t r = e.find(x);
  std::size_t r_edges = 0, s_edges = 0;
  for (const HyperEdge& edge : e.nodes[r].out_edges) {
    EXPECT_EQ(e.find(edge.node), e.find(t));
    (edge.role == kR ? r_edges : s_edges) += 1;
  }
  EXPECT_EQ(r_edges, 1u);
  EXPECT_EQ(s_edges, 1u);
  EXPECT_EQ(e.successors(r, 0, kR, 0, 0), std::vector<std::uint32_t>{e.find(t)});
}

}  // namespace
}  // namespace kelmon
