// The hypertableau's graph records: nodes, edges, number restrictions,
// refutations and queued work.
#pragma once

#include <cstdint>
#include <vector>

#include "tableau/hyper/edge_index.h"
#include "tableau/hyper/level_mask.h"

namespace kelmon {

struct CardRecord {
  std::uint32_t dir = 0;
  std::uint32_t role = 0;
  std::uint32_t qualified = 0;  // 1: only successors carrying `concept` count
  std::uint32_t concept_ = 0;
  std::uint32_t n = 0;

  bool same_as(const CardRecord& o) const {
    return dir == o.dir && role == o.role && qualified == o.qualified && n == o.n &&
           (qualified == 0 || concept_ == o.concept_);
  }
  friend bool operator==(const CardRecord&, const CardRecord&) = default;
};

struct Refutation {
  std::uint32_t concept_ = 0;
  LevelMask deps;
  friend bool operator==(const Refutation&, const Refutation&) = default;
};

struct WorkItem {
  enum class Kind : std::uint8_t { Edge, Label, Node };
  Kind kind = Kind::Node;
  // Edge: dir, role, source, target. Label: node, concept. Node: node.
  std::uint32_t a = 0, b = 0, c = 0, d = 0;

  static WorkItem edge(std::uint32_t dir, std::uint32_t role, std::uint32_t source, std::uint32_t target) {
    return {Kind::Edge, dir, role, source, target};
  }
  static WorkItem label(std::uint32_t node, std::uint32_t concept_) { return {Kind::Label, node, concept_, 0, 0}; }
  static WorkItem node_item(std::uint32_t node) { return {Kind::Node, node, 0, 0, 0}; }
  friend bool operator==(const WorkItem&, const WorkItem&) = default;
};

inline bool has_record(const std::vector<CardRecord>& list, const CardRecord& r) {
  for (const CardRecord& x : list)
    if (x.same_as(r)) return true;
  return false;
}

inline constexpr std::uint32_t kNoParentDir = 2;

struct HyperNode {
  LevelMask card_deps;
  LevelMask node_deps;
  LevelMask shadow_card_deps;
  LevelMask shadow_node_deps;
  LevelMask shadow_lost_deps;
  std::uint32_t parent_dir = kNoParentDir;
  std::uint32_t parent_role = 0;
  std::uint32_t is_tree = 0;
  std::uint32_t parent = 0;
  std::vector<std::uint32_t> labels;  // ascending
  std::vector<LevelMask> label_deps;  // parallel to labels
  std::vector<Refutation> refuted;    // by concept
  std::vector<HyperEdge> out_edges;
  std::vector<HyperEdge> in_edges;
  EdgeRoleIndex out_index;  // of out_edges
  EdgeRoleIndex in_index;   // of in_edges
  std::vector<CardRecord> at_most;
  std::vector<CardRecord> at_least;
  std::vector<LevelMask> shadow_label_deps;
  std::uint32_t id = 0;
  bool merged_card = false;
  bool imprecise = false;

  // Adds without queueing; false (and no change) when already present.
  bool insert_label(std::uint32_t concept_, const LevelMask& deps);
  bool has_label(std::uint32_t concept_) const;
  // The mask of a label, or nullptr when absent.
  const LevelMask* label_mask(std::uint32_t concept_) const;
  LevelMask* label_mask(std::uint32_t concept_);
  const Refutation* refutation(std::uint32_t concept_) const;
  friend bool operator==(const HyperNode&, const HyperNode&) = default;
};

}  // namespace kelmon
