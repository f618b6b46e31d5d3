#include "reasoner/classify/subsumer_store.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "common/invariant.h"
#include "common/switches.h"

namespace kelmon::reasoner {

std::uint64_t classify_dense_max() {
  auto v = env_value("KELMON_CLASSIFY_DENSE_MAX");
  if (!v) return 60000;
  return parse_env_u64(*v).value_or(60000);
}

SubsumerStore::SubsumerStore(std::uint64_t n) {
  if (n <= classify_dense_max()) {
    Dense d;
    d.n = n;
    d.words_per_row = (n + 63) / 64;
    d.bits.assign(d.n * d.words_per_row, 0);
    store_ = std::move(d);
  } else {
    store_ = Sparse{std::vector<std::vector<std::uint32_t>>(n)};
  }
}

std::uint64_t SubsumerStore::rows() const {
  if (const auto* d = std::get_if<Dense>(&store_)) return d->n;
  return std::get<Sparse>(store_).rows.size();
}

void SubsumerStore::insert(std::uint64_t r, std::uint64_t c) {
  if (auto* d = std::get_if<Dense>(&store_)) {
    invariant(r < d->n && c < d->n, "subsumer store: row or column out of range");
    d->bits[r * d->words_per_row + c / 64] |= std::uint64_t{1} << (c % 64);
    return;
  }
  auto& rows = std::get<Sparse>(store_).rows;
  invariant(c <= std::numeric_limits<std::uint32_t>::max(), "class index fits in u32");
  invariant(r < rows.size(), "subsumer store: row out of range");
  auto& row = rows[r];
  auto col = static_cast<std::uint32_t>(c);
  if (row.empty() || row.back() < col) {
    row.push_back(col);
    return;
  }
  auto it = std::lower_bound(row.begin(), row.end(), col);
  if (it == row.end() || *it != col) row.insert(it, col);
}

bool SubsumerStore::contains(std::uint64_t r, std::uint64_t c) const {
  if (const auto* d = std::get_if<Dense>(&store_)) {
    invariant(r < d->n, "subsumer store: row out of range");
    if (c >= d->n) return false;
    return (d->bits[r * d->words_per_row + c / 64] >> (c % 64)) & 1u;
  }
  const auto& rows = std::get<Sparse>(store_).rows;
  if (c > std::numeric_limits<std::uint32_t>::max()) return false;
  invariant(r < rows.size(), "subsumer store: row out of range");
  return std::binary_search(rows[r].begin(), rows[r].end(), static_cast<std::uint32_t>(c));
}

std::vector<std::uint64_t> SubsumerStore::columns(std::uint64_t r) const {
  std::vector<std::uint64_t> out;
  if (const auto* d = std::get_if<Dense>(&store_)) {
    invariant(r < d->n, "subsumer store: row out of range");
    const std::uint64_t* row = d->bits.data() + r * d->words_per_row;
    for (std::uint64_t w = 0; w < d->words_per_row; ++w) {
      std::uint64_t word = row[w];
      while (word != 0) {
        out.push_back(w * 64 + static_cast<std::uint64_t>(std::countr_zero(word)));
        word &= word - 1;
      }
    }
    return out;
  }
  const auto& rows = std::get<Sparse>(store_).rows;
  invariant(r < rows.size(), "subsumer store: row out of range");
  out.assign(rows[r].begin(), rows[r].end());
  return out;
}

}  // namespace kelmon::reasoner
