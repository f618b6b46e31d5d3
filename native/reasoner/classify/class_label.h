// One bounded hypertableau run per class, whose root is forced into the class
// and nothing else: a closed run proves the class unsatisfiable, an open one
// leaves the root's label as a cheap over-approximation of its subsumers.
#pragma once

#include <cstdint>
#include <string_view>
#include <variant>
#include <vector>

#include <tsl/robin_set.h>

#include "common/deadline.h"
#include "common/ids.h"
#include "reasoner/kernel/prepared_reasoner.h"

namespace kelmon::reasoner {

struct LabelSat {
  std::vector<std::uint32_t> backfold;   // defined classes whose definition the root satisfies
  tsl::robin_set<std::uint32_t> label;   // the root's label, the probe id included
  // The run never branched, so every label follows from the class alone: the
  // label is then exactly the class's subsumers, not just a bound on them.
  bool entailed = false;
  // Otherwise the labels that rest on no choice, sorted: these follow too.
  std::vector<std::uint32_t> proven;
};
struct LabelUnsat {};
struct LabelNoVerdict {
  bool out_of_time = false;  // the run stalled on its deadline: a longer one may decide it
};

using ClassLabel = std::variant<LabelSat, LabelUnsat, LabelNoVerdict>;

// The label proves the class under d without a test.
bool label_entails(const ClassLabel& label, std::uint32_t d);

// "sat", "unsat" or "noverdict".
std::string_view label_name(const ClassLabel& label);

// NoVerdict without a hypertableau clause set, on a stalled run (budget 256 or
// the deadline), or when the root's label lost the probe.
ClassLabel compute_class_label(const PreparedReasoner& prepared, ClassId c, Deadline deadline);

}  // namespace kelmon::reasoner
