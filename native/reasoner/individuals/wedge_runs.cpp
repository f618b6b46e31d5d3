#include "reasoner/individuals/wedge_runs.h"

#include <algorithm>
#include <chrono>

#include "common/switches.h"
#include "reasoner/kernel/hyper_runs.h"

namespace kelmon::reasoner {

namespace {

constexpr std::uint64_t kBudget = 256;

// {a}(x) ∧ C(x) → ⊥ for every pair (a, C).
std::vector<DlClause> keep_out_clauses(const WedgeClauseSet& wedge, const std::vector<OpenPair>& pairs) {
  std::vector<DlClause> out(pairs.size());
  for (std::size_t k = 0; k < pairs.size(); ++k) {
    out[k].body.push_back(concept_atom(wedge.class_count + pairs[k].individual, 0));
    out[k].body.push_back(concept_atom(pairs[k].cls, 0));
  }
  return out;
}

// The same clauses with the disjuncts of every head in reverse order, so a
// run meets a different model first.
WedgeClauseSet reversed_disjunctions(const WedgeClauseSet& wedge) {
  WedgeClauseSet out = wedge;
  for (DlClause& c : out.clauses)
    if (c.head.size() > 1) std::reverse(c.head.begin(), c.head.end());
  return out;
}

Deadline earlier(Deadline a, Deadline b) {
  if (!a) return b;
  if (!b) return a;
  return std::min(*a, *b);
}

class PairSettler {
 public:
  PairSettler(const WedgeClauseSet& wedge, std::vector<OpenPair> open, Deadline deadline)
      : wedge_(wedge), open_(std::move(open)), state_(open_.size(), State::Open), deadline_(deadline) {
    std::sort(open_.begin(), open_.end());
  }

  SettledPairs run() {
    HyperEngine first = build_wedge_engine(wedge_);
    const auto start = Clock::now();
    if (first.run(kBudget, deadline_) == HyperOutcome::Sat && model_trusted(wedge_, first)) refute_missing(first);
    // A group run that takes much longer than finding a model is likely to thrash.
    group_time_ = std::max<Clock::duration>(4 * (Clock::now() - start), std::chrono::milliseconds(50));
    std::vector<std::vector<std::uint32_t>> groups(1);
    for (std::uint32_t k = 0; k < open_.size(); ++k) groups[0].push_back(k);
    while (!groups.empty() && !expired(deadline_)) {
      std::vector<std::uint32_t> group = std::move(groups.back());
      groups.pop_back();
      std::erase_if(group, [&](std::uint32_t k) { return state_[k] != State::Open; });
      if (!group.empty()) settle_group(std::move(group), groups);
    }
    SettledPairs out;
    for (std::uint32_t k = 0; k < open_.size(); ++k) {
      if (state_[k] == State::Entailed) out.entailed.push_back(open_[k]);
      if (state_[k] == State::Open || state_[k] == State::Stuck) out.open.push_back(open_[k]);
    }
    return out;
  }

 private:
  enum class State : std::uint8_t { Open, Refuted, Entailed, Stuck };

  // A model of the ontology: every open pair whose class it leaves off the individual is refuted.
  void refute_missing(const HyperEngine& engine) {
    std::optional<std::vector<std::uint32_t>> labels;
    std::uint32_t at = 0;
    for (std::uint32_t k = 0; k < open_.size(); ++k) {
      if (k == 0 || open_[k].individual != at) {
        at = open_[k].individual;
        labels = engine.labels_of(at);
      }
      if (state_[k] == State::Open && labels && !std::binary_search(labels->begin(), labels->end(), open_[k].cls))
        state_[k] = State::Refuted;
    }
  }

  void settle_group(std::vector<std::uint32_t> group, std::vector<std::vector<std::uint32_t>>& groups) {
    std::vector<OpenPair> pairs;
    for (std::uint32_t k : group) pairs.push_back(open_[k]);
    const std::vector<DlClause> extra = keep_out_clauses(wedge_, pairs);
    HyperEngine engine = build_wedge_engine(wedge_);
    engine.set_extra_clauses(extra);
    const bool single = group.size() == 1;
    const HyperOutcome outcome =
        engine.run(kBudget, single ? deadline_ : earlier(deadline_, deadline_after(Clock::now(), group_time_)));
    if (outcome == HyperOutcome::Sat) {
      // A model whose data values do not fit its keys is no model: it refutes nothing.
      if (model_trusted(wedge_, engine)) refute_missing(engine);
      // A model that breaks a keep-out clause would refute nothing of it: trust no more of this group.
      for (std::uint32_t k : group)
        if (state_[k] == State::Open) state_[k] = State::Stuck;
      return;
    }
    if (single) {
      state_[group[0]] = outcome == HyperOutcome::Unsat ? State::Entailed : State::Stuck;
      return;
    }
    // The group as a whole closed (or took too long): some of its pairs may still have models apart.
    const auto half = static_cast<std::ptrdiff_t>(group.size() / 2);
    groups.emplace_back(group.begin() + half, group.end());
    groups.emplace_back(group.begin(), group.begin() + half);
  }

  const WedgeClauseSet& wedge_;
  std::vector<OpenPair> open_;
  std::vector<State> state_;
  Deadline deadline_;
  Clock::duration group_time_{};
};

}  // namespace

Deadline wedge_witness_deadline() {
  const std::uint64_t witness_ms = switch_number(SwitchId::PseudoModelWitnessMs);
  return deadline_after(Clock::now(), Clock::duration(std::chrono::milliseconds(
                                          std::min<std::uint64_t>(witness_ms, std::uint64_t{1} << 40))));
}

std::vector<std::vector<std::uint32_t>> deterministic_labels(const WedgeClauseSet& wedge, Deadline deadline) {
  HyperEngine engine = build_wedge_engine(wedge);
  // With no branching allowed the run stops at its first choice; every label it has by then rests on none.
  engine.run(0, deadline);
  std::vector<std::vector<std::uint32_t>> out(wedge.individual_count);
  for (std::uint32_t i = 0; i < wedge.individual_count; ++i)
    if (auto labels = engine.labels_of(i)) out[i] = std::move(*labels);
  return out;
}

SettledPairs settle_open_pairs(const WedgeClauseSet& wedge, std::vector<OpenPair> open, Deadline deadline) {
  if (open.empty()) return {};
  const WedgeClauseSet reversed = reversed_disjunctions(wedge);
  return PairSettler(reversed, std::move(open), deadline).run();
}

std::optional<bool> wedge_instance_test(const WedgeClauseSet& wedge, std::uint32_t individual, std::uint32_t cls,
                                        Deadline deadline) {
  const std::vector<DlClause> extra = keep_out_clauses(wedge, {OpenPair{individual, cls}});
  HyperEngine engine = build_wedge_engine(wedge);
  engine.set_extra_clauses(extra);
  switch (engine.run(kBudget, deadline)) {
    case HyperOutcome::Unsat: return true;
    case HyperOutcome::Sat: return model_trusted(wedge, engine) ? std::optional<bool>(false) : std::nullopt;
    case HyperOutcome::Stalled: return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace kelmon::reasoner
