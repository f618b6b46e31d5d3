// Feeds arbitrary bytes to the functional-syntax reader. Whatever it accepts must be
// written, rendered and read back to the same axiom set.
#include <cstdint>
#include <string_view>

#include "functional_round_trip.h"

using namespace kelmon::owl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto first = read_functional(text);
  if (first) fuzz::check_functional_round_trip(*first, true);
  return 0;
}
