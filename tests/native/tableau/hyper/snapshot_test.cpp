// Engines for an ABox and from snapshots, the queries on a finished engine,
// and the one-shot tests.
#include <gtest/gtest.h>

#include <algorithm>

#include "hyper_fixture.h"

namespace kelmon {
namespace {

using hyper_testing::ca;
using hyper_testing::ea;
using hyper_testing::HyperTbox;
using hyper_testing::ra;

TEST(Abox, NoIndividualsGivesTheRootEngine) {
  std::vector<DlClause> clauses{{{ca(0, 0)}, {ca(1, 0)}}};
  HyperEngine e = HyperEngine::new_with_abox(clauses, AboxSeed{});
  ASSERT_EQ(e.nodes.size(), 1u);
  EXPECT_EQ(e.nodes[0].labels, (std::vector<std::uint32_t>{0}));
  EXPECT_FALSE(e.nominal_range.enabled);
}

TEST(Abox, AssertionsPastTheIndividualCountAreIgnored) {
  std::vector<DlClause> clauses{{{ra(0, 1, 0)}, {ca(7, 1)}}};
  AboxSeed seed;
  seed.individual_count = 3;
  seed.first_nominal = 20;
  seed.role_assertions = {{0, 0, 0, 1}, {0, 0, 1, 3}, {0, 0, 2, 1}};
  seed.equalities = {{1, 2}, {0, 5}};
  HyperEngine e = HyperEngine::new_with_abox(clauses, seed);
  ASSERT_EQ(e.nodes.size(), 3u);
  EXPECT_EQ(e.nodes[2].labels, (std::vector<std::uint32_t>{22}));
  EXPECT_EQ(e.nodes[0].out_edges, (std::vector<HyperEdge>{{0, 0, 1}}));
  EXPECT_EQ(e.find(2), 1u);
  EXPECT_EQ(e.find(0), 0u);
  EXPECT_TRUE(e.queue.empty());
  ASSERT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
  EXPECT_EQ(*e.labels_of(2), (std::vector<std::uint32_t>{7, 21, 22}));
  EXPECT_EQ(e.labels_of(2), e.labels_of(1));
  EXPECT_FALSE(e.labels_of(3).has_value());
}

TEST(Abox, CertainLabelsLeaveOutWhatAChoiceDerived) {
  // {a} → 3, {a} → 1 ∨ 2, 1 → 5, 2 → 5: 5 holds in every model, but this one
  // derives it from the choice.
  std::vector<DlClause> clauses{{{ca(20, 0)}, {ca(3, 0)}},
                                {{ca(20, 0)}, {ca(1, 0), ca(2, 0)}},
                                {{ca(1, 0)}, {ca(5, 0)}},
                                {{ca(2, 0)}, {ca(5, 0)}}};
  AboxSeed seed;
  seed.individual_count = 1;
  seed.first_nominal = 20;
  HyperEngine e = HyperEngine::new_with_abox(clauses, seed);
  ASSERT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
  const std::vector<std::uint32_t> labels = *e.labels_of(0);
  EXPECT_TRUE(std::find(labels.begin(), labels.end(), 5u) != labels.end());
  EXPECT_EQ(e.certain_labels_of(0), (std::vector<std::uint32_t>{3, 20}));
  EXPECT_TRUE(e.certain_labels_of(1).empty());
}

TEST(Snapshot, AbsentForAConceptNotAtTheRoot) {
  HyperTbox t;
  t.sub(t.A("A"), t.A("B"));
  t.cls("C");
  HyperEngine e = t.engine("A");
  ASSERT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
  EXPECT_FALSE(e.snapshot_root(t.id("C")).has_value());
  EXPECT_TRUE(e.snapshot_root(t.id("B")).has_value());
  EXPECT_FALSE(e.root_labels_containing(t.id("C")).has_value());
  std::vector<std::uint32_t> both{t.id("A"), t.id("B")};
  std::sort(both.begin(), both.end());
  EXPECT_EQ(*e.root_labels_containing(t.id("A")), both);
}

TEST(Snapshot, MergedNodesBecomeOneAndEdgesPointAtIt) {
  // A → ∃r.B, A → ∃r.C, A → ≤1 r: the two successors merge.
  std::vector<DlClause> clauses{{{ca(0, 0)}, {ea(1, 0, 4)}},
                                {{ca(0, 0)}, {ea(2, 0, 4)}},
                                {{ca(0, 0)}, {at_most_atom(1, 0, Role::named(RoleId{4}), std::nullopt)}}};
  HyperEngine e(clauses, 0);
  ASSERT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
  ASSERT_EQ(e.nodes.size(), 3u);
  auto snap = e.snapshot_root(0);
  ASSERT_TRUE(snap.has_value());
  EXPECT_EQ(snap->status, 5);
  ASSERT_EQ(snap->nodes.size(), 2u);
  EXPECT_EQ(snap->nodes[1].labels, (std::vector<std::uint32_t>{1, 2}));
  EXPECT_EQ(snap->nodes[1].seed_labels, snap->nodes[1].labels);
  EXPECT_EQ(snap->edges[0], (std::vector<HyperEdge>{{0, 4, 1}, {0, 4, 1}}));
  EXPECT_EQ(e.matching_definitions(0, {{{0}, {{0, 4, 1}}, 3}, {{0}, {{0, 4, 9}}, 4}, {{0, 5}, {}, 5}}),
            (std::vector<std::uint32_t>{3}));
}

TEST(Snapshot, FromSnapshotReproducesNodesLabelsAndEdges) {
  HyperSnapshot snap;
  snap.root_concept = 0;
  snap.status = 5;
  snap.nodes = {{LevelMask::of_level(2), {0, 3}, {0, 3}}, {LevelMask{}, {4}, {4}}};
  snap.edges = {{{0, 1, 1}}, {}};
  std::vector<DlClause> clauses;
  HyperEngine e = HyperEngine::from_snapshot(clauses, snap);
  ASSERT_EQ(e.nodes.size(), 2u);
  EXPECT_EQ(e.nodes[0].labels, (std::vector<std::uint32_t>{0, 3}));
  EXPECT_EQ(e.nodes[0].label_deps, (std::vector<LevelMask>(2, LevelMask::of_level(2))));
  EXPECT_EQ(e.nodes[0].out_edges, (std::vector<HyperEdge>{{0, 1, 1}}));
  EXPECT_EQ(e.nodes[1].in_edges, (std::vector<HyperEdge>{{0, 1, 0}}));
  EXPECT_EQ(e.parent_of, (std::vector<std::uint32_t>{0, 1}));
  EXPECT_EQ(e.nodes[1].parent_dir, 2u);
  EXPECT_TRUE(e.queue.empty());
}

TEST(OneShot, SnapshotThatIsNotAModelIsNotRun) {
  HyperSnapshot snap;
  snap.status = 4;
  std::vector<DlClause> base;
  EXPECT_EQ(hyper_test_lazy(base, snap, {{{ca(0, 0)}, {}}}), 2);
  EXPECT_EQ(hyper_test_eager(base, snap, {{{ca(0, 0)}, {}}}), 2);
}

// A ⊑ B, B ⊑ ∃r.C: the cached model of A answers A ⊑ B (B(x) → ⊥ closes it)
// and refutes A ⊑ D.
TEST(OneShot, ExtraClausesOnACachedModel) {
  HyperTbox t;
  t.sub(t.A("A"), t.A("B"));
  t.sub(t.A("B"), t.some(t.r("r"), t.A("C")));
  t.cls("D");
  HyperEngine e = t.engine("A");
  ASSERT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
  auto snap = e.snapshot_root(t.id("A"));
  ASSERT_TRUE(snap.has_value());
  for (auto test : {&hyper_test_lazy, &hyper_test_eager}) {
    EXPECT_EQ(test(t.clauses, *snap, {{{ca(t.id("B"), 0)}, {}}}), 0);
    EXPECT_EQ(test(t.clauses, *snap, {{{ca(t.id("D"), 0)}, {}}}), 1);
    // A successor-side trigger: C at the r-successor.
    EXPECT_EQ(test(t.clauses, *snap, {{{ca(t.id("C"), 0)}, {}}}), 0);
  }
}

TEST(OneShot, LazyTestRefiresOnlyTriggerConcepts) {
  HyperSnapshot snap;
  snap.status = 5;
  snap.nodes = {{LevelMask{}, {0}, {0}}};
  snap.edges = {{}};
  // Base: 0 → 1. The snapshot says node 0 already went through its clauses,
  // so the lazy run does not re-fire the base clause at 0.
  std::vector<DlClause> base{{{ca(0, 0)}, {ca(1, 0)}}};
  EXPECT_EQ(hyper_test_lazy(base, snap, {{{ca(1, 0)}, {}}}), 1);
  EXPECT_EQ(hyper_test_eager(base, snap, {{{ca(1, 0)}, {}}}), 0);
}

TEST(ShadowProbe, OffChangesOnlyTheSwitch) {
  std::vector<DlClause> clauses{{{ca(0, 0), ca(1, 0)}, {}}};
  HyperEngine e(clauses, 0);
  e.nodes.mut(0).insert_label(1, LevelMask::of_level(3));
  HyperEngine off = HyperEngine::with_shadow_dep_probe(std::move(e), false);
  EXPECT_TRUE(off.nodes[0].shadow_label_deps.empty());
  HyperEngine on = HyperEngine::with_shadow_dep_probe(std::move(off), true);
  EXPECT_EQ(on.nodes[0].shadow_label_deps, on.nodes[0].label_deps);
  EXPECT_EQ(on.run(256, std::nullopt), HyperOutcome::Unsat);
  ASSERT_EQ(on.stats().clash_records.size(), 1u);
  EXPECT_EQ(on.stats().clash_records[0].clash.levels, (std::vector<std::uint32_t>{3}));
}

TEST(RoleHierarchy, EdgesMatchThroughSubRoles) {
  // A → ∃s.B, r(0,1) → C(1), s ⊑ r: the s-successor gets C only with the hierarchy.
  std::vector<DlClause> clauses{{{ca(0, 0)}, {ea(1, 0, 1)}}, {{ra(0, 1, 0)}, {ca(2, 1)}}};
  RoleHierarchyBuilder b(2);
  b.add_edge(RoleId{1}, RoleId{0});
  auto h = std::make_shared<const RoleHierarchy>(std::move(b).build());
  HyperEngine plain(clauses, 0);
  ASSERT_EQ(plain.run(256, std::nullopt), HyperOutcome::Sat);
  EXPECT_FALSE(plain.nodes[1].has_label(2));
  HyperEngine with = HyperEngine::with_role_hierarchy(HyperEngine(clauses, 0), h);
  ASSERT_EQ(with.run(256, std::nullopt), HyperOutcome::Sat);
  EXPECT_TRUE(with.nodes[1].has_label(2));
}

TEST(RoleHierarchy, ASymmetricRoleBlocksLikeAnInverseOne) {
  std::vector<DlClause> clauses{{{ca(0, 0)}, {ea(0, 0, 2)}}};
  RoleHierarchyBuilder b(3);
  b.mark_symmetric(RoleId{2});
  auto h = std::make_shared<const RoleHierarchy>(std::move(b).build());
  HyperEngine plain(clauses, 0);
  EXPECT_FALSE(plain.inverse_roles);
  HyperEngine with = HyperEngine::with_role_hierarchy(HyperEngine(clauses, 0), h);
  EXPECT_TRUE(with.inverse_roles);
  EXPECT_EQ(with.run(64, std::nullopt), HyperOutcome::Sat);
}

TEST(Shared, SharedIndexesAreUsedAsGiven) {
  std::vector<DlClause> clauses{{{ca(0, 0)}, {ca(1, 0)}}};
  auto index = build_base_index(clauses, nullptr);
  auto disjoint = std::make_shared<const DisjointPairs>(collect_disjoint_pairs(clauses));
  HyperEngine a = HyperEngine::new_shared(clauses, 0, index, disjoint);
  HyperEngine b = HyperEngine::new_shared(clauses, 1, index, disjoint);
  EXPECT_EQ(a.index.get(), index.get());
  EXPECT_EQ(a.run(256, std::nullopt), HyperOutcome::Sat);
  EXPECT_EQ(b.run(256, std::nullopt), HyperOutcome::Sat);
  EXPECT_TRUE(a.nodes[0].has_label(1));
  EXPECT_EQ(b.nodes[0].labels, (std::vector<std::uint32_t>{1}));
}

}  // namespace
}  // namespace kelmon
