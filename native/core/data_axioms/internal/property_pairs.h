// The told (sub, super) data property pairs of one axiom, as the literal checks
// collect them straight from the axiom set.
#pragma once

#include <vector>

#include "core/data_axioms/internal/owl_views.h"
#include "core/data_axioms/property_closure.h"
#include "owl/model.h"

namespace kelmon::owl_views {

// SubDataPropertyOf with two non-empty IRIs, and both directions of every pair
// of an EquivalentDataProperties.
inline void append_property_pairs(const owl::Axiom& axiom, std::vector<IriPair>& pairs) {
  if (const auto* sub = std::get_if<owl::SubDataPropertyOf>(&axiom)) {
    if (!sub->sub.iri.empty() && !sub->sup.iri.empty()) pairs.emplace_back(text(sub->sub.iri), text(sub->sup.iri));
    return;
  }
  if (const auto* eq = std::get_if<owl::EquivalentDataProperties>(&axiom)) {
    for (std::size_t i = 0; i < eq->members.size(); ++i)
      for (std::size_t j = 0; j < eq->members.size(); ++j)
        if (i != j) pairs.emplace_back(text(eq->members[i].iri), text(eq->members[j].iri));
  }
}

}  // namespace kelmon::owl_views
