#include <algorithm>

#include "common/invariant.h"
#include "tableau/hyper/hyper.h"

namespace kelmon {

struct RestoreCheck {
  std::vector<HyperNode> nodes;
  std::vector<std::uint32_t> parent_of;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> distinct_pairs;
  std::optional<tsl::robin_map<std::uint64_t, std::vector<std::uint32_t>>> parent_role_buckets;
  std::vector<WorkItem> queue;
  std::vector<std::uint32_t> blocked_waiting;
};

void HyperEngine::set_parent(std::uint32_t f, std::uint32_t e) {
  if (nodes.open_marks() != 0) parent_changes.emplace_back(f, parent_of[f]);
  parent_of[f] = e;
}

Checkpoint HyperEngine::checkpoint() {
  ++stats_.checkpoints;
  Checkpoint cp;
  cp.nodes = nodes.mark();
  cp.parents = parent_of.size();
  cp.parent_changes = parent_changes.size();
  cp.distinct_pairs = distinct_pairs.size();
  cp.blocked_waiting = blocked_waiting;
  if (incremental_fixpoint) cp.queue = queue;
  if (check_restores)
    cp.check = std::make_shared<const RestoreCheck>(RestoreCheck{
        nodes.all(), parent_of, distinct_pairs, parent_role_buckets, cp.queue, blocked_waiting});
  return cp;
}

void HyperEngine::restore(Checkpoint cp) {
  nodes.rewind(cp.nodes);
  invariant(cp.parents <= parent_of.size() && cp.parent_changes <= parent_changes.size() &&
                cp.distinct_pairs <= distinct_pairs.size(),
            "hyper: branch point past the trail");
  while (parent_changes.size() > cp.parent_changes) {
    const auto [node, old] = parent_changes.back();
    if (node < cp.parents) parent_of[node] = old;
    parent_changes.pop_back();
  }
  parent_of.resize(cp.parents);
  distinct_pairs.resize(cp.distinct_pairs);
  // Buckets only ever gain nodes made since, at their ends.
  if (parent_role_buckets) {
    for (auto it = parent_role_buckets->begin(); it != parent_role_buckets->end();) {
      auto& bucket = it.value();
      while (!bucket.empty() && bucket.back() >= cp.nodes.count) bucket.pop_back();
      it = bucket.empty() ? parent_role_buckets->erase(it) : std::next(it);
    }
  }
  blocked_waiting = std::move(cp.blocked_waiting);
  pending_generation.clear();
  ++graph_version;
  if (incremental_fixpoint) queue = std::move(cp.queue);
  ++stats_.restores;
  if (nodes.open_marks() == 0) parent_changes.clear();
  if (const RestoreCheck* full = cp.check.get()) {
    const bool same = nodes.all() == full->nodes && parent_of == full->parent_of &&
                      distinct_pairs == full->distinct_pairs && parent_role_buckets == full->parent_role_buckets &&
                      blocked_waiting == full->blocked_waiting && (!incremental_fixpoint || queue == full->queue);
    invariant(same, "hyper: a restore brought back a state other than the branch point's");
  }
}

void HyperEngine::close_branch_points(std::size_t open) {
  nodes.close_marks_from(open);
  if (nodes.open_marks() == 0) parent_changes.clear();
}

}  // namespace kelmon
