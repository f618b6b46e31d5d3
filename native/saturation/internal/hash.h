// Hashing of the saturation's map keys: ids, id pairs, id lists and links.
// Iteration order is never part of an answer, so the seeds are fixed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include <tsl/robin_map.h>
#include <tsl/robin_set.h>

#include "common/seeded_hash.h"

namespace kelmon::sat {

using u32 = std::uint32_t;
using u64 = std::uint64_t;

struct IdHash {
  std::size_t operator()(u32 x) const noexcept { return hash_finish(x); }
  std::size_t operator()(u64 x) const noexcept { return hash_finish(x); }
  std::size_t operator()(const std::pair<u32, u32>& p) const noexcept {
    return hash_finish((u64{p.first} << 32) | p.second);
  }
  std::size_t operator()(const std::vector<u32>& v) const noexcept {
    u64 h = hash_step(0, v.size());
    for (u32 x : v) h = hash_step(h, x);
    return hash_finish(h);
  }
  std::size_t operator()(const std::pair<u32, std::vector<u32>>& p) const noexcept {
    return hash_step((*this)(p.second), p.first);
  }
};

template <class K, class V>
using IdMap = tsl::robin_map<K, V, IdHash>;
template <class K>
using IdSet = tsl::robin_set<K, IdHash>;

using PairKey = std::pair<u32, u32>;
using ListKey = std::vector<u32>;
using RoleListKey = std::pair<u32, std::vector<u32>>;

}  // namespace kelmon::sat
