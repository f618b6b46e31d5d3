// Per-row subsumer columns of a classification: bit rows up to
// KELMON_CLASSIFY_DENSE_MAX rows (default 60000), sorted lists above.
#pragma once

#include <cstdint>
#include <variant>
#include <vector>

namespace kelmon::reasoner {

struct DenseRows {
  std::uint64_t n = 0;
  std::uint64_t words_per_row = 0;
  std::vector<std::uint64_t> bits;  // n rows of words_per_row words
};
struct SparseRows {
  std::vector<std::vector<std::uint32_t>> rows;  // sorted, duplicate-free
};

class SubsumerStore {
 public:
  using Dense = DenseRows;
  using Sparse = SparseRows;

  SubsumerStore() : SubsumerStore(0) {}
  explicit SubsumerStore(std::uint64_t n);

  void insert(std::uint64_t r, std::uint64_t c);
  bool contains(std::uint64_t r, std::uint64_t c) const;
  // The columns of row r, ascending.
  std::vector<std::uint64_t> columns(std::uint64_t r) const;
  std::uint64_t rows() const;
  bool is_dense() const { return std::holds_alternative<Dense>(store_); }

 private:
  std::variant<Dense, Sparse> store_;
};

// The dense limit: "+"-optional decimal digits fitting 64 bits; anything else gives 60000.
std::uint64_t classify_dense_max();

}  // namespace kelmon::reasoner
