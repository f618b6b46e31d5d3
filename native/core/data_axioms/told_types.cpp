#include "core/data_axioms/internal/told_types.h"

namespace kelmon {

std::map<std::string, IriSet> told_types(const std::vector<IriPair>& class_assertions,
                                         const ClosureSets& class_closure) {
  std::map<std::string, IriSet> types;
  for (const auto& [individual, cls] : class_assertions) {
    IriSet& set = types[individual];
    if (const auto it = class_closure.find(cls); it != class_closure.end()) set.insert(it->second.begin(), it->second.end());
    else set.insert(cls);
  }
  return types;
}

std::map<std::string, std::vector<std::string>> told_members(const std::map<std::string, IriSet>& types) {
  std::map<std::string, std::vector<std::string>> members;
  for (const auto& [individual, classes] : types)
    for (const auto& cls : classes) members[cls].push_back(individual);
  return members;
}

}  // namespace kelmon
