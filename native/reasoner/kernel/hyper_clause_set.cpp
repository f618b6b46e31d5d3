#include "reasoner/kernel/hyper_clause_set.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <limits>

#include "common/switches.h"
#include "reasoner/kernel/internal/clause_translation.h"
#include "reasoner/kernel/ontology_scans.h"
#include "reasoner/kernel/role_tables.h"

namespace kelmon::reasoner {

namespace {

constexpr std::uint64_t kU32Max = std::numeric_limits<std::uint32_t>::max();

std::uint32_t capped_u32(std::uint64_t v) { return static_cast<std::uint32_t>(std::min(v, kU32Max)); }

// KELMON_SAT_LOOKAHEAD: on when set to anything but "0" or the empty value.
bool lookahead_wanted() {
  auto v = switch_text(SwitchId::SatLookahead);
  return v && !v->empty() && *v != "0";
}

std::shared_ptr<const sat::LookaheadEngine> lookahead_for(const InternalOntology& copy) {
  if (!lookahead_wanted()) return nullptr;
  return std::make_shared<const sat::LookaheadEngine>(sat::build_lookahead_engine(copy));
}

bool pool_has_nominal(const ConceptPool& pool) {
  for (std::size_t i = 0; i < pool.size(); ++i)
    if (std::holds_alternative<Nominal>(pool.get(ConceptId{static_cast<std::uint32_t>(i)}))) return true;
  return false;
}

// Each assertion as an axiom about the individual's nominal: C(a) as {a} ⊑ C
// and, with role_assertions, r(a, b) as {a} ⊑ ∃r.{b}, ¬r(a, b) as {a} ⊑ ∀r.¬{b}
// and a = b as {a} ⊑ {b} both ways. A model of the result is one of the
// assertions too.
void add_assertions_as_nominal_axioms(InternalOntology& ir, bool role_assertions) {
  ConceptPool& pool = ir.concepts;
  auto nominal = [&](IndividualId a) { return pool.intern(Nominal{a}); };
  std::vector<Axiom> added;
  for (const Axiom& axiom : ir.axioms) {
    if (const auto* a = std::get_if<ClassAssertion>(&axiom)) {
      added.push_back(SubClassOf{nominal(a->individual), a->concept_id});
    } else if (!role_assertions) {
      continue;
    } else if (const auto* r = std::get_if<ObjectPropertyAssertion>(&axiom)) {
      added.push_back(SubClassOf{nominal(r->subject), pool.intern(Some{nominal(r->object), r->role})});
    } else if (const auto* n = std::get_if<NegativeObjectPropertyAssertion>(&axiom)) {
      const ConceptId not_object = pool.intern(Not{nominal(n->object)});
      added.push_back(SubClassOf{nominal(n->subject), pool.intern(All{not_object, n->role})});
    } else if (const auto* s = std::get_if<SameIndividual>(&axiom)) {
      for (std::size_t j = 1; j < s->individuals.size(); ++j) {
        added.push_back(SubClassOf{nominal(s->individuals[0]), nominal(s->individuals[j])});
        added.push_back(SubClassOf{nominal(s->individuals[j]), nominal(s->individuals[0])});
      }
    }
  }
  ir.axioms.insert(ir.axioms.end(), std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
}

// A defined class whose definition is a conjunction of atomic classes and
// existentials over atomic fillers, with at least one existential.
std::optional<DefinitionEntry> definition_entry(std::uint32_t cls, ConceptId definition, const ConceptPool& pool) {
  DefinitionEntry entry{cls, {}, {}};
  auto take = [&](ConceptId operand) {
    const Concept& c = pool.get(operand);
    if (const auto* a = std::get_if<Atomic>(&c)) {
      entry.conjuncts.push_back(a->cls.v);
      return true;
    }
    if (const auto* s = std::get_if<Some>(&c)) {
      if (const auto* b = std::get_if<Atomic>(&pool.get(s->filler))) {
        entry.existentials.emplace_back(s->role, b->cls.v);
        return true;
      }
    }
    return false;
  };
  const Concept& d = pool.get(definition);
  if (const auto* a = std::get_if<And>(&d)) {
    for (ConceptId m : a->members)
      if (!take(m)) return std::nullopt;
  } else if (std::holds_alternative<Some>(d)) {
    if (!take(definition)) return std::nullopt;
    entry.conjuncts.clear();
  } else {
    return std::nullopt;
  }
  if (entry.existentials.empty()) return std::nullopt;
  return entry;
}

// One more than the largest class id any concept, existential or number
// atom names, and at least the class and individual count.
std::uint32_t reserve_probe_id(const std::vector<DlClause>& clauses, std::uint64_t class_count,
                               std::uint64_t individual_count) {
  std::uint64_t p = std::min(class_count + individual_count, kU32Max);
  for (const DlClause& c : clauses)
    for (const auto* atoms : {&c.body, &c.head})
      for (const ClauseAtom& a : *atoms) {
        switch (a.atom_kind()) {
          case ClauseAtomKind::ConceptAtom:
          case ClauseAtomKind::ExistsAtom: p = std::max<std::uint64_t>(p, std::uint64_t{a.a} + 1); break;
          case ClauseAtomKind::AtMostAtom:
          case ClauseAtomKind::AtLeastAtom:
            if (a.flag != 0) p = std::max<std::uint64_t>(p, std::uint64_t{a.filler} + 1);
            break;
          default: break;
        }
      }
  return capped_u32(p);
}

// Classes C with a saturation link C ⊑ ∃R.{a} over a functional role R: two
// such classes over R with different a and b cannot share an instance.
std::vector<std::pair<std::uint32_t, std::uint32_t>> value_type_disjoint_pairs(
    const InternalOntology& ir, const std::vector<std::vector<std::pair<Role, std::uint32_t>>>& links) {
  const std::uint32_t k = capped_u32(ir.vocabulary.classes.size());
  tsl::robin_set<std::uint32_t> functional;
  tsl::robin_set<std::uint64_t> different;
  for (const Axiom& axiom : ir.axioms) {
    if (const auto* f = std::get_if<FunctionalRole>(&axiom); f != nullptr && f->role.is_named()) {
      functional.insert(f->role.id.v);
    } else if (const auto* d = std::get_if<DifferentIndividuals>(&axiom)) {
      for (std::size_t i = 0; i < d->individuals.size(); ++i)
        for (std::size_t j = i + 1; j < d->individuals.size(); ++j) {
          const std::uint64_t a = d->individuals[i].v, b = d->individuals[j].v;
          different.insert((a << 32) | b);
          different.insert((b << 32) | a);
        }
    }
  }
  // role -> individual -> classes, individuals kept in first-recorded order
  tsl::robin_map<std::uint32_t, std::vector<std::pair<std::uint32_t, std::vector<std::uint32_t>>>> by_role;
  std::vector<std::uint32_t> role_order;
  for (std::uint32_t c = 0; c < links.size(); ++c)
    for (const auto& [role, target] : links[c]) {
      if (!role.is_named() || !functional.contains(role.id.v) || target < k) continue;
      const std::uint32_t a = target - k;
      auto [it, fresh] = by_role.try_emplace(role.id.v);
      if (fresh) role_order.push_back(role.id.v);
      auto& slots = it.value();
      auto slot = std::find_if(slots.begin(), slots.end(), [&](const auto& s) { return s.first == a; });
      if (slot == slots.end()) slots.push_back({a, {c}});
      else slot->second.push_back(c);
    }
  std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
  for (std::uint32_t role : role_order) {
    const auto& slots = by_role.at(role);
    for (std::size_t i = 0; i < slots.size(); ++i)
      for (std::size_t j = i + 1; j < slots.size(); ++j) {
        if (!different.contains((std::uint64_t{slots[i].first} << 32) | slots[j].first)) continue;
        for (std::uint32_t x : slots[i].second)
          for (std::uint32_t y : slots[j].second)
            if (x != y) pairs.emplace_back(std::min(x, y), std::max(x, y));
      }
  }
  std::sort(pairs.begin(), pairs.end());
  pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
  if (switch_text(SwitchId::Trace))  // set to any value
    std::fprintf(stderr, "VALUE_TYPE_DISJOINT: %zu pairs from %zu functional roles\n", pairs.size(), by_role.size());
  return pairs;
}

// Classes A and B with A ≡ ¬B told: a disjunction over both is always true.
tsl::robin_set<std::uint64_t> collect_tautology_pairs(const InternalOntology& ir) {
  tsl::robin_set<std::uint64_t> out;
  const ConceptPool& pool = ir.concepts;
  for (const Axiom& axiom : ir.axioms) {
    const auto* e = std::get_if<EquivalentClasses>(&axiom);
    if (e == nullptr) continue;
    std::optional<std::uint64_t> a, b;
    for (ConceptId m : e->members) {
      const Concept& c = pool.get(m);
      if (const auto* x = std::get_if<Atomic>(&c); x != nullptr && !a) a = x->cls.v;
      if (const auto* n = std::get_if<Not>(&c))
        if (const auto* x = std::get_if<Atomic>(&pool.get(n->operand))) b = x->cls.v;
    }
    if (!a || !b) continue;
    out.insert((*b << 32) | *a);
    out.insert((*a << 32) | *b);
  }
  return out;
}

}  // namespace

HyperClauseSet::~HyperClauseSet() {
  if (!switch_flag(SwitchId::IdStats)) return;
  std::fprintf(stderr, "# id-stats: shallow_decided=%llu shallow_missed=%llu shallow_waste_ms=%llu\n",
               static_cast<unsigned long long>(shallow_decided.load()),
               static_cast<unsigned long long>(shallow_missed.load()),
               static_cast<unsigned long long>(shallow_waste_us.load() / 1000));
}

std::uint32_t complement_id(std::uint32_t a, FreshIds& fresh, std::vector<DlClause>& clauses) {
  if (auto it = fresh.complements.find(a); it != fresh.complements.end()) return it->second;
  const std::uint32_t id = fresh.next++;
  fresh.complements.emplace(a, id);
  clauses.push_back({{concept_atom(a, 0), concept_atom(id, 0)}, {}});
  return id;
}

tsl::robin_map<std::uint32_t, std::vector<ClauseAtom>> clause_atoms_from_concepts(
    std::uint32_t class_count, const Definitions& definitions, ConceptPool& pool, const InverseRoleMap& inverses,
    const std::vector<bool>& dkey_classes, FreshIds& fresh, std::vector<DlClause>& clauses) {
  tsl::robin_map<std::uint32_t, std::vector<ClauseAtom>> out;
  auto atomic_class = [&](ConceptId id) -> std::optional<std::uint32_t> {
    if (const auto* a = std::get_if<Atomic>(&pool.get(id))) return a->cls.v;
    return std::nullopt;
  };
  auto negated_class = [&](ConceptId id) -> std::optional<std::uint32_t> {
    if (const auto* n = std::get_if<Not>(&pool.get(id))) return atomic_class(n->operand);
    return std::nullopt;
  };
  for (std::uint32_t c = 0; c < class_count && c < definitions.size(); ++c) {
    const std::optional<ConceptId>& d = definitions[ClassId{c}];
    if (!d) continue;
    const ConceptId negation = pool.nnf_not(*d);
    std::vector<ConceptId> disjuncts;
    if (const auto* o = std::get_if<Or>(&pool.get(negation))) disjuncts = o->members;
    else disjuncts.push_back(negation);
    // Clauses and ids of a class that fails part-way are kept: unused, harmless.
    std::vector<ClauseAtom> atoms;
    bool all = true;
    for (ConceptId disjunct : disjuncts) {
      const Concept& x = pool.get(disjunct);
      if (auto a = atomic_class(disjunct)) {
        atoms.push_back(concept_atom(*a, 0));
      } else if (auto a = negated_class(disjunct)) {
        atoms.push_back(concept_atom(complement_id(*a, fresh, clauses), 0));
      } else if (const auto* s = std::get_if<Some>(&x)) {
        const Role r = canonical_role_of(inverses, s->role);
        if (auto a = atomic_class(s->filler)) {
          atoms.push_back(exists_atom(*a, 0, r));
        } else if (auto a = negated_class(s->filler)) {
          atoms.push_back(exists_atom(complement_id(*a, fresh, clauses), 0, r));
        } else if (const auto* conj = std::get_if<And>(&pool.get(s->filler));
                   conj != nullptr && std::all_of(conj->members.begin(), conj->members.end(), [&](ConceptId m) {
                     return atomic_class(m) || negated_class(m);
                   })) {
          const std::uint32_t z = fresh.next++;
          for (ConceptId m : conj->members) {
            if (auto a = atomic_class(m)) clauses.push_back({{concept_atom(z, 0)}, {concept_atom(*a, 0)}});
            else clauses.push_back({{concept_atom(z, 0), concept_atom(*negated_class(m), 0)}, {}});
          }
          atoms.push_back(exists_atom(z, 0, r));
        } else {
          all = false;
        }
      } else if (const auto* m = std::get_if<Max>(&x)) {
        const Role r = canonical_role_of(inverses, m->role);
        if (std::holds_alternative<Top>(pool.get(m->filler))) {
          atoms.push_back(at_most_atom(m->n, 0, r, std::nullopt));
        } else if (auto a = atomic_class(m->filler); a && !(*a < dkey_classes.size() && dkey_classes[*a])) {
          atoms.push_back(at_most_atom(m->n, 0, r, *a));
        } else {
          all = false;
        }
      } else {
        all = false;
      }
      if (!all) break;
    }
    if (all) out.emplace(c, std::move(atoms));
  }
  return out;
}

void add_different_individual_clauses(const std::vector<Axiom>& axioms, std::uint32_t class_count,
                                      std::vector<DlClause>& clauses) {
  for (const Axiom& axiom : axioms) {
    const auto* d = std::get_if<DifferentIndividuals>(&axiom);
    if (d == nullptr) continue;
    for (std::size_t i = 0; i < d->individuals.size(); ++i)
      for (std::size_t j = i + 1; j < d->individuals.size(); ++j) {
        const std::uint32_t a = d->individuals[i].v, b = d->individuals[j].v;
        if (a == b) continue;
        clauses.push_back({{concept_atom(class_count + a, 0), concept_atom(class_count + b, 0)}, {}});
      }
  }
}

std::unique_ptr<HyperClauseSet> build_hyper_clause_set(InternalOntology copy) {
  auto set = std::make_unique<HyperClauseSet>();
  // Without a nominal no class reaches an individual, and the assertions have
  // nothing to say about subsumption (the knowledge base being consistent).
  if (pool_has_nominal(copy.concepts)) add_assertions_as_nominal_axioms(copy, true);
  add_role_gcis(copy);
  DlClauseSet clausified = clausify(copy);
  set->clauses = std::move(clausified.clauses);
  const Definitions definitions = build_definitions(copy);
  const std::uint64_t k = copy.vocabulary.classes.size();
  const std::uint32_t k32 = capped_u32(k);

  for (std::uint32_t c = 0; c < k32 && c < definitions.size(); ++c) {
    const std::optional<ConceptId>& d = definitions[ClassId{c}];
    if (!d) continue;
    if (auto entry = definition_entry(c, *d, copy.concepts)) {
      const auto number = static_cast<std::uint32_t>(set->definition_entries.size());
      for (std::uint32_t conjunct : entry->conjuncts) {
        auto& list = set->entries_by_conjunct[conjunct];
        if (list.empty() || list.back() != number) list.push_back(number);
      }
      set->definition_entries.push_back(std::move(*entry));
    }
  }

  set->probe_id = reserve_probe_id(set->clauses, k, copy.vocabulary.individuals.size());
  set->nominals = {true, k32, capped_u32(copy.vocabulary.individuals.size())};
  FreshIds fresh{set->probe_id + 1, {}};
  add_different_individual_clauses(copy.axioms, k32, set->clauses);

  std::vector<std::pair<std::uint32_t, std::uint32_t>> value_pairs;
  if (switch_flag(SwitchId::SatSeed)) {
    sat::ElLinksResult saturated = sat::el_saturate_links(copy);
    std::vector<std::vector<std::uint32_t>> subsumers(k32);
    std::vector<std::vector<std::pair<Role, std::uint32_t>>> links(k32);
    for (std::uint32_t c = 0; c < k32; ++c)
      for (std::uint32_t s : saturated.result.subsumers.row_sorted(c))
        if (s != c && s < k32) subsumers[c].push_back(s);
    for (const sat::ElLink& link : saturated.links) {
      if (link.source >= k32) continue;
      const Role role = Role::named(RoleId{link.role});
      if (link.target < k32) {
        links[link.source].emplace_back(role, link.target);
      } else if (auto it = saturated.nominals.find(link.target); it != saturated.nominals.end()) {
        links[link.source].emplace_back(role, k32 + it->second);
      }
    }
    if (switch_flag(SwitchId::ValueTypeDisjoint)) value_pairs = value_type_disjoint_pairs(copy, links);
    set->seed_subsumers = std::move(subsumers);
    set->seed_links = std::move(links);
  }
  if (switch_flag(SwitchId::TautologySkip)) set->tautology_pairs = collect_tautology_pairs(copy);

  const InverseRoleMap inverses = collect_inverse_role_map(copy.axioms);
  set->negated_definitions = clause_atoms_from_concepts(k32, definitions, copy.concepts, inverses,
                                                        dkey_class_flags(copy), fresh, set->clauses);
  auto hierarchy = std::make_shared<const RoleHierarchy>(build_role_hierarchy(copy));
  append_role_clauses(copy, set->clauses);

  set->amortized = switch_flag(SwitchId::ClassifyAmortizeIdx);
  if (set->amortized) {
    for (auto [x, y] : value_pairs) set->clauses.push_back({{concept_atom(x, 0), concept_atom(y, 0)}, {}});
  } else {
    set->loose_disjoint_pairs = std::move(value_pairs);
  }

  if (auto check = build_model_key_check(copy, set->clauses)) append_key_cover_clauses(*check, set->clauses);
  set->hierarchy_in_index = switch_flag(SwitchId::ClassifyRoleHierarchy) && role_hierarchy_affordable(*hierarchy);
  const RoleHierarchy* in_index = set->hierarchy_in_index ? hierarchy.get() : nullptr;
  auto indexes = std::make_shared<ClauseIndexes>();
  for (std::size_t i = 0; i < set->clauses.size(); ++i) indexes->add_clause(i, set->clauses[i], in_index);
  // The probe's own trigger: the first extra clause of every run (P(x) → …)
  // sits at this id, so runs that share the index need no delta for it.
  indexes->add_clause(set->clauses.size(), {{concept_atom(set->probe_id, 0)}, {concept_atom(set->probe_id, 0)}},
                      in_index);
  set->indexes = std::move(indexes);
  set->disjoint_pairs = std::make_shared<const DisjointPairs>(collect_disjoint_pairs(set->clauses));
  set->lookahead = lookahead_for(copy);

  set->sat_exact = clausified.skipped == 0 && !has_key_number_restriction(copy) && !has_key_beyond_pairs(copy) &&
                   inverses_folded(copy, inverses) && (set->hierarchy_in_index || hierarchy_is_trivial(*hierarchy));
  set->key_check = build_model_key_check(copy, set->clauses);
  set->role_hierarchy = std::move(hierarchy);
  return set;
}

WedgeClauseSet build_wedge_clause_set(const InternalOntology& ir) {
  WedgeClauseSet set;
  InternalOntology copy = ir;
  // Role assertions and equalities go into the seed graph instead.
  add_assertions_as_nominal_axioms(copy, false);
  add_role_gcis(copy);
  DlClauseSet clausified = clausify(copy);
  set.clauses = std::move(clausified.clauses);
  set.class_count = capped_u32(copy.vocabulary.classes.size());
  set.individual_count = capped_u32(copy.vocabulary.individuals.size());
  add_different_individual_clauses(copy.axioms, set.class_count, set.clauses);
  append_role_clauses(copy, set.clauses);
  set.role_hierarchy = std::make_shared<const RoleHierarchy>(build_role_hierarchy(copy));
  if (auto check = build_model_key_check(copy, set.clauses)) append_key_cover_clauses(*check, set.clauses);

  const InverseRoleMap inverses = collect_inverse_role_map(copy.axioms);
  for (const Axiom& axiom : copy.axioms) {
    if (const auto* a = std::get_if<ObjectPropertyAssertion>(&axiom)) {
      // Edges carry the role as the clauses write it.
      const Role r = canonical_role_of(inverses, a->role);
      if (r.is_named()) set.abox.role_assertions.push_back({0, r.id.v, a->subject.v, a->object.v});
      else set.abox.role_assertions.push_back({0, r.id.v, a->object.v, a->subject.v});
    } else if (const auto* s = std::get_if<SameIndividual>(&axiom)) {
      for (std::size_t i = 0; i < s->individuals.size(); ++i)
        for (std::size_t j = i + 1; j < s->individuals.size(); ++j)
          set.abox.equalities.emplace_back(s->individuals[i].v, s->individuals[j].v);
    }
  }
  set.abox.individual_count = set.individual_count;
  set.abox.first_nominal = set.class_count;
  set.lookahead = lookahead_for(copy);
  set.exact = clausified.skipped == 0 && !has_key_number_restriction(copy) && !has_key_beyond_pairs(copy) &&
              inverses_folded(copy, inverses);
  set.key_check = build_model_key_check(copy, set.clauses);
  return set;
}

bool model_trusted(const HyperClauseSet& set, const HyperEngine& engine) {
  return set.sat_exact && (!set.key_check || model_values_fit(*set.key_check, engine));
}

bool model_trusted(const WedgeClauseSet& set, const HyperEngine& engine) {
  return set.exact && (!set.key_check || model_values_fit(*set.key_check, engine));
}

}  // namespace kelmon::reasoner
