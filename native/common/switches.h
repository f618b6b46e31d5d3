// KELMON_ environment switches and numbers. Every switch is a line of
// switch_list.h with its rule, default and when it is read; code reads a switch
// by its SwitchId only, so no variable is parsed in two places.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kelmon {

enum class SwitchId : std::uint16_t {
#define KELMON_SWITCH(id, name, rule, dflt, read) id,
#include "common/switch_list.h"
#undef KELMON_SWITCH
  Count_
};

enum class SwitchRule : std::uint8_t {
  OnUnlessZero,         // on unless exactly "0" (unset means on)
  OnUnlessZeroOrEmpty,  // on unless exactly "0" or empty
  OnlyForOne,           // on only for exactly "1"
  WhenSet,              // on when set to any value, the empty one included
  ForYes,               // on for "1", "on", "yes" or "true"
  Number,               // decimal with optional "+"; invalid or unset gives the default
  NumberTrimmed,        // the same after trimming ASCII white space
  Text,                 // raw text; the reading site states its own rule
};

enum class SwitchRead : std::uint8_t { Process, Use };

struct SwitchInfo {
  std::string_view name;
  SwitchRule rule;
  std::uint64_t default_number;
  SwitchRead read;
};

// The whole table, indexed by SwitchId.
std::span<const SwitchInfo> switch_table();
const SwitchInfo& switch_info(SwitchId id);

// A flag switch (rules OnUnlessZero .. ForYes).
bool switch_flag(SwitchId id);
// A number switch: its value, or the table's default when unset or invalid.
std::uint64_t switch_number(SwitchId id);
// A number switch: its value, or nullopt when unset or invalid.
std::optional<std::uint64_t> switch_number_if_set(SwitchId id);
// Any switch's raw text, or nullopt when unset. Process switches return the
// text seen at the first read.
std::optional<std::string> switch_text(SwitchId id);

// Whether a flag rule (OnUnlessZero .. ForYes) holds for a raw value
// (nullopt: unset). The one place where the flag rules are written.
bool switch_rule_on(SwitchRule rule, std::optional<std::string_view> value);

// Decimal unsigned number with an optional leading "+"; nothing else allowed
// (no sign "-", no spaces, no overflow). Returns nullopt when invalid.
std::optional<std::uint64_t> parse_env_u64(std::string_view text);
// Same, but first trims ASCII white space at both ends.
std::optional<std::uint64_t> parse_env_u64_trimmed(std::string_view text);

}  // namespace kelmon
