// The hash-consing store of concepts. Interning returns the id of an equal
// concept when one is stored, so equal ids mean equal concepts and engines
// compare concepts as plain numbers. Ids are given in interning order, which
// is observable downstream: callers intern in a fixed order.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "common/ids.h"
#include "core/concept.h"

namespace kelmon {

class ConceptPool {
 public:
  ConceptPool();
  ConceptPool(const ConceptPool& other);
  ConceptPool& operator=(const ConceptPool& other);
  ConceptPool(ConceptPool&& other) noexcept;
  ConceptPool& operator=(ConceptPool&& other) noexcept;
  ~ConceptPool();

  // An independent copy: same concepts at the same ids, same seed, same Bottom cache.
  ConceptPool clone() const { return *this; }

  // The id of an equal stored concept, or the concept stored under a new id.
  ConceptId intern(Concept value);

  // The stored concept; an id outside the pool is an invariant failure.
  // References stay valid while the pool grows (storage is segmented).
  const Concept& get(ConceptId id) const;
  // Number of stored concepts; ids run from 0 to size() - 1.
  std::size_t size() const { return size_; }

  // Canonical union: flattens nested Or one level, drops Bottom, Top absorbs,
  // sorts and deduplicates; none left gives Bottom, one gives that member.
  ConceptId mk_or(std::vector<ConceptId> members);
  // Canonical intersection, the mirror image of mk_or.
  ConceptId mk_and(std::vector<ConceptId> members);
  ConceptId mk_and_pair(ConceptId a, ConceptId b);
  // Top when n is 0, else Min(n, filler, role); the filler is not examined.
  ConceptId mk_min(std::uint32_t n, Role role, ConceptId filler);

  // The id of Bottom if the pool holds it; found by a scan once, then cached.
  std::optional<ConceptId> bottom_id() const;

  // Negation normal form of the concept, and of its complement; results are
  // interned here. Iterative, so the depth of a concept is not limited by the stack.
  ConceptId nnf(ConceptId id);
  ConceptId nnf_not(ConceptId id);

  std::uint64_t seed() const { return seed_; }

 private:
  static constexpr unsigned kChunkBits = 12;
  static constexpr std::size_t kChunkSize = std::size_t{1} << kChunkBits;
  static constexpr std::uint64_t kBottomUnset = ~std::uint64_t{0};
  static constexpr std::uint64_t kEmptySlot = ~std::uint64_t{0};

  Concept& slot_ref(std::size_t i) const { return chunks_[i >> kChunkBits][i & (kChunkSize - 1)]; }
  std::optional<ConceptId> find(const Concept& value, std::uint32_t hash) const;
  void insert_slot(std::uint32_t hash, std::uint32_t id);
  void grow_index();
  void append(Concept&& value);
  ConceptId normal_form(ConceptId id, bool negated);

  std::vector<std::unique_ptr<Concept[]>> chunks_;
  std::size_t size_ = 0;
  // Open addressing over ids: each slot holds (32-bit hash << 32 | id), compared
  // against the stored concept on a hash match.
  std::vector<std::uint64_t> slots_;
  std::uint64_t seed_ = 0;
  mutable std::atomic<std::uint64_t> bottom_{kBottomUnset};
};

}  // namespace kelmon
