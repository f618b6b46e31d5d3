// Clauses fired for one new fact bind the variable it pins to the fact's
// node: whatever a new label or edge makes hold must still be derived, with
// only the new facts' items drained.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/role_hierarchy.h"
#include "hyper_fixture.h"

namespace kelmon {
namespace {

using hyper_testing::ca;
using hyper_testing::ra;

void link(HyperEngine& e, std::uint32_t role, std::uint32_t s, std::uint32_t t) {
  e.nodes.mut(s).out_edges.push_back({0, role, t});
  e.nodes.mut(t).in_edges.push_back({0, role, s});
}

// The root with five children over role 1, nothing queued, draining only what comes next.
HyperEngine star(const std::vector<DlClause>& clauses, std::vector<std::uint32_t>& kids) {
  HyperEngine e(clauses, 0);
  e.incremental_fixpoint = true;
  for (int i = 0; i < 5; ++i) {
    kids.push_back(e.new_node());
    link(e, 1, 0, kids.back());
  }
  e.queue.clear();
  return e;
}

// A label arriving at one of many neighbours fires the clauses that read it
// there at the neighbour's predecessor. Labels arrive in steps, each drained
// before the next: (child, class).
struct NeighbourLabelCase {
  const char* name;
  std::vector<DlClause> clauses;
  std::vector<std::vector<std::pair<std::uint32_t, std::uint32_t>>> steps;
  bool fires;
};

class NeighbourLabel : public ::testing::TestWithParam<NeighbourLabelCase> {};

TEST_P(NeighbourLabel, FiresAtThePredecessor) {
  const NeighbourLabelCase& c = GetParam();
  std::vector<std::uint32_t> kids;
  HyperEngine e = star(c.clauses, kids);
  for (std::size_t i = 0; i < c.steps.size(); ++i) {
    for (const auto& [kid, cls] : c.steps[i]) e.add_label(kids[kid], cls, LevelMask{});
    ASSERT_EQ(e.fixpoint(), HyperOutcome::Sat);
    const bool last = i + 1 == c.steps.size();
    EXPECT_EQ(e.nodes[0].has_label(9), c.fires && last) << "after step " << i;
  }
}

// Two children with class 8, one of them also 7 and the other 6; 8 arrives last at the one with 6.
std::vector<DlClause> same_class_twice(std::uint32_t at_y, std::uint32_t at_z) {
  return {{{ra(0, 1, 1), ra(0, 2, 1), ca(8, 1), ca(8, 2), ca(at_y, 1), ca(at_z, 2)}, {ca(9, 0)}}};
}
const std::vector<std::vector<std::pair<std::uint32_t, std::uint32_t>>> kSameClassSteps{{{1, 7}, {1, 8}, {3, 6}},
                                                                                        {{3, 8}}};

INSTANTIATE_TEST_SUITE_P(
    FactPin, NeighbourLabel,
    ::testing::Values(
        NeighbourLabelCase{"OneNeighbour", {{{ra(0, 1, 1), ca(7, 1)}, {ca(9, 0)}}}, {{{1, 7}}}, true},
        NeighbourLabelCase{"OtherRole", {{{ra(0, 1, 2), ca(7, 1)}, {ca(9, 0)}}}, {{{1, 7}}}, false},
        // The later label completes a binding whose other variable an earlier label settled.
        NeighbourLabelCase{"TwoNeighbours",
                           {{{ra(0, 1, 1), ra(0, 2, 1), ca(7, 1), ca(8, 2)}, {ca(9, 0)}}},
                           {{{1, 7}}, {{3, 8}}},
                           true},
        // The same class at two variables: either may be the one the new label binds.
        NeighbourLabelCase{"SameClassTwice", same_class_twice(7, 6), kSameClassSteps, true},
        NeighbourLabelCase{"SameClassTwiceMirrored", same_class_twice(6, 7), kSameClassSteps, true},
        NeighbourLabelCase{"NeedsBoth", {{{ra(0, 1, 1), ca(7, 1), ca(8, 1)}, {ca(9, 0)}}}, {{{1, 7}, {3, 8}}}, false}),
    [](const ::testing::TestParamInfo<NeighbourLabelCase>& info) { return info.param.name; });

// A new edge from the root fires the clauses over its role; `labelled`: the
// node that must end with class 9 (a child index, or 5 for the root, 6 for
// the new edge's target).
struct NewEdgeCase {
  const char* name;
  std::vector<DlClause> clauses;
  bool inverse_edge;  // the edge runs from the new node to the root
  bool loop;          // the edge runs from the root to itself
  std::uint32_t labelled;
};

class NewEdge : public ::testing::TestWithParam<NewEdgeCase> {};

TEST_P(NewEdge, DerivesWhatTheEdgeCompletes) {
  const NewEdgeCase& c = GetParam();
  std::vector<std::uint32_t> kids;
  HyperEngine e = star(c.clauses, kids);
  // Roles 0..1 with 1 ⊑ 0.
  RoleHierarchyBuilder b(2);
  b.add_edge(RoleId{1}, RoleId{0});
  e = HyperEngine::with_role_hierarchy(std::move(e), std::make_shared<const RoleHierarchy>(std::move(b).build()));
  e.add_label(kids[3], 7, LevelMask{});
  ASSERT_EQ(e.fixpoint(), HyperOutcome::Sat);
  const std::uint32_t fresh = e.new_node();
  e.queue.clear();
  const std::uint32_t target = c.loop ? 0 : fresh;
  const Binding to{{1, target}};
  ASSERT_EQ(e.apply_head_atom(ra(0, 1, 1, c.inverse_edge), 0, to, LevelMask{}), ApplyResult::Changed);
  ASSERT_EQ(e.fixpoint(), HyperOutcome::Sat);
  const std::uint32_t want = c.labelled == 5 ? 0 : c.labelled == 6 ? fresh : kids[c.labelled];
  EXPECT_TRUE(e.nodes[want].has_label(9));
}

INSTANTIATE_TEST_SUITE_P(
    FactPin, NewEdge,
    ::testing::Values(
        NewEdgeCase{"Forward", {{{ra(0, 1, 1)}, {ca(9, 1)}}}, false, false, 6},
        NewEdgeCase{"ThroughASubRole", {{{ra(0, 1, 0)}, {ca(9, 1)}}}, false, false, 6},
        // The atom walks the edge from its far end: the root is the new instance's y.
        NewEdgeCase{"InverseAtom", {{{ra(0, 1, 1, true)}, {ca(9, 1)}}}, false, false, 5},
        // The edge runs new node → root: the root is the far end the clause labels.
        NewEdgeCase{"InverseEdge", {{{ra(0, 1, 1)}, {ca(9, 1)}}}, true, false, 5},
        NewEdgeCase{"Loop", {{{ra(0, 1, 1)}, {ca(9, 1)}}}, false, true, 5},
        // Two atoms over the role: the new edge completes a binding through the other one.
        NewEdgeCase{"TwoAtoms", {{{ra(0, 1, 1), ra(0, 2, 1), ca(7, 1)}, {ca(9, 2)}}}, false, false, 6},
        NewEdgeCase{"TwoAtomsOtherWay", {{{ra(0, 1, 1), ra(0, 2, 1), ca(7, 2)}, {ca(9, 1)}}}, false, false, 6}),
    [](const ::testing::TestParamInfo<NewEdgeCase>& info) { return info.param.name; });


// The check of a would-be model goes over the whole graph once, each clause
// fired once per node however many of its labels trigger it; what the drain
// never saw is still found, and what a firing adds is fired on.
TEST(WholeGraphPass, FindsWhatTheDrainMissedFiringEachClauseOncePerNode) {
  // A ∧ B ∧ R(x,y) ∧ E(y) → F(x); F ∧ A → G; A ∧ R(x,y) → H(y).
  std::vector<DlClause> clauses{{{ca(1, 0), ca(2, 0), ra(0, 1, 1), ca(5, 1)}, {ca(6, 0)}},
                                {{ca(6, 0), ca(1, 0)}, {ca(7, 0)}},
                                {{ca(1, 0), ra(0, 1, 1)}, {ca(8, 1)}}};
  std::vector<std::uint32_t> kids;
  HyperEngine e = star(clauses, kids);
  e.reseed_verify = true;
  for (std::uint32_t c : {1u, 2u}) e.nodes.mut(0).insert_label(c, LevelMask{});
  e.nodes.mut(kids[2]).insert_label(5, LevelMask{});
  ASSERT_EQ(e.fixpoint(), HyperOutcome::Sat);  // nothing queued: nothing derived
  EXPECT_FALSE(e.nodes[0].has_label(6));
  EXPECT_EQ(e.settle_model(), HyperEngine::Settled::Changed);
  EXPECT_TRUE(e.nodes[0].has_label(6));
  EXPECT_TRUE(e.nodes[0].has_label(7));
  for (std::uint32_t kid : kids) EXPECT_TRUE(e.nodes[kid].has_label(8));
  EXPECT_EQ(e.settle_model(), HyperEngine::Settled::Model);
}

}  // namespace
}  // namespace kelmon
