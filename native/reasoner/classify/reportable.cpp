#include "reasoner/classify/reportable.h"

#include <limits>

#include "common/invariant.h"

namespace kelmon::reasoner {

namespace {
constexpr std::string_view kDkeyPrefix = "urn:kelmon-dkey:";
}

ReportableClasses reportable_classes(const Namespace<ClassId>& classes) {
  const size_t n = classes.size();
  invariant(n <= std::numeric_limits<std::uint32_t>::max(), "class count fits in u32");
  ReportableClasses out;
  out.row_of.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    ClassId id{static_cast<std::uint32_t>(i)};
    std::string_view name = classes.name(id);
    if (name.size() >= kDkeyPrefix.size() && name.starts_with(kDkeyPrefix)) {
      out.row_of.push_back(std::nullopt);
      continue;
    }
    out.row_of.push_back(static_cast<std::uint32_t>(out.ids.size()));
    out.iris.emplace_back(name);
    out.ids.push_back(id);
  }
  return out;
}

}  // namespace kelmon::reasoner
