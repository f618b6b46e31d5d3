#include "reasoner/classify/resident_memory.h"

#include <cstdio>
#include <unistd.h>

#include "common/switches.h"

namespace kelmon::reasoner {

// Set to a value that is neither empty nor "0"; unset is off.
bool trace_rss_enabled() {
  auto v = switch_text(SwitchId::TraceRss);
  return v && !v->empty() && *v != "0";
}

std::uint64_t trace_rss_every() {
  const std::uint64_t every = switch_number(SwitchId::TraceRssEvery);
  return every == 0 ? 100 : every;
}

double resident_memory_gb() {
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (f == nullptr) return 0.0;
  unsigned long long size = 0;
  unsigned long long resident = 0;
  const int read = std::fscanf(f, "%llu %llu", &size, &resident);
  std::fclose(f);
  if (read != 2) return 0.0;
  const long page = ::sysconf(_SC_PAGESIZE);
  return static_cast<double>(resident) * static_cast<double>(page > 0 ? page : 4096) / 1e9;
}

void trace_rss(std::string_view phase) {
  if (!trace_rss_enabled()) return;
  std::fprintf(stderr, "[rss] %.*s=%.2fGB\n", static_cast<int>(phase.size()), phase.data(), resident_memory_gb());
}

}  // namespace kelmon::reasoner
