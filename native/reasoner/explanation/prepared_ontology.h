// The per-ontology state of the explanation searches: the loaded axioms split
// into non-logical ones (part of every candidate ontology, never of an answer)
// and logical ones (the candidates), kept so that many queries reuse them.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "common/reasoner_error.h"
#include "owl/axiom_set.h"
#include "owl/model.h"
#include "reasoner/explanation/justification_search.h"
#include "reasoner/explanation/oracle.h"
#include "reasoner/explanation/query.h"

namespace kelmon::explain {

// Header, imports, ontology annotations, declarations and annotation axioms.
bool is_non_logical(const owl::Axiom& axiom);

struct SplitAxioms {
  std::vector<owl::Axiom> non_logical;
  std::vector<owl::Axiom> logical;
};
// Every axiom once, without its annotations, in the set's iteration order.
SplitAxioms split_logical_axioms(const owl::AxiomSet& axioms);

// Immutable once prepared.
struct PreparedOntology {
  std::vector<owl::Axiom> non_logical;
  std::vector<owl::Axiom> logical;
  std::uint8_t fragment_kind = 2;  // of the whole converted ontology

  static PreparedOntology prepare(const owl::AxiomSet& axioms);

  // find_all_justifications over the state's lists, each paired with the fragment kind.
  Result<std::vector<std::pair<Justification, std::uint8_t>>> find_all_justifications(
      EntailmentOracle& oracle, const JustifyQuery& query, std::uint64_t max) const;
};

}  // namespace kelmon::explain
