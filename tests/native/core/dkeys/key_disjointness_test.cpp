// Disjointness axioms between keys, without a bucket context (every pair of a
// kind is compared) and across kinds.
#include <gtest/gtest.h>

#include <optional>

#include "dkey_pass_fixture.h"
#include "common/scoped_switch.h"

namespace kelmon::testing {
namespace {

struct DisjointCase {
  const char* name;
  std::vector<std::string> keys;
  std::vector<std::string> expected;  // subclass axioms of the same keys included
  const char* cross = nullptr;        // KELMON_DKEY_CROSS_BUCKET_DISJOINT, unset when null
};

const DisjointCase kCases[] = {
    {"decimal_keys_in_key_order",
     {"dec:0:e:1:i", "dec:1:e:2:i", "dec:1:i:1:i"},
     {"DisjointClasses(dec:0:e:1:i dec:1:e:2:i)", "DisjointClasses(dec:1:e:2:i dec:1:i:1:i)",
      "SubClassOf(dec:1:i:1:i dec:0:e:1:i)"}},
    {"integer_keys", {"1:3", "4:*", "*:1"}, {"DisjointClasses(1:3 4:*)", "DisjointClasses(4:* *:1)"}},
    {"iset_and_bare_integer_keys", {"iset:1:3;7:9", "4:6", "iset:5:5;8:8"},
     {"DisjointClasses(iset:1:3;7:9 4:6)"}},
    {"empty_integer_interval_follows_the_overlap_rule", {"5:1", "3:3", "0:10"},
     {"DisjointClasses(5:1 3:3)", "SubClassOf(3:3 0:10)", "SubClassOf(5:1 0:10)", "SubClassOf(5:1 3:3)"}},
    {"integer_one_of", {"io:1;2", "io:3", "io:2;5"}, {"DisjointClasses(io:1;2 io:3)", "DisjointClasses(io:3 io:2;5)"}},
    {"float_touching_bounds",
     {"f:0:i:" + kOne + ":i", "f:" + kOne + ":i:" + kTwo + ":i", "f:0:i:" + kOne + ":e"},
     {"DisjointClasses(f:" + kOne + ":i:" + kTwo + ":i f:0:i:" + kOne + ":e)",
      "SubClassOf(f:0:i:" + kOne + ":e f:0:i:" + kOne + ":i)"}},
    {"nan_bound_is_disjoint_from_nothing",
     {"db:9221120237041090560:i:9221120237041090560:i", "db:" + kOne + ":i:" + kOne + ":i",
      "db:" + kTwo + ":i:" + kTwo + ":i"},
     {"DisjointClasses(db:" + kOne + ":i:" + kOne + ":i db:" + kTwo + ":i:" + kTwo + ":i)"}},
    {"dates_meeting_at_an_exclusive_bound", {"date:*:e:2020.5.1:i", "date:2020.5.1:e:*:e"},
     {"DisjointClasses(date:*:e:2020.5.1:i date:2020.5.1:e:*:e)"}},
    {"datetimes", {"dt:*:e:2020.5.1.0.0.0:e", "dt:2020.5.1.0.0.0:i:*:e"},
     {"DisjointClasses(dt:*:e:2020.5.1.0.0.0:e dt:2020.5.1.0.0.0:i:*:e)"}},
    {"strings", {"str:*", "str:61", "str:62", "str:61:63"},
     {"DisjointClasses(str:61 str:62)", "DisjointClasses(str:62 str:61:63)", "SubClassOf(str:61 str:*)",
      "SubClassOf(str:61 str:61:63)", "SubClassOf(str:61:63 str:*)", "SubClassOf(str:62 str:*)"}},
    {"language_strings", {"lang:*", "lang:61.6672", "lang:62.6672"},
     {"DisjointClasses(lang:61.6672 lang:62.6672)", "SubClassOf(lang:61.6672 lang:*)",
      "SubClassOf(lang:62.6672 lang:*)"}},
    {"float_before_integer_whatever_the_values", {"3:3", "f:" + kOne + ":i:" + kTwo + ":i"},
     {"DisjointClasses(f:" + kOne + ":i:" + kTwo + ":i 3:3)"}},
    {"cross_kind_order_of_calls",
     {"f:*:e:*:e", "db:*:e:*:e", "dec:*:e:*:e", "*:*"},
     {"DisjointClasses(db:*:e:*:e *:*)", "DisjointClasses(db:*:e:*:e dec:*:e:*:e)", "DisjointClasses(f:*:e:*:e *:*)",
      "DisjointClasses(f:*:e:*:e db:*:e:*:e)", "DisjointClasses(f:*:e:*:e dec:*:e:*:e)"}},
    {"cross_kind_off", {"f:*:e:*:e", "db:*:e:*:e", "dec:*:e:*:e", "*:*", "io:4;7", "iset:1:3;10:*"},
     {"DisjointClasses(iset:1:3;10:* io:4;7)", "SubClassOf(iset:1:3;10:* *:*)"}, "0"},
    {"decimal_and_integer_never_paired", {"dec:5:i:5:i", "7:7"}, {}},
    {"range_against_one_of", {"iset:1:3;10:*", "io:4;7", "io:4;10"}, {"DisjointClasses(iset:1:3;10:* io:4;7)"}},
    {"float_range_against_float_one_of",
     {"f:" + kOne + ":e:" + kTwo + ":i", "fo:" + kOne, "fo:" + kTwo, "dbo:" + kZero},
     {"DisjointClasses(f:" + kOne + ":e:" + kTwo + ":i fo:" + kOne + ")", "DisjointClasses(fo:" + kOne + " fo:" + kTwo + ")",
      "DisjointClasses(f:" + kOne + ":e:" + kTwo + ":i dbo:" + kZero + ")", "DisjointClasses(fo:" + kOne + " dbo:" + kZero + ")",
      "DisjointClasses(fo:" + kTwo + " dbo:" + kZero + ")"}},
    {"decimal_date_datetime_ranges_against_one_of",
     {"dec:1:i:2:e", "deo:2", "deo:1.5", "date:2020.1.1:i:*:e", "dao:2019.12.31", "dt:*:e:*:e", "dto:2020.1.1.0.0.0"},
     {"DisjointClasses(date:2020.1.1:i:*:e dao:2019.12.31)", "DisjointClasses(dec:1:i:2:e deo:2)",
      "DisjointClasses(deo:2 deo:1.5)",
      // and every pair of decimal, date and date-time keys, whatever the values
      "DisjointClasses(dec:1:i:2:e date:2020.1.1:i:*:e)", "DisjointClasses(dec:1:i:2:e dao:2019.12.31)",
      "DisjointClasses(dec:1:i:2:e dt:*:e:*:e)", "DisjointClasses(dec:1:i:2:e dto:2020.1.1.0.0.0)",
      "DisjointClasses(deo:2 date:2020.1.1:i:*:e)", "DisjointClasses(deo:2 dao:2019.12.31)",
      "DisjointClasses(deo:2 dt:*:e:*:e)", "DisjointClasses(deo:2 dto:2020.1.1.0.0.0)",
      "DisjointClasses(deo:1.5 date:2020.1.1:i:*:e)", "DisjointClasses(deo:1.5 dao:2019.12.31)",
      "DisjointClasses(deo:1.5 dt:*:e:*:e)", "DisjointClasses(deo:1.5 dto:2020.1.1.0.0.0)",
      "DisjointClasses(date:2020.1.1:i:*:e dt:*:e:*:e)", "DisjointClasses(date:2020.1.1:i:*:e dto:2020.1.1.0.0.0)",
      "DisjointClasses(dao:2019.12.31 dt:*:e:*:e)", "DisjointClasses(dao:2019.12.31 dto:2020.1.1.0.0.0)"}},
    {"value_spaces_share_no_value", {"str:*", "3:3", "io:3", "deo:3", "date:*:e:*:e", "fo:" + kOne},
     {"DisjointClasses(3:3 str:*)", "DisjointClasses(3:3 date:*:e:*:e)", "DisjointClasses(3:3 fo:" + kOne + ")",
      "DisjointClasses(io:3 str:*)", "DisjointClasses(io:3 date:*:e:*:e)", "DisjointClasses(deo:3 str:*)",
      "DisjointClasses(deo:3 date:*:e:*:e)", "DisjointClasses(fo:" + kOne + " io:3)",
      "DisjointClasses(fo:" + kOne + " deo:3)", "DisjointClasses(fo:" + kOne + " str:*)",
      "DisjointClasses(fo:" + kOne + " date:*:e:*:e)", "DisjointClasses(str:* date:*:e:*:e)"}},
};

class KeyDisjointnessWithoutContext : public ::testing::TestWithParam<DisjointCase> {};

TEST_P(KeyDisjointnessWithoutContext, emits_exactly_the_disjoint_pairs) {
  const DisjointCase& c = GetParam();
  ScopedSwitch bounded(SwitchId::BoundedDkeyDisjoint, "0");
  ScopedSwitch cross(SwitchId::DkeyCrossBucketDisjoint, c.cross ? std::optional<std::string>(c.cross) : std::nullopt);
  KeyPassFixture f;
  for (const auto& k : c.keys) f.K(k);
  EXPECT_EQ(f.run(), sorted(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, KeyDisjointnessWithoutContext, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The same keys with an empty context (no roles): no key takes part in any
// disjointness step, while without a context every disjoint pair gets one.
TEST(KeyDisjointness, empty_context_pairs_nothing) {
  for (const char* bounded_switch : {"1", "0"}) {
    ScopedSwitch bounded(SwitchId::BoundedDkeyDisjoint, bounded_switch);
    KeyPassFixture f;
    f.K("1:3");
    f.K("5:6");
    f.K("f:*:e:*:e");
    f.K("io:9");
    const auto out = f.run();
    if (std::string(bounded_switch) == "0") {
      EXPECT_EQ(out, sorted({"DisjointClasses(1:3 5:6)", "DisjointClasses(f:*:e:*:e 1:3)",
                             "DisjointClasses(f:*:e:*:e 5:6)", "DisjointClasses(1:3 io:9)",
                             "DisjointClasses(5:6 io:9)", "DisjointClasses(f:*:e:*:e io:9)"}));
    } else {
      EXPECT_TRUE(out.empty()) << out.front();
    }
  }
}

// Many keys: the sweeps must give exactly what the pairwise definition gives.
TEST(KeyDisjointness, many_integer_points_and_ranges_match_the_pairwise_rule) {
  ScopedSwitch bounded(SwitchId::BoundedDkeyDisjoint, "0");
  KeyPassFixture f;
  std::vector<std::pair<int, int>> intervals;
  for (int i = 0; i < 12; ++i) intervals.emplace_back(i % 5, i % 5 + i % 3);
  intervals.emplace_back(4, 2);  // empty
  for (auto [lo, hi] : intervals) f.K(std::to_string(lo) + ":" + std::to_string(hi));
  std::vector<std::string> expected;
  std::vector<std::pair<int, int>> unique;
  for (auto iv : intervals)
    if (std::find(unique.begin(), unique.end(), iv) == unique.end()) unique.push_back(iv);
  auto name = [](std::pair<int, int> iv) { return std::to_string(iv.first) + ":" + std::to_string(iv.second); };
  for (std::size_t i = 0; i < unique.size(); ++i) {
    for (std::size_t j = 0; j < unique.size(); ++j) {
      if (i == j) continue;
      const auto [a, b] = unique[i];
      const auto [c, d] = unique[j];
      const bool a_empty = a > b;
      if (a_empty || (a >= c && b <= d)) expected.push_back("SubClassOf(" + name(unique[i]) + " " + name(unique[j]) + ")");
      if (i < j && (b < c || d < a)) expected.push_back("DisjointClasses(" + name(unique[i]) + " " + name(unique[j]) + ")");
    }
  }
  EXPECT_EQ(f.run(), sorted(expected));
}

}  // namespace
}  // namespace kelmon::testing
