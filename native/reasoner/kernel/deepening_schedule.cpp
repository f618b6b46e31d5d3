#include "reasoner/kernel/deepening_schedule.h"

#include <limits>

#include "common/switches.h"

namespace kelmon::reasoner {

namespace {

std::vector<std::uint64_t> id_schedule() {
  std::optional<std::string> text = switch_text(SwitchId::TableauIdSchedule);
  if (!text) return kDefaultIdSchedule;
  U64ListReader reader{*text};
  std::vector<std::uint64_t> schedule;
  while (auto depth = parse_u64_list_next(reader)) {
    if (!schedule.empty() && *depth <= schedule.back()) return kDefaultIdSchedule;
    schedule.push_back(*depth);
  }
  if (reader.error || schedule.empty() || schedule.back() < 256) return kDefaultIdSchedule;
  return schedule;
}

}  // namespace

std::optional<std::uint64_t> parse_u64_list_next(U64ListReader& reader) {
  if (reader.at_end) return std::nullopt;
  const std::size_t comma = reader.rest.find(',');
  std::string_view element = reader.rest.substr(0, comma);
  if (comma == std::string_view::npos) {
    reader.at_end = true;
    reader.rest = {};
  } else {
    reader.rest.remove_prefix(comma + 1);
  }
  std::optional<std::uint64_t> value = parse_env_u64_trimmed(element);
  if (!value) {
    reader.error = true;
    reader.at_end = true;
  }
  return value;
}

DeepeningSettings deepening_settings() {
  DeepeningSettings s;
  s.schedule = id_schedule();
  s.shallow_ms = switch_number(SwitchId::TableauIdShallowMs);
  const std::uint64_t waste_ms = switch_number(SwitchId::TableauIdShallowWasteMs);
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  s.waste_threshold_us = waste_ms > kMax / 1000 ? kMax : waste_ms * 1000;
  return s;
}

Timeout cap_unsat_probe(Timeout timeout) {
  std::optional<std::uint64_t> ms = switch_number_if_set(SwitchId::UnsatProbeMs);
  if (!ms || *ms == 0) return timeout;
  Timeout cap = timeout_from_ms(*ms);
  if (!timeout) return cap;
  return std::min(*timeout, *cap);
}

}  // namespace kelmon::reasoner
