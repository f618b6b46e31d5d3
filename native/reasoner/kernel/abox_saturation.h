// ABox saturation: a fast, sound and incomplete forward-chaining pass over the
// named individuals. It derives memberships in named classes and property
// edges between named individuals from the assertions and a few TBox shapes,
// and spots two kinds of clash. It never creates individuals: finding no clash
// proves nothing, finding one proves the ontology inconsistent.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "common/deadline.h"
#include "common/ids.h"
#include "core/ontology.h"

namespace kelmon::reasoner {

// role(subject, object) over a named role.
struct AboxEdge {
  RoleId role;
  IndividualId subject;
  IndividualId object;
  friend constexpr auto operator<=>(const AboxEdge&, const AboxEdge&) = default;
};

struct AboxSaturation {
  // Asserted, nominal and derived edges, in no particular order; empty when
  // inconsistent or abandoned.
  std::vector<AboxEdge> edges;
  // Distinct individuals a functional role forces equal, smaller id first,
  // ascending, no duplicates; empty when inconsistent or abandoned.
  std::vector<std::pair<IndividualId, IndividualId>> same_pairs;
  std::uint64_t chain2_fires = 0;  // new edges from two-link chains and transitivity
  std::uint64_t chain3_fires = 0;  // new edges from three-link chains
  std::uint64_t sex_clash_candidates = 0;  // diagnostic only
  std::uint64_t type_additions = 0;
  std::uint64_t edge_additions = 0;
  bool inconsistent = false;  // a clash was found
  bool abandoned = false;     // the deadline passed first: no verdict
};

// Saturates the ABox of `ir` to a fixpoint, a clash or the deadline.
AboxSaturation saturate_abox(const InternalOntology& ir, Deadline deadline);

// The cheap inconsistency pre-check: true only when saturation finds a clash
// within the timeout. False when KELMON_ABOX_SATURATION is "0" or empty, when
// the ontology has no assertion, and when the run is abandoned.
bool abox_saturation_clash(const InternalOntology& ir, Timeout timeout);

}  // namespace kelmon::reasoner
