#include "reasoner/kernel/prepared_reasoner.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "common/invariant.h"
#include "common/overload.h"
#include "common/switches.h"
#include "tableau/completion/logic_profile.h"

namespace kelmon::reasoner {

namespace {

// KELMON_LAZY_ABOX_SATURATION: on when set to anything but "0" or the empty value.
bool lazy_abox_saturation() {
  auto v = switch_text(SwitchId::LazyAboxSaturation);
  return v && !v->empty() && *v != "0";
}

// Every Max filler and every plain member (atomic, nominal, self or negation)
// of a union: the concepts the tableau branches on and needs the complement of.
std::vector<std::pair<ConceptId, ConceptId>> collect_complement_pairs(ConceptPool& pool) {
  const std::size_t n = pool.size();
  invariant(n <= std::numeric_limits<std::uint32_t>::max(), "pool size fits in u32");
  std::vector<ConceptId> ids;
  for (std::size_t i = 0; i < n; ++i)
    if (const auto* m = std::get_if<Max>(&pool.get(ConceptId{static_cast<std::uint32_t>(i)}))) ids.push_back(m->filler);
  for (std::size_t i = 0; i < n; ++i) {
    const auto* o = std::get_if<Or>(&pool.get(ConceptId{static_cast<std::uint32_t>(i)}));
    if (o == nullptr) continue;
    for (ConceptId m : o->members) {
      const Concept& c = pool.get(m);
      if (std::holds_alternative<Atomic>(c) || std::holds_alternative<Nominal>(c) || std::holds_alternative<Self>(c) ||
          std::holds_alternative<Not>(c))
        ids.push_back(m);
    }
  }
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  std::vector<std::pair<ConceptId, ConceptId>> pairs;
  pairs.reserve(ids.size());
  for (ConceptId c : ids) pairs.emplace_back(c, pool.nnf_not(c));
  return pairs;
}

// Inverse roles in a concept, a role axiom or an assertion. Erring towards true
// only costs the tableau blocking power; erring towards false costs soundness.
bool uses_inverse_roles(const InternalOntology& ir) {
  if (completion::logic_profile(ir) == 0) return true;
  auto inverse = [](const Role& r) { return !r.is_named(); };
  for (const Axiom& axiom : ir.axioms) {
    bool found = std::visit(Overload{
                                [&](const SubObjectPropertyOf& a) {
                                  if (inverse(a.sup)) return true;
                                  if (const auto* s = std::get_if<Single>(&a.sub)) return inverse(s->role);
                                  const auto& chain = std::get<Chain>(a.sub).roles;
                                  return std::any_of(chain.begin(), chain.end(), inverse);
                                },
                                [&](const EquivalentObjectProperties& a) {
                                  return std::any_of(a.roles.begin(), a.roles.end(), inverse);
                                },
                                [&](const DisjointObjectProperties& a) {
                                  return std::any_of(a.roles.begin(), a.roles.end(), inverse);
                                },
                                [&](const ObjectPropertyDomain& a) { return inverse(a.role); },
                                [&](const ObjectPropertyRange& a) { return inverse(a.role); },
                                [&](const TransitiveRole& a) { return inverse(a.role); },
                                [&](const SymmetricRole&) { return true; },
                                [&](const AsymmetricRole& a) { return inverse(a.role); },
                                [&](const FunctionalRole& a) { return inverse(a.role); },
                                [&](const InverseFunctionalRole&) { return true; },
                                [&](const ObjectPropertyAssertion& a) { return inverse(a.role); },
                                [&](const NegativeObjectPropertyAssertion& a) { return inverse(a.role); },
                                [](const auto&) { return false; },
                            },
                            axiom);
    if (found) return true;
  }
  return false;
}

}  // namespace

const HyperClauseSet* PreparedReasoner::hyper_set() const {
  std::call_once(hyper_once, [this] {
    if (!hyper_source) return;
    hyper = build_hyper_clause_set(std::move(*hyper_source));
    hyper_source.reset();
  });
  return hyper.get();
}

PreparedReasoner::~PreparedReasoner() {
  hyper.reset();  // its own stats line comes first
  if (!switch_flag(SwitchId::TableauIdStats)) return;
  std::fprintf(stderr, "# tableau-id-stats: shallow_decided=%llu shallow_missed=%llu shallow_waste_ms=%llu\n",
               static_cast<unsigned long long>(id_stats.decided.load()),
               static_cast<unsigned long long>(id_stats.missed.load()),
               static_cast<unsigned long long>(id_stats.waste_us.load() / 1000));
}

Result<PrepareOutcome> from_internal_with_deadline(InternalOntology ir, Deadline deadline,
                                                   std::optional<sat::ElResult> saturation, HyperBuild hyper_build) {
  auto checkpoint = [&] { return expired(deadline); };
  const auto aborted = [] { return Result<PrepareOutcome>(PrepareOutcome{}); };
  if (checkpoint()) return aborted();

  auto r = std::make_unique<PreparedReasoner>();
  r->vocabulary = ir.vocabulary;
  const bool assertions = has_assertion(ir.axioms);
  r->tbox_only = switch_flag(SwitchId::ClassifyTboxOnly) && assertions && !abox_touches_tbox(ir);

  if (saturation) {
    r->saturation = std::move(saturation);
  } else if (!(lazy_abox_saturation() && !assertions)) {
    if (!deadline) {
      r->saturation = sat::el_saturate_from_env(ir);
    } else {
      auto [result, timed_out] = sat::el_saturate_with_deadline(ir, deadline);
      if (timed_out) return aborted();
      r->saturation = std::move(result);
    }
  }

  r->told = ToldTables::build(ir);
  r->axioms = ir.axioms;
  r->dkeys = collect_dkeys(ir.vocabulary);
  const ConceptPool& pool = ir.concepts;
  if (!r->dkeys.empty())
    r->key_card_classes = classes_whose_definition(
        ir, [&](ConceptId c) { return mentions_key_cardinality(pool, c, r->dkeys); });
  {
    NominalBounds nominal_bound = collect_nominal_bounds(ir);
    if (!nominal_bound.empty())
      r->bounded_card_classes = classes_whose_definition(
          ir, [&](ConceptId c) { return mentions_bounded_cardinality(pool, c, nominal_bound); });
  }
  r->complex_card_classes =
      classes_whose_definition(ir, [&](ConceptId c) { return mentions_complex_cardinality(pool, c); });
  if (checkpoint()) return aborted();

  // Both clause sets come from the ontology as converted, before the
  // role-characteristic axioms are added below.
  if (switch_flag(SwitchId::Hypertableau)) {
    r->hyper_source = std::make_unique<InternalOntology>(ir);
    if (hyper_build == HyperBuild::Now) r->hyper_set();
  }
  if (checkpoint()) return aborted();
  if (switch_flag(SwitchId::WedgeConsistency) && assertions) r->wedge = build_wedge_clause_set(ir);

  if (snapshot_capture_enabled()) {
    r->snapshot = build_snapshot_capture(ir);
    r->profile_counts = count_class_profiles(ir);
  }
  if (checkpoint()) return aborted();

  add_role_characteristic_axioms(ir);
  r->inverse_roles = uses_inverse_roles(ir);
  r->role_hierarchy = build_directed_role_hierarchy(ir);
  RoleTables tables = collect_role_tables(ir.axioms);
  r->inverse_pairs = std::move(tables.inverse_pairs);
  r->asymmetric_roles = std::move(tables.asymmetric_roles);
  r->disjoint_role_pairs = std::move(tables.disjoint_role_pairs);
  r->role_chains = std::move(tables.role_chains);
  if (checkpoint()) return aborted();

  // No clock from here on: the rest is linear in the ontology.
  r->absorbed = absorb_tbox(nnf_axioms(ir.axioms, ir.concepts), ir.concepts);
  ir.concepts.intern(Bottom{});
  r->complement_pairs = collect_complement_pairs(ir.concepts);
  r->abox = collect_abox_facts(ir);
  r->pool = std::move(ir.concepts);
  return PrepareOutcome{std::move(r)};
}

Result<std::unique_ptr<PreparedReasoner>> prepare_without_deadline(InternalOntology ir,
                                                                   std::optional<sat::ElResult> saturation) {
  auto outcome = from_internal_with_deadline(std::move(ir), std::nullopt, std::move(saturation), HyperBuild::OnFirstUse);
  if (!outcome) return std::unexpected(std::move(outcome.error()));
  invariant(!outcome->aborted(), "from_internal_with_deadline(.., None) never aborts");
  return std::move(outcome->reasoner);
}

}  // namespace kelmon::reasoner
