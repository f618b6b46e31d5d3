#include "reasoner/kernel/hyper_runs.h"

#include <algorithm>
#include <limits>

#include "common/switches.h"
#include "reasoner/kernel/deepening_schedule.h"

namespace kelmon::reasoner {

namespace {

constexpr std::uint64_t kU64Max = std::numeric_limits<std::uint64_t>::max();

// On when set to anything but "0" or the empty value; unset is off.
bool on_when_set(SwitchId id) {
  auto v = switch_text(id);
  return v && !v->empty() && *v != "0";
}

std::vector<DlClause> subsumption_extra_clauses(const HyperClauseSet& set, std::uint32_t sub, std::uint32_t sup) {
  const std::uint32_t p = set.probe_id;
  std::vector<DlClause> extra = probe_seed_clauses(set, sub);
  if (auto it = set.negated_definitions.find(sup); it != set.negated_definitions.end())
    extra.push_back({{concept_atom(p, 0)}, it->second});
  else
    extra.push_back({{concept_atom(p, 0), concept_atom(sup, 0)}, {}});
  return extra;
}

std::uint64_t saturating_us(Clock::duration d) {
  if (d <= Clock::duration::zero()) return 0;
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(d).count();
  return static_cast<std::uint64_t>(us);
}

}  // namespace

std::vector<DlClause> probe_seed_clauses(const HyperClauseSet& set, std::uint32_t c) {
  const std::uint32_t p = set.probe_id;
  std::vector<DlClause> extra;
  extra.push_back({{concept_atom(p, 0)}, {concept_atom(c, 0)}});
  if (set.seed_subsumers && c < set.seed_subsumers->size())
    for (std::uint32_t s : (*set.seed_subsumers)[c]) extra.push_back({{concept_atom(p, 0)}, {concept_atom(s, 0)}});
  if (set.seed_links && c < set.seed_links->size())
    for (const auto& [role, target] : (*set.seed_links)[c])
      extra.push_back({{concept_atom(p, 0)}, {exists_atom(target, 0, role)}});
  if (set.loose_disjoint_pairs)
    for (auto [x, y] : *set.loose_disjoint_pairs) extra.push_back({{concept_atom(x, 0), concept_atom(y, 0)}, {}});
  return extra;
}

void apply_engine_knobs(HyperEngine& engine) {
  engine.incremental_fixpoint = switch_flag(SwitchId::HyperIncrementalFixpoint);
  engine.semantic_branching = on_when_set(SwitchId::SemanticBranching);
  if (switch_flag(SwitchId::HyperDoubleBlock)) engine.enable_double_blocking();
  engine.precise_card_deps = switch_flag(SwitchId::PreciseCardDeps);
  engine.mrv = switch_flag(SwitchId::MrvOrdering);
  engine.adaptive_budget = switch_flag(SwitchId::AdaptiveBudget);
}

HyperRun run_hyper(const HyperClauseSet& set, std::uint32_t sub, std::uint32_t sup, std::uint64_t budget,
                   Deadline deadline, std::vector<std::uint32_t>* model_root) {
  const std::vector<DlClause> extra = subsumption_extra_clauses(set, sub, sup);
  // The engine borrows its clause lists; both live until the run ends.
  std::vector<DlClause> all;
  HyperEngine engine = [&] {
    if (set.amortized) {
      HyperEngine e = HyperEngine::new_shared(set.clauses, set.probe_id, set.indexes, set.disjoint_pairs);
      // Before the extra clauses, so that their index expands role triggers too.
      if (set.hierarchy_in_index) e.role_hierarchy = set.role_hierarchy;
      e.set_extra_clauses(extra);
      return e;
    }
    all = set.clauses;
    all.insert(all.end(), extra.begin(), extra.end());
    HyperEngine e(all, set.probe_id);
    if (set.hierarchy_in_index) e = HyperEngine::with_role_hierarchy(std::move(e), set.role_hierarchy);
    return e;
  }();
  engine.nominal_range = set.nominals;
  apply_engine_knobs(engine);
  if (set.tautology_pairs) engine.skip_disjunctions = *set.tautology_pairs;
  if (set.seed_subsumers) engine.implied_subsumers = *set.seed_subsumers;
  if (set.lookahead) engine.lookahead = set.lookahead;
  if (on_when_set(SwitchId::ShadowDepProbe)) engine = HyperEngine::with_shadow_dep_probe(std::move(engine), true);
  const HyperOutcome outcome = engine.run(budget, deadline);
  const bool fit = outcome != HyperOutcome::Sat || !set.key_check || model_values_fit(*set.key_check, engine);
  if (model_root != nullptr) {
    model_root->clear();
    if (outcome == HyperOutcome::Sat && fit)
      if (auto root = engine.root_labels_containing(set.probe_id)) *model_root = std::move(*root);
  }
  return {outcome, engine.stats(), fit};
}

std::vector<std::uint64_t> hyper_id_schedule() {
  static const std::vector<std::uint64_t> kDefault{8, 32, 128, 512};
  const std::optional<std::string> text = switch_text(SwitchId::IdSchedule);
  if (!text) return kDefault;
  std::vector<std::uint64_t> schedule;
  U64ListReader reader{*text};
  while (auto budget = parse_u64_list_next(reader)) {
    if (!schedule.empty() && *budget <= schedule.back()) return kDefault;
    schedule.push_back(*budget);
  }
  if (reader.error || schedule.empty() || schedule.back() < 256) return kDefault;
  return schedule;
}

HyperVerdict run_hyper_iterative(const HyperClauseSet& set, std::uint32_t sub, std::uint32_t sup, Deadline deadline,
                                 std::vector<std::uint32_t>* model_root) {
  auto verdict_of = [](const HyperRun& run) {
    switch (run.outcome) {
      case HyperOutcome::Unsat: return HyperVerdict::Closed;
      case HyperOutcome::Sat: return run.values_fit ? HyperVerdict::Model : HyperVerdict::Untrusted;
      case HyperOutcome::Stalled: break;
    }
    return run.stats.stalled ? HyperVerdict::Diverged : HyperVerdict::Stalled;
  };
  if (!switch_flag(SwitchId::IterativeDeepening))
    return verdict_of(run_hyper(set, sub, sup, 256, deadline, model_root));

  const std::vector<std::uint64_t> schedule = hyper_id_schedule();
  const std::size_t last = schedule.size() - 1;
  const Instant start = Clock::now();
  Deadline shallow = deadline;
  if (const std::uint64_t ms = switch_number(SwitchId::IdShallowMs); ms != 0) {
    Clock::duration budget_time = std::chrono::milliseconds(std::min<std::uint64_t>(ms, kU64Max / 1'000'000'000));
    if (deadline) {
      const Clock::duration remaining = *deadline > start ? *deadline - start : Clock::duration::zero();
      budget_time = std::min(budget_time, remaining / 4);
    }
    shallow = start + budget_time;
  }
  const std::uint64_t waste_ms = switch_number(SwitchId::IdShallowWasteMs);
  const std::uint64_t threshold = waste_ms > kU64Max / 1000 ? kU64Max : waste_ms * 1000;
  const bool skipped = threshold != 0 && set.shallow_waste_us.load() >= threshold;

  std::size_t i = skipped ? last : 0;
  HyperRun run;
  while (true) {
    run = run_hyper(set, sub, sup, schedule[i], i == last ? deadline : shallow, model_root);
    if (run.outcome != HyperOutcome::Stalled || i == last) break;
    const Instant now = Clock::now();
    const bool shallow_passed = expired(shallow, now);
    // Stopped short of its budget, not by time nor by divergence: deeper budgets would stop the same way.
    if (run.stats.max_depth < schedule[i] && !shallow_passed && !run.stats.stalled) break;
    if (expired(deadline, now)) break;
    i = shallow_passed ? last : i + 1;
  }

  if (!skipped) {
    if (i != last && run.outcome != HyperOutcome::Stalled) {
      set.shallow_decided.fetch_add(1);
    } else {
      set.shallow_missed.fetch_add(1);
      Clock::duration spent = Clock::now() - start;
      if (shallow) spent = std::min(spent, *shallow - start);
      set.shallow_waste_us.fetch_add(saturating_us(spent));
    }
  }
  return verdict_of(run);
}

HyperEngine build_wedge_engine(const WedgeClauseSet& set) {
  HyperEngine engine = HyperEngine::new_with_abox(set.clauses, set.abox);
  engine = HyperEngine::with_role_hierarchy(std::move(engine), set.role_hierarchy);
  engine.nominal_range = {true, set.class_count, set.individual_count};
  apply_engine_knobs(engine);
  if (set.lookahead) engine.lookahead = set.lookahead;
  return engine;
}

std::uint64_t hyper_trust_sat_min_ms() { return switch_number(SwitchId::HyperTrustSatMinMs); }

}  // namespace kelmon::reasoner
