#include "owl/axiom_set.h"

#include "common/invariant.h"
#include "owl/structural.h"

namespace kelmon::owl {

bool AxiomSet::SlotEqual::operator()(uint32_t a, uint32_t b) const {
  return a == b || (set->hashes_[a] == set->hashes_[b] &&
                    structurally_equal(set->items_[a], set->items_[b]));
}

AxiomSet::AxiomSet(const AxiomSet& o) : items_(o.items_), hashes_(o.hashes_) { rebuild_index(); }
AxiomSet::AxiomSet(AxiomSet&& o) noexcept
    : items_(std::move(o.items_)), hashes_(std::move(o.hashes_)) {
  rebuild_index();
  o.rebuild_index();
}
AxiomSet& AxiomSet::operator=(const AxiomSet& o) {
  if (this != &o) {
    items_ = o.items_;
    hashes_ = o.hashes_;
    rebuild_index();
  }
  return *this;
}
AxiomSet& AxiomSet::operator=(AxiomSet&& o) noexcept {
  if (this != &o) {
    items_ = std::move(o.items_);
    hashes_ = std::move(o.hashes_);
    rebuild_index();
    o.items_.clear();
    o.hashes_.clear();
    o.rebuild_index();
  }
  return *this;
}

void AxiomSet::rebuild_index() {
  // The functors point at their own set, so a copied or moved index is rebuilt.
  index_ = Index(items_.size(), SlotHash{this}, SlotEqual{this});
  for (uint32_t i = 0; i < items_.size(); ++i) index_.insert(i);
}

void AxiomSet::reserve(size_t n) {
  items_.reserve(n);
  hashes_.reserve(n);
  index_.reserve(n);
}

bool AxiomSet::index_last() {
  invariant(items_.size() <= UINT32_MAX, "AxiomSet size exceeds u32::MAX");
  auto slot = static_cast<uint32_t>(items_.size() - 1);
  if (index_.insert(slot).second) return true;
  items_.pop_back();
  hashes_.pop_back();
  return false;
}

bool AxiomSet::insert(AnnotatedAxiom axiom) {
  uint64_t h = structural_hash(axiom);
  items_.push_back(std::move(axiom));
  hashes_.push_back(h);
  return index_last();
}

bool AxiomSet::contains(const AnnotatedAxiom& axiom) const {
  uint64_t h = structural_hash(axiom);
  // Probe with a temporary slot: the lookup hashes and compares through the vectors.
  auto& self = const_cast<AxiomSet&>(*this);
  self.items_.push_back(axiom);
  self.hashes_.push_back(h);
  auto probe = static_cast<uint32_t>(items_.size() - 1);
  bool found = index_.find(probe, h) != index_.end();
  self.items_.pop_back();
  self.hashes_.pop_back();
  return found;
}

bool AxiomSet::erase(const AnnotatedAxiom& axiom) {
  uint64_t h = structural_hash(axiom);
  items_.push_back(axiom);
  hashes_.push_back(h);
  auto probe = static_cast<uint32_t>(items_.size() - 1);
  auto it = index_.find(probe, h);
  items_.pop_back();
  hashes_.pop_back();
  if (it == index_.end()) return false;
  uint32_t slot = *it;
  index_.erase(it);
  auto last = static_cast<uint32_t>(items_.size() - 1);
  if (slot != last) {
    index_.erase(last);
    items_[slot] = std::move(items_[last]);
    hashes_[slot] = hashes_[last];
    items_.pop_back();
    hashes_.pop_back();
    index_.insert(slot);
  } else {
    items_.pop_back();
    hashes_.pop_back();
  }
  return true;
}

}  // namespace kelmon::owl
