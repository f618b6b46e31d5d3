// A small hand-built internal ontology for the core tests: names are interned
// on first mention, so ids follow the order in which a test mentions them.
#pragma once

#include <string>
#include <vector>

#include "core/ir.h"

namespace kelmon::testing {

struct IrFixture {
  InternalOntology ir;

  ClassId cid(const std::string& name) { return ir.vocabulary.classes.intern(name); }
  ConceptId A(const std::string& name) { return ir.concepts.intern(Atomic{cid(name)}); }
  Role r(const std::string& name) { return Role::named(ir.vocabulary.roles.intern(name)); }
  Role inv(const std::string& name) { return Role::inverse_of(ir.vocabulary.roles.intern(name)); }
  RoleId rid(const std::string& name) { return ir.vocabulary.roles.intern(name); }
  IndividualId ind(const std::string& name) { return ir.vocabulary.individuals.intern(name); }

  ConceptId top() { return ir.concepts.intern(Top{}); }
  ConceptId bot() { return ir.concepts.intern(Bottom{}); }
  ConceptId no(ConceptId x) { return ir.concepts.intern(Not{x}); }
  ConceptId some(Role role, ConceptId f) { return ir.concepts.intern(Some{f, role}); }
  ConceptId all(Role role, ConceptId f) { return ir.concepts.intern(All{f, role}); }
  ConceptId min(std::uint32_t n, Role role, ConceptId f) { return ir.concepts.intern(Min{n, f, role}); }
  ConceptId max(std::uint32_t n, Role role, ConceptId f) { return ir.concepts.intern(Max{n, f, role}); }
  ConceptId nom(const std::string& name) { return ir.concepts.intern(Nominal{ind(name)}); }
  ConceptId or_(std::vector<ConceptId> m) { return ir.concepts.mk_or(std::move(m)); }
  ConceptId and_(std::vector<ConceptId> m) { return ir.concepts.mk_and(std::move(m)); }

  void add(Axiom a) { ir.axioms.push_back(std::move(a)); }
  void sub(ConceptId a, ConceptId b) { add(SubClassOf{a, b}); }

  std::vector<ClassId> classes(std::initializer_list<const char*> names) {
    std::vector<ClassId> out;
    for (const char* n : names) out.push_back(cid(n));
    return out;
  }
};

// A concept written out structurally, with names: ids differ between
// ontologies built in different orders, the structure does not.
std::string render(const InternalOntology& ir, ConceptId id);
std::string render(const InternalOntology& ir, const Axiom& axiom);
// Every axiom rendered, sorted as strings: the multiset of axioms.
std::vector<std::string> rendered_axioms(const InternalOntology& ir);

template <class Span>
std::vector<ClassId> to_vector(Span s) {
  return std::vector<ClassId>(s.begin(), s.end());
}

}  // namespace kelmon::testing
