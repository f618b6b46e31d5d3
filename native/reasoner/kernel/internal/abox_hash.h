// Hashes for the ABox passes' id-keyed sets. Keys pack two ids into 64 bits,
// (individual << 32 | class) and the like, so the hash must mix: the identity
// hash would send every individual's key for one class to one bucket.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/seeded_hash.h"
#include "reasoner/kernel/abox_saturation.h"

namespace kelmon::reasoner::abox {

constexpr std::uint64_t pair_key(std::uint32_t high, std::uint32_t low) { return (std::uint64_t{high} << 32) | low; }

struct PairKeyHash {
  std::size_t operator()(std::uint64_t key) const noexcept { return hash_finish(key); }
};

struct EdgeHash {
  std::size_t operator()(const AboxEdge& e) const noexcept {
    return hash_finish(hash_step(pair_key(e.subject.v, e.object.v), e.role.v));
  }
};

}  // namespace kelmon::reasoner::abox
