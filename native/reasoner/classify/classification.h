// The result of a classification: entailed subsumptions between the reportable
// classes, the unsatisfiable ones, the statistics, and a once-built cache of
// direct subsumers. Immutable once built, apart from that cache.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <tsl/robin_map.h>
#include <tsl/robin_set.h>

#include "reasoner/classify/classify_stats.h"
#include "reasoner/classify/subsumer_store.h"

namespace kelmon::reasoner {

struct DirectCache {
  std::vector<std::vector<std::uint32_t>> strict;  // per row: strict subsumers, ascending
  std::vector<std::uint32_t> leaves;               // satisfiable rows nobody lies strictly below
};

class Classification {
 public:
  Classification(SubsumerStore store, std::vector<std::string> classes, ClassifyStats stats,
                 tsl::robin_map<std::string, std::uint64_t> row_by_iri, tsl::robin_set<std::uint64_t> unsat_rows);
  Classification(Classification&&) noexcept;
  Classification& operator=(Classification&&) noexcept;
  ~Classification();

  bool is_subclass(std::string_view sub, std::string_view sup) const;
  bool is_subclass_row(std::uint64_t r, std::uint64_t c) const;
  std::vector<std::uint64_t> subsumers_of(std::uint64_t r) const;
  // Fast form from the cache unless KELMON_FAST_DIRECT_SUBSUMERS is exactly "0".
  std::vector<std::string_view> direct_subsumers(std::string_view iri) const;
  std::vector<std::string_view> equivalent_classes(std::string_view iri) const;
  std::vector<std::string_view> unsatisfiable() const;
  ClassifyStats stats() const { return stats_; }
  const ClassifyStats& stats_ref() const { return stats_; }
  // For the builders, before the record is handed out.
  ClassifyStats& stats_mut() { return stats_; }
  // No subsumption is missing: nothing was cut short, and an answer read off
  // the saturation alone came from an ontology inside its complete fragment.
  bool complete() const;

  const std::vector<std::string>& classes() const { return classes_; }
  const SubsumerStore& store() const { return store_; }
  bool is_unsat_row(std::uint64_t r) const { return unsat_rows_.contains(r); }
  std::optional<std::uint64_t> row_of(std::string_view iri) const;

 private:
  const DirectCache& direct_cache() const;
  std::vector<std::uint64_t> direct_fast(std::uint64_t r) const;
  std::vector<std::uint64_t> direct_slow(std::uint64_t r) const;

  SubsumerStore store_;
  std::vector<std::string> classes_;
  ClassifyStats stats_;
  tsl::robin_map<std::string, std::uint64_t> row_by_iri_;
  tsl::robin_set<std::uint64_t> unsat_rows_;
  // Filled at most once; callers racing on the first query wait for the builder.
  mutable std::unique_ptr<std::once_flag> direct_once_;
  mutable std::unique_ptr<DirectCache> direct_;
};

}  // namespace kelmon::reasoner
