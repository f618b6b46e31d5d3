#include "core/convert/visiting_order.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string>
#include <string_view>

#include "common/switches.h"
#include "owl/structural.h"

namespace kelmon {

namespace {

// Every axiom's structural key in one buffer: comparing keys byte-wise is the
// structural order.
struct Keys {
  std::string bytes;
  std::vector<size_t> start;  // key i is bytes[start[i], start[i + 1])

  std::string_view key(size_t i) const { return std::string_view(bytes).substr(start[i], start[i + 1] - start[i]); }
};

Keys build_keys(const owl::AxiomSet& axioms) {
  Keys keys;
  keys.start.reserve(axioms.size() + 1);
  for (size_t i = 0; i < axioms.size(); ++i) {
    keys.start.push_back(keys.bytes.size());
    owl::append_structural_key(axioms[i], keys.bytes);
  }
  keys.start.push_back(keys.bytes.size());
  return keys;
}

// The eight key bytes from `offset` as a big-endian number (zero-padded), so
// that numbers order as the bytes do.
std::uint64_t prefix_at(std::string_view key, size_t offset) {
  std::uint64_t v = 0;
  for (size_t k = 0; k < 8; ++k) {
    std::uint8_t b = offset + k < key.size() ? static_cast<std::uint8_t>(key[offset + k]) : 0;
    v = (v << 8) | b;
  }
  return v;
}

struct Entry {
  std::uint64_t prefix;
  std::uint32_t index;
};

// Sorts indices by key. Axioms of one kind often share a long key prefix (a
// common namespace), so each run of equal first bytes is sorted on the eight
// bytes after the run's common prefix, and only ties compare whole keys.
void sort_by_key(std::vector<std::uint32_t>& index, const Keys& keys) {
  // Bucket by the first byte (the component's kind), keeping each bucket's order.
  auto first_byte = [&](std::uint32_t i) {
    std::string_view k = keys.key(i);
    return k.empty() ? 0u : static_cast<unsigned>(static_cast<std::uint8_t>(k[0])) + 1u;
  };
  std::vector<size_t> bucket_start(258, 0);
  for (std::uint32_t i : index) ++bucket_start[first_byte(i) + 1];
  for (size_t b = 1; b < bucket_start.size(); ++b) bucket_start[b] += bucket_start[b - 1];
  std::vector<std::uint32_t> bucketed(index.size());
  {
    std::vector<size_t> fill(bucket_start.begin(), bucket_start.end() - 1);
    for (std::uint32_t i : index) bucketed[fill[first_byte(i)]++] = i;
  }
  index.swap(bucketed);
  std::vector<Entry> run;
  for (size_t begin = 0; begin < index.size();) {
    const unsigned first = first_byte(index[begin]);
    size_t end = begin + 1;
    while (end < index.size() && first_byte(index[end]) == first) ++end;
    std::string_view base = keys.key(index[begin]);
    size_t common = base.size();
    for (size_t i = begin + 1; i < end && common > 0; ++i) {
      std::string_view k = keys.key(index[i]);
      size_t n = std::min(common, k.size()), j = 0;
      while (j < n && k[j] == base[j]) ++j;
      common = j;
    }
    run.clear();
    for (size_t i = begin; i < end; ++i) run.push_back(Entry{prefix_at(keys.key(index[i]), common), index[i]});
    std::sort(run.begin(), run.end(), [&](const Entry& a, const Entry& b) {
      if (a.prefix != b.prefix) return a.prefix < b.prefix;
      return keys.key(a.index) < keys.key(b.index);
    });
    for (size_t i = begin; i < end; ++i) index[i] = run[i - begin].index;
    begin = end;
  }
}

}  // namespace

std::vector<const owl::AnnotatedAxiom*> visiting_order(const owl::AxiomSet& axioms) {
  const size_t n = axioms.size();
  std::vector<const owl::AnnotatedAxiom*> order;
  order.reserve(n);
  if (n < 2) {
    for (size_t i = 0; i < n; ++i) order.push_back(&axioms[i]);
    return order;
  }
  Keys keys = build_keys(axioms);
  std::vector<std::uint32_t> index(n);
  std::iota(index.begin(), index.end(), 0u);
  if (switch_on_only_for_one("KELMON_CONVERT_HASH_SORT")) {
    std::sort(index.begin(), index.end(), [&](std::uint32_t a, std::uint32_t b) {
      std::uint64_t ha = axioms.hash_at(a), hb = axioms.hash_at(b);
      if (ha != hb) return ha < hb;
      return keys.key(a) < keys.key(b);
    });
  } else {
    sort_by_key(index, keys);
  }
  for (std::uint32_t i : index) order.push_back(&axioms[i]);
  return order;
}

}  // namespace kelmon
