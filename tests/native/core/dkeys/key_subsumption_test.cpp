// Subclass axioms between nested keys. With no role in the vocabulary the
// bucket context is empty, so the pass adds nothing but these.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "dkey_pass_fixture.h"
#include "common/scoped_switch.h"

namespace kelmon::testing {
namespace {

struct SubsumptionCase {
  const char* name;
  std::vector<std::string> keys;  // interned in this order
  std::vector<std::string> expected;
  const char* str_size_index = nullptr;  // KELMON_DKEY_STR_SIZE_INDEX, unset when null
  const char* one_of = nullptr;          // KELMON_DKEY_ONEOF_SEED, unset when null
};

std::string fl(const std::string& lo, const char* x, const std::string& hi, const char* y) {
  return lo + ":" + x + ":" + hi + ":" + y;
}

const SubsumptionCase kCases[] = {
    {"nested_integer_intervals_and_an_empty_one",
     {"1:5", "0:10", "5:1"},
     {"SubClassOf(1:5 0:10)", "SubClassOf(5:1 0:10)", "SubClassOf(5:1 1:5)"}},
    {"unbounded_integer_sides", {"*:*", "3:*", "*:3", "3:3"},
     {"SubClassOf(*:3 *:*)", "SubClassOf(3:* *:*)", "SubClassOf(3:3 *:*)", "SubClassOf(3:3 *:3)",
      "SubClassOf(3:3 3:*)"}},
    {"iset_within_its_hull_not_the_reverse", {"iset:1:2;4:5", "1:5"}, {"SubClassOf(iset:1:2;4:5 1:5)"}},
    {"iset_within_an_iset_interval_by_interval",
     {"iset:1:2;8:9", "iset:0:3;7:10", "iset:1:2;5:5"},
     {"SubClassOf(iset:1:2;8:9 iset:0:3;7:10)"}},
    {"two_empty_integer_keys_lie_within_each_other", {"9:1", "7:2"}, {"SubClassOf(7:2 9:1)", "SubClassOf(9:1 7:2)"}},
    {"float_upper_exclusive_within_inclusive",
     {"f:" + fl(kOne, "i", kTwo, "i"), "f:" + fl(kOne, "i", kTwo, "e")},
     {"SubClassOf(f:" + fl(kOne, "i", kTwo, "e") + " f:" + fl(kOne, "i", kTwo, "i") + ")"}},
    {"double_zero_of_either_sign_both_ways",
     {"db:" + fl(kNegZero, "i", kNegZero, "i"), "db:" + fl(kZero, "i", kZero, "i")},
     {"SubClassOf(db:" + fl(kNegZero, "i", kNegZero, "i") + " db:" + fl(kZero, "i", kZero, "i") + ")",
      "SubClassOf(db:" + fl(kZero, "i", kZero, "i") + " db:" + fl(kNegZero, "i", kNegZero, "i") + ")"}},
    {"float_and_double_stay_apart_as_do_io_and_bare",
     {"f:" + fl(kOne, "i", kOne, "i"), "db:" + fl(kOne, "i", kOne, "i"), "io:3", "3:3"},
     {}},
    {"nan_bound_lies_within_unbounded_side_only",
     {"db:9221120237041090560:i:*:e", "db:*:e:*:e", "db:" + fl(kOne, "i", kTwo, "i")},
     {"SubClassOf(db:" + fl(kOne, "i", kTwo, "i") + " db:*:e:*:e)", "SubClassOf(db:9221120237041090560:i:*:e db:*:e:*:e)"}},
    {"decimal_intervals",
     {"dec:1.5:i:*:e", "dec:2:e:3:i", "dec:1.5:e:*:e"},
     {"SubClassOf(dec:1.5:e:*:e dec:1.5:i:*:e)", "SubClassOf(dec:2:e:3:i dec:1.5:e:*:e)",
      "SubClassOf(dec:2:e:3:i dec:1.5:i:*:e)"}},
    {"date_and_datetime_intervals",
     {"date:2020.1.1:i:2020.12.31:i", "date:2020.5.1:i:2020.5.1:i", "dt:2020.1.1.0.0.0:i:*:e",
      "dt:2021.1.1.0.0.0:e:*:e"},
     {"SubClassOf(date:2020.5.1:i:2020.5.1:i date:2020.1.1:i:2020.12.31:i)",
      "SubClassOf(dt:2021.1.1.0.0.0:e:*:e dt:2020.1.1.0.0.0:i:*:e)"}},
    {"all_strings_above_every_string_set",
     {"str:61", "str:*", "str:61:62"},
     {"SubClassOf(str:61 str:*)", "SubClassOf(str:61 str:61:62)", "SubClassOf(str:61:62 str:*)"}},
    {"one_string_within_two_in_pairwise_search_too",
     {"str:61", "str:61:62", "str:62", "str:41"},
     {"SubClassOf(str:61 str:61:62)", "SubClassOf(str:62 str:61:62)"},
     "0"},
    {"equal_string_sets_unrelated_in_size_index", {"str:6a", "str:6A"}, {}},
    {"equal_string_sets_both_ways_pairwise", {"str:6a", "str:6A"},
     {"SubClassOf(str:6A str:6a)", "SubClassOf(str:6a str:6A)"}, "0"},
    {"language_strings", {"lang:*", "lang:61.6672", "lang:61.6672:62.6672"},
     {"SubClassOf(lang:61.6672 lang:*)", "SubClassOf(lang:61.6672 lang:61.6672:62.6672)",
      "SubClassOf(lang:61.6672:62.6672 lang:*)"}},
    {"integer_one_of_subsets", {"io:1;2;3", "io:1;2", "io:2;1", "io:4"},
     {"SubClassOf(io:1;2 io:1;2;3)", "SubClassOf(io:1;2 io:2;1)", "SubClassOf(io:2;1 io:1;2)",
      "SubClassOf(io:2;1 io:1;2;3)"}},
    {"float_and_double_one_of_each_with_itself",
     {"fo:" + kOne, "fo:" + kOne + ";" + kTwo, "dbo:" + kOne, "dbo:" + kZero + ";" + kOne},
     {"SubClassOf(dbo:" + kOne + " dbo:" + kZero + ";" + kOne + ")",
      "SubClassOf(fo:" + kOne + " fo:" + kOne + ";" + kTwo + ")"}},
    {"decimal_date_datetime_one_of", {"deo:1.5", "deo:1.50;2", "dao:2020.1.1", "dao:2020.1.1;2021.1.1",
                                      "dto:2020.1.1.0.0.0", "dto:2020.1.1.0.0.0;2020.1.1.0.0.1"},
     {"SubClassOf(dao:2020.1.1 dao:2020.1.1;2021.1.1)", "SubClassOf(deo:1.5 deo:1.50;2)",
      "SubClassOf(dto:2020.1.1.0.0.0 dto:2020.1.1.0.0.0;2020.1.1.0.0.1)"}},
    {"one_of_keys_ignored_without_seed", {"io:3", "io:3;4", "3:3"}, {}, nullptr, "0"},
    {"malformed_keys_take_no_part", {"zzz", "1:x", "iset:1:2", "str:616", "1:5"}, {}},
};

class KeySubsumption : public ::testing::TestWithParam<SubsumptionCase> {};

TEST_P(KeySubsumption, emits_exactly_the_nested_pairs) {
  const SubsumptionCase& c = GetParam();
  ScopedSwitch str(SwitchId::DkeyStrSizeIndex, c.str_size_index ? std::optional<std::string>(c.str_size_index) : std::nullopt);
  ScopedSwitch seed(SwitchId::DkeyOneofSeed, c.one_of ? std::optional<std::string>(c.one_of) : std::nullopt);
  ScopedSwitch bounded(SwitchId::BoundedDkeyDisjoint, std::nullopt);
  KeyPassFixture f;
  for (const auto& k : c.keys) f.K(k);
  EXPECT_EQ(f.run(), sorted(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, KeySubsumption, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LangValues, subset_and_disjoint_rules) {
  const LangStrings all{std::nullopt};
  const LangStrings a{LangStringSet{{"a", "en"}}};
  const LangStrings ab{LangStringSet{{"a", "en"}, {"b", "en"}}};
  const LangStrings b{LangStringSet{{"b", "en"}}};
  const LangStrings none{LangStringSet{}};
  EXPECT_TRUE(lang_values_subset(all, all));
  EXPECT_FALSE(lang_values_subset(all, a));
  EXPECT_TRUE(lang_values_subset(a, all));
  EXPECT_TRUE(lang_values_subset(a, ab));
  EXPECT_FALSE(lang_values_subset(ab, a));
  EXPECT_FALSE(lang_values_disjoint(all, a));
  EXPECT_FALSE(lang_values_disjoint(a, all));
  EXPECT_FALSE(lang_values_disjoint(a, ab));
  EXPECT_TRUE(lang_values_disjoint(a, b));
  EXPECT_TRUE(lang_values_disjoint(none, a));
}

// A key class whose Atomic concept the pass interns itself gets the id that
// the order of the pass's own loops gives it, however the pairs were found.
TEST(KeySubsumptionInterning, new_atomic_concepts_follow_the_loop_order) {
  ScopedSwitch bounded(SwitchId::BoundedDkeyDisjoint, "0");
  KeyPassFixture f;
  f.top();
  f.key_class("1:9");  // ClassId 0, no Atomic concept yet
  f.key_class("5:5");  // ClassId 1
  f.key_class("3:4");  // ClassId 2
  const std::size_t before = f.ir.concepts.size();
  f.run();
  // Loop order: (1:9 ...) finds nothing; (5:5 within 1:9) comes first, then (3:4 within 1:9).
  ASSERT_EQ(f.ir.concepts.size(), before + 3);
  EXPECT_EQ(f.ir.concepts.get(ConceptId{static_cast<std::uint32_t>(before)}), Concept(Atomic{f.key_class("5:5")}));
  EXPECT_EQ(f.ir.concepts.get(ConceptId{static_cast<std::uint32_t>(before + 1)}), Concept(Atomic{f.key_class("1:9")}));
  EXPECT_EQ(f.ir.concepts.get(ConceptId{static_cast<std::uint32_t>(before + 2)}), Concept(Atomic{f.key_class("3:4")}));
}

}  // namespace
}  // namespace kelmon::testing
