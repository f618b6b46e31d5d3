// The bucket context: bounded and strict marks, their downward closure,
// property groups, the gate, recorded uses and direct keys.
#include <gtest/gtest.h>

#include <optional>

#include "core/dkeys/key_bucket_context.h"
#include "dkey_pass_fixture.h"
#include "common/scoped_switch.h"

namespace kelmon::testing {
namespace {

using Roots = std::vector<GroupRoot>;

struct ContextFixture : KeyPassFixture {
  KeyBucketContext context() { return build_key_bucket_context(ir, key_class_flags(ir.vocabulary.classes)); }
  GroupRoot root(const std::string& role) { return rid(role).v; }
};

std::optional<Roots> groups_of(const KeyBucketContext& c, ClassId k) {
  auto it = c.key_groups.find(k);
  if (it == c.key_groups.end()) return std::nullopt;
  return it->second;
}
std::optional<Roots> universal_of(const KeyBucketContext& c, ClassId k) {
  auto it = c.universal_groups.find(k);
  if (it == c.universal_groups.end()) return std::nullopt;
  return it->second;
}
bool empty(const KeyBucketContext& c) {
  return c.key_groups.empty() && c.direct_keys.empty() && c.all_pairs_groups.empty() && c.universal_groups.empty();
}

TEST(KeyBucketContext, no_keys_or_no_roles_gives_empty_tables) {
  ContextFixture no_keys;
  no_keys.add(FunctionalRole{no_keys.r("p")});
  no_keys.some(no_keys.r("p"), no_keys.A("B"));
  EXPECT_TRUE(empty(no_keys.context()));

  ContextFixture no_roles;
  no_roles.sub(no_roles.A("B"), no_roles.K("1:2"));
  EXPECT_TRUE(empty(no_roles.context()));
}

TEST(KeyBucketContext, functional_super_property_groups_both_keys) {
  ContextFixture f;
  f.some(f.r("p"), f.K("1:1"));
  f.some(f.r("q"), f.K("2:2"));
  f.add(FunctionalRole{f.r("p")});
  f.add(SubObjectPropertyOf{Single{f.r("q")}, f.r("p")});
  const auto c = f.context();
  // Equal ranks: the parent's root goes under the child's.
  EXPECT_EQ(groups_of(c, f.key_class("1:1")), Roots{f.root("q")});
  EXPECT_EQ(groups_of(c, f.key_class("2:2")), Roots{f.root("q")});
  EXPECT_TRUE(c.universal_groups.empty());
  EXPECT_EQ(c.all_pairs_groups, tsl::robin_set<GroupRoot>{f.root("q")});
}

TEST(KeyBucketContext, all_values_is_bounded_not_strict_and_universal) {
  ContextFixture f;
  f.all(f.r("p"), f.K("1:1"));
  const auto c = f.context();
  EXPECT_EQ(groups_of(c, f.key_class("1:1")), Roots{f.root("p")});
  EXPECT_EQ(universal_of(c, f.key_class("1:1")), Roots{f.root("p")});
  EXPECT_TRUE(c.all_pairs_groups.empty());
}

TEST(KeyBucketContext, at_most_is_strict_and_not_universal) {
  ContextFixture f;
  f.max(1, f.r("p"), f.K("1:1"));
  const auto c = f.context();
  EXPECT_EQ(groups_of(c, f.key_class("1:1")), Roots{f.root("p")});
  EXPECT_FALSE(universal_of(c, f.key_class("1:1")));
  EXPECT_EQ(c.all_pairs_groups, tsl::robin_set<GroupRoot>{f.root("p")});
}

TEST(KeyBucketContext, negated_some_values_is_universal_unless_post_nnf_is_off) {
  for (const char* post_nnf : {"1", "0"}) {
    ScopedSwitch env(SwitchId::DkeyPostNnf, post_nnf);
    ContextFixture f;
    f.no(f.some(f.r("p"), f.K("1:1")));
    const auto c = f.context();
    if (std::string(post_nnf) == "1") {
      EXPECT_EQ(groups_of(c, f.key_class("1:1")), Roots{f.root("p")});
      EXPECT_EQ(universal_of(c, f.key_class("1:1")), Roots{f.root("p")});
      EXPECT_TRUE(c.all_pairs_groups.empty());
    } else {
      EXPECT_TRUE(empty(c));
    }
  }
}

TEST(KeyBucketContext, negated_at_least_is_strict_and_not_universal) {
  ContextFixture f;
  f.no(f.min(2, f.r("p"), f.K("1:1")));
  const auto c = f.context();
  EXPECT_EQ(groups_of(c, f.key_class("1:1")), Roots{f.root("p")});
  EXPECT_FALSE(universal_of(c, f.key_class("1:1")));
  EXPECT_EQ(c.all_pairs_groups, tsl::robin_set<GroupRoot>{f.root("p")});
}

TEST(KeyBucketContext, double_negation_still_yields_the_inner_record_once) {
  ContextFixture f;
  const ConceptId some = f.some(f.r("p"), f.K("1:1"));
  f.no(f.no(some));
  std::vector<bool> visited(f.ir.concepts.size(), false);
  std::vector<NegatedRestriction> records;
  for (std::uint32_t i = 0; i < f.ir.concepts.size(); ++i)
    if (const auto* n = std::get_if<Not>(&f.ir.concepts.get(ConceptId{i})))
      collect_negated_restrictions(f.ir.concepts, n->operand, visited, records);
  EXPECT_EQ(records, (std::vector<NegatedRestriction>{{f.r("p"), 0, f.K("1:1")}}));
}

TEST(KeyBucketContext, negation_walk_goes_through_and_or_and_restrictions) {
  ContextFixture f;
  const ConceptId inner = f.min(1, f.r("q"), f.K("2:2"));
  const ConceptId x = f.and_({f.some(f.r("p"), f.or_({f.K("1:1"), inner})), f.all(f.r("s"), f.some(f.r("t"), f.top()))});
  std::vector<bool> visited(f.ir.concepts.size(), false);
  std::vector<NegatedRestriction> records;
  collect_negated_restrictions(f.ir.concepts, x, visited, records);
  std::vector<NegatedRestriction> expected{{f.r("p"), 0, f.or_({f.K("1:1"), inner})},
                                           {f.r("q"), 1, f.K("2:2")},
                                           {f.r("t"), 0, f.top()}};
  auto by_role = [](auto& a, auto& b) { return a.role < b.role; };
  std::sort(records.begin(), records.end(), by_role);
  std::sort(expected.begin(), expected.end(), by_role);
  EXPECT_EQ(records, expected);
}

TEST(KeyBucketContext, chain_below_functional_property_is_strict_and_grouped) {
  ContextFixture f;
  f.some(f.r("r"), f.K("1:1"));
  f.some(f.r("s"), f.K("2:2"));
  f.add(SubObjectPropertyOf{Chain{{f.r("r"), f.r("s")}}, f.r("p")});
  f.add(FunctionalRole{f.r("p")});
  const auto c = f.context();
  const auto g1 = groups_of(c, f.key_class("1:1"));
  ASSERT_TRUE(g1);
  EXPECT_EQ(groups_of(c, f.key_class("2:2")), g1);
  EXPECT_EQ(c.all_pairs_groups, tsl::robin_set<GroupRoot>{g1->front()});
}

TEST(KeyBucketContext, inverse_of_functional_property_is_strict_and_grouped) {
  ContextFixture f;
  f.some(f.r("p"), f.K("1:1"));
  f.add(InverseObjectProperties{f.r("p"), f.r("q")});
  f.add(FunctionalRole{f.r("q")});
  const auto c = f.context();
  ASSERT_TRUE(groups_of(c, f.key_class("1:1")));
  EXPECT_EQ(c.all_pairs_groups.size(), 1u);
  EXPECT_TRUE(c.all_pairs_groups.contains(groups_of(c, f.key_class("1:1"))->front()));
}

TEST(KeyBucketContext, unbounded_use_needs_the_gate_off) {
  for (const char* gate : {"1", "0"}) {
    ScopedSwitch env(SwitchId::DkeyMergingGate, gate);
    ContextFixture f;
    f.some(f.r("p"), f.K("1:1"));
    const auto c = f.context();
    if (std::string(gate) == "1") EXPECT_TRUE(empty(c));
    else EXPECT_EQ(groups_of(c, f.key_class("1:1")), Roots{f.root("p")});
  }
}

TEST(KeyBucketContext, direct_keys_come_from_class_axioms_outside_restrictions) {
  ContextFixture f;
  f.r("p");
  f.sub(f.A("A"), f.or_({f.K("1:1"), f.no(f.K("2:2"))}));
  f.sub(f.A("B"), f.some(f.r("p"), f.K("3:3")));
  f.add(DisjointUnion{f.key_class("zzz"), {f.A("C")}});  // a key class that does not decode
  f.add(ClassAssertion{f.some(f.r("p"), f.K("4:4")), f.ind("a")});
  const auto c = f.context();
  EXPECT_EQ(c.direct_keys, (tsl::robin_set<ClassId>{f.key_class("1:1"), f.key_class("2:2"), f.key_class("zzz")}));
}

TEST(KeyBucketContext, range_purity_decides_strictness) {
  ContextFixture f;
  f.add(ObjectPropertyRange{f.r("p"), f.or_({f.K("1:1"), f.K("2:2")})});
  f.add(ObjectPropertyRange{f.r("q"), f.top()});
  f.add(ObjectPropertyRange{f.r("s"), f.A("Plain")});
  const auto c = f.context();
  EXPECT_EQ(c.all_pairs_groups, (tsl::robin_set<GroupRoot>{f.root("q"), f.root("s")}));
  EXPECT_EQ(universal_of(c, f.key_class("1:1")), Roots{f.root("p")});
}

TEST(KeyBucketContext, purity) {
  ContextFixture f;
  const auto keys = [&] { return key_class_flags(f.ir.vocabulary.classes); };
  const ConceptId k = f.K("1:1");
  const ConceptId pure = f.and_({k, f.no(f.K("2:2"))});
  const ConceptId mixed = f.or_({k, f.A("Plain")});
  const ConceptId restriction = f.some(f.r("p"), k);
  const ConceptId empty_and = f.ir.concepts.intern(And{{}});
  EXPECT_TRUE(is_pure_key_concept(f.ir.concepts, pure, keys()));
  EXPECT_FALSE(is_pure_key_concept(f.ir.concepts, mixed, keys()));
  EXPECT_FALSE(is_pure_key_concept(f.ir.concepts, restriction, keys()));
  EXPECT_FALSE(is_pure_key_concept(f.ir.concepts, empty_and, keys()));
  EXPECT_FALSE(is_pure_key_concept(f.ir.concepts, f.top(), keys()));
}

TEST(KeyBucketContext, role_beyond_the_namespace_is_an_invariant_failure) {
  ContextFixture f;
  f.K("1:1");
  f.r("p");
  f.add(FunctionalRole{Role::named(RoleId{7})});
  EXPECT_THROW(f.context(), InvariantFailure);
}

}  // namespace
}  // namespace kelmon::testing
