#include <algorithm>

#include "common/invariant.h"
#include "common/switches.h"
#include "tableau/hyper/hyper.h"

namespace kelmon {

bool HyperNode::insert_label(std::uint32_t c, const LevelMask& deps) {
  auto it = std::lower_bound(labels.begin(), labels.end(), c);
  if (it != labels.end() && *it == c) return false;
  const auto pos = it - labels.begin();
  labels.insert(it, c);
  label_deps.insert(label_deps.begin() + pos, deps);
  return true;
}

bool HyperNode::has_label(std::uint32_t c) const { return std::binary_search(labels.begin(), labels.end(), c); }

const LevelMask* HyperNode::label_mask(std::uint32_t c) const {
  auto it = std::lower_bound(labels.begin(), labels.end(), c);
  if (it == labels.end() || *it != c) return nullptr;
  return &label_deps[it - labels.begin()];
}

LevelMask* HyperNode::label_mask(std::uint32_t c) {
  return const_cast<LevelMask*>(static_cast<const HyperNode*>(this)->label_mask(c));
}

const Refutation* HyperNode::refutation(std::uint32_t c) const {
  auto it = std::lower_bound(refuted.begin(), refuted.end(), c,
                             [](const Refutation& r, std::uint32_t v) { return r.concept_ < v; });
  if (it == refuted.end() || it->concept_ != c) return nullptr;
  return &*it;
}

HyperEngine::HyperEngine(std::span<const DlClause> base, std::uint32_t root_concept) {
  init_common(base);
  disjoint = std::make_shared<const DisjointPairs>(collect_disjoint_pairs(base));
  index = build_base_index(base, nullptr);
  nodes.mut(nodes.size() - 1).insert_label(root_concept, LevelMask{});
}

void HyperEngine::init_common(std::span<const DlClause> base) {
  clauses = base;
  HyperNode root;
  nodes.push_back(std::move(root));
  parent_of.push_back(0);
  read_switches();
  update_inverse_roles();
}

void HyperEngine::read_switches() {
  reseed_verify = switch_flag(SwitchId::ReseedVerify);
  fixpoint_deadline = switch_flag(SwitchId::FixpointDeadline);
  match_deadline = switch_flag(SwitchId::HyperMatchDeadline);
  inverse_func_merge = switch_flag(SwitchId::InverseFuncMerge);
  head_present_skip = switch_flag(SwitchId::HeadPresentSkip);
}

void HyperEngine::update_inverse_roles() {
  // A role with a symmetric role at or below it walks edges backwards just as an inverse does.
  auto uses_inverse = [this](std::span<const DlClause> list) {
    for (const DlClause& c : list)
      for (const auto* atoms : {&c.body, &c.head})
        for (const ClauseAtom& a : *atoms) {
          const auto kind = a.atom_kind();
          if (kind < ClauseAtomKind::RoleAtom || kind > ClauseAtomKind::AtLeastAtom) continue;
          if (a.role.inverse != 0) return true;
          if (role_hierarchy && a.role.id.v < role_hierarchy->role_count() &&
              role_hierarchy->has_reversed_sub_role(a.role.id))
            return true;
        }
    return false;
  };
  inverse_roles = uses_inverse(clauses) || uses_inverse(extra_clauses);
}

void HyperEngine::set_extra_clauses(std::span<const DlClause> extra) {
  extra_clauses = extra;
  auto [delta, pairs] = ClauseIndexes::build(clauses.size(), extra, role_hierarchy.get());
  delta_index = std::move(delta);
  delta_disjoint = std::move(pairs);
  update_inverse_roles();
}

void HyperEngine::enable_double_blocking() {
  double_blocking = true;
  parent_role_buckets.emplace();
}

std::uint32_t HyperEngine::find(std::uint32_t node) const {
  invariant(node < parent_of.size(), "hyper: node id past parent_of");
  while (parent_of[node] != node) {
    node = parent_of[node];
    invariant(node < parent_of.size(), "hyper: node id past parent_of");
  }
  return node;
}

bool HyperEngine::any_empty_body() const { return index->has_empty_body() || delta_index.has_empty_body(); }

std::uint32_t HyperEngine::new_node() {
  invariant(nodes.size() < (std::uint64_t{1} << 32), "node count fits u32");
  const auto id = static_cast<std::uint32_t>(nodes.size());
  HyperNode node;
  node.id = id;
  nodes.push_back(std::move(node));
  parent_of.push_back(id);
  ++graph_version;
  if (any_empty_body()) queue.push_back(WorkItem::node_item(id));
  return id;
}

bool HyperEngine::add_label(std::uint32_t node, std::uint32_t c, const LevelMask& deps) {
  if (inverse_func_merge) node = find(node);
  if (!add_one_label(node, c, deps)) return false;
  // The class's entailed subsumers hold wherever it does, on the same
  // grounds; the lists are closed, so one level is all of them.
  if (c < implied_subsumers.size())
    for (std::uint32_t s : implied_subsumers[c]) add_one_label(node, s, deps);
  return true;
}

bool HyperEngine::add_one_label(std::uint32_t node, std::uint32_t c, const LevelMask& deps) {
  if (nodes[node].has_label(c)) return false;
  HyperNode& n = nodes.mut(node);
  n.insert_label(c, deps);
  ++graph_version;
  if (shadow_probe) {
    const auto pos = std::lower_bound(n.labels.begin(), n.labels.end(), c) - n.labels.begin();
    if (static_cast<std::size_t>(pos) <= n.shadow_label_deps.size())
      n.shadow_label_deps.insert(n.shadow_label_deps.begin() + pos, deps);
  }
  queue.push_back(WorkItem::label(node, c));
  return true;
}

const DlClause& HyperEngine::clause(std::uint64_t id) const {
  if (id < clauses.size()) return clauses[id];
  invariant(id - clauses.size() < extra_clauses.size(), "hyper: clause id past both lists");
  return extra_clauses[id - clauses.size()];
}

const BodyCompilation& HyperEngine::compilation(std::uint64_t id) const {
  if (id < clauses.size()) return index->compiled[id];
  return delta_index.compiled[id - clauses.size()];
}

}  // namespace kelmon
