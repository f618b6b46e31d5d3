#include "reasoner/individuals/pseudo_model.h"

#include <algorithm>
#include <chrono>

#include "common/switches.h"
#include "reasoner/kernel/hyper_runs.h"

namespace kelmon::reasoner {

Result<std::optional<PseudoModel>> build_pseudo_model(const PreparedReasoner& prepared) {
  if (!switch_flag(SwitchId::PseudoModel)) return std::nullopt;
  const std::uint64_t witness_ms = switch_number(SwitchId::PseudoModelWitnessMs);
  const Deadline deadline = deadline_after(Clock::now(), Clock::duration(std::chrono::milliseconds(
                                                             std::min<std::uint64_t>(witness_ms, std::uint64_t{1} << 40))));
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
