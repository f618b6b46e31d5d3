#include "reasoner/classify/preamble.h"

#include <chrono>
#include <cstdio>
#include <system_error>
#include <tuple>
#include <utility>

#include "common/switches.h"
#include "reasoner/fragment.h"
#include "reasoner/kernel/abox_check.h"
#include "reasoner/kernel/ontology_scans.h"

namespace kelmon::reasoner {

bool classify_tracing() { return switch_text(SwitchId::Trace).has_value(); }

namespace {

bool shortcut_applies(const InternalOntology& ir) {
  if (in_saturation_fragment(ir, false)) return true;
  if (switch_flag(SwitchId::HornShortcircuit) && is_horn(ir, false)) return true;
  return switch_flag(SwitchId::ClassifyTboxFragment) && horn_shortcircuit_applies(ir);
}

}  // namespace

PreambleOutcome classification_preamble(const InternalOntology& ir, const ReportableClasses& reportable,
                                        const RowByIri& row_by_iri, const sat::ElResult& saturation) {
  PreambleOutcome out;
  auto inconsistent = [&] {
    out.answer = inconsistent_classification(reportable.iris, row_by_iri, fragment_kind(ir));
    return std::move(out);
  };
  const bool shortcut = shortcut_applies(ir);
  if (switch_flag(SwitchId::ClassifyInconsistency)) {
    out.precheck = saturation_inconsistency_precheck(ir, saturation.top_is_bottom, saturation.inconsistent);
    if (out.precheck != ConsistencyVerdict::Inconsistent && !shortcut) {
      out.wedge_pending = wedge_precheck_runs(ir);
      return out;
    }
    if (out.precheck != ConsistencyVerdict::Inconsistent) out.precheck = wedge_run_precheck(ir);
    if (out.precheck == ConsistencyVerdict::Inconsistent) {
      if (classify_tracing()) std::fprintf(stderr, "classify: KB inconsistent (pre-check)\n");
      return inconsistent();
    }
  }
  if (!shortcut) return out;
  if (switch_flag(SwitchId::AboxCheck) && has_assertion(ir.axioms)) {
    AboxCheckData data = build_abox_check_input(ir);
    if (auto clash = abox_check(data.input(saturation))) {
      if (classify_tracing())
        std::fprintf(stderr, "abox_check: inconsistent \u2014 %s\n", debug_text(*clash).c_str());
      return inconsistent();
    }
  }
  out.answer = taxonomy_from_saturation(reportable, saturation, row_by_iri, fragment_kind(ir));
  return out;
}

void PendingPrecheck::start(const InternalOntology& ir) {
  auto run = [&ir] {
    const Instant t = Clock::now();
    const ConsistencyVerdict v = wedge_run_precheck(ir);
    return std::pair{v, elapsed_ms(t)};
  };
  try {
    pending_ = std::async(std::launch::async, run);
  } catch (const std::system_error&) {
    // No thread to be had: the run takes its turn on this one.
    std::tie(settled_, run_ms_) = run();
  }
}

ConsistencyVerdict PendingPrecheck::verdict() {
  if (pending_.valid()) {
    std::tie(settled_, run_ms_) = pending_.get();
    if (settled_ == ConsistencyVerdict::Inconsistent && classify_tracing())
      std::fprintf(stderr, "classify: KB inconsistent (pre-check)\n");
  }
  return settled_;
}

bool PendingPrecheck::proved_inconsistent() {
  if (pending_.valid() && pending_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return false;
  return verdict() == ConsistencyVerdict::Inconsistent;
}

}  // namespace kelmon::reasoner
