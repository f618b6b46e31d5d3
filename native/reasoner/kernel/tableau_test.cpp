#include "reasoner/kernel/tableau_test.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

#include <tsl/robin_map.h>

#include "common/invariant.h"
#include "common/switches.h"
#include "reasoner/kernel/big_stack_thread.h"
#include "reasoner/kernel/iterative_deepening.h"
#include "reasoner/kernel/test_concepts.h"

namespace kelmon::reasoner {

namespace {

using completion::NodeId;
using completion::SearchOutcome;
using completion::TableauContext;

constexpr std::size_t kDeepStackBytes = std::size_t{1} << 30;
constexpr std::uint64_t kDeepSearchDepth = 1'000'000;
constexpr std::uint64_t kBoundedSearchDepth = 256;
constexpr std::uint8_t kAbandonEngaged = 0;
constexpr std::uint8_t kAbandoned = 1;
constexpr std::uint8_t kAbandonOff = 2;

bool anywhere_blocking_for(const TableauTestRequest& request) {
  if (request.anywhere_blocking) return *request.anywhere_blocking;
  std::optional<std::string> v = switch_text(SwitchId::AnywhereBlocking);
  if (v && *v == "1") return true;
  if (v && *v == "0") return false;
  return !request.deadline;
}

// ¬R(subject, object) as the label ∀R.¬{object} of the subject.
struct NegativeLabel {
  IndividualId subject;
  IndividualId object;
  ConceptId label;
};

void copy_role_data(const PreparedReasoner& r, TableauContext& ctx) {
  for (auto [a, b] : r.inverse_pairs) ctx.add_inverse_pair(a, b);
  for (const RoleChainEntry& c : r.role_chains) ctx.role_chains.push_back({c.first, c.second, c.sup});
  for (RoleId role : r.asymmetric_roles)
    if (std::find(ctx.asymmetric_roles.begin(), ctx.asymmetric_roles.end(), role) == ctx.asymmetric_roles.end())
      ctx.asymmetric_roles.push_back(role);
  for (auto [a, b] : r.disjoint_role_pairs) {
    if (a == b) continue;
    auto& pairs = ctx.disjoint_role_pairs;
    bool present = std::any_of(pairs.begin(), pairs.end(), [&](const std::pair<Role, Role>& p) {
      return (p.first == a && p.second == b) || (p.first == b && p.second == a);
    });
    if (!present) pairs.emplace_back(a, b);
  }
  for (auto [c, complement] : r.complement_pairs) ctx.set_complement(c, complement);
}

// Labels, edges and merges of the asserted facts; every one without dependencies.
void seed_facts(TableauContext& ctx, ConceptPool& pool, const AboxFacts& facts, const TableauTestRequest& request,
                const std::vector<NegativeLabel>& negative_labels) {
  const completion::DepSet none;
  tsl::robin_map<std::uint32_t, NodeId> node_of;
  for (auto [individual, nominal] : facts.individual_nominals) {
    const NodeId node = ctx.add_trailed_node(std::nullopt, std::nullopt);
    ctx.add_label(node, nominal, none);
    ctx.set_nominal_node(individual.v, node);
    node_of.emplace(individual.v, node);
  }
  // The node an individual stands for now, after merges; none for an individual without a node.
  auto rep = [&](IndividualId a) -> std::optional<NodeId> {
    auto it = node_of.find(a.v);
    if (it == node_of.end()) return std::nullopt;
    return ctx.representative(it->second);
  };
  auto mark_distinct = [&](IndividualId a, IndividualId b) {
    auto x = rep(a), y = rep(b);
    if (x && y) ctx.mark_distinct(*x, *y);
  };
  for (auto [a, b] : facts.different_pairs) mark_distinct(a, b);
  for (auto [a, b] : request.extra_different) mark_distinct(a, b);
  for (const NegativeLabel& n : negative_labels) {
    auto x = rep(n.subject);
    if (x && rep(n.object)) ctx.add_label(*x, n.label, none);
  }
  const ConceptId bottom = pool.intern(Bottom{});
  for (auto [a, b] : facts.same_pairs) {
    auto x = rep(a), y = rep(b);
    if (!x || !y || *x == *y) continue;
    if (!ctx.merge_nodes(*y, *x, none)) ctx.add_label(*x, bottom, none);
  }
  // Class assertions as written may be out of negation normal form; the tableau reads NNF labels.
  for (auto [a, concept_id] : facts.class_assertions)
    if (auto x = rep(a)) ctx.add_label(*x, pool.nnf(concept_id), none);
  for (auto [a, concept_id] : facts.negative_assertion_concepts)
    if (auto x = rep(a)) ctx.add_label(*x, concept_id, none);
  for (const RoleFact& f : facts.role_assertions) {
    auto x = rep(f.source), y = rep(f.target);
    if (x && y) ctx.add_edge(*x, f.role, *y, none);
  }
}

SearchOutcome deadline_search(TableauContext& ctx, Instant deadline, TableauIdStats& stats) {
  if (switch_flag(SwitchId::TableauEarlyAbandon)) {
    ctx.abandon_limit = early_abandon_hits();
    ctx.stall_run = 0;
    ctx.max_stall_run = 0;
    ctx.depth0_cuts = 0;
    ctx.trials = 0;
    ctx.definite = 0;
    ctx.abandon_state = kAbandonEngaged;
  }
  SearchOutcome outcome = switch_flag(SwitchId::TableauIterativeDeepening)
                              ? run_tableau_iterative(ctx, deadline, stats)
                              : completion::search(ctx, kBoundedSearchDepth);
  if (ctx.abandon_state != kAbandonOff && switch_flag(SwitchId::TableauEaStats))
    std::fprintf(stderr, "# ea probe trials=%llu definite=%llu depth0=%llu max_stall_run=%llu abandoned=%d\n",
                 static_cast<unsigned long long>(ctx.trials), static_cast<unsigned long long>(ctx.definite),
                 static_cast<unsigned long long>(ctx.depth0_cuts), static_cast<unsigned long long>(ctx.max_stall_run),
                 ctx.abandon_state == kAbandoned ? 1 : 0);
  return outcome;
}

TestAnswer answer_of(const SearchOutcome& outcome, const TableauContext& ctx) {
  switch (outcome.tag) {
    case SearchOutcome::Tag::Sat: return true;
    case SearchOutcome::Tag::Clash: return false;
    case SearchOutcome::Tag::NodeLimit: return std::optional<bool>();
    case SearchOutcome::Tag::NoVerdict: break;
  }
  // Out of time, abandoned, or at the depth or pass bound: undecided, not a
  // fault. A passed deadline counts even if the flag was not set on the way.
  if (ctx.abandon_state == kAbandoned || ctx.timed_out || ctx.bound_hit || expired(ctx.deadline))
    return std::optional<bool>();
  return std::unexpected(ReasonerError(NoVerdict{}));
}

TestAnswer inverted(TestAnswer answer) {
  if (!answer || !*answer) return answer;
  return std::optional<bool>(!**answer);
}

TestConceptBuilder conjunction_of(Concept first, Concept second, bool negate_second) {
  return [first, second, negate_second](ConceptPool& pool) {
    ConceptId a = pool.intern(first);
    ConceptId b = pool.intern(second);
    if (negate_second) {
      const std::array<ConceptId, 2> operands{a, pool.intern(Not{b})};
      return conjoin_concepts(pool, operands);
    }
    return conjoin_concept_pair(pool, a, b);
  };
}

}  // namespace

std::uint64_t early_abandon_hits() { return switch_number(SwitchId::TableauEarlyAbandonHits); }

SearchOutcome deep_search_thread_main(TableauContext& context) { return completion::search(context, kDeepSearchDepth); }

TestAnswer run_tableau_test_body(const PreparedReasoner& r, const AboxFacts& facts,
                                 const TableauTestRequest& request) {
  if (expired(request.deadline)) return std::optional<bool>();
  ConceptPool pool = r.pool.clone();
  const ConceptId test_concept = request.test_concept ? pool.nnf(request.test_concept(pool)) : pool.intern(Top{});
  std::vector<NegativeLabel> negative_labels;
  for (const NegativeRoleAssertion& n : request.extra_negative) {
    const ConceptId not_object = pool.intern(Not{pool.intern(Nominal{n.object})});
    negative_labels.push_back({n.subject, n.object, pool.intern(All{not_object, Role::named(n.role)})});
  }
  auto ctx = std::make_unique<TableauContext>(pool, &r.absorbed, &r.role_hierarchy);
  ctx->inverse_roles = r.inverse_roles;
  ctx->set_anywhere_blocking(anywhere_blocking_for(request));
  if (!r.dkeys.empty()) {
    ctx->data_ranges.clear();
    for (const auto& [cls, value] : r.dkeys) ctx->data_ranges.emplace(cls, value);
  }
  if (request.deadline) ctx->deadline = request.deadline;
  copy_role_data(r, *ctx);
  seed_facts(*ctx, pool, facts, request, negative_labels);
  const NodeId test_node = ctx->add_trailed_node(std::nullopt, std::nullopt);
  ctx->add_label(test_node, test_concept, completion::DepSet{});

  std::optional<SearchOutcome> outcome;
  if (!request.deadline) {
    // Searches without a deadline may recurse as deep as the input allows.
    run_with_stack(kDeepStackBytes, "spawn deep tableau search thread",
                   [&] { outcome = deep_search_thread_main(*ctx); });
  } else {
    outcome = deadline_search(*ctx, *request.deadline, r.id_stats);
  }
  return answer_of(*outcome, *ctx);
}

TestAnswer run_tableau_test(const PreparedReasoner& r, const AboxFacts& facts,
                            std::span<const std::pair<IndividualId, IndividualId>> extra_different,
                            std::span<const NegativeRoleAssertion> extra_negative, Deadline deadline) {
  TableauTestRequest request;
  request.deadline = deadline;
  request.extra_different = extra_different;
  request.extra_negative = extra_negative;
  return run_tableau_test_body(r, facts, request);
}

namespace {

TestAnswer run_with_concept(const PreparedReasoner& r, const AboxFacts& facts, TestConceptBuilder concept_builder,
                            Deadline deadline) {
  TableauTestRequest request;
  request.test_concept = std::move(concept_builder);
  request.deadline = deadline;
  return run_tableau_test_body(r, facts, request);
}

}  // namespace

TestAnswer run_tableau_test_disjoint_classes(const PreparedReasoner& r, const AboxFacts& facts, ClassId a, ClassId b,
                                             Deadline deadline) {
  return run_with_concept(r, facts, conjunction_of(Atomic{a}, Atomic{b}, false), deadline);
}

TestAnswer run_tableau_test_different_individuals(const PreparedReasoner& r, const AboxFacts& facts, IndividualId a,
                                                  IndividualId b, Deadline deadline) {
  return run_with_concept(r, facts, conjunction_of(Nominal{a}, Nominal{b}, false), deadline);
}

TestAnswer run_tableau_test_disjoint_pair(const PreparedReasoner& r, const AboxFacts& facts, ClassId a, ClassId b,
                                          Deadline deadline) {
  return run_with_concept(r, facts, conjunction_of(Atomic{a}, Atomic{b}, true), deadline);
}

TestAnswer run_tableau_test_pair_verify(const PreparedReasoner& r, const AboxFacts& facts, ClassId sub, ClassId sup,
                                        Deadline deadline) {
  return run_with_concept(r, facts, conjunction_of(Atomic{sub}, Atomic{sup}, true), deadline);
}

TestAnswer run_tableau_test_realize(const PreparedReasoner& r, const AboxFacts& facts, ClassId c, IndividualId a,
                                    Deadline deadline) {
  return run_with_concept(r, facts, conjunction_of(Nominal{a}, Atomic{c}, true), deadline);
}

TestAnswer PreparedReasoner::tableau_test(std::span<const std::pair<IndividualId, IndividualId>> different,
                                          std::span<const NegativeRoleAssertion> negative, Deadline deadline) const {
  return run_tableau_test(*this, abox, different, negative, deadline);
}

TestAnswer PreparedReasoner::classes_disjoint(ClassId a, ClassId b, Deadline deadline) const {
  return inverted(run_tableau_test_disjoint_classes(*this, abox, a, b, deadline));
}

TestAnswer PreparedReasoner::individuals_different(IndividualId a, IndividualId b, Deadline deadline) const {
  return inverted(run_tableau_test_different_individuals(*this, abox, a, b, deadline));
}

}  // namespace kelmon::reasoner
