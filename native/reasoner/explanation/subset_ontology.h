// Candidate ontologies of the searches, built anew for every oracle call.
#pragma once

#include <span>
#include <vector>

#include "owl/axiom_set.h"
#include "owl/model.h"
#include "reasoner/explanation/query.h"

namespace kelmon::explain {

// The non-logical axioms followed by the logical ones, each without
// annotations; an axiom already present is not added twice.
owl::AxiomSet build_subset_ontology(std::span<const owl::Axiom> non_logical, std::span<const owl::Axiom> logical);
owl::AxiomSet build_subset_ontology(std::span<const owl::Axiom> non_logical,
                                    std::span<const owl::Axiom* const> logical);

// The background of every candidate of one search: the non-logical axioms
// followed by declarations of the query's classes (and, for an instance
// query, its individual) that some logical axiom uses. Without them a subset
// that lacks the axiom introducing a name would not know the name at all. A
// name that no logical axiom uses gets no declaration, so it still fails as
// unknown; owl:Thing and owl:Nothing never get one.
std::vector<owl::Axiom> search_background(const std::vector<owl::Axiom>& non_logical,
                                          const std::vector<owl::Axiom>& logical, const JustifyQuery& query);

}  // namespace kelmon::explain
