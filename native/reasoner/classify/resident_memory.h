// The resident-memory trace of a classification, read once per process.
#pragma once

#include <cstdint>
#include <string_view>

namespace kelmon::reasoner {

// KELMON_TRACE_RSS set to neither "" nor "0".
bool trace_rss_enabled();
// KELMON_TRACE_RSS_EVERY; 0 or invalid gives 100.
std::uint64_t trace_rss_every();
// The process's resident memory in gigabytes; 0 where the platform gives no figure.
double resident_memory_gb();
// "[rss] {phase}={gb:.2}GB" when the trace is on.
void trace_rss(std::string_view phase);

}  // namespace kelmon::reasoner
