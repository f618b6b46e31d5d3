#include "reasoner/explanation/oracle_mode.h"

#include <atomic>
#include <cstdio>

#include "common/switches.h"
#include "reasoner/explanation/subset_ontology.h"

namespace kelmon::explain {

namespace {
thread_local std::uint8_t tl_mode = 0;
std::atomic<std::uint64_t> g_trace_calls{0};
}  // namespace

std::uint8_t saturation_oracle_mode() { return tl_mode; }
void set_saturation_oracle_mode(std::uint8_t mode) { tl_mode = mode; }

std::uint64_t next_justify_trace_call() { return g_trace_calls.fetch_add(1, std::memory_order_relaxed) + 1; }

std::uint8_t enable_saturation_oracle(EntailmentOracle& oracle, const std::vector<owl::Axiom>& non_logical,
                                      const std::vector<owl::Axiom>& logical, const JustifyQuery& query) {
  if (!switch_flag(SwitchId::JustifySatOracle) || query.kind != QueryKind::Inconsistent)
    return kOracleModeUnchanged;
  if (!oracle.saturation_finds_inconsistency(build_subset_ontology(non_logical, logical)))
    return kOracleModeUnchanged;
  if (switch_flag(SwitchId::JustifyTrace))
    std::fputs("[justify-trace] saturation oracle ENABLED (full inconsistency is saturation-detected)\n", stderr);
  const std::uint8_t previous = tl_mode;
  tl_mode = 1;
  return previous;
}

}  // namespace kelmon::explain
