// Stable sorting of many items on a 64-bit key, without comparisons.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace kelmon {

// Sorts [first, last) by key(item), least significant byte first, keeping the
// order of items with equal keys. A byte that every key shares costs no pass.
// `scratch` is working space, reused across calls.
template <class T, class Key>
void radix_sort(T* first, T* last, Key key, std::vector<T>& scratch) {
  const std::size_t n = static_cast<std::size_t>(last - first);
  if (n < 2) return;
  std::array<std::array<std::size_t, 256>, 8> count{};
  for (T* p = first; p != last; ++p) {
    const std::uint64_t k = key(*p);
    for (unsigned b = 0; b < 8; ++b) ++count[b][(k >> (8 * b)) & 0xff];
  }
  scratch.resize(n);
  T* from = first;
  T* to = scratch.data();
  for (unsigned b = 0; b < 8; ++b) {
    auto& histogram = count[b];
    if (std::find(histogram.begin(), histogram.end(), n) != histogram.end()) continue;
    std::size_t sum = 0;
    for (auto& c : histogram) sum += std::exchange(c, sum);
    for (std::size_t i = 0; i < n; ++i) to[histogram[(key(from[i]) >> (8 * b)) & 0xff]++] = std::move(from[i]);
    std::swap(from, to);
  }
  if (from != first) std::move(from, from + n, first);
}

}  // namespace kelmon
