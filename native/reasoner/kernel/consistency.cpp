#include "reasoner/kernel/consistency.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "common/switches.h"
#include "reasoner/kernel/abox_check.h"
#include "reasoner/kernel/abox_saturation.h"
#include "reasoner/kernel/extension_pruning.h"
#include "reasoner/kernel/hyper_clause_set.h"
#include "reasoner/kernel/hyper_runs.h"
#include "reasoner/kernel/internal/clause_translation.h"
#include "reasoner/kernel/ontology_scans.h"
#include "reasoner/kernel/tableau_test.h"
#include "reasoner/kernel/wedge_order.h"

namespace kelmon::reasoner {

namespace {

// KELMON_TRACE set to any value, "0" and the empty value included.
bool trace_on() { return switch_text(SwitchId::Trace).has_value(); }

// ms milliseconds, capped far in the future instead of overflowing.
Clock::duration capped_ms(std::uint64_t ms) {
  constexpr std::uint64_t kCap = std::uint64_t{1} << 40;  // about 35 years
  return std::chrono::milliseconds(std::min(ms, kCap));
}

Instant in_ms(std::uint64_t ms) { return *deadline_after(Clock::now(), capped_ms(ms)); }

// The pre-check's budget: the switch (0 means no bound), else 3 s for big
// ABoxes with transitive roles or chains and 12 s otherwise.
std::optional<std::uint64_t> precheck_budget_ms(const InternalOntology& ir) {
  if (auto ms = inconsistency_budget_ms()) {
    if (*ms == 0) return std::nullopt;
    return *ms;
  }
  std::uint64_t p = 0, k = 0;
  for (const Axiom& axiom : ir.axioms) {
    if (std::holds_alternative<ObjectPropertyAssertion>(axiom)) ++p;
    else if (std::holds_alternative<TransitiveRole>(axiom)) ++k;
    else if (const auto* s = std::get_if<SubObjectPropertyOf>(&axiom); s && std::holds_alternative<Chain>(s->sub)) ++k;
  }
  const std::uint64_t factor = std::max<std::uint64_t>(k, 1);
  const bool big = p != 0 && (p > 300000 / factor || p * factor > 300000);
  return big ? 3000 : 12000;
}

// For a run whose verdict alone is read: disjunctions a model extension
// satisfies need no branch, and the individuals may take an order that suits
// the search. The classes a data-value key stands for keep their clauses:
// only the key axioms among them say which values exist.
void prepare_wedge_for_verdict(const Vocabulary& vocabulary, WedgeClauseSet& wedge) {
  if (!wedge.key_check) {
    const std::vector<bool> keys = dkey_class_flags(vocabulary);
    std::vector<std::uint32_t> kept;
    for (std::uint32_t c = 0; c < wedge.class_count; ++c)
      if (c >= keys.size() || keys[c]) kept.push_back(c);  // classes the clause set added are kept too
    drop_extension_satisfied_clauses(wedge.clauses, {wedge.class_count, wedge.individual_count, kept});
  }
  order_individuals_for_search(vocabulary, wedge);
}

Deadline deadline_for(std::optional<std::uint64_t> ms) {
  if (!ms) return std::nullopt;
  return in_ms(*ms);
}

// The stalled-wedge road: a tableau test bounded by the fall-through budget.
Result<KernelAnswer> bounded_fall_through(const PreparedReasoner& prepared, bool trace, Deadline request) {
  const std::uint64_t ms = consistency_fallback_ms();
  TestAnswer test = run_tableau_test(prepared, prepared.abox, {}, {}, earlier(in_ms(ms), request));
  if (!test) return std::unexpected(std::move(test.error()));
  if (*test) return KernelAnswer{**test, false, false, true};
  if (trace)
    std::fprintf(stderr,
                 "consistency: bounded tableau fall-through timed out (%llu ms) — reporting consistent (incomplete)\n",
                 static_cast<unsigned long long>(ms));
  return KernelAnswer{true, false, false, false};
}

// The wedge when prepared, then the tableau on every asserted fact; each run
// gets a deadline of its own, taken when it starts.
ConsistencyVerdict probe_engines(const PreparedReasoner& prepared, Timeout per_run, Deadline request) {
  if (const std::optional<WedgeClauseSet>& wedge = prepared.wedge) {
    HyperEngine engine = build_wedge_engine(*wedge);
    switch (engine.run(256, test_deadline(request, per_run))) {
      case HyperOutcome::Sat:
        if (model_trusted(*wedge, engine)) return ConsistencyVerdict::Consistent;
        break;
      case HyperOutcome::Unsat: return ConsistencyVerdict::Inconsistent;
      case HyperOutcome::Stalled: break;
    }
  }
  TestAnswer test = run_tableau_test(prepared, prepared.abox, {}, {}, test_deadline(request, per_run));
  if (!test || !*test) return ConsistencyVerdict::Unknown;  // an error only means undecided here
  return **test ? ConsistencyVerdict::Consistent : ConsistencyVerdict::Inconsistent;
}

}  // namespace

std::uint64_t consistency_fallback_ms() { return switch_number(SwitchId::ConsistencyFallbackMs); }
std::uint64_t consistency_probe_ms() { return switch_number(SwitchId::ClassifyConsistencyProbeMs); }
std::uint64_t probe_min_frac_permille() { return switch_number(SwitchId::ClassifyProbeMinFracPermille); }
std::optional<std::uint64_t> inconsistency_budget_ms() {
  return switch_number_if_set(SwitchId::ClassifyInconsistencyMs);
}

Result<KernelAnswer> check_consistency(InternalOntology ir, Deadline request) {
  if (abox_saturation_clash(ir, std::nullopt)) {
    if (trace_on()) std::fputs("abox_saturation: inconsistent\n", stderr);
    return KernelAnswer{false, true, false, true};
  }
  auto prepared = prepare_without_deadline(std::move(ir), std::nullopt);
  if (!prepared) return std::unexpected(std::move(prepared.error()));
  // This reasoner answers this one question: its wedge can be shaped for the verdict.
  if ((*prepared)->wedge) prepare_wedge_for_verdict((*prepared)->vocabulary, *(*prepared)->wedge);
  const PreparedReasoner& p = **prepared;

  if (const std::optional<AboxClash>& clash = p.abox_clash()) {
    if (trace_on()) std::fprintf(stderr, "abox_check: inconsistent — %s\n", debug_text(*clash).c_str());
    return KernelAnswer{false, false, false, true};
  }
  const bool trace = trace_on();
  const Deadline deadline = earlier(in_ms(consistency_fallback_ms()), request);

  const std::optional<WedgeClauseSet>& wedge = p.wedge;
  if (!wedge) {
    TestAnswer test = run_tableau_test(p, p.abox, {}, {}, request);
    if (!test) return std::unexpected(std::move(test.error()));
    return KernelAnswer{test->value_or(true), false, false, test->has_value()};
  }

  HyperEngine engine = build_wedge_engine(*wedge);
  switch (engine.run(256, deadline)) {
    case HyperOutcome::Sat:
      if (model_trusted(*wedge, engine)) {
        if (trace) std::fputs("consistency: wedge Sat — consistent (trusted)\n", stderr);
        return KernelAnswer{true, false, false, true};
      }
      // Some axiom has no clause: the model may violate it.
      if (trace) std::fputs("consistency: wedge Sat from an inexact clause set — bounded tableau fall-through\n", stderr);
      return bounded_fall_through(p, trace, request);
    case HyperOutcome::Unsat:
      if (trace) std::fputs("consistency: wedge Unsat — inconsistent\n", stderr);
      return KernelAnswer{false, false, false, true};
    case HyperOutcome::Stalled: break;
  }
  if (trace) std::fputs("consistency: wedge Stalled — bounded tableau fall-through\n", stderr);
  return bounded_fall_through(p, trace, request);
}

ConsistencyVerdict saturation_inconsistency_precheck(const InternalOntology& ir, bool top_is_bottom,
                                                     bool inconsistent) {
  if (top_is_bottom || inconsistent) return ConsistencyVerdict::Inconsistent;
  std::optional<std::uint64_t> budget = precheck_budget_ms(ir);
  Timeout timeout;
  if (budget) timeout = capped_ms(*budget);
  if (abox_saturation_clash(ir, timeout)) return ConsistencyVerdict::Inconsistent;
  return ConsistencyVerdict::Unknown;
}

bool wedge_precheck_runs(const InternalOntology& ir) {
  return switch_flag(SwitchId::ClassifyWedgeInconsistency) && switch_flag(SwitchId::WedgeConsistency) &&
         has_assertion(ir.axioms);
}

ConsistencyVerdict wedge_run_precheck(const InternalOntology& ir) {
  if (!wedge_precheck_runs(ir)) return ConsistencyVerdict::Unknown;
  const Deadline deadline = deadline_for(precheck_budget_ms(ir));
  WedgeClauseSet wedge = build_wedge_clause_set(ir);
  prepare_wedge_for_verdict(ir.vocabulary, wedge);
  HyperEngine engine = build_wedge_engine(wedge);
  switch (engine.run(256, deadline)) {
    case HyperOutcome::Unsat:
      if (trace_on()) std::fputs("classify: KB inconsistent (wedge Unsat)\n", stderr);
      return ConsistencyVerdict::Inconsistent;
    // A model proves consistency only when the clause set says everything.
    case HyperOutcome::Sat: return model_trusted(wedge, engine) ? ConsistencyVerdict::Consistent : ConsistencyVerdict::Unknown;
    case HyperOutcome::Stalled: break;
  }
  return ConsistencyVerdict::Unknown;
}

ConsistencyVerdict wedge_inconsistency_precheck(const InternalOntology& ir, bool top_is_bottom, bool inconsistent) {
  const ConsistencyVerdict first = saturation_inconsistency_precheck(ir, top_is_bottom, inconsistent);
  return first == ConsistencyVerdict::Inconsistent ? first : wedge_run_precheck(ir);
}

bool consistency_probe(const InternalOntology& ir, const PreparedReasoner& prepared,
                       const std::vector<std::optional<std::uint32_t>>& row_of,
                       const tsl::robin_set<std::uint64_t>& unsat_rows, std::uint64_t n, ClassifyStats& stats,
                       bool early) {
  if (!switch_flag(SwitchId::ClassifyConsistencyProbe) || stats.inconsistent != 0) return false;
  bool has_abox = false;
  if (switch_flag(SwitchId::ClassifyProbeOnIncomplete) && stats.timed_out_pairs != 0) {
    has_abox = has_assertion(ir.axioms);
    if (unsat_rows.empty() && !early && !has_abox) return false;
  } else if (unsat_rows.empty() && !early) {
    return false;
  }
  if (!unsat_rows.empty()) {
    // An individual asserted into a class found unsatisfiable.
    for (const Axiom& axiom : ir.axioms) {
      const auto* a = std::get_if<ClassAssertion>(&axiom);
      if (a == nullptr) continue;
      const auto* c = std::get_if<Atomic>(&ir.concepts.get(a->concept_id));
      if (c == nullptr || c->cls.v >= row_of.size() || !row_of[c->cls.v]) continue;
      if (unsat_rows.contains(*row_of[c->cls.v])) return true;
    }
  }
  if (!early && !has_abox) {
    const std::uint64_t share = static_cast<std::uint64_t>(unsat_rows.size()) * 1000;
    if (share < probe_min_frac_permille() * std::max<std::uint64_t>(n, 1)) return false;
  }
  return consistency_probe_within(prepared, capped_ms(consistency_probe_ms()), std::nullopt, stats) ==
         ConsistencyVerdict::Inconsistent;
}

ConsistencyVerdict consistency_probe_within(const PreparedReasoner& prepared, Timeout per_run, Deadline request,
                                            ClassifyStats& stats) {
  stats.probe_ran = 1;
  return probe_engines(prepared, per_run, request);
}

}  // namespace kelmon::reasoner
