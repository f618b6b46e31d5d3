// The hypertableau's nodes, kept so that going back to a branch point costs
// what changed since it, not the whole graph: a mark remembers how many
// nodes there were, each older node is copied once before its first change
// after the mark, and rewinding puts those copies back and drops the nodes
// made since. Reading is free; every change goes through `mut`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tableau/hyper/node.h"

namespace kelmon {

class NodeStore {
 public:
  struct Mark {
    std::size_t depth = 0;  // marks open below this one
    std::size_t count = 0;  // nodes at the mark
    std::size_t log_size = 0;
    std::uint64_t stamp = 0;
  };

  const HyperNode& operator[](std::size_t i) const { return nodes_[i]; }
  std::size_t size() const { return nodes_.size(); }
  bool empty() const { return nodes_.empty(); }
  const HyperNode& back() const { return nodes_.back(); }
  auto begin() const { return nodes_.begin(); }
  auto end() const { return nodes_.end(); }
  const std::vector<HyperNode>& all() const { return nodes_; }

  // Node i, for changing: under an open mark its state at the mark is kept first.
  HyperNode& mut(std::size_t i) {
    if (!frames_.empty() && i < frames_.back().count && stamp_[i] != frames_.back().stamp) save(i);
    return nodes_[i];
  }
  void push_back(HyperNode node);
  // Only while no mark is open: there is nothing to go back to.
  void clear();

  Mark mark();
  // Back to the state at `m`; closes `m` and every mark opened after it.
  void rewind(const Mark& m);
  // Keeps the changes made under marks from depth `depth` on and closes
  // those marks: a run that found a model never goes back.
  void close_marks_from(std::size_t depth);
  std::size_t open_marks() const { return frames_.size(); }

 private:
  struct Frame {
    std::size_t count = 0;
    std::uint64_t stamp = 0;
  };
  struct Saved {
    std::uint32_t index = 0;
    std::uint64_t stamp = 0;  // the node's stamp before this save
    HyperNode node;
  };
  void save(std::size_t i);

  std::vector<HyperNode> nodes_;
  // Per node, the stamp of the mark under which it was last saved: saved
  // again only under a different mark.
  std::vector<std::uint64_t> stamp_;
  std::vector<Saved> log_;
  std::vector<Frame> frames_;
  std::uint64_t next_stamp_ = 0;
};

}  // namespace kelmon
