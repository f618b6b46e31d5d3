// Axioms of the internal ontology: 25 kinds, each a plain struct, held in one
// variant whose index is the kind number. Fields are declared in the order in
// which the total order compares them, so the defaulted comparisons are that order.
#pragma once

#include <compare>
#include <cstdint>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

#include "common/ids.h"
#include "core/concept.h"

namespace kelmon {

// The sub side of a role inclusion. Every Single orders before every Chain.
struct Single {
  Role role;
  friend auto operator<=>(const Single&, const Single&) = default;
};
struct Chain {
  std::vector<Role> roles;  // r1 o r2 o ... o rk
  friend auto operator<=>(const Chain&, const Chain&) = default;
};
using SubRole = std::variant<Single, Chain>;

struct SubClassOf {
  ConceptId sub;
  ConceptId sup;
  friend auto operator<=>(const SubClassOf&, const SubClassOf&) = default;
};
struct EquivalentClasses {
  std::vector<ConceptId> members;
  friend auto operator<=>(const EquivalentClasses&, const EquivalentClasses&) = default;
};
struct DisjointClasses {
  std::vector<ConceptId> members;
  friend auto operator<=>(const DisjointClasses&, const DisjointClasses&) = default;
};
struct DisjointUnion {
  ClassId cls;                    // the united class
  std::vector<ConceptId> parts;   // the disjoint parts
  friend auto operator<=>(const DisjointUnion&, const DisjointUnion&) = default;
};
struct SubObjectPropertyOf {
  SubRole sub;
  Role sup;
  friend auto operator<=>(const SubObjectPropertyOf&, const SubObjectPropertyOf&) = default;
};
struct EquivalentObjectProperties {
  std::vector<Role> roles;
  friend auto operator<=>(const EquivalentObjectProperties&, const EquivalentObjectProperties&) = default;
};
struct DisjointObjectProperties {
  std::vector<Role> roles;
  friend auto operator<=>(const DisjointObjectProperties&, const DisjointObjectProperties&) = default;
};
struct InverseObjectProperties {
  Role first;
  Role second;
  friend auto operator<=>(const InverseObjectProperties&, const InverseObjectProperties&) = default;
};
struct ObjectPropertyDomain {
  Role role;
  ConceptId domain;
  friend auto operator<=>(const ObjectPropertyDomain&, const ObjectPropertyDomain&) = default;
};
struct ObjectPropertyRange {
  Role role;
  ConceptId range;
  friend auto operator<=>(const ObjectPropertyRange&, const ObjectPropertyRange&) = default;
};
struct TransitiveRole {
  Role role;
  friend auto operator<=>(const TransitiveRole&, const TransitiveRole&) = default;
};
struct SymmetricRole {
  Role role;
  friend auto operator<=>(const SymmetricRole&, const SymmetricRole&) = default;
};
struct AsymmetricRole {
  Role role;
  friend auto operator<=>(const AsymmetricRole&, const AsymmetricRole&) = default;
};
struct ReflexiveRole {
  Role role;
  friend auto operator<=>(const ReflexiveRole&, const ReflexiveRole&) = default;
};
struct IrreflexiveRole {
  Role role;
  friend auto operator<=>(const IrreflexiveRole&, const IrreflexiveRole&) = default;
};
// Inverse flag kept; InverseFunctionalObjectProperty(inv(P)) arrives as FunctionalRole(P).
struct FunctionalRole {
  Role role;
  friend auto operator<=>(const FunctionalRole&, const FunctionalRole&) = default;
};
// Always over a named role.
struct InverseFunctionalRole {
  Role role;
  friend auto operator<=>(const InverseFunctionalRole&, const InverseFunctionalRole&) = default;
};
struct ClassAssertion {
  ConceptId concept_id;
  IndividualId individual;
  friend auto operator<=>(const ClassAssertion&, const ClassAssertion&) = default;
};
struct ObjectPropertyAssertion {
  Role role;
  IndividualId subject;
  IndividualId object;
  friend auto operator<=>(const ObjectPropertyAssertion&, const ObjectPropertyAssertion&) = default;
};
struct NegativeObjectPropertyAssertion {
  Role role;
  IndividualId subject;
  IndividualId object;
  friend auto operator<=>(const NegativeObjectPropertyAssertion&, const NegativeObjectPropertyAssertion&) = default;
};
struct SameIndividual {
  std::vector<IndividualId> individuals;
  friend auto operator<=>(const SameIndividual&, const SameIndividual&) = default;
};
struct DifferentIndividuals {
  std::vector<IndividualId> individuals;
  friend auto operator<=>(const DifferentIndividuals&, const DifferentIndividuals&) = default;
};
struct DeclareClass {
  ClassId cls;
  friend auto operator<=>(const DeclareClass&, const DeclareClass&) = default;
};
struct DeclareObjectProperty {
  RoleId role;
  friend auto operator<=>(const DeclareObjectProperty&, const DeclareObjectProperty&) = default;
};
struct DeclareNamedIndividual {
  IndividualId individual;
  friend auto operator<=>(const DeclareNamedIndividual&, const DeclareNamedIndividual&) = default;
};

// The variant index is the kind number, 0 (SubClassOf) to 24 (DeclareNamedIndividual).
// Copying an Axiom is its deep copy (Axiom::clone).
using Axiom = std::variant<SubClassOf, EquivalentClasses, DisjointClasses, DisjointUnion, SubObjectPropertyOf,
                           EquivalentObjectProperties, DisjointObjectProperties, InverseObjectProperties,
                           ObjectPropertyDomain, ObjectPropertyRange, TransitiveRole, SymmetricRole, AsymmetricRole,
                           ReflexiveRole, IrreflexiveRole, FunctionalRole, InverseFunctionalRole, ClassAssertion,
                           ObjectPropertyAssertion, NegativeObjectPropertyAssertion, SameIndividual,
                           DifferentIndividuals, DeclareClass, DeclareObjectProperty, DeclareNamedIndividual>;

enum class AxiomKind : std::uint32_t {
  SubClassOf,
  EquivalentClasses,
  DisjointClasses,
  DisjointUnion,
  SubObjectPropertyOf,
  EquivalentObjectProperties,
  DisjointObjectProperties,
  InverseObjectProperties,
  ObjectPropertyDomain,
  ObjectPropertyRange,
  TransitiveRole,
  SymmetricRole,
  AsymmetricRole,
  ReflexiveRole,
  IrreflexiveRole,
  FunctionalRole,
  InverseFunctionalRole,
  ClassAssertion,
  ObjectPropertyAssertion,
  NegativeObjectPropertyAssertion,
  SameIndividual,
  DifferentIndividuals,
  DeclareClass,
  DeclareObjectProperty,
  DeclareNamedIndividual,
};

inline constexpr std::uint32_t kAxiomKindCount = 25;

inline AxiomKind axiom_kind(const Axiom& a) { return static_cast<AxiomKind>(a.index()); }
inline std::uint32_t axiom_kind_number(const Axiom& a) { return static_cast<std::uint32_t>(a.index()); }
// The kind's name as output names it, e.g. "SubClassOf".
std::string_view axiom_kind_name(AxiomKind kind);

// Deep copy (lists copied).
inline Axiom axiom_clone(const Axiom& a) { return a; }

// The total order: kind first, then the payload fields in declaration order;
// ids by number, roles flag first, lists lexicographically (a proper prefix
// first), a Single sub-role before every Chain.
std::strong_ordering axiom_cmp(const Axiom& a, const Axiom& b);
bool axiom_less(const Axiom& a, const Axiom& b);
std::strong_ordering sub_role_cmp(const SubRole& a, const SubRole& b);
std::strong_ordering role_slice_cmp(std::span<const Role> a, std::span<const Role> b);

// Stable sort by axiom_less; equal axioms stay, next to each other.
void sort_axioms(std::vector<Axiom>& axioms);

}  // namespace kelmon
