// Whether one reportable class is unsatisfiable: from the saturation, from a
// label that can be trusted, or from one bounded tableau test.
#pragma once

#include <cstdint>
#include <vector>

#include "common/deadline.h"
#include "reasoner/classify/class_label.h"
#include "reasoner/classify/reportable.h"
#include "reasoner/kernel/prepared_reasoner.h"
#include "saturation/saturation.h"

namespace kelmon::reasoner {

// A test that ran out of time or could not run decides nothing: the class
// stays in the pair phases, and the classification is marked incomplete.
enum class ClassVerdict : std::uint8_t { Satisfiable, Unsatisfiable, Undecided };

struct ClassTestResult {
  std::uint64_t row = 0;
  ClassVerdict verdict = ClassVerdict::Undecided;
  bool shortcut = false;  // from the saturation or a label, without a tableau run
};

struct ClassTestEnv {
  const ReportableClasses& reportable;
  const sat::ElResult& saturation;
  const std::vector<ClassLabel>& labels;
  const PreparedReasoner& prepared;
  Deadline deadline;
  Timeout per_pair_timeout;
};

// c is in `set`, or some class of c's saturation row is.
bool related_to(const sat::ElResult& saturation, ClassId c, const ClassSet& set);

ClassTestResult class_unsat_test(std::uint64_t row, const ClassTestEnv& env);

}  // namespace kelmon::reasoner
