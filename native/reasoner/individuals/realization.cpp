#include "reasoner/individuals/realization.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>

#include "common/invariant.h"
#include "core/convert/class_expression.h"
#include "core/data/dkey_encode.h"
#include "reasoner/classify/classify_driver.h"
#include "reasoner/classify/taxonomy.h"
#include "reasoner/individuals/internal/saturation_inconsistency.h"
#include "reasoner/individuals/internal/told_types.h"
#include "reasoner/individuals/pseudo_model.h"
#include "reasoner/individuals/wedge_runs.h"
#include "reasoner/kernel/abox_saturation.h"
#include "reasoner/kernel/parallel_loop.h"

namespace kelmon::reasoner {

namespace {

constexpr std::uint64_t kU32Limit = std::uint64_t{std::numeric_limits<std::uint32_t>::max()} + 1;

bool is_anonymous(std::string_view iri) { return iri.starts_with(kAnonIndividualPrefix); }
bool is_dkey(std::string_view iri) { return iri.starts_with(dkey_prefix); }

bool is_unsat_class(const Classification& classification, std::string_view iri) {
  auto row = classification.row_of(iri);
  return row && classification.is_unsat_row(*row);
}

bool inconsistent_tbox(const InternalOntology& ir) {
  for (const Axiom& axiom : ir.axioms) {
    const auto* s = std::get_if<SubClassOf>(&axiom);
    if (s != nullptr && std::holds_alternative<Top>(ir.concepts.get(s->sub)) &&
        std::holds_alternative<Bottom>(ir.concepts.get(s->sup)))
      return true;
  }
  return false;
}

Result<Realization> inconsistent() { return std::unexpected(ReasonerError(Inconsistent{})); }

void add_entry(Realization& out, std::string iri, std::vector<std::string> types, std::vector<std::string> specific) {
  out.types.insert_or_assign(iri, std::move(types));
  out.most_specific.insert_or_assign(iri, std::move(specific));
  out.individuals.push_back(std::move(iri));
}

Result<Realization> realize_by_saturation(const InternalOntology& ir) {
  const Classification classification = classify_saturation_only(ir);
  if (classification.stats_ref().inconsistent != 0) return inconsistent();
  const sat::AboxElResult abox = sat::el_saturate_abox(ir);
  if (individuals::saturation_inconsistent(abox)) return inconsistent();

  const Namespace<ClassId>& classes = ir.vocabulary.classes;
  const Namespace<IndividualId>& individuals = ir.vocabulary.individuals;
  invariant(individuals.size() < kU32Limit, "individual count fits in u32");
  // Ids of classes that may be reported: neither data-value keys nor unsatisfiable.
  std::vector<bool> reportable(classes.size());
  for (std::uint32_t c = 0; c < classes.size(); ++c) {
    const std::string_view iri = classes.name(ClassId{c});
    reportable[c] = !is_dkey(iri) && !is_unsat_class(classification, iri);
  }

  Realization out;
  std::vector<std::uint32_t> row;
  for (std::uint32_t k = 0; k < individuals.size(); ++k) {
    const std::string_view iri = individuals.name(IndividualId{k});
    auto id = abox.individual_ids.find(k);
    if (is_anonymous(iri)) continue;
    std::vector<std::string> types;
    if (id != abox.individual_ids.end()) {
      abox.result.subsumers.row_into(id->second, row);
      for (std::uint32_t c : row) {
        if (c < reportable.size() && reportable[c]) types.emplace_back(classes.name(ClassId{c}));
      }
    }
    std::vector<std::string> specific = most_specific_filter(types, classification);
    add_entry(out, std::string(iri), std::move(types), std::move(specific));
  }
  return out;
}

struct TaskResult {
  std::vector<std::string> positives;
  std::vector<std::string> most_specific;
  bool timed_out = false;
};

// What every tableau task reads; shared read-only by the workers.
struct TableauShared {
  const InternalOntology& ir;
  const sat::ElResult& saturation;
  const PreparedReasoner& prepared;
  const Classification& classification;
  const std::vector<std::pair<ClassId, std::string_view>>& candidates;
  const std::vector<std::vector<ClassId>>& told;
  const std::optional<PseudoModel>& pseudo_model;
  std::optional<std::uint64_t> timeout_ms;
  const StopFlag& stop;
};

// Narrows every label of the pseudo model to what is left to test: classes
// proven by the ABox saturation or by wedge runs join `certain`, classes
// refuted by further wedge models leave `possible`. Bounded like the pseudo
// model's own run.
void refine_pseudo_model(const InternalOntology& ir, const TableauShared& s, PseudoModel& model) {
  if (!s.prepared.wedge) return;
  const Deadline deadline = wedge_witness_deadline();
  const WedgeClauseSet& wedge = *s.prepared.wedge;
  const std::vector<std::vector<std::uint32_t>> fixed = deterministic_labels(wedge, deadline);
  // Sound on every ontology: a class the saturation puts on an individual is entailed.
  const sat::AboxElResult abox = sat::el_saturate_abox(ir);
  static const std::vector<ClassId> kNone;
  std::vector<OpenPair> open;
  for (std::uint32_t i = 0; i < model.size(); ++i) {
    PseudoLabel& label = model[i];
    const auto id = abox.individual_ids.find(i);
    const std::vector<ClassId>& told = i < s.told.size() ? s.told[i] : kNone;
    for (const auto& [cls, iri] : s.candidates) {
      if (!label.possible.contains(cls.v) || label.certain.contains(cls.v)) continue;
      if ((i < fixed.size() && std::binary_search(fixed[i].begin(), fixed[i].end(), cls.v)) ||
          (id != abox.individual_ids.end() && abox.result.subsumers.contains(id->second, cls.v)))
        label.certain.insert(cls.v);
      else if (!individuals::told_entails(told, s.saturation, cls))
        open.push_back({i, cls.v});
    }
  }
  const SettledPairs settled = settle_open_pairs(wedge, open, deadline);
  for (const OpenPair& p : open) model[p.individual].possible.erase(p.cls);
  for (const OpenPair& p : settled.entailed) {
    model[p.individual].possible.insert(p.cls);
    model[p.individual].certain.insert(p.cls);
  }
  for (const OpenPair& p : settled.open) model[p.individual].possible.insert(p.cls);
}

Result<TaskResult> realize_individual_task(const TableauShared& s, std::uint32_t i) {
  const PseudoLabel* label = nullptr;
  if (s.pseudo_model && i < s.pseudo_model->size()) label = &(*s.pseudo_model)[i];
  const CandidateSet* candidate_set = label != nullptr ? &label->possible : nullptr;
  static const std::vector<ClassId> kNone;
  const std::vector<ClassId>& told = i < s.told.size() ? s.told[i] : kNone;
  TaskResult out;
  for (const auto& [cls, iri] : s.candidates) {
    // Another task failed: this result would be dropped anyway.
    if (s.stop.is_set()) return out;
    if (label != nullptr && label->certain.contains(cls.v)) {
      out.positives.emplace_back(iri);
      continue;
    }
    const Deadline deadline = individuals::instance_test_deadline(s.timeout_ms);
    auto answer = individuals::test_instance_told(told, s.saturation, s.prepared, cls, IndividualId{i}, deadline,
                                                  candidate_set);
    if (!answer) return std::unexpected(std::move(answer.error()));
    if (answer->is_instance) out.positives.emplace_back(iri);
    out.timed_out = out.timed_out || answer->timed_out;
  }
  out.most_specific = most_specific_filter(out.positives, s.classification);
  return out;
}

Result<Realization> realize_by_tableau(const InternalOntology& ir) {
  const std::optional<std::uint64_t> timeout_ms = realize_pair_timeout_ms();
  auto classified = classify_internal(ir, timeout_from_ms(timeout_ms), std::nullopt);
  if (!classified) return std::unexpected(std::move(classified.error()));
  const Classification& classification = *classified;
  if (classification.stats_ref().inconsistent != 0) return inconsistent();

  const Namespace<ClassId>& classes = ir.vocabulary.classes;
  invariant(classes.size() < kU32Limit, "class count fits in u32");
  std::vector<std::pair<ClassId, std::string_view>> candidates;
  for (std::uint32_t c = 0; c < classes.size(); ++c) {
    const std::string_view iri = classes.name(ClassId{c});
    if (!is_dkey(iri) && !is_unsat_class(classification, iri)) candidates.emplace_back(ClassId{c}, iri);
  }

  const sat::ElResult saturation = sat::el_saturate_from_env(ir);
  auto prepared = prepare_without_deadline(ir, std::nullopt);
  if (!prepared) return std::unexpected(std::move(prepared.error()));
  auto pseudo_model = build_pseudo_model(**prepared);
  if (!pseudo_model) return std::unexpected(std::move(pseudo_model.error()));
  const std::vector<std::vector<ClassId>> told = individuals::told_type_table(ir);

  const Namespace<IndividualId>& individuals = ir.vocabulary.individuals;
  invariant(individuals.size() < kU32Limit, "individual count fits in u32");
  const std::size_t n = individuals.size();
  std::vector<std::optional<TaskResult>> results(n);
  StopFlag stop;
  const TableauShared shared{ir, saturation, **prepared, classification, candidates, told, *pseudo_model,
                             timeout_ms, stop};
  if (pseudo_model->has_value()) refine_pseudo_model(ir, shared, **pseudo_model);
  auto error = parallel_first_error(
      n, stop, [&](std::size_t i) { return realize_individual_task(shared, static_cast<std::uint32_t>(i)); },
      [&](std::size_t i, TaskResult&& r) { results[i] = std::move(r); });
  if (error) return std::unexpected(std::move(*error));

  Realization out;
  for (std::uint32_t i = 0; i < n; ++i) {
    const std::string_view iri = individuals.name(IndividualId{i});
    if (is_anonymous(iri)) continue;
    invariant(results[i].has_value(), "every realization task finished");
    TaskResult& r = *results[i];
    out.any_timed_out = out.any_timed_out || r.timed_out;
    add_entry(out, std::string(iri), std::move(r.positives), std::move(r.most_specific));
  }
  out.pseudo_model_used = pseudo_model->has_value();
  return out;
}

}  // namespace

const std::vector<std::string>& Realization::types_of(std::string_view iri) const {
  static const std::vector<std::string> kEmpty;
  auto it = types.find(std::string(iri));
  return it == types.end() ? kEmpty : it->second;
}

const std::vector<std::string>& Realization::most_specific_types(std::string_view iri) const {
  static const std::vector<std::string> kEmpty;
  auto it = most_specific.find(std::string(iri));
  return it == most_specific.end() ? kEmpty : it->second;
}

std::vector<std::string> most_specific_filter(const std::vector<std::string>& types,
                                              const Classification& classification) {
  std::vector<std::optional<std::uint64_t>> rows;
  rows.reserve(types.size());
  for (const std::string& t : types) rows.push_back(classification.row_of(t));
  std::vector<std::string> out;
  for (std::size_t t = 0; t < types.size(); ++t) {
    bool below = false;
    for (std::size_t u = 0; rows[t] && u < types.size() && !below; ++u) {
      below = rows[u] && types[u] != types[t] && classification.is_subclass_row(*rows[u], *rows[t]) &&
              !classification.is_subclass_row(*rows[t], *rows[u]);
    }
    if (!below) out.push_back(types[t]);
  }
  return out;
}

Result<Realization> realize_internal(const InternalOntology& ir) {
  if (saturate_abox(ir, std::nullopt).inconsistent) return inconsistent();
  if (inconsistent_tbox(ir)) return inconsistent();
  return use_saturation_for_realize(ir) ? realize_by_saturation(ir) : realize_by_tableau(ir);
}

}  // namespace kelmon::reasoner
