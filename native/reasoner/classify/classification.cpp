#include "reasoner/classify/classification.h"

#include <algorithm>
#include <limits>

#include "common/invariant.h"
#include "common/switches.h"

namespace kelmon::reasoner {

namespace {
constexpr std::uint64_t kU32Max = std::numeric_limits<std::uint32_t>::max();
constexpr std::string_view kOwlThing = "http://www.w3.org/2002/07/owl#Thing";
constexpr std::string_view kOwlNothing = "http://www.w3.org/2002/07/owl#Nothing";

}  // namespace

Classification::Classification(SubsumerStore store, std::vector<std::string> classes, ClassifyStats stats,
                               tsl::robin_map<std::string, std::uint64_t> row_by_iri,
                               tsl::robin_set<std::uint64_t> unsat_rows)
    : store_(std::move(store)),
      classes_(std::move(classes)),
      stats_(std::move(stats)),
      row_by_iri_(std::move(row_by_iri)),
      unsat_rows_(std::move(unsat_rows)),
      direct_once_(std::make_unique<std::once_flag>()) {}

Classification::Classification(Classification&&) noexcept = default;
Classification& Classification::operator=(Classification&&) noexcept = default;
Classification::~Classification() = default;

std::optional<std::uint64_t> Classification::row_of(std::string_view iri) const {
  auto it = row_by_iri_.find(std::string(iri));
  if (it == row_by_iri_.end()) return std::nullopt;
  return it->second;
}

bool Classification::is_subclass_row(std::uint64_t r, std::uint64_t c) const {
  if (unsat_rows_.contains(r)) return true;
  return store_.contains(r, c);
}

bool Classification::is_subclass(std::string_view sub, std::string_view sup) const {
  // owl:Thing and owl:Nothing bound every class, whether or not they have rows.
  auto known = [&](std::string_view iri) { return iri == kOwlThing || iri == kOwlNothing || row_of(iri); };
  if (sup == kOwlThing && known(sub)) return true;
  if (sub == kOwlNothing && known(sup)) return true;
  auto r = row_of(sub);
  if (!r) return false;
  auto c = row_of(sup);
  if (!c) return false;
  return is_subclass_row(*r, *c);
}

bool Classification::complete() const {
  return stats_.timed_out_pairs == 0 && !(stats_.saturation_only != 0 && stats_.fragment_kind != 0);
}

std::vector<std::uint64_t> Classification::subsumers_of(std::uint64_t r) const { return store_.columns(r); }

const DirectCache& Classification::direct_cache() const {
  std::call_once(*direct_once_, [this] {
    auto cache = std::make_unique<DirectCache>();
    const std::uint64_t n = store_.rows();
    cache->strict.resize(n);
    std::vector<bool> marked(n, false);
    for (std::uint64_t i = 0; i < n; ++i) {
      if (unsat_rows_.contains(i)) continue;
      for (std::uint64_t f : subsumers_of(i)) {
        if (!store_.is_dense() && i > kU32Max) break;
        if (f == i || unsat_rows_.contains(f) || store_.contains(f, i)) continue;
        invariant(f <= kU32Max, "class index fits in u32");
        cache->strict[i].push_back(static_cast<std::uint32_t>(f));
      }
    }
    for (const auto& list : cache->strict) {
      for (std::uint32_t f : list) {
        invariant(f < n, "direct cache: row out of range");
        marked[f] = true;
      }
    }
    for (std::uint64_t i = 0; i < n; ++i) {
      if (unsat_rows_.contains(i) || marked[i]) continue;
      invariant(i <= kU32Max, "class index fits in u32");
      cache->leaves.push_back(static_cast<std::uint32_t>(i));
    }
    direct_ = std::move(cache);
  });
  return *direct_;
}

std::vector<std::uint64_t> Classification::direct_fast(std::uint64_t r) const {
  const DirectCache& cache = direct_cache();
  if (unsat_rows_.contains(r)) return {cache.leaves.begin(), cache.leaves.end()};
  const auto& own = cache.strict[r];
  std::vector<std::uint32_t> above;
  for (std::uint32_t p : own) above.insert(above.end(), cache.strict[p].begin(), cache.strict[p].end());
  std::sort(above.begin(), above.end());
  above.erase(std::unique(above.begin(), above.end()), above.end());
  std::vector<std::uint64_t> out;
  for (std::uint32_t e : own) {
    if (!std::binary_search(above.begin(), above.end(), e)) out.push_back(e);
  }
  return out;
}

std::vector<std::uint64_t> Classification::direct_slow(std::uint64_t r) const {
  std::vector<std::uint64_t> candidates;
  if (unsat_rows_.contains(r)) {
    for (std::uint64_t j = 0; j < store_.rows(); ++j) {
      if (j != r && is_subclass_row(r, j) && !is_subclass_row(j, r)) candidates.push_back(j);
    }
  } else {
    for (std::uint64_t j : subsumers_of(r)) {
      if (j != r && !is_subclass_row(j, r)) candidates.push_back(j);
    }
  }
  std::vector<std::uint64_t> out;
  for (std::uint64_t e : candidates) {
    bool covered = false;
    for (std::uint64_t b : candidates) {
      if (b == e) continue;
      if (is_subclass_row(b, e) && !unsat_rows_.contains(e) && !is_subclass_row(e, b)) {
        covered = true;
        break;
      }
    }
    if (!covered) out.push_back(e);
  }
  return out;
}

std::vector<std::string_view> Classification::direct_subsumers(std::string_view iri) const {
  auto r = row_of(iri);
  if (!r) return {};
  bool fast = switch_flag(SwitchId::FastDirectSubsumers);
  std::vector<std::string_view> out;
  for (std::uint64_t row : fast ? direct_fast(*r) : direct_slow(*r)) out.push_back(classes_[row]);
  return out;
}

std::vector<std::string_view> Classification::equivalent_classes(std::string_view iri) const {
  auto r = row_of(iri);
  if (!r) return {};
  std::vector<std::string_view> out;
  if (unsat_rows_.contains(*r)) {
    std::vector<std::uint64_t> rows(unsat_rows_.begin(), unsat_rows_.end());
    std::sort(rows.begin(), rows.end());
    for (std::uint64_t row : rows) out.push_back(classes_[row]);
    return out;
  }
  std::vector<std::uint64_t> list = subsumers_of(*r);
  auto at = std::lower_bound(list.begin(), list.end(), *r);
  if (at == list.end() || *at != *r) list.insert(at, *r);
  for (std::uint64_t j : list) {
    if (is_subclass_row(*r, j) && is_subclass_row(j, *r)) out.push_back(classes_[j]);
  }
  return out;
}

std::vector<std::string_view> Classification::unsatisfiable() const {
  std::vector<std::string_view> out;
  for (std::uint64_t r : unsat_rows_) {
    invariant(r < classes_.size(), "unsatisfiable row out of range");
    out.push_back(classes_[r]);
  }
  std::sort(out.begin(), out.end());  // byte-wise, a proper prefix first
  return out;
}

}  // namespace kelmon::reasoner
