// Per-row subsumer columns of a classification. Every row keeps its columns
// as a sorted list; up to KELMON_CLASSIFY_DENSE_MAX rows (default 60000) the
// store is dense, and a row that outgrows a short list also gets a bit row,
// so that tests on the wide rows near the top of a hierarchy stay constant
// time while memory follows the number of stored pairs.
#pragma once

#include <cstdint>
#include <vector>

namespace kelmon::reasoner {

class SubsumerStore {
 public:
  SubsumerStore() : SubsumerStore(0) {}
  explicit SubsumerStore(std::uint64_t n);

  void insert(std::uint64_t r, std::uint64_t c);
  bool contains(std::uint64_t r, std::uint64_t c) const;
  // The columns of row r, ascending.
  std::vector<std::uint64_t> columns(std::uint64_t r) const;
  std::uint64_t rows() const { return rows_.size(); }
  bool is_dense() const { return dense_; }

 private:
  bool dense_ = true;
  std::vector<std::vector<std::uint32_t>> rows_;  // sorted, duplicate-free
  // Dense stores only: per row, empty or ⌈n/64⌉ words once the row is long.
  std::vector<std::vector<std::uint64_t>> bits_;
};

// The dense limit: "+"-optional decimal digits fitting 64 bits; anything else gives 60000.
std::uint64_t classify_dense_max();

}  // namespace kelmon::reasoner
