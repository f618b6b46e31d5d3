#include "python/functions.h"

#include <array>

#include "python/call_guard.h"
#include "python/implementations.h"

namespace kelmon::py {

namespace {

enum class Group { Main, Prepare };

struct ListedFunction {
  Group group;
  FunctionEntry entry;
};

constexpr ListedFunction kListed[] = {
#define KELMON_FUNCTION(group, name, parameters, description) \
  {Group::group, {#name, #name parameters "\n--\n\n" description, guarded<impl_##name>}},
#include "python/function_list.h"
#undef KELMON_FUNCTION
};

// The list keeps each group together, Main first; both spans are cut from one array.
constexpr std::size_t kMainCount = [] {
  std::size_t n = 0;
  while (n < std::size(kListed) && kListed[n].group == Group::Main) ++n;
  for (std::size_t i = n; i < std::size(kListed); ++i)
    if (kListed[i].group != Group::Prepare) throw "function_list.h: a Main function after a Prepare one";
  return n;
}();

constexpr auto kEntries = [] {
  std::array<FunctionEntry, std::size(kListed)> entries{};
  for (std::size_t i = 0; i < entries.size(); ++i) entries[i] = kListed[i].entry;
  return entries;
}();

}  // namespace

std::span<const FunctionEntry> main_functions() { return std::span(kEntries).first(kMainCount); }
std::span<const FunctionEntry> prepare_functions() { return std::span(kEntries).subspan(kMainCount); }

}  // namespace kelmon::py
