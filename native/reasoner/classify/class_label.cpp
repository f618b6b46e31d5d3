#include "reasoner/classify/class_label.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "common/switches.h"
#include "reasoner/kernel/hyper_runs.h"

namespace kelmon::reasoner {

bool label_entails(const ClassLabel& label, std::uint32_t d) {
  const auto* sat = std::get_if<LabelSat>(&label);
  if (sat == nullptr) return false;
  return sat->entailed ? sat->label.contains(d) : std::binary_search(sat->proven.begin(), sat->proven.end(), d);
}

std::string_view label_name(const ClassLabel& label) {
  if (std::holds_alternative<LabelSat>(label)) return "sat";
  if (std::holds_alternative<LabelUnsat>(label)) return "unsat";
  return "noverdict";
}

namespace {

std::atomic<bool> full_rebuild_marked{false};
std::atomic<bool> engaged_marked{false};

// Prints the mode line once per process, however many workers get here.
void mark_mode_once(std::atomic<bool>& flag, const char* line) {
  const auto v = switch_text(SwitchId::LabelAmortizeMark);
  if (!v || v->empty() || *v == "0") return;
  bool expected = false;
  if (flag.compare_exchange_strong(expected, true)) std::fputs(line, stderr);
}

// The definitions whose conjuncts the label holds, in entry order; the
// engine then checks their existentials against the root's edges.
std::vector<DefinitionPattern> definition_patterns(const HyperClauseSet& set,
                                                   const tsl::robin_set<std::uint32_t>& label) {
  std::vector<DefinitionPattern> patterns;
  for (const DefinitionEntry& e : set.definition_entries) {
    if (!std::all_of(e.conjuncts.begin(), e.conjuncts.end(), [&](std::uint32_t a) { return label.contains(a); }))
      continue;
    DefinitionPattern p;
    p.concepts = e.conjuncts;
    for (const auto& [role, filler] : e.existentials) p.edges.push_back({role.inverse, role.id.v, filler});
    p.id = e.cls;
    patterns.push_back(std::move(p));
  }
  return patterns;
}

// Engines borrow their clause lists: `all` and `extra` must outlive the run.
HyperEngine label_engine(const HyperClauseSet& set, const std::vector<DlClause>& extra, std::vector<DlClause>& all) {
  if (!switch_flag(SwitchId::ClassifyLabelsAmortize)) {
    mark_mode_once(full_rebuild_marked, "# label-amortize: full-rebuild (per-class HyperEngine::new)\n");
    all = set.clauses;
    all.insert(all.end(), extra.begin(), extra.end());
    if (!set.seed_subsumers && !set.seed_links && !set.loose_disjoint_pairs) {
      // The only extra clause P → C sits where the reserved probe trigger points.
      HyperEngine e = HyperEngine::new_shared(all, set.probe_id, set.indexes, set.disjoint_pairs);
      if (set.hierarchy_in_index) e.role_hierarchy = set.role_hierarchy;
      return e;
    }
    HyperEngine e(all, set.probe_id);
    if (set.hierarchy_in_index) e = HyperEngine::with_role_hierarchy(std::move(e), set.role_hierarchy);
    return e;
  }
  mark_mode_once(engaged_marked, "# label-amortize: engaged (per-class ClauseIndexes delta)\n");
  HyperEngine e = HyperEngine::new_shared(set.clauses, set.probe_id, set.indexes, set.disjoint_pairs);
  // Before the extra clauses, so that their index expands role triggers too.
  if (set.hierarchy_in_index) e.role_hierarchy = set.role_hierarchy;
  e.set_extra_clauses(extra);
  return e;
}

}  // namespace

ClassLabel compute_class_label(const PreparedReasoner& prepared, ClassId c, Deadline deadline) {
  const HyperClauseSet* hyper = prepared.hyper_set();
  if (hyper == nullptr) return LabelNoVerdict{};
  const HyperClauseSet& set = *hyper;
  const std::vector<DlClause> extra = probe_seed_clauses(set, c.v);
  std::vector<DlClause> all;
  HyperEngine engine = label_engine(set, extra, all);
  engine.nominal_range = set.nominals;
  apply_engine_knobs(engine);
  if (set.tautology_pairs) engine.skip_disjunctions = *set.tautology_pairs;
  if (set.seed_subsumers) engine.implied_subsumers = *set.seed_subsumers;
  if (set.lookahead) engine.lookahead = set.lookahead;

  switch (engine.run(256, deadline)) {
    case HyperOutcome::Unsat: return LabelUnsat{};
    case HyperOutcome::Stalled: return LabelNoVerdict{expired(deadline)};
    case HyperOutcome::Sat: break;
  }
  // A model of clauses that leave part of the ontology out need not be a
  // model of the ontology: its root label would refute true subsumers.
  if (!model_trusted(set, engine)) return LabelNoVerdict{};
  std::optional<std::vector<std::uint32_t>> root = engine.root_labels_containing(set.probe_id);
  if (!root) return LabelNoVerdict{};
  LabelSat sat;
  sat.label.insert(root->begin(), root->end());
  // A definition met in one model is entailed only when the run never
  // branched: then every label and edge of the root follows from C alone.
  const HyperStats stats = engine.stats();
  const bool deterministic = stats.branches == 0 && stats.disjunct_branches == 0 && stats.merge_branches == 0;
  sat.entailed = deterministic;
  if (!deterministic) {
    sat.proven = engine.certain_labels_of(0);
    std::sort(sat.proven.begin(), sat.proven.end());
  }
  if (switch_flag(SwitchId::ClassifyBackfold) && deterministic && !set.definition_entries.empty())
    sat.backfold = engine.matching_definitions(0, definition_patterns(set, sat.label));
  return sat;
}

}  // namespace kelmon::reasoner
