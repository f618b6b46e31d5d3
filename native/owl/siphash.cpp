#include "owl/siphash.h"

#include <cstring>

namespace kelmon::owl {

namespace {
inline uint64_t rotl(uint64_t x, int b) { return (x << b) | (x >> (64 - b)); }

struct State {
  uint64_t v0, v1, v2, v3;
  void round() {
    v0 += v1; v1 = rotl(v1, 13); v1 ^= v0; v0 = rotl(v0, 32);
    v2 += v3; v3 = rotl(v3, 16); v3 ^= v2;
    v0 += v3; v3 = rotl(v3, 21); v3 ^= v0;
    v2 += v1; v1 = rotl(v1, 17); v1 ^= v2; v2 = rotl(v2, 32);
  }
};

inline uint64_t load_le64(const unsigned char* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}
}  // namespace

uint64_t siphash13(std::string_view data, uint64_t k0, uint64_t k1) {
  State s{k0 ^ 0x736f6d6570736575ULL, k1 ^ 0x646f72616e646f6dULL,
          k0 ^ 0x6c7967656e657261ULL, k1 ^ 0x7465646279746573ULL};
  const auto* p = reinterpret_cast<const unsigned char*>(data.data());
  size_t n = data.size();
  size_t full = n & ~size_t(7);
  for (size_t i = 0; i < full; i += 8) {
    uint64_t m = load_le64(p + i);
    s.v3 ^= m;
    s.round();
    s.v0 ^= m;
  }
  uint64_t last = uint64_t(n & 0xff) << 56;
  for (size_t i = 0; i < (n & 7); ++i) last |= uint64_t(p[full + i]) << (8 * i);
  s.v3 ^= last;
  s.round();
  s.v0 ^= last;
  s.v2 ^= 0xff;
  s.round();
  s.round();
  s.round();
  return s.v0 ^ s.v1 ^ s.v2 ^ s.v3;
}

}  // namespace kelmon::owl
