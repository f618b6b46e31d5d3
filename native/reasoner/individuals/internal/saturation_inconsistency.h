#pragma once

#include "saturation/saturation.h"

namespace kelmon::reasoner::individuals {

// In the fragment the ABox saturation decides, a clash it finds is real: ⊤ ⊑ ⊥,
// clashing assertions, or an individual below ⊥ make every assertion entailed.
inline bool saturation_inconsistent(const sat::AboxElResult& abox) {
  if (abox.result.top_is_bottom || abox.result.inconsistent) return true;
  for (const auto& [individual, id] : abox.individual_ids)
    if (abox.result.unsat.test(id)) return true;
  return false;
}

}  // namespace kelmon::reasoner::individuals
