// Probe values for data-property sub-property and disjointness questions.
// Such a question holds when it holds for every data value, so it is asked for
// a finite set of values standing for all of them: every literal of the
// candidate, and in each value family (integer and decimal on one number line,
// float, double, string, date, dateTime) a value in every stretch between the
// numbers the candidate mentions and one fresh value.
//
// A probe that comes out consistent shows that the property question fails,
// whatever the set. That every probe is inconsistent shows that it holds only
// when the set stands for every value: when the candidate tells values apart
// by nothing but their family, its literals and order bounds on numbers, and
// no data restriction sits where it could rule a value out. Otherwise
// `covers_every_value` is false and an all-inconsistent outcome decides nothing.
#pragma once

#include <vector>

#include "owl/axiom_set.h"
#include "owl/model.h"

namespace kelmon::explain {

struct DataProbes {
  std::vector<owl::Literal> values;
  bool covers_every_value = true;
};

DataProbes data_probe_literals(const owl::AxiomSet& candidate);

}  // namespace kelmon::explain
