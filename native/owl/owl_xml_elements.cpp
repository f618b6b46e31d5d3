#include "owl/internal/owl_xml_elements.h"

#include <array>

#include <tsl/robin_map.h>

namespace kelmon::owl::internal {

namespace {

constexpr std::array kNames = {
#define KELMON_OWX_NAME(name) std::string_view(#name),
    KELMON_OWX_ELEMENTS(KELMON_OWX_NAME)
#undef KELMON_OWX_NAME
};

struct NameHash {
  size_t operator()(std::string_view v) const noexcept {
    return std::hash<std::string_view>{}(v);
  }
};

const tsl::robin_map<std::string_view, OwxElement, NameHash>& table() {
  static const auto* t = [] {
    auto* m = new tsl::robin_map<std::string_view, OwxElement, NameHash>();
    for (size_t i = 0; i < kNames.size(); ++i) m->emplace(kNames[i], static_cast<OwxElement>(i));
    return m;
  }();
  return *t;
}

}  // namespace

std::optional<OwxElement> owx_element(std::string_view local_name) {
  auto it = table().find(local_name);
  if (it == table().end()) return std::nullopt;
  return it->second;
}

std::string_view owx_name(OwxElement e) { return kNames[static_cast<size_t>(e)]; }

}  // namespace kelmon::owl::internal
