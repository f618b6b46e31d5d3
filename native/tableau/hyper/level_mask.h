// The hypertableau's dependency set: which branching levels a derived fact
// rests on. 128 levels are tracked exactly; anything deeper, or unknown,
// sets the overflow flag, which counts as depending on every level.
#pragma once

#include <cstdint>
#include <vector>

namespace kelmon {

struct LevelMask {
  unsigned __int128 bits = 0;
  bool overflow = false;

  static LevelMask overflow_mask() { return LevelMask{0, true}; }
  static LevelMask of_level(std::uint32_t i) {
    LevelMask m;
    m.add_level(i);
    return m;
  }

  bool empty() const { return bits == 0 && !overflow; }
  bool has_level(std::uint32_t i) const { return i < 128 && ((bits >> i) & 1) != 0; }
  // Levels past the tracked range can only be recorded as overflow.
  void add_level(std::uint32_t i) {
    if (i < 128) {
      bits |= static_cast<unsigned __int128>(1) << i;
    } else {
      overflow = true;
    }
  }
  // Only an exactly known mask may lose a level.
  void remove_level(std::uint32_t i) {
    if (!overflow && i < 128) bits &= ~(static_cast<unsigned __int128>(1) << i);
  }
  LevelMask& operator|=(const LevelMask& o) {
    bits |= o.bits;
    overflow = overflow || o.overflow;
    return *this;
  }
  friend LevelMask operator|(LevelMask a, const LevelMask& b) { return a |= b; }
  std::uint32_t popcount() const {
    return static_cast<std::uint32_t>(__builtin_popcountll(static_cast<std::uint64_t>(bits)) +
                                      __builtin_popcountll(static_cast<std::uint64_t>(bits >> 64)));
  }
  friend bool operator==(const LevelMask&, const LevelMask&) = default;
};

// A decoded mask, kept in clash records.
struct LevelSummary {
  std::vector<std::uint32_t> levels;
  bool nonempty = false;
  std::uint32_t max_level = 127;
  std::uint8_t popcount = 0;

  static LevelSummary of(const LevelMask& m) {
    LevelSummary s;
    for (std::uint32_t i = 0; i < 128; ++i)
      if (m.has_level(i)) s.levels.push_back(i);
    s.nonempty = !m.empty();
    s.max_level = (m.overflow || s.levels.empty()) ? 127 : s.levels.back();
    s.popcount = static_cast<std::uint8_t>(s.levels.size());
    return s;
  }
  friend bool operator==(const LevelSummary&, const LevelSummary&) = default;
};

}  // namespace kelmon
