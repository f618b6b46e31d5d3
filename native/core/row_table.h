// Rows of ids stored back to back (one allocation for all rows): the shape of
// the told tables and the role hierarchy, whose rows are sorted and exactly sized.
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

#include "common/invariant.h"

namespace kelmon {

template <class Id>
class RowTable {
 public:
  // `out_of_range` is the invariant message for a row id outside the table.
  explicit RowTable(const char* out_of_range = "RowTable: row id out of range") : out_of_range_(out_of_range) {}

  std::span<const Id> operator[](Id row) const { return at(row.v); }
  std::span<const Id> at(std::size_t row) const {
    // Not invariant(): its string_view would measure the message on every lookup.
    if (row + 1 >= offsets_.size()) [[unlikely]] invariant_failure(out_of_range_);
    return {data_.data() + offsets_[row], data_.data() + offsets_[row + 1]};
  }
  // Binary search in a row (rows are ascending).
  bool contains(Id row, Id value) const {
    auto r = (*this)[row];
    return std::binary_search(r.begin(), r.end(), value);
  }
  std::size_t size() const { return offsets_.size() - 1; }
  // Length of the longest row (0 without rows).
  std::size_t max_row_length() const {
    std::size_t m = 0;
    for (std::size_t i = 0; i + 1 < offsets_.size(); ++i) m = std::max(m, offsets_[i + 1] - offsets_[i]);
    return m;
  }

  // Building: rows are appended in id order.
  void push_row(std::span<const Id> row) {
    data_.insert(data_.end(), row.begin(), row.end());
    offsets_.push_back(data_.size());
  }
  // Builds all rows at once from row lengths and the concatenated data.
  static RowTable from_parts(std::vector<std::size_t> offsets, std::vector<Id> data, const char* out_of_range) {
    RowTable t(out_of_range);
    t.offsets_ = std::move(offsets);
    t.data_ = std::move(data);
    return t;
  }
  void shrink_to_fit() {
    offsets_.shrink_to_fit();
    data_.shrink_to_fit();
  }

 private:
  std::vector<std::size_t> offsets_{0};
  std::vector<Id> data_;
  const char* out_of_range_;
};

}  // namespace kelmon
