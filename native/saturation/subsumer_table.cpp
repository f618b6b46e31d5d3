#include "saturation/subsumer_table.h"

#include <algorithm>
#include <bit>

#include "common/invariant.h"

namespace kelmon::sat {

namespace {

std::size_t words_for(std::size_t bits) { return (bits + 63) / 64; }

}  // namespace

SubsumerTable::SubsumerTable(std::size_t n) : mode_(n <= kDenseMaxRows ? Mode::Dense : Mode::Sparse), rows_(n) {
  if (mode_ == Mode::Dense) {
    dense_.resize(n);
  } else {
    sparse_.resize(n);
  }
}

SubsumerTable SubsumerTable::overlay_of(const SubsumerTable& base) {
  SubsumerTable t(0);
  t.mode_ = base.mode_;
  t.rows_ = base.rows_;
  t.base_ = &base;
  return t;
}

bool SubsumerTable::insert(std::uint32_t row, std::uint32_t col) {
  invariant(row < rows_, "SubsumerTable: insert into a row that does not exist");
  if (base_ != nullptr) {
    if (base_->contains(row, col)) return false;
    invariant(mode_ == Mode::Sparse || col < rows_, "SubsumerTable: dense insert past the row width");
    return delta_[row].insert(col).second;
  }
  if (mode_ == Mode::Sparse) return sparse_[row].insert(col).second;
  invariant(col < rows_, "SubsumerTable: dense insert past the row width");
  Words& row_words = dense_[row];
  std::vector<std::uint64_t>& w = row_words.words;
  std::size_t word = col / 64;
  if (word >= w.size()) {
    std::size_t need = word + 1;
    if (need > w.capacity()) {
      // Geometric, capped a little above the table width so that rows near
      // the top of a slowly growing table are not reallocated per new id.
      std::size_t cap = std::max(need, w.capacity() * 2);
      cap = std::min(cap, std::max(need, words_for(rows_ + rows_ / 8 + 64)));
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

bool SubsumerTable::own_contains(std::uint32_t row, std::uint32_t col) const {
  if (mode_ == Mode::Sparse) return sparse_[row].contains(col);
  const std::vector<std::uint64_t>& w = dense_[row].words;
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

void SubsumerTable::own_row_into(std::uint32_t row, std::vector<std::uint32_t>& out) const {
  if (mode_ == Mode::Sparse) {
    const HashRow& r = sparse_[row];
    out.insert(out.end(), r.begin(), r.end());
    return;
  }
  const std::vector<std::uint64_t>& w = dense_[row].words;
  const std::vector<std::uint64_t>& summary = dense_[row].summary;
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
  if (mode_ == Mode::Sparse) std::sort(out.begin(), out.end());
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
  if (mode_ == Mode::Dense) {
    dense_.resize(n);
  } else {
    sparse_.resize(n);
  }
}

}  // namespace kelmon::sat
