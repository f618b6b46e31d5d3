#include "common/switches.h"

#include <cstdlib>
#include <cstring>
#include <limits>

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
