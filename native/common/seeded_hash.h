// Seeded hashing for the interning tables. Every table draws its own seed, so
// no input can be crafted against a fixed hash; no output order depends on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace kelmon {

// A fresh seed from a process-wide random source (thread-safe).
std::uint64_t fresh_hash_seed();

// Final avalanche (splitmix64).
constexpr std::uint64_t hash_finish(std::uint64_t h) {
  h ^= h >> 30;
  h *= 0xbf58476d1ce4e5b9ULL;
  h ^= h >> 27;
  h *= 0x94d049bb133111ebULL;
  h ^= h >> 31;
  return h;
}

// Folds one word into a running hash.
constexpr std::uint64_t hash_step(std::uint64_t h, std::uint64_t word) {
  h ^= word + 0x9e3779b97f4a7c15ULL;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 32;
  return h;
}

inline std::uint64_t hash_bytes(std::string_view bytes, std::uint64_t seed) {
  std::uint64_t h = hash_step(seed, bytes.size());
  const char* p = bytes.data();
  std::size_t n = bytes.size();
  while (n >= 8) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    h = hash_step(h, w);
    p += 8;
    n -= 8;
  }
  if (n > 0) {
    std::uint64_t w = 0;
    std::memcpy(&w, p, n);
    h = hash_step(h, w);
  }
  return hash_finish(h);
}

}  // namespace kelmon
