#include "reasoner/kernel/union_find.h"

#include <limits>
#include <numeric>

#include "common/invariant.h"

namespace kelmon::reasoner {

UnionFind::UnionFind(std::size_t n) {
  invariant(n <= std::numeric_limits<std::uint32_t>::max(), "n fits in u32");
  parent_.resize(n);
  std::iota(parent_.begin(), parent_.end(), std::uint32_t{0});
  rank_.assign(n, 0);
}

std::uint32_t UnionFind::find(std::uint32_t x) {
  std::uint32_t root = x;
  while (parent_[root] != root) root = parent_[root];
  while (parent_[x] != root) {
    const std::uint32_t next = parent_[x];
    parent_[x] = root;
    x = next;
  }
  return root;
}

bool UnionFind::same(std::uint32_t a, std::uint32_t b) {
  const std::uint32_t ra = find(a);
  const std::uint32_t rb = find(b);
  return ra == rb;
}

bool UnionFind::unite(std::uint32_t a, std::uint32_t b) {
  const std::uint32_t ra = find(a);
  const std::uint32_t rb = find(b);
  if (ra == rb) return false;
  if (rank_[ra] == rank_[rb]) {
    parent_[rb] = ra;
    ++rank_[ra];
  } else if (rank_[rb] < rank_[ra]) {
    parent_[rb] = ra;
  } else {
    parent_[ra] = rb;
  }
  return true;
}

}  // namespace kelmon::reasoner
