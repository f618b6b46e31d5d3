// The classification behind entailed disjoint classes: the main driver's
// preamble, then brute force under one per-pair timeout: a parallel pass of
// per-class tests, then every ordered pair of satisfiable classes, each from
// the saturation when it can and otherwise by one tableau test.
#pragma once

#include <cstdint>

#include "common/deadline.h"
#include "common/reasoner_error.h"
#include "core/ir.h"
#include "reasoner/classify/classification.h"
#include "reasoner/classify/reportable.h"
#include "reasoner/kernel/prepared_reasoner.h"
#include "saturation/saturation.h"

namespace kelmon::reasoner {

struct DisjointnessClassItem {
  std::uint64_t row = 0;
  bool satisfiable_or_open = true;
  bool from_saturation = false;
  bool undecided = false;  // no test settled the class
};

// One per-class test of the first pass; fails only with NoVerdict.
Result<DisjointnessClassItem> disjointness_class_test(std::uint64_t row, const ReportableClasses& reportable,
                                                      const sat::ElResult& saturation, Timeout per_pair_timeout,
                                                      const PreparedReasoner& prepared);

Result<Classification> classify_for_disjointness(const InternalOntology& ir, Timeout per_pair_timeout);

}  // namespace kelmon::reasoner
