#include "reasoner/kernel/role_tables.h"

#include <gtest/gtest.h>

#include "common/scoped_switch.h"
#include "core/ir_fixture.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::ScopedSwitch;
using kelmon::testing::IrFixture;

template <class S>
std::vector<RoleId> vec(S s) {
  return std::vector<RoleId>(s.begin(), s.end());
}

std::vector<Axiom> added_axioms(const InternalOntology& ir, std::size_t before) {
  return std::vector<Axiom>(ir.axioms.begin() + static_cast<std::ptrdiff_t>(before), ir.axioms.end());
}

TEST(RoleCharacteristicAxioms, EachCharacteristicBecomesItsClassAxiomInListOrder) {
  IrFixture f;
  Role r = f.r("r"), s = f.r("s"), t = f.r("t"), u = f.r("u"), v = f.r("v");
  f.add(SymmetricRole{r});
  f.add(ReflexiveRole{s});
  f.add(IrreflexiveRole{t});
  f.add(FunctionalRole{u});
  f.add(InverseFunctionalRole{v});
  f.add(FunctionalRole{f.inv("w")});  // over an inverse role: nothing
  const std::size_t before = f.ir.axioms.size();
  add_role_characteristic_axioms(f.ir);
  ConceptId top = f.top();
  std::vector<Axiom> expected = {
      InverseObjectProperties{r, r},
      SubClassOf{top, f.ir.concepts.intern(Self{s})},
      SubClassOf{top, f.no(f.ir.concepts.intern(Self{t}))},
      SubClassOf{top, f.max(1, u, top)},
      SubClassOf{top, f.max(1, inverse_role(v), top)},
  };
  EXPECT_EQ(added_axioms(f.ir, before), expected);
}

TEST(RoleCharacteristicAxioms, SymmetricRoleIsFlaggedAndListedAsItsOwnInverse) {
  IrFixture f;
  Role r = f.r("r");
  f.add(SymmetricRole{r});
  add_role_characteristic_axioms(f.ir);
  RoleHierarchy h = build_role_hierarchy(f.ir);
  EXPECT_TRUE(h.is_symmetric(r.id));
  RoleTables t = collect_role_tables(f.ir.axioms);
  EXPECT_EQ(t.inverse_pairs, (std::vector<RolePair>{{r.id, r.id}}));
}

TEST(RoleHierarchyFolding, InverseRoleFoldedOntoItsPartnerKeepsTheWrittenEdge) {
  IrFixture f;
  Role p = f.r("p"), q = f.r("q"), s = f.r("s");
  f.add(InverseObjectProperties{p, q});
  f.add(SubObjectPropertyOf{Single{q}, s});
  add_role_characteristic_axioms(f.ir);
  RoleHierarchy h = build_role_hierarchy(f.ir);
  // q is canonically p⁻, which has another orientation than s: no p -> s edge;
  // the written q -> s edge stays.
  EXPECT_EQ(vec(h.super_roles(q.id)), (std::vector<RoleId>{q.id, s.id}));
  EXPECT_EQ(vec(h.super_roles(p.id)), (std::vector<RoleId>{p.id}));
  auto inverses = collect_inverse_role_map(f.ir.axioms);
  EXPECT_EQ(canonical_role_of(inverses, q), inverse_role(p));
  EXPECT_EQ(canonical_role_of(inverses, inverse_role(q)), p);
  EXPECT_EQ(canonical_role_of(inverses, s), s);
  // Different orientations are not an inverse pair of the tableau's table.
  EXPECT_EQ(collect_role_tables(f.ir.axioms).inverse_pairs, (std::vector<RolePair>{{p.id, q.id}}));
}

TEST(RoleHierarchyFolding, InverseSubRoleOfFoldedPairGivesCanonicalEdge) {
  IrFixture f;
  Role p = f.r("p"), q = f.r("q"), s = f.r("s");
  f.add(InverseObjectProperties{p, q});
  // inv(q) is canonically p, named like s: edge p -> s.
  f.add(SubObjectPropertyOf{Single{inverse_role(q)}, s});
  RoleHierarchy h = build_role_hierarchy(f.ir);
  EXPECT_EQ(vec(h.super_roles(p.id)), (std::vector<RoleId>{p.id, s.id}));
  EXPECT_EQ(vec(h.super_roles(q.id)), (std::vector<RoleId>{q.id}));
}

TEST(RoleTablesTest, ChainsTransitivityAsymmetryAndDisjointPairs) {
  IrFixture f;
  Role p = f.r("p"), q = f.r("q"), r = f.r("r"), s = f.r("s");
  f.add(SubObjectPropertyOf{Chain{{p, q}}, r});
  f.add(SubObjectPropertyOf{Chain{{p, q, r}}, s});  // three links: not listed, no edge
  f.add(TransitiveRole{s});
  f.add(AsymmetricRole{inverse_role(q)});
  f.add(DisjointObjectProperties{{p, inverse_role(p), q}});
  f.add(InverseObjectProperties{inverse_role(r), inverse_role(s)});
  RoleTables t = collect_role_tables(f.ir.axioms);
  EXPECT_EQ(t.role_chains, (std::vector<RoleChainEntry>{{p, q, r}, {s, s, s}}));
  EXPECT_EQ(t.asymmetric_roles, (std::vector<RoleId>{q.id}));
  // p with p⁻ makes p asymmetric; p⁻ with q is p with q⁻, the named role first.
  EXPECT_EQ(t.disjoint_role_pairs,
            (std::vector<DisjointRolePair>{{p, inverse_role(p)}, {p, q}, {p, inverse_role(q)}}));
  EXPECT_EQ(t.inverse_pairs, (std::vector<RolePair>{{r.id, s.id}}));
  RoleHierarchy h = build_role_hierarchy(f.ir);
  EXPECT_EQ(vec(h.super_roles(p.id)), (std::vector<RoleId>{p.id}));
}

TEST(RoleClosureGate, NoRolesIsAffordableForAnyCap) {
  ScopedSwitch cap(SwitchId::ClassifyRoleHierarchyMaxClosure, "0");
  IrFixture f;
  EXPECT_TRUE(role_hierarchy_affordable(build_role_hierarchy(f.ir)));
}

struct GateCase {
  const char* name;
  std::optional<std::string> cap;
  bool affordable;  // for a longest row of 3
};

class RoleClosureGateTest : public ::testing::TestWithParam<GateCase> {};

TEST_P(RoleClosureGateTest, LongestRowAgainstCap) {
  ScopedSwitch cap(SwitchId::ClassifyRoleHierarchyMaxClosure, GetParam().cap);
  IrFixture f;
  Role a = f.r("a"), b = f.r("b"), c = f.r("c");
  f.add(SubObjectPropertyOf{Single{a}, b});
  f.add(SubObjectPropertyOf{Single{b}, c});  // a's super row: a, b, c
  EXPECT_EQ(role_hierarchy_affordable(build_role_hierarchy(f.ir)), GetParam().affordable);
}

INSTANTIATE_TEST_SUITE_P(Table, RoleClosureGateTest,
                         ::testing::Values(GateCase{"unset_is_64", std::nullopt, true},
                                           GateCase{"exactly_three", "3", true}, GateCase{"two", "+2", false},
                                           GateCase{"invalid_is_64", "2x", true},
                                           GateCase{"zero", "0", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RoleClosureGate, ProbeLineOnlyForExactlyOne) {
  IrFixture f;
  f.r("a");
  RoleHierarchy h = build_role_hierarchy(f.ir);
  {
    ScopedSwitch probe(SwitchId::RoleClosureProbe, "1");
    ::testing::internal::CaptureStderr();
    role_hierarchy_affordable(h);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "ROLECLOSURE\tnum_roles=1\tmax_closure=1\tcap=64\taffordable=true\n");
  }
  ScopedSwitch probe(SwitchId::RoleClosureProbe, "true");
  ::testing::internal::CaptureStderr();
  role_hierarchy_affordable(h);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace kelmon::reasoner
