#include "common/seeded_hash.h"

#include <atomic>
#include <chrono>
#include <random>

namespace kelmon {

namespace {

std::uint64_t initial_state() {
  std::random_device device;
  std::uint64_t s = (static_cast<std::uint64_t>(device()) << 32) ^ device();
  s ^= static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  return s;
}

}  // namespace

std::uint64_t fresh_hash_seed() {
  static std::atomic<std::uint64_t> state{initial_state()};
  return hash_finish(state.fetch_add(0x9e3779b97f4a7c15ULL, std::memory_order_relaxed));
}

}  // namespace kelmon
