#include "common/switches.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>

#include "common/invariant.h"

namespace kelmon {

bool switch_rule_on(SwitchRule rule, std::optional<std::string_view> v) {
  switch (rule) {
    case SwitchRule::OnUnlessZero: return !(v && *v == "0");
    case SwitchRule::OnUnlessZeroOrEmpty: return !(v && (*v == "0" || v->empty()));
    case SwitchRule::OnlyForOne: return v && *v == "1";
    case SwitchRule::WhenSet: return v.has_value();
    case SwitchRule::ForYes: return v && (*v == "1" || *v == "on" || *v == "yes" || *v == "true");
    default: break;
  }
  invariant_failure("switch read as a flag has a flag rule");
}

std::optional<std::uint64_t> parse_env_u64(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
    if (value > (kMax - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

std::optional<std::uint64_t> parse_env_u64_trimmed(std::string_view text) {
  auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  return parse_env_u64(text);
}

// ---- the registry

namespace {

constexpr SwitchInfo kTable[] = {
#define KELMON_SWITCH(id, name, rule, dflt, read) {name, SwitchRule::rule, dflt, SwitchRead::read},
#include "common/switch_list.h"
#undef KELMON_SWITCH
};
constexpr std::size_t kCount = static_cast<std::size_t>(SwitchId::Count_);
static_assert(std::size(kTable) == kCount);

// Text of once-per-process switches, captured at the first read of each.
struct ProcessSlot {
  std::once_flag once;
  std::optional<std::string> text;
};
ProcessSlot g_process_slots[kCount];

// The variable's value now. Names come from string literals, so they end in NUL.
std::optional<std::string_view> environment_value(const SwitchInfo& info) {
  const char* v = std::getenv(info.name.data());
  if (v == nullptr) return std::nullopt;
  return std::string_view(v, std::strlen(v));
}

// The raw value under the switch's read time. Use switches view the
// environment as it is now (valid until it next changes); Process switches
// view the text kept from the first read, which lives as long as the process.
std::optional<std::string_view> raw_value(SwitchId id) {
  const SwitchInfo& info = switch_info(id);
  if (info.read == SwitchRead::Use) return environment_value(info);
  ProcessSlot& slot = g_process_slots[static_cast<std::size_t>(id)];
  std::call_once(slot.once, [&] {
    if (auto v = environment_value(info)) slot.text.emplace(*v);
  });
  if (!slot.text) return std::nullopt;
  return std::string_view(*slot.text);
}

}  // namespace

std::span<const SwitchInfo> switch_table() { return kTable; }

const SwitchInfo& switch_info(SwitchId id) {
  const auto i = static_cast<std::size_t>(id);
  invariant(i < kCount, "switch id is in the table");
  return kTable[i];
}

bool switch_flag(SwitchId id) { return switch_rule_on(switch_info(id).rule, raw_value(id)); }

std::optional<std::uint64_t> switch_number_if_set(SwitchId id) {
  const SwitchInfo& info = switch_info(id);
  invariant(info.rule == SwitchRule::Number || info.rule == SwitchRule::NumberTrimmed,
            "switch read as a number has a number rule");
  auto v = raw_value(id);
  if (!v) return std::nullopt;
  return info.rule == SwitchRule::Number ? parse_env_u64(*v) : parse_env_u64_trimmed(*v);
}

std::uint64_t switch_number(SwitchId id) {
  return switch_number_if_set(id).value_or(switch_info(id).default_number);
}

std::optional<std::string> switch_text(SwitchId id) {
  auto v = raw_value(id);
  if (!v) return std::nullopt;
  return std::string(*v);
}

}  // namespace kelmon
