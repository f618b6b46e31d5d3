// A disjoint-set forest over dense 32-bit positions, with path compression and
// union by rank: same-individual groups of the ABox passes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelmon::reasoner {

class UnionFind {
 public:
  // n singleton sets 0 .. n - 1; n must fit in 32 bits.
  explicit UnionFind(std::size_t n);

  // Whether a and b are in one set.
  bool same(std::uint32_t a, std::uint32_t b);
  // Merges the sets of a and b; true when they were two sets. On equal ranks
  // the root of a becomes the root of both.
  bool unite(std::uint32_t a, std::uint32_t b);
  // The root of x's set, compressing the path walked; lets callers name groups.
  std::uint32_t find(std::uint32_t x);

  std::size_t size() const { return parent_.size(); }
  // The forest as it stands, for tests of its shape.
  std::uint32_t parent_of(std::uint32_t x) const { return parent_[x]; }
  std::uint8_t rank_of(std::uint32_t x) const { return rank_[x]; }

 private:
  std::vector<std::uint32_t> parent_;
  std::vector<std::uint8_t> rank_;
};

}  // namespace kelmon::reasoner
