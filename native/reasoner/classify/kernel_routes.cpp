#include "reasoner/classify/kernel_routes.h"

#include <algorithm>

#include "common/switches.h"
#include "reasoner/kernel/abox_saturation.h"
#include "reasoner/kernel/ontology_scans.h"

namespace kelmon::reasoner {

namespace {

TableauAnswer not_built() { return std::unexpected(ReasonerError(NoVerdict{})); }

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

// The tableau test runner is not part of this build yet: every tableau
// question is unavailable, and its callers count the question undecided.
bool tableau_tests_available() { return false; }

TableauAnswer tableau_class_test(const PreparedReasoner&, ClassId, Deadline) { return not_built(); }

TableauAnswer tableau_pair_verify_test(const PreparedReasoner&, ClassId, ClassId, Deadline) { return not_built(); }

TableauAnswer tableau_disjoint_pair_test(const PreparedReasoner&, ClassId, ClassId, Deadline) { return not_built(); }

Timeout unsat_probe_timeout(Timeout per_pair_timeout) {
  auto cap = switch_number_if_set(SwitchId::UnsatProbeMs);
  if (!cap || *cap == 0) return per_pair_timeout;
  Timeout capped = timeout_from_ms(*cap);
  if (!per_pair_timeout) return capped;
  return std::min(*per_pair_timeout, *capped);
}

// Without hypertableau clause sets in the prepared reasoner no run happens.
std::uint8_t hyper_pair_verdict(const PreparedReasoner&, ClassId, ClassId, Deadline) { return 3; }

PrecheckAnswer wedge_precheck(const InternalOntology& ir, bool top_is_bottom, bool inconsistent) {
  if (top_is_bottom || inconsistent) return PrecheckAnswer::Inconsistent;
  if (abox_saturation_clash(ir, precheck_budget(ir))) return PrecheckAnswer::Inconsistent;
  // The wedge run over the asserted facts is not built in yet.
  return has_assertion(ir.axioms) ? PrecheckAnswer::Unknown : PrecheckAnswer::Consistent;
}

// Needs the wedge run or the tableau in consistency form, neither built in yet.
PrecheckAnswer bounded_consistency(const InternalOntology&, const PreparedReasoner&, Deadline) {
  return PrecheckAnswer::Unknown;
}

ProbeAnswer run_consistency_probe(const InternalOntology&, const PreparedReasoner&,
                                  const std::vector<std::optional<std::uint32_t>>&,
                                  const tsl::robin_set<std::uint64_t>&, std::uint64_t, ClassifyStats&, bool) {
  return ProbeAnswer::Unavailable;
}

}  // namespace kelmon::reasoner
