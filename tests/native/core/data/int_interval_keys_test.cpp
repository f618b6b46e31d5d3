#include "core/data/int_interval_keys.h"

#include <gtest/gtest.h>

#include "core/data/test_values.h"

namespace kelmon {
namespace {

using test::open;

TEST(IntIntervalKeys, yields_integer_keys_with_their_class_ids) {
  Namespace<ClassId> classes;
  for (const char* name : {"http://example.org/A", "urn:kelmon-dkey:5:5", "urn:kelmon-dkey:str:61",
                           "urn:kelmon-dkey:iset:1:3;4:6", "urn:kelmon-dkey:iset:1:2", "urn:kelmon-dkey:9:1",
                           "urn:kelmon-dkey:io:1", "urn:kelmon-dkey:iset:1:3;7:*", "urn:kelmon-dkey"})
    classes.intern(name);
  IntIntervalKeys keys(classes);
  std::vector<IntIntervalKey> got;
  while (auto key = keys.next_int_interval_key()) got.push_back(std::move(*key));
  EXPECT_EQ(got, (std::vector<IntIntervalKey>{{ClassId{1}, {{5, 5}}},
                                              {ClassId{3}, {{1, 6}}},
                                              {ClassId{5}, {{9, 1}}},
                                              {ClassId{7}, {{1, 3}, {7, open}}}}));
  EXPECT_EQ(keys.next_int_interval_key(), std::nullopt);
}

TEST(IntIntervalKeys, empty_namespace_yields_nothing) {
  Namespace<ClassId> classes;
  IntIntervalKeys keys(classes);
  EXPECT_EQ(keys.next_int_interval_key(), std::nullopt);
}

}  // namespace
}  // namespace kelmon
