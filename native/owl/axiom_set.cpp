#include "owl/axiom_set.h"

#include <algorithm>

#include "common/invariant.h"
#include "owl/structural.h"

namespace kelmon::owl {

bool AxiomSet::SlotEqual::operator()(uint32_t a, uint32_t b) const {
  return a == b || (set->hashes_[a] == set->hashes_[b] &&
                    structurally_equal(set->items_[a], set->items_[b]));
}
bool AxiomSet::SlotEqual::operator()(uint32_t a, const Probe& p) const {
  return set->hashes_[a] == p.hash && structurally_equal(set->items_[a], *p.axiom);
}

AxiomSet::AxiomSet(const AxiomSet& o) : items_(o.items_), hashes_(o.hashes_) {
  index_ready_.store(false);
}
AxiomSet::AxiomSet(AxiomSet&& o) noexcept
    : items_(std::move(o.items_)), hashes_(std::move(o.hashes_)) {
  index_ready_.store(false);
  o.items_.clear();
  o.hashes_.clear();
  o.index_ready_.store(false);
}
AxiomSet& AxiomSet::operator=(const AxiomSet& o) {
  if (this != &o) {
    items_ = o.items_;
    hashes_ = o.hashes_;
    index_ready_.store(false);
  }
  return *this;
}
AxiomSet& AxiomSet::operator=(AxiomSet&& o) noexcept {
  if (this != &o) {
    items_ = std::move(o.items_);
    hashes_ = std::move(o.hashes_);
    index_ready_.store(false);
    o.items_.clear();
    o.hashes_.clear();
    o.index_ready_.store(false);
  }
  return *this;
}

void AxiomSet::rebuild_index() const {
  // The functors point at their own set, so a copied or moved set rebuilds its index.
  index_ = Index(0, SlotHash{this}, SlotEqual{this});
  index_.reserve(items_.size());
  for (uint32_t i = 0; i < items_.size(); ++i) index_.insert(i);
}

void AxiomSet::build_index_once() const {
  std::lock_guard lock(index_mutex_);
  if (index_ready_.load(std::memory_order_relaxed)) return;
  rebuild_index();
  index_ready_.store(true, std::memory_order_release);
}

void AxiomSet::reserve(size_t n) {
  ensure_index();
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
  ensure_index();
  uint64_t h = structural_hash(axiom);
  items_.push_back(std::move(axiom));
  hashes_.push_back(h);
  return index_last();
}

void AxiomSet::insert_all(std::vector<AnnotatedAxiom> axioms) {
  if (!items_.empty()) {
    for (auto& a : axioms) insert(std::move(a));
    return;
  }
  invariant(axioms.size() <= UINT32_MAX, "AxiomSet size exceeds u32::MAX");
  items_ = std::move(axioms);
  hashes_.resize(items_.size());
  for (size_t i = 0; i < items_.size(); ++i) hashes_[i] = structural_hash(items_[i]);
  // Duplicates share a hash: sort (hash, position) pairs and keep the first of each
  // group of structurally equal axioms, in document order.
  std::vector<std::pair<uint64_t, uint32_t>> order(items_.size());
  for (uint32_t i = 0; i < items_.size(); ++i) order[i] = {hashes_[i], i};
  std::sort(order.begin(), order.end());
  std::vector<bool> drop(items_.size(), false);
  bool any = false;
  for (size_t i = 0; i < order.size();) {
    size_t j = i + 1;
    while (j < order.size() && order[j].first == order[i].first) ++j;
    for (size_t a = i; a < j; ++a) {
      if (drop[order[a].second]) continue;
      for (size_t b = a + 1; b < j; ++b) {
        if (!drop[order[b].second] &&
            structurally_equal(items_[order[a].second], items_[order[b].second])) {
          drop[order[b].second] = true;
          any = true;
        }
      }
    }
    i = j;
  }
  if (any) {
    size_t w = 0;
    for (size_t r = 0; r < items_.size(); ++r) {
      if (drop[r]) continue;
      if (w != r) {
        items_[w] = std::move(items_[r]);
        hashes_[w] = hashes_[r];
      }
      ++w;
    }
    items_.resize(w);
    hashes_.resize(w);
  }
  index_ready_.store(false, std::memory_order_release);
}

bool AxiomSet::contains(const AnnotatedAxiom& axiom) const {
  ensure_index();
  uint64_t h = structural_hash(axiom);
  return index_.find(Probe{&axiom, h}, h) != index_.end();
}

bool AxiomSet::erase(const AnnotatedAxiom& axiom) {
  ensure_index();
  uint64_t h = structural_hash(axiom);
  auto it = index_.find(Probe{&axiom, h}, h);
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
