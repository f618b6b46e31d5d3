#include "reasoner/individuals/pseudo_model.h"

#include <chrono>

#include "common/switches.h"
#include "reasoner/kernel/hyper_clause_set.h"
#include "reasoner/kernel/hyper_runs.h"
#include "reasoner/kernel/ontology_scans.h"

namespace kelmon::reasoner {

Result<std::optional<PseudoModel>> build_pseudo_model(const InternalOntology& ir) {
  if (!switch_flag(SwitchId::PseudoModel)) return std::nullopt;
  const std::uint64_t witness_ms = switch_number(SwitchId::PseudoModelWitnessMs);
  const Deadline deadline = deadline_after(Clock::now(), Clock::duration(std::chrono::milliseconds(
                                                             std::min<std::uint64_t>(witness_ms, std::uint64_t{1} << 40))));
  if (!switch_flag(SwitchId::WedgeConsistency) || !has_assertion(ir.axioms)) return std::nullopt;
  const WedgeClauseSet wedge = build_wedge_clause_set(ir);
  HyperEngine engine = build_wedge_engine(wedge);
  switch (engine.run(256, deadline)) {
    case HyperOutcome::Sat: break;
    case HyperOutcome::Unsat: return std::unexpected(ReasonerError(Inconsistent{}));
    case HyperOutcome::Stalled: return std::nullopt;
  }
  if (!wedge.exact) return std::nullopt;
  PseudoModel model(wedge.individual_count);
  for (std::uint32_t i = 0; i < wedge.individual_count; ++i) {
    if (auto labels = engine.labels_of(i)) model[i].insert(labels->begin(), labels->end());
  }
  return model;
}

}  // namespace kelmon::reasoner
