#include "common/overload.h"
#include "core/nnf.h"

namespace kelmon {

namespace {

void nnf_members(std::vector<ConceptId>& members, ConceptPool& pool) {
  // Positions are kept: members that become equal both stay.
  for (ConceptId& m : members) m = pool.nnf(m);
}

}  // namespace

std::vector<Axiom> nnf_axioms(const std::vector<Axiom>& axioms, ConceptPool& pool) {
  std::vector<Axiom> out;
  out.reserve(axioms.size());
  for (const Axiom& axiom : axioms) {
    Axiom copy = axiom;
    std::visit(Overload{
                   [&](SubClassOf& a) {
                     a.sub = pool.nnf(a.sub);
                     a.sup = pool.nnf(a.sup);
                   },
                   [&](EquivalentClasses& a) { nnf_members(a.members, pool); },
                   [&](DisjointClasses& a) { nnf_members(a.members, pool); },
                   [&](DisjointUnion& a) { nnf_members(a.parts, pool); },
                   [&](ObjectPropertyDomain& a) { a.domain = pool.nnf(a.domain); },
                   [&](ObjectPropertyRange& a) { a.range = pool.nnf(a.range); },
                   [&](ClassAssertion& a) { a.concept_id = pool.nnf(a.concept_id); },
                   [](auto&) {},
               },
               copy);
    out.push_back(std::move(copy));
  }
  return out;
}

std::vector<Axiom> nnf_axioms(InternalOntology& ontology) { return nnf_axioms(ontology.axioms, ontology.concepts); }

}  // namespace kelmon
