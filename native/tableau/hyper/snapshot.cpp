#include <algorithm>

#include "common/invariant.h"
#include "tableau/hyper/hyper.h"

namespace kelmon {

HyperEngine HyperEngine::new_with_abox(std::span<const DlClause> clauses, const AboxSeed& seed) {
  if (seed.individual_count == 0) return HyperEngine(clauses, 0);
  HyperEngine e;
  e.init_common(clauses);
  e.nodes.clear();
  e.parent_of.clear();
  for (std::uint32_t i = 0; i < seed.individual_count; ++i) {
    HyperNode n;
    n.id = i;
    n.insert_label(seed.first_nominal + i, LevelMask{});
    e.nodes.push_back(std::move(n));
    e.parent_of.push_back(i);
  }
  e.disjoint = std::make_shared<const DisjointPairs>(collect_disjoint_pairs(clauses));
  e.index = build_base_index(clauses, nullptr);
  const std::uint32_t n = seed.individual_count;
  for (const AboxRoleAssertion& a : seed.role_assertions) {
    if (a.subject >= n || a.object >= n) continue;
    e.nodes.mut(a.subject).out_edges.push_back({a.dir, a.role, a.object});
    e.nodes.mut(a.object).in_edges.push_back({a.dir, a.role, a.subject});
  }
  for (const auto& [a, b] : seed.equalities)
    if (a < n && b < n) e.merge(a, b, LevelMask{});
  // Merges queue work; the run seeds the queue itself.
  e.queue.clear();
  return e;
}

HyperEngine HyperEngine::new_shared(std::span<const DlClause> clauses, std::uint32_t root_concept,
                                    std::shared_ptr<const ClauseIndexes> index,
                                    std::shared_ptr<const DisjointPairs> disjoint) {
  HyperEngine e;
  e.init_common(clauses);
  e.index = std::move(index);
  e.disjoint = std::move(disjoint);
  e.nodes.mut(e.nodes.size() - 1).insert_label(root_concept, LevelMask{});
  return e;
}

HyperEngine HyperEngine::from_snapshot(std::span<const DlClause> clauses, const HyperSnapshot& snapshot) {
  HyperEngine e(clauses, snapshot.root_concept);
  e.nodes.clear();
  e.parent_of.clear();
  e.queue.clear();
  e.distinct_pairs.clear();
  if (e.parent_role_buckets) e.parent_role_buckets->clear();
  e.clash_deps = LevelMask{};
  for (std::size_t i = 0; i < snapshot.nodes.size(); ++i) {
    invariant(i < (std::uint64_t{1} << 32), "node count fits u32");
    const SnapshotNode& s = snapshot.nodes[i];
    HyperNode n;
    n.id = static_cast<std::uint32_t>(i);
    n.node_deps = s.deps;
    n.labels = s.labels;
    n.label_deps.assign(s.labels.size(), s.deps);
    e.nodes.push_back(std::move(n));
    e.parent_of.push_back(static_cast<std::uint32_t>(i));
  }
  e.snapshot_labels.reset();
  for (std::size_t i = 0; i < snapshot.nodes.size() && i < snapshot.edges.size(); ++i) {
    for (const HyperEdge& edge : snapshot.edges[i]) {
      if (edge.node >= e.nodes.size()) continue;
      e.nodes.mut(i).out_edges.push_back(edge);
      e.nodes.mut(edge.node).in_edges.push_back({edge.dir, edge.role, static_cast<std::uint32_t>(i)});
    }
  }
  return e;
}

HyperEngine HyperEngine::from_snapshot_lazy(std::span<const DlClause> clauses, const HyperSnapshot& snapshot,
                                            tsl::robin_set<std::uint32_t> triggers) {
  HyperEngine e = from_snapshot(clauses, snapshot);
  std::vector<std::vector<std::uint32_t>> seen;
  seen.reserve(snapshot.nodes.size());
  for (const SnapshotNode& n : snapshot.nodes) seen.push_back(n.seed_labels);
  e.snapshot_labels = std::move(seen);
  e.trigger_concepts = std::move(triggers);
  return e;
}

HyperEngine HyperEngine::with_role_hierarchy(HyperEngine engine, std::shared_ptr<const RoleHierarchy> hierarchy) {
  engine.index = build_base_index(engine.clauses, hierarchy.get());
  engine.role_hierarchy = std::move(hierarchy);
  engine.update_inverse_roles();
  return engine;
}

HyperEngine HyperEngine::with_shadow_dep_probe(HyperEngine engine, bool on) {
  engine.shadow_probe = on;
  if (!on) return engine;
  for (std::size_t i = 0; i < engine.nodes.size(); ++i) {
    HyperNode& n = engine.nodes.mut(i);
    if (n.shadow_label_deps.size() != n.label_deps.size()) n.shadow_label_deps = n.label_deps;
    n.shadow_card_deps = n.card_deps;
    n.shadow_node_deps = n.node_deps;
  }
  return engine;
}

std::optional<HyperSnapshot> HyperEngine::snapshot_root(std::uint32_t concept_) const {
  // A model found by choosing among disjuncts would hand its choices on as
  // facts (every label of a snapshot rests on the node's mask alone).
  if (!run_decided()) return std::nullopt;
  const std::uint32_t root = find(0);
  if (!nodes[root].has_label(concept_)) return std::nullopt;
  constexpr std::uint32_t kUnmapped = 0xFFFFFFFFu;
  std::vector<std::uint32_t> position(nodes.size(), kUnmapped);
  std::vector<std::uint32_t> kept;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    if (parent_of[i] != i) continue;
    invariant(kept.size() < kUnmapped, "snap node count fits u32");
    position[i] = static_cast<std::uint32_t>(kept.size());
    kept.push_back(static_cast<std::uint32_t>(i));
  }
  for (std::size_t i = 0; i < nodes.size(); ++i)
    if (parent_of[i] != i) position[i] = position[find(static_cast<std::uint32_t>(i))];
  invariant(position[root] != kUnmapped, "root mapped");
  HyperSnapshot snap;
  snap.root_concept = concept_;
  snap.status = 5;
  for (std::uint32_t id : kept) {
    const HyperNode& n = nodes[id];
    snap.nodes.push_back({n.node_deps, n.labels, n.labels});
    std::vector<HyperEdge> edges;
    for (const HyperEdge& e : n.out_edges) edges.push_back({e.dir, e.role, position[find(e.node)]});
    snap.edges.push_back(std::move(edges));
  }
  return snap;
}

std::optional<std::vector<std::uint32_t>> HyperEngine::root_labels_containing(std::uint32_t concept_) const {
  invariant(!nodes.empty(), "hyper: root_labels_containing on an engine without nodes");
  const auto& labels = nodes[find(0)].labels;
  if (std::find(labels.begin(), labels.end(), concept_) == labels.end()) return std::nullopt;
  return labels;
}

std::optional<std::vector<std::uint32_t>> HyperEngine::labels_of(std::uint32_t node) const {
  if (node >= nodes.size()) return std::nullopt;
  return nodes[find(node)].labels;
}

std::vector<std::uint32_t> HyperEngine::certain_labels_of(std::uint32_t node) const {
  std::vector<std::uint32_t> out;
  // Merges tried for an at-most restriction carry no masks: after one, no
  // label can be told apart from a choice.
  if (node >= nodes.size() || stats_.merge_branches != 0) return out;
  const HyperNode& n = nodes[find(node)];
  if (n.imprecise || !n.node_deps.empty()) return out;
  for (std::size_t k = 0; k < n.labels.size(); ++k)
    if (n.label_deps[k].empty()) out.push_back(n.labels[k]);
  return out;
}

std::vector<std::uint32_t> HyperEngine::matching_definitions(std::uint32_t node,
                                                             const std::vector<DefinitionPattern>& patterns) const {
  std::vector<std::uint32_t> out;
  if (!run_decided() || node >= nodes.size()) return out;
  const std::uint32_t x = find(node);
  const auto& labels = nodes[x].labels;
  for (const DefinitionPattern& p : patterns) {
    bool ok = std::all_of(p.concepts.begin(), p.concepts.end(), [&](std::uint32_t c) {
      for (std::uint32_t l : labels) {
        if (l == c) return true;
        if (l > c) return false;
      }
      return false;
    });
    for (std::size_t k = 0; ok && k < p.edges.size(); ++k)
      ok = !successors(x, p.edges[k].dir, p.edges[k].role, 1, p.edges[k].concept_).empty();
    if (ok) out.push_back(p.id);
  }
  return out;
}

namespace {

std::uint8_t one_shot(std::span<const DlClause> base, const HyperSnapshot& snapshot, std::vector<DlClause> extra,
                      bool lazy) {
  if (snapshot.status != 5) return 2;
  tsl::robin_set<std::uint32_t> triggers;
  if (lazy)
    for (const DlClause& c : extra)
      for (const ClauseAtom& a : c.body)
        if (a.atom_kind() == ClauseAtomKind::ConceptAtom) triggers.insert(a.a);
  std::vector<DlClause> all(base.begin(), base.end());
  for (DlClause& c : extra) all.push_back(std::move(c));
  HyperEngine engine = lazy ? HyperEngine::from_snapshot_lazy(all, snapshot, std::move(triggers))
                            : HyperEngine::from_snapshot(all, snapshot);
  switch (engine.run(256, std::nullopt)) {
    case HyperOutcome::Unsat: return 0;
    case HyperOutcome::Sat: return 1;
    case HyperOutcome::Stalled: return 3;
  }
  return 3;
}

}  // namespace

std::uint8_t hyper_test_lazy(std::span<const DlClause> base, const HyperSnapshot& snapshot,
                             std::vector<DlClause> extra) {
  return one_shot(base, snapshot, std::move(extra), true);
}

std::uint8_t hyper_test_eager(std::span<const DlClause> base, const HyperSnapshot& snapshot,
                              std::vector<DlClause> extra) {
  return one_shot(base, snapshot, std::move(extra), false);
}

}  // namespace kelmon
