// Probe values for data-property sub-property and disjointness questions.
// Such a question holds when it holds for every data value; it is asked for a
// finite set of values that stands for all of them: every literal of the
// candidate and one fresh value per value family (integer, decimal, float,
// double, string, date, dateTime). That set stands for every value only when
// the candidate tells values apart by nothing but their family and these
// literals: no facets, no data complements, no other datatypes or
// language tags, and no data restriction in a place where it would rule a
// value out. Otherwise no set is given, and the question is not answered.
#pragma once

#include <optional>
#include <vector>

#include "owl/axiom_set.h"
#include "owl/model.h"

namespace kelmon::explain {

std::optional<std::vector<owl::Literal>> data_probe_literals(const owl::AxiomSet& candidate);

}  // namespace kelmon::explain
