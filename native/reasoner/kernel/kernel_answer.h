// The answer of the kernel's yes/no tests (consistency, subsumption,
// satisfiability).
#pragma once

namespace kelmon::reasoner {

struct KernelAnswer {
  bool answer = false;
  // Saturation gave the answer (for subsumption also: sub and sup are one class).
  bool answered_by_saturation = false;
  // ... and the ontology lies where saturation is complete.
  bool fragment_complete = false;
  // False when a bound (time, nodes, early abandon) cut the test short and
  // the answer is only the documented default: not entailed, satisfiable,
  // consistent.
  bool decided = true;
};

}  // namespace kelmon::reasoner
