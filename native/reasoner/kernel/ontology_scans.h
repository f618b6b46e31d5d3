// Scans of the converted ontology that decide how a prepared reasoner is
// built: whether it has assertions, whether nominals tie the ABox to the TBox,
// and which classes carry cardinality restrictions the tests must treat
// carefully. The concept walks step through Not, Some, All, Min and Max into
// their operand or filler and through And and Or into every member.
#pragma once

#include <cstdint>
#include <vector>

#include <tsl/robin_map.h>
#include <tsl/robin_set.h>

#include "core/data/dkey_value.h"
#include "core/ir.h"

namespace kelmon::reasoner {

using ClassSet = tsl::robin_set<ClassId>;
using DKeyMap = tsl::robin_map<ClassId, DKeyValue>;
// Class -> the least number of individuals it is told to be among.
using NominalBounds = tsl::robin_map<ClassId, std::uint32_t>;

// ClassAssertion, ObjectPropertyAssertion, NegativeObjectPropertyAssertion,
// SameIndividual or DifferentIndividuals.
bool is_assertion(const Axiom& axiom);
bool has_assertion(const std::vector<Axiom>& axioms);

bool mentions_nominal(ConceptId concept_id, const ConceptPool& pool);
// A Min or Max whose filler is an atomic data-value key class.
bool mentions_key_cardinality(const ConceptPool& pool, ConceptId concept_id, const DKeyMap& dkeys);
// A Min or Max whose filler is an atomic class with a nominal bound.
bool mentions_bounded_cardinality(const ConceptPool& pool, ConceptId concept_id, const NominalBounds& nominal_bound);
// A Min or Max whose filler is not Top, Bottom or atomic.
bool mentions_complex_cardinality(const ConceptPool& pool, ConceptId concept_id);

// A nominal in a class axiom, or in the concept of a property domain or range.
bool tbox_mentions_nominal(const InternalOntology& ir);
// tbox_mentions_nominal, or a nominal in the concept of a class assertion.
bool abox_touches_tbox(const InternalOntology& ir);

// Atomic A of every SubClassOf(A, C) with test(C), and every atomic member of
// an EquivalentClasses list with a member that passes the test.
template <class Test>
ClassSet classes_whose_definition(const InternalOntology& ir, Test&& test) {
  ClassSet out;
  const ConceptPool& pool = ir.concepts;
  for (const Axiom& axiom : ir.axioms) {
    if (const auto* s = std::get_if<SubClassOf>(&axiom)) {
      if (const auto* a = std::get_if<Atomic>(&pool.get(s->sub)); a != nullptr && test(s->sup)) out.insert(a->cls);
    } else if (const auto* e = std::get_if<EquivalentClasses>(&axiom)) {
      bool any = false;
      for (ConceptId m : e->members) any = any || test(m);
      if (!any) continue;
      for (ConceptId m : e->members)
        if (const auto* a = std::get_if<Atomic>(&pool.get(m))) out.insert(a->cls);
    }
  }
  return out;
}

// The class -> bound map of classes told to be a nominal or a union of nominals.
NominalBounds collect_nominal_bounds(const InternalOntology& ir);

// Every decodable data-value key class of the vocabulary with its value.
DKeyMap collect_dkeys(const Vocabulary& vocabulary);

}  // namespace kelmon::reasoner
