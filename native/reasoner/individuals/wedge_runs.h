// Instance questions settled by further runs of the wedge clause set (the
// hypertableau over every asserted individual): what a run derives before
// its first choice, a second model that takes every disjunction the other
// way round, and runs that keep individuals out of classes. A run that closes
// proves an instance on any wedge clause set; a model refutes one only when
// the set is exact (its models are models of the ontology).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "common/deadline.h"
#include "reasoner/kernel/hyper_clause_set.h"

namespace kelmon::reasoner {

// Now plus KELMON_PSEUDO_MODEL_WITNESS_MS (10 s unless set): the bound of a
// wedge run that has no deadline of its own.
Deadline wedge_witness_deadline();

// The labels of every individual (by IndividualId) that a wedge run derives
// before its first choice: each is entailed.
std::vector<std::vector<std::uint32_t>> deterministic_labels(const WedgeClauseSet& wedge, Deadline deadline);

// An individual (IndividualId) and a class (ClassId) it may belong to.
struct OpenPair {
  std::uint32_t individual = 0;
  std::uint32_t cls = 0;
  friend auto operator<=>(const OpenPair&, const OpenPair&) = default;
};

struct SettledPairs {
  std::vector<OpenPair> entailed;
  std::vector<OpenPair> open;  // left undecided by a stalled run or the deadline
};

// Settles open pairs over an exact wedge clause set. First one model with
// every disjunction taken in reverse order (the pseudo model took them in
// order): each pair whose class its individual's label lacks is refuted. Then
// runs keep a group of pairs apart at once ({a}(x) ∧ C(x) → ⊥ per pair): a
// model refutes every open pair it leaves out; a run that closes proves a
// single pair and splits a group in two, as does a group run that outlasts a
// few model runs. Nothing starts after `deadline`.
SettledPairs settle_open_pairs(const WedgeClauseSet& wedge, std::vector<OpenPair> open, Deadline deadline);

// Is the individual in the class? A run that keeps it out closes: yes; an
// exact set's run finds a model: no; none when the run stalls.
std::optional<bool> wedge_instance_test(const WedgeClauseSet& wedge, std::uint32_t individual, std::uint32_t cls,
                                        Deadline deadline);

}  // namespace kelmon::reasoner
