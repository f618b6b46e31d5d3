// The settings of iterative deepening, read afresh by every test: the
// schedule of branching depths, the shallow passes' time budget, and the
// waste threshold after which a prepared reasoner skips shallow passes. Also
// the cap on per-class probe timeouts.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "common/deadline.h"

namespace kelmon::reasoner {

// Reads a comma-separated list of numbers one element at a time.
struct U64ListReader {
  std::string_view rest;
  bool at_end = false;
  bool error = false;  // an element did not parse; the list ended there
};

// The next element (trimmed, decimal, optional "+"), or none at the end or
// after an element that does not parse (which sets the error mark).
std::optional<std::uint64_t> parse_u64_list_next(U64ListReader& reader);

inline const std::vector<std::uint64_t> kDefaultIdSchedule{8, 32, 256};

struct DeepeningSettings {
  std::vector<std::uint64_t> schedule;  // strictly increasing, last at least 256
  std::uint64_t shallow_ms = 20;        // 0: shallow passes share the test deadline
  std::uint64_t waste_threshold_us = 1'000'000;  // 0: never skip
};

// KELMON_TABLEAU_ID_SCHEDULE, KELMON_TABLEAU_ID_SHALLOW_MS and KELMON_TABLEAU_ID_SHALLOW_WASTE_MS.
DeepeningSettings deepening_settings();

// The timeout capped by KELMON_UNSAT_PROBE_MS (unset, invalid or 0: no cap).
Timeout cap_unsat_probe(Timeout timeout);

}  // namespace kelmon::reasoner
