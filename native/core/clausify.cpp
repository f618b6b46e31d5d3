// The ontology's TBox and RBox as DL-clauses. Assertions, declarations and
// most role characteristics make no clause: the hypertableau receives
// individuals, assertions and the role hierarchy from the kernel directly.
#include <limits>

#include "common/invariant.h"
#include "common/overload.h"
#include "common/switches.h"
#include "core/clause.h"
#include "core/clausifier.h"
#include "core/data/dkey_encode.h"
#include "core/nnf.h"
#include "core/role_hierarchy.h"

namespace kelmon {

namespace {

constexpr std::uint64_t kU32Max = std::numeric_limits<std::uint32_t>::max();

// Every pair i < j of the members as one constraint clause per pair of
// alternatives; on_missing runs for a pair where a member has no body form.
template <class OnMissing>
void disjoint_pairs(Clausifier& cl, const std::vector<ConceptId>& members, OnMissing on_missing) {
  for (std::size_t i = 0; i < members.size(); ++i) {
    for (std::size_t j = i + 1; j < members.size(); ++j) {
      cl.next_var = 1;
      std::optional<BodyAlternatives> bi = cl.body(members[i], 0);
      std::optional<BodyAlternatives> bj = cl.body(members[j], 0);
      if (!bi || !bj) {
        on_missing();
        continue;
      }
      for (const auto& a : *bi) {
        for (const auto& b : *bj) {
          std::vector<ClauseAtom> joined = a;
          joined.insert(joined.end(), b.begin(), b.end());
          cl.clauses.push_back({std::move(joined), {}});
        }
      }
    }
  }
}

void disjoint_union(Clausifier& cl, const DisjointUnion& a) {
  const ClauseAtom whole = concept_atom(a.cls.v, 0);
  disjoint_pairs(cl, a.parts, [] {});
  for (ConceptId part : a.parts) {
    cl.next_var = 1;
    std::optional<BodyAlternatives> alternatives = cl.body(part, 0);
    if (!alternatives) {
      cl.skips.record("disjoint-union-member");
      continue;
    }
    for (auto& b : *alternatives) cl.clauses.push_back({std::move(b), {whole}});
  }
  cl.next_var = 1;
  std::vector<ClauseAtom> cover;
  for (ConceptId part : a.parts) {
    const Concept& c = cl.pool.get(part);
    if (const Atomic* x = std::get_if<Atomic>(&c)) {
      cover.push_back(concept_atom(x->cls.v, 0));
    } else if (const Nominal* o = std::get_if<Nominal>(&c)) {
      cover.push_back(concept_atom(cl.class_count + o->individual.v, 0));
    } else {
      cl.skips.record("disjoint-union-covering");
      return;
    }
  }
  cl.clauses.push_back({{whole}, std::move(cover)});
}

void translate(Clausifier& cl, const Axiom& axiom) {
  std::visit(Overload{
                 [&](const SubClassOf& a) { cl.gci(a.sub, a.sup); },
                 [&](const EquivalentClasses& a) {
                   for (std::size_t i = 0; i < a.members.size(); ++i) {
                     for (std::size_t j = 0; j < a.members.size(); ++j) {
                       if (i != j) cl.gci(a.members[i], a.members[j]);
                     }
                   }
                 },
                 [&](const DisjointClasses& a) {
                   disjoint_pairs(cl, a.members, [&] { cl.skips.record("disjoint-antecedent"); });
                 },
                 [&](const DisjointUnion& a) { disjoint_union(cl, a); },
                 [&](const SubObjectPropertyOf& a) {
                   const Chain* chain = std::get_if<Chain>(&a.sub);
                   if (chain == nullptr) return;  // single inclusions travel in the role hierarchy
                   if (chain->roles.size() != 2) {
                     cl.skips.record("role-chain-len-ne-2");
                     return;
                   }
                   cl.next_var = 3;
                   cl.clauses.push_back({{role_atom(0, 1, cl.canonical_role(chain->roles[0])),
                                          role_atom(1, 2, cl.canonical_role(chain->roles[1]))},
                                         {role_atom(0, 2, cl.canonical_role(a.sup))}});
                 },
                 [&](const ObjectPropertyDomain& a) {
                   cl.next_var = 2;
                   cl.head({role_atom(0, 1, cl.canonical_role(a.role))}, a.domain, 0);
                 },
                 [&](const ObjectPropertyRange& a) {
                   cl.next_var = 2;
                   cl.head({role_atom(0, 1, cl.canonical_role(a.role))}, a.range, 1);
                 },
                 [&](const TransitiveRole& a) {
                   cl.next_var = 3;
                   const Role r = cl.canonical_role(a.role);
                   cl.clauses.push_back({{role_atom(0, 1, r), role_atom(1, 2, r)}, {role_atom(0, 2, r)}});
                 },
                 [](const auto&) {},
             },
             axiom);
}

DlClauseSet count_clauses(std::vector<DlClause> clauses, std::uint64_t skipped) {
  DlClauseSet set;
  for (const DlClause& c : clauses) {
    ++set.total;
    if (c.head.size() <= 1) ++set.horn;
    if (c.head.empty()) ++set.empty_head;
    if (c.head.size() >= 2) ++set.disjunctive;
    for (const ClauseAtom& atom : c.head) {
      if (atom.atom_kind() == ClauseAtomKind::ExistsAtom) {
        ++set.existential_head;
        break;
      }
    }
  }
  set.clauses = std::move(clauses);
  set.skipped = skipped;
  return set;
}

}  // namespace

DlClauseSet clausify(const InternalOntology& ontology) {
  const std::uint64_t k = ontology.vocabulary.classes.size();
  const std::uint64_t n = ontology.vocabulary.individuals.size();
  invariant(k <= kU32Max, "class count fits in u32");
  invariant(n <= kU32Max, "individual count fits in u32");
  invariant(k + n <= kU32Max, "class+individual count fits in u32");

  // The walk follows the sorted axiom order even when the caller's list is
  // not sorted, so clauses and fresh ids never depend on the list's order.
  ConceptPool pool = ontology.concepts.clone();
  std::vector<Axiom> sorted = ontology.axioms;
  sort_axioms(sorted);
  const std::vector<Axiom> axioms = nnf_axioms(sorted, pool);

  Clausifier cl(std::move(pool), static_cast<std::uint32_t>(k), static_cast<std::uint32_t>(n));
  cl.inverse_map = collect_inverse_role_map(axioms);
  cl.dkey_classes.assign(k, false);
  const auto& names = ontology.vocabulary.classes.names();
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i]->starts_with(dkey_prefix)) cl.dkey_classes[i] = true;
  }
  cl.card_disjuncts = switch_flag(SwitchId::CardDisjunctAtoms);

  for (const Axiom& axiom : axioms) translate(cl, axiom);
  return count_clauses(std::move(cl.clauses), cl.skips.total);
}

}  // namespace kelmon
