// Per-id rows of subsumer ids. Small tables keep bit rows for constant-time
// tests and sorted scans; large ones keep hash-set rows so that memory follows
// the number of stored pairs instead of the square of the row count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <tsl/robin_map.h>
#include <tsl/robin_set.h>

namespace kelmon::sat {

// Rows up to this count are dense bit rows; one more and the table is sparse.
inline constexpr std::size_t kDenseMaxRows = 50000;

class SubsumerTable {
 public:
  enum class Mode : std::uint8_t { Dense, Sparse };

  SubsumerTable() : SubsumerTable(0) {}
  explicit SubsumerTable(std::size_t n);

  // A table that reads through to `base` and keeps its own additions apart;
  // `base` must outlive it and must not change meanwhile. Used to run a
  // finished engine further without copying its rows.
  static SubsumerTable overlay_of(const SubsumerTable& base);

  // Adds `col` to `row`; true when it was not there. The row must exist and,
  // in dense mode, `col` must be below the row count.
  bool insert(std::uint32_t row, std::uint32_t col);
  bool contains(std::uint32_t row, std::uint32_t col) const;
  // The row's ids ascending; empty for a row past the end.
  std::vector<std::uint32_t> row_sorted(std::uint32_t row) const;
  // Same, into a caller's buffer (cleared first), so hot loops reuse it.
  void row_into(std::uint32_t row, std::vector<std::uint32_t>& out) const;
  // Adds empty rows up to `n`; columns up to `n` become valid in every row.
  void grow(std::size_t n);

  std::size_t rows() const { return rows_; }
  Mode mode() const { return mode_; }
  bool is_overlay() const { return base_ != nullptr; }

 private:
  // A dense row: words up to its highest set bit, plus one summary bit per
  // word that marks the non-zero words, so that a scan costs the row's
  // content (and 1/4096 of its width) instead of its full width.
  struct Words {
    std::vector<std::uint64_t> words;
    std::vector<std::uint64_t> summary;
  };
  using HashRow = tsl::robin_set<std::uint32_t>;

  bool own_contains(std::uint32_t row, std::uint32_t col) const;
  void own_row_into(std::uint32_t row, std::vector<std::uint32_t>& out) const;

  Mode mode_ = Mode::Dense;
  std::size_t rows_ = 0;
  // A dense row holds words only up to its highest set bit and widens on its
  // own (geometrically) when a wider id lands in it, so growing the table
  // never touches existing rows; every row still reads as `rows_` bits wide.
  std::vector<Words> dense_;
  std::vector<HashRow> sparse_;
  // Overlay mode: additions only, keyed by row.
  const SubsumerTable* base_ = nullptr;
  tsl::robin_map<std::uint32_t, HashRow> delta_;
};

}  // namespace kelmon::sat
