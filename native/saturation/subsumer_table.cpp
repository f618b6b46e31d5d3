#include "saturation/subsumer_table.h"

#include <algorithm>
#include <bit>

#include "common/invariant.h"

namespace kelmon::sat {

namespace {

// A sorted row turns wide past this many ids: binary search and insertion
// into the list stay within a few cache lines up to here.
constexpr std::size_t kSmallRowMax = 64;

std::size_t words_for(std::size_t bits) { return (bits + 63) / 64; }

}  // namespace

SubsumerTable::SubsumerTable(std::size_t n) : mode_(n <= kDenseMaxRows ? Mode::Dense : Mode::Sparse), rows_(n) {
  rows_data_.resize(n);
}

SubsumerTable SubsumerTable::overlay_of(const SubsumerTable& base) {
  SubsumerTable t(0);
  t.mode_ = base.mode_;
  t.rows_ = base.rows_;
  t.base_ = &base;
  return t;
}

bool SubsumerTable::words_insert(Words& row_words, std::uint32_t col, std::size_t width) {
  std::vector<std::uint64_t>& w = row_words.words;
  std::size_t word = col / 64;
  if (word >= w.size()) {
    std::size_t need = word + 1;
    if (need > w.capacity()) {
      // Geometric, capped a little above the table width so that rows near
      // the top of a slowly growing table are not reallocated per new id.
      std::size_t cap = std::max(need, w.capacity() * 2);
      cap = std::min(cap, std::max(need, words_for(width + width / 8 + 64)));
      w.reserve(cap);
    }
    w.resize(need, 0);
  }
  std::uint64_t bit = std::uint64_t{1} << (col % 64);
  if (w[word] & bit) return false;
  if (w[word] == 0) {
    std::vector<std::uint64_t>& summary = row_words.summary;
    if (word / 64 >= summary.size()) summary.resize(word / 64 + 1, 0);
    summary[word / 64] |= std::uint64_t{1} << (word % 64);
  }
  w[word] |= bit;
  return true;
}

void SubsumerTable::words_into(const Words& row_words, std::vector<std::uint32_t>& out) {
  const std::vector<std::uint64_t>& w = row_words.words;
  const std::vector<std::uint64_t>& summary = row_words.summary;
  for (std::size_t j = 0; j < summary.size(); ++j) {
    std::uint64_t used = summary[j];
    while (used != 0) {
      const std::size_t i = j * 64 + static_cast<std::size_t>(std::countr_zero(used));
      used &= used - 1;
      std::uint64_t bits = w[i];
      while (bits != 0) {
        out.push_back(static_cast<std::uint32_t>(i * 64 + std::countr_zero(bits)));
        bits &= bits - 1;
      }
    }
  }
}

void SubsumerTable::widen(Row& r) const {
  r.wide = std::make_unique<Wide>();
  if (mode_ == Mode::Dense) {
    r.wide->bits = true;
    for (std::uint32_t c : r.small) words_insert(r.wide->words, c, rows_);
  } else {
    r.wide->hash.reserve(r.small.size() * 2);
    r.wide->hash.insert(r.small.begin(), r.small.end());
  }
  std::vector<std::uint32_t>().swap(r.small);
}

bool SubsumerTable::own_insert(std::uint32_t row, std::uint32_t col) {
  Row& r = rows_data_[row];
  if (!r.wide) {
    auto it = std::lower_bound(r.small.begin(), r.small.end(), col);
    if (it != r.small.end() && *it == col) return false;
    if (r.small.size() < kSmallRowMax) {
      // Rows hold a handful of ids at least (themselves, ⊤, told ones):
      // skip the smallest reallocations.
      if (r.small.capacity() == 0) {
        r.small.reserve(8);
        it = r.small.begin();
      }
      r.small.insert(it, col);
      return true;
    }
    widen(r);
  }
  Wide& w = *r.wide;
  if (w.bits) return words_insert(w.words, col, rows_);
  if (!w.hash.insert(col).second) return false;
  // A hash entry takes about 16 bytes, a bit row width/8: past width/128
  // entries the bit row is smaller, and faster.
  if (w.hash.size() > rows_ / 128) {
    for (std::uint32_t c : w.hash) words_insert(w.words, c, rows_);
    HashRow().swap(w.hash);
    w.bits = true;
  }
  return true;
}

bool SubsumerTable::insert(std::uint32_t row, std::uint32_t col) {
  invariant(row < rows_, "SubsumerTable: insert into a row that does not exist");
  invariant(mode_ == Mode::Sparse || col < rows_, "SubsumerTable: dense insert past the row width");
  if (base_ != nullptr) {
    if (base_->contains(row, col)) return false;
    return delta_[row].insert(col).second;
  }
  return own_insert(row, col);
}

bool SubsumerTable::own_contains(std::uint32_t row, std::uint32_t col) const {
  const Row& r = rows_data_[row];
  if (!r.wide) return std::binary_search(r.small.begin(), r.small.end(), col);
  if (!r.wide->bits) return r.wide->hash.contains(col);
  const std::vector<std::uint64_t>& w = r.wide->words.words;
  std::size_t word = col / 64;
  return word < w.size() && ((w[word] >> (col % 64)) & 1u) != 0;
}

bool SubsumerTable::contains(std::uint32_t row, std::uint32_t col) const {
  if (row >= rows_) return false;
  if (mode_ == Mode::Dense && col >= rows_) return false;
  if (base_ != nullptr) {
    if (base_->contains(row, col)) return true;
    auto it = delta_.find(row);
    return it != delta_.end() && it->second.contains(col);
  }
  return own_contains(row, col);
}

// Ascending: small rows are kept sorted, bit rows scan upwards, and hash rows
// are sorted after collection.
void SubsumerTable::own_row_into(std::uint32_t row, std::vector<std::uint32_t>& out) const {
  const Row& r = rows_data_[row];
  if (!r.wide) {
    out.insert(out.end(), r.small.begin(), r.small.end());
  } else if (r.wide->bits) {
    words_into(r.wide->words, out);
  } else {
    const std::size_t first = out.size();
    out.insert(out.end(), r.wide->hash.begin(), r.wide->hash.end());
    std::sort(out.begin() + static_cast<std::ptrdiff_t>(first), out.end());
  }
}

void SubsumerTable::row_into(std::uint32_t row, std::vector<std::uint32_t>& out) const {
  out.clear();
  if (row >= rows_) return;
  if (base_ != nullptr) {
    if (row < base_->rows_) base_->row_into(row, out);
    auto it = delta_.find(row);
    if (it != delta_.end()) {
      out.insert(out.end(), it->second.begin(), it->second.end());
      std::sort(out.begin(), out.end());
    }
    return;
  }
  own_row_into(row, out);
}

std::vector<std::uint32_t> SubsumerTable::row_sorted(std::uint32_t row) const {
  std::vector<std::uint32_t> out;
  row_into(row, out);
  return out;
}

void SubsumerTable::grow(std::size_t n) {
  if (n <= rows_) return;
  rows_ = n;
  if (base_ != nullptr) return;
  rows_data_.resize(n);
}

}  // namespace kelmon::sat
