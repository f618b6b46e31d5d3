#include "core/data_axioms/property_closure.h"

namespace kelmon {

ClosureSets property_closure_sets(const std::vector<IriPair>& pairs) {
  ClosureSets closure;
  for (const auto& [a, b] : pairs) {
    closure[a].insert(a);
    closure[b].insert(b);
  }
  // Whole passes until nothing grows; each pass copies the super's set as it stands.
  for (bool grew = true; grew;) {
    grew = false;
    for (const auto& [a, b] : pairs) {
      if (a == b) continue;
      IriSet& into = closure[a];
      const std::size_t before = into.size();
      const IriSet& from = closure[b];
      into.insert(from.begin(), from.end());
      grew = grew || into.size() != before;
    }
  }
  return closure;
}

bool reaches(const ClosureSets& closure, const std::string& sub, const std::string& super) {
  if (sub == super) return true;
  const auto it = closure.find(sub);
  return it != closure.end() && it->second.contains(super);
}

}  // namespace kelmon
