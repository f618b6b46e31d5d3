#include "reasoner/classify/kernel_routes.h"

#include <algorithm>

#include "common/switches.h"
#include "reasoner/kernel/abox_saturation.h"
#include "reasoner/kernel/deepening_schedule.h"
#include "reasoner/kernel/tableau_test.h"
#include "reasoner/kernel/ontology_scans.h"

namespace kelmon::reasoner {

namespace {

// The pre-check's own budget: short when property assertions meet many
// transitive roles or chains, since ABox saturation then grows fast.
Timeout precheck_budget(const InternalOntology& ir) {
  if (auto v = switch_number_if_set(SwitchId::ClassifyInconsistencyMs)) return timeout_from_ms(*v);
  std::uint64_t p = 0;
  std::uint64_t k = 0;
  for (const Axiom& axiom : ir.axioms) {
    if (std::holds_alternative<ObjectPropertyAssertion>(axiom)) ++p;
    if (std::holds_alternative<TransitiveRole>(axiom)) ++k;
    if (const auto* s = std::get_if<SubObjectPropertyOf>(&axiom); s && std::holds_alternative<Chain>(s->sub)) ++k;
  }
  const std::uint64_t factor = k > 0 ? k : 1;
  const bool large = p != 0 && (p > UINT64_MAX / factor || p * factor > 300000);
  return timeout_from_ms(large ? 3000 : 12000);
}

}  // namespace

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

// Without hypertableau clause sets in the prepared reasoner no run happens.
std::uint8_t hyper_pair_verdict(const PreparedReasoner&, ClassId, ClassId, Deadline) { return 3; }

PrecheckAnswer wedge_precheck(const InternalOntology& ir, bool top_is_bottom, bool inconsistent) {
  if (top_is_bottom || inconsistent) return PrecheckAnswer::Inconsistent;
  if (abox_saturation_clash(ir, precheck_budget(ir))) return PrecheckAnswer::Inconsistent;
  // The wedge run over the asserted facts is not built in yet.
  return has_assertion(ir.axioms) ? PrecheckAnswer::Unknown : PrecheckAnswer::Consistent;
}

PrecheckAnswer bounded_consistency(const InternalOntology&, const PreparedReasoner& prepared, Deadline deadline) {
  TableauAnswer answer = run_tableau_test(prepared, prepared.abox, {}, {}, deadline);
  if (!answer || !answer->has_value()) return PrecheckAnswer::Unknown;
  return **answer ? PrecheckAnswer::Consistent : PrecheckAnswer::Inconsistent;
}

ProbeAnswer run_consistency_probe(const InternalOntology&, const PreparedReasoner&,
                                  const std::vector<std::optional<std::uint32_t>>&,
                                  const tsl::robin_set<std::uint64_t>&, std::uint64_t, ClassifyStats&, bool) {
  return ProbeAnswer::Unavailable;
}

}  // namespace kelmon::reasoner
