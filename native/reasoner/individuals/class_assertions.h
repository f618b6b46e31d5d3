// The class assertions and existential successors of named individuals that
// realization finds, as materialization writes them out.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "common/reasoner_error.h"
#include "owl/loaded_ontology.h"
#include "reasoner/individuals/realization.h"
#include "reasoner/individuals/told_successors.h"

namespace kelmon::reasoner {

// (class IRI, individual IRI).
using ClassAssertionPair = std::pair<std::string, std::string>;
// (subject IRI, property IRI, witness blank id "_:b{n}", filler class IRI).
using SuccessorTuple = std::array<std::string, 4>;

// Realizes the document; the most specific types only, grouped by individual
// in IndividualId order, classes in ClassId order within a group.
Result<std::vector<ClassAssertionPair>> materialize_inferred_class_assertions(const owl::LoadedOntology& loaded);

// Inconsistent when the asserted facts saturate to a clash, even when the
// document states no existential on a named class; realizes only when it does.
Result<std::vector<SuccessorTuple>> materialize_existential_successors(const owl::LoadedOntology& loaded);

std::vector<ClassAssertionPair> most_specific_assertions(const Realization& realization);

// One tuple per (individual, told successor of any of its types), sorted by
// subject, property, filler without duplicates; the witness is the tuple's
// position in that order.
std::vector<SuccessorTuple> successor_tuples(const Realization& realization, const ToldSuccessorMap& told);

}  // namespace kelmon::reasoner
