#pragma once
#include <cstdint>
#include <string_view>

namespace kelmon::owl {

// SipHash-1-3 (one compression round, three finalisation rounds), 64-bit output.
uint64_t siphash13(std::string_view data, uint64_t k0 = 0, uint64_t k1 = 0);

}  // namespace kelmon::owl
