#include "common/switches.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>

#include "common/invariant.h"

namespace kelmon {

std::optional<std::string_view> env_value(const char* name) {
  const char* v = std::getenv(name);
  if (v == nullptr) return std::nullopt;
  return std::string_view(v, std::strlen(v));
}

bool switch_on_unless_zero(const char* name) {
  auto v = env_value(name);
  return !(v && *v == "0");
}

bool switch_on_unless_zero_or_empty(const char* name) {
  auto v = env_value(name);
  return !(v && (*v == "0" || v->empty()));
}

bool switch_on_only_for_one(const char* name) {
  auto v = env_value(name);
  return v && *v == "1";
}

bool switch_on_when_set(const char* name) { return env_value(name).has_value(); }

bool switch_on_for_yes(const char* name) {
  auto v = env_value(name);
  return v && (*v == "1" || *v == "on" || *v == "yes" || *v == "true");
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

std::optional<std::uint64_t> env_u64(const char* name) {
  auto v = env_value(name);
  if (!v) return std::nullopt;
  return parse_env_u64(*v);
}

std::uint64_t env_u64_or(const char* name, std::uint64_t fallback) { return env_u64(name).value_or(fallback); }

}  // namespace kelmon

// ---- the registry

namespace kelmon {
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

std::optional<std::string> raw_text(SwitchId id) {
  const SwitchInfo& info = switch_info(id);
  auto read_now = [&]() -> std::optional<std::string> {
    std::string name(info.name);
    auto v = env_value(name.c_str());
    if (!v) return std::nullopt;
    return std::string(*v);
  };
  if (info.read == SwitchRead::Use) return read_now();
  ProcessSlot& slot = g_process_slots[static_cast<std::size_t>(id)];
  std::call_once(slot.once, [&] { slot.text = read_now(); });
  return slot.text;
}

bool flag_by_rule(SwitchRule rule, const std::optional<std::string>& v) {
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

}  // namespace

std::span<const SwitchInfo> switch_table() { return kTable; }

const SwitchInfo& switch_info(SwitchId id) {
  const auto i = static_cast<std::size_t>(id);
  invariant(i < kCount, "switch id is in the table");
  return kTable[i];
}

bool switch_flag(SwitchId id) { return flag_by_rule(switch_info(id).rule, raw_text(id)); }

std::optional<std::uint64_t> switch_number_if_set(SwitchId id) {
  const SwitchInfo& info = switch_info(id);
  invariant(info.rule == SwitchRule::Number || info.rule == SwitchRule::NumberTrimmed,
            "switch read as a number has a number rule");
  auto v = raw_text(id);
  if (!v) return std::nullopt;
  return info.rule == SwitchRule::Number ? parse_env_u64(*v) : parse_env_u64_trimmed(*v);
}

std::uint64_t switch_number(SwitchId id) {
  return switch_number_if_set(id).value_or(switch_info(id).default_number);
}

std::optional<std::string> switch_text(SwitchId id) { return raw_text(id); }

}  // namespace kelmon
