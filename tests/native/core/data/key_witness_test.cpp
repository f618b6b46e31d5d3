#include "core/data/key_witness.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/data/test_values.h"

namespace kelmon {
namespace {

using namespace test;  // NOLINT: builders only
using K = DKeyValue;

DKeyValue ints(std::optional<std::int64_t> lower, std::optional<std::int64_t> upper) {
  return {K::IntRange{IntInterval{lower, upper}}};
}
DKeyValue int_set(std::vector<std::int64_t> values) { return {K::IntSet{std::move(values)}}; }
DKeyValue decimals(const char* lower, const char* upper) { return {K::DecimalRange{dec_interval(lower, true, upper, true)}}; }
DKeyValue decimal_set(std::vector<const char*> values) {
  DecimalValueSet out;
  for (const char* v : values) out.push_back(dec(v));
  return {K::DecimalSet{std::move(out)}};
}
DKeyValue strings(std::optional<std::vector<std::string>> set) { return {K::Strings{std::move(set)}}; }
DKeyValue doubles(double lower, double upper) { return {K::FloatRange{double_interval(lower, true, upper, true), true}}; }
DKeyValue double_set(std::vector<double> values) { return {K::FloatSet{std::move(values), true}}; }

struct WitnessCase {
  const char* name;
  std::vector<DKeyValue> inside;
  std::vector<DKeyValue> outside;
  KeyWitness expected;
};

class KeyWitnesses : public ::testing::TestWithParam<WitnessCase> {};

TEST_P(KeyWitnesses, answer) {
  std::vector<const DKeyValue*> in, out;
  for (const auto& k : GetParam().inside) in.push_back(&k);
  for (const auto& k : GetParam().outside) out.push_back(&k);
  EXPECT_EQ(key_witness(in, out), GetParam().expected);
}

constexpr std::int64_t kMax = INT64_MAX;

INSTANTIATE_TEST_SUITE_P(
    Cases, KeyWitnesses,
    ::testing::Values(
        // Integer ranges met, values excluded among three or more keys.
        WitnessCase{"meet_is_excluded_zero", {ints(0, open), ints(open, 0)}, {int_set({0})}, KeyWitness::None},
        WitnessCase{"meet_zero_allowed", {ints(0, open), ints(open, 0)}, {int_set({1})}, KeyWitness::Found},
        WitnessCase{"ranges_cover_a_wide_range", {ints(0, 1000)}, {ints(0, 500), ints(501, 1000)}, KeyWitness::None},
        WitnessCase{"gap_of_one", {ints(0, 1000)}, {ints(0, 500), ints(502, 1000)}, KeyWitness::Found},
        WitnessCase{"unbounded_gap", {ints(0, open)}, {ints(0, 500), ints(502, open)}, KeyWitness::Found},
        WitnessCase{"unbounded_covered", {ints(0, open)}, {ints(open, 500), ints(501, open)}, KeyWitness::None},
        WitnessCase{"every_integer", {ints(open, open)}, {}, KeyWitness::Found},
        WitnessCase{"all_but_excluded_points", {ints(open, open)}, {int_set({-1, 0, 1})}, KeyWitness::Found},
        // Past the 64-bit end there are still integers: cannot tell.
        WitnessCase{"beyond_64_bits", {ints(0, open)}, {ints(0, kMax)}, KeyWitness::Unknown},
        // Integer and decimal keys: integral decimals are integers.
        WitnessCase{"decimal_range_covers_integers", {ints(0, 10)}, {decimals("-0.5", "10.5")}, KeyWitness::None},
        WitnessCase{"decimal_range_leaves_zero", {ints(0, open)}, {decimals("0.5", "10")}, KeyWitness::Found},
        WitnessCase{"decimal_zero_is_integer_zero", {ints(0, 0)}, {decimal_set({"0.0"})}, KeyWitness::None},
        WitnessCase{"decimal_inside_integer", {ints(0, open), decimals("-1", "0.5")}, {int_set({0})}, KeyWitness::None},
        WitnessCase{"decimal_inside_integer_left", {ints(open, open), decimals("-1.5", "0.5")}, {int_set({0})},
                    KeyWitness::Found},
        WitnessCase{"integers_do_not_cover_decimals", {decimals("0", "1")}, {ints(open, open)}, KeyWitness::Found},
        WitnessCase{"decimal_range_covered", {decimals("0", "1")}, {decimals("-1", "2")}, KeyWitness::None},
        WitnessCase{"decimal_range_partly_covered", {decimals("0", "1")}, {decimals("0.5", "2")}, KeyWitness::Unknown},
        WitnessCase{"decimal_point_excluded", {decimals("1", "1")}, {int_set({1})}, KeyWitness::None},
        WitnessCase{"decimal_meet_empty", {decimals("0", "1"), decimals("2", "3")}, {}, KeyWitness::None},
        // Other families.
        WitnessCase{"strings_minus_few", {strings(std::nullopt)}, {strings(std::vector<std::string>{"a"})},
                    KeyWitness::Found},
        WitnessCase{"string_set_excluded", {strings(std::vector<std::string>{"a"})},
                    {strings(std::vector<std::string>{"a"})}, KeyWitness::None},
        WitnessCase{"two_spaces", {ints(0, 5), strings(std::nullopt)}, {}, KeyWitness::None},
        WitnessCase{"double_range", {doubles(1.0, 2.0)}, {ints(open, open)}, KeyWitness::Found},
        WitnessCase{"double_range_minus_points", {doubles(1.0, 2.0)}, {double_set({1.0})}, KeyWitness::Unknown},
        WitnessCase{"double_set_excluded", {double_set({1.0})}, {doubles(0.5, 1.5)}, KeyWitness::None},
        WitnessCase{"nothing_inside", {}, {}, KeyWitness::Unknown}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelmon
