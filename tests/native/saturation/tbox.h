// Small TBoxes and ABoxes built by hand through the IR, for saturation tests.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/scoped_switch.h"
#include "core/ir.h"
#include "saturation/saturation.h"

namespace kelmon::sat::testing {

class Tbox {
 public:
  ConceptId A(std::string_view name) { return o.concepts.intern(Atomic{cls(name)}); }
  ClassId cls(std::string_view name) { return o.vocabulary.classes.intern(name); }
  Role r(std::string_view name) { return Role::named(o.vocabulary.roles.intern(name)); }
  Role inv(std::string_view name) { return Role::inverse_of(o.vocabulary.roles.intern(name)); }
  IndividualId ind(std::string_view name) { return o.vocabulary.individuals.intern(name); }

  ConceptId top() { return o.concepts.intern(Top{}); }
  ConceptId bot() { return o.concepts.intern(Bottom{}); }
  ConceptId some(Role role, ConceptId filler) { return o.concepts.intern(Some{filler, role}); }
  ConceptId all(Role role, ConceptId filler) { return o.concepts.intern(All{filler, role}); }
  ConceptId min(std::uint32_t n, Role role, ConceptId filler) { return o.concepts.mk_min(n, role, filler); }
  ConceptId max(std::uint32_t n, Role role, ConceptId filler) { return o.concepts.intern(Max{n, filler, role}); }
  ConceptId self(Role role) { return o.concepts.intern(Self{role}); }
  ConceptId nominal(std::string_view name) { return o.concepts.intern(Nominal{ind(name)}); }
  ConceptId not_(ConceptId c) { return o.concepts.intern(Not{c}); }
  ConceptId and_(std::vector<ConceptId> m) { return o.concepts.mk_and(std::move(m)); }
  ConceptId or_(std::vector<ConceptId> m) { return o.concepts.mk_or(std::move(m)); }

  void sub(ConceptId a, ConceptId b) { o.axioms.push_back(SubClassOf{a, b}); }
  void equiv(std::vector<ConceptId> m) { o.axioms.push_back(EquivalentClasses{std::move(m)}); }
  void disjoint(std::vector<ConceptId> m) { o.axioms.push_back(DisjointClasses{std::move(m)}); }
  void subrole(Role a, Role b) { o.axioms.push_back(SubObjectPropertyOf{Single{a}, b}); }
  void equiv_roles(std::vector<Role> roles) { o.axioms.push_back(EquivalentObjectProperties{std::move(roles)}); }
  void chain(Role a, Role b, Role s) { o.axioms.push_back(SubObjectPropertyOf{Chain{{a, b}}, s}); }
  void domain(Role role, ConceptId c) { o.axioms.push_back(ObjectPropertyDomain{role, c}); }
  void range(Role role, ConceptId c) { o.axioms.push_back(ObjectPropertyRange{role, c}); }
  void transitive(Role role) { o.axioms.push_back(TransitiveRole{role}); }
  void functional(Role role) { o.axioms.push_back(FunctionalRole{role}); }
  void type(ConceptId c, std::string_view a) { o.axioms.push_back(ClassAssertion{c, ind(a)}); }
  void fact(Role role, std::string_view a, std::string_view b) {
    o.axioms.push_back(ObjectPropertyAssertion{role, ind(a), ind(b)});
  }

  // The class id of a name the TBox has interned; a typo fails loudly.
  std::uint32_t id(std::string_view name) const {
    auto entry = o.vocabulary.classes.get(name);
    if (!entry) throw std::invalid_argument("class not in the TBox: " + std::string(name));
    return entry->id.v;
  }

  InternalOntology o;
};

}  // namespace kelmon::sat::testing
