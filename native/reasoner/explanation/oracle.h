// The one question every explanation search asks: does this candidate
// ontology (non-logical axioms plus a chosen subset of the logical ones)
// entail the query? The searches are written against this interface only.
#pragma once

#include "common/reasoner_error.h"
#include "owl/axiom_set.h"
#include "reasoner/explanation/query.h"

namespace kelmon::explain {

class EntailmentOracle {
 public:
  virtual ~EntailmentOracle() = default;
  // An error ends the search that asked; a route that cannot decide must
  // answer with an error, never with a guess.
  virtual Result<bool> entails(const owl::AxiomSet& candidate, const JustifyQuery& query) = 0;
  // True only when ABox saturation alone finds the candidate inconsistent;
  // false when it finds nothing or cannot tell.
  virtual bool saturation_finds_inconsistency(const owl::AxiomSet& candidate) = 0;
};

}  // namespace kelmon::explain
