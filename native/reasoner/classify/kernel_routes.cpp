#include "reasoner/classify/kernel_routes.h"

#include "reasoner/kernel/deepening_schedule.h"
#include "reasoner/kernel/hyper_runs.h"
#include "reasoner/kernel/tableau_test.h"

namespace kelmon::reasoner {

bool tableau_tests_available() { return true; }

namespace {

// Tests that may leave the asserted facts out do so.
const AboxFacts& test_facts(const PreparedReasoner& prepared) {
  static const AboxFacts kNone;
  return prepared.tbox_only ? kNone : prepared.abox;
}

}  // namespace

TableauAnswer tableau_class_test(const PreparedReasoner& prepared, ClassId c, Deadline deadline) {
  TableauTestRequest request;
  request.test_concept = [c](ConceptPool& pool) { return pool.intern(Atomic{c}); };
  request.deadline = deadline;
  return run_tableau_test_body(prepared, test_facts(prepared), request);
}

TableauAnswer tableau_pair_verify_test(const PreparedReasoner& prepared, ClassId sub, ClassId sup, Deadline deadline) {
  return run_tableau_test_pair_verify(prepared, test_facts(prepared), sub, sup, deadline);
}

TableauAnswer tableau_disjoint_pair_test(const PreparedReasoner& prepared, ClassId a, ClassId b, Deadline deadline) {
  return run_tableau_test_disjoint_pair(prepared, test_facts(prepared), a, b, deadline);
}

Timeout unsat_probe_timeout(Timeout per_pair_timeout) { return cap_unsat_probe(per_pair_timeout); }

std::uint8_t hyper_pair_verdict(const PreparedReasoner& prepared, ClassId sub, ClassId sup, Deadline deadline,
                                std::vector<std::uint32_t>* model_root) {
  if (model_root != nullptr) model_root->clear();
  const HyperClauseSet* hyper = prepared.hyper_set();
  if (hyper == nullptr) return static_cast<std::uint8_t>(HyperVerdict::NotRun);
  const HyperVerdict verdict = run_hyper_iterative(*hyper, sub.v, sup.v, deadline, model_root);
  // A model of clauses that leave part of the ontology out proves nothing:
  // the pair goes on to the tableau as if no run had taken place.
  if ((verdict == HyperVerdict::Model && !hyper->sat_exact) || verdict == HyperVerdict::Untrusted) {
    if (model_root != nullptr) model_root->clear();
    return static_cast<std::uint8_t>(HyperVerdict::NotRun);
  }
  return static_cast<std::uint8_t>(verdict);
}

}  // namespace kelmon::reasoner
