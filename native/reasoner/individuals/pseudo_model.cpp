#include "reasoner/individuals/pseudo_model.h"

#include "common/switches.h"
#include "reasoner/individuals/wedge_runs.h"
#include "reasoner/kernel/hyper_runs.h"

namespace kelmon::reasoner {

Result<std::optional<PseudoModel>> build_pseudo_model(const PreparedReasoner& prepared) {
  if (!switch_flag(SwitchId::PseudoModel)) return std::nullopt;
  const Deadline deadline = wedge_witness_deadline();
  if (!prepared.wedge) return std::nullopt;
  const WedgeClauseSet& wedge = *prepared.wedge;
  HyperEngine engine = build_wedge_engine(wedge);
  switch (engine.run(256, deadline)) {
    case HyperOutcome::Sat: break;
    case HyperOutcome::Unsat: return std::unexpected(ReasonerError(Inconsistent{}));
    case HyperOutcome::Stalled: return std::nullopt;
  }
  if (!model_trusted(wedge, engine)) return std::nullopt;
  PseudoModel model(wedge.individual_count);
  for (std::uint32_t i = 0; i < wedge.individual_count; ++i) {
    if (auto labels = engine.labels_of(i)) model[i].possible.insert(labels->begin(), labels->end());
    const std::vector<std::uint32_t> certain = engine.certain_labels_of(i);
    model[i].certain.insert(certain.begin(), certain.end());
  }
  return model;
}

}  // namespace kelmon::reasoner
