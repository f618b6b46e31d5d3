// KELMON_ environment switches and numbers. Read per call unless the caller
// caches the value itself (the few once-per-process switches do).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kelmon {

// The raw value, or nullopt when the variable is unset (or not valid UTF-8-free bytes; any bytes are kept).
std::optional<std::string_view> env_value(const char* name);

// On unless the value is exactly "0" (unset means on).
bool switch_on_unless_zero(const char* name);
// On unless the value is exactly "0" or empty.
bool switch_on_unless_zero_or_empty(const char* name);
// On only when the value is exactly "1".
bool switch_on_only_for_one(const char* name);
// On when the variable is set to any value, the empty one included.
bool switch_on_when_set(const char* name);
// KELMON_SNAPSHOT_CAPTURE's rule: "1", "on", "yes" or "true".
bool switch_on_for_yes(const char* name);

// Decimal unsigned number with an optional leading "+"; nothing else allowed
// (no sign "-", no spaces, no overflow). Returns nullopt when invalid.
std::optional<std::uint64_t> parse_env_u64(std::string_view text);
// Same, but first trims ASCII white space at both ends.
std::optional<std::uint64_t> parse_env_u64_trimmed(std::string_view text);

// The variable's number, or `fallback` when unset or invalid.
std::uint64_t env_u64_or(const char* name, std::uint64_t fallback);
// The variable's number, or nullopt when unset or invalid.
std::optional<std::uint64_t> env_u64(const char* name);

}  // namespace kelmon
