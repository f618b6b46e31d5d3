#include "tableau/completion/dep_set.h"

#include <algorithm>

namespace kelmon::completion {

DepSet DepSet::from_slice(std::span<const std::uint32_t> ids) {
  DepSet out;
  out.ids_.assign(ids.begin(), ids.end());
  std::sort(out.ids_.begin(), out.ids_.end());
  out.ids_.erase(std::unique(out.ids_.begin(), out.ids_.end()), out.ids_.end());
  return out;
}

DepSet DepSet::union_of(const DepSet& a, const DepSet& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  DepSet out;
  out.ids_.reserve(a.size() + b.size());
  std::set_union(a.ids_.begin(), a.ids_.end(), b.ids_.begin(), b.ids_.end(), std::back_inserter(out.ids_));
  return out;
}

bool DepSet::contains(std::uint32_t id) const { return std::binary_search(ids_.begin(), ids_.end(), id); }

void DepSet::insert(std::uint32_t id) {
  auto it = std::lower_bound(ids_.begin(), ids_.end(), id);
  if (it == ids_.end() || *it != id) ids_.insert(it, id);
}

void DepSet::join(const DepSet& other) {
  if (other.empty()) return;
  if (ids_.empty()) {
    ids_ = other.ids_;
    return;
  }
  *this = union_of(*this, other);
}

}  // namespace kelmon::completion
