// Per-id rows of subsumer ids. A row starts as a sorted list, which is what
// most rows stay (a class has a few dozen subsumers); a row that outgrows it
// becomes a bit row in a dense table and a hash set in a sparse one, and a
// sparse row holding a large share of all ids becomes a bit row too. Memory
// thus follows the number of stored pairs in both modes, while tests stay
// constant-time for the wide rows near the top of a hierarchy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include <tsl/robin_map.h>
#include <tsl/robin_set.h>

namespace kelmon::sat {

// Tables of up to this many rows are dense (columns must lie below the row
// count, long rows are bit rows); one more and the table is sparse.
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
  // A bit row: words up to its highest set bit, plus one summary bit per word
  // that marks the non-zero words, so that a scan costs the row's content
  // (and 1/4096 of its width) instead of its full width.
  struct Words {
    std::vector<std::uint64_t> words;
    std::vector<std::uint64_t> summary;
  };
  using HashRow = tsl::robin_set<std::uint32_t>;
  // A long row: a bit row in a dense table; in a sparse one a hash set,
  // until the row holds so large a share of the ids that a bit row of the
  // table's width is the smaller of the two (rows near the top of a deep
  // hierarchy, which take most of the inverse table's inserts).
  struct Wide {
    bool bits = false;
    Words words;
    HashRow hash;
  };
  struct Row {
    std::vector<std::uint32_t> small;  // sorted; unused once `wide` is set
    std::unique_ptr<Wide> wide;
    Row() = default;
    Row(Row&&) noexcept = default;
    Row& operator=(Row&&) noexcept = default;
    Row(const Row& o) : small(o.small), wide(o.wide ? std::make_unique<Wide>(*o.wide) : nullptr) {}
    Row& operator=(const Row& o) {
      if (this != &o) *this = Row(o);
      return *this;
    }
  };

  bool own_insert(std::uint32_t row, std::uint32_t col);
  bool own_contains(std::uint32_t row, std::uint32_t col) const;
  void own_row_into(std::uint32_t row, std::vector<std::uint32_t>& out) const;
  void widen(Row& r) const;
  static bool words_insert(Words& w, std::uint32_t col, std::size_t width);
  static void words_into(const Words& w, std::vector<std::uint32_t>& out);

  Mode mode_ = Mode::Dense;
  std::size_t rows_ = 0;
  std::vector<Row> rows_data_;
  // Overlay mode: additions only, keyed by row.
  const SubsumerTable* base_ = nullptr;
  tsl::robin_map<std::uint32_t, HashRow> delta_;
};

}  // namespace kelmon::sat
