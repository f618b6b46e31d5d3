#pragma once
// A set of annotated axioms under structural equality: an axiom equal to one already
// present is not added again, while an annotated copy is a different element.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include <tsl/robin_set.h>

#include "owl/model.h"

namespace kelmon::owl {

class AxiomSet {
 public:
  AxiomSet() = default;
  AxiomSet(const AxiomSet& o);
  AxiomSet(AxiomSet&& o) noexcept;
  AxiomSet& operator=(const AxiomSet& o);
  AxiomSet& operator=(AxiomSet&& o) noexcept;

  // Adds the axiom unless an equal one is present; true when it was added.
  bool insert(AnnotatedAxiom axiom);
  bool insert(Axiom axiom) { return insert(AnnotatedAxiom{std::move(axiom), {}}); }
  bool contains(const AnnotatedAxiom& axiom) const;
  // Removes the equal axiom if present; true when one was removed. The last element
  // takes the place of the removed one.
  bool erase(const AnnotatedAxiom& axiom);
  void reserve(size_t n);
  // Adds many axioms at once, as `insert` would one by one (the first of equal axioms
  // is kept), but without the cost of a growing hash index: the index is built when a
  // lookup first needs it.
  void insert_all(std::vector<AnnotatedAxiom> axioms);

  size_t size() const noexcept { return items_.size(); }
  bool empty() const noexcept { return items_.empty(); }
  // Iteration visits each axiom once; the order is unspecified.
  auto begin() const noexcept { return items_.cbegin(); }
  auto end() const noexcept { return items_.cend(); }
  const AnnotatedAxiom& operator[](size_t i) const { return items_[i]; }
  // The structural hash (`structural_hash`) of the i-th axiom, computed on insertion.
  uint64_t hash_at(size_t i) const { return hashes_[i]; }

 private:
  // An axiom looked up without being stored.
  struct Probe {
    const AnnotatedAxiom* axiom;
    uint64_t hash;
  };
  struct SlotHash {
    using is_transparent = void;
    const AxiomSet* set;
    size_t operator()(uint32_t slot) const noexcept { return set->hashes_[slot]; }
    size_t operator()(const Probe& p) const noexcept { return p.hash; }
  };
  struct SlotEqual {
    using is_transparent = void;
    const AxiomSet* set;
    bool operator()(uint32_t a, uint32_t b) const;
    bool operator()(uint32_t a, const Probe& p) const;
    bool operator()(const Probe& p, uint32_t a) const { return (*this)(a, p); }
  };
  using Index = tsl::robin_set<uint32_t, SlotHash, SlotEqual, std::allocator<uint32_t>, true>;
  void rebuild_index() const;
  void ensure_index() const {
    if (!index_ready_.load(std::memory_order_acquire)) build_index_once();
  }
  void build_index_once() const;
  // Inserts items_.back(), whose hash is hashes_.back(); drops it again if present.
  bool index_last();
  std::vector<AnnotatedAxiom> items_;
  std::vector<uint64_t> hashes_;
  mutable Index index_{0, SlotHash{this}, SlotEqual{this}};
  mutable std::atomic<bool> index_ready_{true};
  mutable std::mutex index_mutex_;
};

}  // namespace kelmon::owl
