#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/ir.h"

namespace kelmon {
namespace {

ConceptId C(std::uint32_t v) { return ConceptId{v}; }
IndividualId I(std::uint32_t v) { return IndividualId{v}; }
Role R(std::uint32_t id) { return Role::named(RoleId{id}); }
Role Inv(std::uint32_t id) { return Role::inverse_of(RoleId{id}); }

struct OrderCase {
  const char* name;
  Axiom before;
  Axiom after;
};

class AxiomOrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(AxiomOrderTest, StrictlyBefore) {
  const OrderCase& c = GetParam();
  EXPECT_TRUE(axiom_less(c.before, c.after));
  EXPECT_FALSE(axiom_less(c.after, c.before));
  EXPECT_EQ(axiom_cmp(c.before, c.after), std::strong_ordering::less);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AxiomOrderTest,
    ::testing::Values(
        OrderCase{"sub_decides", SubClassOf{C(1), C(9)}, SubClassOf{C(2), C(0)}},
        OrderCase{"sup_breaks_tie", SubClassOf{C(1), C(2)}, SubClassOf{C(1), C(3)}},
        OrderCase{"kind_first", SubClassOf{C(100), C(100)}, EquivalentClasses{{C(0)}}},
        OrderCase{"declare_individual_last", ClassAssertion{C(0), I(0)}, DeclareNamedIndividual{I(0)}},
        OrderCase{"proper_prefix_first", EquivalentClasses{{C(1), C(2)}}, EquivalentClasses{{C(1), C(2), C(0)}}},
        OrderCase{"element_decides_over_length", EquivalentClasses{{C(1), C(2), C(0)}},
                  EquivalentClasses{{C(1), C(3)}}},
        OrderCase{"empty_list_first", DisjointClasses{{}}, DisjointClasses{{C(0)}}},
        OrderCase{"single_before_chain", SubObjectPropertyOf{Single{Inv(9)}, R(9)},
                  SubObjectPropertyOf{Chain{{R(0)}}, R(0)}},
        OrderCase{"chains_lexicographic", SubObjectPropertyOf{Chain{{R(0), R(1)}}, R(9)},
                  SubObjectPropertyOf{Chain{{R(0), R(1), R(0)}}, R(0)}},
        OrderCase{"single_by_role_flag_first", SubObjectPropertyOf{Single{R(5)}, R(0)},
                  SubObjectPropertyOf{Single{Inv(0)}, R(0)}},
        OrderCase{"named_before_inverse", TransitiveRole{R(5)}, TransitiveRole{Inv(0)}},
        OrderCase{"role_list_flag_first", EquivalentObjectProperties{{R(7)}}, EquivalentObjectProperties{{Inv(1)}}},
        OrderCase{"assertion_role_first", ObjectPropertyAssertion{R(1), I(9), I(9)},
                  ObjectPropertyAssertion{R(2), I(0), I(0)}},
        OrderCase{"assertion_subject_then_object", ObjectPropertyAssertion{R(1), I(1), I(9)},
                  ObjectPropertyAssertion{R(1), I(2), I(0)}},
        OrderCase{"assertion_object", ObjectPropertyAssertion{R(1), I(1), I(1)},
                  ObjectPropertyAssertion{R(1), I(1), I(2)}},
        OrderCase{"disjoint_union_class_first", DisjointUnion{ClassId{1}, {C(9)}}, DisjointUnion{ClassId{2}, {C(0)}}},
        OrderCase{"domain_role_then_concept", ObjectPropertyDomain{R(0), C(5)}, ObjectPropertyDomain{R(1), C(0)}},
        OrderCase{"class_assertion_concept_first", ClassAssertion{C(1), I(9)}, ClassAssertion{C(2), I(0)}},
        OrderCase{"inverse_props_first_role", InverseObjectProperties{R(0), Inv(5)}, InverseObjectProperties{Inv(0), R(0)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AxiomOrder, KindNumbersAndNames) {
  EXPECT_EQ(axiom_kind_number(Axiom{SubClassOf{}}), 0u);
  EXPECT_EQ(axiom_kind_number(Axiom{InverseFunctionalRole{}}), 16u);
  EXPECT_EQ(axiom_kind_number(Axiom{DeclareNamedIndividual{}}), 24u);
  EXPECT_EQ(axiom_kind_name(AxiomKind::NegativeObjectPropertyAssertion), "NegativeObjectPropertyAssertion");
  EXPECT_EQ(axiom_kind_name(axiom_kind(Axiom{DeclareObjectProperty{}})), "DeclareObjectProperty");
}

TEST(AxiomOrder, SubRoleAndRoleSliceCompare) {
  EXPECT_EQ(sub_role_cmp(Single{Inv(99)}, Chain{{}}), std::strong_ordering::less);
  EXPECT_EQ(sub_role_cmp(Chain{{R(1)}}, Chain{{R(1)}}), std::strong_ordering::equal);
  std::vector<Role> a{R(1), R(2)}, b{R(1), R(2), R(0)}, c{R(1), Inv(0)};
  EXPECT_EQ(role_slice_cmp(a, b), std::strong_ordering::less);
  EXPECT_EQ(role_slice_cmp(b, c), std::strong_ordering::less);
  EXPECT_EQ(role_slice_cmp(c, c), std::strong_ordering::equal);
}

TEST(AxiomOrder, EqualAxiomsStayAfterSort) {
  std::vector<Axiom> axioms{SubClassOf{C(2), C(1)}, ClassAssertion{C(0), I(0)}, SubClassOf{C(2), C(1)},
                            SubClassOf{C(1), C(1)}};
  EXPECT_FALSE(axiom_less(axioms[0], axioms[2]));
  EXPECT_FALSE(axiom_less(axioms[2], axioms[0]));
  sort_axioms(axioms);
  ASSERT_EQ(axioms.size(), 4u);
  EXPECT_EQ(axioms[0], (Axiom{SubClassOf{C(1), C(1)}}));
  EXPECT_EQ(axioms[1], (Axiom{SubClassOf{C(2), C(1)}}));
  EXPECT_EQ(axioms[2], (Axiom{SubClassOf{C(2), C(1)}}));
  EXPECT_EQ(axioms[3], (Axiom{ClassAssertion{C(0), I(0)}}));
}

TEST(AxiomOrder, SortIsIndependentOfInputOrder) {
  std::vector<Axiom> axioms{
      SubClassOf{C(3), C(1)},          EquivalentClasses{{C(1), C(2)}},   EquivalentClasses{{C(1)}},
      SubObjectPropertyOf{Chain{{R(0), R(1)}}, R(2)}, SubObjectPropertyOf{Single{Inv(0)}, R(1)},
      DisjointUnion{ClassId{0}, {C(1), C(2)}}, ObjectPropertyAssertion{Inv(0), I(1), I(0)},
      DeclareClass{ClassId{3}},        SameIndividual{{I(2), I(1)}},      SameIndividual{{I(2)}},
      FunctionalRole{R(1)},            FunctionalRole{Inv(0)}};
  std::vector<Axiom> sorted = axioms;
  sort_axioms(sorted);
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    std::shuffle(axioms.begin(), axioms.end(), rng);
    std::vector<Axiom> again = axioms;
    sort_axioms(again);
    EXPECT_EQ(again, sorted);
  }
  for (std::size_t i = 0; i + 1 < sorted.size(); ++i) EXPECT_FALSE(axiom_less(sorted[i + 1], sorted[i]));
}

// Ids that share their high bits, lists that are prefixes of each other and
// repeated axioms: the cases where a leading number cannot decide alone.
TEST(AxiomOrder, SortMatchesStableSortByTheTotalOrder) {
  std::mt19937 rng(11);
  auto id = [&] {
    static constexpr std::uint32_t kIds[] = {0, 1, 2, 255, 256, 257, 511, 512, 70000, 0xffffffffu};
    return kIds[rng() % std::size(kIds)];
  };
  auto members = [&] {
    std::vector<ConceptId> m(rng() % 4);
    for (auto& c : m) c = C(id());
    return m;
  };
  std::vector<Axiom> axioms;
  for (int i = 0; i < 3000; ++i) {
    switch (rng() % 9) {
      case 0: axioms.push_back(SubClassOf{C(id()), C(id())}); break;
      case 1: axioms.push_back(EquivalentClasses{members()}); break;
      case 2: axioms.push_back(DisjointClasses{members()}); break;
      case 3: axioms.push_back(ClassAssertion{C(id()), I(id())}); break;
      case 4: axioms.push_back(DeclareClass{ClassId{id()}}); break;
      case 5: axioms.push_back(DeclareObjectProperty{RoleId{id()}}); break;
      case 6: axioms.push_back(DeclareNamedIndividual{I(id())}); break;
      case 7: axioms.push_back(FunctionalRole{rng() % 2 ? R(id()) : Inv(id())}); break;
      default: axioms.push_back(ObjectPropertyDomain{R(id() % 3), C(id())}); break;
    }
  }
  std::vector<Axiom> expected = axioms;
  std::stable_sort(expected.begin(), expected.end(), axiom_less);
  sort_axioms(axioms);
  EXPECT_EQ(axioms, expected);
}

TEST(AxiomOrder, CloneIsDeep) {
  Axiom a = SubObjectPropertyOf{Chain{{R(0), R(1)}}, R(2)};
  Axiom b = axiom_clone(a);
  std::get<Chain>(std::get<SubObjectPropertyOf>(b).sub).roles.push_back(R(3));
  EXPECT_EQ(std::get<Chain>(std::get<SubObjectPropertyOf>(a).sub).roles.size(), 2u);
  EXPECT_TRUE(std::holds_alternative<Single>(std::get<SubObjectPropertyOf>(axiom_clone(SubObjectPropertyOf{Single{R(0)}, R(1)})).sub));
}

TEST(InternalOntologyTest, DroppedIteratesInByteOrderAndCopiesAreDeep) {
  InternalOntology ir;
  ir.dropped["b: x"] += 1;
  ir.dropped["\xc3\xa9: x"] += 2;
  ir.dropped["HasKey: y"] += 1;
  std::vector<std::string> keys;
  for (auto& [k, v] : ir.dropped) keys.push_back(k);
  EXPECT_EQ(keys, (std::vector<std::string>{"HasKey: y", "b: x", "\xc3\xa9: x"}));
  ir.vocabulary.classes.intern("A");
  ConceptId a = ir.concepts.intern(Atomic{ClassId{0}});
  ir.axioms.push_back(SubClassOf{a, a});
  InternalOntology copy = ir;
  copy.concepts.intern(Top{});
  copy.axioms.clear();
  copy.vocabulary.classes.intern("B");
  EXPECT_EQ(ir.concepts.size(), 1u);
  EXPECT_EQ(ir.axioms.size(), 1u);
  EXPECT_EQ(ir.vocabulary.classes.size(), 1u);
}

}  // namespace
}  // namespace kelmon
