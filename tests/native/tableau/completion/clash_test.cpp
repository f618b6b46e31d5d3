// The clash check of one node and the value-restriction operations under it.
#include <gtest/gtest.h>

#include "core/data/decimal_value.h"
#include "tableau/completion/data_restrictions.h"
#include "tableau/completion/tableau.h"

namespace kelmon::completion {
namespace {

DecimalValue dec(const char* text) { return *parse_xsd_decimal(text); }

class Clash : public ::testing::Test {
 protected:
  Clash() : ctx(pool, nullptr, nullptr) { x = ctx.add_trailed_node(std::nullopt, std::nullopt); }

  ConceptId atom(std::uint32_t c) { return pool.intern(Atomic{ClassId{c}}); }
  // A key class with its decoded value.
  ConceptId key(std::uint32_t c, DKeyValue value) {
    ctx.data_ranges.emplace(ClassId{c}, std::move(value));
    return atom(c);
  }
  void label(ConceptId c, std::initializer_list<std::uint32_t> d = {}) {
    ctx.add_label(x, c, DepSet::from_slice(std::vector<std::uint32_t>(d)));
  }
  ConceptId some(ConceptId k, std::uint32_t role = 0) { return pool.intern(Some{k, Role::named(RoleId{role})}); }
  ConceptId all(ConceptId k, std::uint32_t role = 0) { return pool.intern(All{k, Role::named(RoleId{role})}); }
  ConceptId min(std::uint32_t n, ConceptId k) { return pool.intern(Min{n, k, Role::named(RoleId{0})}); }
  ConceptId max(std::uint32_t n, ConceptId k) { return pool.intern(Max{n, k, Role::named(RoleId{0})}); }
  static DKeyValue strings(std::vector<std::string> s) { return {DKeyValue::Strings{StringSet(s)}}; }
  static DKeyValue decimals(const char* lo, bool li, const char* hi, bool hi_in) {
    return {DKeyValue::DecimalRange{{dec(lo), dec(hi), li, hi_in}}};
  }

  ConceptPool pool;
  TableauContext ctx;
  NodeId x;
};

TEST_F(Clash, node_without_labels_has_none) { EXPECT_FALSE(ctx.clash(x)); }

TEST_F(Clash, bottom_before_a_complementary_pair_wins) {
  // Bottom is interned first, so it sorts before the Not label.
  const ConceptId bottom = pool.intern(Bottom{});
  const ConceptId a = atom(1);
  const ConceptId not_a = pool.intern(Not{a});
  label(not_a, {1});
  label(a, {2});
  EXPECT_EQ(ctx.clash(x), DepSet::from_slice(std::vector<std::uint32_t>{1, 2}));
  label(bottom, {3});
  EXPECT_EQ(ctx.clash(x), DepSet::from_slice(std::vector<std::uint32_t>{3}));
}

TEST_F(Clash, negation_without_operand_is_no_clash) {
  label(pool.intern(Not{atom(1)}));
  label(atom(2));
  EXPECT_FALSE(ctx.clash(x));
}

TEST_F(Clash, all_values_alone_never_clash_until_a_value_is_required) {
  const ConceptId a = key(10, strings({"a"})), b = key(11, strings({"b"}));
  label(all(a), {1});
  label(all(b), {2});
  EXPECT_FALSE(ctx.clash(x));
  const ConceptId any = key(12, {DKeyValue::Strings{std::nullopt}});
  label(some(any), {3});
  EXPECT_EQ(ctx.clash(x), DepSet::from_slice(std::vector<std::uint32_t>{1, 2, 3}));
}

TEST_F(Clash, packing_takes_only_disjoint_items) {
  const ConceptId a = key(10, strings({"a"})), b = key(11, strings({"b"})), ab = key(12, strings({"a", "b"}));
  label(some(a));
  label(max(1, ab));
  EXPECT_FALSE(ctx.clash(x));
  label(some(ab));
  EXPECT_FALSE(ctx.clash(x));  // {a} and {a, b} overlap: only one is taken
  label(some(b));
  EXPECT_TRUE(ctx.clash(x));
}

TEST_F(Clash, value_count_of_sets_and_unrestricted_strings) {
  const ConceptId ab = key(10, strings({"a", "b"})), any = key(11, {DKeyValue::Strings{std::nullopt}});
  label(min(3, any));
  EXPECT_FALSE(ctx.clash(x));
  label(min(3, ab));
  EXPECT_TRUE(ctx.clash(x));
}

struct DecimalCase {
  const char* name;
  std::uint32_t n;
  const char* lo;
  bool lo_in;
  const char* hi;
  bool hi_in;
  bool clash;
};

class DecimalCount : public Clash, public ::testing::WithParamInterface<DecimalCase> {};

TEST_P(DecimalCount, only_empty_and_single_point_intervals_count) {
  const auto& c = GetParam();
  label(min(c.n, key(10, decimals(c.lo, c.lo_in, c.hi, c.hi_in))));
  EXPECT_EQ(ctx.clash(x).has_value(), c.clash);
}

INSTANTIATE_TEST_SUITE_P(Cases, DecimalCount,
                         ::testing::Values(DecimalCase{"two_in_a_point", 2, "5", true, "5", true, true},
                                           DecimalCase{"one_in_half_open_point", 1, "5", true, "5", false, true},
                                           DecimalCase{"two_in_tiny_interval", 2, "1.0", true, "1.0000001", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Clash, integers_count_exactly) {
  label(min(5, key(10, {DKeyValue::IntRange{{1, 3}}})));
  EXPECT_TRUE(ctx.clash(x));
}

TEST_F(Clash, at_least_zero_joins_the_groups_deps) {
  const ConceptId k = key(10, {DKeyValue::IntRange{{1, 3}}});
  label(min(0, k), {4});
  EXPECT_FALSE(ctx.clash(x));
  label(min(4, k), {5});
  EXPECT_EQ(ctx.clash(x), DepSet::from_slice(std::vector<std::uint32_t>{4, 5}));
}

TEST_F(Clash, inverse_roles_plain_classes_and_other_fillers_are_ignored) {
  const ConceptId k = key(10, {DKeyValue::IntRange{{1, 3}}});
  label(pool.intern(Min{5, k, Role::inverse_of(RoleId{0})}));
  label(min(5, atom(20)));  // a plain class
  label(min(5, pool.intern(Not{k})));
  EXPECT_FALSE(ctx.clash(x));
}

TEST_F(Clash, integer_range_and_one_of_are_not_compared) {
  label(all(key(10, {DKeyValue::IntRange{{1, 3}}})));
  label(some(key(11, {DKeyValue::IntSet{{7}}})));
  EXPECT_FALSE(ctx.clash(x));
}

TEST_F(Clash, float_ranges_compare_but_double_ranges_stay_apart) {
  const FloatInterval low{float_bits(0.0), float_bits(1.0), true, true};
  const FloatInterval high{float_bits(2.0), float_bits(3.0), true, true};
  label(all(key(10, {DKeyValue::FloatRange{low, false}})));
  label(some(key(11, {DKeyValue::FloatRange{high, true}})));
  EXPECT_FALSE(ctx.clash(x));  // a double value is no float value
  label(some(key(12, {DKeyValue::FloatRange{high, false}})));
  EXPECT_TRUE(ctx.clash(x));
}

TEST_F(Clash, labels_are_grouped_by_role) {
  label(all(key(10, strings({"a"})), 0));
  label(some(key(11, strings({"b"})), 1));
  EXPECT_FALSE(ctx.clash(x));
}

TEST(DataRestrictions, decimal_intersection_of_touching_intervals_is_empty) {
  const DecimalInterval a{dec("1"), dec("5"), true, true}, b{dec("5"), dec("9"), false, true};
  const DecimalInterval i = decimal_interval_intersect(a, b);
  EXPECT_EQ(i.lower, dec("5"));
  EXPECT_FALSE(i.lower_inclusive);
  EXPECT_TRUE(i.upper_inclusive);
  EXPECT_TRUE(decimal_interval_is_empty(i));
}

TEST(DataRestrictions, counts_and_open_bounds) {
  EXPECT_EQ(interval_value_count(DecimalInterval{dec("5"), dec("5"), true, true}), 1u);
  EXPECT_EQ(interval_value_count(DecimalInterval{dec("5"), dec("5"), true, false}), 0u);
  EXPECT_EQ(interval_value_count(DecimalInterval{dec("5"), std::nullopt, true, false}), std::nullopt);
  EXPECT_FALSE(decimal_interval_is_empty(DecimalInterval{dec("5"), std::nullopt, false, false}));
  EXPECT_EQ(interval_value_count(IntInterval{INT64_MIN, INT64_MAX}), std::nullopt);
  EXPECT_EQ(interval_value_count(IntInterval{3, 1}), 0u);
}

TEST(DataRestrictions, float_total_order_and_decimal_sign_order) {
  EXPECT_TRUE(float_bits_order(float_bits(-1.0), float_bits(-0.5)) < 0);
  EXPECT_TRUE(float_bits_order(float_bits(-1e-300), float_bits(0.0)) < 0);
  EXPECT_TRUE(cmp_decimal(dec("-10"), dec("-2")) < 0);
  EXPECT_TRUE(cmp_decimal(dec("-0.5"), dec("0")) < 0);
}

TEST(DataRestrictions, containment) {
  const DateTimeInterval outer{DateTimeValue{2000, 1, 1, 0, 0, 0}, DateTimeValue{2001, 1, 1, 0, 0, 0}, true, false};
  const DateTimeInterval inner{DateTimeValue{2000, 6, 1, 0, 0, 0}, DateTimeValue{2001, 1, 1, 0, 0, 0}, true, false};
  const DateTimeInterval reaching{DateTimeValue{2000, 6, 1, 0, 0, 0}, DateTimeValue{2001, 1, 1, 0, 0, 0}, true, true};
  EXPECT_TRUE(date_time_interval_within(inner, outer));
  EXPECT_FALSE(date_time_interval_within(reaching, outer));
  EXPECT_FALSE(decimal_interval_within(DecimalInterval{std::nullopt, dec("1"), false, true},
                                       DecimalInterval{dec("0"), dec("2"), true, true}));
  EXPECT_TRUE(decimal_interval_within(DecimalInterval{dec("3"), dec("1"), true, true},
                                      DecimalInterval{dec("0"), dec("0"), true, true}));  // empty
}

}  // namespace
}  // namespace kelmon::completion
