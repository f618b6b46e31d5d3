#include "reasoner/classify/subsumer_store.h"

#include <algorithm>
#include <limits>

#include "common/invariant.h"
#include "common/switches.h"

namespace kelmon::reasoner {

namespace {

// A dense row longer than this also keeps a bit row.
constexpr std::size_t kListOnlyMax = 64;
constexpr std::uint64_t kU32Max = std::numeric_limits<std::uint32_t>::max();

}  // namespace

std::uint64_t classify_dense_max() {
  return switch_number(SwitchId::ClassifyDenseMax);
}

SubsumerStore::SubsumerStore(std::uint64_t n) : dense_(n <= classify_dense_max()), rows_(n) {
  if (dense_) bits_.resize(n);
}

void SubsumerStore::insert(std::uint64_t r, std::uint64_t c) {
  if (dense_) {
    invariant(r < rows_.size() && c < rows_.size(), "subsumer store: row or column out of range");
  } else {
    invariant(c <= kU32Max, "class index fits in u32");
    invariant(r < rows_.size(), "subsumer store: row out of range");
  }
  auto& row = rows_[r];
  const auto col = static_cast<std::uint32_t>(c);
  if (row.empty() || row.back() < col) {
    row.push_back(col);
  } else {
    auto it = std::lower_bound(row.begin(), row.end(), col);
    if (it != row.end() && *it == col) return;
    row.insert(it, col);
  }
  if (!dense_ || row.size() <= kListOnlyMax) return;
  auto& bits = bits_[r];
  if (bits.empty()) {
    bits.assign((rows_.size() + 63) / 64, 0);
    for (std::uint32_t x : row) bits[x / 64] |= std::uint64_t{1} << (x % 64);
  } else {
    bits[col / 64] |= std::uint64_t{1} << (col % 64);
  }
}

bool SubsumerStore::contains(std::uint64_t r, std::uint64_t c) const {
  invariant(r < rows_.size(), "subsumer store: row out of range");
  if (dense_ ? c >= rows_.size() : c > kU32Max) return false;
  if (dense_ && !bits_[r].empty()) return (bits_[r][c / 64] >> (c % 64)) & 1u;
  const auto& row = rows_[r];
  return std::binary_search(row.begin(), row.end(), static_cast<std::uint32_t>(c));
}

std::vector<std::uint64_t> SubsumerStore::columns(std::uint64_t r) const {
  invariant(r < rows_.size(), "subsumer store: row out of range");
  return std::vector<std::uint64_t>(rows_[r].begin(), rows_[r].end());
}

}  // namespace kelmon::reasoner
