#include "reasoner/kernel/asserted_facts.h"

#include <tsl/robin_set.h>

#include "common/overload.h"

namespace kelmon::reasoner {

namespace {

RoleFact role_fact(Role role, IndividualId subject, IndividualId object) {
  return role.is_named() ? RoleFact{subject, role.id, object} : RoleFact{object, role.id, subject};
}

void add_pairs(const std::vector<IndividualId>& list, std::vector<IndividualPair>& out) {
  for (std::size_t i = 0; i < list.size(); ++i)
    for (std::size_t j = i + 1; j < list.size(); ++j) out.emplace_back(list[i], list[j]);
}

}  // namespace

AboxFacts collect_abox_facts(InternalOntology& ir) {
  AboxFacts facts;
  ConceptPool& pool = ir.concepts;
  tsl::robin_set<std::uint32_t> registered;
  auto reg = [&](IndividualId a) {
    if (registered.insert(a.v).second) facts.individual_nominals.emplace_back(a, pool.intern(Nominal{a}));
  };
  for (const Axiom& axiom : ir.axioms) {
    std::visit(Overload{
                   [&](const SameIndividual& x) { for (IndividualId a : x.individuals) reg(a); },
                   [&](const DifferentIndividuals& x) { for (IndividualId a : x.individuals) reg(a); },
                   [&](const ObjectPropertyAssertion& x) { reg(x.subject); reg(x.object); },
                   [&](const NegativeObjectPropertyAssertion& x) { reg(x.subject); reg(x.object); },
                   [&](const ClassAssertion& x) { reg(x.individual); },
                   [](const auto&) {},
               },
               axiom);
  }
  for (const Axiom& axiom : ir.axioms) {
    std::visit(Overload{
                   [&](const ClassAssertion& x) { facts.class_assertions.emplace_back(x.individual, x.concept_id); },
                   [&](const ObjectPropertyAssertion& x) {
                     facts.role_assertions.push_back(role_fact(x.role, x.subject, x.object));
                   },
                   [&](const NegativeObjectPropertyAssertion& x) {
                     ConceptId nominal = pool.intern(Nominal{x.object});
                     ConceptId not_nominal = pool.intern(Not{nominal});
                     facts.negative_assertion_concepts.emplace_back(x.subject, pool.intern(All{not_nominal, x.role}));
                     facts.negative_role_assertions.push_back(role_fact(x.role, x.subject, x.object));
                   },
                   [&](const SameIndividual& x) { add_pairs(x.individuals, facts.same_pairs); },
                   [&](const DifferentIndividuals& x) { add_pairs(x.individuals, facts.different_pairs); },
                   [](const auto&) {},
               },
               axiom);
  }
  return facts;
}

}  // namespace kelmon::reasoner
