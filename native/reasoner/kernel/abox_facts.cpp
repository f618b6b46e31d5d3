#include "reasoner/kernel/abox_facts.h"

#include <variant>

#include <tsl/robin_set.h>

#include "common/overload.h"
#include "core/axiom.h"
#include "core/concept_pool.h"

namespace kelmon::reasoner {
namespace {

RoleAssertionFact normalised(Role role, IndividualId subject, IndividualId object) {
  return role.is_named() ? RoleAssertionFact{subject, role.id, object} : RoleAssertionFact{object, role.id, subject};
}

void all_pairs(const std::vector<IndividualId>& list, std::vector<std::pair<IndividualId, IndividualId>>& out) {
  for (std::size_t i = 0; i < list.size(); ++i)
    for (std::size_t j = i + 1; j < list.size(); ++j) out.emplace_back(list[i], list[j]);
}

}  // namespace

AboxFacts collect_abox_facts(InternalOntology& ir) {
  AboxFacts facts;
  ConceptPool& pool = ir.concepts;
  tsl::robin_set<std::uint32_t> registered;
  auto reg = [&](IndividualId i) {
    if (registered.insert(i.v).second) facts.individual_nominals.emplace_back(i, pool.intern(Nominal{i}));
  };
  auto reg_list = [&](const std::vector<IndividualId>& list) {
    for (IndividualId i : list) reg(i);
  };
  for (const Axiom& axiom : ir.axioms) {
    std::visit(Overload{[&](const ClassAssertion& a) { reg(a.individual); },
                        [&](const ObjectPropertyAssertion& a) {
                          reg(a.subject);
                          reg(a.object);
                        },
                        [&](const NegativeObjectPropertyAssertion& a) {
                          reg(a.subject);
                          reg(a.object);
                        },
                        [&](const SameIndividual& a) { reg_list(a.individuals); },
                        [&](const DifferentIndividuals& a) { reg_list(a.individuals); }, [](const auto&) {}},
               axiom);
  }
  for (const Axiom& axiom : ir.axioms) {
    std::visit(Overload{[&](const ClassAssertion& a) { facts.class_assertions.emplace_back(a.individual, a.concept_id); },
                        [&](const ObjectPropertyAssertion& a) {
                          facts.role_assertions.push_back(normalised(a.role, a.subject, a.object));
                        },
                        [&](const NegativeObjectPropertyAssertion& a) {
                          const ConceptId nominal = pool.intern(Nominal{a.object});
                          const ConceptId excluded = pool.intern(Not{nominal});
                          facts.negative_assertion_concepts.emplace_back(a.subject,
                                                                         pool.intern(All{excluded, a.role}));
                          facts.negative_role_assertions.push_back(normalised(a.role, a.subject, a.object));
                        },
                        [&](const SameIndividual& a) { all_pairs(a.individuals, facts.same_pairs); },
                        [&](const DifferentIndividuals& a) { all_pairs(a.individuals, facts.different_pairs); },
                        [](const auto&) {}},
               axiom);
  }
  return facts;
}

}  // namespace kelmon::reasoner
