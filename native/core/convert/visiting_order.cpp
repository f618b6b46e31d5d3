#include "core/convert/visiting_order.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "common/switches.h"
#include "owl/structural.h"

namespace kelmon {

std::vector<const owl::AnnotatedAxiom*> visiting_order(const owl::AxiomSet& axioms) {
  const size_t n = axioms.size();
  std::vector<const owl::AnnotatedAxiom*> order;
  order.reserve(n);
  for (size_t i = 0; i < n; ++i) order.push_back(&axioms[i]);
  if (n < 2) return order;

  // Each key is built once; comparing keys byte-wise is the structural order.
  std::vector<std::string> keys(n);
  for (size_t i = 0; i < n; ++i) owl::append_structural_key(axioms[i], keys[i]);
  std::vector<uint32_t> index(n);
  std::iota(index.begin(), index.end(), 0u);

  if (switch_on_only_for_one("KELMON_CONVERT_HASH_SORT")) {
    std::sort(index.begin(), index.end(), [&](uint32_t a, uint32_t b) {
      uint64_t ha = axioms.hash_at(a), hb = axioms.hash_at(b);
      if (ha != hb) return ha < hb;
      return keys[a] < keys[b];
    });
  } else {
    std::sort(index.begin(), index.end(), [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
  }
  for (size_t i = 0; i < n; ++i) order[i] = &axioms[index[i]];
  return order;
}

}  // namespace kelmon
