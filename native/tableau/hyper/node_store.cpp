#include "tableau/hyper/node_store.h"

#include "common/invariant.h"

namespace kelmon {

void NodeStore::push_back(HyperNode node) {
  nodes_.push_back(std::move(node));
  // Made after every open mark: rewinding drops it, nothing to save.
  stamp_.push_back(0);
}

void NodeStore::clear() {
  invariant(frames_.empty(), "hyper: nodes cleared under an open branch point");
  nodes_.clear();
  stamp_.clear();
}

void NodeStore::save(std::size_t i) {
  log_.push_back({static_cast<std::uint32_t>(i), stamp_[i], nodes_[i]});
  stamp_[i] = frames_.back().stamp;
}

NodeStore::Mark NodeStore::mark() {
  const Mark m{frames_.size(), nodes_.size(), log_.size(), ++next_stamp_};
  frames_.push_back({m.count, m.stamp});
  return m;
}

void NodeStore::rewind(const Mark& m) {
  invariant(m.depth < frames_.size() && frames_[m.depth].stamp == m.stamp,
            "hyper: restore of a branch point that is no longer open");
  invariant(m.count <= nodes_.size() && m.log_size <= log_.size(), "hyper: branch point past the trail");
  nodes_.erase(nodes_.begin() + static_cast<std::ptrdiff_t>(m.count), nodes_.end());
  stamp_.resize(m.count);
  // Newest first, so a node saved under several marks ends at its oldest copy.
  while (log_.size() > m.log_size) {
    Saved& s = log_.back();
    if (s.index < m.count) {
      nodes_[s.index] = std::move(s.node);
      stamp_[s.index] = s.stamp;
    }
    log_.pop_back();
  }
  frames_.resize(m.depth);
}

void NodeStore::close_marks_from(std::size_t depth) {
  if (depth >= frames_.size()) return;
  frames_.resize(depth);
  // Copies kept for the closed marks stay for the marks below: a node left
  // unsaved under an outer mark did not change between the two marks.
  if (frames_.empty()) log_.clear();
}

}  // namespace kelmon
