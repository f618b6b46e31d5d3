#include "core/convert/visiting_order.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <numeric>
#include <string>
#include <string_view>

#include "common/radix_sort.h"
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
  keys.bytes.reserve(axioms.size() * 48);
  for (size_t i = 0; i < axioms.size(); ++i) {
    keys.start.push_back(keys.bytes.size());
    owl::append_structural_key(axioms[i], keys.bytes);
  }
  keys.start.push_back(keys.bytes.size());
  return keys;
}

// Eight key bytes from some offset as a big-endian number (zero-padded), so
// that numbers order as the bytes do, and how many of them the key has: of
// two keys with equal padded bytes the one that ends earlier is a proper
// prefix of the other and comes first.
struct Entry {
  std::uint64_t window;
  std::uint32_t index;
  std::uint32_t length;

  bool operator<(const Entry& o) const { return window != o.window ? window < o.window : length < o.length; }
  bool same_window(const Entry& o) const { return window == o.window && length == o.length; }
};

void fill_window(Entry& e, std::string_view key, size_t offset) {
  const size_t have = key.size() > offset ? std::min<size_t>(8, key.size() - offset) : 0;
  unsigned char bytes[8] = {};
  std::memcpy(bytes, key.data() + offset, have);
  std::uint64_t v;
  std::memcpy(&v, bytes, 8);
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
  e.window = v;
  e.length = static_cast<std::uint32_t>(have);
}

// How many bytes from `from` on the two keys share (up to `limit`), eight at a time.
size_t shared_until(std::string_view a, std::string_view b, size_t from, size_t limit) {
  size_t j = from;
  for (std::uint64_t x, y; j + 8 <= limit; j += 8) {
    std::memcpy(&x, a.data() + j, 8);
    std::memcpy(&y, b.data() + j, 8);
    if (x != y) {
      if constexpr (std::endian::native == std::endian::little) return j + std::countr_zero(x ^ y) / 8;
      break;
    }
  }
  while (j < limit && a[j] == b[j]) ++j;
  return j;
}

// Sorts by (window, length): small groups by comparison, large ones by radix
// (length first, then the window: each pass keeps the order of the last).
void sort_windows(Entry* first, Entry* last, std::vector<Entry>& scratch) {
  if (last - first < 512) {
    std::sort(first, last);
    return;
  }
  radix_sort(first, last, [](const Entry& e) { return std::uint64_t{e.length}; }, scratch);
  radix_sort(first, last, [](const Entry& e) { return e.window; }, scratch);
}

// Sorts the indices by key. Entries are sorted on eight bytes at a time, held in
// the entry; each run that ties is sorted again on its next bytes, after the
// bytes the whole run shares, so keys with long common prefixes (a namespace)
// cost no byte-wise comparisons.
void sort_by_key(std::vector<Entry>& entries, const Keys& keys) {
  struct Group {
    size_t begin, end, offset;  // entries [begin, end) agree on key bytes [0, offset)
  };
  std::vector<Group> pending;
  std::vector<Entry> scratch;
  // First by the first byte (the component's kind), keeping document order
  // within a kind, so that the first look at each kind's keys reads them in
  // the order they were written.
  {
    for (Entry& e : entries) {
      std::string_view k = keys.key(e.index);
      e.window = k.empty() ? 0u : static_cast<std::uint8_t>(k[0]) + 1u;
    }
    radix_sort(entries.data(), entries.data() + entries.size(), [](const Entry& e) { return e.window; }, scratch);
    for (size_t i = 0; i < entries.size();) {
      size_t j = i + 1;
      while (j < entries.size() && entries[j].window == entries[i].window) ++j;
      if (j - i > 1) pending.push_back(Group{i, j, 0});
      i = j;
    }
  }
  while (!pending.empty()) {
    Group g = pending.back();
    pending.pop_back();
    // A few keys (most runs that tie are two) are compared whole, from the
    // bytes they share on.
    if (g.end - g.begin <= 8) {
      std::sort(entries.data() + g.begin, entries.data() + g.end, [&](const Entry& a, const Entry& b) {
        return keys.key(a.index).substr(g.offset) < keys.key(b.index).substr(g.offset);
      });
      continue;
    }
    // Skip the bytes every key of the group shares.
    std::string_view base = keys.key(entries[g.begin].index);
    size_t common = base.size();
    for (size_t i = g.begin + 1; i < g.end && common > g.offset; ++i) {
      std::string_view k = keys.key(entries[i].index);
      common = shared_until(k, base, g.offset, std::min(common, k.size()));
    }
    const size_t offset = std::max(common, g.offset);
    for (size_t i = g.begin; i < g.end; ++i) fill_window(entries[i], keys.key(entries[i].index), offset);
    sort_windows(entries.data() + g.begin, entries.data() + g.end, scratch);
    for (size_t i = g.begin; i < g.end;) {
      size_t j = i + 1;
      while (j < g.end && entries[j].same_window(entries[i])) ++j;
      // A run whose keys end inside the window holds equal keys, which a set never has.
      if (j - i > 1 && entries[i].length == 8) pending.push_back(Group{i, j, offset + 8});
      i = j;
    }
  }
}

}  // namespace

std::vector<const owl::AnnotatedAxiom*> visiting_order(const owl::AxiomSet& axioms) {
  return visiting_order(axioms, switch_flag(SwitchId::ConvertHashSort));
}

std::vector<const owl::AnnotatedAxiom*> visiting_order(const owl::AxiomSet& axioms, bool hash_order) {
  const size_t n = axioms.size();
  std::vector<const owl::AnnotatedAxiom*> order;
  order.reserve(n);
  if (n < 2) {
    for (size_t i = 0; i < n; ++i) order.push_back(&axioms[i]);
    return order;
  }
  Keys keys = build_keys(axioms);
  if (hash_order) {
    std::vector<std::uint32_t> index(n);
    std::iota(index.begin(), index.end(), 0u);
    std::sort(index.begin(), index.end(), [&](std::uint32_t a, std::uint32_t b) {
      std::uint64_t ha = axioms.hash_at(a), hb = axioms.hash_at(b);
      if (ha != hb) return ha < hb;
      return keys.key(a) < keys.key(b);
    });
    for (std::uint32_t i : index) order.push_back(&axioms[i]);
    return order;
  }
  std::vector<Entry> entries(n);
  for (size_t i = 0; i < n; ++i) entries[i].index = static_cast<std::uint32_t>(i);
  sort_by_key(entries, keys);
  for (const Entry& e : entries) order.push_back(&axioms[e.index]);
  return order;
}

}  // namespace kelmon
