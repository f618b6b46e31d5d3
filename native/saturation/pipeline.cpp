#include <variant>

#include "common/switches.h"
#include "core/ir.h"
#include "saturation/internal/build_rule_base.h"
#include "saturation/internal/engine.h"
#include "saturation/internal/normalise.h"
#include "saturation/internal/pipeline.h"
#include "saturation/saturation.h"

namespace kelmon::sat {

namespace {

// Credits each rule-base entry to the axiom that produced it, by normalising
// every class axiom alone into a scratch rule base and counting what it adds.
std::unique_ptr<ProofStore> provenance_pass(const InternalOntology& ir, const RoleClosure& closure,
                                            const BuiltRuleBase& built) {
  auto store = std::make_unique<ProofStore>();
  const RuleBase& real = built.rules;
  store->told.assign(real.told.size(), std::nullopt);
  store->link_rules.assign(real.link_rules.size(), std::nullopt);
  store->conjunction_rules.assign(real.conjunction_rules.size(), std::nullopt);
  store->bottom_conjunctions.assign(real.bottom_conjunctions.size(), std::nullopt);
  store->exists_left_rules.assign(real.exists_left_rules.size(), std::nullopt);
  store->disjoint_pairs.assign(real.disjoint_pairs.size(), std::nullopt);
  store->role_chains.assign(real.role_chains.size(), std::nullopt);
  store->initially_unsat.assign(real.initially_unsat.size(), std::nullopt);

  const ConceptPool& pool = ir.concepts;
  std::size_t disjoint_at = 0, chain_at = 0;
  auto credit = [](std::vector<std::optional<u32>>& list, std::size_t& at, std::size_t n, u32 axiom) {
    for (std::size_t k = 0; k < n; ++k, ++at)
      if (at < list.size()) list[at] = axiom;
  };
  for (std::size_t i = 0; i < ir.axioms.size(); ++i) {
    const u32 index = static_cast<u32>(i);
    const Axiom& axiom = ir.axioms[i];
    if (const auto* d = std::get_if<DisjointClasses>(&axiom)) {
      std::size_t k = 0;
      for (ConceptId m : d->members) k += std::holds_alternative<Atomic>(pool.get(m)) ? 1 : 0;
      credit(store->disjoint_pairs, disjoint_at, k * (k - (k > 0 ? 1 : 0)) / 2, index);
    } else if (const auto* s = std::get_if<SubObjectPropertyOf>(&axiom)) {
      const auto* chain = std::get_if<Chain>(&s->sub);
      if (chain != nullptr && chain->roles.size() == 2 && chain->roles[0].is_named() && chain->roles[1].is_named() &&
          s->sup.is_named())
        credit(store->role_chains, chain_at, 1, index);
    } else if (const auto* t = std::get_if<TransitiveRole>(&axiom)) {
      if (t->role.is_named()) credit(store->role_chains, chain_at, 1, index);
    } else if (const auto* dom = std::get_if<ObjectPropertyDomain>(&axiom)) {
      if (dom->role.is_named())
        for (u32 c : named_conjuncts_deep(pool, dom->domain)) store->domain_entries.push_back({dom->role.id.v, c, index});
    } else if (const auto* ran = std::get_if<ObjectPropertyRange>(&axiom)) {
      if (!ran->role.is_named())
        for (u32 c : named_conjuncts_deep(pool, ran->range)) store->domain_entries.push_back({ran->role.id.v, c, index});
    } else if (const auto* f = std::get_if<FunctionalRole>(&axiom)) {
      if (f->role.is_named()) store->functional_axioms[f->role.id.v] = index;
    }
  }

  RuleBase scratch;
  SyntheticIds scratch_ids(class_count_of(ir));
  collect_role_axioms(ir, scratch);
  const RangeMaps maps = build_range_maps(scratch, closure);
  NormaliseContext ctx{pool, scratch, scratch_ids, maps.role_ranges, maps.chain_ranges};
  std::size_t told_at = 0, conj_at = 0, bottom_at = 0, link_at = 0, left_at = 0, unsat_at = 0;
  for (std::size_t i = 0; i < ir.axioms.size(); ++i) {
    const Axiom& axiom = ir.axioms[i];
    std::vector<std::pair<ConceptId, ConceptId>> pairs;
    if (const auto* s = std::get_if<SubClassOf>(&axiom)) {
      pairs.emplace_back(s->sub, s->sup);
    } else if (const auto* eq = std::get_if<EquivalentClasses>(&axiom)) {
      for (std::size_t a = 0; a < eq->members.size(); ++a)
        for (std::size_t b = 0; b < eq->members.size(); ++b)
          if (a != b) pairs.emplace_back(eq->members[a], eq->members[b]);
    } else {
      continue;
    }
    const std::size_t told0 = scratch.told.size(), conj0 = scratch.conjunction_rules.size(),
                      bottom0 = scratch.bottom_conjunctions.size(), link0 = scratch.link_rules.size(),
                      left0 = scratch.exists_left_rules.size(), unsat0 = scratch.initially_unsat.size();
    for (auto [sub, sup] : pairs) normalise_gci(sub, sup, ctx);
    const u32 index = static_cast<u32>(i);
    credit(store->told, told_at, scratch.told.size() - told0, index);
    credit(store->conjunction_rules, conj_at, scratch.conjunction_rules.size() - conj0, index);
    credit(store->bottom_conjunctions, bottom_at, scratch.bottom_conjunctions.size() - bottom0, index);
    credit(store->link_rules, link_at, scratch.link_rules.size() - link0, index);
    credit(store->exists_left_rules, left_at, scratch.exists_left_rules.size() - left0, index);
    credit(store->initially_unsat, unsat_at, scratch.initially_unsat.size() - unsat0, index);
  }

  const SyntheticIds& ids = built.ids;
  auto& defs = store->definitions;
  if (ids.bottom_filler) defs[*ids.bottom_filler] = DefBottomFiller{};
  if (ids.top) defs[*ids.top] = DefTop{};
  for (const auto& [list, id] : ids.conjunctions) defs[id] = DefConjunction{list};
  tsl::robin_set<ElLink, ElLinkHash> link_rules;
  for (const LinkRule& l : real.link_rules) link_rules.insert(ElLink{l.sub, l.role, l.filler});
  for (const auto& [key, id] : ids.existentials)
    defs[id] = DefExists{key.first, key.second, link_rules.contains(ElLink{id, key.first, key.second})};
  for (const auto& [key, id] : ids.union_existentials) defs[id] = DefUnionExists{key.first, key.second};
  for (const auto& [a, id] : ids.individuals) defs[id] = DefNominal{a};
  for (const auto& [key, id] : ids.at_most) defs[id] = DefAtMost{key.first, key.second};
  for (const auto& [key, id] : ids.forall_nominals) defs[id] = DefForallNominals{key.first, key.second};
  for (const auto& [key, id] : ids.foralls) defs[id] = DefForall{key.first, key.second};
  for (const auto& [r, id] : ids.top_fillers) defs[id] = DefTopFiller{r};
  return store;
}

}  // namespace

ElEngine make_engine(const InternalOntology& ir, bool proof) {
  const RoleClosure closure = build_role_closure(ir);
  BuiltRuleBase built = build_rule_base(ir, closure);
  std::unique_ptr<ProofStore> store = proof ? provenance_pass(ir, closure, built) : nullptr;
  auto lists = role_closure_lists(closure);
  ElEngine engine(class_count_of(ir), built.concept_count, std::move(built.rules), std::move(built.ids),
                  std::move(lists), proof, std::move(store));
  engine.seed();
  return engine;
}

std::pair<ElResult, std::unique_ptr<ProofStore>> el_saturate(const InternalOntology& ir, bool proof) {
  ElEngine engine = make_engine(ir, proof);
  engine.run();
  return {std::move(engine.result), std::move(engine.proof)};
}

ElResult el_saturate_from_env(const InternalOntology& ir) {
  return el_saturate(ir, switch_flag(SwitchId::Proof)).first;
}

std::pair<ElResult, bool> el_saturate_with_deadline(const InternalOntology& ir, Deadline deadline) {
  if (!deadline) return {el_saturate_from_env(ir), false};
  ElEngine engine = make_engine(ir, false);
  bool timed_out = false;
  std::uint32_t k = 0;
  while (true) {
    if (k < 4095) {
      ++k;
    } else {
      if (Clock::now() >= *deadline) {
        timed_out = true;
        break;
      }
      k = 0;
    }
    if (!engine.step()) break;
  }
  engine.finish_flags();
  return {std::move(engine.result), timed_out};
}

}  // namespace kelmon::sat
